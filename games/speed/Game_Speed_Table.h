#pragma once
// The rules of Speed without any painting: two piles, ten face-up table cards drawn at random,
// the neighbour rule with wrap-around, wild jokers, the click test and the stall re-deal.
#include "games/cards/Game_Trump_Card.h"

#include <QPointF>
#include <QRectF>

class Game_Trump;

class Game_Speed_Table
{
public:
    static constexpr int TableCards = 10;
    static constexpr int Joker = 13;
    // The piles, numbered as pile() and setPile() take them.
    enum Pile : int { PileA, PileB };

    // What one click did: a scored play (the card was replaced), and whether the miss penalty
    // applies.
    struct Click {
        bool scored = false;
        bool penalty = false;
    };

    // Piles from the sheet's random suit and rank; table cards may be jokers (rank 13).
    void deal(const Game_Trump &cards);

    // d goes on a pile showing rank r when d is next to, equal to or previous to r; ranks wrap
    // from the highest to the lowest.
    static bool fits(int d, int r);
    static int nextRank(int r) { return r == 12 ? 0 : r + 1; }
    static int previousRank(int r) { return r == 0 ? 12 : r - 1; }

    // Lays table card i onto the pile it goes to; returns that pile, or -1 when it fits neither.
    int lay(int i);
    // Draws a new card for place i and counts the play.
    void replace(int i);

    // Tests the ten rectangles in order against the position; a scored play ends the test.
    Click click(const QPointF &pos);

    // No joker anywhere and no table card fits either pile.
    bool isStalled() const;
    // At the end of a play frame: a stalled table has both piles dealt anew with chance 1 in 50.
    // Returns whether it re-dealt.
    bool stallCheck();

    static QRectF pileRect(int pile);
    static QRectF tableRect(int i);

    Game_Trump_Card pile(int p) const { return p == PileA ? pileA : pileB; }
    void setPile(int p, const Game_Trump_Card &c) { (p == PileA ? pileA : pileB) = c; }
    Game_Trump_Card tableCard(int i) const { return table[i]; }
    void setTableCard(int i, const Game_Trump_Card &c) { table[i] = c; }
    int getPlayed() const { return played; }
    void setPlayed(int n) { played = n; }

private:
    static Game_Trump_Card randomCard();

    Game_Trump_Card pileA;
    Game_Trump_Card pileB;
    Game_Trump_Card table[TableCards];
    int played = 0;
};
