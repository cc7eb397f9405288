#include "app/HighDensity.h"

#include "app/ResourceFile.h"
#include "games/frame/Picture.h"

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
