#include "games/frame/Picture.h"

#include "app/PicturePrefetch.h"

#include <QDebug>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

bool Picture::load(QImage &image, const QString &path)
{
    if (PicturePrefetch::take(path, image))
        return !image.isNull();
    if (!image.load(path)) {
        image = QImage();
        return false;
    }
    premultiply(image);
    return true;
}

void Picture::premultiply(QImage &image)
{
    // Premultiplied ARGB is what the raster painter blends without converting on every draw.
    if (!image.isNull() && image.format() != QImage::Format_ARGB32_Premultiplied)
        // In place where the pixels keep their size (an opaque or alpha picture): no second
        // copy of every picture is made at start-up.
        image = std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool Picture::load(QImage &image, const QString &path, const QString &failureMessage)
{
    if (load(image, path))
        return true;
    qDebug().noquote() << failureMessage;
    return false;
}

namespace
{
// Per band of rows, the runs of columns where keep() holds for the band's alpha values: keep is
// asked with whether any pixel of the column has ink and whether all of them are opaque.
template <typename Keep>
QVector<QRect> columnRuns(const QImage &image, int bandHeight, Keep keep)
{
    QVector<QRect> parts;
    if (image.isNull())
        return parts;
    const QImage argb = image.format() == QImage::Format_ARGB32_Premultiplied
                            ? image
                            : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = argb.width();
    bandHeight = std::max(1, bandHeight);
    std::vector<char> inked(w), opaque(w);
    for (int top = 0; top < argb.height(); top += bandHeight) {
        const int rows = std::min(bandHeight, argb.height() - top);
        std::fill(inked.begin(), inked.end(), 0);
        std::fill(opaque.begin(), opaque.end(), 1);
        for (int y = top; y < top + rows; ++y) {
            const QRgb *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                inked[x] |= qAlpha(row[x]) != 0;
                opaque[x] &= qAlpha(row[x]) == 255;
            }
        }
        for (int x = 0; x < w;) {
            if (!keep(inked[x], opaque[x])) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < w && keep(inked[x], opaque[x]))
                ++x;
            parts.append(QRect(start, top, x - start, rows));
        }
    }
    return parts;
}
} // namespace

QVector<QRect> Picture::inkRects(const QImage &image, int bandHeight)
{
    return columnRuns(image, bandHeight, [](bool inked, bool) { return inked; });
}

QVector<QRect> Picture::seeThroughRects(const QImage &image, int bandHeight)
{
    return columnRuns(image, bandHeight, [](bool, bool opaque) { return !opaque; });
}

QVector<QRect> Picture::uncovered(const QRect &area, const QVector<QRect> &covers)
{
    QVector<QRect> inside;
    std::vector<int> edges{area.left(), area.right() + 1};
    for (const QRect &c : covers) {
        const QRect r = c & area;
        if (r.isEmpty())
            continue;
        inside.append(r);
        edges.push_back(r.left());
        edges.push_back(r.right() + 1);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    QVector<QRect> parts;
    std::vector<std::pair<int, int>> spans; // covered rows of one column: first, past last
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        const int left = edges[i], right = edges[i + 1];
        // every cover reaching into this column spans all of it: its edges cut the columns
        spans.clear();
        for (const QRect &r : inside)
            if (r.left() <= left && r.right() + 1 >= right)
                spans.emplace_back(r.top(), r.bottom() + 1);
        std::sort(spans.begin(), spans.end());
        int y = area.top();
        for (const auto &[top, bottom] : spans) {
            if (top > y)
                parts.append(QRect(left, y, right - left, top - y));
            y = std::max(y, bottom);
        }
        if (y <= area.bottom())
            parts.append(QRect(left, y, right - left, area.bottom() + 1 - y));
    }
    return parts;
}

bool Picture::isPixelExact(const QPainter *painter)
{
    const auto whole = [](qreal v) { return std::abs(v - std::round(v)) < 1e-6; };
    const QTransform t = painter->combinedTransform();
    const QPaintDevice *device = painter->device();
    return t.type() <= QTransform::TxTranslate && whole(t.dx()) && whole(t.dy()) &&
           painter->opacity() == 1.0 && device && device->devicePixelRatioF() == 1.0 &&
           painter->compositionMode() == QPainter::CompositionMode_SourceOver;
}
