// The fka command-line tool: packing, listing and extracting, its errors, and the game's own
// archive as the build packs it.
#include <QtTest>

namespace
{

struct Run {
    int code;
    QString out;
    QString err;
};

Run fka(const QStringList &args, const QString &cwd)
{
    QProcess p;
    p.setWorkingDirectory(cwd);
    p.start(QStringLiteral(TOVIRA_GAME_DIR "/../fka"), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// An error is one "fka: ..." line on stderr, nothing on stdout and exit status 1.
void expectError(const Run &r, const QString &fragment)
{
    QCOMPARE(r.code, 1);
    QVERIFY2(r.out.isEmpty(), qPrintable(r.out));
    QVERIFY2(r.err.startsWith("fka: ") && r.err.count('\n') == 1, qPrintable(r.err));
    QVERIFY2(r.err.contains(fragment), qPrintable(r.err));
}

} // namespace

class TestFka : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString at(const QString &n) const { return dir.filePath(n); }

private slots:
    void initTestCase()
    {
        write(at("song.wav"), QByteArray(50000, 'm'));
        write(at("noise.bin"), QByteArray::fromHex("0badf00d1234"));
        write(at("empty"), QByteArray());
    }

    // --help explains the three commands; no arguments is an error that shows the same text.
    void helpPrintsUsage()
    {
        const Run help = fka({"--help"}, dir.path());
        QCOMPARE(help.code, 0);
        for (const char *word : {"pack", "list", "extract", "--flags"})
            QVERIFY(help.out.contains(word));
        const Run none = fka({}, dir.path());
        QCOMPARE(none.code, 1);
        QVERIFY(none.err.contains("usage"));
    }

    // Entries keep the order given; the listing shows position, name, stored and decoded size,
    // and every entry extracts to exactly the file that went in.
    void packListAndExtractRoundTrip()
    {
        Run r = fka(
            {"pack", "a.fka", "secret", "bgm/BGM_1.wav=song.wav", "se\\n.bin=noise.bin", "e=empty"},
            dir.path());
        QCOMPARE(r.code, 0);
        QCOMPARE(readAll(at("a.fka")).mid(4, 4), QByteArray::fromHex("00000006"));
        r = fka({"list", "a.fka", "secret"}, dir.path());
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        const QStringList first = lines[0].split('\t');
        QCOMPARE(first.size(), 4);
        QCOMPARE(first[0], QString("0"));
        QCOMPARE(first[1], QString("bgm/BGM_1.wav"));
        QVERIFY(first[2].toInt() < 1000); // compressed and sealed
        QCOMPARE(first[3], QString("50000"));
        QCOMPARE(lines[1], QString("1\tse/n.bin\t16\t6"));
        QCOMPARE(lines[2], QString("2\te\t8\t0"));

        QCOMPARE(fka({"extract", "a.fka", "secret", "bgm/BGM_1.wav", "out1"}, dir.path()).code, 0);
        QCOMPARE(readAll(at("out1")), QByteArray(50000, 'm'));
        QCOMPARE(fka({"extract", "a.fka", "secret", "se/n.bin", "out2"}, dir.path()).code, 0);
        QCOMPARE(readAll(at("out2")), QByteArray::fromHex("0badf00d1234"));
        QCOMPARE(fka({"extract", "a.fka", "secret", "e", "out3"}, dir.path()).code, 0);
        QVERIFY(QFileInfo::exists(at("out3")));
        QCOMPARE(QFileInfo(at("out3")).size(), 0);
    }

    // --flags 0 stores entries verbatim with a plain header; other values are refused.
    void flagsChooseTheStoredForm()
    {
        QCOMPARE(fka({"pack", "p.fka", "k", "--flags", "0", "s=song.wav"}, dir.path()).code, 0);
        const QByteArray raw = readAll(at("p.fka"));
        QCOMPARE(raw.mid(4, 4), QByteArray::fromHex("00000000"));
        QVERIFY(raw.endsWith(QByteArray(50000, 'm')));
        QCOMPARE(fka({"list", "p.fka", "k"}, dir.path()).out, QString("0\ts\t50000\t50000\n"));
        expectError(fka({"pack", "q.fka", "k", "--flags", "1", "s=song.wav"}, dir.path()),
                    "--flags");
        expectError(fka({"pack", "q.fka", "k", "--flags=8", "s=song.wav"}, dir.path()), "--flags");
        QVERIFY(!QFileInfo::exists(at("q.fka")));
        expectError(fka({"pack", "q.fka", "", "s=song.wav"}, dir.path()), "key");
    }

    // Each failure names its cause and leaves no output file behind.
    void errorsAreOneLineAndLeaveNothingBehind()
    {
        QCOMPARE(fka({"pack", "b.fka", "right", "x=noise.bin"}, dir.path()).code, 0);
        expectError(fka({"list", "missing.fka", "k"}, dir.path()), "cannot open");
        expectError(fka({"list", "song.wav", "k"}, dir.path()), "bad magic");
        expectError(fka({"list", "b.fka", "wrong"}, dir.path()), "wrong key");
        expectError(fka({"extract", "b.fka", "wrong", "x", "o1"}, dir.path()), "wrong key");
        expectError(fka({"extract", "b.fka", "right", "y", "o2"}, dir.path()), "no entry");
        expectError(fka({"extract", "b.fka", "right", "x", "no/such/dir/o3"}, dir.path()),
                    "cannot write");
        QVERIFY(!QFileInfo::exists(at("o1")));
        QVERIFY(!QFileInfo::exists(at("o2")));
        expectError(fka({"frobnicate"}, dir.path()), "unknown command");
        expectError(fka({"list", "b.fka"}, dir.path()), "list needs");

        // A failed pack keeps the archive that was there.
        const QByteArray before = readAll(at("b.fka"));
        expectError(fka({"pack", "b.fka", "right", "x=absent.wav"}, dir.path()), "absent.wav");
        expectError(fka({"pack", "b.fka", "right", "nameonly"}, dir.path()), "NAME=FILE");
        QCOMPARE(readAll(at("b.fka")), before);
        QVERIFY(QDir(dir.path()).entryList({"*.part"}).isEmpty());
    }

    // The build packs fourteen sounds in their fixed order with the game's key.
    void theGameArchiveListsFourteenSoundsInOrder()
    {
        const Run r = fka({"list", TOVIRA_GAME_DIR "/Tovira.fka", "pelorn_quives"}, dir.path());
        QCOMPARE(r.code, 0);
        QStringList names;
        for (const QString &line : r.out.split('\n', Qt::SkipEmptyParts))
            names << line.section('\t', 1, 1);
        QCOMPARE(names,
                 (QStringList{"bgm/BGM_1.wav", "bgm/BGM_2.wav", "bgm/BGM_3.wav", "se/chime.wav",
                              "se/coin.wav", "se/whoosh.wav", "se/select.wav", "se/win.wav",
                              "se/lose.wav", "se/draw.wav", "se/samegame2-4.wav",
                              "se/samegame5over.wav", "se/samegame_otetsuki.wav", "se/miss.wav"}));
        QCOMPARE(readAll(TOVIRA_GAME_DIR "/Tovira.fka").mid(0, 8),
                 QByteArray::fromHex("001D4FD600000006"));
    }
};

QTEST_GUILESS_MAIN(TestFka)
#include "tst_fka.moc"
