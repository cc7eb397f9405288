// The scene's best-score table, its score file and the sibling program entry.
#include "app/Notice.h"
#include "app/Scene.h"
#include "app/ScoreFile.h"
#include "AsOtherUser.h"
#include "TestGame.h"
#include "games/frame/Game_GameList.h"
#include "launcher/Item_Lancher.h"

#include <QGraphicsView>
#include <QtTest>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
} // namespace

class TestScene : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString oldCwd;
    QStringList notices;

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
    void cleanupTestCase() { QDir::setCurrent(oldCwd); }

    // A first start creates the file with ten zeros and reads it back without a notice.
    void firstStartCreatesZeroFile()
    {
        Scene scene(nullptr, 1024, 576);
        QCOMPARE(scene.sceneRect(), QRectF(0, 0, 1020, 572));
        const int zeros[10] = {};
        QCOMPARE(readAll("tovira.conf"), ScoreFile::format(zeros).toUtf8());
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
        QVERIFY(readAll("tovira.conf").contains("game10=0\n"));

        scene.slot_playLancher(1, 25);
        QCOMPARE(scene.getScores()[1], 25);
        QVERIFY(readAll("tovira.conf").contains("game2=25\n"));

        QFile::remove("tovira.conf");
        scene.slot_playLancher(2, 5);
        QCOMPARE(scene.getScores()[2], 30);
        QVERIFY(readAll("tovira.conf").contains("game3=30\n"));
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
        TestGame *game = plugTestGame(scene);
        scene.slot_playGame(7);
        game->getScore()->setScore(250);
        game->exitGame();
        QVERIFY(game->scene() == nullptr);
        QVERIFY(!game->frameTimer->isActive());
        QCOMPARE(scene.getLauncher()->scene(), &scene);
        QCOMPARE(scene.items().count(), 1);
        QCOMPARE(scene.getScores()[7], 250);
        QCOMPARE(scene.getLauncher()->getTotalScore(), qint64(280));
        QVERIFY(readAll("tovira.conf").contains("game8=250\n"));
    }

    // A lower score keeps the table, and the file is still rewritten after the game.
    void aLowerScoreKeepsTheTableButRewritesTheFile()
    {
        writeScoreFile(300);
        Scene scene(nullptr, 1024, 576);
        TestGame *game = plugTestGame(scene);
        scene.slot_playGame(7);
        game->getScore()->setScore(10);
        QFile::remove("tovira.conf");
        game->exitGame();
        QCOMPARE(scene.getScores()[7], 300);
        QCOMPARE(scene.getLauncher()->scene(), &scene);
        QVERIFY(readAll("tovira.conf").contains("game8=300\n"));
    }

    // A score file that cannot be written keeps the new best in the table and on the menu (the
    // old file is not read back over it), and the next game writes it.
    void aFailedWriteKeepsTheNewBest()
    {
        writeScoreFile(100);
        Scene scene(nullptr, 1024, 576);
        TestGame *game = plugTestGame(scene);
        scene.slot_playGame(7);
        game->getScore()->setScore(250);
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
        QVERIFY(readAll("tovira.conf").contains("game8=250\n"));
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
        script.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/args.txt\"\n");
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
        QTRY_COMPARE_WITH_TIMEOUT(readAll(record),
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
};

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
