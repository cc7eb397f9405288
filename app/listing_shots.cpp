// Makes the listing's screenshots from the real window: the menu, a story page and the shooting
// gallery, in one language, saved as <what>-<language>.png. Run by the build in a folder that
// holds the data files, on the offscreen platform, with its own settings folder.
#include "app/Language.h"
#include "app/MainWindow.h"
#include "app/Scene.h"
#include "app/Startup.h"
#include "sound/AudioSet.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTextStream>

namespace
{

// Lets the window paint for ms milliseconds: fades end and the music starts as for a player.
void play(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool save(MainWindow &window, const QString &path)
{
    const QImage image = window.grab().toImage();
    if (image.size() != QSize(1024, 576) || !image.save(path)) {
        QTextStream(stderr) << "could not make " << path << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const std::optional<Language::Code> language =
        args.size() == 3 ? Language::fromName(args.at(2)) : std::nullopt;
    if (!language) {
        QTextStream(stderr) << "usage: listing_shots OUT_DIR ja|en\n";
        return 2;
    }
    const QString out = QDir(args.at(1)).absolutePath();
    const QString suffix = QLatin1Char('-') + Language::name(*language) + QStringLiteral(".png");
    // Heard by no one, but shown with the speaker on as a player first sees it.
    Startup::prepare(app, false, language);
    if (AudioSet *audio = AudioSet::getInstance()) {
        audio->setMusicVolume(0);
        audio->setEffectsVolume(0);
    }

    MainWindow window;
    window.show();
    play(1500);
    bool made = save(window, out + QStringLiteral("/menu") + suffix);
    // The opening's first page, once its fade has ended.
    window.getScene()->slot_playAdv(0);
    play(2500);
    made = save(window, out + QStringLiteral("/story") + suffix) && made;
    window.getScene()->slot_playLancher(-1);
    play(500);
    // The shooting gallery with its targets in flight.
    window.getScene()->slot_playGame(3);
    play(2500);
    made = save(window, out + QStringLiteral("/shooting") + suffix) && made;
    return made ? 0 : 1;
}
