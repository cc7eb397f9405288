#pragma once
// Speed's one-minute clock without any painting: the countdown, the two-second miss penalty with
// the red flash it leaves on the clock text, and the end of the play once the time has run out.
#include "base/Game_Countdown.h"

class Game_Speed_Clock
{
public:
    static constexpr int MissPenaltyMs = 2000;
    static constexpr int FlashRed = 255;

    // A full minute from now (monotonic milliseconds), no flash, not over.
    void start(qint64 now);
    // The clock step of a play frame: the time since the last frame is taken off; once it has
    // run out the play is over and the step stops there. Otherwise the frame is remembered and
    // the flash fades by one. Returns whether the clock text is to be drawn.
    bool step(qint64 now);
    // A card that fits neither pile: two seconds off and the clock turns red.
    void miss();

    bool isGameOver() const { return gameOver; }
    int getMissFlash() const { return missFlash; }
    Game_Countdown &getCountdown() { return countdown; }
    const Game_Countdown &getCountdown() const { return countdown; }

private:
    // Holds `remaining` and `lastTick`.
    Game_Countdown countdown;
    bool gameOver = false;
    // Red of the clock text after a miss, fading from 255 to 0 one step per frame.
    int missFlash = 0;
};
