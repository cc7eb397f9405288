#include "games/speed/Game_Speed_Table.h"

#include "base/Random.h"
#include "games/cards/Game_Trump.h"

namespace
{
const QRectF TableRects[Game_Speed_Table::TableCards] = {
    {140, 20, 113, 170},  {250, 190, 113, 170}, {100, 210, 113, 170}, {130, 400, 113, 170},
    {280, 380, 113, 170}, {790, 20, 113, 170},  {660, 135, 113, 170}, {860, 200, 113, 170},
    {730, 340, 113, 170}, {888, 385, 113, 170},
};
} // namespace

QRectF Game_Speed_Table::pileRect(int pile)
{
    return pile == PileA ? QRectF(459, 97, 115, 171) : QRectF(459, 291, 115, 171);
}

QRectF Game_Speed_Table::tableRect(int i)
{
    return TableRects[i];
}

Game_Trump_Card Game_Speed_Table::randomCard()
{
    // Suit first, then rank: the order of the draws decides the cards.
    Game_Trump_Card c;
    c.suit = Random::draw() % 4;
    c.rank = Random::draw() % 14;
    return c;
}

void Game_Speed_Table::deal(const Game_Trump &cards)
{
    pileA.suit = cards.randomSuit();
    pileA.rank = cards.randomRank();
    pileB.suit = cards.randomSuit();
    pileB.rank = cards.randomRank();
    for (int i = 0; i < TableCards; ++i) {
        table[i].suit = cards.randomSuit();
        table[i].rank = Random::draw() % 14;
    }
    played = 0;
}

bool Game_Speed_Table::fits(int d, int r)
{
    return d == r || d == nextRank(r) || d == previousRank(r);
}

int Game_Speed_Table::lay(int i)
{
    const Game_Trump_Card card = table[i];
    if (card.rank == Joker) {
        Game_Trump_Card &target = (Random::draw() % 2 == 1) ? pileB : pileA;
        target.rank = Joker;
        return &target == &pileA ? PileA : PileB;
    }
    int onto = -1;
    if (pileA.rank == Joker)
        onto = PileA;
    else if (pileB.rank == Joker)
        onto = PileB;
    else if (fits(card.rank, pileA.rank))
        onto = PileA;
    else if (fits(card.rank, pileB.rank))
        onto = PileB;
    if (onto >= 0)
        setPile(onto, card);
    return onto;
}

void Game_Speed_Table::replace(int i)
{
    table[i] = randomCard();
    ++played;
}

Game_Speed_Table::Click Game_Speed_Table::click(const QPointF &pos)
{
    Click result;
    bool missed = false;
    for (int i = 0; i < TableCards; ++i) {
        if (!tableRect(i).contains(pos))
            continue;
        if (lay(i) < 0) {
            missed = true;
            continue;
        }
        // A card laid after a miss on the shared edge of two rectangles stays laid but is
        // neither scored nor replaced.
        if (!missed) {
            replace(i);
            result.scored = true;
        }
        break;
    }
    result.penalty = missed && !result.scored;
    return result;
}

bool Game_Speed_Table::isStalled() const
{
    if (pileA.rank == Joker || pileB.rank == Joker)
        return false;
    for (const Game_Trump_Card &c : table) {
        if (c.rank == Joker || fits(c.rank, pileA.rank) || fits(c.rank, pileB.rank))
            return false;
    }
    return true;
}

bool Game_Speed_Table::stallCheck()
{
    if (!isStalled() || Random::draw() % 50 != 0)
        return false;
    pileA = randomCard();
    pileB = randomCard();
    return true;
}
