#pragma once
// The clock panel the timed games share: the clock's picture, then the time in the game's font at
// point size 50, which stays set on the painter for what the frame draws next.
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

class Game_ClockPanel
{
public:
    static constexpr int PointSize = 50;

    // The picture with its top-left corner at at, and the font set on the painter.
    static void drawPicture(QPainter *painter, const QImage &picture, const QPointF &at,
                            const QFont &font);
    // Both, with text drawn into textRect (Qt alignment flags) in the painter's pen.
    static void draw(QPainter *painter, const QImage &picture, const QPointF &at,
                     const QFont &font, const QRectF &textRect, int flags, const QString &text);
};
