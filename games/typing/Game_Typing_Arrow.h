#pragma once
// One tile of the arrow train: its left edge and the direction it shows (0 right, 1 down,
// 2 left, 3 up), which is also the index of its picture.
class Game_Typing_Arrow
{
public:
    // Draws the direction from the shared generator, which the play seeded at its start.
    explicit Game_Typing_Arrow(int left);
    virtual ~Game_Typing_Arrow() = default;

    // Moves the tile by delta and returns its new left edge (shift(0) reads it).
    int shift(int delta);
    int getX() const { return x; }
    int getDirection() const { return direction; }

private:
    int x;
    int direction;
};
