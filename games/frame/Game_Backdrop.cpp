#include "games/frame/Game_Backdrop.h"

#include "base/Picture.h"

#include <QPaintDevice>
#include <QPainter>

bool Game_Backdrop::copiesPixelForPixel(const QPainter *painter, const QRectF &rect)
{
    // Below full opacity the picture would fade as one layer, where painting straight fades
    // each thing drawn on its own.
    return Picture::isPixelExact(painter) && rect == QRectF(rect.toRect());
}

void Game_Backdrop::draw(QPainter *painter, const QRectF &rect, size_t key,
                         const Painter &paintScreen)
{
    if (rect.isEmpty())
        return;
    if (!copiesPixelForPixel(painter, rect)) {
        if (!drawAtDeviceSize(painter, rect, key, paintScreen))
            paintScreen(painter);
        return;
    }
    if (!holds(key, rect, QTransform()))
        keep(painter, rect.size().toSize(), QTransform::fromTranslate(-rect.left(), -rect.top()),
             QRectF(), key, rect, QTransform(), paintScreen);
    painter->drawImage(rect.topLeft(), picture);
}

bool Game_Backdrop::drawAtDeviceSize(QPainter *painter, const QRectF &rect, size_t key,
                                     const Painter &paintScreen)
{
    // A full screen scales the scene: the picture is then kept at the size it covers on the
    // device, painted through the same transform moved by whole pixels, so it holds exactly the
    // pixels painting straight would give and every later frame is one unscaled copy.
    const QTransform t = painter->combinedTransform();
    const QPaintDevice *device = painter->device();
    if (t.type() > QTransform::TxScale || t.m11() <= 0 || t.m22() <= 0 ||
        painter->opacity() != 1.0 || !device || device->devicePixelRatioF() != 1.0 ||
        painter->compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    const QRect pixels = t.mapRect(rect).toAlignedRect();
    if (!holds(key, rect, t))
        keep(painter, pixels.size(), t * QTransform::fromTranslate(-pixels.left(), -pixels.top()),
             rect, key, rect, t, paintScreen);
    painter->save();
    painter->resetTransform();
    painter->drawImage(pixels.topLeft(), picture);
    painter->restore();
    return true;
}

bool Game_Backdrop::holds(size_t key, const QRectF &rect, const QTransform &transform) const
{
    return !picture.isNull() && key == pictureKey && rect == pictureRect &&
           transform == pictureTransform;
}

void Game_Backdrop::keep(const QPainter *painter, const QSize &size, const QTransform &placement,
                         const QRectF &clip, size_t key, const QRectF &rect,
                         const QTransform &transform, const Painter &paintScreen)
{
    if (picture.size() != size)
        picture = QImage(size, QImage::Format_ARGB32_Premultiplied);
    // Text in the picture keeps the size it has on the screen.
    if (const QPaintDevice *device = painter->device()) {
        picture.setDotsPerMeterX(qRound(device->logicalDpiX() / 0.0254));
        picture.setDotsPerMeterY(qRound(device->logicalDpiY() / 0.0254));
    }
    picture.fill(Qt::transparent);
    QPainter into(&picture);
    into.setRenderHints(painter->renderHints());
    into.setFont(painter->font());
    into.setPen(painter->pen());
    into.setBrush(painter->brush());
    into.setTransform(placement);
    if (!clip.isNull())
        into.setClipRect(clip);
    paintScreen(&into);
    into.end();
    pictureKey = key;
    pictureRect = rect;
    pictureTransform = transform;
    ++paints;
}

void Game_Backdrop::clear()
{
    picture = QImage();
}
