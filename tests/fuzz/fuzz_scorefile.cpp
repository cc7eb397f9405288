// libFuzzer target: the score file parser on arbitrary bytes. Whatever the file holds, parsing
// fills at most the ten slots and never reads or writes outside them.
#include "app/ScoreFile.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Guard slots on both sides catch a write past either end of the table.
    int table[ScoreFile::Count + 2];
    for (int &v : table)
        v = 0x5eed;
    ScoreFile::parse(QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size)),
                     table + 1);
    if (table[0] != 0x5eed || table[ScoreFile::Count + 1] != 0x5eed)
        std::abort();
    return 0;
}
