#pragma once
// One directory record of a sound archive: the entry's name and its decoded and stored sizes.
#include <cstdint>
#include <string>

struct ArchiveEntry {
    std::string name;
    std::uint32_t decodedSize = 0; // U
    std::uint32_t storedSize = 0;  // S
};
