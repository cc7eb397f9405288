#include "app/Startup.h"

#include "base/Logging.h"
#include "base/PicturePrefetch.h"
#include "base/ResourceFile.h"
#include "sound/AudioSet.h"
#include "sound/SoundSettings.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QLocale>

void Startup::prepare(QApplication &app, bool mute, std::optional<Language::Code> language)
{
    // The sounds decode behind everything else, so they are set going first; the sound
    // manager's messages follow from the event loop.
    AudioSet::createInstance();
    // The volumes and mute of the last run; --mute holds for this run and is not stored.
    SoundSettings::load(*AudioSet::getInstance());
    if (mute)
        AudioSet::getInstance()->setMuted(true);
    // Before any picture is read, the prefetched ones included: the locale picks which
    // language's picture a resource path gives. --lang holds for this run and is not stored.
    Language::apply(
        Language::choose(language, Language::remembered(), QLocale::system().uiLanguages()));
    // A damaged, non-regular or missing file is refused alike: the game runs without pictures.
    const bool registered = ResourceFile::registerFile(QStringLiteral("resuorce.rcc"));
    // Qt 6's QIcon looks at its file as soon as it is made, so the icon is set only once the
    // resource file that holds it is registered.
    app.setWindowIcon(QIcon(QStringLiteral(":/icon/ICON")));
    if (!registered)
        qDebug() << "noResuorce";
    // The menu's two full-size pictures decode while the icon, the font and the window are set
    // up here.
    qCDebug(lcApp) << "resuorce.rcc registered:" << registered;
    if (registered)
        PicturePrefetch::start({QStringLiteral(":/img/lancher/BG"), QStringLiteral(":/img/BG")});
    // Qt 6 strings from C literals are UTF-8 already, so there is no codec to install.
    // Read once and handed over as bytes: by its name Qt would read it twice, once for the
    // font list and once more for drawing, and drawing would keep its pages of the resource
    // file's mapping in memory.
    QFile font(QStringLiteral(":/font/tanuki"));
    if (font.open(QIODevice::ReadOnly))
        QFontDatabase::addApplicationFontFromData(font.readAll());
}
