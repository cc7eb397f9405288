#include "sound/Archive.h"

#include "sound/ArchiveBuffer.h"
#include "sound/Blowfish.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <utility>

namespace
{

constexpr std::size_t Chunk = 65536;

std::uint32_t loadBig(const unsigned char *b)
{
    return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) |
           std::uint32_t(b[3]);
}

void storeBig(std::vector<unsigned char> &out, std::uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v >> 24));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

std::string withSlashes(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

// The length of an open file, or -1.
long fileLength(std::FILE *file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long length = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0)
        return -1;
    return length;
}

// Reads n bytes in 64 KiB chunks; false when fewer arrive.
bool readExactly(std::FILE *file, unsigned char *out, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        const std::size_t want = std::min(Chunk, n - done);
        const std::size_t got = std::fread(out + done, 1, want, file);
        done += got;
        if (got != want)
            return false;
    }
    return true;
}

// Inflates the zlib stream in the first payload of stored bytes read from file (deciphered on
// the way when cipher is given), as ArchiveBuffer::decompress does: never beyond limit bytes,
// and true only when the stream ends there. area(before, step) gives room for step more bytes
// after the first before; produced(total) is told the decoded length after every step.
bool inflateFrom(std::FILE *file, std::uint64_t stored, std::uint64_t payload,
                 const Blowfish *cipher, std::size_t limit,
                 const std::function<unsigned char *(std::size_t, std::size_t)> &area,
                 const std::function<void(std::size_t)> &produced)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    std::vector<unsigned char> in(Chunk);
    std::size_t total = 0;
    std::uint64_t unread = stored;
    std::uint64_t unfed = payload;
    unsigned char probe = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.avail_in == 0 && unfed > 0) {
            const std::size_t n = std::size_t(std::min<std::uint64_t>(Chunk, unread));
            if (n == 0 || !readExactly(file, in.data(), n)) {
                status = Z_ERRNO;
                break;
            }
            unread -= n;
            if (cipher)
                cipher->decipher(in.data(), n);
            const std::size_t use = std::size_t(std::min<std::uint64_t>(n, unfed));
            unfed -= use;
            stream.next_in = in.data();
            stream.avail_in = static_cast<uInt>(use);
        }
        const std::size_t before = total;
        const bool full = before >= limit;
        std::size_t step = 0;
        if (full) {
            // Full: the stream must end here without producing anything more.
            stream.next_out = &probe;
            stream.avail_out = 1;
        } else {
            step = std::min(Chunk, limit - before);
            stream.next_out = area(before, step);
            stream.avail_out = static_cast<uInt>(step);
        }
        status = inflate(&stream, Z_NO_FLUSH);
        if (full && stream.avail_out == 0)
            status = Z_DATA_ERROR;
        if (!full) {
            total = before + step - stream.avail_out;
            produced(total);
        }
        if (status == Z_BUF_ERROR && stream.avail_in == 0 && unfed == 0)
            break; // input exhausted before the stream ended
        if (status == Z_BUF_ERROR)
            status = Z_OK;
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END;
}

// The same into a vector that grows as the stream produces bytes.
bool inflateFrom(std::FILE *file, std::uint64_t stored, std::uint64_t payload,
                 const Blowfish *cipher, std::size_t limit, std::vector<unsigned char> *result)
{
    std::vector<unsigned char> out;
    out.reserve(std::min<std::uint64_t>(limit, payload * 4 + Chunk));
    const bool ok = inflateFrom(
        file, stored, payload, cipher, limit,
        [&out](std::size_t before, std::size_t step) {
            out.resize(before + step);
            return out.data() + before;
        },
        [&out](std::size_t total) { out.resize(total); });
    if (ok)
        result->swap(out);
    return ok;
}

bool readLooseFile(const std::string &name, std::vector<unsigned char> *bytes, std::uint64_t limit)
{
    ArchiveBuffer loose;
    if (!loose.loadFile(name, limit))
        return false;
    *bytes = loose.bytes();
    return true;
}

} // namespace

bool Archive::keyCipher(const std::string &key)
{
    return Blowfish::shared().setKey(reinterpret_cast<const unsigned char *>(key.data()),
                                     key.size());
}

bool Archive::open(const std::string &archivePath, const std::string &archiveKey)
{
    key = archiveKey;
    path = withSlashes(archivePath);
    firstByName.clear();
    offsets.clear();
    // A FIFO or a device in place of the archive would block or never end: regular files only.
    std::FILE *file = ArchiveBuffer::openRegularFile(path);
    if (!file)
        return false;
    const long length = fileLength(file);
    bool ok = false;
    try {
        ok = length >= 0 && readHeaderAndDirectory(file, length);
    } catch (const std::bad_alloc &) {
        entries.clear();
        ok = false;
    }
    std::fclose(file);
    return ok;
}

bool Archive::readHeaderAndDirectory(std::FILE *file, long fileSize)
{
    unsigned char header[HeaderSize];
    if (std::fread(header, 1, HeaderSize, file) != HeaderSize || loadBig(header) != Magic)
        return false;
    flags = loadBig(header + 4);
    const bool enciphered = (flags & Enciphered) != 0;
    if (enciphered) {
        // The key schedule needs at least one byte; an empty key cannot open such an archive.
        if (!keyCipher(key))
            return false;
        cipher = Blowfish::shared();
        cipher.decipher(header + 8, HeaderSize - 8);
    }
    const std::uint32_t a = loadBig(header + 8);
    const std::uint32_t b = loadBig(header + 12);
    const std::uint32_t c = loadBig(header + 16);
    const std::uint32_t d = loadBig(header + 20);
    if (std::uint32_t(a + b) != c || std::uint32_t(c + 1) != d)
        return false;

    const std::uint32_t count = loadBig(header + 24);
    directoryLength = loadBig(header + 28);
    storedDirectoryLength =
        enciphered ? (std::uint64_t(directoryLength) + 7) / 8 * 8 : directoryLength;
    // Sizes are checked against the file before anything is allocated from them: every record
    // needs at least its 12-byte head, and the directory must lie inside the file.
    const std::uint64_t available = std::uint64_t(fileSize) - HeaderSize;
    if (std::uint64_t(count) * RecordHeadSize > directoryLength ||
        storedDirectoryLength > available) {
        entries.clear();
        return false;
    }
    entries.assign(count, ArchiveEntry());

    std::vector<unsigned char> directory(storedDirectoryLength);
    if (!readExactly(file, directory.data(), directory.size()))
        return false;
    if (enciphered)
        cipher.decipher(directory.data(), directory.size());

    return readDirectory(directory, count);
}

bool Archive::readDirectory(const std::vector<unsigned char> &directory, std::size_t count)
{
    std::vector<ArchiveEntry> parsed(count);
    std::vector<std::uint64_t> starts(count);
    std::size_t at = 0;
    std::uint64_t dataEnd = HeaderSize + storedDirectoryLength;
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        ArchiveEntry &e = parsed[i];
        if (directoryLength - at < RecordHeadSize)
            return false;
        const std::uint32_t nameLength = loadBig(directory.data() + at);
        e.storedSize = loadBig(directory.data() + at + 4);
        e.decodedSize = loadBig(directory.data() + at + 8);
        at += RecordHeadSize;
        if (nameLength > directoryLength - at)
            return false;
        e.name.assign(reinterpret_cast<const char *>(directory.data() + at), nameLength);
        at += nameLength;
        starts[i] = dataEnd;
        dataEnd += e.storedSize;
    }
    // An entry that runs past the end of the file is not checked here: it fails its own read,
    // and the entries before it stay readable.
    std::unordered_map<std::string, std::size_t> index;
    index.reserve(parsed.size());
    for (std::size_t i = 0; i < parsed.size(); ++i)
        index.emplace(parsed[i].name, i);
    entries.swap(parsed);
    offsets.swap(starts);
    firstByName.swap(index);
    return true;
}

std::string Archive::entryName(int index) const
{
    if (index < 0 || index >= entryCount())
        return std::string();
    return entries[static_cast<std::size_t>(index)].name;
}

const ArchiveEntry *Archive::entry(int index) const
{
    if (index < 0 || index >= entryCount())
        return nullptr;
    return &entries[static_cast<std::size_t>(index)];
}

int Archive::indexOf(const std::string &name) const
{
    const auto found = firstByName.find(withSlashes(name));
    return found == firstByName.end() ? -1 : static_cast<int>(found->second);
}

bool Archive::read(const std::string &name, std::vector<unsigned char> *bytes) const
{
    if (bytes == nullptr)
        return false;
    // Running out of memory fails this one entry, not the program.
    try {
        const int index = indexOf(name);
        if (index < 0)
            return looseFiles && readLooseFile(name, bytes, entryLimit);
        return readEntry(static_cast<std::size_t>(index), bytes, nullptr);
    } catch (const std::bad_alloc &) {
        return false;
    }
}

bool Archive::read(const std::string &name, Sink &sink) const
{
    try {
        std::vector<unsigned char> bytes;
        const int index = indexOf(name);
        if (index < 0) {
            if (!looseFiles || !readLooseFile(name, &bytes, entryLimit))
                return false;
        } else if (!readEntry(static_cast<std::size_t>(index), &bytes, &sink)) {
            return false;
        } else if (sink.filled) {
            return true;
        }
        // Stored whole: handed over in one piece.
        unsigned char *room = sink.room(bytes.size());
        if (!bytes.empty())
            std::memcpy(room, bytes.data(), bytes.size());
        sink.arrived(bytes.size());
        return true;
    } catch (const std::bad_alloc &) {
        return false;
    }
}

bool Archive::readEntry(std::size_t index, std::vector<unsigned char> *bytes, Sink *sink) const
{
    const ArchiveEntry &e = entries[index];
    // The seal adds at most 16 bytes; a compressed entry may decode to no more than the limit.
    if (e.storedSize > entryLimit + 16 || ((flags & Compressed) && e.decodedSize > entryLimit))
        return false;
    const std::uint64_t offset = offsets[index];

    std::FILE *file = ArchiveBuffer::openRegularFile(path);
    if (!file)
        return false;
    // The file may have changed since open: check again before allocating S bytes.
    const long length = fileLength(file);
    ArchiveBuffer buffer;
    bool ok = length >= 0 && offset + e.storedSize <= std::uint64_t(length) &&
              std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
    try {
        // A compressed payload is inflated as it is read, so that the stored bytes and the
        // decoded ones are never held in full at the same time.
        std::uint64_t payload = e.storedSize;
        bool sealedOk = true;
        if (ok && (flags & Enciphered) && e.storedSize >= 8) {
            unsigned char head[8] = {};
            ok = readExactly(file, head, 8);
            cipher.decipher(head, 8);
            payload = loadBig(head + 4);
            sealedOk = loadBig(head) == Magic && e.storedSize == 8 + (payload + 7) / 8 * 8;
            ok = ok && std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
        }
        if (ok && sealedOk && (flags & Compressed) && payload != e.decodedSize) {
            ok = inflateEntry(file, e, offset, payload, bytes, sink);
            std::fclose(file);
            return ok;
        }
        if (ok) {
            buffer.bytes().resize(e.storedSize);
            ok = readExactly(file, buffer.bytes().data(), e.storedSize);
        }
    } catch (const std::bad_alloc &) {
        ok = false;
    }
    std::fclose(file);
    if (!ok)
        return false;
    buffer.setSizes(e.decodedSize);

    // A valid archive always unseals and inflates; a damaged entry is reported rather than
    // handed on as noise.
    if ((flags & Enciphered) && !buffer.unseal(cipher))
        return false;
    if ((flags & Compressed) && buffer.bytes().size() != e.decodedSize && !buffer.decompress())
        return false;
    *bytes = std::move(buffer.bytes());
    return true;
}

// A compressed entry, inflated as it is read (past its seal when enciphered): straight into the
// sink's block of the decoded size when there is a sink, which can use the front of the entry
// while the rest is still inflating, else into bytes. The caller closes the file.
bool Archive::inflateEntry(std::FILE *file, const ArchiveEntry &e, std::uint64_t offset,
                           std::uint64_t payload, std::vector<unsigned char> *bytes,
                           Sink *sink) const
{
    if ((flags & Enciphered) && std::fseek(file, static_cast<long>(offset + 8), SEEK_SET))
        return false;
    const std::uint64_t stored = (flags & Enciphered) ? e.storedSize - 8 : e.storedSize;
    const Blowfish *sealing = (flags & Enciphered) ? &cipher : nullptr;
    if (sink) {
        unsigned char *block = sink->room(e.decodedSize);
        sink->filled = true;
        return inflateFrom(
            file, stored, payload, sealing, e.decodedSize,
            [block](std::size_t before, std::size_t) { return block + before; },
            [sink](std::size_t total) { sink->arrived(total); });
    }
    std::vector<unsigned char> decoded;
    if (!inflateFrom(file, stored, payload, sealing, e.decodedSize, &decoded))
        return false;
    *bytes = std::move(decoded);
    return true;
}

void Archive::addEntry(const ArchiveBuffer &buffer)
{
    entries.push_back(buffer.entry());
    data.insert(data.end(), buffer.bytes().begin(), buffer.bytes().end());
}

bool Archive::write(const std::string &outPath, std::uint32_t writeFlags, std::uint32_t a,
                    std::uint32_t b) const
{
    const std::uint32_t c = a + b;
    const std::uint32_t d = c + 1;

    std::vector<unsigned char> records;
    for (const ArchiveEntry &e : entries) {
        storeBig(records, static_cast<std::uint32_t>(e.name.size()));
        storeBig(records, e.storedSize);
        storeBig(records, e.decodedSize);
        records.insert(records.end(), e.name.begin(), e.name.end());
    }
    std::vector<unsigned char> head;
    for (std::uint32_t v :
         {Magic, writeFlags, a, b, c, d, static_cast<std::uint32_t>(entries.size()),
          static_cast<std::uint32_t>(records.size())})
        storeBig(head, v);
    head.insert(head.end(), records.begin(), records.end());
    if (writeFlags & Enciphered) {
        head.resize((head.size() + 7) / 8 * 8, 0);
        Blowfish::shared().encipher(head.data() + 8, head.size() - 8);
    }

    std::FILE *file = std::fopen(outPath.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(head.data(), 1, head.size(), file) == head.size();
    for (std::size_t off = 0; ok && off < data.size(); off += Chunk) {
        const std::size_t n = std::min(Chunk, data.size() - off);
        ok = std::fwrite(data.data() + off, 1, n, file) == n;
    }
    ok = (std::fclose(file) == 0) && ok;
    if (!ok)
        std::remove(outPath.c_str());
    return ok;
}
