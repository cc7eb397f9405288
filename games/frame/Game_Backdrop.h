#pragma once
// A still picture of the screen under a result dialog. The play picture and its dim do not change
// while the dialog waits, yet drawing them costs several picture copies a frame; painting them
// once into a picture makes every later frame one copy.
#include <QImage>
#include <QRectF>
#include <QTransform>

#include <functional>

class QPainter;

class Game_Backdrop
{
public:
    using Painter = std::function<void(QPainter *)>;

    // Draws rect (item coordinates) as paintScreen paints it. The picture is painted again when
    // key differs from the key it was painted for, so the key must change with anything that
    // paintScreen shows. A painter that is turned, scaled, off the pixel grid or fading would not
    // show the picture pixel for pixel: under a scale (full screen) the picture is kept at its size
    // on the device instead, and any other painter has paintScreen paint straight through.
    void draw(QPainter *painter, const QRectF &rect, size_t key, const Painter &paintScreen);
    // Frees the picture (the next draw paints it again).
    void clear();
    bool isHeld() const { return !picture.isNull(); }
    // How many times the picture has been painted, for tests and benchmarks.
    int paintCount() const { return paints; }

private:
    static bool copiesPixelForPixel(const QPainter *painter, const QRectF &rect);
    bool drawAtDeviceSize(QPainter *painter, const QRectF &rect, size_t key,
                          const Painter &paintScreen);
    // Whether the kept picture shows key at rect under transform.
    bool holds(size_t key, const QRectF &rect, const QTransform &transform) const;
    // Paints the screen into the kept picture of size, placed there by placement (clipped to clip
    // unless it is null), with the painter's settings, and records what it shows.
    void keep(const QPainter *painter, const QSize &size, const QTransform &placement,
              const QRectF &clip, size_t key, const QRectF &rect, const QTransform &transform,
              const Painter &paintScreen);

    QImage picture;
    QRectF pictureRect;
    size_t pictureKey = 0;
    // The device transform a picture held at device size was painted for; identity otherwise.
    QTransform pictureTransform;
    int paints = 0;
};
