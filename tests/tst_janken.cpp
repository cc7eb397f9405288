// Janken: the hand cycle and the marker through the rules class, the elapsed clock, and the
// game item rendered frame by frame and driven by real key and mouse events sent to the scene.
#include "FlatPictures.h"
#include "GameHarness.h"
#include "InkOffPaper.h"
#include "SceneInput.h"
#include "base/Clock.h"
#include "base/Game_ElapsedClock.h"
#include "base/Random.h"
#include "games/frame/Game_Score.h"
#include "games/janken/Game_Janken.h"
#include "games/janken/Game_Janken_Duel.h"

#include <QFontDatabase>
#include <QPainter>
#include <QResource>
#include <QtTest>

namespace
{
QTime now;
const int HandKeys[3] = {Qt::Key_Up, Qt::Key_Right, Qt::Key_Left};
} // namespace

class TestJanken : public QObject, GameScene
{
    Q_OBJECT
private:
    Game_Janken *game = nullptr;

    const Game_Janken_Duel &duel() const { return *game->getDuel(); }

    // Advances the wall clock by stepMs and paints one frame of the item.
    void frame(int stepMs)
    {
        now = now.addMSecs(stepMs);
        QPainter painter(&image);
        game->paint(&painter, nullptr, nullptr);
    }

    // Plays until the throw is judged, answering the opponent's drawn hand with the hand
    // offset from it: 1 wins, 0 draws, 2 loses.
    void playThrow(int stepMs, int offset)
    {
        int previousX = duel().getPointX();
        while (!duel().isFinished() && duel().getPointX() >= previousX) {
            previousX = duel().getPointX();
            frame(stepMs);
            if (duel().isOpponentDrawn())
                SceneInput::key(*scene, HandKeys[(duel().getOpponentHand() + offset) % 3]);
        }
    }

    // The result screen as it must look: black, the score panel, the dialog with this title.
    QImage resultScreen(const QString &title)
    {
        QImage ref(image.size(), image.format());
        QPainter painter(&ref);
        painter.fillRect(ref.rect(), Qt::black);
        game->drawScorePanel(&painter, QImage(":/img/janken/SCORE").convertToFormat(ref.format()));
        game->drawDialog(&painter, title, "もう一度", "メニューに戻る");
        return ref;
    }

private slots:
    void initTestCase() { QVERIFY(setUpFlat(now)); }
    void init()
    {
        now = QTime(10, 0);
        open(game = new Game_Janken);
    }
    void cleanup() { close(); }

    // A start seeds with the wall clock's "mmssszzz" ("s" repeats the seconds) as a number and
    // draws the first hand.
    void theStartSeedsWithMinutesSecondsAndMilliseconds()
    {
        for (const QTime &t : {QTime(10, 0), QTime(7, 59, 58, 999), QTime(23, 12, 3, 40)}) {
            now = t;
            game->initGame();
            const unsigned int seed = t.toString("mmssszzz").toUInt();
            QCOMPARE(duel().getOpponentHand(), FlatPictures::draw(seed, 1) % 3);
            QCOMPARE(Random::draw(), FlatPictures::draw(seed, 2));
        }
    }

    // Which picture shows where on the first frame: HAND0 (300 x 300) from 50 px left of the
    // edge at mid-height, TOVIRA (360 x 460) in the bottom-right corner, the marker (64 x 64)
    // from x -10 at half opacity, FG over them, then the panel at (0, 10) and TIMER (360 x 124)
    // centred at the top, 10 px down.
    void thePicturesLieWhereTheScreensPutThem_data()
    {
        const QString bg = "img/janken/BG", fg = "img/janken/FG", hand = "img/janken/HAND0",
                      tovira = "img/janken/TOVIRA", timer = "img/janken/TIMER";
        // clang-format off
        FlatPictures::table(
            {{0, {20, 140}, hand}, {0, {248, 436}, hand}, {0, {252, 300}, bg}, {0, {0, 560}, bg}, {0, {1, 300}, fg}, {0, {500, 1}, fg}, {0, {1023, 20}, bg},
             {0, {20, 136}, bg}, {0, {20, 440}, bg}, {0, {700, 118}, tovira},
             {0, {1000, 550}, tovira}, {0, {662, 300}, bg}, {0, {900, 114}, bg},
             {0, {30, 258}, "img/janken/POINT&" + hand}, {0, {52, 318}, "img/janken/POINT&" + hand},
             {0, {56, 288}, hand}, {0, {30, 254}, hand}, {0, {334, 12}, timer},
             {0, {334, 132}, timer}, {0, {690, 132}, timer}, {0, {690, 12}, timer},
             {0, {330, 50}, bg}, {0, {512, 136}, bg}, {0, {2, 12}, "img/janken/SCORE"},
             {0, {117, 117}, "img/janken/SCORE"}, {0, {2, 300}, fg}, {0, {1020, 572}, fg},
             {0, {512, 2}, fg}, {0, {512, 574}, fg}, {1, {1020, 572}, "#383838"},
             {2, {1020, 572}, "#000000"}, {2, {2, 12}, "img/janken/SCORE"},
             {2, {117, 117}, "img/janken/SCORE"}});
        // clang-format on
    }
    void thePicturesLieWhereTheScreensPutThem()
    {
        const auto [screen, at, shows] = FlatPictures::row();
        if (screen == 1)
            SceneInput::key(*scene, Qt::Key_Escape);
        if (screen == 2)
            playThrow(16, 2);
        const QImage shot = FlatPictures::paint(*game);
        QVERIFY2(FlatPictures::shows(shot, at, shows), qPrintable(FlatPictures::at(shot, at)));
    }

    // Paper beats rock, rock beats scissors, scissors beat paper; nothing beats itself.
    void eachHandBeatsExactlyTheNextButOne()
    {
        for (int p = 0; p < 3; ++p)
            for (int o = 0; o < 3; ++o)
                QCOMPARE(Game_Janken_Duel::beats(p, o),
                         (p == 1 && o == 0) || (p == 0 && o == 2) || (p == 2 && o == 1));
    }

    // The opponent draws once, on the first frame whose marker centre is strictly past 150.
    void opponentDrawsOncePerThrowInsideTheZone()
    {
        Random::seed(77);
        const int first = Random::draw(), second = Random::draw(), third = Random::draw();
        Random::seed(77);
        Game_Janken_Duel d;
        d.start();
        QCOMPARE(d.getOpponentHand(), first % 3);
        for (int k = 0; k <= 43; ++k)
            d.step(62, false); // centres 21 .. 150
        QVERIFY(!d.isOpponentDrawn());
        d.step(62, false); // centre 153
        QVERIFY(d.isOpponentDrawn());
        QCOMPARE(d.getOpponentHand(), second % 3);
        while (d.getPointX() + 31 <= Game_Janken_Duel::JudgeX)
            d.step(62, false);
        QCOMPARE(Random::draw(), third);
    }

    // The zone lies strictly between 150 and 250: a marker whose first centre (-10 plus half
    // its width) is inside draws at once, one on either edge does not.
    void theZoneEndsAreOutside_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("centre 150") << 320 << false;
        QTest::newRow("centre 151") << 322 << true;
        QTest::newRow("centre 249") << 518 << true;
        QTest::newRow("centre 250") << 520 << false;
    }
    void theZoneEndsAreOutside()
    {
        QFETCH(int, width);
        QFETCH(bool, drawn);
        Game_Janken_Duel d;
        d.start();
        d.step(width, false);
        QCOMPARE(d.isOpponentDrawn(), drawn);
    }

    // A centre exactly on the line is not judged yet; the next frame is; speed 3 then 8.
    void throwIsJudgedOnlyPastTheLine()
    {
        Game_Janken_Duel d;
        d.start();
        for (int k = 0; k <= 120; ++k) {
            d.step(60, false); // last centre 380
            d.setPlayerHand(d.getOpponentHand());
        }
        QVERIFY(!d.isFinished());
        QCOMPARE(d.step(60, true), -10 + 3 * 121);
        QVERIFY(d.isFinished() && !d.isLost());
        QCOMPARE(d.getPointX(), -10 + 3 * 121 + 8);
    }

    // initGame seeds with the wall clock's "mmssszzz" and the first hand is its first draw.
    void playSeedsFromMinutesSecondsAndMilliseconds()
    {
        Random::seed(123434567);
        const int first = Random::draw(), second = Random::draw();
        now = QTime(10, 12, 34, 567);
        game->initGame();
        QCOMPARE(duel().getOpponentHand(), first % 3);
        QCOMPARE(Random::draw(), second);
    }

    // A whole play: wins send the marker back and the score follows the clock (2 min 3 s →
    // 15,375), the marker speeds up from minute 1, a loss shows まけ！, Space retries, and
    // Escape then Space leave with the best score.
    void wholePlayRendersToTheResultAndLeavesWithTheBest()
    {
        QSignalSpy ended(game, &Game_Janken::endGame);
        frame(200);
        QCOMPARE(duel().getPointX(), -10 + 3);
        int wins = 0;
        while (now < QTime(10, 2, 3, 600)) {
            const int x = duel().getPointX();
            const bool fast = game->getClock()->getElapsed().minute() > 0;
            frame(200);
            QVERIFY(!game->isFinished());
            QCOMPARE(game->getScore()->getScore(), game->getClock()->wholeSeconds() * 125);
            if (duel().getPointX() < x) {
                ++wins;
                QCOMPARE(duel().getPointX(), -10);
            } else {
                QCOMPARE(duel().getPointX() - x, fast ? 8 : 3);
            }
            if (duel().isOpponentDrawn())
                SceneInput::key(*scene, HandKeys[(duel().getOpponentHand() + 1) % 3]);
        }
        // Every step counts, the two across a change of minute too.
        QCOMPARE(game->getClock()->text(), QString("02:03:60"));
        QCOMPARE(game->getScore()->getScore(), 15375);
        QVERIFY(wins >= 5);

        playThrow(0, 2);
        QVERIFY(duel().isLost());
        frame(16);
        QCOMPARE(image, resultScreen("まけ！"));

        SceneInput::key(*scene, Qt::Key_Space);
        QVERIFY(!game->isFinished());
        QCOMPARE(game->getScore()->getBest(), 15375);
        QCOMPARE(game->getScore()->getScore(), 0);
        SceneInput::key(*scene, Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        SceneInput::key(*scene, Qt::Key_Space);
        GameHarness::verifyEnded(ended, "Janken", 15375);
    }

    // A draw shows あいこ！; a click on "メニューに戻る" leaves even though the pointer last
    // hovered "もう一度" before the play.
    void drawShowsAikoAndTheClickedButtonActs()
    {
        SceneInput::click(*scene, game->leftButtonRect().center() + QPointF(2, 2));
        QVERIFY(!game->isFinished());
        playThrow(16, 0);
        QVERIFY(game->isFinished() && !duel().isLost());
        frame(16);
        QCOMPARE(image, resultScreen("あいこ！"));
        QSignalSpy ended(game, &Game_Janken::endGame);
        const QPointF menu = game->rightButtonRect().center();
        SceneInput::mouse(*scene, QEvent::GraphicsSceneMousePress, menu, Qt::LeftButton);
        SceneInput::mouse(*scene, QEvent::GraphicsSceneMouseRelease, menu, Qt::NoButton);
        QCOMPARE(ended.count(), 1);
        // A first visit has no best yet: the play's own score is what reaches the menu.
        QVERIFY(game->getScore()->getScore() >= 125);
        QCOMPARE(ended.at(0).at(1).toInt(), game->getScore()->getScore());
    }

    // Down and Space do nothing during play; Escape pauses, and the paused time is not scored.
    void pauseTimeIsNotCountedAndDownDoesNothing()
    {
        frame(500);
        SceneInput::key(*scene, Qt::Key_Right);
        SceneInput::key(*scene, Qt::Key_Down);
        SceneInput::key(*scene, Qt::Key_Space);
        QCOMPARE(duel().getPlayerHand(), 1);
        QVERIFY(!game->isQuestionShown());
        SceneInput::key(*scene, Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        const int x = duel().getPointX();
        frame(20000);
        QCOMPARE(duel().getPointX(), x);
        SceneInput::click(*scene, game->rightButtonRect().center() + QPointF(2, 2)); // いいえ
        QVERIFY(!game->isQuestionShown());
        frame(300);
        QCOMPARE(game->getClock()->getElapsed(), QTime(0, 0, 0, 800));
    }

    // The clock and the largest score a play shows (59:59 at 125 points a second; hours do not
    // count) ink only on their panels' paper.
    void theWidestTextsStayOnTheirPanels()
    {
        const FlatPictures::Lift real(flat, [this] {
            cleanup();
            init();
        });
        showOnScorePanel(*game->getScore(), 449875);
        frame(0);
        const int x = 512 - QImage(":/img/janken/TIMER").width() / 2;
        VERIFY_INK_ON_PANELS(
            *game,
            {{{0, 0, 140, 110}, ":/img/janken/SCORE", {0, 10}, scorePanelTexts(449875, 449875)},
             {{x - 20, 0, 400, 170},
              ":/img/janken/TIMER",
              {x, 10},
              {{50, QRectF(x + 60, 30, 400, 300), Qt::AlignLeft | Qt::AlignTop, "00:00:00"}}}});
    }
};

QTEST_MAIN(TestJanken)
#include "tst_janken.moc"
