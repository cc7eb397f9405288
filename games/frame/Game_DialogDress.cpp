#include "games/frame/Game_DialogDress.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace
{
const QColor Ink(0x2b, 0x1d, 0x2e);
const QColor Gold(0xff, 0xd2, 0x3f);

// The card reaches past the band and the plates at the sides and holds the hint line under them.
QRectF cardRect(const Game_DialogDress::Layout &l)
{
    const QRectF across = l.title.united(l.left).united(l.right.isEmpty() ? l.left : l.right);
    return QRectF(QPointF(across.left() - 20, l.title.top() - 18),
                  QPointF(across.right() + 20, l.hint.top() + 34));
}

QLinearGradient downward(const QRectF &r, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// A rounded shape in the panels' manner: an ink shadow below it, a fill running from top to
// bottom and an ink outline.
void slab(QPainter *p, const QRectF &r, qreal radius, const QColor &top, const QColor &bottom,
          qreal outline, const QPointF &shadow)
{
    p->setPen(Qt::NoPen);
    p->setBrush(QColor(Ink.red(), Ink.green(), Ink.blue(), 115));
    p->drawRoundedRect(r.translated(shadow), radius, radius);
    p->setBrush(downward(r, top, bottom));
    p->setPen(QPen(Ink, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p->drawRoundedRect(r, radius, radius);
}

// The plates are dark enough behind the white text to keep it well above 4.5 : 1 in contrast;
// the lit one turns parade red inside a gold ring. They reach 2 px past the button's sides, so
// that a 24-point "メニューに戻る" keeps clear of the round ends.
void plate(QPainter *p, const QRectF &button, bool lit)
{
    const QRectF r = button.adjusted(-2, 3, 2, -3);
    const qreal radius = r.height() / 2;
    if (lit) {
        p->setPen(QPen(Gold, 4));
        p->setBrush(Qt::NoBrush);
        p->drawRoundedRect(r.adjusted(-5, -5, 5, 5), radius + 5, radius + 5);
        slab(p, r, radius, QColor(0xd8, 0x33, 0x4d), QColor(0xa0, 0x18, 0x2e), 4, {0, 4});
    } else {
        slab(p, r, radius, QColor(0x6e, 0x3a, 0x80), QColor(0x4a, 0x28, 0x62), 4, {0, 4});
    }
}
} // namespace

QRect Game_DialogDress::area(const Layout &layout)
{
    return cardRect(layout).adjusted(-4, -4, 8, 8).toAlignedRect();
}

void Game_DialogDress::draw(QPainter *painter, const Layout &layout, Lit lit)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF card = cardRect(layout);
    slab(painter, card, 22, QColor(0x5a, 0x34, 0x78), QColor(0x3a, 0x20, 0x50), 4, {4, 5});
    painter->setPen(QPen(Gold, 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(card.adjusted(6, 6, -6, -6), 16, 16);

    // The band fills its place but for 1 px, so that a descender (the y and g of an English
    // title) keeps clear of its rim.
    const QRectF band = layout.title.adjusted(0, 1, 0, -1);
    slab(painter, band, band.height() / 2, QColor(0xd2, 0x30, 0x4a), QColor(0xa8, 0x1a, 0x30), 3,
         {0, 3});
    painter->setPen(QPen(Gold, 2));
    painter->drawLine(QPointF(band.left() + 26, layout.title.bottom() + 5),
                      QPointF(band.right() - 26, layout.title.bottom() + 5));

    plate(painter, layout.left, lit == Lit::Left);
    if (!layout.right.isEmpty())
        plate(painter, layout.right, lit == Lit::Right);
    painter->restore();
}
