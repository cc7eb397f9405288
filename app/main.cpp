#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/Startup.h"

#include <QApplication>
#include <QDebug>

int main(int argc, char **argv)
{
    CommandLine::answerWithoutWindow(argc, argv);
    QApplication app(argc, argv);
    const bool fullScreen = CommandLine::parse(app);
    Startup::prepare(app);

    MainWindow window;
    window.setFullScreenMode(fullScreen);
    int code = 0;
    try {
        window.show();
        code = app.exec();
    } catch (...) {
        qDebug() << "エラー";
        code = 0;
    }
    return code != 0 ? 1 : 0;
}
