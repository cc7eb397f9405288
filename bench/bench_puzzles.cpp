// Figures for the two tile games: how long one painted frame takes (SameGame with a full board
// and a lit group, Slide cutting its nine tiles from the picture anew), and how long the rules
// take per click (SameGame's removal, fall and board check) and per shuffle (Slide's 900+ moves).
// Run: bench_puzzles [frames] from the build folder (reads game/resuorce.rcc), offscreen is fine.
#include "base/Random.h"
#include "games/samegame/Game_SameGame.h"
#include "games/samegame/Game_SameGame_Bar.h"
#include "games/samegame/Game_SameGame_Mass.h"
#include "games/slide/Game_Slide.h"
#include "games/slide/Game_Slide_Board.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QGraphicsScene>
#include <QGraphicsSceneHoverEvent>
#include <QPainter>
#include <QResource>
#include <cstdio>

namespace
{
// Milliseconds per painted frame of the whole scene into a window-sized image.
double msPerFrame(QGraphicsScene &scene, int frames)
{
    QImage image(1024, 576, QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < frames; ++i) {
        QPainter painter(&image);
        scene.render(&painter, QRectF(0, 0, 1024, 576), QRectF(0, 0, 1024, 576));
    }
    return timer.nsecsElapsed() / 1e6 / frames;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int frames = argc > 1 ? QString(argv[1]).toInt() : 600;
    if (!QResource::registerResource(QStringLiteral("game/resuorce.rcc")))
        std::fprintf(stderr, "run from the build folder: game/resuorce.rcc not found\n");
    QFontDatabase::addApplicationFont(QStringLiteral(":/font/tanuki"));

    {
        QGraphicsScene scene(0, 0, 1020, 572);
        Game_SameGame game;
        scene.addItem(&game);
        game.createResources();
        game.initGame();
        game.getTimeBar()->pause();
        std::printf("SameGame frame, full board:          %.3f ms\n", msPerFrame(scene, frames));
        // Light the largest group, the most the hover highlight ever draws.
        Game_SameGame_Mass &board = *game.getBoard();
        QPoint largest;
        int size = 0;
        for (int i = 0; i < board.cellCount(); ++i) {
            QVector<QPoint> group;
            board.collectGroup(i % 15, i / 15, group);
            if (group.size() > size) {
                size = group.size();
                largest = QPoint(i % 15, i / 15);
            }
        }
        QGraphicsSceneHoverEvent move(QEvent::GraphicsSceneHoverMove);
        move.setScenePos(QPointF(122 + 60 * largest.x() + 30, 58 + 60 * largest.y() + 30));
        QCoreApplication::sendEvent(&scene, &move);
        std::printf("SameGame frame, %2d tiles lit:        %.3f ms\n", size,
                    msPerFrame(scene, frames));

        // Clicks on random boards until each is used up: removal, fall, close-up, check.
        QElapsedTimer timer;
        qint64 clicks = 0;
        timer.start();
        for (int b = 0; b < 2000; ++b) {
            Random::seed(b);
            for (int i = 0; i < board.cellCount(); ++i)
                board.setCell(i % 15, i / 15, Random::draw() % 4);
            for (int i = 0; i < board.cellCount(); ++i) {
                if (!board.isRemovable(i % 15, i / 15))
                    continue;
                board.removeGroup(i % 15, i / 15);
                board.collapse();
                ++clicks;
                if (board.checkState() != 2)
                    break;
                i = -1;
            }
        }
        std::printf("SameGame click (remove, fall, check): %.2f us (%lld clicks)\n",
                    timer.nsecsElapsed() / 1e3 / clicks, static_cast<long long>(clicks));
    }
    {
        QGraphicsScene scene(0, 0, 1020, 572);
        Game_Slide game;
        scene.addItem(&game);
        game.createResources();
        game.initGame();
        game.stopTimers();
        std::printf("Slide frame, nine tiles cut:          %.3f ms\n", msPerFrame(scene, frames));
        Game_Slide_Board board;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 2000; ++i) {
            Random::seed(i);
            board.reset();
            board.shuffle();
        }
        std::printf("Slide shuffle (900+ move attempts):   %.2f us\n",
                    timer.nsecsElapsed() / 1e3 / 2000);
    }
    return 0;
}
