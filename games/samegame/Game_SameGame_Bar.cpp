#include "games/samegame/Game_SameGame_Bar.h"

#include "base/Picture.h"
#include "games/samegame/Game_SameGame_BarLevel.h"

#include <QPainter>

Game_SameGame_Bar::Game_SameGame_Bar(int x, int y, QGraphicsItem *parent,
                                     Game_SameGame_BarLevel &level)
    : Item_Base(x, y, parent), gauge(level)
{
    setFlag(ItemIsMovable, false);
    Picture::load(barBase, QStringLiteral(":/img/samegame/BAR_BASE"),
                  QStringLiteral("readError: :/img/samegame/BAR_BASE"));
    setWidth(Picture::sizeOf(barBase).width());
    setHeight(Picture::sizeOf(barBase).height());
    Picture::load(barPicture, QStringLiteral(":/img/samegame/BAR"),
                  QStringLiteral("readError: :/img/samegame/BAR"));
    gauge.setCapacity(Picture::sizeOf(barPicture).height());
    barTimer.start(TickMs);
    connect(&barTimer, &QTimer::timeout, this, &Game_SameGame_Bar::slot_barTimeOut);
}

Game_SameGame_Bar::~Game_SameGame_Bar() = default;

void Game_SameGame_Bar::slot_barTimeOut()
{
    if (gauge.tick()) {
        emit gameOver();
        barTimer.stop();
    } else {
        emit ticked();
    }
    update();
}

void Game_SameGame_Bar::resetLevel()
{
    gauge.resetLevel();
}

void Game_SameGame_Bar::pause()
{
    barTimer.blockSignals(true);
    barTimer.stop();
}

void Game_SameGame_Bar::resume()
{
    barTimer.blockSignals(false);
    barTimer.start(TickMs);
}

bool Game_SameGame_Bar::isRunning() const
{
    return barTimer.isActive() && !barTimer.signalsBlocked();
}

double Game_SameGame_Bar::getLevel() const
{
    return gauge.getLevel();
}

double Game_SameGame_Bar::getStep() const
{
    return gauge.getStep();
}

QRectF Game_SameGame_Bar::getFillRect() const
{
    // The level keeps the drawn height: it follows at ticks, penalties and resets only.
    return QRectF(0, 0, Picture::sizeOf(barPicture).width(), gauge.getDrawnHeight());
}

void Game_SameGame_Bar::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->drawImage(boundingRect(), barBase);
    const QRectF fillRect = getFillRect();
    const QRect fill = fillRect.toRect() & QRect(QPoint(), Picture::sizeOf(barPicture));
    if (!fill.isEmpty())
        Picture::drawPart(painter, QRectF(21, 4, fillRect.width(), fillRect.height()), barPicture,
                          fill);
}
