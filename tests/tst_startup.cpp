// Start-up without the resource file still opens the fixed 1024 x 576 window.
#include "app/MainWindow.h"
#include "app/Notice.h"
#include "app/Scene.h"
#include "app/Startup.h"

#include <QGraphicsView>
#include <QScrollBar>
#include <QtTest>

namespace {
QStringList messages;
void collect(QtMsgType, const QMessageLogContext &, const QString &text)
{
    messages << text;
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    // "noResuorce" is printed and the window still comes up at its fixed size and title.
    void startsWithoutResourceFile()
    {
        QTemporaryDir dir;
        const QString old = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        Notice::setHandler([](const QString &, const QString &) {});

        messages.clear();
        QtMessageHandler previous = qInstallMessageHandler(collect);
        Startup::prepare(*qApp);
        qInstallMessageHandler(previous);
        QVERIFY2(messages.contains("noResuorce"), qPrintable(messages.join(" / ")));

        {
            MainWindow window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(window.size(), QSize(1024, 576));
            QCOMPARE(window.windowTitle(), QString("Tovira Parade"));
            QCOMPARE(window.minimumSize(), window.maximumSize());
            QCOMPARE(window.getScene()->sceneRect(), QRectF(0, 0, 1020, 572));
            // the view shows the whole scene without scroll bars
            QVERIFY(!window.getView()->horizontalScrollBar()->isVisible());
            QVERIFY(!window.getView()->verticalScrollBar()->isVisible());
        }
        QVERIFY(QFile::exists("tovira.conf"));
        QDir::setCurrent(old);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
