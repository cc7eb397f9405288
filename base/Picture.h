#pragma once
// Loads one picture from the resource file in the painter's fastest pixel format. Screens load
// their pictures once, when they set themselves up, and draw the loaded images on every frame.
// Once the game is shown enlarged, pictures come from the double-size set with a device pixel
// ratio of 2: the same size in the scene, twice the detail on the screen. Sizes and parts of a
// picture are then asked of sizeOf and drawPart, which count in the scene's units.
#include <QImage>
#include <QString>
#include <QVector>

class QPainter;

class Picture
{
public:
    // Loads path into image, converted to Format_ARGB32_Premultiplied. On failure image is left
    // empty (drawn as nothing) and false is returned, so the caller can print its own message.
    // A resource path (":/...") comes from the double-size set under ":/x2/" when that is on
    // and holds the picture.
    static bool load(QImage &image, const QString &path);
    // The same, printing failureMessage (as it stands, without quotes) when the load fails.
    static bool load(QImage &image, const QString &path, const QString &failureMessage);
    // Converts an already loaded image in place; an empty image stays empty.
    static void premultiply(QImage &image);

    // Whether load reads the double-size set (registered under ":/x2/" by the window once it is
    // shown enlarged). Screens load again at their next start.
    static void setDoubleSize(bool on) { doubleSize = on; }
    static bool isDoubleSize() { return doubleSize; }
    // Which set a picture loaded now comes from: the double-size one or not, and the language
    // of the default locale, which picks the resource file's entries of that language. What
    // keeps decoded pictures for later starts keys them on this.
    static QString currentSet();
    // The size image covers in the scene: its pixels over its device pixel ratio.
    static QSize sizeOf(const QImage &image);
    // Draws the part source of image (in the scene's units, as sizeOf counts) into target.
    static void drawPart(QPainter *painter, const QRectF &target, const QImage &image,
                         const QRectF &source);
    static void drawPart(QPainter *painter, const QPointF &at, const QImage &image,
                         const QRectF &source);

    // Rectangles that together hold every pixel of image with any ink, none of them wholly
    // see-through: bands of bandHeight rows cut to their runs of inked columns. Drawing these
    // parts draws the same picture without reading its empty stretches. Both lists count in the
    // scene's units, widened to whole units for a double-size picture.
    static QVector<QRect> inkRects(const QImage &image, int bandHeight = 16);
    // The rest of image's rectangle, in the same bands, once the runs of columns that are
    // opaque all down a band are taken out: where whatever lies under the picture can show.
    static QVector<QRect> seeThroughRects(const QImage &image, int bandHeight = 16);
    // The parts of area that no rectangle of covers overlaps, as columns cut at the covers'
    // left and right edges: few parts where the covers stand in columns, as cards in reels do.
    static QVector<QRect> uncovered(const QRect &area, const QVector<QRect> &covers);
    // Whether the painter puts a picture's pixels one to one on whole device pixels at full
    // opacity, so a drawn picture is an exact copy of its pixels.
    static bool isPixelExact(const QPainter *painter);
    // Draws image with its top-left corner at at. Under a painter that scales (full screen, a
    // high-density screen) a copy of image at its size on the device is kept, and drawn
    // unscaled on whole device pixels: scaling a big picture on every frame costs several times
    // as much. Other painters draw image as drawImage does.
    static void drawAtDeviceSize(QPainter *painter, const QPointF &at, const QImage &image);

private:
    static bool doubleSize;
};
