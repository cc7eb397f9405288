#pragma once
// The play of SameGame without painting: the board, how full the time bar is, and what a click
// on a cell, a finished board and a retry do to them and to the score.
#include "games/samegame/Game_SameGame_BarLevel.h"
#include "games/samegame/Game_SameGame_Mass.h"

class Game_Score;

class Game_SameGame_Rules
{
public:
    // What a click did, so the screen can follow it.
    struct Click {
        bool penalty = false; // nothing removable: the bar took the penalty
        int removed = 0;
        bool newBoard = false; // the board was finished and a new one dealt
    };

    // Deals the first board.
    explicit Game_SameGame_Rules(Game_Score &record);

    // A new play: score 0, neither finished board nor time over.
    void start();
    // A click on the cell (column, row) of the board.
    Click click(int column, int row);
    // The next board (after a finished one, or the retry after time over): a new deal, the bar
    // empty, faster after a finished board; after time over the score is folded into the best.
    void nextBoard();
    void setTimeOver() { timeOver = true; }
    // Points for removing n tiles at once: 200 for every full five, 10 for each tile beyond.
    static int pointsFor(int n);

    bool isTimeOver() const { return timeOver; }
    // Set only while a finished board is being replaced.
    bool isStageClear() const { return stageClear; }
    bool isPlaying() const { return !stageClear && !timeOver; }
    Game_SameGame_Mass &getBoard() { return board; }
    const Game_SameGame_Mass &getBoard() const { return board; }
    Game_SameGame_BarLevel &getLevel() { return level; }
    const Game_SameGame_BarLevel &getLevel() const { return level; }

private:
    void addPoints(int points);

    Game_Score &score;
    Game_SameGame_Mass board;
    Game_SameGame_BarLevel level;
    bool stageClear = false;
    bool timeOver = false;
};
