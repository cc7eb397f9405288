// Slide: the board's line moves and shuffle, the hit test, the countdown score, the sounds a
// click plays, and a whole puzzle solved by real clicks while the item is rendered frame by frame.
#include "FlatPictures.h"
#include "GameHarness.h"
#include "InkOffPaper.h"
#include "SceneInput.h"
#include "SoundRecorder.h"
#include "base/Clock.h"
#include "base/Game_Countdown.h"
#include "base/Random.h"
#include "games/frame/Game_Score.h"
#include "games/slide/Game_Slide.h"
#include "games/slide/Game_Slide_Board.h"
#include "sound/AudioSet.h"

#include <QFontDatabase>
#include <QHash>
#include <QPainter>
#include <QQueue>
#include <QResource>
#include <QSignalSpy>
#include <QtTest>

using namespace SceneInput;

namespace
{
QTime now;
using Cells = QVector<int>;
const Cells Solved = {0, 1, 2, 3, 4, 5, 6, 7, -1};

Cells cellsOf(const Game_Slide_Board &board)
{
    Cells cells;
    for (int i = 0; i < board.cellCount(); ++i)
        cells << board.cellAt(i);
    return cells;
}

// Pairs of pieces out of order; a 3-wide board can be solved exactly when this is even.
int inversions(const Cells &cells)
{
    int count = 0;
    for (int i = 0; i < cells.size(); ++i)
        for (int j = i + 1; j < cells.size(); ++j)
            count += cells[i] >= 0 && cells[j] >= 0 && cells[i] > cells[j];
    return count;
}

// The shortest run of clicks on the gap's neighbours from start to the solved board.
Cells solve(const Cells &start)
{
    QHash<Cells, QPair<Cells, int>> from{{start, {start, -1}}};
    QQueue<Cells> queue{{start}};
    while (!from.contains(Solved)) {
        const Cells state = queue.dequeue();
        const int gap = state.indexOf(-1);
        for (const int k :
             {gap - 3, gap + 3, gap % 3 ? gap - 1 : -1, gap % 3 != 2 ? gap + 1 : -1}) {
            Cells next = state;
            if (k < 0 || k > 8 || (std::swap(next[k], next[gap]), from.contains(next)))
                continue;
            from.insert(next, {state, k});
            queue.enqueue(next);
        }
    }
    Cells clicks;
    for (Cells s = Solved; s != start; s = from[s].first)
        clicks.prepend(from[s].second);
    return clicks;
}
} // namespace

class TestSlide : public QObject, GameScene
{
    Q_OBJECT
private:
    std::shared_ptr<SoundRecorder> recorder;
    Game_Slide *game = nullptr;

    // Advances the wall clock by ms and paints one frame of the item.
    const QImage &frame(int ms = 16)
    {
        now = now.addMSecs(ms);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        game->paint(&painter, nullptr, nullptr);
        return image;
    }
    Game_Slide_Board &board() { return *game->getBoard(); }
    int score() const { return game->getScore()->getScore(); }
    QTime remaining() const { return game->getCountdown()->getRemaining(); }
    // A click on the middle of a cell, in scene coordinates (the item stands at (-2, -2)).
    void clickCell(int index) { click(*scene, game->mapToScene(game->cellRect(index).center())); }
    void clickItem(QPointF p) { click(*scene, game->mapToScene(p)); }
    int plays(const QString &member) const { return recorder->events().count("play " + member); }

    // Where the dialog writes the title white on black, the frame is light too.
    void verifyTitle(const QImage &shown, const QString &title)
    {
        const auto grey = [](QRgb c) { return qGray(c); };
        QVERIFY(dialogInkShown(*game, shown, {title, "もう一度", "メニューに戻る"},
                               QRect(262, 213, 500, 50), 180, grey) > 100);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(setUpFlat(now));
        QVERIFY(recorder = GameHarness::recordSounds(TOVIRA_GAME_DIR "/Tovira.fka"));
        QVERIFY(AudioSet::getInstance()->sound("miss") &&
                AudioSet::getInstance()->sound("samegame24"));
    }
    void init()
    {
        now = QTime(10, 0);
        scene = GameHarness::activeScene();
        game = new Game_Slide;
        scene->addItem(game);
        game->getScore()->setBest(500);
        game->createResources();
        recorder->clear();
        game->initGame();
    }
    void cleanup() { close(); }

    // Whatever the seed, the shuffle ends with the gap bottom right on a solvable board.
    void shuffleAlwaysEndsSolvableWithTheGapBottomRight()
    {
        Game_Slide_Board b;
        int unsolved = 0;
        for (unsigned seed = 0; seed < 2000; ++seed) {
            Random::seed(seed);
            b.reset();
            b.shuffle();
            Cells cells = cellsOf(b);
            QCOMPARE(b.gapIndex(), 8);
            QCOMPARE(inversions(cells) % 2, 0);
            std::sort(cells.begin(), cells.end());
            QCOMPARE(cells, Cells({-1, 0, 1, 2, 3, 4, 5, 6, 7}));
            unsolved += !b.isSolved();
        }
        QVERIFY(unsolved > 1900);
    }

    // A tile several cells from the gap moves the whole line, in a row or a column; a tile off
    // the gap's lines and the gap itself move nothing. Solved ignores the last cell.
    void lineMovesShiftEveryTileBetween()
    {
        Game_Slide_Board b;
        QVERIFY(b.move(6) == Game_Slide_Board::Move::Moved);
        QCOMPARE(cellsOf(b), Cells({0, 1, 2, 3, 4, 5, -1, 6, 7}));
        QVERIFY(b.move(0) == Game_Slide_Board::Move::Moved);
        QVERIFY(b.move(2) == Game_Slide_Board::Move::Moved);
        QVERIFY(b.move(8) == Game_Slide_Board::Move::Moved);
        QCOMPARE(cellsOf(b), Cells({1, 2, 5, 0, 4, 7, 3, 6, -1}));
        QVERIFY(b.move(0) == Game_Slide_Board::Move::Missed);
        QVERIFY(b.move(8) == Game_Slide_Board::Move::OnGap);
        QCOMPARE(cellsOf(b), Cells({1, 2, 5, 0, 4, 7, 3, 6, -1}));
        b.setCells({0, 1, 2, 3, 4, 5, 6, -1, 7});
        QVERIFY(!b.isSolved());
    }

    // Every start shuffles without a sound and leaves the sound manager unsilenced.
    void startShufflesSilently()
    {
        for (int ms = 0; ms < 300; ms += 7) {
            now = QTime(10, 0, ms % 60, ms);
            recorder->clear();
            game->retryGame();
            QCOMPARE(board().gapIndex(), 8);
            QVERIFY(recorder->events().isEmpty());
            QVERIFY(!AudioSet::getInstance()->isSilent());
        }
    }

    // The hit test rounds to whole pixels, takes the frame's edges in and splits it in thirds.
    void hitTestCoversTheFrameEdgesOnly()
    {
        QCOMPARE(game->cellAtPoint(QPointF(162, 118)), 0);
        QCOMPARE(game->cellAtPoint(QPointF(899, 487)), 8);
        QCOMPARE(game->cellAtPoint(QPointF(161.5, 300)), 3);
        QCOMPARE(game->cellAtPoint(QPointF(161.4, 300)), -1);
        QCOMPARE(game->cellAtPoint(QPointF(530, 488)), -1);
        QCOMPARE(game->cellAtPoint(QPointF(408, 200)), 0);
        QCOMPARE(game->cellAtPoint(QPointF(409, 242)), 4);
    }

    // Clicking the gap moves nothing and plays nothing; a tile off its lines plays the miss;
    // the far end of the gap's row moves two tiles with one move sound.
    void clicksPlayTheirSounds()
    {
        board().setCells({0, 1, 2, 3, 4, -1, 6, 7, 5});
        recorder->clear();
        clickCell(5);
        QVERIFY(recorder->events().isEmpty());
        clickCell(0);
        QCOMPARE(plays("miss"), 1);
        QCOMPARE(cellsOf(board()), Cells({0, 1, 2, 3, 4, -1, 6, 7, 5}));
        clickCell(3);
        QCOMPARE(cellsOf(board()), Cells({0, 1, 2, -1, 3, 4, 6, 7, 5}));
        QCOMPARE(plays("samegame24"), 1);
        QCOMPARE(plays("miss"), 1);
        // The arrows slide the tile beside the gap into it, the way they point; an arrow with
        // no tile behind the gap moves nothing.
        key(*scene, Qt::Key_Left);
        QCOMPARE(cellsOf(board()), Cells({0, 1, 2, 3, -1, 4, 6, 7, 5}));
        key(*scene, Qt::Key_Right);
        key(*scene, Qt::Key_Right);
        QCOMPARE(cellsOf(board()), Cells({0, 1, 2, -1, 3, 4, 6, 7, 5}));
        key(*scene, Qt::Key_Up);
        QCOMPARE(cellsOf(board()), Cells({0, 1, 2, 6, 3, 4, -1, 7, 5}));
        QCOMPARE(plays("samegame24"), 4);
    }

    // 250 per whole second left; solving with 37.4 s left freezes 9,250 under "おめでとう！"
    // over the whole picture; Space starts a new minute with 9,250 as best.
    void solvingWith37SecondsLeftFreezesTheScore()
    {
        QCOMPARE(score(), 0);
        frame(1);
        QCOMPARE(score(), 250 * 59);
        frame(22599);
        QCOMPARE(remaining(), QTime(0, 0, 37, 400));
        QCOMPARE(score(), 9250);
        board().setCells({0, 1, 2, 3, 4, 5, 6, -1, 7});
        clickCell(8);
        QVERIFY(game->isCleared());
        const QImage cleared = frame(5000).copy();
        QCOMPARE(score(), 9250);
        verifyTitle(cleared, "おめでとう！");
        const QColor shown = cleared.pixelColor(300, 450),
                     picture = QImage(":/img/slide/BG").pixelColor(300, 450);
        QVERIFY(qAbs(shown.red() - picture.red() * 205 / 255) <= 3);
        key(*scene, Qt::Key_Space);
        QVERIFY(!game->isCleared());
        QCOMPARE(game->getScore()->getBest(), 9250);
        frame(100);
        QCOMPARE(score(), 250 * 59);
    }

    // Past 00:00:00.000 the next frame stops the clock, scores 0 and shows "残念！"; a frame
    // spanning a new wall-clock minute subtracts its full time.
    void runningOutStopsTheClockAndScoresZero()
    {
        now = QTime(10, 0, 30);
        game->retryGame();
        while (now < QTime(10, 0, 59, 900))
            frame(100);
        frame(200);
        QCOMPARE(remaining(), QTime(0, 0, 29, 900));
        frame(29800);
        QCOMPARE(remaining(), QTime(0, 0, 0, 100));
        frame(200);
        QVERIFY(game->isTimeUp() && !game->isTimerRunning());
        QCOMPARE(score(), 0);
        verifyTitle(frame(), "残念！");
        clickItem(game->leftButtonRect().center());
        QVERIFY(!game->isTimeUp() && game->isTimerRunning());
        QCOMPARE(game->getScore()->getBest(), 500);
    }

    // Which picture shows where on a white page: FG over all at (0, 0), the panel at (0, 10),
    // TIMER (360 x 108) at (120, 10), cell (c, r) at (163 + 245 c, 119 + 123 r, 244, 122) with
    // the gap white; time up dims the plain picture by 200, a cleared one by 50.
    void thePicturesLieWhereTheScreensPutThem_data()
    {
        const QString bg = "img/slide/BG", fg = "img/slide/FG", timer = "img/slide/TIMER";
        // clang-format off
        FlatPictures::table(
            {{0, {1020, 572}, fg}, {0, {2, 2}, fg}, {0, {20, 300}, bg}, {0, {0, 300}, bg}, {0, {1, 300}, fg}, {0, {500, 1}, fg}, {0, {1023, 575}, bg},
             {0, {2, 12}, "img/slide/SCORE"}, {0, {118, 97}, "img/slide/SCORE"},
             {0, {122, 12}, timer}, {0, {122, 116}, timer}, {0, {478, 12}, timer},
             {0, {478, 116}, timer}, {0, {482, 60}, bg}, {0, {166, 122}, "#ffffff"},
             {0, {404, 238}, "#ffffff"}, {0, {412, 180}, bg}, {0, {285, 245}, bg},
             {0, {775, 425}, bg}, {1, {1020, 572}, "#383838"}, {2, {1020, 572}, bg + "@200"},
             {2, {285, 180}, bg + "@200"}, {2, {2, 12}, "img/slide/SCORE"},
             {3, {1020, 572}, bg + "@50"}, {3, {285, 180}, bg + "@50"},
             {3, {118, 97}, "img/slide/SCORE"}});
        // clang-format on
    }
    void thePicturesLieWhereTheScreensPutThem()
    {
        const auto [screen, at, shows] = FlatPictures::row();
        board().setCells({-1, 1, 2, 3, 4, 5, 6, 7, 0});
        if (screen == 1)
            key(*scene, Qt::Key_Escape);
        while (screen == 2 && !game->isTimeUp())
            frame(500);
        if (screen == 3) {
            board().setCells({0, 1, 2, 3, 4, 5, 6, -1, 7});
            clickCell(8);
        }
        QVERIFY(FlatPictures::shows(FlatPictures::paint(*game), at, shows));
    }

    // A click anywhere runs the solved test, so a board left solved is complete at once.
    void clickOutsideTheBoardStillFindsItSolved()
    {
        board().setCells(Solved);
        click(*scene, QPointF(60, 540));
        QVERIFY(game->isCleared());
    }

    // Time on the question is taken at the next play frame; "いいえ" brings the sounds back;
    // "はい" on an unsolved puzzle scores nothing for the play, only the best is reported.
    void leavingUnsolvedScoresNothing()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        key(*scene, Qt::Key_Escape);
        key(*scene, Qt::Key_Space);
        QCOMPARE(ended.takeFirst()[1].toInt(), 500);
        game->initGame();
        frame(10500);
        key(*scene, Qt::Key_Escape);
        frame(5000);
        QCOMPARE(remaining(), QTime(0, 0, 49, 500));
        clickItem(game->rightButtonRect().center());
        frame(0);
        QCOMPARE(remaining(), QTime(0, 0, 44, 500));
        QCOMPARE(score(), 250 * 44);
        board().setCells({0, 1, 2, 3, 4, -1, 6, 7, 5});
        recorder->clear();
        clickCell(0);
        clickCell(3);
        QCOMPARE(plays("miss") + plays("samegame24"), 2);
        key(*scene, Qt::Key_Escape);
        key(*scene, Qt::Key_Space);
        QCOMPARE(ended.takeFirst()[1].toInt(), 500);
    }

    // A whole play painted frame by frame: tiles cut from the picture, the shuffled board solved
    // by clicking the gap's neighbours with one move sound each, the result screen, and out.
    void wholePuzzleSolvedByClicksFrameByFrame()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        frame();
        const QImage picture = QImage(":/img/slide/BG").convertToFormat(image.format());
        for (int i = 0; i < 8; ++i) {
            const QRect at = game->cellRect(i).adjusted(2, 2, -2, -2);
            QCOMPARE(image.copy(at),
                     picture.copy(game->cellRect(board().cellAt(i)).adjusted(2, 2, -2, -2)));
        }
        const Cells clicks = solve(cellsOf(board()));
        recorder->clear();
        for (const int k : clicks) {
            clickCell(k);
            frame(150);
        }
        QVERIFY(game->isCleared());
        QCOMPARE(plays("samegame24"), clicks.size());
        QCOMPARE(plays("miss"), 0);
        // The last clock step ran in the frame before the winning click.
        const int seconds = (60000 - 16 - (clicks.size() - 1) * 150) / 1000;
        QCOMPARE(score(), 250 * seconds);
        const QImage result = frame().copy();
        verifyTitle(result, "おめでとう！");
        if (qEnvironmentVariableIsSet("SHOTS"))
            result.save(qEnvironmentVariable("SHOTS") + "/slide_cleared.png");
        clickItem(game->rightButtonRect().center());
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended[0][1].toInt(), 250 * seconds);
    }

    // The full minute and the score the first frame shows, the largest, ink only on their
    // panels' paper.
    void theWidestTextsStayOnTheirPanels()
    {
        const FlatPictures::Lift real(flat, [this] {
            cleanup();
            init();
        });
        showOnScorePanel(*game->getScore(), 30000);
        frame(0);
        VERIFY_INK_ON_PANELS(
            *game, {{{0, 0, 120, 110}, ":/img/slide/SCORE", {0, 10}, scorePanelTexts(30000, 30000)},
                    {{120, 0, 400, 130},
                     ":/img/slide/TIMER",
                     {120, 10},
                     {{50, QRectF(180, 30, 400, 300), Qt::AlignLeft | Qt::AlignTop, "01:00:00"}}}});
    }
};

QTEST_MAIN(TestSlide)
#include "tst_slide.moc"
