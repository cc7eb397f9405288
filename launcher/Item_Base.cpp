#include "launcher/Item_Base.h"

#include <QPainterPath>

Item_Base::Item_Base(int x, int y, QGraphicsItem *parent) : QGraphicsObject(parent)
{
    setPos(x, y);
    // Selectable makes the default press handling accept the press, so the item grabs the
    // mouse and receives the release that screens act on.
    setFlag(ItemIsMovable, true);
    setFlag(ItemIsSelectable, true);
    setFlag(ItemIsFocusable, true);
    setAcceptHoverEvents(true);
}

QRectF Item_Base::boundingRect() const
{
    return QRectF(0, 0, width, height);
}

QPainterPath Item_Base::opaqueArea() const
{
    QPainterPath area;
    const QRectF rect = opaqueRect();
    if (!rect.isEmpty())
        area.addRect(rect);
    return area;
}
