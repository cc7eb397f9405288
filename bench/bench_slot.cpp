// Figures for the slot machine: the cost of one whole play frame with the screen full of reels,
// the reels' 32 cards each drawn three ways (a new card picture copied per card, straight from
// the sheet through source rectangles, and the same skipping cards off the screen), and the cost
// of creating a reel (its sheet loaded, the strip dealt and shuffled).
// Run from the game folder (it reads ./resuorce.rcc): ../bench/bench_slot [frames]
#include "GameHarness.h"
#include "games/cards/Game_Trump.h"
#include "games/frame/Game_Score.h"
#include "games/slot/Game_Slot.h"
#include "games/slot/Game_Slot_Machine.h"
#include "games/slot/Game_Slot_Reel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <cstdio>
#include <functional>

namespace
{
using Reel = Game_Slot_Reel;

using GameHarness::msPerFrame;

Reel::Strip winners()
{
    Reel::Strip s;
    for (int i = 0; i < Reel::StripLength; ++i)
        s[i] = Game_Trump_Card{i % 4, 10 + i % 3};
    return s;
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int frames = GameHarness::benchFrames(argc, argv, 600);

    Game_Slot game;
    GameHarness::ready(game, 0);
    game.stopTimers();
    Game_Slot_Machine *machine = game.getMachine();

    // Play until the train fills the screen: every reel stops on a face card at x = 150.
    QImage screen(1024, 576, QImage::Format_ARGB32_Premultiplied);
    QPainter screenPainter(&screen);
    auto playFrame = [&] {
        game.paint(&screenPainter, nullptr, nullptr);
        for (const auto &reel : machine->getReels()) {
            if (!reel->isStopped() && reel->isOnScreen() && reel->getX() <= 150) {
                reel->setStrip(winners());
                machine->press(0);
            }
        }
    };
    for (int i = 0; i < 1200; ++i)
        playFrame();
    if (machine->isGameOver()) {
        std::printf("the play ended before the screen filled\n");
        return 1;
    }
    int onScreen = 0;
    for (const auto &reel : machine->getReels())
        onScreen += reel->isOnScreen() && reel->getX() > -Reel::CardWidth && reel->getX() < 1024;
    std::printf("reels on screen: %d of %zu in the train\n", onScreen, machine->getReels().size());

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < frames; ++i)
        playFrame();
    std::printf("whole play frame (cabinet, reels, overlay, score, train): %.3f ms\n",
                clock.nsecsElapsed() / 1e6 / frames);

    // The same reels drawn three ways, without moving them.
    Game_Trump trump;
    auto eachCard = [&](const std::function<void(const QRectF &, const Game_Trump_Card &)> &f) {
        for (const auto &reel : machine->getReels()) {
            for (int i = 0; i < Reel::StripLength; ++i) {
                const Game_Trump_Card c = reel->getStrip()[i];
                f(QRectF(reel->getX(), reel->getY1() + Reel::Pitch * i, 113, 170), c);
                f(QRectF(reel->getX(), reel->getY2() + Reel::Pitch * i, 113, 170), c);
            }
        }
    };
    const double copied = msPerFrame(frames, [&](QPainter &p) {
        eachCard([&](const QRectF &r, const Game_Trump_Card &c) {
            p.drawImage(r, trump.cardImage(c.suit, c.rank));
        });
    });
    const double sourced = msPerFrame(frames, [&](QPainter &p) {
        eachCard([&](const QRectF &r, const Game_Trump_Card &c) {
            trump.drawCard(&p, r, c.suit, c.rank);
        });
    });
    const double culled = msPerFrame(frames, [&](QPainter &p) {
        eachCard([&](const QRectF &r, const Game_Trump_Card &c) {
            if (r.intersects(QRectF(0, 0, 1024, 576)))
                trump.drawCard(&p, r, c.suit, c.rank);
        });
    });
    const int cards = int(machine->getReels().size()) * 2 * Reel::StripLength;
    std::printf("%d cards per frame: copied picture per card %.3f ms, sheet source rectangles "
                "%.3f ms, source rectangles skipping cards off screen %.3f ms\n",
                cards, copied, sourced, culled);

    // Creating a reel: the sheet decoded from the resource file, two seeds, 1016 draws.
    const int reels = 20;
    clock.restart();
    for (int i = 0; i < reels; ++i)
        Reel reel(15);
    std::printf("creating a reel: %.3f ms\n", clock.nsecsElapsed() / 1e6 / reels);
    return 0;
}
