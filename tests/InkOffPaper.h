#pragma once
// Texts on their panels: two frames of the same play that differ only in the colour of the texts
// differ exactly in the texts' ink, which must lie on the cream field of the panel picture drawn
// for it and inside the window.
#include "games/frame/Game_Score.h"

#include <QGraphicsItem>
#include <QPainter>

// Both lines of the score panel show v, and go on showing it while the play earns nothing.
inline void showOnScorePanel(Game_Score &score, int v)
{
    score.resetScore();
    score.setBest(v);
    score.addBaseScore(v);
    score.setScore(0);
}

// Says where the ink in which a and b differ inside `area` leaves the paper of the panel picture
// drawn at `at`, or the 1020 x 572 window; empty when it stays on it.
inline QString inkOffPaper(const QGraphicsItem &game, const QImage &a, const QImage &b,
                           const QRect &area, const QString &panel, QPoint at)
{
    const QImage paper = QImage(panel).convertToFormat(QImage::Format_ARGB32);
    const QRect window = game.mapRectFromScene(QRectF(0, 0, 1020, 572)).toAlignedRect();
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!a.valid(x, y) || a.pixel(x, y) == b.pixel(x, y))
                continue;
            ++ink;
            const QPoint p = QPoint(x, y) - at;
            const QRgb c = paper.valid(p) ? paper.pixel(p) : 0;
            if (!window.contains(x, y) || qAlpha(c) < 250 || qGray(c) < 215)
                return QStringLiteral("ink at (%1, %2) is off %3").arg(x).arg(y).arg(panel);
        }
    return ink > 0 ? QString() : QStringLiteral("no ink over ") + panel;
}

// A panel whose texts are checked: the part of the frame they may change, its picture and place.
struct InkPanel {
    QRect area;
    QString picture;
    QPoint at;
};

// Paints the play with its texts in black, then in white; says which panel's texts leave it.
inline QString inkOffPanels(QGraphicsItem &game, std::initializer_list<InkPanel> panels)
{
    const auto painted = [&game](const QColor &pen) {
        QImage image(1024, 576, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(pen); // the texts drawn in the painter's pen come out in it
        game.paint(&painter, nullptr, nullptr);
        return image;
    };
    const QImage black = painted(Qt::black), white = painted(Qt::white);
    for (const InkPanel &p : panels)
        if (const QString why = inkOffPaper(game, black, white, p.area, p.picture, p.at);
            !why.isEmpty())
            return why;
    return QString();
}
