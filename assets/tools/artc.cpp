// artc: renders every picture listed in the art contract and writes the resource collection
// (.qrc) that rcc packs into resuorce.rcc. Fails when a listed picture is missing, cannot be
// rendered or comes out at another size than the contract states.
//
// Each text table assets/art/text/<language>.txt gives a language's pictures: a picture the
// contract marks "ja+<language>" is rendered again with the table's texts and packed under the
// same path in a <qresource lang="<language>"> block, which Qt serves when the default locale
// has that language; the Japanese pictures are the base, served to every other locale. At a
// scale of 1 the tool also renders each "neutral" picture in every language and fails when it
// comes out different, when a marked one comes out the same, when a Japanese text has no entry
// in a table, or when an entry is no longer drawn anywhere.
#include "TextTable.h"
#include "draw/Drawers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <QTextStream>
#include <algorithm>
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
        QImage image = renderSvgText(translated(ctx, QString::fromUtf8(f.readAll()), file), size,
                                     ctx, element);
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

// A language's pictures: its drawing context and the .qrc block of the pictures it redraws.
struct Language {
    TextTable table;
    DrawContext ctx;
    QString qrc;
    int pictures = 0;
};

static bool savePicture(const QImage &image, const QString &alias, const QString &outDir,
                        QString *qrc)
{
    const QString png = outDir + QLatin1Char('/') + alias + QStringLiteral(".png");
    QDir().mkpath(QFileInfo(png).absolutePath());
    if (!image.save(png, "PNG"))
        return fail(QStringLiteral("cannot write %1").arg(png));
    *qrc += QStringLiteral("  <file alias=\"%1\">%2</file>\n").arg(alias, png);
    return true;
}

// One picture of the contract: "alias WxH source languages [what it shows]".
struct Listed {
    QString alias;
    QSize units;
    QString source;
    QString marks;
    QStringList languages; // those drawn apart from Japanese
};

static bool parseLine(const QString &line, int lineNo, Listed *listed)
{
    static const QRegularExpression sizeRe("^(\\d+)x(\\d+)$");
    static const QRegularExpression marksRe("^neutral$|^ja(\\+[a-z]+)+$");
    const QStringList fields = line.split(QRegularExpression("\\s+"));
    const QRegularExpressionMatch sm = sizeRe.match(fields.value(1));
    if (fields.size() < 4 || !sm.hasMatch() || !marksRe.match(fields[3]).hasMatch())
        return fail(QStringLiteral("contract line %1 is malformed: %2").arg(lineNo).arg(line));
    *listed = {fields[0], QSize(sm.captured(1).toInt(), sm.captured(2).toInt()), fields[2],
               fields[3], fields[3].split(QLatin1Char('+')).mid(1)};
    return true;
}

// Renders a listed picture in ctx's language, at the contract's size times ctx.scale.
static bool render(const Listed &listed, const DrawContext &ctx, QImage *image)
{
    QString error;
    *image = renderEntry(listed.source, listed.units, ctx, &error);
    if (image->isNull())
        return fail(QStringLiteral("%1: %2").arg(listed.alias, error));
    const QSize size = listed.units * ctx.scale;
    if (image->size() != size)
        return fail(QStringLiteral("%1: drawn %2x%3, contract says %4x%5")
                        .arg(listed.alias)
                        .arg(image->width())
                        .arg(image->height())
                        .arg(size.width())
                        .arg(size.height()));
    return true;
}

// Whether two renderings show the same picture: no pixel apart by more than a text edge's
// shading, which varies with the glyphs the painter has cached from earlier pictures.
static bool drawnAlike(const QImage &one, const QImage &other)
{
    const QImage a = one.convertToFormat(QImage::Format_ARGB32);
    const QImage b = other.convertToFormat(QImage::Format_ARGB32);
    if (a.size() != b.size())
        return false;
    const auto apart = [](QRgb p, QRgb q) {
        return std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                         std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
    };
    for (int y = 0; y < a.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *q = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if (apart(p[x], q[x]) > 48)
                return false;
    }
    return true;
}

// Renders a picture again in l's language where the contract gives it one, and at a scale of 1
// also where it does not, to check the contract's mark against the Japanese picture.
static bool renderVariant(const Listed &listed, Language &l, const QString &outDir)
{
    const QString lang = l.table.language();
    const bool own = listed.languages.contains(lang);
    // The double-size set trusts the marks the single-size run has checked.
    if (!own && l.ctx.scale > 1)
        return true;
    QImage variant;
    if (!render(listed, l.ctx, &variant))
        return false;
    const bool same =
        l.ctx.scale == 1 &&
        drawnAlike(variant, QImage(outDir + QLatin1Char('/') + listed.alias + ".png"));
    if (own && same)
        return fail(QStringLiteral("%1: marked %2 but drawn the same in %3; mark it neutral")
                        .arg(listed.alias, listed.marks, lang));
    if (!own && !same)
        return fail(QStringLiteral("%1: draws a text of the %2 table; mark it ja+%2")
                        .arg(listed.alias, lang));
    if (!own)
        return true;
    ++l.pictures;
    return savePicture(variant, listed.alias, outDir + QLatin1Char('/') + lang, &l.qrc);
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

    QList<Language> languages;
    const QDir tables(ctx.assetsDir + QStringLiteral("/art/text"));
    for (const QString &name :
         tables.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        Language l;
        QString error;
        if (!l.table.load(tables.filePath(name), &error))
            return fail(error) ? 0 : 1;
        languages.append(l);
    }
    // Each language's context reaches its own table once the list no longer moves.
    for (Language &l : languages) {
        l.ctx = ctx;
        l.ctx.language = l.table.language();
        const TextTable *table = &l.table;
        l.ctx.translate = [table](const QString &svg, const QString &file) {
            return table->translate(svg, file);
        };
        l.ctx.sharedDefs = table->translate(ctx.sharedDefs, QString());
    }

    QFile contract(contractPath);
    if (!contract.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read %1").arg(contractPath)) ? 0 : 1;

    QString qrc = QStringLiteral("<RCC>\n<qresource prefix=\"/\">\n");
    if (scale == 1)
        qrc += QStringLiteral("  <file alias=\"font/tanuki\">%1</file>\n").arg(fontPath);
    int count = 0;
    bool ok = true;
    QList<Listed> listed;
    QTextStream in(&contract);
    for (int lineNo = 1; !in.atEnd(); ++lineNo) {
        const QString line = in.readLine().trimmed();
        Listed one;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (!parseLine(line, lineNo, &one)) {
            ok = false;
            continue;
        }
        for (const QString &lang : one.languages)
            if (std::none_of(languages.begin(), languages.end(),
                             [&](const Language &l) { return l.table.language() == lang; }))
                ok = fail(QStringLiteral("%1: no text table for %2").arg(one.alias, lang));
        listed.append(one);
    }
    // Every Japanese picture first, in the contract's order: the glyphs the painter has cached
    // from earlier pictures shade a text's edge, so the base pictures come out as they always
    // have only when nothing is drawn between them.
    QSet<QString> drawn;
    for (const Listed &one : listed) {
        QImage image;
        if (render(one, ctx, &image) && savePicture(image, one.alias, outDir, &qrc)) {
            drawn.insert(one.alias);
            ++count;
        } else {
            ok = false;
        }
    }
    for (Language &l : languages)
        for (const Listed &one : listed)
            if (drawn.contains(one.alias) && !renderVariant(one, l, outDir))
                ok = false;
    qrc += QStringLiteral("</qresource>\n");
    for (const Language &l : languages) {
        qrc += QStringLiteral("<qresource prefix=\"/\" lang=\"%1\">\n%2</qresource>\n")
                   .arg(l.table.language(), l.qrc);
        for (const QString &text : l.table.missing())
            ok = fail(QStringLiteral("no %1 text in art/text/%1.txt for %2")
                          .arg(l.table.language(), text));
        // A contract that gives pictures in the language (not the desktop icons') draws them all.
        if (scale == 1 && l.pictures > 0)
            for (const QString &entry : l.table.unused())
                ok = fail(QStringLiteral("art/text/%1.txt %2 is drawn by no picture")
                              .arg(l.table.language(), entry));
    }
    qrc += QStringLiteral("</RCC>\n");
    if (!ok)
        return 1;

    QFile out(outDir + QStringLiteral("/resources.qrc"));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(QStringLiteral("cannot write the resource collection")) ? 0 : 1;
    out.write(qrc.toUtf8());
    std::printf("artc: %d pictures rendered", count);
    for (const Language &l : languages)
        std::printf(", %d of them again in %s (%d texts)", l.pictures,
                    qPrintable(l.table.language()), l.table.size());
    std::printf("\n");
    return 0;
}
