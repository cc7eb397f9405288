#pragma once
// What targets and popups share: an integer position that moves by a fixed velocity every time
// it is read, and an opacity that rises from 0 to just above 1 and falls back below 0.
#include <QPoint>

class Game_Shooting_Sprite
{
public:
    virtual ~Game_Shooting_Sprite();

    // Steps the opacity once and returns it; below 0 the object is done.
    double nextOpacity();
    // Returns the position, then moves it one velocity step.
    QPoint takePosition();

    double getOpacity() const { return opacity; }
    QPoint peekPosition() const { return position; }
    float velocityX() const { return velocity[0]; }
    float velocityY() const { return velocity[1]; }

    // Reseeds the one random generator from the time of day as "mmssszzz", as every target and
    // popup does when it is made; two objects made in the same millisecond draw alike.
    static void seedFromClock();

protected:
    explicit Game_Shooting_Sprite(double step);
    void setVelocity(float x, float y);
    // The last step of construction: visible from nothing, fading in, at (x, y).
    void place(int x, int y);

private:
    QPoint position{0, 0};
    float velocity[2] = {0, 0};
    bool fadingIn = true;
    double opacity = 0;
    double fadeStep;
};
