#pragma once
// The unit an archive entry is built from or read into: its bytes and a descriptor whose
// storedSize is the current length of the bytes. Compression and sealing act in place.
#include "sound/ArchiveEntry.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class Blowfish;

class ArchiveBuffer
{
public:
    static constexpr std::uint32_t Magic = 1920982;

    // Opens path for reading only when it is a regular file, never waiting on a FIFO or device;
    // null otherwise.
    static std::FILE *openRegularFile(const std::string &path);

    // Reads a whole regular file of at most maxBytes bytes.
    bool loadFile(const std::string &path, std::uint64_t maxBytes = 0xffffffffu);
    void loadBytes(const unsigned char *data, std::size_t n);
    // Stores name with every "\" turned into "/".
    void setEntryName(const std::string &name);

    // Deflates into a zlib stream, kept only when strictly shorter; false when zlib fails.
    bool compress();
    // Puts the head (magic, payload length M) in front, pads to 8 and enciphers with the shared
    // cipher: the current size becomes 8 + M rounded up to 8.
    void seal();
    // Undoes seal; false, bytes untouched, when the head does not check out.
    bool unseal();
    // The same with a cipher of the caller's: a copy keyed once can be used by many threads.
    bool unseal(const Blowfish &cipher);
    // Inflates the zlib stream, never beyond the decoded size; false (bytes untouched) when the
    // stream is broken or would decode to more than that. Memory is taken as the output grows.
    bool decompress();
    bool saveFile(const std::string &path) const;

    const std::vector<unsigned char> &bytes() const { return data; }
    std::vector<unsigned char> &bytes() { return data; }
    const ArchiveEntry &entry() const { return descriptor; }
    // Sets both sizes from the bytes, as the reader does before undoing the stored form.
    void setSizes(std::uint32_t decodedSize)
    {
        descriptor.decodedSize = decodedSize;
        syncSize();
    }

private:
    void syncSize() { descriptor.storedSize = static_cast<std::uint32_t>(data.size()); }

    std::vector<unsigned char> data;
    ArchiveEntry descriptor;
};
