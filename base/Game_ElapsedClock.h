#pragma once
// The clock of the elapsed-time games: time survived since the start of a play, advanced on
// every play frame by the time since the last frame on the monotonic clock (Clock::monotonicMs).
#include <QString>
#include <QTime>

class Game_ElapsedClock
{
public:
    // elapsed = 00:00:00.000; the next tick measures from now (monotonic milliseconds).
    void start(qint64 now);
    // Adds the time since the last tick when it is positive. The next tick measures from now.
    void tick(qint64 now);
    // The next tick measures from now, so the time since the last tick is not counted.
    void skipTo(qint64 now);

    const QTime &getElapsed() const { return elapsed; }
    // Minutes and seconds as whole seconds; hours are not counted.
    int wholeSeconds() const;
    // "mm:ss:zz": minutes, seconds and hundredths.
    QString text() const;

private:
    QTime elapsed{0, 0};
    qint64 lastTick = 0;
};
