#include "base/Clock.h"

#include <QElapsedTimer>

namespace {
std::function<QTime()> &timeSource()
{
    static std::function<QTime()> source;
    return source;
}

std::function<qint64()> &monotonicSource()
{
    static std::function<qint64()> source;
    return source;
}
} // namespace

QTime Clock::currentTime()
{
    return timeSource() ? timeSource()() : QTime::currentTime();
}

qint64 Clock::monotonicMs()
{
    if (monotonicSource())
        return monotonicSource()();
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

void Clock::setTimeSource(std::function<QTime()> source)
{
    timeSource() = std::move(source);
}

void Clock::setMonotonicSource(std::function<qint64()> source)
{
    monotonicSource() = std::move(source);
}

void Clock::reset()
{
    timeSource() = nullptr;
    monotonicSource() = nullptr;
}
