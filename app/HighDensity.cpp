#include "app/HighDensity.h"

#include "app/ResourceFile.h"
#include "games/frame/Picture.h"

#include <QDebug>
#include <QImage>

bool HighDensity::active = false;

bool HighDensity::enlargedTo(double scale)
{
    if (active || scale <= 1.0)
        return false;
    active = ResourceFile::registerFile(QStringLiteral("resuorce2x.rcc"), QStringLiteral("/x2"));
    return active;
}

bool HighDensity::load(QImage &image, const QString &path)
{
    if (active && path.startsWith(QLatin1String(":/"))) {
        if (Picture::load(image, QStringLiteral(":/x2/") + path.mid(2))) {
            image.setDevicePixelRatio(2.0);
            return true;
        }
    }
    return Picture::load(image, path);
}

bool HighDensity::load(QImage &image, const QString &path, const QString &failureMessage)
{
    if (load(image, path))
        return true;
    qDebug().noquote() << failureMessage;
    return false;
}
