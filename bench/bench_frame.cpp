// Figures for the frame and the launcher: the cost of painting the launcher once (one frame),
// the cost of drawing a full-screen picture premultiplied versus as loaded, and how often an
// off-stage game's 1 ms frame timer would wake the program per second had it not been stopped.
// Run from the game folder (it reads ./resuorce.rcc): ../bench/bench_frame [frames]
#include "GameHarness.h"
#include "base/Picture.h"
#include "launcher/Item_Lancher.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTimer>
#include <cstdio>

namespace {
double msPerDraw(const QImage &source, int frames)
{
    return GameHarness::msPerFrame(
        frames, [&source](QPainter &p) { p.drawImage(QRectF(0, 0, 1020, 572), source); },
        QSize(1020, 572));
}

int timerWakeupsPerSecond(bool stopped)
{
    QTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(1);
    if (stopped)
        timer.stop();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return ticks;
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int frames = GameHarness::benchFrames(argc, argv, 300);

    Item_Lancher launcher(0, 0);
    launcher.setWidth(1020);
    launcher.setHeight(572);
    int table[10] = {1200, 34000, 560, 7800, 90, 12345, 6789, 2500, 31000, 0};
    launcher.setScores(table);
    const double launcherMs = GameHarness::msPerFrame(
        frames, [&launcher](QPainter &p) { launcher.paint(&p, nullptr, nullptr); },
        QSize(1020, 572));
    std::printf("launcher paint: %.3f ms per frame over %d frames (budget 16.7 ms)\n", launcherMs,
                frames);

    QImage loaded(QStringLiteral(":/img/lancher/BG"));
    if (loaded.isNull()) {
        loaded = QImage(1020, 572, QImage::Format_ARGB32);
        loaded.fill(QColor(40, 90, 160, 255));
    }
    QImage premultiplied = loaded;
    Picture::premultiply(premultiplied);
    std::printf("full-screen picture, format %d as loaded: %.3f ms per draw\n", loaded.format(),
                msPerDraw(loaded, frames));
    std::printf("full-screen picture, premultiplied:      %.3f ms per draw\n",
                msPerDraw(premultiplied, frames));

    std::printf("off-stage game timer wake-ups per second: running %d, stopped %d\n",
                timerWakeupsPerSecond(false), timerWakeupsPerSecond(true));
    return 0;
}
