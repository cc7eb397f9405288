// The game list: names to menu indexes, starting and stopping games, out-of-range indexes.
#include "TestGame.h"

#include "app/Game_GameList.h"
#include "base/Clock.h"
#include "base/Random.h"

#include <QGraphicsScene>
#include <QPointer>
#include <QtTest>
#include <climits>

namespace
{
// A test game put in the list at `index`.
TestGame *listed(Game_GameList &list, int index, const QString &name = QStringLiteral("Janken"))
{
    auto *game = new TestGame(name);
    list.setGame(index, game);
    return game;
}
} // namespace

class TestGameList : public QObject
{
    Q_OBJECT
private slots:
    // Every game name maps to its menu index.
    void namesMapToTheirMenuIndexes()
    {
        const QStringList names = {"Setsuna", "SameGame", "Typing", "Shooting", "Slot",
                                   "Slide",   "UpDown",   "Janken", "Speed"};
        Game_GameList list;
        QSignalSpy switched(&list, &Game_GameList::signal_palyLancher);
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(Game_GameList::indexOf(names[i]), i);
            list.slot_endGame(names[i], 100 + i);
            QCOMPARE(switched.count(), i + 1);
            QCOMPARE(switched.last().at(0).toInt(), i);
            QCOMPARE(switched.last().at(1).toInt(), 100 + i);
        }
    }

    // A name that matches none exactly (case included) switches nothing.
    void unknownNamesAreIgnored()
    {
        Game_GameList list;
        QSignalSpy switched(&list, &Game_GameList::signal_palyLancher);
        list.slot_endGame("janken", 5);
        list.slot_endGame("Janken ", 5);
        list.slot_endGame("", 5);
        list.slot_endGame("Veldranix", 5);
        QCOMPARE(switched.count(), 0);
    }

    // A game put in the list reports its end through the list with its own index.
    void aGamesEndReachesTheListWithItsIndex()
    {
        Game_GameList list;
        auto *game = listed(list, 4, "Slot");
        QSignalSpy switched(&list, &Game_GameList::signal_palyLancher);
        game->getScore()->setBest(10);
        game->getScore()->setScore(3);
        game->exitGame();
        QCOMPARE(switched.count(), 1);
        QCOMPARE(switched.at(0).at(0).toInt(), 4);
        // a lower score than the best still ends the visit, with the best to keep
        QCOMPARE(switched.at(0).at(1).toInt(), 10);
    }

    // Indexes outside 0..8 and slots without a game leave the scene as it is.
    void outOfRangeOrMissingGamesStartNothing()
    {
        QGraphicsScene scene;
        Game_GameList list;
        list.setGame(0, nullptr);
        QVERIFY(!list.hasGame(0));
        for (int index : {-1, 9, 100, INT_MIN, 0})
            list.startGame(&scene, index, 50);
        QVERIFY(scene.items().isEmpty());
        list.stopGame(&scene, -1);
        list.stopGame(&scene, 9);
        QVERIFY(!list.hasGame(-1));
        QVERIFY(!list.hasGame(9));
        QVERIFY(list.game(9) == nullptr);
    }

    // A start releases the last visit first, sets the best, and only then shows and initialises
    // the game.
    void startReleasesThenShowsAndInitialises()
    {
        QGraphicsScene scene;
        Game_GameList list;
        auto *game = listed(list, 7);
        game->calls.clear();
        game->getScore()->setScore(999);
        list.startGame(&scene, 7, 250);
        QCOMPARE(game->calls, QStringList({"release", "create", "init"}));
        QCOMPARE(game->scene(), &scene);
        // best is the larger of the stored best and the score the last visit ended with
        QCOMPARE(game->getScore()->getBest(), 999);
        QCOMPARE(game->getScore()->getScore(), 0);
        QVERIFY(game->frameTimer->isActive());
    }

    // Playing the same game twice starts it clean, with the best the scene passes in.
    void secondStartIsClean()
    {
        QGraphicsScene scene;
        Game_GameList list;
        auto *game = listed(list, 7);
        list.startGame(&scene, 7, 100);
        QPointer<QTimer> firstTimer = game->frameTimer;
        game->getScore()->setScore(40);
        list.stopGame(&scene, 7);
        list.startGame(&scene, 7, 300);
        QVERIFY(firstTimer.isNull());
        QVERIFY(game->frameTimer->isActive());
        QCOMPARE(game->getScore()->getBest(), 300);
        QCOMPARE(game->getScore()->getScore(), 0);
        QCOMPARE(scene.items().count(), 1);
    }

    // With no pictures at all every game starts and says, in its own words, which pictures it
    // could not load; the sounds and the font it misses are reported elsewhere.
    void everyGameReportsItsMissingPictures_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("messages");
        const auto own = [](const char *game, const QStringList &names) {
            QStringList lines;
            for (const QString &name : names)
                lines << QStringLiteral("imgReadError: /img/%1/%2").arg(game, name);
            return lines;
        };
        const auto bare = [](const char *game, const QStringList &names) {
            QStringList lines;
            for (const QString &name : names)
                lines << QStringLiteral(":/img/%1/%2").arg(game, name);
            return lines;
        };
        const auto quoted = [](const char *game, const QString &name, int count) {
            QStringList lines;
            for (int i = 0; i < count; ++i)
                lines << QStringLiteral("imgReadError: \":/img/%1/%2%3\"").arg(game, name).arg(i);
            return lines;
        };
        QStringList setsuna = bare("setsuna", {"TITLE", "SCORE", "CURSOR", "ICON"});
        for (int i = 0; i < 4; ++i)
            setsuna << QStringLiteral("\":/img/setsuna/KOHRU%1\"").arg(i)
                    << QStringLiteral("\":/img/setsuna/TOVIRA%1\"").arg(i);
        QTest::newRow("Setsuna") << 0 << setsuna;
        QStringList sameGame = {"readError: :/img/samegame/BAR_BASE",
                                "readError: :/img/samegame/BAR", ":/img/samegame/BG",
                                "imageLoadError/samegame/SCORE"};
        for (int i = 0; i < 2; ++i)
            for (const char *tile : {"KOHRU", "TOVIRA", "TAVEL", "LUNETA"})
                sameGame << QStringLiteral("imageError::/img/samegame/%1%2").arg(tile).arg(i);
        QTest::newRow("SameGame") << 1 << sameGame;
        QTest::newRow("Slide") << 5
                               << bare("slide", {"BG", "FG"}) + own("slide", {"SCORE", "TIMER"});
        const QStringList sheet{"imageReaderror: /img/TRUMP"};
        QTest::newRow("Slot") << 4 << sheet + bare("slot", {"BG", "FG"}) + own("slot", {"SCORE"});
        QTest::newRow("UpDown") << 6
                                << sheet + bare("updown", {"BG"}) +
                                       own("updown", {"SCORE", "TIMER", "REST", "UP", "DOWN"});
        QTest::newRow("Speed") << 8
                               << sheet + bare("speed", {"BG"}) +
                                      own("speed", {"SCORE", "TIMER", "REST"});
        QTest::newRow("Typing") << 2
                                << bare("typing", {"BG"}) +
                                       own("typing", {"SCORE", "TIMER", "BORDER", "ARROW0",
                                                      "ARROW1", "ARROW2", "ARROW3"});
        QStringList janken = bare("janken", {"BG", "FG"}) + own("janken", {"SCORE", "TIMER"});
        for (int i = 0; i < 3; ++i)
            janken << quoted("janken", "TOVIRA", 3).at(i) << quoted("janken", "HAND", 3).at(i);
        QTest::newRow("Janken") << 7 << janken + own("janken", {"POINT"});
        QTest::newRow("Shooting") << 3
                                  << bare("shooting", {"BG01", "BG02"}) +
                                         own("shooting", {"TARGET", "SCORE", "TIMER"}) +
                                         own("shooting", {"TOVIRA00"}) +
                                         quoted("shooting", "TOVIRA0", 5).mid(1) +
                                         own("shooting", {"KOHRU01", "KOHRU00", "PLUS", "MINUS"});
    }
    void everyGameReportsItsMissingPictures()
    {
        QFETCH(int, index);
        QFETCH(QStringList, messages);
        static QStringList seen;
        seen.clear();
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &m) {
                if (m.contains(QLatin1String("/img/")) || m.contains(QLatin1String("Error")))
                    seen << m;
            });
        QGraphicsScene scene;
        Game_GameList list;
        list.startGame(&scene, index, 0);
        list.stopGame(&scene, index);
        qInstallMessageHandler(previous);
        QCOMPARE(seen, messages);
    }

    // Each start seeds the generator from the time of day: two times the game's formula maps to
    // one seed start the same play, a time it maps elsewhere another. The sum of hour, minute,
    // second and millisecond leaves out which field is which; "mmssszzz" leaves out the hour.
    void eachStartSeedsFromTheTimeOfDay_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QTime>("first");
        QTest::addColumn<QTime>("same");
        QTest::addColumn<QTime>("other");
        const QTime sum(10, 0, 0, 0), clock(10, 5, 7, 123);
        const auto bySum = [&](const char *name, int index, const QTime &other) {
            QTest::newRow(name) << index << sum << QTime(9, 1, 0, 0) << other;
        };
        const auto byClock = [&](const char *name, int index, const QTime &other) {
            QTest::newRow(name) << index << clock << QTime(11, 5, 7, 123) << other;
        };
        bySum("Setsuna", 0, QTime(10, 0, 0, 1));
        bySum("SameGame", 1, QTime(10, 0, 0, 1));
        byClock("Typing", 2, QTime(10, 5, 8, 123));
        bySum("Slot", 4, QTime(10, 0, 0, 1));
        bySum("Slide", 5, QTime(10, 0, 0, 1));
        bySum("UpDown", 6, QTime(10, 0, 1, 0));
        byClock("Janken", 7, QTime(10, 5, 7, 124));
        byClock("Speed", 8, QTime(10, 6, 7, 123));
    }
    void eachStartSeedsFromTheTimeOfDay()
    {
        QFETCH(int, index);
        QFETCH(QTime, first);
        QFETCH(QTime, same);
        QFETCH(QTime, other);
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        QGraphicsScene scene;
        Game_GameList list;
        const auto nextDrawAfterAStartAt = [&](const QTime &t) {
            Clock::setTimeSource([t] { return t; });
            Clock::setMonotonicSource([t] { return qint64(QTime(0, 0).msecsTo(t)); });
            Random::seed(1);
            list.startGame(&scene, index, 0);
            const int draw = Random::draw();
            list.stopGame(&scene, index);
            return draw;
        };
        const int at = nextDrawAfterAStartAt(first);
        const int atSame = nextDrawAfterAStartAt(same), atOther = nextDrawAfterAStartAt(other);
        Clock::reset();
        qInstallMessageHandler(previous);
        QCOMPARE(atSame, at);
        QVERIFY(atOther != at);
    }

    // The games that make their play on demand start even when nothing made it first.
    void aStartWithoutResourcesMakesThem()
    {
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        Game_GameList list;
        for (int index : {0, 2, 3, 7}) {
            QGraphicsScene scene;
            scene.addItem(list.game(index));
            list.game(index)->initGame();
            QVERIFY2(list.game(index)->isFrameTimerActive(), qPrintable(QString::number(index)));
            list.stopGame(&scene, index);
        }
        qInstallMessageHandler(previous);
    }

    // Stopping takes the game off the scene and stops its timers; its score stays.
    void stopRemovesTheGameAndStopsItsTimers()
    {
        QGraphicsScene scene;
        Game_GameList list;
        auto *game = listed(list, 1);
        list.startGame(&scene, 1, 0);
        game->getScore()->setScore(77);
        QVERIFY(game->frameTimer->isActive());
        list.stopGame(&scene, 1);
        QVERIFY(game->scene() == nullptr);
        QVERIFY(!game->frameTimer->isActive());
        QCOMPARE(game->getScore()->getScore(), 77);
        QVERIFY(game->frameTimer != nullptr);
    }
};

QTEST_MAIN(TestGameList)
#include "tst_gamelist.moc"
