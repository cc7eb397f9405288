// The sound archive: round trips through the builder and reader, the format's edge cases, and
// damaged or hostile files that must fail cleanly (the cipher itself: tst_blowfish).
#include "TestFiles.h"
#include "base/ArchiveWords.h"
#include "sound/Archive.h"
#include "sound/ArchiveBuffer.h"
#include "sound/Blowfish.h"

#include <QtTest>

#include <cstdio>
#include <random>
#include <sys/stat.h>
#include <zlib.h>

namespace
{

using Bytes = std::vector<unsigned char>;

Bytes randomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    Bytes out(n);
    for (auto &c : out)
        c = static_cast<unsigned char>(gen());
    return out;
}

Bytes textBytes(std::size_t n)
{
    const char *phrase = "Tovira hops over the fence and sings. ";
    Bytes out;
    while (out.size() < n)
        out.insert(out.end(), phrase, phrase + std::strlen(phrase));
    out.resize(n);
    return out;
}

struct Item {
    std::string name;
    Bytes bytes;
};

// Builds an archive the way a packing tool does: key, compress, seal, add, write.
bool buildArchive(const QString &path, std::uint32_t flags, const std::string &key,
                  const std::vector<Item> &items)
{
    if (!Archive::keyCipher(key))
        return false;
    Archive archive;
    for (const Item &item : items) {
        ArchiveBuffer buffer;
        buffer.loadBytes(item.bytes.data(), item.bytes.size());
        buffer.setEntryName(item.name);
        if ((flags & Archive::Compressed) && !buffer.compress())
            return false;
        if (flags & Archive::Enciphered)
            buffer.seal();
        archive.addEntry(buffer);
    }
    const ArchiveWords words = ArchiveWords::draw();
    return archive.write(path.toStdString(), flags, words.a, words.b);
}

void putBig(QByteArray &out, quint32 v)
{
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

quint32 bigAt(const QByteArray &b, int at)
{
    return (quint32(quint8(b[at])) << 24) | (quint32(quint8(b[at + 1])) << 16) |
           (quint32(quint8(b[at + 2])) << 8) | quint32(quint8(b[at + 3]));
}

struct Record {
    quint32 nameLength;
    quint32 stored;
    quint32 decoded;
    QByteArray name;
};

// A hand-made archive with plain header and directory; count and length as given.
QByteArray plainArchive(quint32 count, quint32 length, const QVector<Record> &records,
                        const QByteArray &payload, quint32 flags = 0)
{
    QByteArray out;
    putBig(out, Archive::Magic);
    putBig(out, flags);
    putBig(out, 5);
    putBig(out, 7);
    putBig(out, 12);
    putBig(out, 13);
    putBig(out, count);
    putBig(out, length);
    for (const Record &r : records) {
        putBig(out, r.nameLength);
        putBig(out, r.stored);
        putBig(out, r.decoded);
        out += r.name;
    }
    return out + payload;
}

// The same, enciphered from byte 8 on with key: a well-keyed but hostile archive.
QByteArray encipheredArchive(const std::string &key, quint32 count, quint32 length,
                             const QVector<Record> &records, const QByteArray &payload)
{
    QByteArray head = plainArchive(count, length, records, QByteArray(), Archive::Enciphered);
    head.append(QByteArray((8 - head.size() % 8) % 8, '\0'));
    Archive::keyCipher(key);
    Blowfish::shared().encipher(reinterpret_cast<unsigned char *>(head.data()) + 8,
                                size_t(head.size() - 8));
    return head + payload;
}

} // namespace

// A sink that keeps every arrival and checks that each front told is already final.
struct Steps : Archive::Sink {
    Bytes block;
    std::vector<std::size_t> arrivals;
    std::vector<Bytes> fronts;
    unsigned char *room(std::size_t bytes) override
    {
        block.assign(bytes, 0xEE);
        return block.data();
    }
    void arrived(std::size_t bytes) override
    {
        arrivals.push_back(bytes);
        if (bytes > 0 && bytes < block.size())
            fronts.emplace_back(block.begin(), block.begin() + std::ptrdiff_t(bytes));
    }
};

class TestArchive : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString at(const QString &name) const { return dir.filePath(name); }

private slots:
    // Every flag combination gives back exactly what went in, entry by entry and in order.
    void everyFlagCombinationRoundTrips_data()
    {
        QTest::addColumn<uint>("flags");
        QTest::newRow("plain") << 0u;
        QTest::newRow("enciphered") << 2u;
        QTest::newRow("compressed") << 4u;
        QTest::newRow("both") << 6u;
    }
    void everyFlagCombinationRoundTrips()
    {
        QFETCH(uint, flags);
        const std::vector<Item> items = {
            {"bgm/BGM_1.wav", textBytes(300000)},
            {"se/noise.wav", randomBytes(70001, 7)},
            {"empty", {}},
            {"one", {0x5a}},
            {"seven", textBytes(7)},
            {"eight", randomBytes(8, 3)},
        };
        const QString path = at(QString("round%1.fka").arg(flags));
        QVERIFY(buildArchive(path, flags, "pelorn_quives", items));

        Archive archive;
        QVERIFY(archive.open(path.toStdString(), "pelorn_quives"));
        QCOMPARE(archive.archiveFlags(), std::uint32_t(flags));
        QCOMPARE(archive.entryCount(), int(items.size()));
        for (int i = 0; i < int(items.size()); ++i) {
            QCOMPARE(archive.entryName(i), items[i].name);
            QCOMPARE(archive.entry(i)->decodedSize, std::uint32_t(items[i].bytes.size()));
            Bytes got = {1, 2, 3};
            QVERIFY(archive.read(items[i].name, &got));
            QVERIFY(got == items[i].bytes);
            // Into a sink the same bytes arrive; a compressed entry arrives in steps, each
            // telling a longer front of the final bytes.
            Steps sink;
            QVERIFY(archive.read(items[i].name, sink));
            QCOMPARE(sink.arrivals.back(), items[i].bytes.size());
            QVERIFY(sink.block == items[i].bytes);
            QVERIFY(std::is_sorted(sink.arrivals.begin(), sink.arrivals.end()));
            for (const Bytes &front : sink.fronts)
                QVERIFY(std::equal(front.begin(), front.end(), items[i].bytes.begin()));
            if ((flags & Archive::Compressed) && items[i].bytes.size() == 300000)
                QVERIFY(sink.fronts.size() > 3);
        }
    }

    // Without flags the header words are plain, the directory unpadded and entries verbatim.
    void anUnflaggedArchiveIsStoredVerbatim()
    {
        const QString path = at("plain.fka");
        QVERIFY(buildArchive(path, 0, "k", {{"abc", textBytes(1000)}, {"de", textBytes(5)}}));
        const QByteArray raw = fileBytes(path);
        QCOMPARE(bigAt(raw, 0), Archive::Magic);
        QCOMPARE(bigAt(raw, 4), 0u);
        QCOMPARE(quint32(bigAt(raw, 8) + bigAt(raw, 12)), bigAt(raw, 16));
        QCOMPARE(bigAt(raw, 16) + 1, bigAt(raw, 20));
        QCOMPARE(bigAt(raw, 24), 2u);
        const quint32 length = bigAt(raw, 28);
        QCOMPARE(length, quint32(12 + 3 + 12 + 2));
        QCOMPARE(raw.size(), int(32 + length + 1000 + 5));
        QCOMPARE(bigAt(raw, 32 + 4), 1000u); // S = U
        QCOMPARE(raw.mid(32 + int(length), 5), QByteArray("Tovir"));
    }

    // An enciphered archive keeps its first 8 bytes plain and the rest unreadable.
    void encipheringLeavesOnlyMagicAndFlagsPlain()
    {
        const QString path = at("sealed.fka");
        QVERIFY(buildArchive(path, 6, "pelorn_quives", {{"bgm/BGM_1.wav", textBytes(4000)}}));
        const QByteArray raw = fileBytes(path);
        QCOMPARE(bigAt(raw, 0), Archive::Magic);
        QCOMPARE(bigAt(raw, 4), 6u);
        QVERIFY(!raw.contains("BGM_1"));
        QVERIFY(!raw.contains("Tovira hops"));
        QCOMPARE((raw.size() - 32) % 8, 0);
    }

    // Data that deflate cannot shrink is stored as it is; reading then inflates nothing.
    void incompressibleDataIsStoredUncompressed()
    {
        const Bytes noise = randomBytes(5000, 11);
        QVERIFY(buildArchive(at("noise4.fka"), 4, "k", {{"n", noise}}));
        QVERIFY(buildArchive(at("noise6.fka"), 6, "k", {{"n", noise}}));
        QVERIFY(buildArchive(at("text4.fka"), 4, "k", {{"t", textBytes(5000)}}));
        Archive a4, a6, t4;
        QVERIFY(a4.open(at("noise4.fka").toStdString(), "k"));
        QVERIFY(a6.open(at("noise6.fka").toStdString(), "k"));
        QVERIFY(t4.open(at("text4.fka").toStdString(), "k"));
        QCOMPARE(a4.entry(0)->storedSize, 5000u);
        QCOMPARE(a6.entry(0)->storedSize, 8u + 5000u);
        QVERIFY(t4.entry(0)->storedSize < 500u);
        Bytes got;
        QVERIFY(a6.read("n", &got));
        QVERIFY(got == noise);
    }

    // A sealed entry of M bytes takes 8 + M rounded up to 8; M = 0 takes exactly the head.
    void sealedSizesFollowThePayloadLength()
    {
        Archive::keyCipher("k");
        for (std::size_t m : {0u, 1u, 7u, 8u, 9u, 16u, 17u}) {
            ArchiveBuffer b;
            const Bytes payload = randomBytes(m, unsigned(m));
            b.loadBytes(payload.data(), m);
            b.seal();
            QCOMPARE(b.entry().storedSize, std::uint32_t(8 + (m + 7) / 8 * 8));
            QVERIFY(b.unseal());
            QVERIFY(b.bytes() == payload);
        }
    }

    // Out-of-range positions name nothing; a request with backslashes finds the slashed name;
    // letter case matters.
    void namesAreComparedExactlyAfterBackslashesBecomeSlashes()
    {
        const QString path = at("names.fka");
        QVERIFY(buildArchive(path, 6, "k", {{"se\\win.wav", textBytes(100)}, {"A", {1}}}));
        Archive archive;
        QVERIFY(archive.open(path.toStdString(), "k"));
        QCOMPARE(archive.entryName(0), std::string("se/win.wav"));
        QCOMPARE(archive.entryName(-1), std::string());
        QCOMPARE(archive.entryName(2), std::string());
        QCOMPARE(archive.indexOf("se\\win.wav"), 0);
        QCOMPARE(archive.indexOf("se/win.wav"), 0);
        QCOMPARE(archive.indexOf("SE/win.wav"), -1);
        QCOMPARE(archive.indexOf("a"), -1);
        Bytes got;
        QVERIFY(archive.read("se\\win.wav", &got));
        QCOMPARE(got.size(), std::size_t(100));
        QVERIFY(!archive.read("Se/Win.wav", &got));
        QVERIFY(!archive.read("", &got));
        QVERIFY(!archive.read("A", nullptr));
    }

    // A name the archive lacks is read from disk undecoded, unless loose files are turned off;
    // this works even when the archive itself failed to open.
    void missingNamesFallBackToLooseFiles()
    {
        const QByteArray content = "loose bytes\n";
        writeFile(at("loose.wav"), content);
        Archive archive;
        QVERIFY(!archive.open(at("nonexistent.fka").toStdString(), "k"));
        Bytes got;
        QVERIFY(archive.read(at("loose.wav").toStdString(), &got));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(got.data()), int(got.size())), content);
        archive.setLooseFiles(false);
        Bytes untouched = {9};
        QVERIFY(!archive.read(at("loose.wav").toStdString(), &untouched));
        QCOMPARE(untouched, Bytes{9});
    }

    // Files that are not archives, or that are keyed otherwise, do not open.
    void openFailsForMissingShortForeignAndWronglyKeyedFiles()
    {
        Archive archive;
        QVERIFY(!archive.open(at("absent.fka").toStdString(), "k"));
        writeFile(at("short.fka"), plainArchive(0, 0, {}, {}).left(31));
        QVERIFY(!archive.open(at("short.fka").toStdString(), "k"));
        QByteArray foreign = plainArchive(0, 0, {}, {});
        foreign[3] = 0;
        writeFile(at("foreign.fka"), foreign);
        QVERIFY(!archive.open(at("foreign.fka").toStdString(), "k"));
        QVERIFY(buildArchive(at("keyed.fka"), 6, "right", {{"x", textBytes(64)}}));
        QVERIFY(!archive.open(at("keyed.fka").toStdString(), "wrong"));
        QVERIFY(!archive.open(at("keyed.fka").toStdString(), ""));
        QVERIFY(archive.open(at("keyed.fka").toStdString(), "right"));
        QByteArray badChecks = plainArchive(0, 0, {}, {});
        badChecks[23] = 99;
        writeFile(at("checks.fka"), badChecks);
        QVERIFY(!archive.open(at("checks.fka").toStdString(), "k"));
        writeFile(at("empty.fka"), plainArchive(0, 0, {}, {}));
        QVERIFY(archive.open(at("empty.fka").toStdString(), "k"));
        QCOMPARE(archive.entryCount(), 0);
    }

    // Directory records that do not fit their directory make open fail instead of reading beyond
    // the bytes that are there.
    void damagedDirectoriesFailToOpen_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("name past directory")
            << plainArchive(1, 12 + 3, {{200, 0, 0, "abc"}}, QByteArray());
        QTest::newRow("record head past directory")
            << plainArchive(2, 26, {{3, 0, 0, "abc"}, {0, 0, 0, ""}}, QByteArray());
        QTest::newRow("more records than fit")
            << plainArchive(0xFFFFFFFFu, 12, {{0, 0, 0, ""}}, QByteArray());
        QTest::newRow("directory past end of file")
            << plainArchive(1, 0xFFFFFFF0u, {{1, 0, 0, "a"}}, QByteArray());
        QTest::newRow("enciphered name past directory")
            << encipheredArchive("k", 1, 16, {{1000, 0, 0, "abcd"}}, QByteArray());
        QTest::newRow("enciphered directory length past file")
            << encipheredArchive("k", 0, 0xFFFFFFFFu, {}, QByteArray());
    }
    void damagedDirectoriesFailToOpen()
    {
        QFETCH(QByteArray, file);
        writeFile(at("damaged.fka"), file);
        Archive archive;
        QVERIFY(!archive.open(at("damaged.fka").toStdString(), "k"));
        for (int i = 0; i < archive.entryCount(); ++i)
            QCOMPARE(archive.entryName(i), std::string());
        Bytes got;
        QVERIFY(!archive.read("a", &got));
    }

    // Hostile archives open; each hostile entry fails only its own read, and entry "a" (four
    // bytes "good", stored first) still reads. A FIFO is no archive and never blocks.
    void hostileEntriesFailOnlyTheirOwnRead_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray good = "good";
        const Record a = {1, 4, 4, "a"};
        // A valid zlib stream of zeros: n bytes of them, deflated.
        auto zeros = [](uLong n) {
            QByteArray in(int(n), '\0'), out(int(compressBound(n)), '\0');
            uLongf length = uLongf(out.size());
            compress2(reinterpret_cast<Bytef *>(out.data()), &length,
                      reinterpret_cast<const Bytef *>(in.constData()), n, 9);
            return out.left(int(length));
        };
        QTest::newRow("entry one byte past the end")
            << plainArchive(2, 26, {a, {1, 10, 10, "b"}}, good + QByteArray(9, 'x'));
        QTest::newRow("stored size of 4 GiB")
            << plainArchive(2, 26, {a, {1, 0xFFFFFFFFu, 1, "b"}}, good + QByteArray(16, 'x'));
        const QByteArray small = zeros(1 << 20);
        QTest::newRow("decoded size claims 4 GiB")
            << plainArchive(2, 26, {a, {1, quint32(small.size()), 0xFFFFFFFFu, "b"}}, good + small,
                            Archive::Compressed);
        const quint32 over = quint32(Archive::DefaultEntryLimit + 1);
        const QByteArray bomb = zeros(over);
        QTest::newRow("inflates past the entry limit") << plainArchive(
            2, 26, {a, {1, quint32(bomb.size()), over, "b"}}, good + bomb, Archive::Compressed);
        QTest::newRow("fifo") << QByteArray();
    }
    void hostileEntriesFailOnlyTheirOwnRead()
    {
        QFETCH(QByteArray, file);
        const QString path = at("hostile.fka");
        QFile::remove(path);
        Archive archive;
        Bytes got = {5};
        if (file.isNull()) {
            QCOMPARE(mkfifo(path.toLocal8Bit().constData(), 0600), 0);
            QVERIFY(!archive.open(path.toStdString(), "k"));
            QVERIFY(!archive.read(path.toStdString(), &got));
            QCOMPARE(got, Bytes{5});
            return;
        }
        writeFile(path, file);
        QVERIFY(archive.open(path.toStdString(), "k"));
        QCOMPARE(archive.entryCount(), 2);
        QVERIFY(!archive.read("b", &got));
        QCOMPARE(got, Bytes{5});
        Steps sink;
        QVERIFY(!archive.read("b", sink));
        QVERIFY(archive.read("a", &got));
        QCOMPARE(got, (Bytes{'g', 'o', 'o', 'd'}));
    }

    // A compressed entry that inflates to more than its decoded size is refused rather than
    // allowed to grow without bound.
    void inflationNeverExceedsTheDecodedSize()
    {
        Bytes big(4 << 20, 0);
        ArchiveBuffer bomb;
        bomb.loadBytes(big.data(), big.size());
        QVERIFY(bomb.compress());
        const std::uint32_t stored = bomb.entry().storedSize;
        QVERIFY(stored < 10000);
        const QByteArray payload(reinterpret_cast<const char *>(bomb.bytes().data()), int(stored));
        writeFile(at("bomb.fka"),
                  plainArchive(1, 13, {{1, stored, 1000, "b"}}, payload, Archive::Compressed));
        Archive archive;
        QVERIFY(archive.open(at("bomb.fka").toStdString(), "k"));
        Bytes got = {7};
        QVERIFY(!archive.read("b", &got));
        QCOMPARE(got, Bytes{7});

        // The same stream with its true size decodes.
        writeFile(at("fine.fka"), plainArchive(1, 13, {{1, stored, std::uint32_t(big.size()), "b"}},
                                               payload, Archive::Compressed));
        QVERIFY(archive.open(at("fine.fka").toStdString(), "k"));
        QVERIFY(archive.read("b", &got));
        QCOMPARE(got.size(), big.size());
    }

    // A broken zlib stream or a sealed entry whose head does not check out is reported, and the
    // caller's bytes stay as they were.
    void damagedEntriesAreReportedNotPassedOn()
    {
        writeFile(at("zlib.fka"),
                  plainArchive(1, 13, {{1, 10, 50, "z"}}, QByteArray("\x78\x9c garbage", 10),
                               Archive::Compressed));
        Archive archive;
        QVERIFY(archive.open(at("zlib.fka").toStdString(), "k"));
        Bytes got = {3};
        QVERIFY(!archive.read("z", &got));
        QCOMPARE(got, Bytes{3});

        writeFile(at("seal.fka"),
                  encipheredArchive("k", 1, 13, {{1, 16, 4, "s"}}, QByteArray(16, '\x11')));
        QVERIFY(archive.open(at("seal.fka").toStdString(), "k"));
        QVERIFY(!archive.read("s", &got));
        QCOMPARE(got, Bytes{3});
    }

    // An archive cut short after opening makes the read fail, not read past the end.
    void anArchiveTruncatedAfterOpeningFailsToRead()
    {
        const QString path = at("cut.fka");
        QVERIFY(buildArchive(path, 6, "k", {{"a", randomBytes(3000, 1)}}));
        Archive archive;
        QVERIFY(archive.open(path.toStdString(), "k"));
        QFile::resize(path, QFileInfo(path).size() - 1);
        Bytes got = {4};
        QVERIFY(!archive.read("a", &got));
        QCOMPARE(got, Bytes{4});
        QFile::remove(path);
        QVERIFY(!archive.read("a", &got));
    }

    // Files on disk pass through the builder's buffer unchanged; a failed save leaves no file.
    void buffersLoadAndSaveFiles()
    {
        writeFile(at("in.bin"), QByteArray(70000, 'q'));
        ArchiveBuffer b;
        QVERIFY(b.loadFile(at("in.bin").toStdString()));
        QCOMPARE(b.entry().decodedSize, 70000u);
        QVERIFY(b.compress());
        QVERIFY(b.entry().storedSize < 1000u);
        QVERIFY(b.decompress());
        QVERIFY(b.saveFile(at("out.bin").toStdString()));
        QCOMPARE(fileBytes(at("out.bin")), QByteArray(70000, 'q'));
        QVERIFY(!b.loadFile(at("missing.bin").toStdString()));
        QVERIFY(!b.saveFile(at("no/such/dir/out.bin").toStdString()));
        QVERIFY(!archiveWriteLeavesFile());
    }

private:
    bool archiveWriteLeavesFile()
    {
        Archive a;
        const ArchiveWords words = ArchiveWords::draw();
        a.write(at("no/such/dir/a.fka").toStdString(), 0, words.a, words.b);
        return QFile::exists(at("no/such/dir/a.fka"));
    }
};

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
