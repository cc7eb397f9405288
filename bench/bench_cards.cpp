// Cost of the card games' frames: the mean and worst time to paint one play frame of UpDown and
// Speed into a window-sized picture (a 60 Hz frame leaves 16.7 ms), and the cost of making the
// card sheet that every start creates and of cutting one card out of it.
// Run: bench_cards [frames] from the folder that holds resuorce.rcc (build/game).
#include "GameHarness.h"
#include "base/Clock.h"
#include "games/cards/Game_Trump.h"
#include "games/frame/Game_Score.h"
#include "games/speed/Game_Speed.h"
#include "games/updown/Game_UpDown.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
QTime fakeNow(12, 0, 0, 0);

void paintFrames(const char *name, Game_Base *game, int frames)
{
    QGraphicsScene scene(0, 0, 1020, 572);
    GameHarness::start(scene, game, 0);
    game->stopTimers();
    QImage image(1024, 576, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    std::vector<double> times;
    QElapsedTimer t;
    for (int i = 0; i < frames; ++i) {
        // 5 ms per frame keeps the minute from running out during the run.
        fakeNow = fakeNow.addMSecs(5);
        t.start();
        game->paint(&painter, nullptr, nullptr);
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    painter.end();
    // The first frame also lays out the font's glyphs; it is reported apart.
    const double first = times.front();
    times.erase(times.begin());
    double total = 0;
    for (double ms : times)
        total += ms;
    std::sort(times.begin(), times.end());
    const double p99 = times.empty() ? first : times[times.size() * 99 / 100];
    std::printf("%-8s play frame: first %.2f ms, then mean %.2f ms, 99th percentile %.2f ms, "
                "worst %.2f ms over %d frames\n",
                name, first, times.empty() ? first : total / times.size(), p99,
                times.empty() ? first : times.back(), frames);
    scene.removeItem(game);
    delete game;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
    if (!GameHarness::loadArt(QStringLiteral("resuorce.rcc"))) {
        std::fprintf(stderr, "run from the folder that holds resuorce.rcc\n");
        return 1;
    }
    Clock::setTimeSource([] { return fakeNow; });

    QElapsedTimer t;
    const int sheets = 20;
    t.start();
    for (int i = 0; i < sheets; ++i)
        Game_Trump trump;
    std::printf("card sheet: %.2f ms to load\n", t.nsecsElapsed() / 1e6 / sheets);
    Game_Trump trump;
    const int cuts = 20000;
    t.start();
    qint64 sum = 0;
    for (int i = 0; i < cuts; ++i)
        sum += trump.cardImage(i % 4, i % 13).width();
    std::printf("cardImage: %.1f us per card (%lld)\n", t.nsecsElapsed() / 1e3 / cuts,
                static_cast<long long>(sum / cuts));

    paintFrames("UpDown", new Game_UpDown(), frames);
    paintFrames("Speed", new Game_Speed(), frames);
    return 0;
}
