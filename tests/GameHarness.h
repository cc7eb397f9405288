#pragma once
// The set-up the game tests and benchmarks share: the game's resource file and font, a wall
// clock that follows the test's own time, a game started on a scene, and a game on a real,
// active graphics view whose clicks and keys go through the view as real events.
#include "FlatPictures.h"
#include "SoundRecorder.h"
#include "games/frame/Game_Base.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QSignalSpy>
#include <QTime>
#include <QtTest>
#include <functional>
#include <memory>

namespace GameHarness
{
// Registers the game's resource file (the built one unless told) and adds its font; false if
// either is not there.
bool loadArt(const QString &rcc = QString());
// Adds the game's font from the resources; false if it is not there.
bool loadFont();
// The wall clock reads `now`; the game clocks, which run on the monotonic clock, follow it as
// milliseconds since midnight.
void followClock(const QTime &now);
// The game's sounds from this archive (none when it is missing) going to a recorder instead of
// the audio device; null if the sound set could not be made.
std::shared_ptr<SoundRecorder>
recordSounds(const QString &archive = QStringLiteral("no-such-archive.fka"));
// Every sound, the effects' recordings included, from a silent archive of every name the sound
// manager knows, going to a recorder; null if the sound set could not be made.
std::shared_ptr<SoundRecorder> recordEverySound();
// The game ended once, sending its name and this score to the menu.
void verifyEnded(const QSignalSpy &ended, const QString &name, int score);
// A 1020 x 572 scene, activated so that its focus item takes keys.
QGraphicsScene *activeScene();
// Gives the game a best score of `best` and a fresh score, if one is given, then creates its
// resources and starts a play.
void ready(Game_Base &game, int best = -1);
// Puts the game on the scene, then readies it.
void start(QGraphicsScene &scene, Game_Base *game, int best = -1);
// One painted frame of the item on `under` (the item's size unless told); texts drawn in the
// painter's pen come out in `pen`.
QImage paint(QGraphicsItem &item, QSize size, const QColor &under = Qt::white,
             const QColor &pen = Qt::black);

// For the benchmarks, run from the game folder: loads ./resuorce.rcc and says whether it did.
bool announceArt();
// The frame count a benchmark was given (its first argument) or else `frames`, after
// announceArt().
int benchFrames(int argc, char **argv, int frames);
// Milliseconds per frame of draw() into a picture of this size, over `frames` frames.
double msPerFrame(int frames, const std::function<void(QPainter &)> &draw,
                  QSize size = QSize(1024, 576));
} // namespace GameHarness

// A game on an activated scene without a view: the test paints the frames and sends the input
// to the scene.
class GameScene
{
public:
    // The game's art with the flat pictures in its place, and the wall clock following `now`;
    // false if either set of pictures is missing.
    bool setUpFlat(const QTime &now);
    // A fresh scene with the game started on it (see GameHarness::start).
    void open(Game_Base *game, int best = -1);
    // Deletes the scene and the game on it.
    void close();

    QGraphicsScene *scene = nullptr;
    std::unique_ptr<FlatPictures> flat;
    // The window-sized picture the test paints its frames into.
    QImage image{1024, 576, QImage::Format_ARGB32_Premultiplied};
};

// A game on a shown, active view. The test paints the frames itself, so the game's timers are
// stopped once the play has started.
class GameView
{
public:
    // A fresh 1020 x 572 scene in a shown 1024 x 576 view; false when the window never became
    // active. With stillView the view itself repaints nothing behind the test's back.
    bool show(bool stillView = false);
    // Shows the view and starts the game on it with a fresh score, its timers stopped.
    bool open(Game_Base *game, bool stillView = false);
    void close();

    QPoint at(QPointF p) const { return view->mapFromScene(p); }
    void moveTo(QPointF p) { QTest::mouseMove(view->viewport(), at(p)); }
    void press(QPointF p) { QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at(p)); }
    void release(QPointF p) { QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at(p)); }
    // A click wherever the pointer happens to be over the view.
    void click(QPointF p) { QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(p)); }
    // The pointer moved there first (hover decides which dialog button a click hits).
    void pointAndClick(QPointF p)
    {
        moveTo(p);
        click(p);
    }
    void key(Qt::Key k) { QTest::keyClick(view.get(), k); }

    std::unique_ptr<QGraphicsScene> scene;
    std::unique_ptr<QGraphicsView> view;
};
