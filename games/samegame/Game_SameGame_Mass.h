#pragma once
// The SameGame board: 15 x 8 cells, each holding a tile kind 0..3 or Empty. Removes connected
// groups, lets tiles fall and closes empty columns, and tells whether a move is left.
#include <QPoint>
#include <QRectF>
#include <QSizeF>
#include <QVector>
#include <array>

class Game_SameGame_Mass
{
public:
    static constexpr int Empty = 4;
    static constexpr int Kinds = 4;
    static constexpr int Columns = 15;
    static constexpr int Rows = 8;

    // Deals a random board at once.
    Game_SameGame_Mass();
    virtual ~Game_SameGame_Mass();

    // Seeds the random generator from the time of day and fills every cell.
    void deal();
    // A fresh board, as after construction.
    void regenerate();

    int getColumns() const { return columns; }
    int getRows() const { return rows; }
    int cellCount() const { return columns * rows; }
    bool contains(int column, int row) const;

    int cellAt(int index) const;
    int cellAt(int column, int row) const;
    // Test seam and board building: stores kind at (column, row).
    void setCell(int column, int row, int kind);

    QRectF cellRect(int index) const;
    QRectF cellRect(int column, int row) const;

    // The tile touches another of its kind edge to edge. False outside the board.
    bool isRemovable(int column, int row) const;
    // Empties the group the tile belongs to; returns how many tiles went.
    int removeGroup(int column, int row);
    // Tiles fall into the gaps below them, then empty columns move to the right edge.
    void collapse();
    // 2: a removable group is left; 1: tiles are left but none removable; 0: the board is empty.
    int checkState() const;
    // Appends the group's cells (x = column, y = row) that are not listed yet.
    void collectGroup(int column, int row, QVector<QPoint> &points) const;

private:
    int flood(int column, int row, int kind);
    bool columnEmpty(int column) const;
    void swapColumns(int a, int b);

    int columns = Columns;
    int rows = Rows;
    std::array<int, Columns * Rows> cells{};
    QSizeF cellSize{60, 60};
};
