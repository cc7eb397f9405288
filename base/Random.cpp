#include "base/Random.h"

#include <numeric>

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

int Random::drawTimes(int factor, int n)
{
    const int r = draw();
    if (std::gcd(factor, n) != 1)
        return r % n;
    return r * factor % n;
}
