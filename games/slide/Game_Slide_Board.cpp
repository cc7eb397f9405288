#include "games/slide/Game_Slide_Board.h"

#include "base/Random.h"

Game_Slide_Board::Game_Slide_Board(int columnCount, int rowCount)
    : columns(columnCount), rows(rowCount)
{
    reset();
}

void Game_Slide_Board::reset()
{
    cells.resize(cellCount());
    for (int i = 0; i < cellCount(); ++i)
        cells[i] = i;
    cells[cellCount() - 1] = Gap;
}

// The gap's cell when it lies from k in the step (dc, dr), nearest first; -1 otherwise.
int Game_Slide_Board::findGapToward(int k, int dc, int dr) const
{
    int c = k % columns + dc, r = k / columns + dr;
    for (; c >= 0 && c < columns && r >= 0 && r < rows; c += dc, r += dr) {
        if (cells[c + r * columns] == Gap)
            return c + r * columns;
    }
    return -1;
}

// The gap's cell when it is in k's row (right, then left) or column (below, then above),
// nearest first; -1 otherwise.
int Game_Slide_Board::findGapInLine(int k) const
{
    static const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto &step : steps) {
        const int gap = findGapToward(k, step[0], step[1]);
        if (gap >= 0)
            return gap;
    }
    return -1;
}

void Game_Slide_Board::slideFrom(int k, int gap)
{
    const bool sameRow = k / columns == gap / columns;
    const int stride = sameRow ? 1 : columns;
    const int toward = gap > k ? stride : -stride;
    // Walk back from the gap to k, pulling each tile one cell toward the gap.
    for (int i = gap; i != k; i -= toward)
        cells[i] = cells[i - toward];
    cells[k] = Gap;
}

Game_Slide_Board::Move Game_Slide_Board::move(int k)
{
    if (k < 0 || k >= cellCount() || cells[k] == Gap)
        return Move::OnGap;
    const int gap = findGapInLine(k);
    if (gap < 0)
        return Move::Missed;
    slideFrom(k, gap);
    return Move::Moved;
}

void Game_Slide_Board::shuffle()
{
    const int n = cellCount();
    for (int i = 0; i < 100 * n; ++i)
        move(Random::draw() % n);
    while (move(n - 1) != Move::Moved)
        move(Random::draw() % n);
}

bool Game_Slide_Board::isSolved() const
{
    const int n = cellCount();
    if (n < 2)
        return true;
    for (int i = 0; i <= n - 2; ++i)
        if (cells[i] != i)
            return false;
    return true;
}
