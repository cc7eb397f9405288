// The fka command-line tool: packing, listing and extracting, its errors, and the game's own
// archive as the build packs it, down to what its sounds sound like.
#include "TestFiles.h"
#include "sound/Archive.h"
#include "sound/WavData.h"

#include <QtEndian>
#include <QtTest>

#include <cmath>

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

// An error is one "fka: ..." line on stderr, nothing on stdout and exit status 1.
void expectError(const Run &r, const QString &fragment)
{
    QCOMPARE(r.code, 1);
    QVERIFY2(r.out.isEmpty(), qPrintable(r.out));
    QVERIFY2(r.err.startsWith("fka: ") && r.err.count('\n') == 1, qPrintable(r.err));
    QVERIFY2(r.err.contains(fragment), qPrintable(r.err));
}

// A PCM WAV's samples per channel, -1..1 (16-bit signed or 8-bit unsigned).
struct Pcm {
    int rate = 0;
    std::vector<std::vector<double>> channels;
};

Pcm decodeEntry(const std::string &name)
{
    Archive archive;
    std::vector<unsigned char> bytes;
    if (!archive.open(TOVIRA_GAME_DIR "/Tovira.fka", "pelorn_quives") ||
        !archive.read(name, &bytes))
        return {};
    const QByteArray wav(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
    const qsizetype fmt = wav.indexOf("fmt ");
    qsizetype at = 0, length = 0;
    if (fmt < 0 || !WavData::findSamples(wav, &at, &length))
        return {};
    Pcm pcm;
    const int count = qFromLittleEndian<quint16>(wav.constData() + fmt + 10);
    pcm.rate = int(qFromLittleEndian<quint32>(wav.constData() + fmt + 12));
    const int width = qFromLittleEndian<quint16>(wav.constData() + fmt + 22) / 8;
    const qsizetype frames = length / (width * count);
    pcm.channels.assign(std::size_t(count), std::vector<double>(std::size_t(frames)));
    for (qsizetype i = 0; i < frames; ++i) {
        for (int c = 0; c < count; ++c) {
            const char *s = wav.constData() + at + (i * count + c) * width;
            pcm.channels[std::size_t(c)][std::size_t(i)] =
                width == 1 ? (quint8(*s) - 128) / 128.0 : qFromLittleEndian<qint16>(s) / 32768.0;
        }
    }
    return pcm;
}

// The bars of a loop as its note data gives them.
int loopBars(const QString &loop)
{
    QFile f(TOVIRA_SOURCE_DIR "/assets/sound/music/" + loop + ".song");
    f.open(QIODevice::ReadOnly | QIODevice::Text);
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("bars "))
            return line.mid(5).trimmed().toInt();
    return 0;
}

// Every sound of the archive in its order, with the length it may have: the music loops, the
// designed effects, then the games' own effects.
struct Sound {
    const char *name;
    double minSeconds;
    double maxSeconds;
};
const Sound Sounds[] = {
    {"bgm/BGM_1.wav", 60, 120},
    {"bgm/BGM_2.wav", 60, 120},
    {"bgm/BGM_3.wav", 60, 120},
    {"se/chime.wav", 0.1, 2},
    {"se/coin.wav", 0.1, 2},
    {"se/whoosh.wav", 0.1, 2},
    {"se/select.wav", 0.1, 2},
    {"se/win.wav", 0.1, 2},
    {"se/lose.wav", 0.1, 2},
    {"se/draw.wav", 0.1, 2},
    {"se/samegame2-4.wav", 0.1, 2},
    {"se/samegame5over.wav", 0.1, 2},
    {"se/samegame_otetsuki.wav", 0.1, 2},
    {"se/miss.wav", 0.1, 2},
    {"se/hand.wav", 0.1, 0.6},
    {"se/round_win.wav", 0.2, 0.6},
    {"se/signal.wav", 0.2, 0.6},
    {"se/false_start.wav", 0.2, 0.6},
    {"se/shot.wav", 0.05, 0.6},
    {"se/hit.wav", 0.1, 0.6},
    {"se/bonus.wav", 0.2, 0.6},
    {"se/bad_target.wav", 0.2, 0.6},
    {"se/reel_stop.wav", 0.05, 0.6},
    {"se/pay.wav", 0.2, 0.6},
    {"se/reel_lost.wav", 0.2, 0.6},
    {"se/card.wav", 0.05, 0.6},
    {"se/wrong.wav", 0.1, 0.6},
    {"se/shuffle.wav", 0.2, 0.6},
    {"se/tick.wav", 0.03, 0.3},
    {"se/key.wav", 0.02, 0.12},
    {"se/cleared.wav", 0.4, 1.0},
    {"se/best.wav", 1.0, 1.6},
    {"se/result.wav", 0.4, 1.0},
    {"se/question.wav", 0.1, 0.6},
    {"se/hover.wav", 0.02, 0.12},
    {"se/click.wav", 0.02, 0.12},
    {"se/locked.wav", 0.1, 0.6},
};

double rms(const Pcm &pcm)
{
    double sum = 0;
    std::size_t n = 0;
    for (const auto &c : pcm.channels) {
        for (double x : c)
            sum += x * x;
        n += c.size();
    }
    return std::sqrt(sum / double(qMax<std::size_t>(1, n)));
}

// Mean power above 8 kHz: two second-order Butterworth high-passes in a row.
double powerAbove8k(const Pcm &pcm)
{
    const double w = 2 * M_PI * 8000 / pcm.rate, c = std::cos(w),
                 alpha = std::sin(w) / std::sqrt(2.0);
    const double a0 = 1 + alpha, b0 = (1 + c) / 2 / a0, b1 = -(1 + c) / a0, a1 = -2 * c / a0,
                 a2 = (1 - alpha) / a0;
    double sum = 0;
    std::size_t n = 0;
    for (const auto &x : pcm.channels) {
        double z[2][2] = {};
        for (double v : x) {
            for (auto &s : z) {
                const double y = b0 * v + s[0];
                s[0] = b1 * v - a1 * y + s[1];
                s[1] = b0 * v - a2 * y;
                v = y;
            }
            sum += v * v;
        }
        n += x.size();
    }
    return sum / double(qMax<std::size_t>(1, n));
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
        writeFile(at("song.wav"), QByteArray(50000, 'm'));
        writeFile(at("noise.bin"), QByteArray::fromHex("0badf00d1234"));
        writeFile(at("empty"), QByteArray());
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
        QCOMPARE(fileBytes(at("a.fka")).mid(4, 4), QByteArray::fromHex("00000006"));
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
        QCOMPARE(fileBytes(at("out1")), QByteArray(50000, 'm'));
        QCOMPARE(fka({"extract", "a.fka", "secret", "se/n.bin", "out2"}, dir.path()).code, 0);
        QCOMPARE(fileBytes(at("out2")), QByteArray::fromHex("0badf00d1234"));
        QCOMPARE(fka({"extract", "a.fka", "secret", "e", "out3"}, dir.path()).code, 0);
        QVERIFY(QFileInfo::exists(at("out3")));
        QCOMPARE(QFileInfo(at("out3")).size(), 0);
    }

    // --flags 0 stores entries verbatim with a plain header; other values are refused.
    void flagsChooseTheStoredForm()
    {
        QCOMPARE(fka({"pack", "p.fka", "k", "--flags", "0", "s=song.wav"}, dir.path()).code, 0);
        const QByteArray raw = fileBytes(at("p.fka"));
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
        const QByteArray before = fileBytes(at("b.fka"));
        expectError(fka({"pack", "b.fka", "right", "x=absent.wav"}, dir.path()), "absent.wav");
        expectError(fka({"pack", "b.fka", "right", "nameonly"}, dir.path()), "NAME=FILE");
        QCOMPARE(fileBytes(at("b.fka")), before);
        QVERIFY(QDir(dir.path()).entryList({"*.part"}).isEmpty());
    }

    // The build packs every sound in its fixed order with the game's key: the designed fourteen
    // first, the games' own effects after them.
    void theGameArchiveListsEverySoundInOrder()
    {
        const Run r = fka({"list", TOVIRA_GAME_DIR "/Tovira.fka", "pelorn_quives"}, dir.path());
        QCOMPARE(r.code, 0);
        QStringList names, expected;
        for (const QString &line : r.out.split('\n', Qt::SkipEmptyParts))
            names << line.section('\t', 1, 1);
        for (const Sound &sound : Sounds)
            expected << sound.name;
        QCOMPARE(names, expected);
        QCOMPARE(fileBytes(TOVIRA_GAME_DIR "/Tovira.fka").mid(0, 8),
                 QByteArray::fromHex("001D4FD600000006"));
    }

    void everySoundIsClean_data()
    {
        QTest::addColumn<double>("minSeconds");
        QTest::addColumn<double>("maxSeconds");
        for (const Sound &sound : Sounds)
            QTest::newRow(sound.name) << sound.minSeconds << sound.maxSeconds;
    }

    // Listens to each sound as the game decodes it: no DC offset (it wastes headroom and thumps
    // at every start and stop), peaks 3 dB under full scale so music and an effect together do
    // not clip in the system's mix, a length in its bounds. An effect rises from silence and
    // falls back to it no faster than a 2 ms ramp, or it clicks. A loop lasts one to two
    // minutes, sits at -18 dBFS RMS and as loud as the others (within 1 dB) so switching screens
    // keeps the level, and its wrap is no harder a joint, in level or slope, than its bar lines.
    void everySoundIsClean()
    {
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        QFETCH(double, minSeconds);
        QFETCH(double, maxSeconds);
        const Pcm pcm = decodeEntry(name.toStdString());
        QVERIFY2(!pcm.channels.empty() && !pcm.channels[0].empty(), "entry not decoded");
        for (const std::vector<double> &x : pcm.channels) {
            double sum = 0, peak = 0;
            for (double v : x) {
                sum += v;
                peak = qMax(peak, std::fabs(v));
            }
            const double dc = sum / double(x.size());
            QVERIFY2(std::fabs(dc) < 0.002, qPrintable(QString("DC offset %1").arg(dc)));
            QVERIFY2(peak <= std::pow(10.0, -3.0 / 20), qPrintable(QString("peak %1").arg(peak)));
        }
        const std::size_t frames = pcm.channels[0].size();
        const double seconds = double(frames) / pcm.rate;
        QVERIFY2(seconds >= minSeconds && seconds <= maxSeconds,
                 qPrintable(QString("%1 s").arg(seconds)));
        if (!name.startsWith("bgm/")) {
            const std::size_t ramp = std::size_t(0.002 * pcm.rate);
            for (const std::vector<double> &x : pcm.channels) {
                for (std::size_t i = 0; i < ramp; ++i) {
                    const double limit = 0.708 * double(i) / double(ramp) + 0.002;
                    QVERIFY2(
                        std::fabs(x[i]) <= limit && std::fabs(x[frames - 1 - i]) <= limit,
                        qPrintable(QString("not faded %1 ms from an end").arg(i * 1e3 / pcm.rate)));
                }
            }
            return;
        }
        const double dbfs = 20 * std::log10(rms(pcm));
        QVERIFY2(std::fabs(dbfs + 18) <= 2, qPrintable(QString("RMS %1 dBFS").arg(dbfs)));
        for (const char *other : {"bgm/BGM_1.wav", "bgm/BGM_2.wav", "bgm/BGM_3.wav"}) {
            const double db = 20 * std::log10(rms(pcm) / rms(decodeEntry(other)));
            QVERIFY2(std::fabs(db) <= 1.0,
                     qPrintable(QString("%1 dB against %2").arg(db).arg(other)));
        }
        const int bars = loopBars(name.mid(4, 5));
        QVERIFY(bars > 1);
        for (const std::vector<double> &x : pcm.channels) {
            // The jump in level and in slope from the sample before a joint to the one at it.
            auto joint = [&](std::size_t at, double *level, double *slope) {
                auto v = [&](std::size_t i) { return x[(i + frames - 2) % frames]; };
                *level = std::fabs(v(at + 2) - v(at + 1));
                *slope = std::fabs((v(at + 3) - v(at + 2)) - (v(at + 1) - v(at)));
            };
            double barLevel = 0, barSlope = 0, level = 0, slope = 0;
            for (int b = 1; b < bars; ++b) {
                joint(std::size_t(std::llround(double(b) * frames / bars)), &level, &slope);
                barLevel = qMax(barLevel, level);
                barSlope = qMax(barSlope, slope);
            }
            joint(0, &level, &slope);
            QVERIFY2(level <= barLevel * 1.5 && slope <= barSlope * 1.5,
                     qPrintable(QString("wrap: level step %1, slope step %2; bar lines: %3, %4")
                                    .arg(level)
                                    .arg(slope)
                                    .arg(barLevel)
                                    .arg(barSlope)));
        }
    }

    // The game track plays under every game for as long as one likes: no brighter above 8 kHz
    // than the menu track (within 3 dB), where a constant hiss of hats would tire the ear.
    void theGameTrackDoesNotHiss()
    {
        const double db = 10 * std::log10(powerAbove8k(decodeEntry("bgm/BGM_2.wav")) /
                                          powerAbove8k(decodeEntry("bgm/BGM_1.wav")));
        QVERIFY2(std::fabs(db) <= 3, qPrintable(QString("%1 dB against the menu").arg(db)));
    }

    // The synthesizer renders the same bytes every time: a second render matches, file for
    // file, what the build packed.
    void theSynthesizerRendersTheSameBytesAgain()
    {
        QProcess synth;
        synth.start(QStringLiteral(TOVIRA_SYNTH),
                    {TOVIRA_SOURCE_DIR "/assets/sound/music", dir.filePath("render")});
        QVERIFY(synth.waitForFinished(240000));
        QCOMPARE(synth.exitCode(), 0);
        Archive archive;
        QVERIFY(archive.open(TOVIRA_GAME_DIR "/Tovira.fka", "pelorn_quives"));
        for (const Sound &sound : Sounds) {
            std::vector<unsigned char> packed;
            QVERIFY(archive.read(sound.name, &packed));
            const QByteArray again = fileBytes(dir.filePath("render/") + sound.name);
            QVERIFY2(again == QByteArray(reinterpret_cast<const char *>(packed.data()),
                                         qsizetype(packed.size())),
                     sound.name);
        }
    }
};

QTEST_GUILESS_MAIN(TestFka)
#include "tst_fka.moc"
