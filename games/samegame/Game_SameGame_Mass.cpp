#include "games/samegame/Game_SameGame_Mass.h"

#include "base/Clock.h"
#include "base/Random.h"

#include <QTime>

Game_SameGame_Mass::Game_SameGame_Mass()
{
    deal();
}

Game_SameGame_Mass::~Game_SameGame_Mass() = default;

void Game_SameGame_Mass::deal()
{
    const QTime now = Clock::currentTime();
    Random::seed(now.hour() + now.minute() + now.second() + now.msec());
    for (int i = 0; i < cellCount(); ++i)
        cells[i] = Random::draw() % Kinds;
}

void Game_SameGame_Mass::regenerate()
{
    columns = Columns;
    rows = Rows;
    cellSize = QSizeF(60, 60);
    deal();
}

bool Game_SameGame_Mass::contains(int column, int row) const
{
    return column >= 0 && column < columns && row >= 0 && row < rows;
}

int Game_SameGame_Mass::cellAt(int index) const
{
    return (index >= 0 && index < cellCount()) ? cells[index] : Empty;
}

int Game_SameGame_Mass::cellAt(int column, int row) const
{
    return contains(column, row) ? cells[column + row * columns] : Empty;
}

void Game_SameGame_Mass::setCell(int column, int row, int kind)
{
    if (contains(column, row))
        cells[column + row * columns] = kind;
}

QRectF Game_SameGame_Mass::cellRect(int index) const
{
    return cellRect(index % columns, index / columns);
}

QRectF Game_SameGame_Mass::cellRect(int column, int row) const
{
    return QRectF(QPointF(cellSize.width() * column, cellSize.height() * row), cellSize);
}

bool Game_SameGame_Mass::isRemovable(int column, int row) const
{
    if (!contains(column, row))
        return false;
    const int kind = cellAt(column, row);
    if (kind == Empty)
        return false;
    if (column > 0 && cellAt(column - 1, row) == kind)
        return true;
    if (row > 0 && cellAt(column, row - 1) == kind)
        return true;
    if (column + 1 < columns && cellAt(column + 1, row) == kind)
        return true;
    return row + 1 < rows && cellAt(column, row + 1) == kind;
}

int Game_SameGame_Mass::removeGroup(int column, int row)
{
    const int kind = cellAt(column, row);
    if (kind == Empty)
        return 0;
    return flood(column, row, kind);
}

// Each cell is emptied before its neighbours are looked at, so no cell is counted twice; the
// downward direction is a loop rather than a call to keep the recursion shallow.
int Game_SameGame_Mass::flood(int column, int row, int kind)
{
    int removed = 0;
    for (;;) {
        cells[column + row * columns] = Empty;
        ++removed;
        if (column > 0 && cellAt(column - 1, row) == kind)
            removed += flood(column - 1, row, kind);
        if (row > 0 && cellAt(column, row - 1) == kind)
            removed += flood(column, row - 1, kind);
        if (column + 1 < columns && cellAt(column + 1, row) == kind)
            removed += flood(column + 1, row, kind);
        if (row + 1 < rows && cellAt(column, row + 1) == kind) {
            ++row;
            continue;
        }
        return removed;
    }
}

bool Game_SameGame_Mass::columnEmpty(int column) const
{
    for (int r = 0; r < rows; ++r) {
        if (cellAt(column, r) != Empty)
            return false;
    }
    return true;
}

void Game_SameGame_Mass::swapColumns(int a, int b)
{
    for (int r = 0; r < rows; ++r)
        std::swap(cells[a + r * columns], cells[b + r * columns]);
}

void Game_SameGame_Mass::collapse()
{
    for (int c = 0; c < columns; ++c) {
        bool moved = true;
        while (moved) {
            moved = false;
            for (int r = 1; r < rows; ++r) {
                int &below = cells[c + r * columns];
                int &above = cells[c + (r - 1) * columns];
                if (below == Empty && above != Empty) {
                    below = above;
                    above = Empty;
                    moved = true;
                }
            }
        }
    }
    // Walking from the right, each empty column travels to the right edge past the filled ones.
    for (int i = columns - 1; i >= 0; --i) {
        for (int c = i; c != columns - 1 && columnEmpty(c); ++c)
            swapColumns(c, c + 1);
    }
}

int Game_SameGame_Mass::checkState() const
{
    bool tilesLeft = false;
    for (int i = 0; i < cellCount(); ++i) {
        if (isRemovable(i % columns, i / columns))
            return 2;
        if (cells[i] != Empty)
            tilesLeft = true;
    }
    return tilesLeft ? 1 : 0;
}

void Game_SameGame_Mass::collectGroup(int column, int row, QVector<QPoint> &points) const
{
    const int kind = cellAt(column, row);
    if (kind == Empty)
        return;
    for (;;) {
        if (points.contains(QPoint(column, row)))
            return;
        points.append(QPoint(column, row));
        if (column > 0 && cellAt(column - 1, row) == kind)
            collectGroup(column - 1, row, points);
        if (row > 0 && cellAt(column, row - 1) == kind)
            collectGroup(column, row - 1, points);
        if (column + 1 < columns && cellAt(column + 1, row) == kind)
            collectGroup(column + 1, row, points);
        if (row + 1 < rows && cellAt(column, row + 1) == kind) {
            ++row;
            continue;
        }
        return;
    }
}
