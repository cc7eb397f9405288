#pragma once
// Draws a short line of text from glyph pictures made once per font, colour and character.
// The games' 50-point clocks are larger than the painter's own glyph cache takes, so drawn as
// text their digits would be filled as outlines on every frame.
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

class Game_GlyphCache
{
public:
    // Like QPainter::drawText(rect, flags, text) for one line, in the painter's font and pen
    // colour.
    static void drawText(QPainter *painter, const QRectF &rect, int flags, const QString &text);
    // Like QPainter::drawText(baseline, text): the line starts at baseline.x() on the baseline.
    static void drawText(QPainter *painter, const QPointF &baseline, const QString &text);
    static void clear();
};
