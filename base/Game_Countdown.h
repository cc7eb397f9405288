#pragma once
// The one-minute countdown of the timed games, kept as a time of day: it runs from the allowance
// towards 00:00:00.000 and wraps to 23:59:59.xxx below zero, which the games read as time up.
// Each play frame subtracts the time since the last play frame on the monotonic clock
// (Clock::monotonicMs), so a change of minute or of the time of day costs nothing extra.
#include <QString>
#include <QTime>

class Game_Countdown
{
public:
    // now is a monotonic millisecond count.
    void start(const QTime &allowance, qint64 now);

    // Subtracts the elapsed time since lastTick when it is positive; lastTick is kept.
    void advance(qint64 now);
    void setLastTick(qint64 now) { lastTick = now; }
    // Takes ms off the remaining time (wrapping below zero like the frames do).
    void subtract(int ms);

    QTime getRemaining() const { return remaining; }
    qint64 getLastTick() const { return lastTick; }
    // "mm:ss:zzz" without its last character: minutes, seconds and hundredths.
    QString text() const;

private:
    QTime remaining;
    qint64 lastTick = 0;
};
