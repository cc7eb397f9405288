#pragma once
// Paints the reels of the slot machine from one card sheet: the cards of both strip copies that
// can show on the device, and what those cards hide of the cabinet behind them.
#include "games/cards/Game_Trump.h"

#include <QRect>
#include <QSize>
#include <QVector>

class Game_Slot_Reel;
class QPainter;

class Game_Slot_ReelDrawer
{
public:
    // Loads the card sheet (which seeds the generator, as every card sheet does).
    Game_Slot_ReelDrawer() = default;

    // One painted frame of a reel on a play area of the given size: it enters, is drawn, then
    // moves.
    void drawAndMove(QPainter *painter, Game_Slot_Reel &reel, const QSize &area) const;
    void draw(QPainter *painter, const Game_Slot_Reel &reel) const;
    // Adds what the reel's cards will hide completely when drawn (item coordinates).
    void addHiddenParts(const QPainter *painter, const Game_Slot_Reel &reel,
                        QVector<QRect> &hidden) const;

private:
    Game_Trump cards;
};
