// Start-up: time from process start to the first painted frame of the launcher and the peak
// memory at that moment, next to a bare Qt program that shows one 1024 x 576 window and quits on
// its first paint, and next to decoding the sound archive alone.
// Run from the game's run folder (it needs resuorce.rcc and Tovira.fka):
//     cd build/game && QT_QPA_PLATFORM=offscreen ../bench/bench_startup [runs]
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "sound/Archive.h"
#include "sound/AudioSet.h"

#include <QApplication>
#include <QDirIterator>
#include <QImage>
#include <QResource>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsView>
#include <QProcess>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {
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
    std::printf("  start-up cost: game - bare = %.1f ms = %.2f x the archive decode (goal <= 1.10)\n",
                g.ms - b.ms, (g.ms - b.ms) / d.decodeMs);
    const double budget = b.peakKb / 1024.0 + 1.5 * d.decodedBytes / mb + pictures / mb + 10.0;
    std::printf("  peak memory %.1f MB; budget bare + 1.5 x sound + pictures (%.1f MB) + 10 MB = "
                "%.1f MB\n",
                g.peakKb / 1024.0, pictures / mb, budget);
    return 0;
}
