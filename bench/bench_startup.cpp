// Start-up: time from process start to the first painted frame of the launcher and the peak
// memory at that moment, next to a bare Qt program that shows one 1024 x 576 window and quits on
// its first paint, and next to decoding the sound archive alone.
// Run from the game's run folder (it needs resuorce.rcc and Tovira.fka):
//     cd build/game && QT_QPA_PLATFORM=offscreen ../bench/bench_startup [runs]
// With "hostile" it starts the game once beside each of a set of hostile sound archives instead
// and prints the time to the first frame and the peak memory of each:
//     cd build/game && QT_QPA_PLATFORM=offscreen ../bench/bench_startup hostile
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "sound/Archive.h"
#include "sound/ArchiveBuffer.h"
#include "sound/AudioSet.h"

#include <zlib.h>

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsView>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QResource>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
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

// Ends the process right after the first paint of the watched widget, printing peak memory.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool result = QObject::eventFilter(watched, event);
        if (event->type() == QEvent::Paint) {
            QMetaObject::invokeMethod(
                this,
                [] {
                    std::printf("peak_kb %ld\n", peakKilobytes());
                    std::fflush(stdout);
                    _exit(0);
                },
                Qt::QueuedConnection);
        }
        return result;
    }
};

int runGame(int argc, char **argv)
{
    QElapsedTimer phase;
    phase.start();
    QApplication app(argc, argv);
    const double appMs = phase.nsecsElapsed() / 1e6;
    Startup::prepare(app);
    const double prepareMs = phase.nsecsElapsed() / 1e6 - appMs;
    MainWindow window;
    const double windowMs = phase.nsecsElapsed() / 1e6 - appMs - prepareMs;
    std::printf("phases_ms %.1f %.1f %.1f\n", appMs, prepareMs, windowMs);
    FirstPaint watcher;
    window.getView()->viewport()->installEventFilter(&watcher);
    window.show();
    return app.exec();
}

int runBare(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1024, 576);
    FirstPaint watcher;
    window.installEventFilter(&watcher);
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

// Decoded size of the pictures the launcher shows at start-up (scene background and launcher).
double startupPictureBytes()
{
    QResource::registerResource(QStringLiteral("resuorce.rcc"));
    double total = 0;
    QDirIterator it(QStringLiteral(":/img/lancher"), QDir::Files);
    QStringList paths = {QStringLiteral(":/img/BG")};
    while (it.hasNext())
        paths << it.next();
    for (const QString &p : paths) {
        const QImage image(p);
        total += double(image.width()) * image.height() * 4;
    }
    return total;
}

struct Sample {
    double ms = 0;
    long peakKb = 0;
    double decodeMs = -1;
    QByteArray phases;
    double decodedBytes = 0;
};

Sample runChild(const QString &self, const QString &mode)
{
    QProcess child;
    QElapsedTimer clock;
    clock.start();
    child.start(self, {mode});
    child.waitForFinished(60000);
    Sample s;
    s.ms = clock.nsecsElapsed() / 1e6;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("peak_kb "))
            s.peakKb = line.mid(8).toLong();
        else if (line.startsWith("decode_ms "))
            s.decodeMs = line.mid(10).toDouble();
        else if (line.startsWith("phases_ms "))
            s.phases = line.mid(10);
        else if (line.startsWith("decoded_bytes "))
            s.decodedBytes = line.mid(14).toDouble();
    }
    return s;
}

Sample median(std::vector<Sample> v)
{
    // The decode runs are ranked by their own decode time, the others by time to first paint.
    std::sort(v.begin(), v.end(), [](const Sample &a, const Sample &b) {
        return (a.decodeMs >= 0 ? a.decodeMs : a.ms) < (b.decodeMs >= 0 ? b.decodeMs : b.ms);
    });
    Sample m = v[v.size() / 2];
    long peak = 0;
    for (const Sample &s : v)
        peak = std::max(peak, s.peakKb);
    m.peakKb = peak;
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
    return archive.write(path, flags);
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
        QProcess child;
        child.setWorkingDirectory(dir.path());
        QElapsedTimer clock;
        clock.start();
        child.start(self, {QStringLiteral("game")});
        const bool ended = child.waitForFinished(20000);
        const double ms = clock.nsecsElapsed() / 1e6;
        if (!ended) {
            child.kill();
            child.waitForFinished();
        }
        long peak = 0;
        for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
            if (line.startsWith("peak_kb "))
                peak = line.mid(8).toLong();
        }
        // The sound manager's messages, counted: "readError x3".
        QMap<QByteArray, int> said;
        for (const QByteArray &line : child.readAllStandardError().split('\n')) {
            if (line.startsWith("readError") || line.startsWith("readArchiveError"))
                ++said[line.trimmed()];
        }
        QByteArray messages;
        for (auto it = said.begin(); it != said.end(); ++it)
            messages +=
                it.key() + (it.value() > 1 ? " x" + QByteArray::number(it.value()) : "") + "; ";
        if (!ended)
            std::printf("%-16s %12s %10s  %s\n", qPrintable(which), "hung > 20 s", "-",
                        messages.constData());
        else
            std::printf("%-16s %9.0f ms %7.1f MB  %s (exit %d)\n", qPrintable(which), ms,
                        peak / 1024.0, messages.constData(), child.exitCode());
        std::fflush(stdout);
    }
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
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
    const Sample g = median(game), b = median(bare), d = median(decode);
    const double pictures = startupPictureBytes();
    const double mb = 1024.0 * 1024.0;
    std::printf("median of %d runs from process start to the first painted frame:\n", runs);
    std::printf("  game launcher   %7.1f ms   peak %7.1f MB   (application, set-up with sounds, "
                "window with screens: %s ms)\n",
                g.ms, g.peakKb / 1024.0, g.phases.constData());
    std::printf("  bare Qt window  %7.1f ms   peak %7.1f MB\n", b.ms, b.peakKb / 1024.0);
    std::printf("  archive decode  %7.1f ms   (in process; %.1f MB of sound decoded)\n", d.decodeMs,
                d.decodedBytes / mb);
    std::printf(
        "  start-up cost: game - bare = %.1f ms = %.2f x the archive decode (goal <= 1.10)\n",
        g.ms - b.ms, (g.ms - b.ms) / d.decodeMs);
    const double budget = b.peakKb / 1024.0 + 1.5 * d.decodedBytes / mb + pictures / mb + 10.0;
    std::printf("  peak memory %.1f MB; budget bare + 1.5 x sound + pictures (%.1f MB) + 10 MB = "
                "%.1f MB\n",
                g.peakKb / 1024.0, pictures / mb, budget);
    return 0;
}
