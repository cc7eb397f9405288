#include "games/typing/Game_Typing_Arrow.h"

#include "base/Random.h"

Game_Typing_Arrow::Game_Typing_Arrow(int left) : x(left)
{
    // The play seeds the generator once; reseeding from the clock for every tile made steady
    // frames give nearly the same seed step, so arrows repeated or reversed far too often.
    direction = Random::draw() % 4;
}

int Game_Typing_Arrow::shift(int delta)
{
    x += delta;
    return x;
}
