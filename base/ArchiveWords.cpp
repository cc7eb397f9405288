#include "base/ArchiveWords.h"

#include "base/Random.h"

#include <ctime>

ArchiveWords ArchiveWords::draw()
{
    Random::seed(static_cast<unsigned>(std::time(nullptr)));
    const int discard = 1024 + Random::draw() % 1024;
    for (int i = 0; i < discard; ++i)
        Random::draw();
    ArchiveWords words;
    words.a = static_cast<std::uint32_t>(Random::draw() % 268435455);
    words.b = static_cast<std::uint32_t>(Random::draw() % 268435455);
    return words;
}
