#include "games/speed/Game_Speed.h"

#include "base/Clock.h"
#include "base/Game_GlyphCache.h"
#include "base/Picture.h"
#include "base/Random.h"
#include "games/frame/Game_ClockPanel.h"
#include "games/frame/Game_KeyBadge.h"
#include "games/frame/Game_Score.h"

#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPainter>

Game_Speed::Game_Speed() : Game_Base(QStringLiteral("Speed")) {}

void Game_Speed::releaseResources()
{
    // The clock and the table hold no memory of their own: initGame() sets them afresh.
    pictures = Pictures();
    cards.reset();
}

void Game_Speed::createResources()
{
    // The sheet seeds the generator as it is made.
    cards = std::make_unique<Game_Trump>();
}

void Game_Speed::loadPictures()
{
    const QString folder = QStringLiteral("/img/speed/");
    pictures.loadPanel(folder);
    Game_PanelPictures::load(pictures.rest, folder, QStringLiteral("REST"));
    setWidth(Picture::sizeOf(pictures.background).width());
    setHeight(Picture::sizeOf(pictures.background).height());
}

void Game_Speed::initGame()
{
    Random::seed(Game_Trump::timeSeed(Clock::currentTime()));
    loadPictures();

    getScore()->setScore(0);
    setQuestionShown(false);
    setFocus();

    clock.start(Clock::monotonicMs());
    startFrameTimer();

    table.deal(*cards);
    playEffect(AudioSet::Effect::CardsDealt);
    lastSeconds.reset();
    update();
}

QRectF Game_Speed::timerPictureRect() const
{
    const QSize size = Picture::sizeOf(pictures.timer);
    const qreal tw = size.width(), th = size.height();
    return QRectF(getWidth() / 2.0 - tw / 2, getHeight() / 2.0 - th / 2 - 240, tw, th);
}

QRectF Game_Speed::restPictureRect() const
{
    const QSize size = Picture::sizeOf(pictures.rest);
    const qreal rw = size.width(), rh = size.height();
    return QRectF(getWidth() / 2.0 - rw / 2, getHeight() / 2.0 - rh / 2 + 240, rw, rh);
}

void Game_Speed::drawCard(QPainter *painter, const QRectF &rect, int suit, int rank)
{
    if (rank == Game_Speed_Table::Joker)
        cards->drawJoker(painter, rect);
    else
        cards->drawCard(painter, rect, suit, rank);
}

// A play frame: the clock runs, the table is drawn, and a stalled table may be dealt anew.
void Game_Speed::paintGame(QPainter *painter)
{
    if (!cards)
        return;
    if (clock.isGameOver()) {
        drawResult(painter);
        return;
    }
    const bool clockShown = clock.step(Clock::monotonicMs());
    Picture::drawAtDeviceSize(painter, QPointF(0, 0), pictures.background);
    drawCards(painter);
    drawScorePanel(painter, pictures.score);
    drawClock(painter, clockShown);
    drawCount(painter);
    if (clockShown && lastSeconds.pass(clock.getCountdown().getRemaining()))
        playEffect(AudioSet::Effect::LastSeconds);
    if (table.stallCheck())
        playEffect(AudioSet::Effect::CardsDealt);
}

void Game_Speed::drawResult(QPainter *painter)
{
    painter->fillRect(boundingRect(), Qt::black);
    Game_Base::drawResult(painter, pictures.score, Game_Base::tr("終了！"));
}

void Game_Speed::drawCards(QPainter *painter)
{
    for (int p = Game_Speed_Table::PileA; p <= Game_Speed_Table::PileB; ++p) {
        const Game_Trump_Card c = table.pile(p);
        drawCard(painter, Game_Speed_Table::pileRect(p), c.suit, c.rank);
    }
    for (int i = 0; i < Game_Speed_Table::TableCards; ++i) {
        const Game_Trump_Card c = table.tableCard(i);
        const QRectF place = Game_Speed_Table::tableRect(i);
        drawCard(painter, place, c.suit, c.rank);
        Game_KeyBadge::draw(painter, place.topRight() + QPointF(-18, 18), Game_KeyBadge::label(i),
                            getFont());
    }
}

// The text is red after a miss, fading back to black; the time is not drawn once it ran out.
void Game_Speed::drawClock(QPainter *painter, bool withText)
{
    const QRectF pic = timerPictureRect();
    if (!withText) {
        Game_ClockPanel::drawPicture(painter, pictures.timer, pic.topLeft(), getFont());
        return;
    }
    const QPen before = painter->pen();
    painter->setPen(QColor(clock.getMissFlash(), 0, 0));
    Game_ClockPanel::draw(painter, pictures.timer, pic.topLeft(), getFont(),
                          QRectF(pic.x() + 60, pic.y() + 20, pic.width(), pic.height()),
                          Qt::AlignLeft, clock.getCountdown().text());
    painter->setPen(before);
}

void Game_Speed::drawCount(QPainter *painter)
{
    const QRectF count = restPictureRect();
    painter->drawImage(count, pictures.rest);
    const QFont before = painter->font();
    QFont countFont = before;
    countFont.setPointSize(46);
    painter->setFont(countFont);
    Game_GlyphCache::drawText(
        painter, QRectF(count.x(), count.y() + 25, count.width() - 120, count.height()),
        Qt::AlignRight, QString::number(table.getPlayed()));
    painter->setFont(before);
}

void Game_Speed::playMouseRelease(QGraphicsSceneMouseEvent *event)
{
    playAt(event->scenePos());
}

void Game_Speed::playKeyRelease(QKeyEvent *event)
{
    const int card = Game_KeyBadge::choiceOfKey(event->key());
    if (card >= 0 && card < Game_Speed_Table::TableCards)
        playAt(Game_Speed_Table::tableRect(card).center());
}

void Game_Speed::playAt(const QPointF &pos)
{
    const Game_Speed_Table::Click c = table.click(pos);
    if (c.scored) {
        playEffect(AudioSet::Effect::CardPlayed);
        getScore()->setScore(getScore()->getScore() + 200);
    }
    if (c.penalty) {
        playEffect(AudioSet::Effect::WrongCard);
        clock.miss();
    }
}

// Play draws the table picture and the result fills black.
QRectF Game_Speed::opaqueRect() const
{
    return cards && (clock.isGameOver() || !pictures.background.isNull()) ? boundingRect()
                                                                          : QRectF();
}
