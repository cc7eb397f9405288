#include "games/shooting/Game_Shooting_Sprite.h"

#include "base/Clock.h"
#include "base/Random.h"
#include "base/Picture.h"

#include <QHash>
#include <QImage>

#include <QString>
#include <QtMath>

Game_Shooting_Sprite::Game_Shooting_Sprite(double fadeStep) : fadeStep(fadeStep)
{
    position = new QPoint(0, 0);
    velocity = new float[2]{0, 0};
}

Game_Shooting_Sprite::~Game_Shooting_Sprite()
{
    delete position;
    position = nullptr;
    delete[] velocity;
    velocity = nullptr;
}

void Game_Shooting_Sprite::seedFromClock()
{
    Random::seed(Clock::currentTime().toString(QStringLiteral("mmssszzz")).toInt());
}

bool Game_Shooting_Sprite::loadPicture(QImage &image, const QString &path)
{
    static QHash<QString, QImage> decoded;
    // The double-size set, once on, is kept apart from the pictures decoded before.
    const QString key = Picture::isDoubleSize() ? QStringLiteral("x2") + path : path;
    auto it = decoded.constFind(key);
    if (it == decoded.constEnd()) {
        QImage fresh;
        if (!Picture::load(fresh, path)) {
            image = QImage();
            return false;
        }
        it = decoded.insert(key, fresh);
    }
    image = *it;
    return true;
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
    *position = QPoint(x, y);
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
    const QPoint was = *position;
    *position += QPoint(qRound(velocity[0]), qRound(velocity[1]));
    return was;
}
