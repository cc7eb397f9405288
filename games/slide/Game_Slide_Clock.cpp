#include "games/slide/Game_Slide_Clock.h"

int Game_Slide_Clock::pointsFor(const QTime &left)
{
    return static_cast<int>(15000 - PointsPerSecond * (60 - left.second()));
}

void Game_Slide_Clock::start(qint64 now)
{
    countdown.start(QTime(0, 1, 0, 0), now);
}

bool Game_Slide_Clock::step(qint64 now)
{
    countdown.advance(now);
    // Below zero the time of day wraps to 23:59, so a minute field of 2 or more means time up.
    if (countdown.getRemaining().minute() >= 2)
        return false;
    countdown.setLastTick(now);
    return true;
}
