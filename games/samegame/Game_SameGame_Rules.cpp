#include "games/samegame/Game_SameGame_Rules.h"

#include "games/frame/Game_Score.h"

namespace
{
const int ClearBonus = 1000;
// A removal of more tiles than this halves the bar.
const int HalvingGroup = 4;
// How much faster the bar fills on every board after a finished one.
const int StepPerBoard = 2;
} // namespace

Game_SameGame_Rules::Game_SameGame_Rules(Game_Score &record) : score(record) {}

void Game_SameGame_Rules::start()
{
    score.setScore(0);
    stageClear = false;
    timeOver = false;
}

void Game_SameGame_Rules::addPoints(int points)
{
    // Banked, so the current score shows the carried total.
    score.addBaseScore(points);
    score.setScore(0);
}

Game_SameGame_Rules::Click Game_SameGame_Rules::click(int column, int row)
{
    Click result;
    if (!board.isRemovable(column, row)) {
        level.addPenalty();
        result.penalty = true;
        return result;
    }
    result.removed = board.removeGroup(column, row);
    addPoints(pointsFor(result.removed));

    board.collapse();
    const int state = board.checkState();
    if (state != 2) {
        // The clear bonus counts at once, so leaving or running out right after a clear keeps it.
        if (state == 0)
            addPoints(ClearBonus);
        stageClear = true;
        nextBoard();
        result.newBoard = true;
    }
    if (result.removed > HalvingGroup)
        level.halve();
    return result;
}

int Game_SameGame_Rules::pointsFor(int n)
{
    return 200 * (n / 5) + 10 * (n % 5);
}

void Game_SameGame_Rules::nextBoard()
{
    board.regenerate();
    // The step is never reset here: only a new start from the menu brings it back.
    if (stageClear)
        level.addStep(StepPerBoard);
    else if (timeOver)
        score.resetScore();
    level.resetLevel();
    stageClear = false;
    timeOver = false;
}
