#include "games/shooting/Game_Shooting_Target.h"

#include "base/Random.h"

#include <QVector>

Game_Shooting_Target::Game_Shooting_Target(int x, int y) : Game_Shooting_Sprite(0.01)
{
    seedFromClock();
    // Four in five are good, in one of four poses.
    good = Random::draw() % 5 != 0;
    shape = good ? Random::draw() % 4 + 1 : 0;
    const int vx = Random::draw() % 10 - 5;
    const int vy = Random::draw() % 10 - 5;
    setVelocity(vx, vy);
    hit = false;
    place(x, y);
}

QPolygon Game_Shooting_Target::shapePolygon(int number)
{
    static const QVector<QVector<QPoint>> shapes = {
        {{50, 80},
         {117, 0},
         {213, 0},
         {307, 107},
         {270, 215},
         {300, 315},
         {45, 290},
         {36, 212},
         {66, 139}},
        {{100, 44}, {190, 22}, {235, 130}, {290, 195}, {190, 340}, {190, 395}, {27, 255}},
        {{110, 34},
         {190, 27},
         {256, 133},
         {237, 296},
         {176, 306},
         {163, 430},
         {96, 430},
         {99, 285},
         {30, 277},
         {30, 220}},
        {{85, 47},
         {177, 20},
         {230, 102},
         {211, 167},
         {285, 220},
         {270, 248},
         {223, 273},
         {217, 290},
         {263, 362},
         {38, 318},
         {12, 246},
         {34, 124}},
        {{120, 32}, {184, 0}, {352, 74}, {300, 198}, {203, 267}, {96, 219}, {57, 146}},
    };
    if (number < 0 || number >= shapes.size())
        return QPolygon();
    return QPolygon(shapes[number]);
}

QPolygon Game_Shooting_Target::hitPolygon()
{
    // Any shape outside the table gives an empty polygon, still after one step.
    const QPoint p = takePosition();
    return shapePolygon(shape).translated(p);
}

QRectF Game_Shooting_Target::bonusRect()
{
    return bonusZone().translated(takePosition());
}
