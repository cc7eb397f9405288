#include "games/updown/Game_UpDown_Table.h"

#include "base/Clock.h"
#include "base/Game_Countdown.h"
#include "base/Random.h"

#include <utility>

int Game_UpDown_Table::randomIndex()
{
    // A whole shuffle runs within one millisecond, so the field mixed into every draw is the same.
    return Random::drawTimes(Clock::currentTime().msec(), DeckSize);
}

int Game_UpDown_Table::coin()
{
    return Random::draw() % 2;
}

void Game_UpDown_Table::newGame()
{
    for (int r = 0; r <= 12; ++r) {
        for (int s = 0; s < 4; ++s)
            deck[4 * r + s] = {s, r};
    }
    deck[JokerIndex] = {-1, -1};
    shuffle();
    chooseDirection = true;
    finished = false;
    failed = false;
    current = 0;
    rest = 52;
    for (int i = 0; i < Places; ++i)
        places[i] = i + 1;
    nextDeal = 6;
}

void Game_UpDown_Table::shuffle()
{
    for (int n = 0; n < 1000; ++n) {
        const int i = randomIndex();
        const int j = randomIndex();
        std::swap(deck[i], deck[j]);
    }
    if (isJoker(deck[0]))
        std::swap(deck[0], deck[randomIndex()]);
}

void Game_UpDown_Table::step(Game_Countdown &clock, qint64 now)
{
    clock.advance(now);
    if (clock.isOver())
        failed = true;
    clock.setLastTick(now);
    if (chooseDirection)
        chooseDirectionNow();
}

void Game_UpDown_Table::chooseDirectionNow()
{
    chooseDirection = false;
    const Game_Trump_Card cur = deck[current];
    if (cur.rank == 12) {
        direction = Down;
        return;
    }
    if (cur.rank == 0) {
        direction = Up;
        return;
    }
    bool jokerShown = isJoker(cur);
    int higher = 0, lower = 0;
    for (int i = 0; i < Places; ++i) {
        if (places[i] < 0)
            continue;
        const Game_Trump_Card &c = deck[places[i]];
        if (isJoker(c))
            jokerShown = true;
        else if (c.rank > cur.rank)
            ++higher;
        else if (c.rank < cur.rank)
            ++lower;
    }
    if (jokerShown)
        direction = coin();
    else if (lower == 0)
        direction = Up;
    else if (higher == 0)
        direction = Down;
    else
        direction = coin();
}

Game_UpDown_Table::Play Game_UpDown_Table::play(int place)
{
    if (place < 0 || place >= Places || places[place] < 0)
        return Play::Ignored;
    const Game_Trump_Card cur = deck[current];
    const Game_Trump_Card picked = deck[places[place]];
    const bool good = isJoker(cur) || isJoker(picked) ||
                      (direction == Up && picked.rank > cur.rank) ||
                      (direction == Down && picked.rank < cur.rank);
    if (!good) {
        failed = true;
        return Play::Bad;
    }
    current = places[place];
    if (nextDeal <= JokerIndex)
        places[place] = nextDeal++;
    else
        places[place] = -1;
    if (--rest == 0)
        finished = true;
    chooseDirection = true;
    return Play::Good;
}
