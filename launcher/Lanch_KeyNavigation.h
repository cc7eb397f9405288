#pragma once
// Moves a keyboard focus over a screen's entries: Tab and Shift+Tab go through them in reading
// order, an arrow key to the nearest entry that lies in its direction.
#include <QRectF>
#include <QVector>

class Lanch_KeyNavigation
{
public:
    // The entry the key moves the focus to, from entry `from` (-1: none yet). entries are in
    // reading order; an empty rectangle is an entry that cannot take the focus. Returns from
    // when the key moves nowhere (any key but Tab, Shift+Tab and the arrows), and -1 when no
    // entry can take the focus.
    static int next(const QVector<QRectF> &entries, int from, int key);
};
