#include "InkOffPaper.h"

#include "GameHarness.h"

#include <QPainter>

void showOnScorePanel(Game_Score &score, int v)
{
    score.resetScore();
    score.setBest(v);
    score.addBaseScore(v);
    score.setScore(0);
}

QString inkOffPaper(const QGraphicsItem &game, const QImage &a, const QImage &b, const QRect &area,
                    const QString &panel, QPoint at)
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

int dialogInkShown(Game_Base &game, const QImage &shown, const QStringList &texts,
                   const QRect &area, int light, int (*level)(QRgb))
{
    QImage reference(shown.size(), shown.format());
    reference.fill(Qt::black);
    QPainter p(&reference);
    game.drawDialog(&p, texts.value(0), texts.value(1), texts.value(2));
    int text = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qRed(reference.pixel(x, y)) > 250 && ++text && level(shown.pixel(x, y)) <= light)
                return -1;
    return text;
}

QString inkOffPanels(QGraphicsItem &game, std::initializer_list<InkPanel> panels)
{
    // the texts drawn in the painter's pen come out in it
    const auto painted = [&game](const QColor &pen) {
        return GameHarness::paint(game, QSize(1024, 576), Qt::white, pen);
    };
    const QImage black = painted(Qt::black), white = painted(Qt::white);
    for (const InkPanel &p : panels)
        if (const QString why = inkOffPaper(game, black, white, p.area, p.picture, p.at);
            !why.isEmpty())
            return why;
    return QString();
}
