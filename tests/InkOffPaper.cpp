#include "InkOffPaper.h"

#include "GameHarness.h"
#include "base/groupDigits.h"

#include <QFontMetricsF>
#include <QPainter>

void showOnScorePanel(Game_Score &score, int v)
{
    score.resetScore();
    score.setBest(v);
    score.addBaseScore(v);
    score.setScore(0);
}

QList<InkText> scorePanelTexts(int best, int score)
{
    return {{12, QRectF(20, 40, 90, 20), Qt::AlignCenter, groupedNumber(best)},
            {12, QRectF(20, 70, 90, 20), Qt::AlignCenter, groupedNumber(score)}};
}

QImage drawnAsDescribed(const QGraphicsItem &game, QSize size, const QList<InkText> &texts,
                        const QTransform &toPage)
{
    QImage page(size, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::transparent);
    QPainter painter(&page);
    painter.setTransform(toPage);
    painter.setPen(Qt::white);
    for (const InkText &t : texts) {
        QFont font = static_cast<const Game_Base &>(game).getFont();
        font.setPointSize(t.pointSize);
        font.setWeight(QFont::Normal);
        painter.setFont(font);
        painter.drawText(t.rect, t.flags, t.text);
    }
    return page;
}

namespace
{
// Where the texts, drawn as described in the game's font family, leave any ink.
QRect inkOf(const QGraphicsItem &game, const QImage &like, const QList<InkText> &texts)
{
    const QImage page = drawnAsDescribed(game, like.size(), texts);
    QRect ink;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qAlpha(page.pixel(x, y)) > 0)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

QString describe(const QRect &r)
{
    return QStringLiteral("(%1, %2, %3 x %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}
} // namespace

QString inkOffPaper(const QGraphicsItem &game, const QImage &a, const QImage &b, const QRect &area,
                    const QString &panel, QPoint at, const QList<InkText> &texts)
{
    const QImage paper = QImage(panel).convertToFormat(QImage::Format_ARGB32);
    const QRect window = game.mapRectFromScene(QRectF(0, 0, 1020, 572)).toAlignedRect();
    int ink = 0;
    QRect inked;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!a.valid(x, y) || a.pixel(x, y) == b.pixel(x, y))
                continue;
            ++ink;
            inked |= QRect(x, y, 1, 1);
            const QPoint p = QPoint(x, y) - at;
            const QRgb c = paper.valid(p) ? paper.pixel(p) : 0;
            if (!window.contains(x, y) || qAlpha(c) < 250 || qGray(c) < 215)
                return QStringLiteral("ink at (%1, %2) is off %3").arg(x).arg(y).arg(panel);
        }
    if (ink == 0)
        return QStringLiteral("no ink over ") + panel;
    if (texts.isEmpty())
        return QString();
    const QRect expected = inkOf(game, a, texts);
    const QPoint from = inked.topLeft() - expected.topLeft(),
                 to = inked.bottomRight() - expected.bottomRight();
    if (qMax(qMax(qAbs(from.x()), qAbs(from.y())), qMax(qAbs(to.x()), qAbs(to.y()))) > 2)
        return QStringLiteral("the texts over %1 ink %2, not %3")
            .arg(panel, describe(inked), describe(expected));
    return QString();
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

QImage ownColourTextLines(QGraphicsItem &item, const QTransform &toPage, QSize size)
{
    const QColor painterPen(1, 2, 3);
    QImage lines(size, QImage::Format_Grayscale8);
    lines.fill(0);
    QImage run(size, QImage::Format_ARGB32_Premultiplied);
    QList<std::pair<int, qreal>> keys; // each line's baseline on the page and point size
    const auto paint = [&item](QPainter &p) { item.paint(&p, nullptr, nullptr); };
    for (const FlatPictures::DrawnText &t : FlatPictures::drawnTexts(paint, painterPen)) {
        if (t.pen == painterPen)
            continue;
        const QTransform to = t.transform * toPage;
        const std::pair<int, qreal> key(qRound(to.map(t.at).y()), t.font.pointSizeF());
        if (!keys.contains(key))
            keys << key;
        const uchar id = uchar(keys.indexOf(key) + 1);
        run.fill(Qt::transparent);
        QPainter p(&run);
        p.setTransform(to);
        p.setFont(t.font);
        p.setPen(Qt::white);
        p.drawText(t.at, t.text);
        p.end();
        const QRectF glyphs = QFontMetricsF(t.font).boundingRect(t.text).translated(t.at);
        const QRect box = to.mapRect(glyphs).toAlignedRect().adjusted(-8, -8, 8, 8) & run.rect();
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                if (qAlpha(run.pixel(x, y)))
                    lines.scanLine(y)[x] = id;
    }
    return lines;
}

QString inkOffPanels(QGraphicsItem &game, std::initializer_list<InkPanel> panels)
{
    // the texts drawn in the painter's pen come out in it
    const auto painted = [&game](const QColor &pen) {
        return GameHarness::paint(game, QSize(1024, 576), Qt::white, pen);
    };
    const QImage black = painted(Qt::black), white = painted(Qt::white);
    for (const InkPanel &p : panels)
        if (const QString why = inkOffPaper(game, black, white, p.area, p.picture, p.at, p.texts);
            !why.isEmpty())
            return why;
    return QString();
}
