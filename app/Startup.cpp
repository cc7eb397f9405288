#include "app/Startup.h"

#include "app/ResourceFile.h"
#include "sound/AudioSet.h"

#include <QApplication>
#include <QDebug>
#include <QFontDatabase>
#include <QIcon>

void Startup::prepare(QApplication &app)
{
    // The sounds decode behind everything else, so they are set going first; the sound
    // manager's messages follow from the event loop.
    AudioSet::createInstance();
    // A damaged, non-regular or missing file is refused alike: the game runs without pictures.
    const bool registered = ResourceFile::registerFile(QStringLiteral("resuorce.rcc"));
    // Qt 6's QIcon looks at its file as soon as it is made, so the icon is set only once the
    // resource file that holds it is registered.
    app.setWindowIcon(QIcon(QStringLiteral(":/icon/ICON")));
    if (!registered)
        qDebug() << "noResuorce";
    // Qt 6 strings from C literals are UTF-8 already, so there is no codec to install.
    QFontDatabase::addApplicationFont(QStringLiteral(":/font/tanuki"));
}
