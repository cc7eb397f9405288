// artc: renders every picture listed in the art contract and writes the resource collection
// (.qrc) that rcc packs into resuorce.rcc. Fails when a listed picture is missing, cannot be
// rendered or comes out at another size than the contract states.
#include "draw/Drawers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTextStream>
#include <cstdio>

std::map<QString, Drawer> &drawers()
{
    static std::map<QString, Drawer> table;
    return table;
}

static QString injectDefs(const QString &svgText, const QString &defs)
{
    if (defs.isEmpty())
        return svgText;
    static const QRegularExpression root("<svg\\b[^>]*>");
    const QRegularExpressionMatch m = root.match(svgText);
    if (!m.hasMatch())
        return svgText;
    QString out = svgText;
    out.insert(m.capturedEnd(), QStringLiteral("<defs>") + defs + QStringLiteral("</defs>"));
    return out;
}

QImage renderSvgText(const QString &svgText, const QSize &size, const DrawContext &ctx,
                     const QString &elementId)
{
    QSvgRenderer renderer(injectDefs(svgText, ctx.sharedDefs).toUtf8());
    if (!renderer.isValid())
        return QImage();
    if (!elementId.isEmpty() && !renderer.elementExists(elementId))
        return QImage();
    QImage image(size * ctx.scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ctx.scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (elementId.isEmpty())
        renderer.render(&painter, QRectF(QPointF(0, 0), size));
    else
        renderer.render(&painter, elementId, QRectF(QPointF(0, 0), size));
    painter.end();
    return image;
}

// Collects the <defs> content of every file in art/shared, so pictures can <use> the cast.
static QString loadSharedDefs(const QString &assetsDir)
{
    QString defs;
    QDir shared(assetsDir + QStringLiteral("/art/shared"));
    const QStringList files = shared.entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
    static const QRegularExpression block("<defs\\b[^>]*>(.*)</defs>",
                                          QRegularExpression::DotMatchesEverythingOption);
    for (const QString &name : files) {
        QFile f(shared.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        // Comments go first, so a comment that mentions the defs tag cannot widen the match.
        static const QRegularExpression comment("<!--.*?-->",
                                                QRegularExpression::DotMatchesEverythingOption);
        const QString text = QString::fromUtf8(f.readAll()).remove(comment);
        const QRegularExpressionMatch m = block.match(text);
        if (m.hasMatch())
            defs += m.captured(1);
    }
    return defs;
}

static bool fail(const QString &message)
{
    std::fprintf(stderr, "artc: %s\n", qPrintable(message));
    return false;
}

static QImage renderEntry(const QString &source, const QSize &size, const DrawContext &ctx,
                          QString *error)
{
    if (source.startsWith(QLatin1String("svg:"))) {
        QString file = source.mid(4);
        QString element;
        const int hash = file.indexOf(QLatin1Char('#'));
        if (hash >= 0) {
            element = file.mid(hash + 1);
            file = file.left(hash);
        }
        QFile f(ctx.assetsDir + QStringLiteral("/art/") + file);
        if (!f.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("missing source art/%1").arg(file);
            return QImage();
        }
        QImage image = renderSvgText(QString::fromUtf8(f.readAll()), size, ctx, element);
        if (image.isNull())
            *error = QStringLiteral("cannot render art/%1 %2").arg(file, element);
        return image;
    }
    if (source.startsWith(QLatin1String("code:"))) {
        const QString spec = source.mid(5);
        const int colon = spec.indexOf(QLatin1Char(':'));
        const QString name = colon >= 0 ? spec.left(colon) : spec;
        const QString arg = colon >= 0 ? spec.mid(colon + 1) : QString();
        auto it = drawers().find(name);
        if (it == drawers().end()) {
            *error = QStringLiteral("no drawer named %1").arg(name);
            return QImage();
        }
        QImage image = it->second(size, arg, ctx);
        if (image.isNull())
            *error = QStringLiteral("drawer %1 failed for %2").arg(name, arg);
        return image;
    }
    *error = QStringLiteral("unknown source kind %1").arg(source);
    return QImage();
}

// Renders one picture the contract lists ("alias WxH source") to outDir and adds it to qrc.
static bool renderContractLine(const QString &line, int lineNo, const DrawContext &ctx,
                               const QString &outDir, QString *qrc)
{
    static const QRegularExpression sizeRe("^(\\d+)x(\\d+)$");
    const QStringList fields = line.split(QRegularExpression("\\s+"));
    const QRegularExpressionMatch sm = sizeRe.match(fields.value(1));
    if (fields.size() < 3 || !sm.hasMatch())
        return fail(QStringLiteral("contract line %1 is malformed: %2").arg(lineNo).arg(line));
    const QString alias = fields[0];
    const QSize units(sm.captured(1).toInt(), sm.captured(2).toInt());
    const QSize size = units * ctx.scale;
    QString error;
    const QImage image = renderEntry(fields[2], units, ctx, &error);
    if (image.isNull())
        return fail(QStringLiteral("%1: %2").arg(alias, error));
    if (image.size() != size)
        return fail(QStringLiteral("%1: drawn %2x%3, contract says %4x%5")
                        .arg(alias)
                        .arg(image.width())
                        .arg(image.height())
                        .arg(size.width())
                        .arg(size.height()));
    const QString png = outDir + QLatin1Char('/') + alias + QStringLiteral(".png");
    QDir().mkpath(QFileInfo(png).absolutePath());
    if (!image.save(png, "PNG"))
        return fail(QStringLiteral("cannot write %1").arg(png));
    *qrc += QStringLiteral("  <file alias=\"%1\">%2</file>\n").arg(alias, png);
    return true;
}

// The game's font, whose family names the texts, and the card face for ranks on cards.
static bool loadFonts(const QString &fontPath, DrawContext *ctx)
{
    const int fontId = QFontDatabase::addApplicationFont(fontPath);
    if (fontId < 0)
        return fail(QStringLiteral("cannot load font %1").arg(fontPath));
    ctx->fontFamily = QFontDatabase::applicationFontFamilies(fontId).value(0);
    // Card ranks, on the card sheet and wherever a picture shows a card, are set in a plain face.
    const QString cardFont = ctx->assetsDir + QStringLiteral("/font/cards.ttf");
    if (QFontDatabase::addApplicationFont(cardFont) < 0)
        return fail(QStringLiteral("cannot load font %1").arg(cardFont));
    return true;
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: artc CONTRACT ASSETS_DIR FONT OUT_DIR [SCALE]\n");
        return 2;
    }
    // With a scale of 2 every picture is rendered at twice its size for high-density screens,
    // under the same names and without the font: the vector art and the drawers alike, which
    // paint in the contract's units on a picture of twice the pixels.
    const int scale = argc == 6 ? QString::fromLocal8Bit(argv[5]).toInt() : 1;
    if (scale < 1 || scale > 4) {
        std::fprintf(stderr, "artc: scale must be 1 to 4\n");
        return 2;
    }
    const QString contractPath = QString::fromLocal8Bit(argv[1]);
    DrawContext ctx;
    ctx.assetsDir = QString::fromLocal8Bit(argv[2]);
    ctx.scale = scale;
    const QString fontPath = QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath();
    const QString outDir = QString::fromLocal8Bit(argv[4]);

    if (!loadFonts(fontPath, &ctx))
        return 1;
    ctx.sharedDefs = loadSharedDefs(ctx.assetsDir);

    QFile contract(contractPath);
    if (!contract.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read %1").arg(contractPath)) ? 0 : 1;

    QString qrc = QStringLiteral("<RCC>\n<qresource prefix=\"/\">\n");
    if (scale == 1)
        qrc += QStringLiteral("  <file alias=\"font/tanuki\">%1</file>\n").arg(fontPath);
    int count = 0;
    bool ok = true;
    QTextStream in(&contract);
    for (int lineNo = 1; !in.atEnd(); ++lineNo) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (renderContractLine(line, lineNo, ctx, outDir, &qrc))
            ++count;
        else
            ok = false;
    }
    qrc += QStringLiteral("</qresource>\n</RCC>\n");
    if (!ok)
        return 1;

    QFile out(outDir + QStringLiteral("/resources.qrc"));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(QStringLiteral("cannot write the resource collection")) ? 0 : 1;
    out.write(qrc.toUtf8());
    std::printf("artc: %d pictures rendered\n", count);
    return 0;
}
