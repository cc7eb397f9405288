#include "base/ResourceFile.h"

#include "base/RegularFile.h"

#include <QFile>
#include <QResource>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <sys/mman.h>

namespace
{
// A packed entry may claim to unpack to no more than this (the biggest entry, the font, takes
// under 1 MB).
constexpr quint64 MaxUnpacked = 64 * 1024 * 1024;

enum NodeFlag : quint16 { Compressed = 0x01, Directory = 0x02, CompressedZstd = 0x04 };

quint64 be16(const uchar *p)
{
    return qFromBigEndian<quint16>(p);
}
quint64 be32(const uchar *p)
{
    return qFromBigEndian<quint32>(p);
}

bool isFileName(const uchar *utf16, quint64 length)
{
    for (quint64 i = 0; i < length; ++i) {
        if (be16(utf16 + 2 * i) == '/')
            return false;
    }
    return length > 0;
}

// The unpacked size a zstd frame header states. A frame that is cut short or states no size
// counts as unbounded: Qt would size its buffer from a header it cannot read.
quint64 zstdContentSize(const uchar *p, quint64 len)
{
    constexpr quint64 Unbounded = ~quint64(0);
    if (len < 6 || qFromLittleEndian<quint32>(p) != 0xFD2FB528u)
        return Unbounded;
    const uchar fhd = p[4];
    const bool single = fhd & 0x20;
    static const quint64 dictBytes[] = {0, 1, 2, 4};
    const quint64 at = 5 + (single ? 0 : 1) + dictBytes[fhd & 3];
    static const quint64 sizeBytes[] = {0, 2, 4, 8};
    const quint64 n = (fhd >> 6) == 0 ? (single ? 1 : 0) : sizeBytes[fhd >> 6];
    if (n == 0 || at + n > len)
        return Unbounded;
    quint64 size = 0;
    for (quint64 i = 0; i < n; ++i)
        size |= quint64(p[at + i]) << (8 * i);
    return n == 2 ? size + 256 : size;
}
} // namespace

bool ResourceFile::isWellFormed(const QByteArray &file)
{
    const auto *d = reinterpret_cast<const uchar *>(file.constData());
    const quint64 size = quint64(file.size());
    // Header: "qres", format, tree, data and names offsets, and flags from format 3 on.
    if (size < 20 || std::memcmp(d, "qres", 4) != 0)
        return false;
    const quint64 version = be32(d + 4);
    if (version < 1 || version > 3 || (version == 3 && size < 24))
        return false;
    const quint64 tree = be32(d + 8), data = be32(d + 12), names = be32(d + 16);
    const quint64 nodeSize = version >= 2 ? 22 : 14;
    if (tree >= size || data > size || names > size)
        return false;
    const quint64 nodesInFile = (size - tree) / nodeSize;
    if (nodesInFile == 0)
        return false;

    // A folder's children come after it, as rcc lays the tree out, and no node is the child of
    // two folders: one pass in node order visits every node once, and no loop can pass.
    std::vector<bool> claimed(nodesInFile);
    quint64 reached = 1;
    for (quint64 node = 0; node < reached; ++node) {
        const uchar *n = d + tree + node * nodeSize;
        // A name is a file name: 1 to 255 characters without a slash (the root's goes unread).
        const quint64 name = names + be32(n);
        if (name + 6 > size || be16(d + name) > 255 || name + 6 + 2 * be16(d + name) > size)
            return false;
        if (node > 0 && !isFileName(d + name + 6, be16(d + name)))
            return false;
        const quint16 flags = quint16(be16(n + 4));
        if (flags & Directory) {
            const quint64 count = be32(n + 6), first = be32(n + 10);
            if (count == 0)
                continue;
            if (first <= node || first + count > nodesInFile)
                return false;
            for (quint64 child = first; child < first + count; ++child) {
                if (claimed[child])
                    return false;
                claimed[child] = true;
            }
            reached = std::max(reached, first + count);
            continue;
        }
        if (node == 0)
            return false; // the root is a folder
        const quint64 at = data + be32(n + 10);
        if (at + 4 > size || at + 4 + be32(d + at) > size)
            return false;
        const uchar *payload = d + at + 4;
        const quint64 length = be32(d + at);
        if ((flags & Compressed) && (length < 4 || be32(payload) > MaxUnpacked))
            return false;
        if ((flags & CompressedZstd) && zstdContentSize(payload, length) > MaxUnpacked)
            return false;
    }
    return true;
}

bool ResourceFile::registerFile(const QString &path, const QString &mountRoot)
{
    // Registered from the very mapping that was checked, which stays for the whole run (Qt
    // maps a registered file the same way, so pictures are paged in only when read).
    auto file = std::make_unique<QFile>();
    if (!RegularFile::open(path, file.get()) || file->size() < 1)
        return false;
    const uchar *data = file->map(0, file->size());
    // No huge pages: the page cache may hold the file in 2 MB blocks, and one picture read
    // would then map a whole block at once. (A kernel may still map a whole block of the page
    // cache around a read page; releasePages lets such blocks go once they are read.)
    if (data)
        ::madvise(const_cast<uchar *>(data), size_t(file->size()), MADV_NOHUGEPAGE);
    if (!data || !isWellFormed(QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                       qsizetype(file->size()))))
        return false;
    // The check touched a page of every entry; they are let go until a picture is read.
    ::madvise(const_cast<uchar *>(data), size_t(file->size()), MADV_DONTNEED);
    if (!QResource::registerResource(data, mountRoot))
        return false;
    // Qt reads the mapping for as long as the process runs, even while it shuts down, so the
    // files are never closed; the list keeps them in reach.
    kept()->push_back({file.release(), const_cast<uchar *>(data)});
    return true;
}

std::vector<ResourceFile::Mapping> *ResourceFile::kept()
{
    static auto *mappings = new std::vector<Mapping>;
    return mappings;
}

void ResourceFile::releasePages()
{
    for (const Mapping &m : *kept())
        ::madvise(m.data, size_t(m.file->size()), MADV_DONTNEED);
}
