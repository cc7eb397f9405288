#include "app/CommandLine.h"
#include "app/LoopGuard.h"
#include "app/MainWindow.h"
#include "app/Startup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    CommandLine::answerWithoutWindow(argc, argv);
    QApplication app(argc, argv);
    const bool fullScreen = CommandLine::parse(app);
    Startup::prepare(app);

    MainWindow window;
    window.setFullScreenMode(fullScreen);
    return LoopGuard::run([&] {
        window.show();
        return app.exec();
    });
}
