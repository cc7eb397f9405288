#pragma once
// The rules of the slot machine without painting: the train of reels (oldest first), when the
// next reel follows and how fast it spins, when a reel leaves or is lost, and what a press on
// the machine stops and scores.
#include <memory>
#include <vector>

class Game_Slot_Reel;

class Game_Slot_Machine
{
public:
    enum class Press { Nothing, Scored, Lost };
    struct PressResult {
        Press kind = Press::Nothing;
        int value = 0; // the stopped card's rank + 1, 0 when nothing was stopped
        int score = 0; // the score after the press
    };

    Game_Slot_Machine();
    virtual ~Game_Slot_Machine();

    // A fresh game: no reels but one new reel at the first speed.
    void start();
    // Deletes every reel.
    void clear();

    // The machine's part of a play frame, after every reel has drawn and moved: the next reel
    // follows a fully entered one, the speed jumps after ten reels, a reel that has left the
    // screen goes, and a spinning reel at the left edge ends the game. True when the game has
    // just ended.
    bool afterFrame();

    // A press stops the oldest spinning reel: a losing card ends the game, a winning one scores
    // on top of currentScore.
    PressResult press(int currentScore);

    // Points for a scoring stop of value v given the previous scoring value (0 before the first).
    static int pointsFor(int value, int lastResult);

    bool isGameOver() const { return gameOver; }
    int getNextSpeed() const { return nextSpeed; }
    int getSpawnCount() const { return spawnCount; }
    int getLastResult() const { return lastResult; }
    const std::vector<std::unique_ptr<Game_Slot_Reel>> &getReels() const { return reels; }

private:
    void endGame();

    std::vector<std::unique_ptr<Game_Slot_Reel>> reels;
    int nextSpeed = 15; // the first reel's speed until start() sets it
    int spawnCount = 0;
    int lastResult = 0;
    bool gameOver = false;
};
