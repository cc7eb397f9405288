#include "games/frame/Game_KeyBadge.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>

void Game_KeyBadge::draw(QPainter *painter, const QPointF &centre, const QString &label,
                         const QFont &font)
{
    // A play frame shows up to ten badges: each is drawn once per label and device scale and
    // copied afterwards, as its antialiased ring and text cost far more than the copy.
    const qreal scale = (painter->device() ? painter->device()->devicePixelRatioF() : 1.0) *
                        painter->transform().m11();
    static QHash<QString, QImage> drawn;
    const QString key = label + QLatin1Char('@') + QString::number(scale) + font.family();
    QImage &badge = drawn[key];
    const qreal side = 2 * Radius + 4;
    if (badge.isNull()) {
        badge = QImage((QSizeF(side, side) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
        badge.setDevicePixelRatio(scale);
        badge.fill(Qt::transparent);
        QPainter p(&badge);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x2b, 0x1d, 0x2e), 2));
        p.setBrush(QColor(0xff, 0xd2, 0x3f));
        const QPointF middle(side / 2, side / 2);
        p.drawEllipse(middle, Radius, Radius);
        QFont small = font;
        small.setPointSize(12);
        p.setFont(small);
        p.drawText(QRectF(middle.x() - Radius, middle.y() - Radius, 2 * Radius, 2 * Radius),
                   Qt::AlignCenter, label);
    }
    painter->drawImage(centre - QPointF(side / 2, side / 2), badge);
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
