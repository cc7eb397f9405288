#pragma once
// How full the SameGame time bar is: the level grows by a step on every tick, penalties add to
// it, big removals halve it; the bar is over when the level passes the bar picture's height.
#include <QtGlobal>

class Game_SameGame_BarLevel
{
public:
    static constexpr double Penalty = 30.0;

    explicit Game_SameGame_BarLevel(int height = 0) : capacity(height) {}

    // Adds one step. True when the level has passed the capacity: time is over.
    bool tick();
    void addPenalty();
    // Lowers the level only; the drawn height follows at the next tick.
    void halve() { level *= 0.5; }
    void addStep(int n) { step += n; }
    void resetLevel();

    double getLevel() const { return level; }
    double getStep() const { return step; }
    // Height of the filled part as drawn, never above the capacity.
    double getDrawnHeight() const { return drawnHeight; }
    int getCapacity() const { return capacity; }
    // Milliseconds until the level passes the capacity at one step per tick of tickMs.
    qint64 msLeft(int tickMs) const;
    void setCapacity(int height) { capacity = height; }

private:
    int capacity;
    double step = 1.0;
    double level = 0.0;
    double drawnHeight = 0.0;
};
