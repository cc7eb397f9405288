#pragma once
// One reel of the slot machine: a strip of 16 playing cards that spins downwards as two stacked
// copies while the reel drifts from the right edge of the play area to the left. It moves one
// frame at a time and stopping snaps a card to the pay line; Game_Slot_ReelDrawer paints it.
// Positions and the area are in the game's item coordinates, whatever the device shows them at.
#include "games/cards/Game_Trump_Card.h"

#include <QSize>
#include <array>

class Game_Slot_Reel
{
public:
    static constexpr int StripLength = 16;
    static constexpr int CardWidth = 113;
    static constexpr int CardHeight = 170;
    // 5 pixels between the cards of a strip.
    static constexpr int Pitch = 175;
    static constexpr int CopyLength = StripLength * Pitch;
    // The top edge of the card that counts after a stop.
    static constexpr int PayLineTop = 207;

    using Strip = std::array<Game_Trump_Card, StripLength>;

    // Where a stop puts the strip whose lower copy's top is at lowerTop.
    struct Stop {
        int k = 0;        // snapped card step before wrapping into 0..15
        int lowerTop = 0; // new top of the lower copy
        int payIndex = 0; // strip index of the card in the pay line
        double jump = 0;  // pixels the strip moves (negative: up)
    };

    // Seeds the generator from hour + minute + second + millisecond and deals a shuffled strip.
    explicit Game_Slot_Reel(int spinSpeed);
    virtual ~Game_Slot_Reel();

    // Ranks 0..9 once, then three of rank 10, two of 11 and one of 12, suits drawn from the
    // generator, shuffled by 500 drawn swaps.
    static Strip dealStrip();
    static Stop stopFor(int lowerTop);

    // A frame of the reel is enter, then the drawing, then move.
    // Notes the play area's size; on the first frame the reel comes in at its right edge.
    void enter(const QSize &area);
    // Spins (unless stopped) and drifts (unless frozen) by one frame.
    void move();
    // A frame without drawing, on a play area of the given size.
    void advance(const QSize &area);

    // Stops the spin and returns the value of the card in the pay line (its rank + 1).
    int stopReel();
    void freeze() { frozen = true; }

    bool isStopped() const { return stopped; }
    bool isFrozen() const { return frozen; }
    bool isOnScreen() const { return onScreen; }
    bool isJustEntered() const { return justEntered; }
    void clearJustEntered() { justEntered = false; }

    int getX() const { return x; }
    int getY1() const { return y1; }
    int getY2() const { return y2; }
    int getSpeed() const { return speed; }
    const Strip &getStrip() const { return strip; }
    QSize getArea() const { return areaSize; }

    // Test seams: put the strip copies or the reel somewhere.
    void setTops(int top1, int top2)
    {
        y1 = top1;
        y2 = top2;
    }
    void setX(int left) { x = left; }
    void setStrip(const Strip &cards) { strip = cards; }

private:
    Strip strip;
    int speed = 0;
    int x = -200;
    int y1 = 5;
    int y2 = -CopyLength;
    int frameCount = 0;
    double stepFactor = 2.0;
    QSize areaSize{-1, -1};
    bool justEntered = false;
    bool onScreen = false;
    bool stopped = false;
    bool frozen = false;
};
