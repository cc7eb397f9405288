// Typing: the arrow train through its rules class, and the game item rendered frame by frame
// and driven by real key and mouse events sent to the scene.
#include "FlatPictures.h"
#include "GameHarness.h"
#include "InkOffPaper.h"
#include "SceneInput.h"
#include "base/Clock.h"
#include "base/Game_ElapsedClock.h"
#include "base/Random.h"
#include "base/Shade.h"
#include "games/frame/Game_Score.h"
#include "games/typing/Game_Typing.h"
#include "games/typing/Game_Typing_Arrow.h"
#include "games/typing/Game_Typing_Train.h"

#include <QFontDatabase>
#include <QPainter>
#include <QResource>
#include <QtTest>

namespace
{
QTime now;
const int W0 = 80;
const QRectF Box(462, 235, 100, 100);
const int DirectionKeys[4] = {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up};

int x(const Game_Typing_Train &train, int i)
{
    return train.getTiles()[i]->shift(0);
}
int firstDirection(const Game_Typing_Train &train)
{
    return train.getTiles().front()->getDirection();
}

// Steps until the train has a second tile, then presses the rightmost tile's direction.
void pressCorrectly(Game_Typing_Train &train)
{
    while (train.getTiles().size() < 2)
        train.step();
    train.press(firstDirection(train));
}

} // namespace

class TestTyping : public QObject, GameScene
{
    Q_OBJECT
private:
    Game_Typing *game = nullptr;
    Game_Typing_Train train;

    void frame(int stepMs)
    {
        now = now.addMSecs(stepMs);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        game->paint(&painter, nullptr, nullptr);
    }
    const Game_Typing_Train &played() const { return *game->getTrain(); }

private slots:
    void initTestCase() { QVERIFY(setUpFlat(now)); }
    void init()
    {
        now = QTime(10, 0);
        train.start(W0, 1024, Box, 288);
        open(game = new Game_Typing);
    }
    void cleanup() { close(); }

    // One tile at -w0; the first frame moves it 5 and appends one at 5 - 2 w0; no gaps after.
    void trainStartsWithOneTileAndRunsGapless()
    {
        QCOMPARE(int(train.getTiles().size()), 1);
        QCOMPARE(x(train, 0), -W0);
        train.step();
        QCOMPARE(int(train.getTiles().size()), 2);
        QCOMPARE(x(train, 1), 5 - 2 * W0);
        for (int i = 0; i < 100; ++i)
            train.step();
        QCOMPARE(int(train.getTiles().size()), 8);
        for (int i = 1; i < 8; ++i)
            QCOMPARE(x(train, i), x(train, i - 1) - W0);
    }

    // A key while only one tile exists is dropped.
    void keyDuringTheSingleTileFrameIsDropped()
    {
        train.press((firstDirection(train) + 1) % 4);
        train.step();
        QVERIFY(!train.isFinished());
        QCOMPARE(train.getPressedDirection(), -1);
        QCOMPARE(int(train.getTiles().size()), 2);
    }

    // A wrong key ends the play at once, keeping the tile, the speed and the key.
    void wrongKeyEndsWithoutRemovingTheTile()
    {
        train.step();
        const int wrong = (firstDirection(train) + 2) % 4;
        train.press(wrong);
        const Game_Typing_Train::Step step = train.step();
        QVERIFY(train.isFinished() && !step.drawTiles);
        QCOMPARE(int(train.getTiles().size()), 2);
        QCOMPARE(x(train, 0), 5 - W0);
        QCOMPARE(train.getSpeed(), 5.0);
        QCOMPARE(train.getPressedDirection(), wrong);
    }

    // Outside the box a correct key removes the tile and adds 0.3 with no bonus; inside, a bonus.
    void correctKeyRemovesTheTileAndBonusOnlyInsideTheBox()
    {
        pressCorrectly(train);
        const int second = x(train, 1);
        Game_Typing_Train::Step step = train.step();
        QVERIFY(!step.bonus);
        QCOMPARE(x(train, 0), second + 5);
        QCOMPARE(train.getSpeed(), 5.3);
        while (x(train, 0) + W0 / 2 < Box.left())
            train.step();
        train.press(firstDirection(train));
        QVERIFY(train.step().bonus);
    }

    // 0.3 accumulates in double: ten keys still move 7 px per frame, the eleventh gives 8.
    void speedTruncatesToWholePixels()
    {
        for (int i = 0; i < 10; ++i) {
            pressCorrectly(train);
            train.step();
        }
        int before = x(train, 0);
        train.step();
        QCOMPARE(x(train, 0) - before, 7);
        pressCorrectly(train);
        train.step();
        before = x(train, 0);
        train.step();
        QCOMPARE(x(train, 0) - before, 8);
    }

    // At a steady 60 frames a second, a tile every frame or every 16 (the start speed's
    // cadence): each direction and each repeat or reversal of the last comes about a quarter of
    // the time.
    void tileDirectionsAreUniformAndIndependent()
    {
        for (const int framesPerTile : {1, 16}) {
            const QTime start(10, 11, 12, 345);
            Random::seed(7);
            QVector<int> counts(4, 0);
            int repeats = 0, reversals = 0, last = -1;
            const int tiles = 4000;
            for (int i = 0; i < tiles; ++i) {
                now = start.addMSecs(int(i * framesPerTile * 1000LL / 60));
                const int d = Game_Typing_Arrow(0).getDirection();
                ++counts[d];
                repeats += d == last;
                reversals += last >= 0 && d == (last + 2) % 4;
                last = d;
            }
            qInfo("%d frames a tile: repeats %d, reversals %d of %d", framesPerTile, repeats,
                  reversals, tiles);
            for (const int share : {counts[0], counts[1], counts[2], counts[3], repeats, reversals})
                QVERIFY2(share > tiles * 22 / 100 && share < tiles * 28 / 100,
                         qPrintable(QString("%1 frames a tile: %2 of %3")
                                        .arg(framesPerTile)
                                        .arg(share)
                                        .arg(tiles)));
        }
        QCOMPARE(Game_Typing_Arrow(0).shift(7), 7);
    }

    // A whole play without keys: the first tile passes the right edge and 終了！ shows over the
    // half-dark field; Space plays again.
    void tilePastTheRightEdgeEndsThePlay()
    {
        int frames = 0;
        while (!game->isFinished() && frames < 1000) {
            frame(16);
            ++frames;
        }
        QVERIFY(x(played(), 0) > 1024);
        QCOMPARE(frames, (1024 + W0) / 5 + 1);
        // a tile on the edge has not passed it
        Game_Typing_Train edge;
        edge.start(W0, 500 - W0, Box, 300);
        for (int i = 0; i < 100; ++i)
            edge.step();
        QCOMPARE(x(edge, 0), 500 - W0);
        QVERIFY(!edge.isFinished());
        edge.step();
        QVERIFY(edge.isFinished());
        frame(16);
        QImage ref(image.size(), image.format());
        ref.fill(Qt::transparent);
        QPainter painter(&ref);
        Shade::draw(&painter, QRectF(ref.rect()), 128);
        game->drawScorePanel(&painter, QImage(":/img/typing/SCORE").convertToFormat(ref.format()));
        game->drawDialog(&painter, "終了！", "もう一度", "メニューに戻る");
        QCOMPARE(image, ref);
        SceneInput::key(*scene, Qt::Key_Space);
        QVERIFY(!game->isFinished());
        QCOMPARE(int(played().getTiles().size()), 1);
    }

    // 1 min 10 s with three bonuses scores 7,600; the box flashes at each bonus and rests at 0.2.
    void bonusesAddToTheClockScore()
    {
        int bonuses = 0;
        while (game->getClock()->wholeSeconds() < 70) {
            const int centre = x(played(), 0) + W0 / 2;
            const bool inBox = centre > Box.left() + 10 && centre < Box.right() - 10;
            if (played().getTiles().size() > 1 && ((inBox && bonuses < 3) || centre > 800)) {
                SceneInput::key(*scene, DirectionKeys[firstDirection(played())]);
                bonuses += inBox;
                frame(250);
                if (inBox)
                    QCOMPARE(game->getBorderAlpha(), 0.95);
            } else {
                frame(250);
            }
            QVERIFY(!game->isFinished());
        }
        QCOMPARE(bonuses, 3);
        QCOMPARE(game->getScore()->getScore(), 7600);
        for (int i = 0; i < 20; ++i)
            frame(0);
        QCOMPARE(game->getBorderAlpha(), 0.2);
    }

    // A frame across a change of minute counts in full, one after a stall an hour at most;
    // Escape pauses; the paused time is not counted; "いいえ" resumes, Escape and Space leave.
    void pauseIsNotCountedAndSpaceLeaves()
    {
        now = QTime(10, 0, 59, 800);
        game->retryGame();
        frame(400);
        SceneInput::key(*scene, Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        frame(30000);
        SceneInput::click(*scene, game->rightButtonRect().center() + QPointF(2, 2));
        QVERIFY(!game->isQuestionShown());
        frame(100);
        QCOMPARE(game->getClock()->getElapsed(), QTime(0, 0, 0, 500));
        // a frame after a long stall (a suspended machine) counts an hour at most
        frame(2 * 3600 * 1000);
        QCOMPARE(game->getClock()->getElapsed(), QTime(1, 0, 0, 500));
        QSignalSpy ended(game, &Game_Typing::endGame);
        SceneInput::key(*scene, Qt::Key_Escape);
        SceneInput::key(*scene, Qt::Key_Space);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toString(), QString("Typing"));
    }

    // Which picture shows where on a white page (1024 x 576, centre (512, 288)): the panel at
    // (0, 10), TIMER (360 x 116) centred 240 px above the middle, BORDER (100 x 100) centred
    // 3 px above it at full strength on the first frame, the first tile 5 px in at the left.
    void thePicturesLieWhereTheScreensPutThem_data()
    {
        const QString bg = "img/typing/BG", timer = "img/typing/TIMER", box = "img/typing/BORDER";
        // clang-format off
        FlatPictures::table(
            {{0, {1020, 572}, bg}, {0, {0, 500}, bg}, {0, {1000, 0}, bg}, {0, {2, 12}, "img/typing/SCORE"},
             {0, {117, 117}, "img/typing/SCORE"}, {0, {334, 2}, timer}, {0, {690, 104}, timer},
             {0, {334, 104}, timer}, {0, {330, 50}, bg}, {0, {694, 50}, bg}, {0, {512, 108}, bg},
             {0, {463, 236}, box}, {0, {560, 333}, box}, {0, {512, 240}, box}, {0, {460, 285}, bg},
             {0, {564, 285}, bg}, {0, {512, 337}, bg}, {0, {512, 233}, bg},
             {0, {2, 250}, "img/typing/ARROW"}, {0, {4, 326}, "img/typing/ARROW"},
             {0, {6, 288}, bg}, {0, {2, 246}, bg}, {1, {1020, 572}, "#383838"},
             {1, {200, 100}, "#383838"}, {2, {1020, 572}, "#808080"},
             {2, {2, 12}, "img/typing/SCORE"}, {2, {117, 117}, "img/typing/SCORE"},
             {3, {2, 12}, "img/typing/SCORE"}, {3, {334, 2}, timer}});
        // clang-format on
    }
    void thePicturesLieWhereTheScreensPutThem()
    {
        const auto [screen, at, shows] = FlatPictures::row();
        if (screen == 1)
            SceneInput::key(*scene, Qt::Key_Escape);
        for (int i = 0; screen == 3 && i < 10; ++i)
            frame(16); // the border has faded; the panel and the clock have not
        if (screen == 2) {
            frame(16);
            SceneInput::key(*scene, DirectionKeys[(firstDirection(played()) + 1) % 4]);
            frame(16);
        }
        QVERIFY(FlatPictures::shows(FlatPictures::paint(*game), at, shows));
    }

    // Long after a bonus, with the flash down to its faintest, the bonus box (100 x 100 at
    // (462, 235)) is still in plain sight: its top rim, above the tiles' path, differs from the
    // same strip of rail 100 px to its left by a clear step of grey.
    void theBonusBoxIsInSightAtRest()
    {
        const FlatPictures::Lift real(flat, [this] {
            cleanup();
            init();
        });
        for (int i = 0; i < 20; ++i)
            frame(16);
        int step = 0;
        for (int y = 236; y < 244; ++y)
            for (int x = 472; x < 552; ++x)
                step += qAbs(qGray(image.pixel(x, y)) - qGray(image.pixel(x - 100, y)));
        const double mean = step / (80.0 * 8);
        qInfo("the rim differs from the rail by %.1f grey levels", mean);
        QVERIFY(mean >= 40);
    }

    // A wrong key through the scene ends the play; a click on "もう一度" plays again.
    void wrongKeyThenRetryButtonPlaysAgain()
    {
        frame(16);
        SceneInput::key(*scene, DirectionKeys[(firstDirection(played()) + 1) % 4]);
        frame(16);
        QVERIFY(game->isFinished());
        SceneInput::click(*scene, game->leftButtonRect().center() + QPointF(2, 2));
        QVERIFY(!game->isFinished());
        QCOMPARE(int(played().getTiles().size()), 1);
    }

    // The clock and a score beyond any play (the bonuses have no ceiling) ink only on their
    // panels' paper.
    void theWidestTextsStayOnTheirPanels()
    {
        const FlatPictures::Lift real(flat, [this] {
            cleanup();
            init();
        });
        showOnScorePanel(*game->getScore(), 99999999);
        frame(0);
        const QImage timer(":/img/typing/TIMER");
        const QPoint at(512 - timer.width() / 2, 288 - timer.height() / 2 - 240);
        VERIFY_INK_ON_PANELS(
            *game,
            {{{0, 0, 140, 110}, ":/img/typing/SCORE", {0, 10}, scorePanelTexts(99999999, 99999999)},
             {{at.x() - 20, 0, 400, 160},
              ":/img/typing/TIMER",
              at,
              {{50, QRectF(at + QPoint(60, 20), timer.size()), Qt::AlignLeft, "00:00:00"}}}});
    }
};

QTEST_MAIN(TestTyping)
#include "tst_typing.moc"
