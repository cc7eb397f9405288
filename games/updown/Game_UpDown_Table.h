#pragma once
// The rules of UpDown without any painting: the shuffled 53-card deck, the current card, the
// five face-up places, the required direction and the end states.
#include "games/cards/Game_Trump_Card.h"

#include <QtGlobal>

class Game_Countdown;

class Game_UpDown_Table
{
public:
    static constexpr int DeckSize = 53;
    static constexpr int Places = 5;
    static constexpr int JokerIndex = 52;
    // The arrow's directions, numbered as the coin falls.
    enum Direction : int { Up, Down };

    enum class Play { Ignored, Good, Bad };

    // Builds the ordered deck with the joker last, shuffles it and lays out the current card and
    // the five places.
    void newGame();
    // 1000 random swaps; a joker left on top is swapped away once more.
    void shuffle();

    // One play frame, before it is drawn: the clock loses the time since the last frame and
    // fails the play once it has run out (the cards are still shown on that frame), and a new
    // current card gets its direction.
    void step(Game_Countdown &clock, qint64 now);

    // The direction is chosen once per new current card, by the frame step.
    bool isDirectionPending() const { return chooseDirection; }
    void chooseDirectionNow();

    // A click on place i: good plays move the card up and refill the place from the deck.
    Play play(int place);

    static bool isJoker(const Game_Trump_Card &card) { return card.rank < 0; }

    const Game_Trump_Card &deckAt(int index) const { return deck[index]; }
    void setDeckCard(int index, const Game_Trump_Card &card) { deck[index] = card; }
    Game_Trump_Card currentCard() const { return deck[current]; }
    int getCurrent() const { return current; }
    // Deck index shown at place i, -1 when the place is empty.
    int slotAt(int place) const { return places[place]; }
    int getRest() const { return rest; }
    int getNextDeal() const { return nextDeal; }
    int getDirection() const { return direction; }
    void setDirection(int d)
    {
        direction = d;
        chooseDirection = false;
    }
    bool isFinished() const { return finished; }
    bool isFailed() const { return failed; }
    void setFailed() { failed = true; }

private:
    static int randomIndex();
    // rand() mod 2: 0 UP, 1 DOWN.
    static int coin();

    Game_Trump_Card deck[DeckSize];
    int current = 0;
    int rest = 52;
    int places[Places] = {1, 2, 3, 4, 5};
    int nextDeal = 6;
    int direction = Up;
    bool chooseDirection = true;
    bool finished = false;
    bool failed = false;
};
