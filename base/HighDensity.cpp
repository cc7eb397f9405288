#include "base/HighDensity.h"

#include "base/Logging.h"
#include "base/Picture.h"
#include "base/ResourceFile.h"

#include <QDebug>
#include <QImage>

bool HighDensity::isActive()
{
    return Picture::isDoubleSize();
}

bool HighDensity::enlargedTo(double scale)
{
    if (Picture::isDoubleSize() || scale <= 1.0)
        return false;
    Picture::setDoubleSize(
        ResourceFile::registerFile(QStringLiteral("resuorce2x.rcc"), QStringLiteral("/x2")));
    qCDebug(lcPictures) << "shown at" << scale << "times:"
                        << (Picture::isDoubleSize() ? "double-size pictures" : "no resuorce2x.rcc");
    return Picture::isDoubleSize();
}

bool HighDensity::load(QImage &image, const QString &path)
{
    return Picture::load(image, path);
}

bool HighDensity::load(QImage &image, const QString &path, const QString &failureMessage)
{
    if (load(image, path))
        return true;
    qDebug().noquote() << failureMessage;
    return false;
}
