#include "games/slot/Game_Slot.h"

#include "base/Shade.h"
#include "games/frame/Game_Score.h"
#include "base/Picture.h"
#include "games/slot/Game_Slot_Machine.h"
#include "games/slot/Game_Slot_Reel.h"
#include "sound/AudioSet.h"

#include <QDebug>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

Game_Slot::Game_Slot()
{
    setName(QStringLiteral("Slot"));
    setPos(-2, -2);
}

Game_Slot::~Game_Slot()
{
    releaseResources();
}

void Game_Slot::releaseResources()
{
    delete background;
    background = nullptr;
    delete foreground;
    foreground = nullptr;
    delete scorePicture;
    scorePicture = nullptr;
    delete machine;
    machine = nullptr;
}

void Game_Slot::createResources()
{
    background = new QImage();
    foreground = new QImage();
    scorePicture = new QImage();
    machine = new Game_Slot_Machine();
}

void Game_Slot::initGame()
{
    Picture::load(*background, QStringLiteral(":/img/slot/BG"), ":/img/slot/BG");
    Picture::load(*foreground, QStringLiteral(":/img/slot/FG"), ":/img/slot/FG");
    foregroundInk = Picture::inkRects(*foreground);
    Picture::load(*scorePicture, QStringLiteral(":/img/slot/SCORE"),
                  "imgReadError: /img/slot/SCORE");
    setWidth(Picture::sizeOf(*background).width());
    setHeight(Picture::sizeOf(*background).height());

    pressed = false;
    machine->start();
    startFrameTimer();

    getScore()->setScore(0);
    setQuestionShown(false);
    setAcceptHoverEvents(true);
    setFocus();
    if (AudioSet *audio = AudioSet::getInstance())
        audio->setSilent(false);
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
        drawScorePanel(painter, *scorePicture);
        drawDialog(painter, tr("残念！"), tr("もう一度"), tr("メニューに戻る"));
        return;
    }
    drawMachine(painter);
    drawScorePanel(painter, *scorePicture);
    if (machine->afterFrame()) {
        stopFrameTimer();
        update();
    }
}

void Game_Slot::drawMachine(QPainter *painter)
{
    // The cards hide the cabinet behind their opaque middles, so only the rest of it is drawn:
    // with the reel train across the window that is most of a picture copy a frame.
    if (Picture::isPixelExact(painter)) {
        QVector<QRect> hidden;
        for (const auto &reel : machine->getReels())
            reel->addHiddenParts(painter, hidden);
        for (const QRect &part :
             Picture::uncovered(QRect(QPoint(), Picture::sizeOf(*background)), hidden))
            Picture::drawPart(painter, part.topLeft(), *background, part);
    } else {
        Picture::drawAtDeviceSize(painter, QPointF(0, 0), *background);
    }
    for (const auto &reel : machine->getReels())
        reel->drawAndMove(painter);
    // Only the inked parts of the overlay: the pay line between its rails is left open.
    if (Picture::isPixelExact(painter)) {
        for (const QRect &part : foregroundInk)
            Picture::drawPart(painter, part.topLeft(), *foreground, part);
    } else {
        Picture::drawAtDeviceSize(painter, QPointF(0, 0), *foreground);
    }
}

size_t Game_Slot::reelsKey() const
{
    size_t key = qHashMulti(0, background->cacheKey(), foreground->cacheKey());
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
    if (!machine->isGameOver()) {
        pressed = true;
        const Game_Slot_Machine::PressResult result = machine->press(getScore()->getScore());
        if (result.kind == Game_Slot_Machine::Press::Lost)
            stopFrameTimer();
        else if (result.kind == Game_Slot_Machine::Press::Scored)
            getScore()->setScore(result.score);
    }
    update();
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
    return machine && !background->isNull() ? boundingRect() : QRectF();
}
