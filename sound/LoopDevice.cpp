#include "sound/LoopDevice.h"

#include <cstring>

LoopDevice::LoopDevice(const QByteArray &loop) : samples(loop) {}

bool LoopDevice::open(OpenMode mode)
{
    position = 0;
    served = 0;
    return QIODevice::open(mode);
}

qint64 LoopDevice::bytesAvailable() const
{
    // Endless, but an honest figure keeps readers from asking for absurd amounts.
    return QIODevice::bytesAvailable() + samples.size();
}

qint64 LoopDevice::readData(char *out, qint64 maxSize)
{
    if (samples.isEmpty() || maxSize <= 0)
        return 0;
    qint64 done = 0;
    while (done < maxSize) {
        const qint64 n = qMin(maxSize - done, qint64(samples.size()) - position);
        std::memcpy(out + done, samples.constData() + position, size_t(n));
        done += n;
        position += n;
        if (position == samples.size())
            position = 0;
    }
    served += done;
    return done;
}
