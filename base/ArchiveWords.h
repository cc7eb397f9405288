#pragma once
// The two free words an archive header carries (the reader checks only that the next two are
// their sum and the sum plus one). The archive tools draw them from the game's generator, seeded
// from the time, and hand them to the writer, which takes them as they are.
#include <cstdint>

struct ArchiveWords
{
    std::uint32_t a = 0;
    std::uint32_t b = 0;

    // Reseeds the process-wide generator from the time, skips 1024 to 2047 draws and takes two.
    static ArchiveWords draw();
};
