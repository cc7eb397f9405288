#include "games/frame/Game_KeyBadge.h"

#include <QFont>
#include <QPainter>

void Game_KeyBadge::draw(QPainter *painter, const QPointF &centre, const QString &label,
                         const QFont &font)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(QColor(0x2b, 0x1d, 0x2e), 2));
    painter->setBrush(QColor(0xff, 0xd2, 0x3f));
    painter->drawEllipse(centre, Radius, Radius);
    QFont small = font;
    small.setPointSize(12);
    painter->setFont(small);
    painter->drawText(QRectF(centre.x() - Radius, centre.y() - Radius, 2 * Radius, 2 * Radius),
                      Qt::AlignCenter, label);
    painter->restore();
}

QString Game_KeyBadge::label(int n)
{
    return QString::number((n + 1) % 10);
}

int Game_KeyBadge::choiceOfKey(int key)
{
    if (key == Qt::Key_0)
        return 9;
    return key >= Qt::Key_1 && key <= Qt::Key_9 ? key - Qt::Key_1 : -1;
}
