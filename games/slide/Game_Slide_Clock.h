#pragma once
// Slide's minute and the live score it gives, without painting: each play frame takes the time
// since the last one off the minute, and the minute is over once no time is left.
#include "base/Game_Countdown.h"

class Game_Slide_Clock
{
public:
    static constexpr int PointsPerSecond = 250;
    // The live score for a remaining time: 250 for every whole second of its seconds field.
    static int pointsFor(const QTime &left);

    // A full minute, its last frame at monotonic time now.
    void start(qint64 now);
    // One play frame at monotonic time now: takes the time since the last frame off the minute.
    // True while time is left (this frame is then the last one); false once it has run out.
    bool step(qint64 now);
    // The live score of the time left, 0 once it has run out.
    int points() const { return pointsFor(countdown.getRemaining()); }

    Game_Countdown &getCountdown() { return countdown; }
    const Game_Countdown &getCountdown() const { return countdown; }

private:
    Game_Countdown countdown;
};
