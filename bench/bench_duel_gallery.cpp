// Figures for the duel and the shooting gallery: the cost of one painted play frame of each
// (against the 16.7 ms of a 60 Hz frame), with the gallery holding more and more live targets,
// and the cost of making a target, whose pictures are decoded once and then shared.
// Run from the game folder (it reads ./resuorce.rcc): ../bench/bench_duel_gallery [frames]
#include "GameHarness.h"
#include "base/Clock.h"
#include "games/setsuna/Game_Setsuna.h"
#include "games/shooting/Game_Shooting.h"
#include "games/shooting/Game_Shooting_Gallery.h"
#include "games/shooting/Game_Shooting_Target.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <cstdio>
#include <memory>

namespace
{
double msPerFrame(QGraphicsItem &item, int frames)
{
    return GameHarness::msPerFrame(frames,
                                   [&item](QPainter &p) { item.paint(&p, nullptr, nullptr); });
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int frames = GameHarness::benchFrames(argc, argv, 300);
    // The clock stands still, so the gallery's time never runs out while measuring.
    int ms = 0;
    Clock::setTimeSource([&ms] { return QTime(10, 0, 0).addMSecs(ms); });

    QElapsedTimer clock;
    clock.start();
    std::make_unique<Game_Shooting_Target>(0, 0);
    const double firstTarget = clock.nsecsElapsed() / 1e6;
    clock.restart();
    for (int i = 0; i < 200; ++i, ++ms)
        std::make_unique<Game_Shooting_Target>(0, 0);
    std::printf("making a target: first %.3f ms (decodes; the game preloads), then %.4f ms each\n",
                firstTarget, clock.nsecsElapsed() / 1e6 / 200);

    Game_Shooting gallery;
    GameHarness::ready(gallery);
    gallery.stopTimers();
    for (int live : {0, 5, 20}) {
        gallery.getGallery()->clearAll();
        for (int i = 0; i < live; ++i, ++ms)
            gallery.getGallery()->spawnTarget();
        // targets live 100 frames, so each figure is taken over at most 90 frames
        const int n = qMin(frames, 90);
        std::printf("gallery play frame with %2d live targets at start: %.3f ms\n", live,
                    msPerFrame(gallery, n));
    }

    Game_Setsuna duel;
    GameHarness::ready(duel);
    duel.stopTimers();
    std::printf("duel title frame: %.3f ms\n", msPerFrame(duel, frames));
    clock.restart();
    for (int i = 0; i < 20; ++i)
        duel.slot_waitUp();
    std::printf("duel restart between duels (pictures decoded once): %.3f ms\n",
                clock.nsecsElapsed() / 1e6 / 20);
    std::printf("duel play frame: %.3f ms\n", msPerFrame(duel, frames));
    return 0;
}
