#include "games/shooting/Game_Shooting_Target.h"

#include "base/Random.h"

#include <QDebug>
#include <QVector>

Game_Shooting_Target::Game_Shooting_Target(int x, int y) : Game_Shooting_Sprite(0.01)
{
    normalPicture = new QImage;
    hitPicture = new QImage;
    seedFromClock();

    if (Random::draw() % 5 != 0) {
        good = true;
        if (!loadPicture(*hitPicture, QStringLiteral(":/img/shooting/TOVIRA00")))
            qDebug().noquote() << "imgReadError: /img/shooting/TOVIRA00";
        shape = Random::draw() % 4 + 1;
        const QString path = QStringLiteral(":/img/shooting/TOVIRA0%1").arg(shape);
        if (!loadPicture(*normalPicture, path))
            qDebug() << "imgReadError:" << path;
    } else {
        good = false;
        shape = 0;
        if (!loadPicture(*normalPicture, QStringLiteral(":/img/shooting/KOHRU01")))
            qDebug().noquote() << "imgReadError: /img/shooting/KOHRU01";
        if (!loadPicture(*hitPicture, QStringLiteral(":/img/shooting/KOHRU00")))
            qDebug().noquote() << "imgReadError: /img/shooting/KOHRU00";
    }
    const int vx = Random::draw() % 10 - 5;
    const int vy = Random::draw() % 10 - 5;
    setVelocity(vx, vy);
    hit = false;
    place(x, y);
}

Game_Shooting_Target::~Game_Shooting_Target()
{
    delete normalPicture;
    normalPicture = nullptr;
    delete hitPicture;
    hitPicture = nullptr;
}

void Game_Shooting_Target::preload()
{
    QImage image;
    for (const char *name : {"TOVIRA00", "TOVIRA01", "TOVIRA02", "TOVIRA03", "TOVIRA04", "KOHRU00",
                             "KOHRU01", "PLUS", "MINUS"})
        loadPicture(image, QStringLiteral(":/img/shooting/") + QLatin1String(name));
}

QPolygon Game_Shooting_Target::shapePolygon(int shape)
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
    if (shape < 0 || shape >= shapes.size())
        return QPolygon();
    return QPolygon(shapes[shape]);
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
