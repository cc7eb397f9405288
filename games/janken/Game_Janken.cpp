#include "games/janken/Game_Janken.h"

#include "base/Clock.h"
#include "base/Random.h"
#include "base/Game_ElapsedClock.h"
#include "base/Game_GlyphCache.h"
#include "games/frame/Game_Score.h"
#include "base/Picture.h"
#include "games/janken/Game_Janken_Duel.h"

#include <QDebug>
#include <QKeyEvent>
#include <QPainter>

Game_Janken::Game_Janken()
{
    setName(QStringLiteral("Janken"));
    setPos(-2, -2);
}

Game_Janken::~Game_Janken()
{
    releaseResources();
}

void Game_Janken::releaseResources()
{
    delete background;
    background = nullptr;
    delete foreground;
    foreground = nullptr;
    delete scorePicture;
    scorePicture = nullptr;
    delete timerPicture;
    timerPicture = nullptr;
    delete clock;
    clock = nullptr;
    delete[] toviraPictures;
    toviraPictures = nullptr;
    delete[] handPictures;
    handPictures = nullptr;
    delete pointPicture;
    pointPicture = nullptr;
    delete duel;
    duel = nullptr;
}

void Game_Janken::createResources()
{
    background = new QImage();
    foreground = new QImage();
    scorePicture = new QImage();
    timerPicture = new QImage();
    toviraPictures = new QImage[3];
    handPictures = new QImage[3];
    pointPicture = new QImage();
    clock = new Game_ElapsedClock();
    duel = new Game_Janken_Duel();
}

void Game_Janken::loadPictures()
{
    // The failure messages differ by picture; they are kept as the players' logs know them.
    if (!Picture::load(*background, QStringLiteral(":/img/janken/BG")))
        qDebug().noquote() << ":/img/janken/BG";
    if (!Picture::load(*foreground, QStringLiteral(":/img/janken/FG")))
        qDebug().noquote() << ":/img/janken/FG";
    if (!Picture::load(*scorePicture, QStringLiteral(":/img/janken/SCORE")))
        qDebug().noquote() << "imgReadError: /img/janken/SCORE";
    if (!Picture::load(*timerPicture, QStringLiteral(":/img/janken/TIMER")))
        qDebug().noquote() << "imgReadError: /img/janken/TIMER";
    for (int i = 0; i < 3; ++i) {
        const QString tovira = QStringLiteral(":/img/janken/TOVIRA") + QString::number(i);
        if (!Picture::load(toviraPictures[i], tovira))
            qDebug() << "imgReadError:" << tovira;
        const QString hand = QStringLiteral(":/img/janken/HAND") + QString::number(i);
        if (!Picture::load(handPictures[i], hand))
            qDebug() << "imgReadError:" << hand;
    }
    if (!Picture::load(*pointPicture, QStringLiteral(":/img/janken/POINT")))
        qDebug().noquote() << "imgReadError: /img/janken/POINT";
}

void Game_Janken::initGame()
{
    if (!duel)
        createResources();
    Random::seed(Clock::currentTime().toString(QStringLiteral("mmssszzz")).toInt());
    loadPictures();
    duel->start();

    setWidth(Picture::sizeOf(*background).width());
    setHeight(Picture::sizeOf(*background).height());

    getScore()->setScore(0);
    setQuestionShown(false);

    setAcceptHoverEvents(true);
    setFocus(Qt::ActiveWindowFocusReason);

    clock->start(Clock::monotonicMs());
    startFrameTimer();
}

void Game_Janken::resumeGame()
{
    Game_Base::resumeGame();
    // The score is the time played: the time spent on the question is not counted.
    if (clock)
        clock->skipTo(Clock::monotonicMs());
}

bool Game_Janken::isFinished() const
{
    return duel && duel->isFinished();
}

void Game_Janken::paintGame(QPainter *painter)
{
    if (!duel)
        return;
    if (duel->isFinished())
        paintResult(painter);
    else
        paintPlay(painter);
}

void Game_Janken::paintResult(QPainter *painter)
{
    painter->fillRect(boundingRect(), Qt::black);
    drawScorePanel(painter, *scorePicture);
    drawDialog(painter, duel->isLost() ? tr("まけ！") : tr("あいこ！"), tr("もう一度"),
               tr("メニューに戻る"));
}

void Game_Janken::paintPlay(QPainter *painter)
{
    const QPointF centre = boundingRect().center();
    const qreal cx = centre.x(), cy = centre.y();

    Picture::drawAtDeviceSize(painter, QPointF(0, 0), *background);

    const QImage &hand = handPictures[duel->getPlayerHand()];
    const QSize handSize = Picture::sizeOf(hand);
    Picture::drawAtDeviceSize(painter, QPointF(-50, cy - handSize.height() / 2), hand);

    const QImage &tovira = toviraPictures[duel->getOpponentHand()];
    const QSize toviraSize = Picture::sizeOf(tovira);
    Picture::drawAtDeviceSize(
        painter, QPointF(getWidth() - toviraSize.width(), getHeight() - toviraSize.height()),
        tovira);

    // The marker moves 8 px per frame from the first frame that shows minute 1.
    const int w = Picture::sizeOf(*pointPicture).width(),
              h = Picture::sizeOf(*pointPicture).height();
    const int x0 = duel->step(w, clock->getElapsed().minute() > 0);
    const qreal oldOpacity = painter->opacity();
    painter->setOpacity(0.5);
    painter->drawImage(QRectF(x0, cy - h / 2, w, h), *pointPicture);
    painter->setOpacity(oldOpacity);

    Picture::drawAtDeviceSize(painter, QPointF(0, 0), *foreground);

    drawScorePanel(painter, *scorePicture);

    const int tw = Picture::sizeOf(*timerPicture).width(),
              th = Picture::sizeOf(*timerPicture).height();
    painter->drawImage(QPointF(cx - tw / 2, 10), *timerPicture);
    clock->tick(Clock::monotonicMs());
    getScore()->setScore(clock->wholeSeconds() * PointsPerSecond);
    QFont clockFont = getFont();
    clockFont.setPointSize(50);
    painter->setFont(clockFont);
    Game_GlyphCache::drawText(painter, QRectF(cx - tw / 2 + 60, 30, tw, cy + th / 2 - 10),
                              Qt::AlignLeft | Qt::AlignTop, clock->text());
}

bool Game_Janken::isPlaying() const
{
    return duel && !duel->isFinished();
}

void Game_Janken::playKeyRelease(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        duel->setPlayerHand(0);
        break;
    case Qt::Key_Right:
        duel->setPlayerHand(1);
        break;
    case Qt::Key_Left:
        duel->setPlayerHand(2);
        break;
    default:
        break;
    }
}

// Play draws the stage picture and the result fills black: either covers the item.
QRectF Game_Janken::opaqueRect() const
{
    return duel && !background->isNull() ? boundingRect() : QRectF();
}
