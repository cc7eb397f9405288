#pragma once
// A sound archive: big-endian header, directory and entries, optionally Blowfish-enciphered and
// zlib-compressed. The reader opens with a key and decodes entries; the builder writes archives.
// Works on the C library's file functions and zlib only. Malformed files fail cleanly: every size
// is checked against the file before it is used, a damaged entry fails only its own read, and no
// entry decodes to more than entryLimit bytes.
#include "sound/ArchiveEntry.h"
#include "sound/Blowfish.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
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
    // Far above any sound of the game (a minute of CD-quality music is 10 MB), far below what
    // a hostile directory may claim.
    static constexpr std::uint64_t DefaultEntryLimit = 64u << 20;

    // Keys the process-wide cipher, as a builder must before sealing and writing; false for an
    // empty key.
    static bool keyCipher(const std::string &key);

    bool open(const std::string &path, const std::string &key);
    int entryCount() const { return static_cast<int>(entries.size()); }
    std::string entryName(int index) const;
    int indexOf(const std::string &name) const;
    const ArchiveEntry *entry(int index) const;
    // Decodes entry name into *bytes; a name not in the archive is read as a loose file. False,
    // *bytes untouched, when nothing could be read, the stored form is damaged, the entry (or
    // loose file) is larger than the entry limit, or memory runs out.
    bool read(const std::string &name, std::vector<unsigned char> *bytes) const;
    // Where read(name, sink) puts an entry: room for its decoded size, asked for once, then word
    // of how many leading bytes are final after every step of decoding.
    class Sink
    {
    public:
        virtual ~Sink() = default;
        virtual unsigned char *room(std::size_t bytes) = 0;
        virtual void arrived(std::size_t bytes) = 0;

    private:
        friend class Archive;
        bool filled = false;
    };
    // The same as read(name, bytes), into sink: a compressed entry is inflated straight into
    // its room, so a reader on another thread may use the front of the entry while the rest is
    // still decoding; anything else arrives in one piece. False on the same faults; the bytes
    // told before a failure may then be any.
    bool read(const std::string &name, Sink &sink) const;
    // The most bytes one entry may occupy or decode to.
    void setEntryLimit(std::uint64_t bytes) { entryLimit = bytes; }
    std::uint64_t entryLimitBytes() const { return entryLimit; }

    void addEntry(const ArchiveBuffer &buffer);
    // Writes the entries added so far; a and b are the header's two free words (the caller
    // draws them), the two after them are stored as a + b and a + b + 1.
    bool write(const std::string &path, std::uint32_t flags, std::uint32_t a,
               std::uint32_t b) const;

    std::uint32_t archiveFlags() const { return flags; }
    void setLooseFiles(bool value) { looseFiles = value; }

private:
    bool readHeaderAndDirectory(std::FILE *file, long fileSize);
    // Parses count records of the deciphered directory; the entries, their offsets and the
    // name index are kept only when every record is whole.
    bool readDirectory(const std::vector<unsigned char> &directory, std::size_t count);
    bool readEntry(std::size_t index, std::vector<unsigned char> *bytes, Sink *sink) const;
    bool inflateEntry(std::FILE *file, const ArchiveEntry &e, std::uint64_t offset,
                      std::uint64_t payload, std::vector<unsigned char> *bytes, Sink *sink) const;

    std::string key;
    std::string path;
    std::uint32_t flags = 0;
    std::uint32_t directoryLength = 0;
    std::uint64_t storedDirectoryLength = 0;
    std::vector<ArchiveEntry> entries;
    // Built once at open: the first entry of each name, and where each entry's data starts.
    std::unordered_map<std::string, std::size_t> firstByName;
    std::vector<std::uint64_t> offsets;
    std::vector<unsigned char> data;
    bool looseFiles = true;
    // The process-wide cipher as open keyed it: entries are read with this copy, so that
    // reading on several threads, or a later rekeying, cannot disturb one another.
    Blowfish cipher;
    std::uint64_t entryLimit = DefaultEntryLimit;
};
