#include "games/speed/Game_Speed_Clock.h"

void Game_Speed_Clock::start(qint64 now)
{
    countdown.start(QTime(0, 1, 0, 0), now);
    missFlash = 0;
    gameOver = false;
}

bool Game_Speed_Clock::step(qint64 now)
{
    countdown.advance(now);
    if (countdown.isOver()) {
        gameOver = true;
        return false;
    }
    countdown.setLastTick(now);
    if (missFlash > 0)
        --missFlash;
    return true;
}

void Game_Speed_Clock::miss()
{
    countdown.subtract(MissPenaltyMs);
    missFlash = FlashRed;
}
