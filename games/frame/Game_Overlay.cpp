#include "games/frame/Game_Overlay.h"

#include "base/Picture.h"

#include <QPainter>

void Game_Overlay::load(const QString &path, const QString &failureMessage)
{
    Picture::load(picture, path, failureMessage);
    ink = Picture::inkRects(picture);
    open = keepOpen ? Picture::seeThroughRects(picture) : QVector<QRect>();
}

void Game_Overlay::draw(QPainter *painter) const
{
    if (Picture::isPixelExact(painter)) {
        for (const QRect &part : ink)
            Picture::drawPart(painter, part.topLeft(), picture, part);
    } else {
        Picture::drawAtDeviceSize(painter, QPointF(0, 0), picture);
    }
}
