#pragma once
// The clock of the elapsed-time games: time survived since the start of a play, advanced on
// every play frame by how far the wall clock's second-and-millisecond reading moved since the
// last frame.
#include <QString>
#include <QTime>

class Game_ElapsedClock
{
public:
    // elapsed = 00:00:00.000; the next tick measures from now.
    void start(const QTime &now);
    // Adds the advance of now over the last tick when it is positive; a reading that went back
    // (the wall clock passed a full minute) adds nothing. The next tick measures from now.
    void tick(const QTime &now);
    // The next tick measures from now, so the time since the last tick is not counted.
    void skipTo(const QTime &now);

    const QTime &getElapsed() const { return elapsed; }
    // Minutes and seconds as whole seconds; hours are not counted.
    int wholeSeconds() const;
    // "mm:ss:zz": minutes, seconds and hundredths.
    QString text() const;

private:
    QTime elapsed{0, 0};
    QTime lastTick{0, 0};
};
