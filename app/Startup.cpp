#include "app/Startup.h"

#include <QApplication>
#include <QDebug>
#include <QFontDatabase>
#include <QIcon>
#include <QResource>

void Startup::prepare(QApplication &app)
{
    // QIcon reads its file only when first painted, after the resource file is registered.
    app.setWindowIcon(QIcon(QStringLiteral(":/icon/ICON")));
    if (!QResource::registerResource(QStringLiteral("resuorce.rcc")))
        qDebug() << "noResuorce";
    // Qt 6 strings from C literals are UTF-8 already, so there is no codec to install.
    QFontDatabase::addApplicationFont(QStringLiteral(":/font/tanuki"));
}
