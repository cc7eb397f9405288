#include "sound/ArrivingDevice.h"

#include "sound/SoundBytes.h"

ArrivingDevice::ArrivingDevice(QIODevice *rawSource, std::shared_ptr<const SoundBytes> block,
                               qint64 start, qint64 size)
    : source(rawSource), bytes(std::move(block)), offset(start), length(size)
{
}

bool ArrivingDevice::open(OpenMode mode)
{
    served = 0;
    return QIODevice::open(mode);
}

qint64 ArrivingDevice::bytesAvailable() const
{
    // A sound whose decoding failed has nothing more to give: the channel sees its end.
    if (bytes->isFinished() && bytes->size() < std::size_t(offset + qMin(served, length)))
        return QIODevice::bytesAvailable();
    return QIODevice::bytesAvailable() + source->bytesAvailable();
}

qint64 ArrivingDevice::readData(char *out, qint64 maxSize)
{
    if (maxSize <= 0)
        return 0;
    // The first pass waits for its bytes, and never reads across the end of the samples
    // before all of them are there; a later pass (a loop) finds them all.
    const qint64 want = served < length ? qMin(maxSize, length - served) : maxSize;
    const qint64 end = served < length ? offset + served + want : offset + length;
    const qint64 have = qint64(bytes->waitFor(std::size_t(end)));
    const qint64 can = served < length ? qMin(want, have - offset - served)
                                       : (have >= end ? want : 0);
    if (can <= 0)
        return bytes->isFinished() ? -1 : 0;
    const qint64 n = source->read(out, can);
    if (n > 0)
        served += n;
    return n;
}
