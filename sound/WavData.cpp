#include "sound/WavData.h"

#include <QtEndian>

bool WavData::findChunk(const QByteArray &bytes, const char *wanted, qsizetype *offset,
                        qsizetype *length)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return false;
    qsizetype at = 12;
    while (bytes.size() - at >= 8) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        at += 8;
        const qsizetype rest = bytes.size() - at;
        if (id == wanted) {
            *offset = at;
            *length = qMin<qint64>(size, rest);
            return true;
        }
        // Chunks are padded to an even length.
        const qint64 skip = qint64(size) + (size & 1);
        if (skip > rest)
            return false;
        at += skip;
    }
    return false;
}

bool WavData::findSamples(const QByteArray &bytes, qsizetype *offset, qsizetype *length)
{
    return findChunk(bytes, "data", offset, length);
}

bool WavData::findFormat(const QByteArray &bytes, int *rate, int *channels, int *bits)
{
    qsizetype at = 0, length = 0;
    if (!findChunk(bytes, "fmt ", &at, &length) || length < 16)
        return false;
    const char *fmt = bytes.constData() + at;
    if (qFromLittleEndian<quint16>(fmt) != 1) // PCM only
        return false;
    *channels = qFromLittleEndian<quint16>(fmt + 2);
    *rate = int(qFromLittleEndian<quint32>(fmt + 4));
    *bits = qFromLittleEndian<quint16>(fmt + 14);
    return *channels > 0 && *rate > 0 && (*bits == 8 || *bits == 16);
}
