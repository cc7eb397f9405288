// The scene's best-score table, its score file and the sibling program entry.
#include "app/Notice.h"
#include "app/Scene.h"
#include "app/ScoreFile.h"

#include <QtTest>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
};

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
