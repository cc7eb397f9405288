#include "games/typing/Game_Typing.h"

#include "base/Clock.h"
#include "base/Picture.h"
#include "base/Random.h"
#include "base/Shade.h"
#include "games/frame/Game_ClockPanel.h"
#include "games/frame/Game_Score.h"

#include <QKeyEvent>
#include <QPainter>

Game_Typing::Game_Typing() : Game_Base(QStringLiteral("Typing")) {}

void Game_Typing::releaseResources()
{
    pictures = Pictures();
    train.reset();
}

void Game_Typing::createResources()
{
    train = std::make_unique<Game_Typing_Train>();
}

void Game_Typing::loadPictures()
{
    const QString folder = QStringLiteral("/img/typing/");
    pictures.loadPanel(folder);
    Game_PanelPictures::load(pictures.border, folder, QStringLiteral("BORDER"));
    for (int i = 0; i < 4; ++i)
        Game_PanelPictures::load(pictures.arrows[i], folder,
                                 QStringLiteral("ARROW") + QString::number(i));
}

QRectF Game_Typing::borderRect() const
{
    const QPointF c = boundingRect().center();
    const int wb = Picture::sizeOf(pictures.border).width();
    const int hb = Picture::sizeOf(pictures.border).height();
    return QRectF(c.x() - wb / 2, c.y() - hb / 2 - 3, wb, hb);
}

void Game_Typing::initGame()
{
    if (!train)
        createResources();
    Random::seed(Clock::currentTime().toString(QStringLiteral("mmssszzz")).toInt());
    loadPictures();

    setWidth(Picture::sizeOf(pictures.background).width());
    setHeight(Picture::sizeOf(pictures.background).height());
    getScore()->setScore(0);

    borderAlpha = 1.0;
    train->start(Picture::sizeOf(pictures.arrows[0]).width(), getWidth(), borderRect(),
                 int(boundingRect().center().y()));

    setQuestionShown(false);
    setFocus(Qt::ActiveWindowFocusReason);

    clock.start(Clock::monotonicMs());
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
    if (train)
        clock.skipTo(Clock::monotonicMs());
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
    Game_Base::drawResult(painter, pictures.score, Game_Base::tr("終了！"));
}

// A play frame in its order: the train's step, the tiles, the box, then the clock's step and the
// time.
void Game_Typing::paintPlay(QPainter *painter)
{
    Picture::drawAtDeviceSize(painter, QPointF(0, 0), pictures.background);
    if (stepTrain().drawTiles)
        drawTiles(painter);
    drawBorder(painter);
    drawScorePanel(painter, pictures.score);
    stepClock();
    drawClock(painter);
}

Game_Typing_Train::Step Game_Typing::stepTrain()
{
    const Game_Typing_Train::Step step = train->step();
    if (step.rightKey)
        playEffect(AudioSet::Effect::RightKey);
    if (step.wrongKey)
        playEffect(AudioSet::Effect::WrongKey);
    if (step.bonus) {
        playEffect(AudioSet::Effect::TypingBonus);
        getScore()->addBaseScore(Game_Typing_Train::Bonus);
        borderAlpha = 1.0;
    }
    return step;
}

void Game_Typing::drawTiles(QPainter *painter)
{
    const qreal cy = boundingRect().center().y();
    const int w0 = Picture::sizeOf(pictures.arrows[0]).width(),
              h0 = Picture::sizeOf(pictures.arrows[0]).height();
    for (const std::unique_ptr<Game_Typing_Arrow> &tile : train->getTiles())
        painter->drawImage(QRectF(tile->getX(), cy - h0 / 2, w0, h0),
                           pictures.arrows[tile->getDirection()]);
}

void Game_Typing::drawBorder(QPainter *painter)
{
    const qreal oldOpacity = painter->opacity();
    painter->setOpacity(borderAlpha);
    painter->drawImage(borderRect(), pictures.border);
    painter->setOpacity(oldOpacity);
    borderAlpha = qMax(borderAlpha - 0.05, 0.2);
}

void Game_Typing::stepClock()
{
    clock.tick(Clock::monotonicMs());
    getScore()->setScore(clock.wholeSeconds() * PointsPerSecond);
}

void Game_Typing::drawClock(QPainter *painter)
{
    const QPointF centre = boundingRect().center();
    const int wt = Picture::sizeOf(pictures.timer).width(),
              ht = Picture::sizeOf(pictures.timer).height();
    const QPointF at(centre.x() - wt / 2, centre.y() - ht / 2 - 240);
    Game_ClockPanel::draw(painter, pictures.timer, at, getFont(),
                          QRectF(at.x() + 60, at.y() + 20, wt, ht), Qt::AlignLeft, clock.text());
}

bool Game_Typing::isPlaying() const
{
    return train && !train->isFinished();
}

void Game_Typing::playKeyRelease(QKeyEvent *event)
{
    // The key of each direction, in the order of the tiles' directions.
    static const int keys[] = {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up};
    for (int direction = 0; direction < 4; ++direction) {
        if (event->key() == keys[direction])
            train->press(direction);
    }
}

// Play draws the track picture; the result screen is see-through.
QRectF Game_Typing::opaqueRect() const
{
    return train && !train->isFinished() && !pictures.background.isNull() ? boundingRect()
                                                                          : QRectF();
}
