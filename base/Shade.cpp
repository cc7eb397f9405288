#include "base/Shade.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace
{
// Wide enough for the window in one pass, short enough to cost little memory.
const int StripWidth = 1024;
const int StripHeight = 64;

const QImage &strip()
{
    static const QImage picture = [] {
        QImage black(StripWidth, StripHeight, QImage::Format_RGB32);
        black.fill(Qt::black);
        return black;
    }();
    return picture;
}
} // namespace

void Shade::draw(QPainter *painter, const QRectF &rect, int alpha)
{
    draw(painter, rect, std::clamp(alpha, 0, 255) / 255.0);
}

void Shade::draw(QPainter *painter, const QRectF &rect, qreal opacity)
{
    if (opacity <= 0 || rect.isEmpty())
        return;
    const QImage &black = strip();
    painter->save();
    painter->setOpacity(painter->opacity() * std::min<qreal>(opacity, 1.0));
    // Under a scale (full screen, a high-density screen) the strip would be scaled as it is
    // blended, several times the cost: the rectangle is shaded in the device's own pixels.
    QRectF area = rect;
    const QTransform toDevice = painter->deviceTransform();
    if (toDevice.type() == QTransform::TxScale && toDevice.m11() > 0 && toDevice.m22() > 0) {
        area = toDevice.mapRect(rect);
        painter->setWorldTransform(toDevice.inverted() * painter->worldTransform());
    }
    shadeStrips(painter, area, black);
    painter->restore();
}

void Shade::shadeStrips(QPainter *painter, const QRectF &rect, const QImage &black)
{
    // Whole pieces of the strip, one to one, so nothing is scaled; the last row and column of
    // pieces are cut to the rectangle through their source rectangles.
    for (qreal y = rect.top(); y < rect.bottom(); y += StripHeight) {
        const qreal h = std::min<qreal>(StripHeight, rect.bottom() - y);
        for (qreal x = rect.left(); x < rect.right(); x += StripWidth) {
            const qreal w = std::min<qreal>(StripWidth, rect.right() - x);
            painter->drawImage(QRectF(x, y, w, h), black, QRectF(0, 0, w, h));
        }
    }
}
