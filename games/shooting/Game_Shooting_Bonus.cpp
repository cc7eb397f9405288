#include "games/shooting/Game_Shooting_Bonus.h"

#include "base/Random.h"

#include <QDebug>

Game_Shooting_Bonus::Game_Shooting_Bonus(int x, int y, bool plus) : Game_Shooting_Sprite(0.02)
{
    image = new QImage;
    seedFromClock();
    const int vx = Random::draw() % 4 - 2;
    const int vy = Random::draw() % 4 - 2;
    setVelocity(vx, vy);
    place(x, y);
    if (plus) {
        if (!loadPicture(*image, QStringLiteral(":/img/shooting/PLUS")))
            qDebug().noquote() << "imgReadError: /img/shooting/PLUS";
    } else if (!loadPicture(*image, QStringLiteral(":/img/shooting/MINUS"))) {
        qDebug().noquote() << "imgReadError: /img/shooting/MINUS";
    }
}

Game_Shooting_Bonus::~Game_Shooting_Bonus()
{
    delete image;
    image = nullptr;
}
