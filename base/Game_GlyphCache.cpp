#include "base/Game_GlyphCache.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <cmath>

namespace
{
struct GlyphKey {
    QString font;
    QRgb colour;
    QChar character;
    bool operator==(const GlyphKey &other) const
    {
        return colour == other.colour && character == other.character && font == other.font;
    }
};

size_t qHash(const GlyphKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.font, key.colour, key.character.unicode());
}

// A glyph picture with room around the advance box for ink that overhangs it.
struct Glyph {
    QImage image;
    int pad = 0;
};

// A few colours of a clock's eleven characters. A fading colour makes new glyphs every frame;
// past this many the cache starts again, so it never holds more than about a megabyte.
constexpr int MaxGlyphs = 48;
// Uncoloured glyphs: a few fonts' digits, colons and signs.
constexpr int MaxMasks = 96;

QHash<GlyphKey, Glyph> &glyphs()
{
    static QHash<GlyphKey, Glyph> cache;
    return cache;
}

QHash<GlyphKey, Glyph> &masks()
{
    static QHash<GlyphKey, Glyph> cache;
    return cache;
}

// The character in opaque white: its ink's coverage, to be coloured without drawing the outline
// again.
const Glyph &maskFor(const QFont &font, QChar character)
{
    const GlyphKey key{font.key(), 0, character};
    auto it = masks().constFind(key);
    if (it != masks().constEnd())
        return *it;
    if (masks().size() >= MaxMasks)
        masks().clear();

    const QFontMetricsF metrics(font);
    Glyph glyph;
    glyph.pad = static_cast<int>(std::ceil(metrics.height() / 8));
    const int width =
        static_cast<int>(std::ceil(metrics.horizontalAdvance(character))) + 2 * glyph.pad;
    const int height = static_cast<int>(std::ceil(metrics.height())) + 2 * glyph.pad;
    glyph.image = QImage(qMax(1, width), qMax(1, height), QImage::Format_ARGB32_Premultiplied);
    glyph.image.fill(Qt::transparent);
    QPainter painter(&glyph.image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(glyph.pad, glyph.pad + metrics.ascent()), QString(character));
    painter.end();
    return *masks().insert(key, glyph);
}

const Glyph &glyphFor(const QFont &font, const QColor &colour, QChar character)
{
    const GlyphKey key{font.key(), colour.rgba(), character};
    auto it = glyphs().constFind(key);
    if (it != glyphs().constEnd())
        return *it;
    if (glyphs().size() >= MaxGlyphs)
        glyphs().clear();

    // White ink at coverage a is (a, a, a, a); the colour at that coverage is the colour
    // premultiplied by a.
    const Glyph &mask = maskFor(font, character);
    Glyph glyph;
    glyph.pad = mask.pad;
    glyph.image = QImage(mask.image.size(), QImage::Format_ARGB32_Premultiplied);
    const QRgb ink = colour.rgba();
    const uint r = qRed(ink), g = qGreen(ink), b = qBlue(ink), alpha = qAlpha(ink);
    for (int y = 0; y < mask.image.height(); ++y) {
        const QRgb *from = reinterpret_cast<const QRgb *>(mask.image.constScanLine(y));
        QRgb *to = reinterpret_cast<QRgb *>(glyph.image.scanLine(y));
        for (int x = 0; x < mask.image.width(); ++x) {
            const uint a = qAlpha(from[x]) * alpha / 255;
            to[x] = qRgba((r * a + 127) / 255, (g * a + 127) / 255, (b * a + 127) / 255, a);
        }
    }
    return *glyphs().insert(key, glyph);
}
} // namespace

void Game_GlyphCache::drawText(QPainter *painter, const QRectF &rect, int flags,
                               const QString &text)
{
    const QFont font = painter->font();
    const QColor colour = painter->pen().color();
    const QFontMetricsF metrics(font);
    const QRectF box = metrics.boundingRect(rect, flags, text);
    double x = std::round(box.left());
    const double top = std::round(box.top());
    for (const QChar character : text) {
        const Glyph &glyph = glyphFor(font, colour, character);
        painter->drawImage(QPointF(std::round(x) - glyph.pad, top - glyph.pad), glyph.image);
        x += metrics.horizontalAdvance(character);
    }
}

void Game_GlyphCache::drawText(QPainter *painter, const QPointF &baseline, const QString &text)
{
    const QFontMetricsF metrics(painter->font());
    const QRectF line(baseline.x(), baseline.y() - metrics.ascent(),
                      metrics.horizontalAdvance(text) + 1, metrics.height());
    drawText(painter, line, Qt::AlignLeft | Qt::AlignTop, text);
}

void Game_GlyphCache::clear()
{
    glyphs().clear();
    masks().clear();
}
