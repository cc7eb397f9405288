#pragma once
// A character in the gallery that can be shot: good ones (Tovira, four poses) score, the bad one
// (Kohru) costs time. Each shape has a fixed hit polygon around its picture; the game chooses
// the picture from the kind, the shape and whether the target is hit.
#include "games/shooting/Game_Shooting_Sprite.h"

#include <QPolygon>
#include <QRectF>

class Game_Shooting_Target : public Game_Shooting_Sprite
{
public:
    // Reseeds the generator, then draws kind, shape and velocity in that order.
    Game_Shooting_Target(int x, int y);

    bool isGood() const { return good; }
    bool isHit() const { return hit; }
    void setHit() { hit = true; }
    // 0 for the bad target, 1..4 for the good ones.
    int getShape() const { return shape; }

    // The shape's polygon at the current position; the query moves the target one step.
    QPolygon hitPolygon();
    // The head of a good target, where a hit earns a second; the query moves the target too.
    QRectF bonusRect();

    // The polygon of a shape relative to the picture's top-left; empty for unknown shapes.
    static QPolygon shapePolygon(int number);
    static QRectF bonusZone() { return QRectF(114, 27, 76, 119); }

private:
    bool good = false;
    int shape = 0;
    bool hit = false;
};
