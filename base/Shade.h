#pragma once
// Lays see-through black over a rectangle: the dim behind a dialog, the black of a fade.
// The raster painter blends a solid translucent colour over a whole window at several times the
// cost of blending a picture at the same opacity, so the shade is a strip of black picture drawn
// down the rectangle at the wanted opacity.
#include <QRectF>

class QImage;

class QPainter;

class Shade
{
public:
    // alpha: 0 leaves the rectangle as it is, 255 makes it black.
    static void draw(QPainter *painter, const QRectF &rect, int alpha);
    // opacity: 0.0 to 1.0, the painter's own scale.
    static void draw(QPainter *painter, const QRectF &rect, qreal opacity);

private:
    static void shadeStrips(QPainter *painter, const QRectF &rect, const QImage &black);
};
