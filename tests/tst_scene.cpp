// The scene's best-score table, its score file and the sibling program entry; the main window's
// full screen and its pause when the window is left, and what each pause costs a countdown; the
// menu's language button.
#include "AsOtherUser.h"
#include "FlatPictures.h"
#include "GameHarness.h"
#include "SceneInput.h"
#include "TestFiles.h"
#include "TestGame.h"
#include "app/Game_GameList.h"
#include "app/Language.h"
#include "app/MainWindow.h"
#include "app/Scene.h"
#include "app/ScoreFile.h"
#include "base/Clock.h"
#include "base/Game_Countdown.h"
#include "base/HighDensity.h"
#include "base/Notice.h"
#include "base/Picture.h"
#include "launcher/Item_Lancher.h"
#include "sound/SoundSettings.h"
#include "story/Adv_Base.h"

#include <QApplication>
#include <QGraphicsView>
#include <QSettings>
#include <QtTest>

namespace
{
// A resource file of two menu pictures, the welcome card and the first game's tile, each in a
// colour of its own in the base (Japanese) entry and in the English one.
QString twoLanguageMenuPictures(const QTemporaryDir &dir, const QRgb colours[4])
{
    const char *names[4] = {"ja_info", "ja_tile", "en_info", "en_tile"};
    for (int i = 0; i < 4; ++i) {
        QImage picture(i % 2 ? QSize(128, 76) : QSize(290, 400), QImage::Format_ARGB32);
        picture.fill(colours[i]);
        picture.save(dir.filePath(QString(names[i]) + ".png"));
    }
    const QString entries = "<file alias=\"img/lancher/INFO10\">%1_info.png</file>"
                            "<file alias=\"img/lancher/GAME0\">%1_tile.png</file>";
    QFile qrc(dir.filePath("menu.qrc"));
    qrc.open(QIODevice::WriteOnly);
    qrc.write(("<RCC><qresource prefix=\"/\">" + entries.arg("ja") +
               "</qresource><qresource prefix=\"/\" lang=\"en\">" + entries.arg("en") +
               "</qresource></RCC>")
                  .toUtf8());
    qrc.close();
    const QString rcc = dir.filePath("menu.rcc");
    return QProcess::execute(TOVIRA_RCC, {"-binary", qrc.fileName(), "-o", rcc}) == 0 ? rcc
                                                                                      : QString();
}

// Writes a score file whose entry 7 ("Janken", line game8) holds janken and entry 0 first.
void writeScoreFile(int janken, int first = 0)
{
    int table[10] = {};
    table[0] = first;
    table[7] = janken;
    QFile f("tovira.conf");
    if (f.open(QIODevice::WriteOnly))
        f.write(ScoreFile::format(table).toUtf8());
}

// Puts a test game at menu index 7 ("Janken") of the scene's game list.
TestGame *plugTestGame(Scene &scene)
{
    auto *game = new TestGame(QStringLiteral("Janken"));
    scene.getGameList()->setGame(7, game);
    return game;
}
// The test game started from entry 7, its play at `score`.
TestGame *playTestGame(Scene &scene, int score)
{
    TestGame *game = plugTestGame(scene);
    scene.slot_playGame(7);
    game->getScore()->setScore(score);
    return game;
}
// Records where in the scene each mouse press the view delivers lands.
class PressRecorder : public QObject
{
public:
    QList<QPointF> presses;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::GraphicsSceneMousePress)
            presses << static_cast<QGraphicsSceneMouseEvent *>(event)->scenePos();
        return false;
    }
};
// The scene drawn on a device of twice its pixels each way, as a scale factor of 2 shows it.
QImage renderDoubled(Scene &scene)
{
    QImage image(scene.sceneRect().size().toSize() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::black);
    QPainter painter(&image);
    scene.render(&painter, scene.sceneRect(), scene.sceneRect());
    return image;
}

// Share of the 2 x 2 pixel blocks whose pixels are not all alike: none in a picture that is
// only enlarged.
double detail(const QImage &image)
{
    int varied = 0, blocks = 0;
    for (int y = 0; y + 1 < image.height(); y += 2) {
        const QRgb *a = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const QRgb *b = reinterpret_cast<const QRgb *>(image.constScanLine(y + 1));
        for (int x = 0; x + 1 < image.width(); x += 2, ++blocks)
            varied += a[x] != a[x + 1] || a[x] != b[x] || a[x] != b[x + 1];
    }
    return blocks ? double(varied) / blocks : 0;
}

// Mean difference of the two pictures' grey levels in 32 x 32 blocks, the largest of all blocks:
// small when the same things are drawn in the same places, however sharply.
int layoutDifference(const QImage &one, const QImage &other)
{
    const QImage a = one.convertToFormat(QImage::Format_Grayscale8);
    const QImage b = other.convertToFormat(QImage::Format_Grayscale8);
    int worst = 0;
    for (int by = 0; by + 32 <= a.height(); by += 32)
        for (int bx = 0; bx + 32 <= a.width(); bx += 32) {
            int sum = 0;
            for (int y = by; y < by + 32; ++y)
                for (int x = bx; x < bx + 32; ++x)
                    sum += int(a.constScanLine(y)[x]) - int(b.constScanLine(y)[x]);
            worst = std::max(worst, std::abs(sum) / (32 * 32));
        }
    return worst;
}
} // namespace

class TestScene : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString oldCwd;
    QStringList notices;
    // The time of day the game clocks follow, when a test sets it.
    QTime now;

private slots:
    void initTestCase()
    {
        oldCwd = QDir::currentPath();
        Notice::setHandler([this](const QString &t, const QString &x) { notices << t + "|" + x; });
    }
    void init()
    {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        QVERIFY(QDir::setCurrent(dir.path()));
        notices.clear();
    }
    void cleanup() { Clock::reset(); }
    void cleanupTestCase() { QDir::setCurrent(oldCwd); }

    // The language button, right of the score board under the sound button, switches at once:
    // the menu's pictures come from the English entries under the same paths, the texts from
    // the English translation, and the choice is kept in the settings file, never in
    // tovira.conf. The keys reach it as the last entry: Shift+Tab and Enter give Japanese back.
    void theLanguageButtonSwitchesTheMenuAtOnce()
    {
        QTemporaryDir config, pictures;
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        const QRgb colours[4] = {qRgb(200, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 200),
                                 qRgb(200, 200, 30)};
        const QString rcc = twoLanguageMenuPictures(pictures, colours);
        QVERIFY(!rcc.isEmpty());
        // Registered before the game's own file, which holds the same paths: Qt serves a path
        // from the first file that has it. So this test runs first, before any other
        // registers the game's file.
        QVERIFY(QResource::registerResource(rcc));
        QVERIFY(QResource::registerResource(TOVIRA_GAME_DIR "/resuorce.rcc"));
        Language::apply(Language::Japanese);
        {
            Scene scene(nullptr, 1024, 576);
            SceneInput::activate(scene);
            const auto shows = [&scene](QRgb info, QRgb tile) {
                const QImage menu = FlatPictures::paint(*scene.getLauncher());
                return menu.pixel(734, 176) == info && menu.pixel(420, 177) == tile;
            };
            const auto chosen = [] {
                return QSettings(SoundSettings::filePath(), QSettings::IniFormat)
                    .value("language/chosen");
            };
            QVERIFY(shows(colours[0], colours[1]));
            QVERIFY(!chosen().isValid());
            SceneInput::click(scene, QPointF(984, 94));
            QCOMPARE(Language::current(), Language::English);
            QVERIFY(shows(colours[2], colours[3]));
            QCOMPARE(SceneNotice::buttonText(), QString("Back to menu"));
            QCOMPARE(chosen().toString(), QString("en"));
            QVERIFY(SoundSettings::filePath().startsWith(config.path()));
            scene.slot_playLancher(-1, 0);
            QFile scores("tovira.conf");
            QVERIFY(scores.open(QIODevice::ReadOnly));
            const QByteArray kept = scores.readAll();
            QVERIFY2(!kept.contains("lang") && !kept.contains("chosen"), kept.constData());

            SceneInput::hover(scene, QPointF(300, 60));
            SceneInput::key(scene, Qt::Key_Backtab);
            SceneInput::key(scene, Qt::Key_Return);
            QCOMPARE(Language::current(), Language::Japanese);
            QVERIFY(shows(colours[0], colours[1]));
            QCOMPARE(SceneNotice::buttonText(), QString("メニューに戻る"));
            QCOMPARE(chosen().toString(), QString("ja"));
        }
        QVERIFY(QResource::unregisterResource(rcc));
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }

    // A first start creates the file with ten zeros and reads it back without a notice.
    void firstStartCreatesZeroFile()
    {
        Scene scene(nullptr, 1024, 576);
        QCOMPARE(scene.sceneRect(), QRectF(0, 0, 1020, 572));
        const int zeros[10] = {};
        QCOMPARE(fileBytes("tovira.conf"), ScoreFile::format(zeros).toUtf8());
        QVERIFY(notices.isEmpty());
    }

    // A better score is kept and written; a lower one keeps the table but still rewrites.
    void betterScoresAreKeptAndWritten()
    {
        QFile f("tovira.conf");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Tovira Game\ngame1=10\ngame2=20\ngame3=30\n");
        f.close();
        Scene scene(nullptr, 1024, 576);
        QCOMPARE(scene.getScores()[1], 20);
        // the start-up rewrite makes the short file whole again
        QVERIFY(fileBytes("tovira.conf").contains("game10=0\n"));

        scene.slot_playLancher(1, 25);
        QCOMPARE(scene.getScores()[1], 25);
        QVERIFY(fileBytes("tovira.conf").contains("game2=25\n"));

        QFile::remove("tovira.conf");
        scene.slot_playLancher(2, 5);
        QCOMPARE(scene.getScores()[2], 30);
        QVERIFY(fileBytes("tovira.conf").contains("game3=30\n"));
    }

    // The constructor's own call with index -1 changes no score.
    void minusOneOnlyShowsTheLauncher()
    {
        Scene scene(nullptr, 1024, 576);
        scene.slot_playLancher(-1, 999);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(scene.getScores()[i], 0);
    }

    // A click on a game entry takes the launcher out and shows that game with its best score.
    void playingAGameSwapsTheLauncherForTheGame()
    {
        writeScoreFile(120);
        Scene scene(nullptr, 1024, 576);
        TestGame *game = plugTestGame(scene);
        scene.getLauncher()->slot_playGame(7);
        QCOMPARE(scene.items().count(), 1);
        QCOMPARE(game->scene(), &scene);
        QVERIFY(scene.getLauncher()->scene() == nullptr);
        QCOMPARE(game->getScore()->getBest(), 120);
        QCOMPARE(game->calls, QStringList({"release", "create", "init"}));
    }

    // An entry whose game is missing, or an index out of range, keeps the launcher up.
    void anEntryWithoutAGameKeepsTheLauncher()
    {
        Scene scene(nullptr, 1024, 576);
        scene.getGameList()->setGame(2, nullptr);
        for (int index : {2, -1, 10, 1000}) {
            scene.slot_playGame(index);
            QCOMPARE(scene.items().count(), 1);
            QCOMPARE(scene.getLauncher()->scene(), &scene);
        }
    }

    // A game that ends with a better score goes off stage, its timer stops, the launcher comes
    // back with the new total and the file holds the score.
    void aBetterScoreComesBackToTheLauncherAndTheFile()
    {
        writeScoreFile(100, 30);
        Scene scene(nullptr, 1024, 576);
        TestGame *game = playTestGame(scene, 250);
        game->exitGame();
        QVERIFY(game->scene() == nullptr);
        QVERIFY(!game->frameTimer->isActive());
        QCOMPARE(scene.getLauncher()->scene(), &scene);
        QCOMPARE(scene.items().count(), 1);
        QCOMPARE(scene.getScores()[7], 250);
        QCOMPARE(scene.getLauncher()->getTotalScore(), qint64(280));
        QVERIFY(fileBytes("tovira.conf").contains("game8=250\n"));
    }

    // A lower score keeps the table, and the file is still rewritten after the game.
    void aLowerScoreKeepsTheTableButRewritesTheFile()
    {
        writeScoreFile(300);
        Scene scene(nullptr, 1024, 576);
        TestGame *game = playTestGame(scene, 10);
        QFile::remove("tovira.conf");
        game->exitGame();
        QCOMPARE(scene.getScores()[7], 300);
        QCOMPARE(scene.getLauncher()->scene(), &scene);
        QVERIFY(fileBytes("tovira.conf").contains("game8=300\n"));
    }

    // A score file that cannot be written keeps the new best in the table and on the menu (the
    // old file is not read back over it), and the next game writes it.
    void aFailedWriteKeepsTheNewBest()
    {
        writeScoreFile(100);
        Scene scene(nullptr, 1024, 576);
        TestGame *game = playTestGame(scene, 250);
        QVERIFY(QFile::setPermissions("tovira.conf", QFile::ReadOwner | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(".", QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                               QFile::ExeOther));
        {
            AsOtherUser player;
            QTest::ignoreMessage(QtDebugMsg, "configWriteError");
            game->exitGame();
        }
        QVERIFY(QFile::setPermissions(".", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QFile::setPermissions("tovira.conf", QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(scene.getScores()[7], 250);
        QCOMPARE(scene.getLauncher()->getTotalScore(), qint64(250));
        QVERIFY(notices.isEmpty());

        scene.slot_playGame(7);
        game->getScore()->setScore(10);
        game->exitGame();
        QVERIFY(fileBytes("tovira.conf").contains("game8=250\n"));
    }

    // Every best the panel has shown is on disk without a return to the menu: the first painted
    // frame of a result screen saves it (a kill after it loses nothing), and an end of the
    // program in mid-play keeps the play's score as leaving would.
    void bestsReachTheDiskWithoutTheMenu()
    {
        writeScoreFile(100);
        Scene scene(nullptr, 1024, 576);
        TestGame *game = playTestGame(scene, 250);
        QImage frame(1020, 572, QImage::Format_ARGB32_Premultiplied);
        const auto paintFrame = [&] {
            QPainter painter(&frame);
            scene.render(&painter);
            painter.end();
            QCoreApplication::processEvents();
        };
        paintFrame();
        QVERIFY(fileBytes("tovira.conf").contains("game8=100\n"));
        game->showResult();
        paintFrame();
        QVERIFY(fileBytes("tovira.conf").contains("game8=250\n"));
        game->retryGame();
        game->getScore()->setScore(400);
        paintFrame();
        scene.slot_keepScores();
        QVERIFY(fileBytes("tovira.conf").contains("game8=400\n"));
        QCOMPARE(scene.getScores()[7], 400);
    }

    // Escape and Space on a real view leave the game and show the launcher again.
    void escapeThenSpaceReturnsToTheLauncher()
    {
        QGraphicsView view;
        Scene *scene = new Scene(&view, 1024, 576);
        view.setScene(scene);
        view.show();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        TestGame *game = plugTestGame(*scene);
        scene->slot_playGame(7);
        QVERIFY(game->hasFocus());
        game->getScore()->setScore(64);
        QTest::keyClick(&view, Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        QTest::keyClick(&view, Qt::Key_Space);
        QVERIFY(game->scene() == nullptr);
        QCOMPARE(scene->getLauncher()->scene(), scene);
        QCOMPARE(scene->getScores()[7], 64);
        delete scene;
    }

    // The last entry starts the sibling with this program's path as its one argument, then quits.
    void lastEntryStartsSiblingAndQuits()
    {
        const QString record = QDir::current().absoluteFilePath("args.txt");
        QFile script("veldranix.exe");
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname "
                     "\"$0\")/args.txt\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        Scene scene(nullptr, 1024, 576);
        QTimer::singleShot(0, &scene, [&scene] { scene.slot_playGame(9); });
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, qApp, [] { qApp->exit(42); });
        guard.start(5000);
        QCOMPARE(qApp->exec(), 0);
        guard.stop();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(record),
                                  QCoreApplication::applicationFilePath().toUtf8() + "\n", 5000);
    }

    // A sibling that is missing or cannot run leaves the menu up and tells the player; the
    // program does not quit.
    void siblingThatCannotStartKeepsTheMenu_data()
    {
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << false;
        QTest::newRow("not executable") << true;
    }
    void siblingThatCannotStartKeepsTheMenu()
    {
        QFETCH(bool, present);
        if (present) {
            QFile script("veldranix.exe");
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\n");
        }
        Scene scene(nullptr, 1024, 576);
        QTimer::singleShot(0, &scene, [&scene] { scene.slot_playGame(9); });
        QTimer::singleShot(500, qApp, [] { qApp->exit(42); });
        QCOMPARE(qApp->exec(), 42);
        QCOMPARE(notices.size(), 1);
        QVERIFY(notices[0].contains("始められませんでした"));
        QCOMPARE(scene.getLauncher()->scene(), &scene);
    }

    // Shown the game's own way, the notice dims the menu under the dialog dress with the message
    // and one button, "メニューに戻る", and holds every click and key: a click on the opening's
    // entry beside it starts nothing. Its button, Space, Return, Enter or Escape closes it and
    // leaves the menu as it was. No message box opens. (The menu music playing on is checked
    // with the sibling entry's music.)
    void aSiblingNoticeIsDrawnOnTheStage_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("button") << 0;
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void aSiblingNoticeIsDrawnOnTheStage()
    {
        QFETCH(int, key);
        QVERIFY(QResource::registerResource(TOVIRA_GAME_DIR "/resuorce.rcc"));
        int boxes = 0;
        QTimer closer; // a message box would wait for a click: one that opens is counted, closed
        connect(&closer, &QTimer::timeout, [&boxes] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                ++boxes;
                box->close();
            }
        });
        closer.start(20);
        Notice::setHandler({});
        Scene scene(nullptr, 1024, 576);
        SceneInput::activate(scene);
        auto shot = [&scene] {
            QImage image(1020, 572, QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&image);
            scene.render(&painter, QRectF(image.rect()), scene.sceneRect());
            return image;
        };
        const QImage menu = shot();
        scene.slot_playGame(Scene::SiblingIndex);
        Notice::setHandler([this](const QString &t, const QString &x) { notices << t + "|" + x; });
        QCOMPARE(boxes, 0);
        QVERIFY(scene.getNotice());
        const QString said = FlatPictures::texts(*scene.getNotice()).join(QString());
        QVERIFY2(said.contains("veldranix.exe を始められませんでした。メニューに戻る"),
                 qPrintable(said));
        const QImage shown = shot();
        // the menu dimmed around the dialog, the dialog's plum card under the message
        QVERIFY(qGray(shown.pixel(20, 20)) * 10 < qGray(menu.pixel(20, 20)) * 6);
        const QColor card = shown.pixelColor(210, 300);
        QVERIFY2(card.blue() > card.green() + 20 && card.red() < 110, qPrintable(card.name()));
        SceneInput::click(scene, QPointF(104, 387));
        QCOMPARE(scene.getLauncher()->scene(), &scene);
        QVERIFY(scene.getNotice());
        if (key)
            SceneInput::key(scene, key);
        else
            SceneInput::click(scene, QPointF(510, 336));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!scene.getNotice());
        SceneInput::hover(scene, QPointF(300, 60));
        // left of the information card, which follows the last entry pointed at
        const QRect left(0, 0, 700, 572);
        QCOMPARE(shot().copy(left), menu.copy(left));
        QCOMPARE(boxes, 0);
    }

    // In full screen the scene is scaled to fill the screen one way and centred between bars,
    // and a click on the screen reaches the scene point drawn under it; F11 gives the fixed
    // window back.
    void fullScreenScalesTheSceneAndClicksLandUnderThePointer_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1920x1080") << QSize(1920, 1080);
        QTest::newRow("3840x2160") << QSize(3840, 2160);
        QTest::newRow("1280x1024") << QSize(1280, 1024);
        QTest::newRow("1600x1200") << QSize(1600, 1200);
    }
    void fullScreenScalesTheSceneAndClicksLandUnderThePointer()
    {
        QFETCH(QSize, size);
        QVERIFY(QResource::registerResource(TOVIRA_GAME_DIR "/resuorce.rcc"));
        QVERIFY(QFile::copy(TOVIRA_GAME_DIR "/resuorce2x.rcc", "resuorce2x.rcc"));
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSizeF entrySize = window.getScene()->getLauncher()->gameRect(7).size();
        // Shown one to one, the game does not even open the double-size pictures.
        if (QTest::currentDataTag() == QLatin1String("1920x1080"))
            QVERIFY(!QFile::exists(":/x2/img/lancher/BG"));
        QGraphicsView *view = window.getView();
        Scene *scene = window.getScene();
        TestGame *game = plugTestGame(*scene);
        QTest::keyClick(view, Qt::Key_F11);
        QVERIFY(window.isFullScreenMode());
        window.setGeometry(QRect(QPoint(0, 0), size));
        QTRY_COMPARE(view->viewport()->size(), size);
        // Enlarged, the menu comes from them, at the same size in the scene.
        QVERIFY(HighDensity::isActive());
        QVERIFY(QFile::exists(":/x2/img/lancher/BG"));
        QCOMPARE(scene->getLauncher()->gameRect(7).size(), entrySize);

        const QRect shown = view->mapFromScene(scene->sceneRect()).boundingRect();
        QVERIFY2(
            qAbs(shown.width() - size.width()) <= 1 || qAbs(shown.height() - size.height()) <= 1,
            qPrintable(
                QStringLiteral("scene drawn at %1x%2").arg(shown.width()).arg(shown.height())));
        QVERIFY(qAbs(shown.left() - (size.width() - 1 - shown.right())) <= 1);
        QVERIFY(qAbs(shown.top() - (size.height() - 1 - shown.bottom())) <= 1);
        // As painted: the bars are black to the scene's edge and equal within a pixel.
        const QImage screen =
            view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const auto blackRow = [&](int y) {
            for (int x = 0; x < screen.width(); ++x)
                if (screen.pixel(x, y) != qRgb(0, 0, 0))
                    return false;
            return true;
        };
        const auto blackColumn = [&](int x) {
            for (int y = 0; y < screen.height(); ++y)
                if (screen.pixel(x, y) != qRgb(0, 0, 0))
                    return false;
            return true;
        };
        int above = 0, below = 0, left = 0, right = 0;
        while (above < screen.height() && blackRow(above))
            ++above;
        while (below < screen.height() && blackRow(screen.height() - 1 - below))
            ++below;
        while (left < screen.width() && blackColumn(left))
            ++left;
        while (right < screen.width() && blackColumn(screen.width() - 1 - right))
            ++right;
        const QString bars = QStringLiteral("bars %1 above, %2 below, %3 left, %4 right")
                                 .arg(above)
                                 .arg(below)
                                 .arg(left)
                                 .arg(right);
        qInfo("%s", qPrintable(bars));
        QVERIFY2(qAbs(above - below) <= 1 && qAbs(left - right) <= 1, qPrintable(bars));
        QVERIFY2(qAbs(above - shown.top()) <= 1 && qAbs(left - shown.left()) <= 1,
                 qPrintable(bars));

        // The menu entry under the pointer starts its game.
        const QRectF entry =
            scene->getLauncher()->gameRect(7).translated(scene->getLauncher()->pos());
        QVERIFY(!entry.isEmpty());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(entry.center()));
        QCOMPARE(game->scene(), scene);
        PressRecorder recorder;
        scene->installEventFilter(&recorder);
        const QList<QPointF> targets = {{3, 3}, {510, 286}, {1016, 568}, {200, 500}};
        for (const QPointF &target : targets)
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(target));
        QCOMPARE(recorder.presses.size(), targets.size());
        for (int i = 0; i < targets.size(); ++i)
            QVERIFY2(QLineF(recorder.presses[i], targets[i]).length() < 1.0,
                     qPrintable(QStringLiteral("(%1, %2) landed at (%3, %4)")
                                    .arg(targets[i].x())
                                    .arg(targets[i].y())
                                    .arg(recorder.presses[i].x())
                                    .arg(recorder.presses[i].y())));

        QTest::keyClick(view, Qt::Key_F11);
        QVERIFY(!window.isFullScreenMode());
        QTRY_COMPARE(window.size(), QSize(1024, 576));
        QVERIFY(view->transform().isIdentity());
        scene->removeEventFilter(&recorder);
    }

    // The window opens only where it fits whole with room for a window frame (48 px in height,
    // 12 in width); a 2048 x 1152 screen at a scale of 2 is 1024 x 576 and does not.
    void theWindowOpensOnlyWhereItFitsWhole()
    {
        QVERIFY(MainWindow::fitsIn(QRect(0, 0, 1920, 1080)));
        QVERIFY(!MainWindow::fitsIn(QRect(0, 0, 1024, 576)));
        QVERIFY(MainWindow::fitsIn(QRect(0, 0, 1036, 624)));
        QVERIFY(!MainWindow::fitsIn(QRect(0, 0, 1036, 623)));
        QVERIFY(!MainWindow::fitsIn(QRect(0, 0, 1035, 624)));
    }

    // In the window the scene sits 2 px in, inside a dark frame of that width, whatever the
    // style: the viewport is exactly the scene rectangle, with no light line around it.
    void theWindowedSceneSitsInsideATwoPixelFrame()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QGraphicsView *view = window.getView();
        QCOMPARE(view->viewport()->size(), QSize(1020, 572));
        QCOMPARE(view->viewport()->mapTo(&window, view->mapFromScene(QPointF(0, 0))), QPoint(2, 2));
        const QImage shot = window.grab().toImage();
        const QRgb frame = shot.pixel(0, 0);
        QCOMPARE(frame, qRgb(0x2b, 0x1d, 0x2e));
        for (const QPoint &p : {QPoint(1, 1), QPoint(1, 300), QPoint(1022, 300), QPoint(500, 574)})
            QCOMPARE(shot.pixel(p), frame);
        QVERIFY(shot.pixel(2, 300) != frame);
    }

    // Enlarged, every game and story draws its pictures from the double-size set: the same
    // things in the same places at the same size in the scene, with detail that the single-size
    // pictures doubled do not have. A story then holds only the page it shows.
    void everyScreenIsSharpWhenEnlarged_data()
    {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("story");
        const char *const games[] = {"Setsuna", "SameGame", "Typing", "Shooting", "Slot",
                                     "Slide",   "UpDown",   "Janken", "Speed"};
        for (int i = 0; i < 9; ++i)
            QTest::newRow(games[i]) << i << -1;
        for (int i = 0; i < 4; ++i)
            QTest::newRow(qPrintable(QStringLiteral("story %1").arg(i))) << -1 << i;
    }
    void everyScreenIsSharpWhenEnlarged()
    {
        QFETCH(int, game);
        QFETCH(int, story);
        QVERIFY(QResource::registerResource(TOVIRA_GAME_DIR "/resuorce.rcc"));
        QVERIFY(QResource::registerResource(TOVIRA_GAME_DIR "/resuorce2x.rcc", "/x2"));
        // The same time of day for both starts, so both deal and place alike.
        Clock::setTimeSource([] { return QTime(12, 34, 56, 789); });
        Clock::setMonotonicSource([] { return qint64(1000); });
        Scene scene(nullptr, 1024, 576);
        const bool wasDoubleSize = Picture::isDoubleSize();
        QImage shown[2];
        QRectF bounds[2];
        for (int doubleSize = 0; doubleSize < 2; ++doubleSize) {
            Picture::setDoubleSize(doubleSize);
            Item_Base *screen = nullptr;
            if (game >= 0) {
                scene.slot_playGame(game);
                screen = scene.getGameList()->game(game);
            } else {
                scene.slot_playAdv(story);
                screen = scene.getStory(story);
                // The next page waits until it is turned to.
                QCOMPARE(scene.getStory(story)->pageImage(1).isNull(), bool(doubleSize));
            }
            QCOMPARE(screen->scene(), &scene);
            bounds[doubleSize] = screen->boundingRect();
            if (story >= 0) {
                // Past the veil that lifts over the first hundred frames.
                QImage small(8, 8, QImage::Format_ARGB32_Premultiplied);
                QPainter painter(&small);
                for (int frame = 0; frame <= 100; ++frame)
                    scene.render(&painter);
            }
            shown[doubleSize] = renderDoubled(scene);
            if (game >= 0)
                scene.slot_playLancher(game, 0);
            else
                scene.slot_playLancher(story);
        }
        Picture::setDoubleSize(wasDoubleSize);
        Clock::reset();
        QVERIFY(QResource::unregisterResource(TOVIRA_GAME_DIR "/resuorce2x.rcc", "/x2"));
        QCOMPARE(bounds[1], bounds[0]);
        const int moved = layoutDifference(shown[1], shown[0]);
        QVERIFY2(moved < 24, qPrintable(QStringLiteral("drawn elsewhere: %1").arg(moved)));
        const double single = detail(shown[0]), sharp = detail(shown[1]);
        QVERIFY2(
            sharp > 2 * single + 0.05,
            qPrintable(QStringLiteral("detail %1 single-size, %2 double").arg(single).arg(sharp)));
    }

    // Leaving the window during play pauses the game as Escape does; a result screen and the
    // menu are left as they are.
    void leavingTheWindowPausesOnlyAGameInPlay_data()
    {
        QTest::addColumn<bool>("minimise");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("pauses");
        QTest::newRow("minimised in play") << true << false << 1;
        QTest::newRow("deactivated in play") << false << false << 1;
        QTest::newRow("deactivated on the result") << false << true << 0;
    }
    void leavingTheWindowPausesOnlyAGameInPlay()
    {
        QFETCH(bool, minimise);
        QFETCH(bool, result);
        QFETCH(int, pauses);
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Scene *scene = window.getScene();
        TestGame *game = plugTestGame(*scene);
        // On the menu there is no game in play.
        window.pauseGameInPlay();
        QCOMPARE(game->count("pause"), 0);
        QCOMPARE(scene->getLauncher()->scene(), scene);
        scene->slot_playGame(7);
        if (result)
            game->showResult();
        QWidget other;
        if (minimise) {
            window.showMinimized();
        } else {
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        }
        QTRY_COMPARE(game->count("pause"), pauses);
        QCOMPARE(game->isQuestionShown(), pauses == 1);
    }

    // The countdown games a second into play: Escape's question lets the clock run on, so the
    // frame after "いいえ" takes the whole question and ends the play once nothing is left,
    // exactly nothing included, however long past; the clock never shows more than zero then
    // and Slide scores nothing. The question asked because the window was left costs nothing.
    void aPauseCostsTheCountdownGamesOnlyWhatEscapeAsked_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("leftWindow");
        QTest::addColumn<int>("pause");
        QTest::addColumn<int>("left");
        const auto rows = [](const char *name, int index, int left) {
            QTest::addRow("%s, question 10 s", name) << index << false << 10000 << left - 10000;
            QTest::addRow("%s, question to 1 ms", name) << index << false << left - 1 << 1;
            QTest::addRow("%s, question to zero", name) << index << false << left << 0;
            QTest::addRow("%s, question 30 min", name) << index << false << 1800000 << 0;
            QTest::addRow("%s, question 1 h", name) << index << false << 3600000 << 0;
            QTest::addRow("%s, window left 60 s", name) << index << true << 60000 << left;
        };
        rows("Shooting", 3, 49000);
        rows("Slide", 5, 59000);
        rows("UpDown", 6, 59000);
        rows("Speed", 8, 59000);
    }
    void aPauseCostsTheCountdownGamesOnlyWhatEscapeAsked()
    {
        QFETCH(int, index);
        QFETCH(bool, leftWindow);
        QFETCH(int, pause);
        QFETCH(int, left);
        QVERIFY(QResource::registerResource(TOVIRA_GAME_DIR "/resuorce.rcc"));
        now = QTime(10, 0);
        GameHarness::followClock(now);
        MainWindow window;
        Scene *scene = window.getScene();
        SceneInput::activate(*scene);
        scene->slot_playGame(index);
        Game_Base *game = scene->getGameList()->game(index);
        const auto frameAfter = [&](int ms) {
            now = now.addMSecs(ms);
            GameHarness::paint(*game, QSize());
        };
        frameAfter(0);
        frameAfter(1000);
        if (leftWindow)
            window.pauseGameInPlay();
        else
            SceneInput::key(*scene, Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        frameAfter(pause);
        SceneInput::click(*scene, game->rightButtonRect().center());
        frameAfter(0);
        QCOMPARE(QTime(0, 0).msecsTo(game->getCountdown()->getRemaining()), left);
        // Escape asks only during play, not on the result screen.
        SceneInput::key(*scene, Qt::Key_Escape);
        QCOMPARE(game->isQuestionShown(), left > 0);
        if (left == 0)
            QCOMPARE(game->getScore()->getScore(), 0);
    }
};

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
