// The game list: names to menu indexes, starting and stopping games, out-of-range indexes.
#include "TestGame.h"

#include "app/Game_GameList.h"

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
