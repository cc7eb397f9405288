#pragma once
// The Slide puzzle's cells: cell index -> piece number, -1 for the gap. Piece p belongs at cell
// p and the gap at the last cell. A move slides the whole line between a tile and the gap.
#include <QVector>

class Game_Slide_Board
{
public:
    static constexpr int Gap = -1;
    enum class Move { OnGap, Moved, Missed };

    explicit Game_Slide_Board(int columnCount = 3, int rowCount = 3);

    int getColumns() const { return columns; }
    int getRows() const { return rows; }
    int cellCount() const { return columns * rows; }
    int cellAt(int index) const { return cells.value(index, Gap); }
    int gapIndex() const { return cells.indexOf(Gap); }

    // Every piece at home, gap in the last cell.
    void reset();
    // Test seam: any arrangement (a permutation of 0..n-2 and one Gap).
    void setCells(const QVector<int> &arrangement) { cells = arrangement; }

    // Slides the tile at cell k and the tiles between it and the gap one cell toward the gap,
    // when the gap shares k's row or column.
    Move move(int k);
    // 100 x n random move attempts, then random attempts until the gap is back in the last cell.
    // Every step is a legal move, so the board stays solvable.
    void shuffle();
    // Pieces 0..n-2 at home (the last cell then holds the gap).
    bool isSolved() const;

private:
    int findGapToward(int k, int dc, int dr) const;
    int findGapInLine(int k) const;
    void slideFrom(int k, int gap);

    int columns;
    int rows;
    QVector<int> cells;
};
