#include "games/slot/Game_Slot_ReelDrawer.h"

#include "games/slot/Game_Slot_Reel.h"

#include <QPaintDevice>
#include <QPainter>

namespace
{
using Reel = Game_Slot_Reel;

// Calls visit(target, card) for every card of both copies that can show on the painter's device.
template <typename Visit>
void forEachShownCard(const QPainter *painter, const Reel &reel, Visit visit)
{
    // Cards outside the device cannot show; skipping them leaves the picture unchanged.
    const QPaintDevice *device = painter->device();
    QRectF visible(0, 0, device ? device->width() : 0, device ? device->height() : 0);
    bool invertible = false;
    const QTransform toItem = painter->combinedTransform().inverted(&invertible);
    visible = invertible ? toItem.mapRect(visible) : QRectF();
    const int x = reel.getX();
    if (visible.right() < x || visible.left() > x + Reel::CardWidth)
        return;
    for (int i = 0; i < Reel::StripLength; ++i) {
        for (const int top : {reel.getY1() + Reel::Pitch * i, reel.getY2() + Reel::Pitch * i}) {
            if (top > visible.bottom() || top + Reel::CardHeight < visible.top())
                continue;
            visit(QRect(x, top, Reel::CardWidth, Reel::CardHeight), reel.getStrip()[i]);
        }
    }
}
} // namespace

void Game_Slot_ReelDrawer::drawAndMove(QPainter *painter, Game_Slot_Reel &reel,
                                       const QSize &area) const
{
    reel.enter(area);
    draw(painter, reel);
    reel.move();
}

void Game_Slot_ReelDrawer::draw(QPainter *painter, const Game_Slot_Reel &reel) const
{
    forEachShownCard(painter, reel,
                     [this, painter](const QRect &target, const Game_Trump_Card &card) {
                         cards.drawCard(painter, target, card.suit, card.rank);
                     });
}

void Game_Slot_ReelDrawer::addHiddenParts(const QPainter *painter, const Game_Slot_Reel &reel,
                                          QVector<QRect> &hidden) const
{
    forEachShownCard(painter, reel,
                     [this, &hidden](const QRect &target, const Game_Trump_Card &card) {
                         const QRect solid = cards.solidPart(target, card.suit, card.rank);
                         if (!solid.isEmpty())
                             hidden.append(solid);
                     });
}
