#include "games/janken/Game_Janken_Duel.h"

#include "base/Random.h"

bool Game_Janken_Duel::beats(int p, int o)
{
    return o == (p + 2) % 3;
}

void Game_Janken_Duel::start()
{
    opponentHand = Random::draw() % 3;
    playerHand = 0;
    pointX = StartX;
    opponentDrawn = false;
    finished = false;
    lost = false;
    handsDrawn = 0;
    throwsWon = 0;
}

int Game_Janken_Duel::step(int markerWidth, bool fast)
{
    const int x0 = pointX;
    pointX += SlowStep;
    if (fast)
        pointX += FastExtra;

    const int centre = x0 + markerWidth / 2;
    if (centre > ZoneLeft && centre < ZoneRight && !opponentDrawn) {
        opponentDrawn = true;
        opponentHand = Random::draw() % 3;
        ++handsDrawn;
    }
    if (centre > JudgeX)
        judge();
    return x0;
}

void Game_Janken_Duel::judge()
{
    if (beats(playerHand, opponentHand)) {
        // The next throw starts on the next frame; the score only follows the clock.
        opponentDrawn = false;
        pointX = StartX;
        ++throwsWon;
    } else if (playerHand == opponentHand) {
        finished = true;
    } else {
        lost = true;
        finished = true;
    }
}

void Game_Janken_Duel::setPlayerHand(int hand)
{
    if (hand >= 0 && hand <= 2)
        playerHand = hand;
}
