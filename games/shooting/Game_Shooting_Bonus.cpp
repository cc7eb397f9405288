#include "games/shooting/Game_Shooting_Bonus.h"

#include "base/Random.h"

Game_Shooting_Bonus::Game_Shooting_Bonus(int x, int y, bool gained)
    : Game_Shooting_Sprite(0.02), plus(gained)
{
    seedFromClock();
    const int vx = Random::draw() % 4 - 2;
    const int vy = Random::draw() % 4 - 2;
    setVelocity(vx, vy);
    place(x, y);
}
