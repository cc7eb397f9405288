// libFuzzer target: Archive::open and Archive::read on arbitrary bytes.
// The first input byte picks how the rest is used: even, as the archive file itself; odd, as a
// plain image that the harness enciphers the way a builder would (header words, directory and
// data blocks), so that the fuzzer also reaches the directory and unsealing of enciphered files.
#include "sound/Archive.h"
#include "sound/Blowfish.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

const std::string Key = "pelorn_quives";

std::string scratchPath()
{
    const char *dir = std::getenv("TMPDIR");
    return std::string(dir ? dir : "/tmp") + "/fuzz_archive_" + std::to_string(getpid()) + ".fka";
}

std::uint32_t big(const unsigned char *b)
{
    return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) |
           b[3];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    std::vector<unsigned char> file(data + 1, data + size);
    if ((data[0] & 1) && file.size() >= 32 && (big(file.data() + 4) & Archive::Enciphered)) {
        Archive::keyCipher(Key);
        // ECB has no chaining, so enciphering everything after byte 8 block by block is what a
        // builder produces whenever the entries' sizes are whole blocks.
        Blowfish::shared().encipher(file.data() + 8, (file.size() - 8) / 8 * 8);
    }
    static const std::string path = scratchPath();
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);

    Archive archive;
    archive.setLooseFiles(false);
    if (archive.open(path, Key)) {
        for (int i = 0; i < archive.entryCount() && i < 64; ++i) {
            std::vector<unsigned char> bytes;
            // Entries are read by name, and the first entry of a name is the one read, so the
            // sizes to compare are those of that entry.
            const std::string name = archive.entryName(i);
            const ArchiveEntry *read = archive.entry(archive.indexOf(name));
            if (archive.read(name, &bytes) && read->decodedSize != bytes.size()) {
                // A successful read of a compressed entry always yields its decoded size.
                if ((archive.archiveFlags() & Archive::Compressed) &&
                    bytes.size() > read->decodedSize)
                    __builtin_trap();
            }
        }
    }
    archive.entryName(-1);
    archive.indexOf("bgm\\BGM_1.wav");
    return 0;
}
