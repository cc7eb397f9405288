// Decoding speed of the sound archive: a Tovira.fka-sized archive (enciphered and compressed,
// over 20 MB decoded) read entry by entry with our reader, next to the same pipeline built on
// OpenSSL's Blowfish ECB and zlib's inflate, and the two ciphers alone. Prints MB/s and ratios.
//   bench_archive [ARCHIVE KEY]   (default: a synthetic archive of music-like data)
#include "base/ArchiveWords.h"
#include "sound/Archive.h"
#include "sound/ArchiveBuffer.h"
#include "sound/Blowfish.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <cstring>
#include <string>
#include <vector>

#ifdef TOVIRA_HAVE_OPENSSL
#include <openssl/evp.h>
#include <openssl/provider.h>
#endif

namespace
{

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

// The fastest of `rounds` runs of f, in seconds.
double fastest(int rounds, const std::function<void()> &f)
{
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        const auto a = Clock::now();
        f();
        best = std::min(best, seconds(a, Clock::now()));
    }
    return best;
}

// Stereo 16-bit "music": a few drifting tones and a little noise, which deflate shrinks about as
// little as it shrinks our real tracks.
std::vector<unsigned char> musicLike(std::size_t frames, unsigned seed)
{
    std::vector<unsigned char> out(frames * 4);
    std::uint32_t noise = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / 44100.0;
        noise = noise * 1664525u + 1013904223u;
        const double v = 0.3 * std::sin(2 * M_PI * (220 + 3 * seed) * t) +
                         0.2 * std::sin(2 * M_PI * 330.5 * t + std::sin(t)) +
                         0.1 * std::sin(2 * M_PI * 55 * t) + 0.05 * ((noise >> 16) / 32768.0 - 1);
        const auto s = static_cast<std::int16_t>(v * 20000);
        for (int c = 0; c < 2; ++c) {
            out[i * 4 + c * 2] = static_cast<unsigned char>(s & 0xff);
            out[i * 4 + c * 2 + 1] = static_cast<unsigned char>((s >> 8) & 0xff);
        }
    }
    return out;
}

bool makeArchive(const std::string &path, const std::string &key)
{
    Archive::keyCipher(key);
    Archive archive;
    const double lengths[] = {33, 38, 48, 1, 0.5, 0.6, 0.3, 1.5, 1.9, 1.1, 0.2, 1.0, 0.4, 0.35};
    for (unsigned i = 0; i < 14; ++i) {
        const std::vector<unsigned char> bytes = musicLike(std::size_t(lengths[i] * 44100), i);
        ArchiveBuffer b;
        b.loadBytes(bytes.data(), bytes.size());
        b.setEntryName("entry" + std::to_string(i) + ".wav");
        b.compress();
        b.seal();
        archive.addEntry(b);
    }
    const ArchiveWords words = ArchiveWords::draw();
    return archive.write(path, Archive::Enciphered | Archive::Compressed, words.a, words.b);
}

#ifdef TOVIRA_HAVE_OPENSSL
struct OpenSslBlowfish {
    EVP_CIPHER_CTX *ctx = nullptr;
    EVP_CIPHER *cipher = nullptr;

    bool init(const std::string &key)
    {
        OSSL_PROVIDER_load(nullptr, "legacy");
        OSSL_PROVIDER_load(nullptr, "default");
        cipher = EVP_CIPHER_fetch(nullptr, "BF-ECB", nullptr);
        if (!cipher)
            return false;
        ctx = EVP_CIPHER_CTX_new();
        const int len = int(key.size());
        return EVP_DecryptInit_ex2(ctx, cipher, nullptr, nullptr, nullptr) == 1 &&
               EVP_CIPHER_CTX_set_key_length(ctx, len) == 1 &&
               EVP_DecryptInit_ex2(ctx, nullptr,
                                   reinterpret_cast<const unsigned char *>(key.data()), nullptr,
                                   nullptr) == 1 &&
               EVP_CIPHER_CTX_set_padding(ctx, 0) == 1;
    }
    void decipher(unsigned char *bytes, std::size_t n)
    {
        int out = 0;
        EVP_DecryptUpdate(ctx, bytes, &out, bytes, int(n));
    }
};

// The reader's pipeline with OpenSSL doing the deciphering: same file reads, same checks, same
// inflation into a buffer of the decoded size.
std::size_t decodeWithOpenSsl(const std::string &path, const Archive &archive,
                              std::uint64_t dataStart, OpenSslBlowfish &bf)
{
    std::size_t total = 0;
    std::uint64_t offset = dataStart;
    for (int i = 0; i < archive.entryCount(); ++i) {
        const ArchiveEntry *e = archive.entry(i);
        std::FILE *f = std::fopen(path.c_str(), "rb");
        std::fseek(f, long(offset), SEEK_SET);
        std::vector<unsigned char> stored(e->storedSize);
        for (std::size_t done = 0; done < stored.size();) {
            const std::size_t n = std::fread(stored.data() + done, 1,
                                             std::min<std::size_t>(65536, stored.size() - done), f);
            if (n == 0)
                break;
            done += n;
        }
        std::fclose(f);
        offset += e->storedSize;
        bf.decipher(stored.data(), stored.size());
        const std::uint32_t m = (std::uint32_t(stored[4]) << 24) |
                                (std::uint32_t(stored[5]) << 16) | (std::uint32_t(stored[6]) << 8) |
                                stored[7];
        std::vector<unsigned char> payload(stored.begin() + 8, stored.begin() + 8 + m);
        if (payload.size() == e->decodedSize) {
            total += payload.size();
            continue;
        }
        std::vector<unsigned char> out(e->decodedSize);
        uLongf outLen = uLongf(out.size());
        uncompress(out.data(), &outLen, payload.data(), uLong(payload.size()));
        total += outLen;
    }
    return total;
}
#endif

} // namespace

int main(int argc, char **argv)
{
    std::string path = "bench_archive.fka";
    std::string key = "pelorn_quives";
    if (argc == 3) {
        path = argv[1];
        key = argv[2];
    } else if (!makeArchive(path, key)) {
        std::fprintf(stderr, "bench_archive: cannot write %s\n", path.c_str());
        return 1;
    }
    Archive archive;
    if (!archive.open(path, key)) {
        std::fprintf(stderr, "bench_archive: cannot open %s\n", path.c_str());
        return 1;
    }
    std::uint64_t decoded = 0, stored = 0;
    for (int i = 0; i < archive.entryCount(); ++i) {
        decoded += archive.entry(i)->decodedSize;
        stored += archive.entry(i)->storedSize;
    }
    std::FILE *f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const std::uint64_t fileSize = std::uint64_t(std::ftell(f));
    std::fclose(f);
    const std::uint64_t dataStart = fileSize - stored;
    std::printf("archive: %d entries, %.1f MB decoded, %.1f MB stored\n", archive.entryCount(),
                decoded / 1e6, stored / 1e6);

    const int rounds = 5;
    double ours = 1e9;
    for (int r = 0; r < rounds; ++r) {
        const auto a = Clock::now();
        std::size_t total = 0;
        for (int i = 0; i < archive.entryCount(); ++i) {
            std::vector<unsigned char> bytes;
            archive.read(archive.entryName(i), &bytes);
            total += bytes.size();
        }
        ours = std::min(ours, seconds(a, Clock::now()));
        if (total != decoded) {
            std::fprintf(stderr, "bench_archive: decoded %zu bytes, expected %llu\n", total,
                         static_cast<unsigned long long>(decoded));
            return 1;
        }
    }
    std::printf("ours     (read + Blowfish + inflate): %8.1f MB/s decoded\n", decoded / 1e6 / ours);

    std::vector<unsigned char> block(stored - stored % 8, 0x5a);
    Blowfish bf;
    bf.setKey(reinterpret_cast<const unsigned char *>(key.data()), key.size());
    const double oursCipher =
        fastest(rounds, [&] { bf.decipher(block.data(), block.size()); });
    std::printf("ours     Blowfish ECB decipher alone: %8.1f MB/s\n",
                block.size() / 1e6 / oursCipher);

#ifdef TOVIRA_HAVE_OPENSSL
    OpenSslBlowfish ossl;
    if (!ossl.init(key)) {
        std::printf("OpenSSL  Blowfish unavailable (legacy provider not found)\n");
        return 0;
    }
    double theirs = 1e9;
    for (int r = 0; r < rounds; ++r) {
        const auto a = Clock::now();
        const std::size_t total = decodeWithOpenSsl(path, archive, dataStart, ossl);
        theirs = std::min(theirs, seconds(a, Clock::now()));
        if (total != decoded) {
            std::fprintf(stderr, "bench_archive: OpenSSL pipeline decoded %zu bytes\n", total);
            return 1;
        }
    }
    std::printf("OpenSSL  (read + Blowfish + inflate): %8.1f MB/s decoded\n",
                decoded / 1e6 / theirs);
    const double theirsCipher =
        fastest(rounds, [&] { ossl.decipher(block.data(), block.size()); });
    std::printf("OpenSSL  Blowfish ECB decipher alone: %8.1f MB/s\n",
                block.size() / 1e6 / theirsCipher);
    std::printf("ratio ours/OpenSSL: pipeline %.2f, cipher %.2f\n", theirs / ours,
                theirsCipher / oursCipher);
#else
    std::printf("OpenSSL not found at build time: no comparison\n");
#endif
    return 0;
}
