#include "games/updown/Game_UpDown.h"

#include "base/Clock.h"
#include "base/Picture.h"
#include "base/Random.h"
#include "games/frame/Game_ClockPanel.h"
#include "games/frame/Game_KeyBadge.h"
#include "games/frame/Game_Score.h"

#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPainter>

Game_UpDown::Game_UpDown() : Game_Base(QStringLiteral("UpDown")) {}

void Game_UpDown::releaseResources()
{
    // The deck and the clock are plain values, dealt and wound up again by initGame().
    pictures = Pictures();
    cards.reset();
}

void Game_UpDown::createResources()
{
    clock.start(QTime(0, 1, 0, 0), 0);
    // The sheet seeds the generator as it is made.
    cards = std::make_unique<Game_Trump>();
}

void Game_UpDown::loadPictures()
{
    const QString folder = QStringLiteral("/img/updown/");
    pictures.loadPanel(folder);
    Game_PanelPictures::load(pictures.rest, folder, QStringLiteral("REST"));
    Game_PanelPictures::load(pictures.arrows[Game_UpDown_Table::Up], folder, QStringLiteral("UP"));
    Game_PanelPictures::load(pictures.arrows[Game_UpDown_Table::Down], folder,
                             QStringLiteral("DOWN"));
    setWidth(Picture::sizeOf(pictures.background).width());
    setHeight(Picture::sizeOf(pictures.background).height());
}

void Game_UpDown::initGame()
{
    const QTime now = Clock::currentTime();
    Random::seed(unsigned(now.hour() + now.minute() + now.second() + now.msec()));
    loadPictures();

    table.newGame();
    playEffect(AudioSet::Effect::CardsDealt);
    clock.start(QTime(0, 1, 0, 0), 0);
    lastSeconds.reset();

    getScore()->setScore(0);
    setQuestionShown(false);
    setFocus();

    clock.setLastTick(Clock::monotonicMs());
    startFrameTimer();
    update();
}

bool Game_UpDown::isOver() const
{
    return cards && (table.isFinished() || table.isFailed());
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
    QRectF r(QPointF(0, 0), QSizeF(Picture::sizeOf(pictures.arrows[0])));
    r.moveCenter(currentCardRect().center());
    return r;
}

void Game_UpDown::drawCard(QPainter *painter, const QRectF &rect, int deckIndex)
{
    const Game_Trump_Card card = table.deckAt(deckIndex);
    if (Game_UpDown_Table::isJoker(card))
        cards->drawJoker(painter, rect);
    else
        cards->drawCard(painter, rect, card.suit, card.rank);
}

// A play frame: the clock runs and the direction is chosen, then the table is drawn.
void Game_UpDown::paintGame(QPainter *painter)
{
    if (!cards)
        return;
    if (isOver()) {
        drawResult(painter);
        return;
    }
    table.step(clock, Clock::monotonicMs());
    if (lastSeconds.pass(clock.getRemaining()))
        playEffect(AudioSet::Effect::LastSeconds);
    drawPlayField(painter);
}

void Game_UpDown::drawResult(QPainter *painter)
{
    painter->fillRect(boundingRect(), Qt::black);
    Game_Base::drawResult(painter, pictures.score,
                          table.isFinished() ? Game_Base::tr("終了！") : Game_Base::tr("残念！"));
}

void Game_UpDown::drawPlayField(QPainter *painter)
{
    Picture::drawAtDeviceSize(painter, QPointF(0, 0), pictures.background);
    drawScorePanel(painter, pictures.score);

    const QSize timer = Picture::sizeOf(pictures.timer);
    Game_ClockPanel::draw(painter, pictures.timer, QPointF(0, 130), getFont(),
                          QRectF(60, 150, timer.width(), timer.height()), Qt::AlignLeft,
                          clock.text());

    // The count of plays left.
    painter->drawImage(160, 30, pictures.rest);
    const QSize rest = Picture::sizeOf(pictures.rest);
    painter->drawText(QRectF(220, 50, rest.width(), rest.height()), Qt::AlignLeft,
                      QString::number(table.getRest()));

    drawCard(painter, currentCardRect(), table.getCurrent());
    for (int i = 0; i < Game_UpDown_Table::Places; ++i) {
        if (table.slotAt(i) >= 0)
            drawCard(painter, placeRect(i), table.slotAt(i));
        const QRectF place = placeRect(i);
        Game_KeyBadge::draw(painter, QPointF(place.center().x(), place.bottom() + 18),
                            Game_KeyBadge::label(i), getFont());
    }
    painter->drawImage(arrowRect(), pictures.arrows[table.getDirection()]);
}

void Game_UpDown::playMouseRelease(QGraphicsSceneMouseEvent *event)
{
    const QPointF p = event->scenePos();
    for (int i = 0; i < Game_UpDown_Table::Places; ++i) {
        if (placeRect(i).contains(p)) {
            playPlace(i);
            break;
        }
    }
}

void Game_UpDown::playKeyRelease(QKeyEvent *event)
{
    const int place = Game_KeyBadge::choiceOfKey(event->key());
    if (place >= 0 && place < Game_UpDown_Table::Places)
        playPlace(place);
}

void Game_UpDown::playPlace(int place)
{
    const Game_UpDown_Table::Play play = table.play(place);
    if (play == Game_UpDown_Table::Play::Good) {
        playEffect(AudioSet::Effect::CardPlayed);
        getScore()->setScore(getScore()->getScore() + 200);
    } else if (play == Game_UpDown_Table::Play::Bad) {
        playEffect(AudioSet::Effect::WrongCard);
    }
}

// Play draws the table picture and the results fill black.
QRectF Game_UpDown::opaqueRect() const
{
    return cards && (isOver() || !pictures.background.isNull()) ? boundingRect() : QRectF();
}
