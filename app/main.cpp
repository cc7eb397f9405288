#include "app/LoopGuard.h"
#include "app/MainWindow.h"
#include "app/Startup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Startup::prepare(app);

    MainWindow window;
    return LoopGuard::run([&] {
        window.show();
        return app.exec();
    });
}
