#include "games/samegame/Game_SameGame_BarLevel.h"

bool Game_SameGame_BarLevel::tick()
{
    level += step;
    drawnHeight = level;
    // The level itself is not clamped, so a halving after an overfull penalty still counts it.
    if (level > capacity) {
        drawnHeight = capacity;
        return true;
    }
    return false;
}

void Game_SameGame_BarLevel::addPenalty()
{
    level += Penalty;
    drawnHeight = level > capacity ? capacity : level;
}

void Game_SameGame_BarLevel::resetLevel()
{
    level = 0.0;
    drawnHeight = 0.0;
}

qint64 Game_SameGame_BarLevel::msLeft(int tickMs) const
{
    if (step <= 0)
        return 0;
    return qint64((capacity - level) / step * tickMs);
}
