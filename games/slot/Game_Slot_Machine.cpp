#include "games/slot/Game_Slot_Machine.h"

#include "games/slot/Game_Slot_Reel.h"

namespace
{
const int FirstSpeed = 15;
// Pay-line values (rank + 1) from this one on score.
const int FirstWinningValue = 11;
} // namespace

Game_Slot_Machine::Game_Slot_Machine() = default;

Game_Slot_Machine::~Game_Slot_Machine() = default;

void Game_Slot_Machine::start()
{
    clear();
    gameOver = false;
    nextSpeed = FirstSpeed;
    spawnCount = 0;
    lastResult = 0;
    reels.push_back(std::make_unique<Game_Slot_Reel>(nextSpeed));
}

void Game_Slot_Machine::clear()
{
    reels.clear();
}

bool Game_Slot_Machine::afterFrame()
{
    if (gameOver || reels.empty())
        return false;

    Game_Slot_Reel *newest = reels.back().get();
    const int areaWidth = newest->getArea().width();
    if (newest->isJustEntered() && areaWidth - Game_Slot_Reel::CardWidth > newest->getX()) {
        newest->clearJustEntered();
        ++nextSpeed;
        reels.push_back(std::make_unique<Game_Slot_Reel>(nextSpeed));
        ++spawnCount;
    }
    if (spawnCount > 9) {
        nextSpeed += 25;
        spawnCount = 0;
    }

    Game_Slot_Reel *oldest = reels.front().get();
    if (oldest->isOnScreen() && oldest->getX() < -Game_Slot_Reel::CardWidth)
        reels.erase(reels.begin());

    oldest = reels.empty() ? nullptr : reels.front().get();
    if (oldest && oldest->getX() < 0 && !oldest->isStopped()) {
        endGame();
        return true;
    }
    return false;
}

Game_Slot_Machine::PressResult Game_Slot_Machine::press(int currentScore)
{
    PressResult result;
    result.score = currentScore;
    if (gameOver)
        return result;
    for (const auto &reel : reels) {
        if (reel->isStopped())
            continue;
        result.value = reel->stopReel();
        if (result.value < FirstWinningValue) {
            result.kind = Press::Lost;
            endGame();
        } else {
            result.kind = Press::Scored;
            result.score = lastResult == 0 ? pointsFor(result.value, 0)
                                           : currentScore + pointsFor(result.value, lastResult);
            lastResult = result.value;
        }
        break;
    }
    return result;
}

int Game_Slot_Machine::pointsFor(int value, int lastResult)
{
    // The first scoring stop of a game is worth 100 whatever the card.
    if (lastResult == 0)
        return 100;
    switch (value) {
    case 11:
        return 200;
    case 12:
        return 500;
    case 13:
        return 1000;
    default:
        return 0;
    }
}

void Game_Slot_Machine::endGame()
{
    gameOver = true;
    for (const auto &reel : reels)
        reel->freeze();
}
