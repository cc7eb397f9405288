// fka: makes and inspects sound archives.
//   fka pack ARCHIVE KEY [--flags N] NAME=FILE ...
//   fka list ARCHIVE KEY
//   fka extract ARCHIVE KEY NAME OUTFILE
// Errors are one line on stderr and exit status 1; no partial output file is left behind.
#include "base/ArchiveWords.h"
#include "sound/Archive.h"
#include "sound/ArchiveBuffer.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{

const char *Usage =
    "usage: fka pack ARCHIVE KEY [--flags N] NAME=FILE ...\n"
    "       fka list ARCHIVE KEY\n"
    "       fka extract ARCHIVE KEY NAME OUTFILE\n"
    "\n"
    "pack     writes ARCHIVE with one entry per NAME=FILE, in the order given; NAME is the\n"
    "         entry name stored, FILE the file on disk. Flags: 2 enciphered with KEY,\n"
    "         4 compressed, 6 both (the default), 0 neither.\n"
    "list     prints position, name, stored size and decoded size of every entry, tab-separated.\n"
    "extract  writes the decoded bytes of entry NAME to OUTFILE.\n";

int fail(const std::string &message)
{
    std::fprintf(stderr, "fka: %s\n", message.c_str());
    return 1;
}

// Names what is wrong with a file that would not open as an archive.
std::string openProblem(const std::string &path)
{
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return path + ": cannot open file: " + std::strerror(errno);
    unsigned char head[4] = {};
    const std::size_t got = std::fread(head, 1, 4, file);
    std::fclose(file);
    const std::uint32_t magic = (std::uint32_t(head[0]) << 24) | (std::uint32_t(head[1]) << 16) |
                                (std::uint32_t(head[2]) << 8) | head[3];
    if (got < 4 || magic != Archive::Magic)
        return path + ": not a sound archive (bad magic)";
    return path + ": wrong key, or the archive is damaged";
}

bool parseFlags(const char *text, std::uint32_t *flags)
{
    char *end = nullptr;
    const long value = std::strtol(text, &end, 0);
    if (!text[0] || *end || value < 0 || (value & ~long(Archive::Enciphered | Archive::Compressed)))
        return false;
    *flags = std::uint32_t(value);
    return true;
}

int pack(const std::vector<std::string> &args)
{
    if (args.size() < 2)
        return fail("pack needs ARCHIVE and KEY (see fka --help)");
    const std::string &path = args[0];
    const std::string &key = args[1];
    std::uint32_t flags = Archive::Enciphered | Archive::Compressed;
    std::vector<std::string> items;
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--flags") {
            if (i + 1 >= args.size() || !parseFlags(args[i + 1].c_str(), &flags))
                return fail("--flags takes 0, 2, 4 or 6");
            ++i;
        } else if (args[i].rfind("--flags=", 0) == 0) {
            if (!parseFlags(args[i].c_str() + 8, &flags))
                return fail("--flags takes 0, 2, 4 or 6");
        } else {
            items.push_back(args[i]);
        }
    }
    if ((flags & Archive::Enciphered) && !Archive::keyCipher(key))
        return fail("an enciphered archive needs a key of at least one byte");

    Archive archive;
    for (const std::string &item : items) {
        const std::size_t eq = item.find('=');
        if (eq == std::string::npos || eq == 0 || eq + 1 == item.size())
            return fail("expected NAME=FILE, got '" + item + "'");
        ArchiveBuffer buffer;
        const std::string file = item.substr(eq + 1);
        if (!buffer.loadFile(file))
            return fail(file + ": cannot read file");
        buffer.setEntryName(item.substr(0, eq));
        if ((flags & Archive::Compressed) && !buffer.compress())
            return fail(file + ": compression failed");
        if (flags & Archive::Enciphered)
            buffer.seal();
        archive.addEntry(buffer);
    }
    // Written beside the target and renamed, so a failure never leaves half an archive.
    const std::string temporary = path + ".part";
    const ArchiveWords words = ArchiveWords::draw();
    if (!archive.write(temporary, flags, words.a, words.b))
        return fail(path + ": cannot write archive");
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return fail(path + ": cannot write archive");
    }
    return 0;
}

int list(const std::vector<std::string> &args)
{
    if (args.size() != 2)
        return fail("list needs ARCHIVE and KEY (see fka --help)");
    Archive archive;
    if (!archive.open(args[0], args[1]))
        return fail(openProblem(args[0]));
    for (int i = 0; i < archive.entryCount(); ++i) {
        const ArchiveEntry *e = archive.entry(i);
        std::printf("%d\t%s\t%u\t%u\n", i, e->name.c_str(), unsigned(e->storedSize),
                    unsigned(e->decodedSize));
    }
    return 0;
}

int extract(const std::vector<std::string> &args)
{
    if (args.size() != 4)
        return fail("extract needs ARCHIVE, KEY, NAME and OUTFILE (see fka --help)");
    Archive archive;
    archive.setLooseFiles(false);
    if (!archive.open(args[0], args[1]))
        return fail(openProblem(args[0]));
    if (archive.indexOf(args[2]) < 0)
        return fail(args[0] + ": no entry named '" + args[2] + "'");
    ArchiveBuffer out;
    if (!archive.read(args[2], &out.bytes()))
        return fail(args[0] + ": entry '" + args[2] + "' cannot be read (damaged archive)");
    if (!out.saveFile(args[3]))
        return fail(args[3] + ": cannot write file");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string &a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        }
    }
    if (args.empty()) {
        std::fputs(Usage, stderr);
        return 1;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "pack")
        return pack(args);
    if (command == "list")
        return list(args);
    if (command == "extract")
        return extract(args);
    return fail("unknown command '" + command + "' (see fka --help)");
}
