#include "sound/WavData.h"

#include <QtEndian>

bool WavData::findSamples(const QByteArray &bytes, qsizetype *offset, qsizetype *length)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return false;
    qsizetype at = 12;
    while (bytes.size() - at >= 8) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        at += 8;
        const qsizetype rest = bytes.size() - at;
        if (id == "data") {
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
