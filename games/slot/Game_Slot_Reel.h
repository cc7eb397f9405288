#pragma once
// One reel of the slot machine: a strip of 16 playing cards that spins downwards as two stacked
// copies while the reel drifts from the right edge of the screen to the left. It draws itself
// from its own card sheet and moves one frame at a time; stopping snaps a card to the pay line.
#include "games/cards/Game_Trump_Card.h"

#include <QRect>
#include <QSize>
#include <QVector>
#include <array>

class Game_Trump;
class QPainter;

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

    // Creates the card sheet (which seeds the generator), seeds again from the time of day and
    // deals a shuffled strip.
    explicit Game_Slot_Reel(int speed);
    virtual ~Game_Slot_Reel();

    Game_Slot_Reel(const Game_Slot_Reel &) = delete;
    Game_Slot_Reel &operator=(const Game_Slot_Reel &) = delete;

    // Ranks 0..9 once, then three of rank 10, two of 11 and one of 12, suits drawn from the
    // generator, shuffled by 500 drawn swaps.
    static Strip dealStrip();
    static Stop stopFor(int lowerTop);

    // One frame: note the device size and come in at the right edge on the first frame, draw
    // both copies, then spin and drift.
    void drawAndMove(QPainter *painter);
    // The same frame without drawing, for a device of the given size.
    void advance(const QSize &device);
    // Adds what the cards the next frame draws will hide completely (item coordinates).
    void addHiddenParts(const QPainter *painter, QVector<QRect> &hidden) const;

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
    QSize getDeviceSize() const { return deviceSize; }

    // Test seams: put the strip copies or the reel somewhere.
    void setTops(int top1, int top2)
    {
        y1 = top1;
        y2 = top2;
    }
    void setX(int left) { x = left; }
    void setStrip(const Strip &cards) { strip = cards; }

private:
    void enter(const QSize &device);
    void draw(QPainter *painter) const;
    template <typename Visit>
    void forEachShownCard(const QPainter *painter, Visit visit) const;
    void move();

    Strip strip;
    Game_Trump *cards = nullptr;
    int speed = 0;
    int x = -200;
    int y1 = 5;
    int y2 = -CopyLength;
    int frameCount = 0;
    double stepFactor = 2.0;
    QSize deviceSize{-1, -1};
    bool justEntered = false;
    bool onScreen = false;
    bool stopped = false;
    bool frozen = false;
};
