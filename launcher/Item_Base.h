#pragma once
// Base of every screen and of some pieces drawn on a screen: a graphics object with an
// integer-sized bounding rectangle starting at its origin.
#include <QGraphicsObject>
#include <QPainterPath>

class Item_Base : public QGraphicsObject
{
    Q_OBJECT
public:
    Item_Base(int x, int y, QGraphicsItem *parent);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget) override = 0;
    QRectF boundingRect() const override;
    // The opaque part of the item as opaqueRect() gives it.
    QPainterPath opaqueArea() const override;
    // The part of the item that its current frame paints with opaque pixels: none unless a screen
    // says so. The scene skips its own background where a screen hides it.
    virtual QRectF opaqueRect() const { return QRectF(); }

    void setWidth(int w) { width = w; }
    int getWidth() const { return width; }
    void setHeight(int h) { height = h; }
    int getHeight() const { return height; }

private:
    int width = 100;
    int height = 100;
};
