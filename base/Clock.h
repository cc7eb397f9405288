#pragma once
// Every read of the wall clock goes through here, so tests can set the time.
#include <QTime>
#include <functional>

class Clock
{
public:
    // Time of day, as QTime::currentTime() gives it.
    static QTime currentTime();
    // A monotonic millisecond count that never runs backwards (not tied to the time of day).
    static qint64 monotonicMs();

    // Test seams: replace the sources; an empty function restores the real clock.
    static void setTimeSource(std::function<QTime()> source);
    static void setMonotonicSource(std::function<qint64()> source);
    static void reset();
};
