// Janken: the hand cycle and the marker through the rules class, the elapsed clock, and the
// game item rendered frame by frame and driven by real key and mouse events sent to the scene.
#include "app/Clock.h"
#include "app/Random.h"
#include "app/Scene.h"
#include "games/clock/Game_ElapsedClock.h"
#include "games/frame/Game_GameList.h"
#include "games/frame/Game_Score.h"
#include "games/janken/Game_Janken.h"
#include "games/janken/Game_Janken_Duel.h"
#include "launcher/Item_Lancher.h"

#include <QFontDatabase>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QResource>
#include <QtTest>

namespace {
QTime now;

void sendKey(QGraphicsScene &scene, int key)
{
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&scene, &release);
}

void sendMouse(QGraphicsScene &scene, QEvent::Type type, QPointF at, Qt::MouseButtons buttons)
{
    QGraphicsSceneMouseEvent e(type);
    e.setScenePos(at);
    e.setButton(type == QEvent::GraphicsSceneMouseMove ? Qt::NoButton : Qt::LeftButton);
    e.setButtons(buttons);
    e.setButtonDownScenePos(Qt::LeftButton, at);
    QCoreApplication::sendEvent(&scene, &e);
}

// A pointer move (which drives hover) and a left click at a scene position.
void click(QGraphicsScene &scene, QPointF at)
{
    sendMouse(scene, QEvent::GraphicsSceneMouseMove, at, Qt::NoButton);
    sendMouse(scene, QEvent::GraphicsSceneMousePress, at, Qt::LeftButton);
    sendMouse(scene, QEvent::GraphicsSceneMouseRelease, at, Qt::NoButton);
}

const int HandKeys[3] = {Qt::Key_Up, Qt::Key_Right, Qt::Key_Left};

// Advances the wall clock by stepMs and paints one frame of the item into image.
void frame(Game_Janken &game, QImage &image, int stepMs)
{
    now = now.addMSecs(stepMs);
    QPainter painter(&image);
    game.paint(&painter, nullptr, nullptr);
}

// Plays frames until the throw is judged; with win the player shows the winning hand once the
// opponent has drawn, otherwise the given hand offset against it (0 draw, 2 loss).
void playThrow(QGraphicsScene &scene, Game_Janken &game, QImage &image, int stepMs, int offset)
{
    const Game_Janken_Duel *duel = game.getDuel();
    int previousX = duel->getPointX();
    for (int i = 0; i < 1000 && !duel->isFinished(); ++i) {
        frame(game, image, stepMs);
        if (duel->getPointX() < previousX)
            return; // won: the marker is back at the start
        previousX = duel->getPointX();
        if (duel->isOpponentDrawn())
            sendKey(scene, HandKeys[(duel->getOpponentHand() + offset) % 3]);
    }
}
} // namespace

class TestJanken : public QObject
{
    Q_OBJECT
private:
    QGraphicsScene *scene = nullptr;
    Game_Janken *game = nullptr;
    QImage image{1024, 576, QImage::Format_ARGB32_Premultiplied};

    // The reference result screen: black, the score panel and the dialog with title.
    QImage resultScreen(const QString &title)
    {
        QImage ref(image.size(), image.format());
        QPainter painter(&ref);
        painter.fillRect(ref.rect(), Qt::black);
        QImage panel(":/img/janken/SCORE");
        game->drawScorePanel(&painter, panel.convertToFormat(image.format()));
        game->drawDialog(&painter, title, "もう一度", "メニューに戻る");
        return ref;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QResource::registerResource(TOVIRA_GAME_DIR "/resuorce.rcc"));
        QFontDatabase::addApplicationFont(":/font/tanuki");
        Clock::setTimeSource([] { return now; });
    }
    void init()
    {
        now = QTime(10, 0);
        scene = new QGraphicsScene(0, 0, 1020, 572);
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(scene, &activate);
        game = new Game_Janken;
        scene->addItem(game);
        game->createResources();
        game->initGame();
    }
    void cleanup()
    {
        delete game;
        delete scene;
    }

    // Paper beats rock, rock beats scissors, scissors beat paper; nothing beats itself.
    void eachHandBeatsExactlyTheNextButOne()
    {
        for (int p = 0; p < 3; ++p)
            for (int o = 0; o < 3; ++o)
                QCOMPARE(Game_Janken_Duel::beats(p, o), (p == 1 && o == 0) || (p == 0 && o == 2) || (p == 2 && o == 1));
    }

    // The opponent draws once, on the first frame whose marker centre is strictly past 150.
    void opponentDrawsOncePerThrowInsideTheZone()
    {
        Random::seed(77);
        const int first = Random::draw(), second = Random::draw(), third = Random::draw();
        Random::seed(77);
        Game_Janken_Duel duel;
        duel.start();
        QCOMPARE(duel.getOpponentHand(), first % 3);
        for (int k = 0; k <= 43; ++k)
            duel.step(62, false); // centres 21 .. 150
        QVERIFY(!duel.isOpponentDrawn());
        duel.step(62, false); // centre 153
        QVERIFY(duel.isOpponentDrawn());
        QCOMPARE(duel.getOpponentHand(), second % 3);
        while (duel.getPointX() + 31 <= Game_Janken_Duel::JudgeX)
            duel.step(62, false);
        QCOMPARE(Random::draw(), third);
    }

    // A centre exactly on the line is not judged yet; the next frame is; speed 3 then 8.
    void throwIsJudgedOnlyPastTheLine()
    {
        Game_Janken_Duel duel;
        duel.start();
        for (int k = 0; k <= 120; ++k) {
            duel.step(60, false); // last centre 380
            duel.setPlayerHand(duel.getOpponentHand());
        }
        QVERIFY(!duel.isFinished());
        QCOMPARE(duel.step(60, true), Game_Janken_Duel::StartX + 3 * 121);
        QVERIFY(duel.isFinished());
        QVERIFY(!duel.isLost());
        QCOMPARE(duel.getPointX(), Game_Janken_Duel::StartX + 3 * 121 + 8);
    }

    // The clock adds positive advances of the second-and-millisecond reading only.
    void clockSkipsMinuteWrapsAndCountsNoHours()
    {
        Game_ElapsedClock clock;
        clock.start(QTime(9, 59, 58, 500));
        clock.tick(QTime(9, 59, 59, 900));
        clock.tick(QTime(10, 0, 0, 100)); // wrapped: nothing
        clock.tick(QTime(10, 1, 7, 450)); // 7.35 s
        QCOMPARE(clock.getElapsed(), QTime(0, 0, 8, 750));
        QCOMPARE(clock.text(), QString("00:08:75"));
        clock.skipTo(QTime(10, 1, 30));
        clock.tick(QTime(10, 1, 30, 20));
        QCOMPARE(clock.text(), QString("00:08:77"));
    }

    // initGame seeds with the wall clock's "mmssszzz" and the first hand is its first draw.
    void playSeedsFromMinutesSecondsAndMilliseconds()
    {
        Random::seed(123434567);
        const int first = Random::draw(), second = Random::draw();
        now = QTime(10, 12, 34, 567);
        game->initGame();
        QCOMPARE(game->getDuel()->getOpponentHand(), first % 3);
        QCOMPARE(Random::draw(), second);
    }

    // A whole play: wins keep the score on the clock (2 min 3 s → 15,375), the marker speeds up
    // from minute 1, a loss shows まけ！, Space retries, Escape and Space leave with the best.
    void wholePlayRendersToTheResultAndLeavesWithTheBest()
    {
        QSignalSpy ended(game, &Game_Janken::endGame);
        frame(*game, image, 200);
        QCOMPARE(game->getDuel()->getPointX(), -10 + 3);
        int wins = 0;
        while (now < QTime(10, 2, 3, 600)) {
            const int x = game->getDuel()->getPointX();
            const bool fast = game->getClock()->getElapsed().minute() > 0;
            frame(*game, image, 200);
            QVERIFY(!game->isFinished());
            QCOMPARE(game->getScore()->getScore(), game->getClock()->wholeSeconds() * 125);
            if (game->getDuel()->getPointX() < x) {
                ++wins;
                QCOMPARE(game->getDuel()->getPointX(), -10);
            } else {
                QCOMPARE(game->getDuel()->getPointX() - x, fast ? 8 : 3);
            }
            if (game->getDuel()->isOpponentDrawn())
                sendKey(*scene, HandKeys[(game->getDuel()->getOpponentHand() + 1) % 3]);
        }
        // Two minute wraps lost one 200 ms step each.
        QCOMPARE(game->getClock()->text(), QString("02:03:20"));
        QCOMPARE(game->getScore()->getScore(), 15375);
        QVERIFY(wins >= 5);

        playThrow(*scene, *game, image, 0, 2);
        QVERIFY(game->getDuel()->isLost());
        frame(*game, image, 16);
        QCOMPARE(image, resultScreen("まけ！"));

        sendKey(*scene, Qt::Key_Space);
        QVERIFY(!game->isFinished());
        QCOMPARE(game->getScore()->getBest(), 15375);
        QCOMPARE(game->getScore()->getScore(), 0);
        sendKey(*scene, Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        sendKey(*scene, Qt::Key_Space);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toString(), QString("Janken"));
        QCOMPARE(ended.at(0).at(1).toInt(), 15375);
    }

    // A draw shows あいこ！; a click on "メニューに戻る" leaves even if the pointer last hovered
    // "もう一度" before the play.
    void drawShowsAikoAndTheClickedButtonActs()
    {
        click(*scene, game->leftButtonRect().center() + QPointF(2, 2)); // hover, play unaffected
        QVERIFY(!game->isFinished());
        playThrow(*scene, *game, image, 16, 0);
        QVERIFY(game->isFinished() && !game->getDuel()->isLost());
        frame(*game, image, 16);
        QCOMPARE(image, resultScreen("あいこ！"));
        QSignalSpy ended(game, &Game_Janken::endGame);
        sendMouse(*scene, QEvent::GraphicsSceneMousePress, game->rightButtonRect().center(),
                  Qt::LeftButton);
        sendMouse(*scene, QEvent::GraphicsSceneMouseRelease, game->rightButtonRect().center(),
                  Qt::NoButton);
        QCOMPARE(ended.count(), 1);
    }

    // On the result screen a click on "もう一度" starts a new play.
    void clickOnRetryStartsANewPlay()
    {
        playThrow(*scene, *game, image, 16, 2);
        QVERIFY(game->isFinished());
        click(*scene, game->leftButtonRect().center() + QPointF(2, 2));
        QVERIFY(!game->isFinished());
        QCOMPARE(game->getDuel()->getPointX(), -10);
    }

    // Down and Space do nothing during play; Escape pauses, and the paused time is not scored.
    void pauseTimeIsNotCountedAndDownDoesNothing()
    {
        frame(*game, image, 500);
        sendKey(*scene, Qt::Key_Right);
        sendKey(*scene, Qt::Key_Down);
        sendKey(*scene, Qt::Key_Space);
        QCOMPARE(game->getDuel()->getPlayerHand(), 1);
        QVERIFY(!game->isQuestionShown());
        sendKey(*scene, Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        const int x = game->getDuel()->getPointX();
        frame(*game, image, 20000);
        QCOMPARE(game->getDuel()->getPointX(), x);
        click(*scene, game->rightButtonRect().center() + QPointF(2, 2)); // いいえ
        QVERIFY(!game->isQuestionShown());
        frame(*game, image, 300);
        QCOMPARE(game->getClock()->getElapsed(), QTime(0, 0, 0, 800));
    }

    // The road through the real scene: menu entry 7 starts Janken, leaving with the best score
    // brings the launcher back and writes it to tovira.conf as game8.
    void sceneStartsJankenAndStoresItsBest()
    {
        QTemporaryDir dir;
        const QString oldCwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        {
            Scene road(nullptr, 1024, 576);
            QEvent activate(QEvent::WindowActivate);
            QCoreApplication::sendEvent(&road, &activate);
            road.slot_playGame(7);
            auto *janken = qobject_cast<Game_Janken *>(road.getGameList()->game(7));
            QVERIFY(janken && janken->scene() == &road);
            QVERIFY(!road.getLauncher()->scene());
            playThrow(road, *janken, image, 100, 2);
            const int best = janken->getScore()->getScore();
            QVERIFY(best >= 1000);
            sendKey(road, Qt::Key_Space);
            sendKey(road, Qt::Key_Escape);
            sendKey(road, Qt::Key_Space);
            QVERIFY(!janken->scene());
            QCOMPARE(road.getLauncher()->scene(), &road);
            QFile conf("tovira.conf");
            QVERIFY(conf.open(QIODevice::ReadOnly));
            QVERIFY(conf.readAll().contains("game8=" + QByteArray::number(best) + "\n"));
        }
        QDir::setCurrent(oldCwd);
    }
};

QTEST_MAIN(TestJanken)
#include "tst_janken.moc"
