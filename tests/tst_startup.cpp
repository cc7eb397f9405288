// Start-up without the resource file still opens the fixed 1024 x 576 window; the language of a
// run, from --lang, the menu's remembered choice and the desktop's languages.
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/Scene.h"
#include "app/Startup.h"
#include "base/Notice.h"
#include "base/Picture.h"
#include "base/PicturePrefetch.h"
#include "sound/SoundSettings.h"

#include <QGraphicsView>
#include <QProcess>
#include <QScrollBar>
#include <QSettings>
#include <QtTest>

namespace
{
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

    // --lang first, then the choice remembered from the menu, then the desktop: Japanese only
    // when its first language is Japanese.
    void theLanguageIsChosenInThatOrder_data()
    {
        QTest::addColumn<QStringList>("desktop");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("chosen");
        const QStringList none;
        QTest::newRow("ja first") << QStringList{"ja-JP", "ja-Jpan-JP", "ja"} << "" << none << "ja";
        QTest::newRow("ja, a POSIX name") << QStringList{"ja_JP.UTF-8"} << "" << none << "ja";
        QTest::newRow("ja second") << QStringList{"en-US", "ja-JP"} << "" << none << "en";
        QTest::newRow("en") << QStringList{"en-GB", "en"} << "" << none << "en";
        QTest::newRow("empty") << QStringList{} << "" << none << "en";
        QTest::newRow("C") << QStringList{"C"} << "" << none << "en";
        QTest::newRow("zh, then ja") << QStringList{"zh-CN", "zh", "ja"} << "" << none << "en";
        QTest::newRow("remembered en") << QStringList{"ja"} << "en" << none << "en";
        QTest::newRow("remembered ja") << QStringList{"en"} << "ja" << none << "ja";
        QTest::newRow("remembered nonsense") << QStringList{"ja"} << "fr" << none << "ja";
        QTest::newRow("--lang en")
            << QStringList{"ja"} << "ja" << QStringList{"--lang", "en"} << "en";
        QTest::newRow("--lang=ja")
            << QStringList{"en"} << "en" << QStringList{"--mute", "--lang=ja"} << "ja";
    }
    void theLanguageIsChosenInThatOrder()
    {
        QFETCH(QStringList, desktop);
        QFETCH(QString, remembered);
        QFETCH(QStringList, arguments);
        QFETCH(QString, chosen);
        QTemporaryDir config;
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        if (!remembered.isEmpty())
            QSettings(config.path() + "/tovira-parade/tovira-parade.ini", QSettings::IniFormat)
                .setValue("language/chosen", remembered);
        const CommandLine::Options options = CommandLine::parse(QStringList{"tovira"} + arguments);
        const Language::Code code =
            Language::choose(options.language, Language::remembered(), desktop);
        QCOMPARE(Language::name(code), chosen);
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }

    // The menu's choice lives in the sound settings' file beside the volumes and comes back
    // from it; the game refuses a language it does not have before any window, and its help
    // names the option.
    void theChoiceIsRememberedAndABadLanguageRefused()
    {
        QTemporaryDir config;
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        QVERIFY(!Language::remembered());
        Language::remember(Language::English);
        QVERIFY(Language::remembered() == Language::English);
        Language::remember(Language::Japanese);
        QVERIFY(Language::remembered() == Language::Japanese);
        QFile ini(config.path() + "/tovira-parade/tovira-parade.ini");
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("chosen=ja"));
        QCOMPARE(SoundSettings::filePath(), ini.fileName());
        qputenv("XDG_CONFIG_HOME", oldConfig);

        QProcess game;
        game.start(TOVIRA_GAME_DIR "/tovira", {"--lang", "fr"});
        QVERIFY(game.waitForFinished());
        QCOMPARE(game.exitCode(), 1);
        QVERIFY(game.readAllStandardError().contains("--lang takes ja or en"));
        game.start(TOVIRA_GAME_DIR "/tovira", {"--help"});
        QVERIFY(game.waitForFinished());
        QVERIFY(game.readAllStandardOutput().contains("--lang <ja|en>"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
