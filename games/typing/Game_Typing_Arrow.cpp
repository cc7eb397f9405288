#include "games/typing/Game_Typing_Arrow.h"

#include "app/Clock.h"
#include "app/Random.h"

Game_Typing_Arrow::Game_Typing_Arrow(int x) : x(x)
{
    Random::seed(Clock::currentTime().toString(QStringLiteral("mmssszzz")).toInt());
    direction = Random::draw() % 4;
}

int Game_Typing_Arrow::shift(int delta)
{
    x += delta;
    return x;
}
