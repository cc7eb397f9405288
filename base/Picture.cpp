#include "base/Picture.h"

#include "base/PicturePrefetch.h"

#include <QCache>
#include <QDebug>
#include <QLocale>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

bool Picture::doubleSize = false;

bool Picture::load(QImage &image, const QString &path)
{
    // A prefetched single-size picture is taken even when the double-size one is wanted, so
    // that it is not kept for nothing.
    QImage prefetched;
    const bool wasPrefetched = PicturePrefetch::take(path, prefetched);
    if (doubleSize && path.startsWith(QLatin1String(":/")) &&
        image.load(QStringLiteral(":/x2/") + path.mid(2))) {
        premultiply(image);
        image.setDevicePixelRatio(2.0);
        return true;
    }
    if (wasPrefetched) {
        image = std::move(prefetched);
        return !image.isNull();
    }
    if (!image.load(path)) {
        image = QImage();
        return false;
    }
    premultiply(image);
    return true;
}

QString Picture::currentSet()
{
    return (doubleSize ? QStringLiteral("x2 ") : QStringLiteral("x1 ")) + QLocale().name();
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

QSize Picture::sizeOf(const QImage &image)
{
    return image.deviceIndependentSize().toSize();
}

namespace
{
// A painter that only scales (and moves) on the way to the device, as full screen and
// high-density screens paint.
bool scalesOnly(const QTransform &toDevice)
{
    return toDevice.type() == QTransform::TxScale && toDevice.m11() > 0 && toDevice.m22() > 0;
}

// image at size, scaled, from the copies of the pictures drawn last: at most about 48 MB of
// them, a screen's backdrop, overlay and sprites at full-screen size, or room for four
// screen-sized copies on a larger screen (a backdrop pushing out its overlay on every frame
// would scale both again each time). image itself when its pixels already have that size (the
// double-size set at a scale of 2); null when the copy would not fit at all.
const QImage *deviceCopy(const QImage &image, const QSize &size)
{
    if (image.size() == size)
        return &image;
    static QCache<QString, QImage> copies(48 * 1024);
    const QString key =
        QStringLiteral("%1 %2x%3").arg(image.cacheKey()).arg(size.width()).arg(size.height());
    if (const QImage *copy = copies.object(key))
        return copy;
    // Smaller (the double-size set under a scale below 2) it is filtered; larger, its pixels
    // are enlarged as the painter itself would.
    const bool smaller = size.width() < image.width();
    auto *copy = new QImage(image.scaled(
        size, Qt::IgnoreAspectRatio, smaller ? Qt::SmoothTransformation : Qt::FastTransformation));
    copy->setDevicePixelRatio(1);
    Picture::premultiply(*copy);
    const QImage *kept = copy;
    const qint64 kilobytes = copy->sizeInBytes() / 1024 + 1;
    copies.setMaxCost(std::max<qint64>(copies.maxCost(), 4 * kilobytes));
    return copies.insert(key, copy, kilobytes) ? kept : nullptr;
}

// Draws picture (device pixels) with the painter set to the device's own pixels.
void drawOnDevice(QPainter *painter, const QTransform &toDevice, const QPoint &at,
                  const QImage &picture, const QRect &source)
{
    painter->save();
    painter->setWorldTransform(toDevice.inverted() * painter->worldTransform());
    // Sizes given in pixels both ways: a picture's own device pixel ratio is not applied again.
    painter->drawImage(QRectF(at, source.size()), picture, source);
    painter->restore();
}
} // namespace

void Picture::drawPart(QPainter *painter, const QRectF &target, const QImage &image,
                       const QRectF &source)
{
    const QTransform toDevice = painter->deviceTransform();
    if (!image.isNull() && scalesOnly(toDevice) && target.size() == source.size()) {
        // Cut from the picture at its size on the device, so the part is copied unscaled.
        const QSizeF scale(toDevice.m11(), toDevice.m22());
        const QSize whole(qRound(sizeOf(image).width() * scale.width()),
                          qRound(sizeOf(image).height() * scale.height()));
        if (const QImage *copy = deviceCopy(image, whole)) {
            const QRect onDevice = toDevice.mapRect(target).toRect();
            const QPoint from(qRound(source.left() * scale.width()),
                              qRound(source.top() * scale.height()));
            drawOnDevice(painter, toDevice, onDevice.topLeft(), *copy,
                         QRect(from, onDevice.size()));
            return;
        }
    }
    const qreal ratio = image.devicePixelRatio();
    painter->drawImage(target, image, QRectF(source.topLeft() * ratio, source.size() * ratio));
}

void Picture::drawPart(QPainter *painter, const QPointF &at, const QImage &image,
                       const QRectF &source)
{
    drawPart(painter, QRectF(at, source.size()), image, source);
}

namespace
{
// Per band of rows, the runs of columns where keep() holds for the band's alpha values: keep is
// asked with whether any pixel of the column has ink and whether all of them are opaque.
template <typename Keep> QVector<QRect> columnRuns(const QImage &image, int bandHeight, Keep keep)
{
    QVector<QRect> parts;
    if (image.isNull())
        return parts;
    const QImage argb = image.format() == QImage::Format_ARGB32_Premultiplied
                            ? image
                            : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = argb.width();
    // A double-size picture is looked at in bands of the same height in the scene.
    const int ratio = std::max(1, qRound(image.devicePixelRatio()));
    bandHeight = std::max(1, bandHeight) * ratio;
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
            const int left = start / ratio, right = (x + ratio - 1) / ratio;
            parts.append(QRect(left, top / ratio, right - left, (rows + ratio - 1) / ratio));
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

void Picture::drawAtDeviceSize(QPainter *painter, const QPointF &at, const QImage &image)
{
    const QTransform toDevice = painter->deviceTransform();
    if (!image.isNull() && scalesOnly(toDevice)) {
        const QSize size(qRound(sizeOf(image).width() * toDevice.m11()),
                         qRound(sizeOf(image).height() * toDevice.m22()));
        if (const QImage *copy = deviceCopy(image, size)) {
            const QPointF corner = toDevice.map(at);
            drawOnDevice(painter, toDevice, QPoint(qRound(corner.x()), qRound(corner.y())), *copy,
                         QRect(QPoint(), copy->size()));
            return;
        }
    }
    // Too big to keep, or not scaled: drawn as it is.
    painter->drawImage(at, image);
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
