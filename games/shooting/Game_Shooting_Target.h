#pragma once
// A character picture in the gallery that can be shot: good ones (Tovira, four poses) score,
// the bad one (Kohru) costs time. Each shape has a fixed hit polygon around its picture.
#include "games/shooting/Game_Shooting_Sprite.h"

#include <QImage>
#include <QPolygon>
#include <QRectF>

class Game_Shooting_Target : public Game_Shooting_Sprite
{
public:
    static constexpr int ShapeCount = 5;

    // Reseeds the generator, then draws kind, shape and velocity in that order.
    Game_Shooting_Target(int x, int y);
    ~Game_Shooting_Target() override;

    bool isGood() const { return good; }
    bool isHit() const { return hit; }
    void setHit() { hit = true; }
    int getShape() const { return shape; }
    QImage picture() const { return hit ? *hitPicture : *normalPicture; }

    // The shape's polygon at the current position; the query moves the target one step.
    QPolygon hitPolygon();
    // The head of a good target, where a hit earns a second; the query moves the target too.
    QRectF bonusRect();

    // Decodes every target picture ahead of play, so the first target of each kind does not
    // stall the frame it appears in.
    static void preload();

    // The polygon of a shape relative to the picture's top-left; empty for unknown shapes.
    static QPolygon shapePolygon(int shape);
    static QRectF bonusZone() { return QRectF(114, 27, 76, 119); }

private:
    bool good = false;
    QImage *normalPicture = nullptr;
    QImage *hitPicture = nullptr;
    int shape = 0;
    bool hit = false;
};
