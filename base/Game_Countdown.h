#pragma once
// The countdown of the timed games: it runs from the allowance towards zero, and every game
// reads one verdict from it, the time left (never below zero) and whether it has run out. Each
// play frame subtracts the time since the last play frame on the monotonic clock
// (Clock::monotonicMs), so a change of minute or of the time of day costs nothing extra, and a
// frame or pause of any length past the time left is time up.
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
    // Takes ms off the remaining time (a negative ms gives time back).
    void subtract(int ms) { left -= ms; }

    // The verdict: the milliseconds left, 0 once the time has run out.
    qint64 remainingMs() const { return left > 0 ? left : 0; }
    // True once no time is left, exactly zero included.
    bool isOver() const { return left <= 0; }
    // The time left as minutes, seconds and milliseconds; 00:00:00.000 once it has run out.
    QTime getRemaining() const { return QTime(0, 0).addMSecs(int(remainingMs())); }
    qint64 getLastTick() const { return lastTick; }
    // "mm:ss:zzz" without its last character: minutes, seconds and hundredths.
    QString text() const;

private:
    // Goes below zero when a penalty or a frame overshoots, so time given back afterwards
    // within the same frame is measured from the overshoot, not from zero.
    qint64 left = 0;
    qint64 lastTick = 0;
};
