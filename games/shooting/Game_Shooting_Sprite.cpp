#include "games/shooting/Game_Shooting_Sprite.h"

#include "base/Clock.h"
#include "base/Random.h"

#include <QString>
#include <QTime>
#include <QtMath>

Game_Shooting_Sprite::Game_Shooting_Sprite(double step) : fadeStep(step) {}

Game_Shooting_Sprite::~Game_Shooting_Sprite() = default;

void Game_Shooting_Sprite::seedFromClock()
{
    Random::seed(Clock::currentTime().toString(QStringLiteral("mmssszzz")).toInt());
}

void Game_Shooting_Sprite::setVelocity(float x, float y)
{
    velocity[0] = x;
    velocity[1] = y;
}

void Game_Shooting_Sprite::place(int x, int y)
{
    opacity = 0;
    fadingIn = true;
    position = QPoint(x, y);
}

double Game_Shooting_Sprite::nextOpacity()
{
    opacity = fadingIn ? opacity + fadeStep : opacity - fadeStep;
    if (opacity > 1)
        fadingIn = false;
    return opacity;
}

QPoint Game_Shooting_Sprite::takePosition()
{
    const QPoint was = position;
    position += QPoint(qRound(velocity[0]), qRound(velocity[1]));
    return was;
}
