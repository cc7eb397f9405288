#include "games/shooting/Game_Shooting_Combo.h"

Game_Shooting_Combo::Game_Shooting_Combo(int x, int y) : Game_Shooting_Sprite(0.02)
{
    seedFromClock();
    setVelocity(0, -1);
    place(x, y);
}
