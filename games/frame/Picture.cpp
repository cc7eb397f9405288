#include "games/frame/Picture.h"

#include <QDebug>

bool Picture::load(QImage &image, const QString &path)
{
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
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool Picture::load(QImage &image, const QString &path, const QString &failureMessage)
{
    if (load(image, path))
        return true;
    qDebug().noquote() << failureMessage;
    return false;
}
