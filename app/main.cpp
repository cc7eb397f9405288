#include "app/CommandLine.h"
#include "app/LoopGuard.h"
#include "app/MainWindow.h"
#include "app/QuitSignals.h"
#include "app/Scene.h"
#include "app/Startup.h"

#include <QApplication>
#include <QScreen>
#include <QSessionManager>

int main(int argc, char **argv)
{
    CommandLine::answerWithoutWindow(argc, argv);
    QApplication app(argc, argv);
    // Ending by a signal saves and leaves the loop as closing the window does, with the usual
    // status of a signalled program.
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::signal_quit, &app,
                     [](int number) { QCoreApplication::exit(128 + number); });
    const CommandLine::Options options = CommandLine::parse(app);
    bool fullScreen = options.fullScreen;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        fullScreen = fullScreen || !MainWindow::fitsIn(screen->availableGeometry());
    Startup::prepare(app, options.mute, options.language);

    MainWindow window;
    window.setFullScreenMode(fullScreen);
    // Whatever ends the program (its window closed, a signal, the desktop session ending)
    // saves the best of the game on stage first.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, window.getScene(),
                     &Scene::slot_keepScores);
#ifndef QT_NO_SESSIONMANAGER
    QObject::connect(&app, &QGuiApplication::commitDataRequest, window.getScene(),
                     [&window](QSessionManager &) { window.getScene()->slot_keepScores(); });
#endif
    const int code = LoopGuard::run([&] {
        window.show();
        return app.exec();
    });
    return quitSignals.received() ? 128 + quitSignals.received() : code;
}
