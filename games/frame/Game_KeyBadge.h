#pragma once
// The small round badge that shows which key picks a card or a place: gold with the key's
// label in ink, drawn over the table so a player without a mouse knows what to press.
#include <QPointF>
#include <QString>

class QFont;
class QPainter;

class Game_KeyBadge
{
public:
    static constexpr qreal Radius = 12;

    // The badge centred at centre; the painter's state is left as it was.
    static void draw(QPainter *painter, const QPointF &centre, const QString &label,
                     const QFont &font);
    // The key that picks the n-th of a row of choices (0-based): "1" to "9", then "0".
    static QString label(int n);
    // The choice a number key picks (Qt::Key_1 is 0, ..., Qt::Key_0 is 9), or -1.
    static int choiceOfKey(int key);
};
