#include "games/frame/Game_Backdrop.h"

#include "games/frame/Picture.h"

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
        paintScreen(painter);
        return;
    }
    if (picture.isNull() || key != pictureKey || rect != pictureRect) {
        const QSize size = rect.size().toSize();
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
        into.translate(-rect.topLeft());
        paintScreen(&into);
        into.end();
        pictureKey = key;
        pictureRect = rect;
        ++paints;
    }
    painter->drawImage(rect.topLeft(), picture);
}

void Game_Backdrop::clear()
{
    picture = QImage();
}
