#include "sound/FadeDevice.h"

#include <QtEndian>

#include <cstring>

bool FadeDevice::start(QIODevice *device, const QAudioFormat &audioFormat, double gain, int fadeMs,
                       int endSilenceMs, int leadMs)
{
    close();
    source = device;
    format = audioFormat;
    level = gain;
    fadeFrames = qMax(1, int(qint64(format.sampleRate()) * fadeMs / 1000));
    framesServed = 0;
    endFrames = qint64(format.sampleRate()) * endSilenceMs / 1000;
    leadFrames = qint64(format.sampleRate()) * leadMs / 1000;
    tail.clear();
    fading = false;
    // Unbuffered: every read passes through the fade as it is asked for.
    return open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void FadeDevice::fadeOut()
{
    if (fading)
        return;
    fading = true;
    const int frame = format.bytesPerFrame();
    if (source && frame > 0 && source->isOpen()) {
        tail = source->read(fadeFrames * frame);
        tail.chop(tail.size() % frame);
        // A sound stopped while still fading in keeps the level it had reached.
        ramp(tail.data(), tail.size(), framesServed, false);
        ramp(tail.data(), tail.size(), 0, true);
    }
    source = nullptr;
}

bool FadeDevice::atEnd() const
{
    // Fading out never runs dry: silence follows until the sink is stopped.
    if (fading)
        return false;
    return !source || (source->atEnd() && endFrames == 0);
}

qint64 FadeDevice::bytesAvailable() const
{
    if (fading)
        return tail.size() + fadeFrames * format.bytesPerFrame();
    return source ? source->bytesAvailable() + (leadFrames + endFrames) * format.bytesPerFrame()
                  : 0;
}

qint64 FadeDevice::readData(char *out, qint64 maxSize)
{
    const int frame = format.bytesPerFrame();
    if (frame > 0)
        maxSize -= maxSize % frame;
    if (maxSize <= 0)
        return 0;
    if (fading) {
        const qint64 n = qMin(maxSize, qint64(tail.size()));
        std::memcpy(out, tail.constData(), size_t(n));
        tail.remove(0, n);
        silence(out + n, maxSize - n);
        return maxSize;
    }
    if (!source)
        return 0;
    if (leadFrames > 0 && frame > 0) {
        const qint64 frames = qMin(maxSize / frame, leadFrames);
        leadFrames -= frames;
        silence(out, frames * frame);
        return frames * frame;
    }
    const qint64 n = source->read(out, maxSize);
    if (n == 0 && !source->atEnd()) {
        // Nothing this moment, more to come: a pull-mode sink handed an empty read stops asking
        // for good, so it is handed silence instead.
        silence(out, maxSize);
        return maxSize;
    }
    if (n <= 0 && endFrames > 0 && frame > 0) {
        const qint64 frames = qMin(maxSize / frame, endFrames);
        endFrames -= frames;
        silence(out, frames * frame);
        return frames * frame;
    }
    if (n > 0 && frame > 0) {
        if (framesServed < fadeFrames || level != 1.0)
            ramp(out, n, framesServed, false);
        framesServed += n / frame;
    }
    return n;
}

void FadeDevice::silence(char *data, qint64 bytes) const
{
    // Silence is the middle of the range: 0, or 128 for unsigned bytes.
    std::memset(data, format.sampleFormat() == QAudioFormat::UInt8 ? 0x80 : 0, size_t(bytes));
}

void FadeDevice::ramp(char *data, qint64 bytes, qint64 first, bool falling) const
{
    const int frame = format.bytesPerFrame();
    const int channels = format.channelCount();
    const int width = format.bytesPerSample();
    for (qint64 f = 0; f < bytes / frame; ++f) {
        const qint64 at = first + f;
        if (!falling && at >= fadeFrames && level == 1.0)
            return;
        const double gain = falling ? double(fadeFrames - 1 - qMin(at, fadeFrames - 1)) / fadeFrames
                                    : level * double(qMin(at, fadeFrames)) / fadeFrames;
        for (int c = 0; c < channels; ++c) {
            char *s = data + f * frame + c * width;
            if (format.sampleFormat() == QAudioFormat::Int16) {
                qToLittleEndian<qint16>(qint16(qFromLittleEndian<qint16>(s) * gain), s);
            } else if (format.sampleFormat() == QAudioFormat::UInt8) {
                *s = char(quint8(128 + (quint8(*s) - 128) * gain));
            }
        }
    }
}
