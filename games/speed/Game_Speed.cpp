#include "games/speed/Game_Speed.h"
#include "base/Game_GlyphCache.h"

#include "base/Clock.h"
#include "base/Random.h"
#include "base/Game_Countdown.h"
#include "games/cards/Game_Trump.h"
#include "games/frame/Game_Score.h"
#include "base/Picture.h"
#include "games/speed/Game_Speed_Table.h"

#include <QDebug>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

Game_Speed::Game_Speed()
{
    setName(QStringLiteral("Speed"));
    setPos(-2, -2);
}

Game_Speed::~Game_Speed()
{
    releaseResources();
}

void Game_Speed::releaseResources()
{
    delete background;
    background = nullptr;
    delete scorePicture;
    scorePicture = nullptr;
    delete timerPicture;
    timerPicture = nullptr;
    delete restPicture;
    restPicture = nullptr;
    delete clock;
    clock = nullptr;
    delete cards;
    cards = nullptr;
    delete table;
    table = nullptr;
}

void Game_Speed::createResources()
{
    background = new QImage();
    scorePicture = new QImage();
    timerPicture = new QImage();
    restPicture = new QImage();
    clock = new Game_Countdown();
    cards = new Game_Trump();
    table = new Game_Speed_Table();
}

void Game_Speed::initGame()
{
    Random::seed(Game_Trump::timeSeed(Clock::currentTime()));

    Picture::load(*background, QStringLiteral(":/img/speed/BG"), QStringLiteral(":/img/speed/BG"));
    Picture::load(*scorePicture, QStringLiteral(":/img/speed/SCORE"),
                  QStringLiteral("imgReadError: /img/speed/SCORE"));
    Picture::load(*timerPicture, QStringLiteral(":/img/speed/TIMER"),
                  QStringLiteral("imgReadError: /img/speed/TIMER"));
    Picture::load(*restPicture, QStringLiteral(":/img/speed/REST"),
                  QStringLiteral("imgReadError: /img/speed/REST"));
    setWidth(Picture::sizeOf(*background).width());
    setHeight(Picture::sizeOf(*background).height());

    getScore()->setScore(0);
    setQuestionShown(false);
    setAcceptHoverEvents(true);
    setFocus();

    clock->start(QTime(0, 1, 0, 0), Clock::monotonicMs());
    missFlash = 0;
    gameOver = false;
    startFrameTimer();

    table->deal(*cards);
    update();
}

QRectF Game_Speed::timerPictureRect() const
{
    const qreal tw = timerPicture ? Picture::sizeOf(*timerPicture).width() : 0;
    const qreal th = timerPicture ? Picture::sizeOf(*timerPicture).height() : 0;
    return QRectF(getWidth() / 2.0 - tw / 2, getHeight() / 2.0 - th / 2 - 240, tw, th);
}

QRectF Game_Speed::restPictureRect() const
{
    const qreal rw = restPicture ? Picture::sizeOf(*restPicture).width() : 0;
    const qreal rh = restPicture ? Picture::sizeOf(*restPicture).height() : 0;
    return QRectF(getWidth() / 2.0 - rw / 2, getHeight() / 2.0 - rh / 2 + 240, rw, rh);
}

void Game_Speed::drawCard(QPainter *painter, const QRectF &rect, int suit, int rank)
{
    if (rank == Game_Speed_Table::Joker)
        cards->drawJoker(painter, rect);
    else
        cards->drawCard(painter, rect, suit, rank);
}

void Game_Speed::paintGame(QPainter *painter)
{
    if (!table)
        return;
    if (gameOver) {
        painter->fillRect(boundingRect(), Qt::black);
        drawScorePanel(painter, *scorePicture);
        drawDialog(painter, tr("終了！"), tr("もう一度"), tr("メニューに戻る"));
        return;
    }
    drawPlayField(painter);
}

void Game_Speed::drawPlayField(QPainter *painter)
{
    Picture::drawAtDeviceSize(painter, QPointF(0, 0), *background);

    for (int p = Game_Speed_Table::PileA; p <= Game_Speed_Table::PileB; ++p) {
        const Game_Trump_Card c = table->pile(p);
        drawCard(painter, Game_Speed_Table::pileRect(p), c.suit, c.rank);
    }
    for (int i = 0; i < Game_Speed_Table::TableCards; ++i) {
        const Game_Trump_Card c = table->tableCard(i);
        drawCard(painter, Game_Speed_Table::tableRect(i), c.suit, c.rank);
    }

    drawScorePanel(painter, *scorePicture);

    painter->drawImage(timerPictureRect().topLeft(), *timerPicture);
    QFont big = getFont();
    big.setPointSize(50);
    painter->setFont(big);
    drawClock(painter);

    const QRectF count = restPictureRect();
    painter->drawImage(count, *restPicture);
    const QFont before = painter->font();
    QFont countFont = before;
    countFont.setPointSize(46);
    painter->setFont(countFont);
    Game_GlyphCache::drawText(
        painter, QRectF(count.x(), count.y() + 25, count.width() - 120, count.height()),
        Qt::AlignRight, QString::number(table->getPlayed()));
    painter->setFont(before);

    table->stallCheck();
}

void Game_Speed::drawClock(QPainter *painter)
{
    const qint64 now = Clock::monotonicMs();
    clock->advance(now);
    // Below zero the time of day wraps to 23:59, far above the one-minute allowance.
    if (clock->getRemaining().minute() > 40) {
        gameOver = true;
        return;
    }
    clock->setLastTick(now);
    if (missFlash > 0)
        --missFlash;
    const QRectF pic = timerPictureRect();
    const QPen before = painter->pen();
    painter->setPen(QColor(missFlash, 0, 0));
    Game_GlyphCache::drawText(painter,
                              QRectF(pic.x() + 60, pic.y() + 20, pic.width(), pic.height()),
                              Qt::AlignLeft, clock->text());
    painter->setPen(before);
}

void Game_Speed::playMouseRelease(QGraphicsSceneMouseEvent *event)
{
    const Game_Speed_Table::Click c = table->click(event->scenePos());
    if (c.scored)
        getScore()->setScore(getScore()->getScore() + 200);
    if (c.penalty) {
        clock->subtract(MissPenaltyMs);
        missFlash = 255;
    }
}

// Play draws the table picture and the result fills black.
QRectF Game_Speed::opaqueRect() const
{
    return table && (gameOver || !background->isNull()) ? boundingRect() : QRectF();
}
