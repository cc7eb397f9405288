#pragma once
// A picture laid over a play field (a cabinet front, curtains): under a painter that copies
// pixels one to one only its inked parts are drawn, so its open middle costs nothing; any other
// painter draws it whole at its size on the device.
#include <QImage>
#include <QString>
#include <QVector>

class QPainter;

class Game_Overlay
{
public:
    // With keepOpenParts, load also finds where the picture lets what lies under it show.
    explicit Game_Overlay(bool keepOpenParts = false) : keepOpen(keepOpenParts) {}

    // Loads path, printing failureMessage when that fails (the overlay is then empty).
    void load(const QString &path, const QString &failureMessage);
    // Draws the overlay with its top-left corner at the item's origin.
    void draw(QPainter *painter) const;

    const QImage &image() const { return picture; }
    // The parts of the picture's rectangle where it is not opaque (Picture::seeThroughRects);
    // empty unless the overlay keeps them.
    const QVector<QRect> &openParts() const { return open; }

private:
    bool keepOpen;
    QImage picture;
    QVector<QRect> ink;
    QVector<QRect> open;
};
