#include "sound/ArchiveBuffer.h"

#include "sound/Blowfish.h"

#include <zlib.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{

constexpr std::size_t Chunk = 65536;

std::uint32_t loadBig(const unsigned char *b)
{
    return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) |
           std::uint32_t(b[3]);
}

void storeBig(unsigned char *b, std::uint32_t v)
{
    b[0] = static_cast<unsigned char>(v >> 24);
    b[1] = static_cast<unsigned char>(v >> 16);
    b[2] = static_cast<unsigned char>(v >> 8);
    b[3] = static_cast<unsigned char>(v);
}

} // namespace

std::FILE *ArchiveBuffer::openRegularFile(const std::string &path)
{
    // Opening a FIFO for reading waits for a writer unless it is opened non-blocking.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    const int mode = ::fcntl(fd, F_GETFL);
    if (mode != -1)
        ::fcntl(fd, F_SETFL, mode & ~O_NONBLOCK);
    std::FILE *file = ::fdopen(fd, "rb");
    if (!file)
        ::close(fd);
    return file;
}

bool ArchiveBuffer::loadFile(const std::string &path, std::uint64_t maxBytes)
{
    std::FILE *file = openRegularFile(path);
    if (!file)
        return false;
    std::vector<unsigned char> read;
    unsigned char chunk[Chunk];
    std::size_t got = 0;
    while (read.size() <= maxBytes && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        read.insert(read.end(), chunk, chunk + got);
    const bool ok = !std::ferror(file) && read.size() <= maxBytes && read.size() <= 0xffffffffu;
    std::fclose(file);
    if (!ok)
        return false;
    data.swap(read);
    descriptor.decodedSize = static_cast<std::uint32_t>(data.size());
    syncSize();
    return true;
}

void ArchiveBuffer::loadBytes(const unsigned char *bytes, std::size_t n)
{
    data.assign(bytes, bytes + n);
    descriptor.decodedSize = static_cast<std::uint32_t>(n);
    syncSize();
}

void ArchiveBuffer::setEntryName(const std::string &name)
{
    descriptor.name = name;
    std::replace(descriptor.name.begin(), descriptor.name.end(), '\\', '/');
}

bool ArchiveBuffer::compress()
{
    uLongf length = compressBound(static_cast<uLong>(data.size()));
    std::vector<unsigned char> packed(length);
    if (::compress2(packed.data(), &length, data.data(), static_cast<uLong>(data.size()),
                    Z_DEFAULT_COMPRESSION) != Z_OK)
        return false;
    if (length < data.size()) {
        packed.resize(length);
        data.swap(packed);
        syncSize();
    }
    return true;
}

void ArchiveBuffer::seal()
{
    const std::uint32_t m = static_cast<std::uint32_t>(data.size());
    const std::size_t padded = (std::size_t(m) + 7) / 8 * 8;
    std::vector<unsigned char> sealed(8 + padded, 0);
    storeBig(sealed.data(), Magic);
    storeBig(sealed.data() + 4, m);
    if (m > 0)
        std::memcpy(sealed.data() + 8, data.data(), m);
    Blowfish::shared().encipher(sealed.data(), sealed.size());
    data.swap(sealed);
    syncSize();
}

bool ArchiveBuffer::unseal()
{
    return unseal(Blowfish::shared());
}

bool ArchiveBuffer::unseal(const Blowfish &cipher)
{
    if (data.size() < 8)
        return false;
    unsigned char head[8];
    std::memcpy(head, data.data(), 8);
    cipher.decipher(head, 8);
    const std::uint32_t m = loadBig(head + 4);
    // 64-bit so that a length near 4 GiB cannot wrap round to a small padded size.
    const std::uint64_t expected = 8 + (std::uint64_t(m) + 7) / 8 * 8;
    if (loadBig(head) != Magic || data.size() != expected)
        return false;
    cipher.decipher(data.data(), data.size());
    data.erase(data.begin(), data.begin() + 8);
    data.resize(m);
    syncSize();
    return true;
}

bool ArchiveBuffer::decompress()
{
    const std::size_t limit = descriptor.decodedSize;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    std::vector<unsigned char> out;
    // Room for what sound usually deflates to (at most about four to one); beyond that the
    // output grows only as the stream really produces bytes, so a hostile decoded size reserves
    // nothing it does not fill.
    out.reserve(std::min<std::size_t>(limit, data.size() * 4 + Chunk));
    stream.next_in = data.data();
    stream.avail_in = static_cast<uInt>(data.size());
    int status = Z_OK;
    // The output grows in 64 KiB steps up to the decoded size and never past it, so a hostile
    // stream cannot make us allocate more than the directory promised.
    while (status == Z_OK) {
        if (out.size() >= limit) {
            // Full: the stream must end here without producing anything more.
            unsigned char probe = 0;
            stream.next_out = &probe;
            stream.avail_out = 1;
            status = inflate(&stream, Z_FINISH);
            if (stream.avail_out == 0)
                status = Z_DATA_ERROR;
            break;
        }
        const std::size_t before = out.size();
        const std::size_t step = std::min(Chunk, limit - before);
        out.resize(before + step);
        stream.next_out = out.data() + before;
        stream.avail_out = static_cast<uInt>(step);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(before + step - stream.avail_out);
        if (status == Z_BUF_ERROR && stream.avail_out != 0)
            break; // input exhausted before the stream ended
        if (status == Z_BUF_ERROR)
            status = Z_OK;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return false;
    data.swap(out);
    descriptor.decodedSize = static_cast<std::uint32_t>(data.size());
    syncSize();
    return true;
}

bool ArchiveBuffer::saveFile(const std::string &path) const
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = true;
    for (std::size_t off = 0; ok && off < data.size(); off += Chunk) {
        const std::size_t n = std::min(Chunk, data.size() - off);
        ok = std::fwrite(data.data() + off, 1, n, file) == n;
    }
    ok = (std::fclose(file) == 0) && ok;
    if (!ok)
        std::remove(path.c_str());
    return ok;
}
