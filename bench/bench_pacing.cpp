// Paints per second of the game window while an item asks for a repaint every millisecond, as
// the games' timers do. Prints the paced window's rate next to an unpaced view's.
// Run: bench/run_pacing.sh (offscreen and Xvfb), or bench_pacing [seconds] on any platform.
#include "app/MainWindow.h"
#include "base/Notice.h"
#include "app/Scene.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsObject>
#include <QGraphicsView>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {
class BusyItem : public QGraphicsObject
{
public:
    BusyItem()
    {
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, this, [this] { update(); });
        timer.start();
    }
    QRectF boundingRect() const override { return QRectF(0, 0, 1020, 572); }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        ++paints;
        painter->fillRect(QRectF(paints % 900, 200, 120, 120), Qt::yellow);
    }
    qint64 paints = 0;

private:
    QTimer timer;
};

double measure(QWidget *window, QGraphicsScene *scene, int seconds)
{
    BusyItem *item = new BusyItem;
    scene->addItem(item);
    window->show();
    QElapsedTimer warm;
    warm.start();
    while (warm.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const qint64 start = item->paints;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double rate = (item->paints - start) * 1000.0 / clock.elapsed();
    window->hide();
    scene->removeItem(item);
    delete item;
    return rate;
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(1, atoi(argv[1])) : 5;
    QTemporaryDir run;
    QDir::setCurrent(run.path());
    Notice::setHandler([](const QString &, const QString &) {});

    MainWindow window;
    const double paced = measure(&window, window.getScene(), seconds);

    QGraphicsScene plainScene(0, 0, 1020, 572);
    QGraphicsView plainView(&plainScene);
    plainView.resize(1024, 576);
    const double unpaced = measure(&plainView, &plainScene, seconds);

    std::printf("platform %-10s paced window: %6.1f paints/s   unpaced view: %6.1f paints/s\n",
                qPrintable(QGuiApplication::platformName()), paced, unpaced);
    return 0;
}
