#pragma once
// What a dialog's texts sit on, so they read over any screen and look like the game's panels:
// a plum card behind the whole dialog, a red band behind the title and a plate behind each of
// the two choices, the one under the pointer lit. Only the dress: the texts are drawn over it.
#include <QRect>
#include <QRectF>

class QPainter;

class Game_DialogDress
{
public:
    enum class Lit { None, Left, Right };

    // The dialog's four text rectangles, as the frame lays them out; an empty right one leaves a
    // dialog of one button.
    struct Layout {
        QRectF title, left, right, hint;
    };

    // Whole pixels the dress covers, its shadow and the lit plate's ring included.
    static QRect area(const Layout &layout);
    static void draw(QPainter *painter, const Layout &layout, Lit lit);
};
