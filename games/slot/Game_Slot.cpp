#include "games/slot/Game_Slot.h"

#include "base/Picture.h"
#include "base/Shade.h"
#include "games/frame/Game_Score.h"
#include "games/slot/Game_Slot_Machine.h"
#include "games/slot/Game_Slot_Reel.h"
#include "games/slot/Game_Slot_ReelDrawer.h"

#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPainter>

#include <utility>

Game_Slot::Game_Slot() : Game_Base(QStringLiteral("Slot")) {}

Game_Slot::~Game_Slot() = default;

void Game_Slot::releaseResources()
{
    pictures = Pictures();
    machine.reset();
    reelDrawer.reset();
}

void Game_Slot::createResources()
{
    machine = std::make_unique<Game_Slot_Machine>();
    reelDrawer = std::make_unique<Game_Slot_ReelDrawer>();
}

void Game_Slot::initGame()
{
    Picture::load(pictures.background, QStringLiteral(":/img/slot/BG"),
                  QStringLiteral(":/img/slot/BG"));
    pictures.foreground.load(QStringLiteral(":/img/slot/FG"), QStringLiteral(":/img/slot/FG"));
    Picture::load(pictures.scorePicture, QStringLiteral(":/img/slot/SCORE"),
                  QStringLiteral("imgReadError: /img/slot/SCORE"));
    setWidth(Picture::sizeOf(pictures.background).width());
    setHeight(Picture::sizeOf(pictures.background).height());

    pressed = false;
    spacePressed = false;
    machine->start();
    startFrameTimer();

    getScore()->setScore(0);
    setQuestionShown(false);
    setFocus();
    setSoundSilent(false);
    update();
}

void Game_Slot::retryGame()
{
    machine->clear();
    Game_Base::retryGame();
}

void Game_Slot::resumeGame()
{
    Game_Base::resumeGame();
    startFrameTimer();
}

bool Game_Slot::isGameOver() const
{
    return machine && machine->isGameOver();
}

void Game_Slot::paintGame(QPainter *painter)
{
    if (!machine)
        return;

    if (machine->isGameOver()) {
        // The reels are frozen under the dialog: the machine is drawn and dimmed once.
        backdrop.draw(painter, boundingRect(), reelsKey(), [this](QPainter *p) {
            drawMachine(p);
            Shade::draw(p, boundingRect(), 200);
        });
        drawResult(painter, pictures.scorePicture, Game_Base::tr("残念！"));
        return;
    }
    drawMachine(painter);
    drawScorePanel(painter, pictures.scorePicture);
    if (machine->afterFrame()) {
        // A reel ran off the left edge unstopped.
        playEffect(AudioSet::Effect::ReelLost);
        stopFrameTimer();
        update();
    }
}

void Game_Slot::drawCabinet(QPainter *painter) const
{
    // The cards hide the cabinet behind their opaque middles, so only the rest of it is drawn:
    // with the reel train across the window that is most of a picture copy a frame.
    if (!Picture::isPixelExact(painter)) {
        Picture::drawAtDeviceSize(painter, QPointF(0, 0), pictures.background);
        return;
    }
    QVector<QRect> hidden;
    for (const auto &reel : machine->getReels())
        reelDrawer->addHiddenParts(painter, *reel, hidden);
    const QRect whole(QPoint(), Picture::sizeOf(pictures.background));
    for (const QRect &part : Picture::uncovered(whole, hidden))
        Picture::drawPart(painter, part.topLeft(), pictures.background, part);
}

void Game_Slot::drawMachine(QPainter *painter)
{
    drawCabinet(painter);
    // The reels cross the scene, however large the device that shows it: a full screen scales
    // the scene up and leaves the reels where the window has them.
    const QSize area =
        scene() ? scene()->sceneRect().size().toSize() : QSize(getWidth(), getHeight());
    for (const auto &reel : machine->getReels())
        reelDrawer->drawAndMove(painter, *reel, area);
    // Only the inked parts of the overlay: the pay line between its rails is left open.
    pictures.foreground.draw(painter);
}

size_t Game_Slot::reelsKey() const
{
    size_t key =
        qHashMulti(0, pictures.background.cacheKey(), pictures.foreground.image().cacheKey());
    for (const auto &reel : machine->getReels()) {
        key = qHashMulti(key, reel->getX(), reel->getY1(), reel->getY2());
        for (const auto &card : reel->getStrip())
            key = qHashMulti(key, card.suit, card.rank);
    }
    return key;
}

void Game_Slot::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // Accepting the press makes this item the grabber that receives the release.
    event->accept();
    if (isQuestionShown() || !machine)
        return;
    pressed = stopReel();
    update();
}

bool Game_Slot::stopReel()
{
    if (machine->isGameOver())
        return false;
    const Game_Slot_Machine::PressResult result = machine->press(getScore()->getScore());
    if (result.value > 0)
        playEffect(AudioSet::Effect::ReelStop);
    if (result.kind == Game_Slot_Machine::Press::Lost) {
        playEffect(AudioSet::Effect::ReelLost);
        stopFrameTimer();
    } else if (result.kind == Game_Slot_Machine::Press::Scored) {
        playEffect(AudioSet::Effect::Pay);
        getScore()->setScore(result.score);
    }
    return true;
}

void Game_Slot::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Space || isQuestionShown() || !machine) {
        Game_Base::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat())
        spacePressed = stopReel();
    update();
}

void Game_Slot::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() &&
        std::exchange(spacePressed, false))
        return;
    Game_Base::keyReleaseEvent(event);
}

void Game_Slot::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    // The release of the press that stopped a reel is not a click on the result dialog.
    if (isQuestionShown() || !pressed)
        Game_Base::mouseReleaseEvent(event);
    pressed = false;
    update();
}

// Every frame starts with the cabinet picture.
QRectF Game_Slot::opaqueRect() const
{
    return machine && !pictures.background.isNull() ? boundingRect() : QRectF();
}
