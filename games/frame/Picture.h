#pragma once
// Loads one picture from the resource file in the painter's fastest pixel format. Screens load
// their pictures once, when they set themselves up, and draw the loaded images on every frame.
#include <QImage>
#include <QString>
#include <QVector>

class QPainter;

class Picture
{
public:
    // Loads path into image, converted to Format_ARGB32_Premultiplied. On failure image is left
    // empty (drawn as nothing) and false is returned, so the caller can print its own message.
    static bool load(QImage &image, const QString &path);
    // The same, printing failureMessage (as it stands, without quotes) when the load fails.
    static bool load(QImage &image, const QString &path, const QString &failureMessage);
    // Converts an already loaded image in place; an empty image stays empty.
    static void premultiply(QImage &image);

    // Rectangles that together hold every pixel of image with any ink, none of them wholly
    // see-through: bands of bandHeight rows cut to their runs of inked columns. Drawing these
    // parts draws the same picture without reading its empty stretches.
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
};
