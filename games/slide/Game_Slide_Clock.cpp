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
    if (countdown.isOver())
        return false;
    countdown.setLastTick(now);
    return true;
}
