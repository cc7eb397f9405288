#pragma once
// The rules of Typing without any painting: the train of arrow tiles sliding right, the key
// waiting to be judged against the rightmost tile, the speed, and the bonus box.
#include "games/typing/Game_Typing_Arrow.h"

#include <QRectF>
#include <memory>
#include <vector>

class Game_Typing_Train
{
public:
    static constexpr double StartSpeed = 5.0;
    static constexpr double SpeedStep = 0.3;
    static constexpr int Bonus = 200;

    // What one frame step did.
    struct Step {
        // The tiles moved and are to be drawn (false on the frame a wrong key ends the play).
        bool drawTiles = true;
        // The removed tile's centre was inside the bonus box.
        bool bonus = false;
        // The key waiting was judged: right (its tile removed) or wrong (the play ends).
        bool rightKey = false;
        bool wrongKey = false;
    };

    // A fresh train: one tile just outside the left edge (x = -tileWidth), speed 5, no key.
    // fieldWidth is the item's width, box the bonus box, trackY the track's middle.
    void start(int tileWidth, int fieldWidth, const QRectF &box, int trackY);
    void clear();

    // The direction of the last key released; judged in the next step.
    void press(int direction) { pressedDirection = direction; }

    // One play frame: judges the waiting key against the rightmost tile, moves every tile by
    // the whole pixels of the speed, appends at most one tile behind the last, and ends the
    // play when a key was wrong or the rightmost tile passed the right edge.
    Step step();

    const std::vector<std::unique_ptr<Game_Typing_Arrow>> &getTiles() const { return tiles; }
    double getSpeed() const { return speed; }
    int getPressedDirection() const { return pressedDirection; }
    bool isFinished() const { return finished; }

private:
    std::vector<std::unique_ptr<Game_Typing_Arrow>> tiles; // element 0 is the rightmost
    int tileWidth = 0;
    int fieldWidth = 0;
    QRectF box;
    int trackY = 0;
    double speed = StartSpeed;
    int pressedDirection = -1;
    bool finished = false;
};
