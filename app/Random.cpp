#include "app/Random.h"

unsigned int Random::state = 1;

void Random::seed(unsigned int value)
{
    state = value;
}

int Random::draw()
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}
