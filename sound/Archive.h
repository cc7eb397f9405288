#pragma once
// A sound archive: big-endian header, directory and entries, optionally Blowfish-enciphered and
// zlib-compressed. The reader opens with a key and decodes entries; the builder writes archives.
// Works on the C library's file functions and zlib only. Malformed files fail cleanly: every size
// is checked against the file before it is used.
#include "sound/ArchiveEntry.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class ArchiveBuffer;

class Archive
{
public:
    static constexpr std::uint32_t Magic = 1920982;
    static constexpr std::uint32_t Enciphered = 2;
    static constexpr std::uint32_t Compressed = 4;
    static constexpr std::size_t HeaderSize = 32;
    static constexpr std::size_t RecordHeadSize = 12;

    // Keys the process-wide cipher, as a builder must before sealing and writing; false for an
    // empty key.
    static bool keyCipher(const std::string &key);

    bool open(const std::string &path, const std::string &key);
    int entryCount() const { return static_cast<int>(entries.size()); }
    std::string entryName(int index) const;
    int indexOf(const std::string &name) const;
    const ArchiveEntry *entry(int index) const;
    // Decodes entry name into *bytes; a name not in the archive is read as a loose file. False,
    // *bytes untouched, when nothing could be read or the stored form is damaged.
    bool read(const std::string &name, std::vector<unsigned char> *bytes) const;

    void addEntry(const ArchiveBuffer &buffer);
    bool write(const std::string &path, std::uint32_t flags) const;

    std::uint32_t archiveFlags() const { return flags; }
    void setLooseFiles(bool value) { looseFiles = value; }

private:
    bool readHeaderAndDirectory(std::FILE *file, long fileSize);

    std::string key;
    std::string path;
    std::uint32_t flags = 0;
    std::uint32_t directoryLength = 0;
    std::uint64_t storedDirectoryLength = 0;
    std::vector<ArchiveEntry> entries;
    std::vector<unsigned char> data;
    bool looseFiles = true;
};
