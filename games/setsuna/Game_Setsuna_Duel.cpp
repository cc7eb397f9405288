#include "games/setsuna/Game_Setsuna_Duel.h"

#include "base/Clock.h"
#include "base/Random.h"

int Game_Setsuna_Duel::pointsFor(int difficulty)
{
    static const int points[ButtonCount] = {200, 500, 1000};
    return difficulty >= 0 && difficulty < ButtonCount ? points[difficulty] : 0;
}

int Game_Setsuna_Duel::baseTimeFor(int difficulty)
{
    static const int times[ButtonCount] = {1000, 500, 200};
    return difficulty >= 0 && difficulty < ButtonCount ? times[difficulty] : 0;
}

void Game_Setsuna_Duel::reset()
{
    waitStart = signalTime = nextRoundTime = -1;
    titleMode = true;
    difficulty = -1;
    waitDelay = opponentDelay = nextRoundDelay = 0;
    streak = 1;
    signalShown = playerWon = opponentWon = roundOver = falseStart = releaseLatch = false;
    opponentArmed = false;
}

void Game_Setsuna_Duel::startRound()
{
    titleMode = false;
    waitStart = Clock::monotonicMs();
    waitDelay = Random::draw() % 3000 + 1000;
    signalShown = playerWon = opponentWon = falseStart = false;
    clearOpponent();
    opponentArmed = false;
}

bool Game_Setsuna_Duel::isOver(qint64 mark, int delay)
{
    return mark >= 0 && Clock::monotonicMs() - mark > delay;
}

bool Game_Setsuna_Duel::waitIsOver() const
{
    return isOver(waitStart, waitDelay);
}

void Game_Setsuna_Duel::clearWait()
{
    waitStart = -1;
    waitDelay = 0;
}

bool Game_Setsuna_Duel::opponentIsDue() const
{
    return isOver(signalTime, opponentDelay);
}

void Game_Setsuna_Duel::clearOpponent()
{
    signalTime = -1;
    opponentDelay = 0;
}

bool Game_Setsuna_Duel::nextRoundIsDue() const
{
    return isOver(nextRoundTime, nextRoundDelay);
}

void Game_Setsuna_Duel::clearNextRound()
{
    nextRoundTime = -1;
    nextRoundDelay = 0;
}

void Game_Setsuna_Duel::fight()
{
    if (falseStart)
        return;
    const int base = baseTimeFor(difficulty);
    int t = base > 0 ? base + Random::draw() % base : 0;
    for (int i = 0; i < streak; ++i)
        t = static_cast<int>(t * 0.9);
    opponentDelay = t;
    signalShown = true;
    // The signal shows from the next frame on; the opponent cannot react to it before that.
    opponentArmed = true;
}

void Game_Setsuna_Duel::signalDrawn()
{
    if (!opponentArmed)
        return;
    opponentArmed = false;
    signalTime = Clock::monotonicMs();
}

Game_Setsuna_Duel::Sound Game_Setsuna_Duel::enemy()
{
    if (playerWon)
        return Sound::None;
    opponentWon = true;
    return Sound::Lose;
}

Game_Setsuna_Duel::Sound Game_Setsuna_Duel::press()
{
    if (signalShown && !falseStart) {
        if (opponentWon)
            return Sound::None;
        playerWon = true;
        return Sound::Win;
    }
    if (!titleMode && !falseStart && !roundOver) {
        falseStart = true;
        releaseLatch = true;
    }
    return Sound::None;
}

bool Game_Setsuna_Duel::releaseReachesDialog() const
{
    return isResultShown() && !releaseLatch;
}

Game_Setsuna_Duel::Poses Game_Setsuna_Duel::posesAndSettle()
{
    if (falseStart) {
        roundOver = true;
        return {2, 0};
    }
    if (playerWon)
        return {1, 2};
    if (opponentWon) {
        roundOver = true;
        return {2, 1};
    }
    return {0, 0};
}

int Game_Setsuna_Duel::takeWinPoints()
{
    if (!playerWon || nextRoundTime >= 0)
        return 0;
    nextRoundTime = Clock::monotonicMs();
    nextRoundDelay = NextRoundDelay;
    ++streak;
    return pointsFor(difficulty);
}
