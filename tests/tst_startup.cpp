// Start-up without the resource file still opens the fixed 1024 x 576 window.
#include "app/MainWindow.h"
#include "base/Notice.h"
#include "base/PicturePrefetch.h"
#include "app/Scene.h"
#include "app/Startup.h"
#include "base/Picture.h"

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

    // A picture decoded ahead is the one a screen would load itself, handed out once; one that
    // cannot be decoded fails its load as before.
    void prefetchedPicturesAreHandedOutOnce()
    {
        const QString rcc = QStringLiteral(TOVIRA_GAME_DIR "/resuorce.rcc");
        QVERIFY(QResource::registerResource(rcc));
        const QString bg = QStringLiteral(":/img/lancher/BG");
        QImage direct(bg);
        Picture::premultiply(direct);
        QVERIFY(!direct.isNull());
        PicturePrefetch::start({bg, QStringLiteral(":/img/absent")});
        QImage got, missing;
        QVERIFY(Picture::load(got, bg));
        QCOMPARE(got, direct);
        QVERIFY(!Picture::load(missing, QStringLiteral(":/img/absent")));
        QVERIFY(missing.isNull());
        QVERIFY(!PicturePrefetch::take(bg, got));
        PicturePrefetch::finish();
        QVERIFY(QResource::unregisterResource(rcc));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
