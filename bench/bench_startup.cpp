// Start-up: time from process start to the end of the first painted frame of the launcher and the
// peak memory at that moment, next to a bare Qt program that shows one 1024 x 576 window and quits
// on its first paint, and next to decoding the sound archive alone; the phases of start-up, the
// time to the menu music's first buffer, CPU time to the first frame and peak memory.
// Run from the game's run folder (it needs resuorce.rcc and Tovira.fka):
//     cd build/game && QT_QPA_PLATFORM=offscreen ../bench/bench_startup [runs]
// With "hostile" it starts the game once beside each of a set of hostile sound archives instead
// and prints the time to the first frame and the peak memory of each:
//     cd build/game && QT_QPA_PLATFORM=offscreen ../bench/bench_startup hostile
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "base/ArchiveWords.h"
#include "sound/Archive.h"
#include "sound/ArchiveBuffer.h"
#include "sound/AudioOutput.h"
#include "sound/AudioOutputFactory.h"
#include "sound/AudioSet.h"

#include <zlib.h>

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsView>
#include <QImage>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QResource>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace
{
long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Monotonic clock in ms, the same in every process, so a child's moments can be set against the
// parent's launch.
double monotonicMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// CPU time of the calling thread alone: for the window's thread, what a quiet machine's first
// frame waits for at least, whatever else the machine runs.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

QElapsedTimer sinceMain;

// Ends the process once the watched widget has painted (for the game, once every sound is
// decoded as well), printing the times, the CPU time and the peak memory.
class FirstPaint : public QObject
{
public:
    bool waitForMusic = false;
    bool paintSeen = false;
    double paintMs = -1;
    double musicMs = -1;
    bool musicPrinted = false;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool result = QObject::eventFilter(watched, event);
        // The filter sees the paint event before the widget paints; the frame is there once
        // the painting is done and the event loop turns again.
        if (event->type() == QEvent::Paint && !paintSeen) {
            paintSeen = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    paintMs = monotonicMs();
                    std::printf("paint_at %.3f\ncpu_ms %.1f\nwindow_cpu_ms %.1f\npeak_kb %ld\n",
                                paintMs, cpuMs(), threadCpuMs(), peakKilobytes());
                    finishIfDone();
                },
                Qt::QueuedConnection);
        }
        return result;
    }
    void musicStarted()
    {
        if (musicMs < 0)
            musicMs = monotonicMs();
    }
    void finishIfDone()
    {
        if (waitForMusic) {
            if (musicMs >= 0 && !musicPrinted)
                std::printf("music_at %.3f\n", musicMs);
            musicPrinted = true;
            // The sounds arrive through the event loop, as in the game.
            if (AudioSet::getInstance()->isLoading()) {
                QTimer::singleShot(5, this, [this] { finishIfDone(); });
                return;
            }
            std::printf("peak_all_kb %ld\n", peakKilobytes());
        }
        std::fflush(stdout);
        _exit(0);
    }
};
FirstPaint *watcher = nullptr;

// The game's sound channels, as silent stand-ins that note when the menu music pulls its first
// buffer of samples.
class BenchOutput : public AudioOutput
{
public:
    explicit BenchOutput(const QString &member) : member(member) {}
    void start(QIODevice *device) override
    {
        char buffer[4096];
        if (member == QLatin1String("bgm1") && device && device->read(buffer, sizeof buffer) > 0)
            watcher->musicStarted();
    }
    void stop() override {}

private:
    QString member;
};
class BenchOutputs : public AudioOutputFactory
{
public:
    std::unique_ptr<AudioOutput> createOutput(const QAudioFormat &, const QString &member) override
    {
        return std::make_unique<BenchOutput>(member);
    }
};

int runGame(int argc, char **argv)
{
    FirstPaint paint;
    watcher = &paint;
    paint.waitForMusic = true;
    QApplication app(argc, argv);
    const double appMs = sinceMain.nsecsElapsed() / 1e6;
    // The sound manager as Startup::prepare makes it, but on stand-in channels; prepare then
    // finds it made and does the rest.
    AudioSet::createInstance(std::make_shared<BenchOutputs>(),
                             QString::fromLatin1(AudioSet::ArchivePath));
    const double soundMs = sinceMain.nsecsElapsed() / 1e6 - appMs;
    Startup::prepare(app);
    const double prepareMs = sinceMain.nsecsElapsed() / 1e6 - appMs - soundMs;
    MainWindow window;
    const double windowMs = sinceMain.nsecsElapsed() / 1e6 - appMs - soundMs - prepareMs;
    std::printf("phases_ms %.1f %.1f %.1f %.1f\n", appMs, soundMs, prepareMs, windowMs);
    window.getView()->viewport()->installEventFilter(&paint);
    window.show();
    return app.exec();
}

int runBare(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1024, 576);
    FirstPaint paint;
    window.installEventFilter(&paint);
    window.show();
    return app.exec();
}

int runDecode()
{
    QElapsedTimer clock;
    clock.start();
    Archive archive;
    if (!archive.open(AudioSet::ArchivePath, AudioSet::ArchiveKey)) {
        std::fprintf(stderr, "cannot open the archive\n");
        return 1;
    }
    size_t total = 0;
    std::vector<unsigned char> bytes;
    for (int i = 0; i < archive.entryCount(); ++i) {
        bytes.clear();
        archive.read(archive.entryName(i), &bytes);
        total += bytes.size();
    }
    std::printf("decode_ms %.3f\ndecoded_bytes %zu\npeak_kb %ld\n", clock.nsecsElapsed() / 1e6,
                total, peakKilobytes());
    return 0;
}

struct Sample {
    double ms = 0;          // launch to the first painted frame
    double musicMs = 0;     // launch to the menu music's first buffer
    double cpuMs = 0;       // CPU time of the process up to its first frame
    double windowCpuMs = 0; // of its window's thread alone
    long peakKb = 0;        // at the first frame
    long peakAllKb = 0;     // once every sound is decoded
    double decodeMs = -1;
    QList<double> phases;
    double decodedBytes = 0;
};

Sample runChild(const QString &self, const QString &mode, const QString &folder = QString(),
                QByteArray *errors = nullptr)
{
    QProcess child;
    if (!folder.isEmpty())
        child.setWorkingDirectory(folder);
    const double launch = monotonicMs();
    child.start(self, {mode});
    Sample s;
    if (!child.waitForFinished(20000)) {
        child.kill();
        child.waitForFinished();
        s.ms = -1;
        return s;
    }
    if (errors)
        *errors = child.readAllStandardError();
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> w = line.split(' ');
        const double v = w.value(1).toDouble();
        if (w[0] == "paint_at")
            s.ms = v - launch;
        else if (w[0] == "music_at")
            s.musicMs = v - launch;
        else if (w[0] == "cpu_ms")
            s.cpuMs = v;
        else if (w[0] == "window_cpu_ms")
            s.windowCpuMs = v;
        else if (w[0] == "peak_kb")
            s.peakKb = long(v);
        else if (w[0] == "peak_all_kb")
            s.peakAllKb = long(v);
        else if (w[0] == "decode_ms")
            s.decodeMs = v;
        else if (w[0] == "decoded_bytes")
            s.decodedBytes = v;
        else if (w[0] == "phases_ms")
            for (int i = 1; i < w.size(); ++i)
                s.phases << w[i].toDouble();
    }
    return s;
}

// The median of each figure on its own; peak memory is the highest of all runs.
Sample median(const std::vector<Sample> &v)
{
    auto mid = [&](auto field) {
        std::vector<double> x;
        for (const Sample &s : v)
            x.push_back(field(s));
        std::sort(x.begin(), x.end());
        return x[x.size() / 2];
    };
    Sample m;
    m.ms = mid([](const Sample &s) { return s.ms; });
    m.musicMs = mid([](const Sample &s) { return s.musicMs; });
    m.cpuMs = mid([](const Sample &s) { return s.cpuMs; });
    m.windowCpuMs = mid([](const Sample &s) { return s.windowCpuMs; });
    m.decodeMs = mid([](const Sample &s) { return s.decodeMs; });
    m.decodedBytes = v[0].decodedBytes;
    for (int i = 0; i < v[0].phases.size(); ++i)
        m.phases << mid([i](const Sample &s) { return s.phases.value(i); });
    for (const Sample &s : v) {
        m.peakKb = std::max(m.peakKb, s.peakKb);
        m.peakAllKb = std::max(m.peakAllKb, s.peakAllKb);
    }
    return m;
}

// Hostile archives, each written as Tovira.fka into a folder of its own.
void putEntry(Archive &archive, const std::string &name, std::vector<unsigned char> stored,
              std::uint32_t decodedSize)
{
    ArchiveBuffer b;
    b.loadBytes(stored.data(), stored.size());
    b.setSizes(decodedSize);
    b.setEntryName(name);
    b.seal();
    archive.addEntry(b);
}

// A zlib stream of n MiB of zeros, deflated a MiB at a time.
std::vector<unsigned char> zeroStream(int mebibytes)
{
    z_stream z{};
    deflateInit(&z, Z_BEST_COMPRESSION);
    std::vector<unsigned char> zeros(1 << 20, 0), out, chunk(1 << 16);
    for (int i = 0; i < mebibytes; ++i) {
        z.next_in = zeros.data();
        z.avail_in = uInt(zeros.size());
        const int flush = i + 1 == mebibytes ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = chunk.data();
            z.avail_out = uInt(chunk.size());
            deflate(&z, flush);
            out.insert(out.end(), chunk.data(), chunk.data() + chunk.size() - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return out;
}

// Stored bytes that look like a deflated entry of 5 MB: a stream of noise, which does not shrink.
std::vector<unsigned char> noiseStream(std::size_t n)
{
    std::vector<unsigned char> raw(n);
    std::uint32_t x = 12345;
    for (unsigned char &c : raw) {
        x = x * 1664525u + 1013904223u;
        c = static_cast<unsigned char>(x >> 24);
    }
    uLongf length = compressBound(uLong(n));
    std::vector<unsigned char> out(length);
    compress2(out.data(), &length, raw.data(), uLong(n), 1);
    out.resize(length);
    return out;
}

bool writeHostile(const QString &dir, const QString &which)
{
    const std::string path = (dir + QStringLiteral("/Tovira.fka")).toStdString();
    const std::uint32_t flags = Archive::Enciphered | Archive::Compressed;
    Archive::keyCipher(AudioSet::ArchiveKey);
    Archive archive;
    if (which == QLatin1String("100000 entries")) {
        for (int i = 0; i < 100000; ++i) {
            const std::vector<unsigned char> bytes(8, static_cast<unsigned char>(i));
            putEntry(archive, std::to_string(i) + "/miss.wav", bytes, 8);
        }
    } else if (which == QLatin1String("4 GiB claim")) {
        putEntry(archive, "BGM_1.wav", noiseStream(5 << 20), 0xFFFFFFFFu);
    } else if (which == QLatin1String("1 GiB bomb")) {
        putEntry(archive, "BGM_1.wav", zeroStream(1024), 1u << 30);
    } else if (which == QLatin1String("one byte short")) {
        QFile::copy(QStringLiteral("Tovira.fka"), dir + QStringLiteral("/Tovira.fka"));
        return QFile::resize(dir + QStringLiteral("/Tovira.fka"),
                             QFileInfo(QStringLiteral("Tovira.fka")).size() - 1);
    } else if (which == QLatin1String("fifo")) {
        return mkfifo(path.c_str(), 0600) == 0;
    }
    const ArchiveWords words = ArchiveWords::draw();
    return archive.write(path, flags, words.a, words.b);
}

int runHostile(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const QString resources = QFileInfo(QStringLiteral("resuorce.rcc")).absoluteFilePath();
    std::printf("%-16s %12s %10s  %s\n", "archive", "first frame", "peak", "messages");
    for (const QString &which :
         {QStringLiteral("100000 entries"), QStringLiteral("4 GiB claim"),
          QStringLiteral("1 GiB bomb"), QStringLiteral("one byte short"), QStringLiteral("fifo")}) {
        QTemporaryDir dir;
        QFile::link(resources, dir.filePath(QStringLiteral("resuorce.rcc")));
        if (!writeHostile(dir.path(), which)) {
            std::printf("%-16s cannot be written\n", qPrintable(which));
            continue;
        }
        if (which == QLatin1String("100000 entries")) {
            // Opening and looking up every entry by name, in this process.
            QElapsedTimer open;
            open.start();
            Archive archive;
            archive.open((dir.path() + QStringLiteral("/Tovira.fka")).toStdString(),
                         AudioSet::ArchiveKey);
            int found = 0;
            for (int i = 0; i < archive.entryCount(); ++i)
                found += archive.indexOf(archive.entryName(i)) == i;
            std::printf("%-16s %9.1f ms to open and look up %d names\n", "",
                        open.nsecsElapsed() / 1e6, found);
        }
        QByteArray errors;
        const Sample r = runChild(self, QStringLiteral("game"), dir.path(), &errors);
        // The sound manager's messages, counted: "readError x3".
        QMap<QByteArray, int> said;
        for (const QByteArray &line : errors.split('\n')) {
            if (line.startsWith("readError") || line.startsWith("readArchiveError"))
                ++said[line.trimmed()];
        }
        QByteArray messages;
        for (auto it = said.begin(); it != said.end(); ++it)
            messages +=
                it.key() + (it.value() > 1 ? " x" + QByteArray::number(it.value()) : "") + "; ";
        if (r.ms < 0)
            std::printf("%-16s %12s %10s\n", qPrintable(which), "hung > 20 s", "-");
        else
            std::printf("%-16s %9.0f ms %7.1f MB  %s\n", qPrintable(which), r.ms,
                        r.peakAllKb / 1024.0, messages.constData());
        std::fflush(stdout);
    }
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    sinceMain.start();
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "game")
        return runGame(argc, argv);
    if (mode == "bare")
        return runBare(argc, argv);
    if (mode == "decode")
        return runDecode();
    if (mode == "hostile")
        return runHostile(argc, argv);

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    const QString self = QCoreApplication::applicationFilePath();
    std::vector<Sample> game, bare, decode;
    for (int i = 0; i < runs; ++i) {
        game.push_back(runChild(self, QStringLiteral("game")));
        bare.push_back(runChild(self, QStringLiteral("bare")));
        decode.push_back(runChild(self, QStringLiteral("decode")));
    }
    // Each run's difference against the bare window launched right after it, so that a reader
    // sees the spread and not only the median.
    std::printf("game - bare per run (ms):");
    for (int i = 0; i < runs; ++i)
        std::printf(" %.1f", game[i].ms - bare[i].ms);
    std::printf("\nmusic after the first frame per run (ms):");
    for (int i = 0; i < runs; ++i)
        std::printf(" %.1f", game[i].musicMs - game[i].ms);
    std::printf("\n");
    const Sample g = median(game), b = median(bare), d = median(decode);
    std::printf("median of %d runs, from launch:\n", runs);
    std::printf("  game: first frame %7.1f ms, menu music's first buffer %7.1f ms, CPU to first "
                "frame %6.1f ms, peak %5.1f MB at first frame, %5.1f MB with every sound\n",
                g.ms, g.musicMs, g.cpuMs, g.peakKb / 1024.0, g.peakAllKb / 1024.0);
    std::printf("  bare Qt window: first frame %7.1f ms, CPU %6.1f ms, peak %5.1f MB\n", b.ms,
                b.cpuMs, b.peakKb / 1024.0);
    std::printf("  CPU of the window's thread to the first frame: game %.1f ms, bare %.1f ms "
                "(difference %.1f ms)\n",
                g.windowCpuMs, b.windowCpuMs, g.windowCpuMs - b.windowCpuMs);
    const char *names[] = {"application", "sound manager", "resource file, icon and font",
                           "window: scene and launcher pictures"};
    std::printf("  phases of the game (ms):");
    for (int i = 0; i < g.phases.size() && i < 4; ++i)
        std::printf(" %s %.1f;", names[i], g.phases[i]);
    double before = 0;
    for (double p : g.phases)
        before += p;
    std::printf(" show to first paint (and loading) %.1f\n", g.ms - before);
    std::printf("  archive decode alone %.1f ms in one thread (%.1f MB of sound)\n", d.decodeMs,
                d.decodedBytes / (1024.0 * 1024.0));
    std::printf("  game - bare = %.1f ms (goal <= 60); music %.1f ms after the first frame (goal "
                "<= 100)\n",
                g.ms - b.ms, g.musicMs - g.ms);
    return 0;
}
