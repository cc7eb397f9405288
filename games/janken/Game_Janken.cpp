#include "games/janken/Game_Janken.h"

#include "base/Clock.h"
#include "base/Picture.h"
#include "base/Random.h"
#include "games/frame/Game_ClockPanel.h"
#include "games/frame/Game_Score.h"

#include <QKeyEvent>
#include <QPainter>

Game_Janken::Game_Janken() : Game_Base(QStringLiteral("Janken")) {}

void Game_Janken::releaseResources()
{
    pictures = Pictures();
    duel.reset();
}

void Game_Janken::createResources()
{
    duel = std::make_unique<Game_Janken_Duel>();
}

void Game_Janken::loadPictures()
{
    // The failure messages differ by picture; they are kept as the players' logs know them.
    const QString folder = QStringLiteral("/img/janken/");
    Picture::load(pictures.background, QStringLiteral(":/img/janken/BG"),
                  QStringLiteral(":/img/janken/BG"));
    Picture::load(pictures.foreground, QStringLiteral(":/img/janken/FG"),
                  QStringLiteral(":/img/janken/FG"));
    Game_PanelPictures::load(pictures.score, folder, QStringLiteral("SCORE"));
    Game_PanelPictures::load(pictures.timer, folder, QStringLiteral("TIMER"));
    for (int i = 0; i < 3; ++i) {
        // These two print the path in quotes.
        const QString tovira = QStringLiteral(":/img/janken/TOVIRA") + QString::number(i);
        Picture::load(pictures.tovira[i], tovira,
                      QStringLiteral("imgReadError: \"%1\"").arg(tovira));
        const QString hand = QStringLiteral(":/img/janken/HAND") + QString::number(i);
        Picture::load(pictures.hands[i], hand, QStringLiteral("imgReadError: \"%1\"").arg(hand));
    }
    Game_PanelPictures::load(pictures.point, folder, QStringLiteral("POINT"));
}

void Game_Janken::initGame()
{
    if (!duel)
        createResources();
    Random::seed(Clock::currentTime().toString(QStringLiteral("mmssszzz")).toInt());
    loadPictures();
    duel->start();

    setWidth(Picture::sizeOf(pictures.background).width());
    setHeight(Picture::sizeOf(pictures.background).height());

    getScore()->setScore(0);
    setQuestionShown(false);

    setFocus(Qt::ActiveWindowFocusReason);

    clock.start(Clock::monotonicMs());
    startFrameTimer();
}

void Game_Janken::resumeGame()
{
    Game_Base::resumeGame();
    // The score is the time played: the time spent on the question is not counted.
    if (duel)
        clock.skipTo(Clock::monotonicMs());
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
    Game_Base::drawResult(painter, pictures.score, duel->isLost() ? tr("まけ！") : tr("あいこ！"));
}

// A play frame in its order: the hands as they stood, the duel's step, the marker where it was,
// then the clock's step and the time.
void Game_Janken::paintPlay(QPainter *painter)
{
    drawHands(painter);
    // The marker moves 8 px per frame from the first frame that shows minute 1.
    const int handsBefore = duel->getHandsDrawn(), wonBefore = duel->getThrowsWon();
    const int x =
        duel->step(Picture::sizeOf(pictures.point).width(), clock.getElapsed().minute() > 0);
    soundStep(handsBefore, wonBefore);
    drawMarker(painter, x);
    Picture::drawAtDeviceSize(painter, QPointF(0, 0), pictures.foreground);
    drawScorePanel(painter, pictures.score);
    stepClock();
    drawClock(painter);
}

void Game_Janken::soundStep(int handsBefore, int wonBefore)
{
    if (duel->getHandsDrawn() > handsBefore)
        playEffect(AudioSet::Effect::JankenHand);
    if (duel->getThrowsWon() > wonBefore)
        playEffect(AudioSet::Effect::JankenRoundWin);
    if (duel->isFinished())
        playEffect(duel->isLost() ? AudioSet::Effect::JankenLost : AudioSet::Effect::JankenDraw);
}

void Game_Janken::drawHands(QPainter *painter)
{
    Picture::drawAtDeviceSize(painter, QPointF(0, 0), pictures.background);

    const QImage &hand = pictures.hands[duel->getPlayerHand()];
    const QSize handSize = Picture::sizeOf(hand);
    Picture::drawAtDeviceSize(
        painter, QPointF(-50, boundingRect().center().y() - handSize.height() / 2), hand);

    const QImage &tovira = pictures.tovira[duel->getOpponentHand()];
    const QSize toviraSize = Picture::sizeOf(tovira);
    Picture::drawAtDeviceSize(
        painter, QPointF(getWidth() - toviraSize.width(), getHeight() - toviraSize.height()),
        tovira);
}

void Game_Janken::drawMarker(QPainter *painter, int x)
{
    const int w = Picture::sizeOf(pictures.point).width(),
              h = Picture::sizeOf(pictures.point).height();
    const qreal oldOpacity = painter->opacity();
    painter->setOpacity(0.5);
    painter->drawImage(QRectF(x, boundingRect().center().y() - h / 2, w, h), pictures.point);
    painter->setOpacity(oldOpacity);
}

void Game_Janken::stepClock()
{
    clock.tick(Clock::monotonicMs());
    getScore()->setScore(clock.wholeSeconds() * PointsPerSecond);
}

void Game_Janken::drawClock(QPainter *painter)
{
    const QPointF centre = boundingRect().center();
    const int tw = Picture::sizeOf(pictures.timer).width(),
              th = Picture::sizeOf(pictures.timer).height();
    Game_ClockPanel::draw(painter, pictures.timer, QPointF(centre.x() - tw / 2, 10), getFont(),
                          QRectF(centre.x() - tw / 2 + 60, 30, tw, centre.y() + th / 2 - 10),
                          Qt::AlignLeft | Qt::AlignTop, clock.text());
}

bool Game_Janken::isPlaying() const
{
    return duel && !duel->isFinished();
}

void Game_Janken::playKeyRelease(QKeyEvent *event)
{
    // The key of each hand: rock, paper, scissors.
    static const int keys[] = {Qt::Key_Up, Qt::Key_Right, Qt::Key_Left};
    for (int hand = 0; hand < 3; ++hand) {
        if (event->key() == keys[hand])
            duel->setPlayerHand(hand);
    }
}

// Play draws the stage picture and the result fills black: either covers the item.
QRectF Game_Janken::opaqueRect() const
{
    return duel && !pictures.background.isNull() ? boundingRect() : QRectF();
}
