#pragma once
// The one-minute countdown of the card games, kept as a time of day: it runs from the allowance
// towards 00:00:00.000 and wraps to 23:59:59.xxx below zero, which the games read as time up.
// Each play frame subtracts the rise of the wall clock's second-and-millisecond fields since the
// last play frame; a frame spanning a change of minute gives no rise and subtracts nothing.
#include <QString>
#include <QTime>

class Game_Countdown
{
public:
    void start(const QTime &allowance, const QTime &now);

    // Subtracts the elapsed time since lastTick when it is positive; lastTick is kept.
    void advance(const QTime &now);
    void setLastTick(const QTime &now) { lastTick = now; }
    // Takes ms off the remaining time (wrapping below zero like the frames do).
    void subtract(int ms);

    QTime getRemaining() const { return remaining; }
    QTime getLastTick() const { return lastTick; }
    // "mm:ss:zzz" without its last character: minutes, seconds and hundredths.
    QString text() const;

    // Milliseconds between two times counted by their second and millisecond fields only.
    static int elapsedMs(const QTime &from, const QTime &to);

private:
    QTime remaining;
    QTime lastTick;
};
