// Slide: the board's line moves and shuffle, the hit test, the countdown score, the sounds a
// click plays, and a whole puzzle solved by real clicks while the item is rendered frame by frame.
#include "app/Clock.h"
#include "app/Random.h"
#include "games/cards/Game_Countdown.h"
#include "games/frame/Game_Score.h"
#include "games/slide/Game_Slide.h"
#include "games/slide/Game_Slide_Board.h"
#include "sound/AudioSet.h"
#include "sound/SoundRecorder.h"

#include <QFontDatabase>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QHash>
#include <QPainter>
#include <QQueue>
#include <QResource>
#include <QSignalSpy>
#include <QtTest>

namespace {
QTime now;

QVector<int> cellsOf(const Game_Slide_Board &board)
{
    QVector<int> cells;
    for (int i = 0; i < board.cellCount(); ++i)
        cells << board.cellAt(i);
    return cells;
}

// Pairs of pieces out of order; a 3-wide board can be solved exactly when this is even.
int inversions(const QVector<int> &cells)
{
    int count = 0;
    for (int i = 0; i < cells.size(); ++i)
        for (int j = i + 1; j < cells.size(); ++j)
            if (cells[i] >= 0 && cells[j] >= 0 && cells[i] > cells[j])
                ++count;
    return count;
}

// The cells to click, one neighbour of the gap at a time, from cells to the solved board.
QVector<int> solve(const QVector<int> &start)
{
    const QVector<int> goal = {0, 1, 2, 3, 4, 5, 6, 7, -1};
    QHash<QVector<int>, QPair<QVector<int>, int>> from;
    QQueue<QVector<int>> queue;
    from.insert(start, {start, -1});
    queue.enqueue(start);
    while (!queue.isEmpty() && !from.contains(goal)) {
        const QVector<int> state = queue.dequeue();
        const int gap = state.indexOf(-1);
        for (const int k : {gap - 3, gap + 3, gap % 3 ? gap - 1 : -1, gap % 3 != 2 ? gap + 1 : -1}) {
            if (k < 0 || k > 8)
                continue;
            QVector<int> next = state;
            std::swap(next[k], next[gap]);
            if (!from.contains(next)) {
                from.insert(next, {state, k});
                queue.enqueue(next);
            }
        }
    }
    QVector<int> clicks;
    for (QVector<int> s = goal; s != start; s = from[s].first)
        clicks.prepend(from[s].second);
    return clicks;
}

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

void click(QGraphicsScene &scene, QPointF at)
{
    sendMouse(scene, QEvent::GraphicsSceneMouseMove, at, Qt::NoButton);
    sendMouse(scene, QEvent::GraphicsSceneMousePress, at, Qt::LeftButton);
    sendMouse(scene, QEvent::GraphicsSceneMouseRelease, at, Qt::NoButton);
}
} // namespace

class TestSlide : public QObject
{
    Q_OBJECT
private:
    std::shared_ptr<SoundRecorder> recorder;
    QGraphicsScene *scene = nullptr;
    Game_Slide *game = nullptr;
    QImage image{1024, 576, QImage::Format_ARGB32_Premultiplied};

    // Advances the wall clock by ms and paints one frame of the item.
    const QImage &frame(int ms = 16)
    {
        now = now.addMSecs(ms);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        game->paint(&painter, nullptr, nullptr);
        return image;
    }

    // The scene position of the middle of a cell (the item stands at (-2, -2)).
    QPointF cellCentre(int index) const { return game->mapToScene(game->cellRect(index).center()); }

    int plays(const QString &member) const
    {
        return recorder->events().count("play " + member);
    }

    // Where the dialog writes white text over black, the frame is light too.
    void verifyDialog(const QImage &shown, const QString &title)
    {
        QImage reference(shown.size(), shown.format());
        reference.fill(Qt::black);
        {
            QPainter p(&reference);
            game->drawDialog(&p, title, "もう一度", "メニューに戻る");
        }
        int text = 0;
        for (int y = 213; y < 263; ++y)
            for (int x = 262; x < 762; ++x)
                if (qRed(reference.pixel(x, y)) > 250) {
                    ++text;
                    QVERIFY(qGray(shown.pixel(x, y)) > 180);
                }
        QVERIFY(text > 100);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QResource::registerResource(TOVIRA_GAME_DIR "/resuorce.rcc"));
        QFontDatabase::addApplicationFont(":/font/tanuki");
        Clock::setTimeSource([] { return now; });
        recorder = std::make_shared<SoundRecorder>();
        AudioSet::destroyInstance();
        QVERIFY(AudioSet::createInstance(recorder, TOVIRA_GAME_DIR "/Tovira.fka"));
        QVERIFY(AudioSet::getInstance()->sound("miss"));
    }
    void init()
    {
        now = QTime(10, 0, 0, 0);
        scene = new QGraphicsScene(0, 0, 1020, 572);
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(scene, &activate);
        game = new Game_Slide;
        scene->addItem(game);
        game->getScore()->setBest(500);
        game->getScore()->resetScore();
        game->createResources();
        recorder->clear();
        game->initGame();
    }
    void cleanup()
    {
        delete game;
        delete scene;
    }

    // ---- board rules --------------------------------------------------------------------------

    // Whatever the seed, the shuffle ends with the gap bottom right on a solvable board.
    void shuffleAlwaysEndsSolvableWithTheGapBottomRight()
    {
        Game_Slide_Board board;
        int unsolved = 0;
        for (unsigned seed = 0; seed < 2000; ++seed) {
            Random::seed(seed);
            board.reset();
            board.shuffle();
            QVector<int> cells = cellsOf(board);
            QCOMPARE(board.gapIndex(), 8);
            QCOMPARE(inversions(cells) % 2, 0);
            std::sort(cells.begin(), cells.end());
            QCOMPARE(cells, QVector<int>({-1, 0, 1, 2, 3, 4, 5, 6, 7}));
            unsolved += board.isSolved() ? 0 : 1;
        }
        QVERIFY(unsolved > 1900);
    }

    // A tile several cells from the gap moves the whole line; in a column too.
    void lineMovesShiftEveryTileBetween()
    {
        Game_Slide_Board board;
        QVERIFY(board.move(6) == Game_Slide_Board::Move::Moved);
        QCOMPARE(cellsOf(board), QVector<int>({0, 1, 2, 3, 4, 5, -1, 6, 7}));
        QVERIFY(board.move(0) == Game_Slide_Board::Move::Moved);
        QCOMPARE(cellsOf(board), QVector<int>({-1, 1, 2, 0, 4, 5, 3, 6, 7}));
        QVERIFY(board.move(2) == Game_Slide_Board::Move::Moved);
        QCOMPARE(cellsOf(board), QVector<int>({1, 2, -1, 0, 4, 5, 3, 6, 7}));
        QVERIFY(board.move(8) == Game_Slide_Board::Move::Moved);
        QCOMPARE(cellsOf(board), QVector<int>({1, 2, 5, 0, 4, 7, 3, 6, -1}));
        QVERIFY(board.move(0) == Game_Slide_Board::Move::Missed);
        QVERIFY(board.move(8) == Game_Slide_Board::Move::OnGap);
        QCOMPARE(cellsOf(board), QVector<int>({1, 2, 5, 0, 4, 7, 3, 6, -1}));
    }

    // Solved means pieces 0..7 at home; the last cell is not looked at.
    void solvedTestChecksAllButTheLastCell()
    {
        Game_Slide_Board board;
        QVERIFY(board.isSolved());
        board.setCells({0, 1, 2, 3, 4, 5, 6, -1, 7});
        QVERIFY(!board.isSolved());
        board.setCells({1, 0, 2, 3, 4, 5, 6, 7, -1});
        QVERIFY(!board.isSolved());
    }

    // ---- the game -----------------------------------------------------------------------------

    // Every start shuffles silently, with the gap bottom right and a solvable board.
    void startShufflesSilentlyWithTheGapBottomRight()
    {
        for (int ms = 0; ms < 300; ms += 7) {
            now = QTime(10, 0, ms % 60, ms);
            recorder->clear();
            game->retryGame();
            QCOMPARE(game->getBoard()->gapIndex(), 8);
            QCOMPARE(inversions(cellsOf(*game->getBoard())) % 2, 0);
            QVERIFY(recorder->events().isEmpty());
            QVERIFY(!AudioSet::getInstance()->isSilent());
        }
    }

    // The hit test rounds to whole pixels and takes the frame's edges in.
    void hitTestCoversTheFrameEdgesOnly()
    {
        QCOMPARE(game->cellAtPoint(QPointF(162, 118)), 0);
        QCOMPARE(game->cellAtPoint(QPointF(899, 487)), 8);
        QCOMPARE(game->cellAtPoint(QPointF(161.5, 300)), 3);
        QCOMPARE(game->cellAtPoint(QPointF(161.4, 300)), -1);
        QCOMPARE(game->cellAtPoint(QPointF(530, 488)), -1);
        // Columns split the frame in thirds: x 408 is still column 0, 409 column 1.
        QCOMPARE(game->cellAtPoint(QPointF(408, 200)), 0);
        QCOMPARE(game->cellAtPoint(QPointF(409, 242)), 4);
        QCOMPARE(game->cellRect(4), QRect(408, 242, 244, 122));
    }

    // Clicking the gap moves nothing and plays nothing; a tile off its lines plays the miss.
    void gapClickIsSilentAndOffLineClickMisses()
    {
        game->getBoard()->setCells({0, 1, 2, 3, 4, -1, 6, 7, 5});
        const QVector<int> before = cellsOf(*game->getBoard());
        recorder->clear();
        click(*scene, cellCentre(5));
        QCOMPARE(cellsOf(*game->getBoard()), before);
        QVERIFY(recorder->events().isEmpty());
        click(*scene, cellCentre(0));
        QCOMPARE(cellsOf(*game->getBoard()), before);
        QCOMPARE(plays("miss"), 1);
        QCOMPARE(plays("samegame24"), 0);
    }

    // The far end of the gap's row moves two tiles with one move sound.
    void farEndOfTheRowMovesTwoTiles()
    {
        game->getBoard()->setCells({1, 0, 2, 3, 4, 5, 6, 7, -1});
        recorder->clear();
        click(*scene, cellCentre(6));
        QCOMPARE(cellsOf(*game->getBoard()), QVector<int>({1, 0, 2, 3, 4, 5, -1, 6, 7}));
        QCOMPARE(plays("samegame24"), 1);
        QCOMPARE(plays("miss"), 0);
        QVERIFY(!game->isCleared());
    }

    // The live score is 250 per whole second left; solving with 37.4 s left freezes 9,250 under
    // "おめでとう！", however long the result stays up.
    void solvingWith37SecondsLeftFreezesTheScore()
    {
        frame(1);
        QCOMPARE(game->getScore()->getScore(), 250 * 59);
        frame(22600 - 1);
        QCOMPARE(game->getClock()->getRemaining(), QTime(0, 0, 37, 400));
        QCOMPARE(game->getScore()->getScore(), 9250);
        game->getBoard()->setCells({0, 1, 2, 3, 4, 5, 6, -1, 7});
        click(*scene, cellCentre(8));
        QVERIFY(game->isCleared());
        const QImage cleared = frame(5000).copy();
        QCOMPARE(game->getScore()->getScore(), 9250);
        verifyDialog(cleared, "おめでとう！");
        // The whole picture shows, dimmed only slightly, without the board's grid lines.
        QImage bg(":/img/slide/BG");
        const QColor a = cleared.pixelColor(300, 450), b = bg.pixelColor(300, 450);
        QVERIFY(qAbs(a.red() - b.red() * 205 / 255) <= 3);
        // Space: a new minute and a new shuffle, the 9,250 kept as best.
        sendKey(*scene, Qt::Key_Space);
        QVERIFY(!game->isCleared());
        QCOMPARE(game->getScore()->getBest(), 9250);
        QCOMPARE(game->getBoard()->gapIndex(), 8);
        frame(100);
        QCOMPARE(game->getScore()->getScore(), 250 * 59);
    }

    // Past 00:00:00.000 the next frame stops the clock, scores 0 and shows "残念！".
    void runningOutStopsTheClockAndScoresZero()
    {
        now = QTime(10, 0, 30, 0);
        game->retryGame();
        while (now < QTime(10, 0, 59, 900))
            frame(100);
        QCOMPARE(game->getClock()->getRemaining(), QTime(0, 0, 30, 100));
        // A frame spanning a new wall-clock minute subtracts nothing.
        frame(200);
        QCOMPARE(game->getClock()->getRemaining(), QTime(0, 0, 30, 100));
        frame(30000);
        QCOMPARE(game->getClock()->getRemaining(), QTime(0, 0, 0, 100));
        QVERIFY(game->isTimerRunning());
        frame(200);
        QVERIFY(game->isTimeUp());
        QVERIFY(!game->isTimerRunning());
        QCOMPARE(game->getScore()->getScore(), 0);
        verifyDialog(frame(), "残念！");
        // "もう一度" by the pointer starts a full minute.
        click(*scene, game->mapToScene(game->leftButtonRect().center()));
        QVERIFY(!game->isTimeUp());
        QVERIFY(game->isTimerRunning());
        QCOMPARE(game->getScore()->getBest(), 500);
    }

    // Leaving or retrying before the first frame reports no points that were never played.
    void noPointsBeforeTheFirstFrame()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        QCOMPARE(game->getScore()->getScore(), 0);
        game->retryGame();
        QCOMPARE(game->getScore()->getBest(), 500);
        sendKey(*scene, Qt::Key_Escape);
        sendKey(*scene, Qt::Key_Space);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended[0][1].toInt(), 500);
    }

    // A click anywhere runs the solved test: a board left solved is complete at the first click.
    void clickOutsideTheBoardStillFindsItSolved()
    {
        game->getBoard()->setCells({0, 1, 2, 3, 4, 5, 6, 7, -1});
        recorder->clear();
        click(*scene, QPointF(60, 540));
        QVERIFY(game->isCleared());
        QVERIFY(recorder->events().isEmpty());
    }

    // Escape shows the question and freezes nothing but the drawing; "いいえ" goes on, and the
    // time spent on the question is taken at the next frame. "はい" reports the live score.
    void leavingMidPlayReportsTheSecondsLeft()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        frame(10500);
        QCOMPARE(game->getScore()->getScore(), 250 * 49);
        sendKey(*scene, Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        frame(5000);
        QCOMPARE(game->getClock()->getRemaining(), QTime(0, 0, 49, 500));
        click(*scene, game->mapToScene(game->rightButtonRect().center()));
        QVERIFY(!game->isQuestionShown());
        frame(0);
        QCOMPARE(game->getClock()->getRemaining(), QTime(0, 0, 44, 500));
        sendKey(*scene, Qt::Key_Escape);
        sendKey(*scene, Qt::Key_Space);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended[0][0].toString(), QString("Slide"));
        QCOMPARE(ended[0][1].toInt(), 250 * 44);
    }

    // A whole play painted frame by frame: the shuffled board solved by clicking the gap's
    // neighbours, each click one move sound, the tiles cut from the picture, the result screen.
    void wholePuzzleSolvedByClicksFrameByFrame()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        frame();
        const QImage bg = QImage(":/img/slide/BG").convertToFormat(image.format());
        // A shuffled tile shows its home cell's part of the picture at its own place.
        const int cell = game->getBoard()->cellAt(0) >= 0 ? 0 : 1;
        const QRect home = game->cellRect(game->getBoard()->cellAt(cell));
        const QRect at = game->cellRect(cell);
        QCOMPARE(image.copy(at.adjusted(2, 2, -2, -2)), bg.copy(home.adjusted(2, 2, -2, -2)));
        const QVector<int> clicks = solve(cellsOf(*game->getBoard()));
        QVERIFY(!clicks.isEmpty());
        recorder->clear();
        for (const int k : clicks) {
            click(*scene, cellCentre(k));
            frame(150);
        }
        QVERIFY(game->isCleared());
        QCOMPARE(plays("samegame24"), clicks.size());
        QCOMPARE(plays("miss"), 0);
        // The last clock step ran in the frame before the winning click.
        const int seconds = (60000 - 16 - (clicks.size() - 1) * 150) / 1000;
        QCOMPARE(game->getScore()->getScore(), 250 * qMax(0, seconds));
        const QImage result = frame().copy();
        verifyDialog(result, "おめでとう！");
        if (qEnvironmentVariableIsSet("SHOTS"))
            result.save(qEnvironmentVariable("SHOTS") + "/slide_cleared.png");
        click(*scene, game->mapToScene(game->rightButtonRect().center()));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended[0][1].toInt(), qMax(500, 250 * qMax(0, seconds)));
    }
};

QTEST_MAIN(TestSlide)
#include "tst_slide.moc"
