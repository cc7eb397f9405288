// The story pages: "code:story:<story>/<page>" renders the scene art/story/<story><page>.svg and
// draws the text box with that page's lines from story/<story>.txt in the game's font, so the
// texts stay in one reviewable file per story and the pictures follow them. A language's pages
// take their lines from story/<language>/<story>.txt, page for page, and the scene's own
// texts (a sign, a drum's sound) from the language's text table.
#include "Drawers.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QStringList>

namespace
{

// Pages are blocks separated by blank lines; each line of a block is one line in the box.
QList<QStringList> readPages(const QString &path)
{
    QList<QStringList> pages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return pages;
    QStringList current;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('#')))
            continue;
        if (line.isEmpty()) {
            if (!current.isEmpty())
                pages << current;
            current.clear();
            continue;
        }
        current << line;
    }
    if (!current.isEmpty())
        pages << current;
    return pages;
}

// The story-only props (backdrops, drum, flag, float ...) join the shared cast and look.
QString readPropDefs(const QString &assetsDir)
{
    QFile file(assetsDir + QStringLiteral("/art/story/props.svg"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    static const QRegularExpression block("<defs\\b[^>]*>(.*)</defs>",
                                          QRegularExpression::DotMatchesEverythingOption);
    return block.match(QString::fromUtf8(file.readAll())).captured(1);
}

// The box sits low on the page and leaves the upper three quarters to the scene.
void drawTextBox(QPainter &p, const QSize &size, const QStringList &lines, const QString &family)
{
    const qreal margin = 36;
    const qreal boxHeight = 138;
    const QRectF box(margin, size.height() - boxHeight - 22, size.width() - 2 * margin, boxHeight);

    QPainterPath shape;
    shape.addRoundedRect(box, 22, 22);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 22, 60, 90));
    p.drawPath(shape.translated(0, 6));

    // A plum frame with a gold rim around a paper field, like the game's panels.
    QLinearGradient frame(box.topLeft(), box.bottomLeft());
    frame.setColorAt(0, QColor(0x5a, 0x34, 0x78));
    frame.setColorAt(1, QColor(0x3a, 0x20, 0x50));
    p.setBrush(frame);
    p.setPen(QPen(QColor(0x2b, 0x1d, 0x2e), 5));
    p.drawPath(shape);
    const QRectF field = box.adjusted(11, 11, -11, -11);
    QLinearGradient paper(field.topLeft(), field.bottomLeft());
    paper.setColorAt(0, QColor(0xff, 0xfd, 0xf6));
    paper.setColorAt(1, QColor(0xf6, 0xea, 0xd0));
    p.setBrush(paper);
    p.setPen(QPen(QColor(0xff, 0xd2, 0x3f), 3));
    p.drawRoundedRect(field, 14, 14);

    QFont font(family);
    font.setPixelSize(33);
    font.setWeight(QFont::Bold);
    const QFontMetricsF fm(font);
    // Long lines shrink rather than run out of the box.
    const qreal room = field.width() - 2 * 30;
    qreal widest = 0;
    for (const QString &line : lines)
        widest = qMax(widest, fm.horizontalAdvance(line));
    if (widest > room)
        font.setPixelSize(int(33 * room / widest));
    const QFontMetricsF used(font);
    p.setFont(font);
    p.setPen(QColor(0x2b, 0x1d, 0x2e));

    const qreal lineHeight = used.height() * 1.25;
    const qreal textHeight = lineHeight * (lines.size() - 1) + used.height();
    qreal y = field.top() + (field.height() - textHeight) / 2 + used.ascent();
    for (const QString &line : lines) {
        p.drawText(QPointF(field.left() + 30, y), line);
        y += lineHeight;
    }
}

QImage drawStoryPage(const QSize &size, const QString &arg, const DrawContext &ctx)
{
    const int slash = arg.indexOf(QLatin1Char('/'));
    if (slash <= 0)
        return QImage();
    const QString story = arg.left(slash);
    bool ok = false;
    const int page = arg.mid(slash + 1).toInt(&ok);
    const QString folder = ctx.assetsDir + QStringLiteral("/story/");
    const QList<QStringList> pages = readPages(folder + story + QStringLiteral(".txt"));
    if (!ok || page < 0 || page >= pages.size())
        return QImage();
    QList<QStringList> lines = pages;
    if (!ctx.language.isEmpty()) {
        // A language tells the same story: as many pages, each its own text.
        lines =
            readPages(folder + ctx.language + QLatin1Char('/') + story + QStringLiteral(".txt"));
        if (lines.size() != pages.size())
            return QImage();
    }

    const QString sceneFile = QStringLiteral("story/%1%2.svg").arg(story).arg(page);
    QFile scene(ctx.assetsDir + QStringLiteral("/art/") + sceneFile);
    if (!scene.open(QIODevice::ReadOnly))
        return QImage();
    static const QString props = readPropDefs(ctx.assetsDir);
    DrawContext withProps = ctx;
    withProps.sharedDefs += props;
    QImage image = renderSvgText(translated(ctx, QString::fromUtf8(scene.readAll()), sceneFile),
                                 size, withProps);
    if (image.isNull())
        return image;

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawTextBox(p, size, lines[page], ctx.fontFamily);
    p.end();
    return image;
}

DrawerRegistration registration(QStringLiteral("story"), drawStoryPage);

} // namespace
