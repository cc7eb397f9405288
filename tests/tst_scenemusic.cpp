// Music follows the screen: the scene starts and stops the three tracks at every switch, heard
// through the sound manager's recorder.
#include "SoundRecorder.h"
#include "TestGame.h"
#include "app/Game_GameList.h"
#include "app/Scene.h"
#include "base/Notice.h"
#include "sound/AudioSet.h"
#include "sound/SoundSettings.h"

#include <QKeyEvent>
#include <QSettings>

#include <QtTest>

class TestSceneMusic : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString oldCwd;
    std::shared_ptr<SoundRecorder> recorder = std::make_shared<SoundRecorder>();

private slots:
    void initTestCase()
    {
        // The settings file goes to the test folders, never the user's own.
        QStandardPaths::setTestModeEnabled(true);
        oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        QVERIFY(AudioSet::createInstance(recorder, TOVIRA_GAME_DIR "/Tovira.fka"));
    }
    void cleanupTestCase()
    {
        AudioSet::destroyInstance();
        QDir::setCurrent(oldCwd);
    }
    void init() { recorder->clear(); }

    // The launcher's first showing starts the menu music.
    void theMenuMusicStartsWithTheScene()
    {
        Scene scene(nullptr, 1024, 576);
        QCOMPARE(recorder->events(), QStringList{"play bgm1"});
    }

    // A game swaps the menu music for the game music, and its end swaps them back.
    void aGamePlaysTheGameMusicUntilItEnds()
    {
        Scene scene(nullptr, 1024, 576);
        auto *game = new TestGame(QStringLiteral("Janken"));
        scene.getGameList()->setGame(7, game);
        recorder->clear();
        // The menu track's sink still holds 120 ms: the game track comes in as its fade does.
        AudioSet::getInstance()->finishLoading();
        recorder->setHeld("bgm1", 120);
        scene.slot_playGame(7);
        QCOMPARE(recorder->events(), (QStringList{"stop bgm1", "play bgm2"}));
        QVERIFY2(recorder->leadMilliseconds("bgm2") > 60,
                 qPrintable(QString::number(recorder->leadMilliseconds("bgm2"))));
        QVERIFY(recorder->leadMilliseconds("bgm2") <= 120);
        recorder->clear();
        game->exitGame();
        QCOMPARE(recorder->events(), (QStringList{"stop bgm2", "play bgm1"}));
        QCOMPARE(recorder->leadMilliseconds("bgm1"), 0);
        // Each change is a crossfade: the old track fades out over the same span as the new
        // one fades in, and both play meanwhile.
        for (const char *track : {"bgm1", "bgm2"}) {
            QVERIFY2(recorder->fadeMilliseconds(track) >= 150, track);
            QVERIFY2(recorder->fadeMilliseconds(track) <= 300, track);
        }
        QVERIFY(recorder->fadeMilliseconds("win") < 150);
    }

    // M mutes every sound at once and stores it, showing its mark for a moment; M again
    // unmutes.
    void theMKeyMutesAndUnmutesEverything()
    {
        QFile::remove(SoundSettings::filePath());
        Scene scene(nullptr, 1024, 576);
        AudioSet *audio = AudioSet::getInstance();
        audio->finishLoading();
        audio->setMusicVolume(0.5);
        QCOMPARE(recorder->volume("bgm1"), 0.5);
        QKeyEvent m(QEvent::KeyPress, Qt::Key_M, Qt::NoModifier, QStringLiteral("m"));
        QCoreApplication::sendEvent(&scene, &m);
        QVERIFY(audio->isMuted());
        QVERIFY(scene.getMuteToggle().isBadgeShown());
        for (const char *member : {"bgm1", "bgm2", "win", "miss"})
            QCOMPARE(recorder->volume(member), 0.0);
        QVERIFY(QSettings(SoundSettings::filePath(), QSettings::IniFormat)
                    .value("sound/muted")
                    .toBool());
        QCoreApplication::sendEvent(&scene, &m);
        QVERIFY(!audio->isMuted());
        QCOMPARE(recorder->volume("bgm1"), 0.5);
        QCOMPARE(recorder->volume("win"), 1.0);
        audio->setMusicVolume(1.0);
    }

    // An entry without a game leaves the menu music alone.
    void anEntryWithoutAGameKeepsTheMenuMusic()
    {
        Scene scene(nullptr, 1024, 576);
        scene.getGameList()->setGame(2, nullptr);
        recorder->clear();
        scene.slot_playGame(2);
        scene.slot_playGame(-1);
        QVERIFY(recorder->events().isEmpty());
    }

    // A story plays the story music; its return brings the menu music back.
    void aStoryPlaysTheStoryMusic()
    {
        Scene scene(nullptr, 1024, 576);
        recorder->clear();
        scene.slot_playAdv(0);
        QCOMPARE(recorder->events(), (QStringList{"stop bgm1", "play bgm3"}));
        recorder->clear();
        scene.slot_playLancher(0);
        QCOMPARE(recorder->events(), (QStringList{"stop bgm3", "play bgm1"}));
    }

    // The sibling entry stops the menu music, and starts no other, once the sibling has started;
    // a sibling that cannot start leaves the menu music playing under the notice.
    void theSiblingEntryStopsTheMenuMusicWhenItStarts()
    {
        int notices = 0;
        Notice::setHandler([&notices](const QString &, const QString &) { ++notices; });
        Scene scene(nullptr, 1024, 576);
        recorder->clear();
        scene.slot_playGame(Scene::SiblingIndex);
        QVERIFY(recorder->events().isEmpty());
        QCOMPARE(notices, 1);
        QFile sibling("veldranix.exe");
        QVERIFY(sibling.open(QIODevice::WriteOnly));
        sibling.write("#!/bin/sh\n");
        sibling.close();
        sibling.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        scene.slot_playGame(Scene::SiblingIndex);
        QCOMPARE(recorder->events(), QStringList{"stop bgm1"});
        QCOMPARE(notices, 1);
        Notice::setHandler({});
    }
};

QTEST_MAIN(TestSceneMusic)
#include "tst_scenemusic.moc"
