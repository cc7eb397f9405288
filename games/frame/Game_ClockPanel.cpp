#include "games/frame/Game_ClockPanel.h"

#include "base/Game_GlyphCache.h"

#include <QPainter>

void Game_ClockPanel::drawPicture(QPainter *painter, const QImage &picture, const QPointF &at,
                                  const QFont &font)
{
    painter->drawImage(at, picture);
    QFont big = font;
    big.setPointSize(PointSize);
    painter->setFont(big);
}

void Game_ClockPanel::draw(QPainter *painter, const QImage &picture, const QPointF &at,
                           const QFont &font, const QRectF &textRect, int flags,
                           const QString &text)
{
    drawPicture(painter, picture, at, font);
    Game_GlyphCache::drawText(painter, textRect, flags, text);
}
