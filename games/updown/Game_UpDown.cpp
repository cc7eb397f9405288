#include "games/updown/Game_UpDown.h"

#include "base/Clock.h"
#include "base/Random.h"
#include "base/Game_Countdown.h"
#include "games/cards/Game_Trump.h"
#include "base/Game_GlyphCache.h"
#include "games/frame/Game_Score.h"
#include "base/Picture.h"
#include "games/updown/Game_UpDown_Table.h"

#include <QDebug>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

Game_UpDown::Game_UpDown()
{
    setName(QStringLiteral("UpDown"));
    setPos(-2, -2);
}

Game_UpDown::~Game_UpDown()
{
    releaseResources();
}

void Game_UpDown::releaseResources()
{
    delete background;
    background = nullptr;
    delete scorePicture;
    scorePicture = nullptr;
    delete timerPicture;
    timerPicture = nullptr;
    delete restPicture;
    restPicture = nullptr;
    delete[] arrows;
    arrows = nullptr;
    delete clock;
    clock = nullptr;
    delete cards;
    cards = nullptr;
    delete table;
    table = nullptr;
}

void Game_UpDown::createResources()
{
    background = new QImage();
    scorePicture = new QImage();
    timerPicture = new QImage();
    restPicture = new QImage();
    arrows = new QImage[2];
    clock = new Game_Countdown();
    clock->start(QTime(0, 1, 0, 0), 0);
    cards = new Game_Trump();
    table = new Game_UpDown_Table();
}

void Game_UpDown::initGame()
{
    const QTime now = Clock::currentTime();
    Random::seed(unsigned(now.hour() + now.minute() + now.second() + now.msec()));

    Picture::load(*background, QStringLiteral(":/img/updown/BG"),
                  QStringLiteral(":/img/updown/BG"));
    Picture::load(*scorePicture, QStringLiteral(":/img/updown/SCORE"),
                  QStringLiteral("imgReadError: /img/updown/SCORE"));
    Picture::load(*timerPicture, QStringLiteral(":/img/updown/TIMER"),
                  QStringLiteral("imgReadError: /img/updown/TIMER"));
    Picture::load(*restPicture, QStringLiteral(":/img/updown/REST"),
                  QStringLiteral("imgReadError: /img/updown/REST"));
    Picture::load(arrows[0], QStringLiteral(":/img/updown/UP"),
                  QStringLiteral("imgReadError: /img/updown/UP"));
    Picture::load(arrows[1], QStringLiteral(":/img/updown/DOWN"),
                  QStringLiteral("imgReadError: /img/updown/DOWN"));
    setWidth(Picture::sizeOf(*background).width());
    setHeight(Picture::sizeOf(*background).height());

    table->newGame();
    clock->start(QTime(0, 1, 0, 0), 0);

    getScore()->setScore(0);
    setQuestionShown(false);
    setAcceptHoverEvents(true);
    setFocus();

    clock->setLastTick(Clock::monotonicMs());
    startFrameTimer();
    update();
}

bool Game_UpDown::isOver() const
{
    return table && (table->isFinished() || table->isFailed());
}

QRectF Game_UpDown::currentCardRect() const
{
    return QRectF(getWidth() / 2.0 - 56.5, getHeight() / 2.0 - 235, 113, 170);
}

QRectF Game_UpDown::placeRect(int place) const
{
    return QRectF(getWidth() / 2.0 - 56.5 + 150 * (place - 2), getHeight() / 2.0 + 15, 113, 170);
}

QRectF Game_UpDown::arrowRect() const
{
    const QSizeF size = arrows ? QSizeF(Picture::sizeOf(arrows[0])) : QSizeF();
    QRectF r(QPointF(0, 0), size);
    r.moveCenter(currentCardRect().center());
    return r;
}

void Game_UpDown::drawCard(QPainter *painter, const QRectF &rect, int deckIndex)
{
    const Game_Trump_Card card = table->deckAt(deckIndex);
    if (Game_UpDown_Table::isJoker(card))
        cards->drawJoker(painter, rect);
    else
        cards->drawCard(painter, rect, card.suit, card.rank);
}

void Game_UpDown::paintGame(QPainter *painter)
{
    if (!table)
        return;
    if (table->isFinished() || table->isFailed()) {
        painter->fillRect(boundingRect(), Qt::black);
        drawScorePanel(painter, *scorePicture);
        drawDialog(painter, table->isFinished() ? tr("終了！") : tr("残念！"), tr("もう一度"),
                   tr("メニューに戻る"));
        return;
    }
    drawPlayField(painter);
}

void Game_UpDown::drawPlayField(QPainter *painter)
{
    Picture::drawAtDeviceSize(painter, QPointF(0, 0), *background);
    drawScorePanel(painter, *scorePicture);

    // The clock.
    painter->drawImage(0, 130, *timerPicture);
    QFont big = getFont();
    big.setPointSize(50);
    painter->setFont(big);
    const qint64 now = Clock::monotonicMs();
    clock->advance(now);
    // Below zero the time of day wraps to 23:59, whose minute field is far above the allowance.
    if (clock->getRemaining().minute() >= 2)
        table->setFailed();
    Game_GlyphCache::drawText(painter,
                              QRectF(60, 150, Picture::sizeOf(*timerPicture).width(),
                                     Picture::sizeOf(*timerPicture).height()),
                              Qt::AlignLeft, clock->text());
    clock->setLastTick(now);

    // The count of plays left.
    painter->drawImage(160, 30, *restPicture);
    painter->drawText(QRectF(220, 50, Picture::sizeOf(*restPicture).width(),
                             Picture::sizeOf(*restPicture).height()),
                      Qt::AlignLeft, QString::number(table->getRest()));

    drawCard(painter, currentCardRect(), table->getCurrent());
    for (int i = 0; i < Game_UpDown_Table::Places; ++i) {
        if (table->slotAt(i) >= 0)
            drawCard(painter, placeRect(i), table->slotAt(i));
    }

    if (table->isDirectionPending())
        table->chooseDirectionNow();
    painter->drawImage(arrowRect(), arrows[table->getDirection()]);
}

void Game_UpDown::playMouseRelease(QGraphicsSceneMouseEvent *event)
{
    const QPointF p = event->scenePos();
    for (int i = 0; i < Game_UpDown_Table::Places; ++i) {
        if (placeRect(i).contains(p)) {
            if (table->play(i) == Game_UpDown_Table::Play::Good)
                getScore()->setScore(getScore()->getScore() + 200);
            break;
        }
    }
}

// Play draws the table picture and the results fill black.
QRectF Game_UpDown::opaqueRect() const
{
    return table && (table->isFinished() || table->isFailed() || !background->isNull())
               ? boundingRect()
               : QRectF();
}
