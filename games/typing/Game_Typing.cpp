#include "games/typing/Game_Typing.h"

#include "base/Shade.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "base/Game_ElapsedClock.h"
#include "base/Game_GlyphCache.h"
#include "games/frame/Game_Score.h"
#include "base/Picture.h"
#include "games/typing/Game_Typing_Arrow.h"
#include "games/typing/Game_Typing_Train.h"

#include <QDebug>
#include <QKeyEvent>
#include <QPainter>

Game_Typing::Game_Typing()
{
    setName(QStringLiteral("Typing"));
    setPos(-2, -2);
}

Game_Typing::~Game_Typing()
{
    releaseResources();
}

void Game_Typing::releaseResources()
{
    delete background;
    background = nullptr;
    delete scorePicture;
    scorePicture = nullptr;
    delete timerPicture;
    timerPicture = nullptr;
    delete borderPicture;
    borderPicture = nullptr;
    delete[] arrowPictures;
    arrowPictures = nullptr;
    delete clock;
    clock = nullptr;
    delete train;
    train = nullptr;
}

void Game_Typing::createResources()
{
    background = new QImage();
    scorePicture = new QImage();
    timerPicture = new QImage();
    borderPicture = new QImage();
    arrowPictures = new QImage[4];
    clock = new Game_ElapsedClock();
    train = new Game_Typing_Train();
}

void Game_Typing::loadPictures()
{
    // The failure messages differ by picture; they are kept as the players' logs know them.
    if (!Picture::load(*background, QStringLiteral(":/img/typing/BG")))
        qDebug().noquote() << ":/img/typing/BG";
    if (!Picture::load(*scorePicture, QStringLiteral(":/img/typing/SCORE")))
        qDebug().noquote() << "imgReadError: /img/typing/SCORE";
    if (!Picture::load(*timerPicture, QStringLiteral(":/img/typing/TIMER")))
        qDebug().noquote() << "imgReadError: /img/typing/TIMER";
    if (!Picture::load(*borderPicture, QStringLiteral(":/img/typing/BORDER")))
        qDebug().noquote() << "imgReadError: /img/typing/BORDER";
    for (int i = 0; i < 4; ++i) {
        const QString path = QStringLiteral("/img/typing/ARROW") + QString::number(i);
        if (!Picture::load(arrowPictures[i], QLatin1Char(':') + path))
            qDebug().noquote() << "imgReadError:" << path;
    }
}

QRectF Game_Typing::borderRect() const
{
    const QPointF c = boundingRect().center();
    const int wb = borderPicture ? Picture::sizeOf(*borderPicture).width() : 0;
    const int hb = borderPicture ? Picture::sizeOf(*borderPicture).height() : 0;
    return QRectF(c.x() - wb / 2, c.y() - hb / 2 - 3, wb, hb);
}

void Game_Typing::initGame()
{
    if (!train)
        createResources();
    Random::seed(Clock::currentTime().toString(QStringLiteral("mmssszzz")).toInt());
    loadPictures();

    setWidth(Picture::sizeOf(*background).width());
    setHeight(Picture::sizeOf(*background).height());
    getScore()->setScore(0);

    borderAlpha = 1.0;
    train->start(Picture::sizeOf(arrowPictures[0]).width(), getWidth(), borderRect(),
                 int(boundingRect().center().y()));

    setQuestionShown(false);
    setAcceptHoverEvents(true);
    setFocus(Qt::ActiveWindowFocusReason);

    clock->start(Clock::monotonicMs());
    startFrameTimer();
}

void Game_Typing::retryGame()
{
    if (train)
        train->clear();
    Game_Base::retryGame();
}

void Game_Typing::resumeGame()
{
    Game_Base::resumeGame();
    // The score is the time played: the time spent on the question is not counted.
    if (clock)
        clock->skipTo(Clock::monotonicMs());
}

bool Game_Typing::isFinished() const
{
    return train && train->isFinished();
}

void Game_Typing::paintGame(QPainter *painter)
{
    if (!train)
        return;
    if (train->isFinished())
        paintResult(painter);
    else
        paintPlay(painter);
}

void Game_Typing::paintResult(QPainter *painter)
{
    Shade::draw(painter, boundingRect(), 128);
    drawScorePanel(painter, *scorePicture);
    drawDialog(painter, tr("終了！"), tr("もう一度"), tr("メニューに戻る"));
}

void Game_Typing::paintPlay(QPainter *painter)
{
    const QPointF centre = boundingRect().center();
    const qreal cx = centre.x(), cy = centre.y();

    Picture::drawAtDeviceSize(painter, QPointF(0, 0), *background);

    const Game_Typing_Train::Step step = train->step();
    if (step.bonus) {
        getScore()->addBaseScore(Game_Typing_Train::Bonus);
        borderAlpha = 1.0;
    }
    if (step.drawTiles) {
        const int w0 = Picture::sizeOf(arrowPictures[0]).width(),
                  h0 = Picture::sizeOf(arrowPictures[0]).height();
        for (Game_Typing_Arrow *tile : train->getTiles())
            painter->drawImage(QRectF(tile->shift(0), cy - h0 / 2, w0, h0),
                               arrowPictures[tile->getDirection()]);
    }

    const qreal oldOpacity = painter->opacity();
    painter->setOpacity(borderAlpha);
    painter->drawImage(borderRect(), *borderPicture);
    painter->setOpacity(oldOpacity);
    borderAlpha = qMax(borderAlpha - 0.05, 0.2);

    drawScorePanel(painter, *scorePicture);

    const int wt = Picture::sizeOf(*timerPicture).width(),
              ht = Picture::sizeOf(*timerPicture).height();
    painter->drawImage(QPointF(cx - wt / 2, cy - ht / 2 - 240), *timerPicture);
    clock->tick(Clock::monotonicMs());
    getScore()->setScore(clock->wholeSeconds() * PointsPerSecond);
    const QPen oldPen = painter->pen();
    QFont clockFont = getFont();
    clockFont.setPointSize(50);
    painter->setFont(clockFont);
    Game_GlyphCache::drawText(painter, QRectF(cx - wt / 2 + 60, cy - ht / 2 - 220, wt, ht),
                              Qt::AlignLeft, clock->text());
    painter->setPen(oldPen);
}

bool Game_Typing::isPlaying() const
{
    return train && !train->isFinished();
}

void Game_Typing::playKeyRelease(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Right:
        train->press(0);
        break;
    case Qt::Key_Down:
        train->press(1);
        break;
    case Qt::Key_Left:
        train->press(2);
        break;
    case Qt::Key_Up:
        train->press(3);
        break;
    default:
        break;
    }
}

// Play draws the track picture; the result screen is see-through.
QRectF Game_Typing::opaqueRect() const
{
    return train && !train->isFinished() && !background->isNull() ? boundingRect() : QRectF();
}
