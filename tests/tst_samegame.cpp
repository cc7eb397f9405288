// SameGame: the board rules on boards built by hand, the time bar's ticks, and the game item
// driven by real mouse and key events sent to the scene and rendered frame by frame.
#include "app/Clock.h"
#include "app/Random.h"
#include "games/frame/Game_Score.h"
#include "games/samegame/Game_SameGame.h"
#include "games/samegame/Game_SameGame_Bar.h"
#include "games/samegame/Game_SameGame_BarLevel.h"
#include "games/samegame/Game_SameGame_Mass.h"

#include <QFontDatabase>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QResource>
#include <QSignalSpy>
#include <QtTest>

namespace {
QTime now;

// Fills the board from 8 rows of 15 characters: a digit is a tile kind, '.' an empty cell.
void setBoard(Game_SameGame_Mass &board, const QStringList &rows)
{
    QCOMPARE(rows.size(), board.getRows());
    for (int r = 0; r < board.getRows(); ++r) {
        QCOMPARE(rows[r].size(), board.getColumns());
        for (int c = 0; c < board.getColumns(); ++c) {
            const QChar ch = rows[r][c];
            board.setCell(c, r, ch == '.' ? Game_SameGame_Mass::Empty : ch.digitValue());
        }
    }
}

QStringList boardRows(const Game_SameGame_Mass &board)
{
    QStringList rows;
    for (int r = 0; r < board.getRows(); ++r) {
        QString row;
        for (int c = 0; c < board.getColumns(); ++c) {
            const int k = board.cellAt(c, r);
            row += k == Game_SameGame_Mass::Empty ? QChar('.') : QChar('0' + k);
        }
        rows << row;
    }
    return rows;
}

// Rows 0..7, with the given rows at the bottom and empty rows above.
QStringList bottomRows(const QStringList &lower)
{
    QStringList rows;
    for (int i = lower.size(); i < 8; ++i)
        rows << QString(15, '.');
    return rows + lower;
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

void hover(QGraphicsScene &scene, QPointF at)
{
    sendMouse(scene, QEvent::GraphicsSceneMouseMove, at, Qt::NoButton);
}

// A pointer move (which drives hover) and a left click.
void click(QGraphicsScene &scene, QPointF at)
{
    hover(scene, at);
    sendMouse(scene, QEvent::GraphicsSceneMousePress, at, Qt::LeftButton);
    sendMouse(scene, QEvent::GraphicsSceneMouseRelease, at, Qt::NoButton);
}

// The middle of a drawn cell, in scene coordinates (the game stands at the scene origin).
QPointF cellCentre(int column, int row)
{
    return QPointF(Game_SameGame::BoardX + 60 * column + 30, Game_SameGame::BoardY + 60 * row + 30);
}
} // namespace

class TestSameGame : public QObject
{
    Q_OBJECT
private:
    QGraphicsScene *scene = nullptr;
    Game_SameGame *game = nullptr;
    QImage image{1024, 576, QImage::Format_ARGB32_Premultiplied};

    // One painted frame of the whole scene: the game and its time bar.
    const QImage &frame()
    {
        image.fill(Qt::magenta);
        QPainter painter(&image);
        scene->render(&painter, QRectF(0, 0, 1024, 576), QRectF(0, 0, 1024, 576));
        return image;
    }

    Game_SameGame_Mass &board() { return *game->getBoard(); }
    Game_SameGame_Bar &bar() { return *game->getTimeBar(); }

    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            bar().slot_barTimeOut();
    }

    // A cell of a group of at least `minimum` tiles, or (-1, -1).
    QPoint findGroup(int minimum = 2)
    {
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 15; ++c) {
                QVector<QPoint> group;
                board().collectGroup(c, r, group);
                if (board().isRemovable(c, r) && group.size() >= minimum)
                    return QPoint(c, r);
            }
        return QPoint(-1, -1);
    }

    QPoint findLoneTile()
    {
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 15; ++c)
                if (board().cellAt(c, r) != Game_SameGame_Mass::Empty && !board().isRemovable(c, r))
                    return QPoint(c, r);
        return QPoint(-1, -1);
    }

    static double meanGrey(const QImage &img, const QRect &area)
    {
        double sum = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                sum += qGray(img.pixel(x, y));
        return sum / (area.width() * area.height());
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
        now = QTime(10, 20, 30, 400);
        scene = new QGraphicsScene(0, 0, 1020, 572);
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(scene, &activate);
        game = new Game_SameGame;
        scene->addItem(game);
        game->getScore()->setBest(500);
        game->getScore()->resetScore();
        game->createResources();
        game->initGame();
    }
    void cleanup()
    {
        delete game;
        delete scene;
    }

    // ---- board rules --------------------------------------------------------------------------

    // 200 for every full five tiles and 10 for each one beyond.
    void removalPointsFollowTheFives()
    {
        const QList<QPair<int, int>> expected = {{2, 20},   {4, 40},   {5, 200}, {7, 220},
                                                 {9, 240},  {10, 400}, {12, 420}};
        for (const auto &e : expected)
            QCOMPARE(Game_SameGame_Mass::pointsFor(e.first), e.second);
    }

    // The deal seeds with hour + minute + second + millisecond and draws the cells in order.
    void dealSeedsFromTheTimeOfDayAndFillsRowByRow()
    {
        now = QTime(10, 20, 30, 400);
        Game_SameGame_Mass dealt;
        Random::seed(10 + 20 + 30 + 400);
        for (int i = 0; i < dealt.cellCount(); ++i)
            QCOMPARE(dealt.cellAt(i), Random::draw() % 4);
        now = QTime(10, 20, 30, 401);
        dealt.regenerate();
        Random::seed(461);
        for (int i = 0; i < dealt.cellCount(); ++i)
            QCOMPARE(dealt.cellAt(i), Random::draw() % 4);
    }

    // A group that winds left, up and back down is removed whole from any of its cells, and a
    // tile of the same kind touching it only at a corner stays.
    void floodFillTakesTheWholeWindingGroupAndNothingElse()
    {
        const QStringList start = bottomRows({"1.1.0..........", "1.1.1..........",
                                               "111.2..........", "0.............."});
        for (const QPoint from : {QPoint(2, 6), QPoint(0, 4), QPoint(2, 4)}) {
            setBoard(board(), start);
            QCOMPARE(board().removeGroup(from.x(), from.y()), 7);
            QCOMPARE(boardRows(board()), bottomRows({"....0..........", "....1..........",
                                                     "....2..........", "0.............."}));
        }
    }

    // A lone tile and an empty cell cannot be removed; a pair in either direction can; cells
    // off the board read as not removable instead of reading past the array.
    void removabilityNeedsATouchingTileOfTheSameKind()
    {
        setBoard(board(), bottomRows({"0.1...........3", "1.1...........3", "2301..........."}));
        QVERIFY(!board().isRemovable(0, 5));
        QVERIFY(!board().isRemovable(1, 5));
        QVERIFY(board().isRemovable(2, 5));
        QVERIFY(board().isRemovable(2, 6));
        QVERIFY(board().isRemovable(14, 5));
        QVERIFY(board().isRemovable(14, 6));
        QVERIFY(!board().isRemovable(0, 7));
        QVERIFY(!board().isRemovable(-1, 5));
        QVERIFY(!board().isRemovable(15, 5));
        QVERIFY(!board().isRemovable(3, 8));
    }

    // Tiles fall into the gaps below them and empty columns move to the right edge, the other
    // columns keeping their order.
    void collapseDropsTilesAndClosesEmptyColumns()
    {
        setBoard(board(), bottomRows({"0...3..........", "...............", "1.2....0......2"}));
        board().setCell(7, 0, 2);
        board().collapse();
        QCOMPARE(boardRows(board()), bottomRows({"...............", "0..2...........",
                                                 "12302.........."}));
    }

    // 2 while a group is left, 1 with only lone tiles, 0 on an empty board.
    void checkStateTellsGroupsLoneTilesAndEmpty()
    {
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 15; ++c)
                board().setCell(c, r, (c + r) % 2);
        QCOMPARE(board().checkState(), 1);
        board().setCell(14, 7, board().cellAt(13, 7));
        QCOMPARE(board().checkState(), 2);
        setBoard(board(), bottomRows({}));
        QCOMPARE(board().checkState(), 0);
    }

    // The highlighted cells are exactly the cells a click would remove.
    void collectedGroupMatchesTheRemovedTiles()
    {
        for (int seedSecond = 0; seedSecond < 10; ++seedSecond) {
            now = QTime(9, 0, seedSecond, 0);
            board().regenerate();
            for (int i = 0; i < board().cellCount(); ++i) {
                const int c = i % 15, r = i / 15;
                QVector<QPoint> group;
                board().collectGroup(c, r, group);
                const QStringList before = boardRows(board());
                QCOMPARE(board().removeGroup(c, r), group.size());
                for (const QPoint &p : group)
                    QCOMPARE(board().cellAt(p.x(), p.y()), Game_SameGame_Mass::Empty);
                setBoard(board(), before);
            }
        }
    }

    // ---- time bar -----------------------------------------------------------------------------

    // At step 1 over a 100 px bar the 100th tick leaves the game running, the 101st ends it.
    void hundredAndFirstTickEndsAHundredPixelBar()
    {
        Game_SameGame_BarLevel level(100);
        for (int i = 1; i <= 100; ++i)
            QVERIFY(!level.tick());
        QCOMPARE(level.getDrawnHeight(), 100.0);
        QVERIFY(level.tick());
        QCOMPARE(level.getLevel(), 101.0);
        QCOMPARE(level.getDrawnHeight(), 100.0);
    }

    // A penalty past the top draws the bar full but only the next tick ends the game; halving
    // an overfull level before that tick lets the game go on.
    void penaltyFillsAtOnceAndHalvingCanStillSave()
    {
        Game_SameGame_BarLevel level(100);
        for (int i = 0; i < 80; ++i)
            level.tick();
        level.addPenalty();
        QCOMPARE(level.getLevel(), 110.0);
        QCOMPARE(level.getDrawnHeight(), 100.0);
        level.halve();
        QCOMPARE(level.getDrawnHeight(), 100.0);
        QVERIFY(!level.tick());
        QCOMPARE(level.getDrawnHeight(), 56.0);
        level.resetLevel();
        QCOMPARE(level.getDrawnHeight(), 0.0);
        level.addStep(2);
        QVERIFY(!level.tick());
        QCOMPARE(level.getLevel(), 3.0);
    }

    // The bar item takes its capacity from the bar picture, emits gameOver() once and stops.
    void barItemEmitsGameOverOnceAndStopsItsTimer()
    {
        QSignalSpy over(&bar(), &Game_SameGame_Bar::gameOver);
        QCOMPARE(bar().getWidth(), 102);
        QVERIFY(bar().isRunning());
        tick(400);
        QCOMPARE(over.count(), 0);
        QCOMPARE(bar().getFillRect().height(), 400.0);
        tick();
        QCOMPARE(over.count(), 1);
        QVERIFY(!bar().isRunning());
        QVERIFY(game->isTimeOver());
    }

    // A paused bar does not tick even when its timer had a timeout queued.
    void pausedBarIgnoresQueuedTicks()
    {
        bar().pause();
        QVERIFY(!bar().isRunning());
        QTest::qWait(250);
        QCOMPARE(bar().getLevel(), 0.0);
        bar().resume();
        QTRY_VERIFY_WITH_TIMEOUT(bar().getLevel() >= 1.0, 2000);
    }

    // ---- the game -----------------------------------------------------------------------------

    // Clicking a group removes it, lets the board fall and close up, and scores 10 a tile.
    void clickRemovesTheGroupAndTheBoardFalls()
    {
        setBoard(board(), bottomRows({"2..............", "1..............", "1100033........"}));
        tick(100);
        click(*scene, cellCentre(0, 6));
        QCOMPARE(game->getScore()->getScore(), 30);
        QCOMPARE(boardRows(board()), bottomRows({"200033........."}));
        click(*scene, cellCentre(1, 7));
        QCOMPARE(game->getScore()->getScore(), 60);
        QCOMPARE(boardRows(board()), bottomRows({"233............"}));
        QCOMPARE(bar().getLevel(), 100.0);
    }

    // Five or more tiles halve the level; the drawn bar follows at the next tick.
    void fiveTilesHalveTheBar()
    {
        setBoard(board(), bottomRows({"1..............", "1..............", "11133.........."}));
        tick(100);
        click(*scene, cellCentre(0, 7));
        QCOMPARE(game->getScore()->getScore(), 200);
        QCOMPARE(bar().getLevel(), 50.0);
        QCOMPARE(bar().getFillRect().height(), 100.0);
        tick();
        QCOMPARE(bar().getFillRect().height(), 51.0);
    }

    // A lone tile or an empty cell costs 30 and scores nothing; outside the grid nothing happens.
    void uselessClickAddsPenaltyOutsideTheGridIsIgnored()
    {
        setBoard(board(), bottomRows({"0.1..........33"}));
        const QStringList before = boardRows(board());
        click(*scene, cellCentre(0, 7));
        QCOMPARE(bar().getLevel(), 30.0);
        click(*scene, cellCentre(5, 3));
        QCOMPARE(bar().getLevel(), 60.0);
        QCOMPARE(game->getScore()->getScore(), 0);
        QCOMPARE(boardRows(board()), before);
        // The score panel, right of the last column, below the last row.
        click(*scene, QPointF(50, 50));
        click(*scene, QPointF(1021, 300));
        click(*scene, QPointF(500, 545));
        QCOMPARE(bar().getLevel(), 60.0);
        QCOMPARE(boardRows(board()), before);
    }

    // Emptying the board banks 1000 that shows with the next removal; the new board starts
    // with an empty bar that fills 2 px a tick faster.
    void clearingTheBoardBanksTheBonusForTheNextRemoval()
    {
        setBoard(board(), bottomRows({"33............."}));
        tick(50);
        click(*scene, cellCentre(1, 7));
        QCOMPARE(game->getScore()->getScore(), 20);
        QCOMPARE(bar().getLevel(), 0.0);
        QCOMPARE(bar().getStep(), 3.0);
        QVERIFY(board().checkState() != 0);
        setBoard(board(), bottomRows({"33.............", "00.............", "12............."}));
        click(*scene, cellCentre(0, 6));
        QCOMPARE(game->getScore()->getScore(), 20 + 1000 + 20);
        tick();
        QCOMPARE(bar().getLevel(), 3.0);
    }

    // Only lone tiles left: a new board at once, without the bonus, bar empty and faster.
    void noPairLeftDealsANewBoardWithoutBonus()
    {
        setBoard(board(), bottomRows({"2..............", "11............."}));
        tick(70);
        now = QTime(11, 0, 0, 0);
        click(*scene, cellCentre(1, 7));
        Game_SameGame_Mass expected;
        QCOMPARE(boardRows(board()), boardRows(expected));
        QCOMPARE(bar().getLevel(), 0.0);
        QCOMPARE(bar().getStep(), 3.0);
        setBoard(board(), bottomRows({"00.............", "12............."}));
        click(*scene, cellCentre(0, 6));
        QCOMPARE(game->getScore()->getScore(), 40);
    }

    // Time over shows the retry question; Space starts a new board with the score reset into
    // the best, the bar empty and the step it had reached.
    void timeOverRetryResetsScoreButKeepsTheStep()
    {
        setBoard(board(), bottomRows({"33............."}));
        click(*scene, cellCentre(0, 7));
        setBoard(board(), bottomRows({"2..............", "11............."}));
        click(*scene, cellCentre(0, 7));
        QCOMPARE(bar().getStep(), 5.0);
        setBoard(board(), bottomRows({"0000000........", "1111111........"}));
        click(*scene, cellCentre(0, 6));
        QCOMPARE(game->getScore()->getScore(), 20 + 20 + 1000 + 220);
        tick(81);
        QVERIFY(game->isTimeOver());
        // Escape does nothing on the question; a board click neither.
        sendKey(*scene, Qt::Key_Escape);
        QVERIFY(!game->isQuestionShown());
        click(*scene, cellCentre(0, 7));
        QCOMPARE(game->getScore()->getScore(), 1260);
        sendKey(*scene, Qt::Key_Space);
        QVERIFY(!game->isTimeOver());
        QCOMPARE(game->getScore()->getScore(), 0);
        QCOMPARE(game->getScore()->getBest(), 1260);
        QCOMPARE(bar().getLevel(), 0.0);
        QCOMPARE(bar().getStep(), 5.0);
        QVERIFY(bar().isRunning());
    }

    // The pointer mapping: truncation toward zero puts a point just left of the board in
    // column 0; an empty tile picture falls back to the 60 px cell instead of dividing by zero.
    void pointerMappingTruncatesAndSurvivesAnEmptyTile()
    {
        QCOMPARE(game->cellAtPoint(QPointF(100, 100)), QPoint(0, 0));
        QCOMPARE(game->cellAtPoint(QPointF(181, 119)), QPoint(1, 1));
        QCOMPARE(game->cellAtPoint(QPointF(50, 40)), QPoint(-1, 0));
        Game_SameGame bare;
        bare.createResources();
        QCOMPARE(bare.cellAtPoint(QPointF(1000, 500)), QPoint(14, 7));
    }

    // Hovering a tile lights its whole group; off the board to the right the column stays
    // while the row follows; leaving the item clears it.
    void hoverLightsTheGroupAndKeepsTheLastColumn()
    {
        setBoard(board(), bottomRows({"000............", "123............"}));
        hover(*scene, QPointF(900, 50));
        const QImage plain = frame().copy();
        hover(*scene, cellCentre(1, 6));
        QCOMPARE(game->getHoverCell(), QPoint(1, 6));
        const QImage lit = frame().copy();
        for (int c = 0; c < 3; ++c)
            QVERIFY(lit.copy(QRect(cellCentre(c, 6).toPoint() - QPoint(28, 28), QSize(56, 56))) !=
                    plain.copy(QRect(cellCentre(c, 6).toPoint() - QPoint(28, 28), QSize(56, 56))));
        QCOMPARE(lit.copy(QRect(cellCentre(0, 7).toPoint() - QPoint(28, 28), QSize(56, 56))),
                 plain.copy(QRect(cellCentre(0, 7).toPoint() - QPoint(28, 28), QSize(56, 56))));
        hover(*scene, QPointF(1019, 200));
        QCOMPARE(game->getHoverCell(), QPoint(14, 2));
        // Off the item altogether: hover leaves and the cell is forgotten.
        hover(*scene, QPointF(1100, 300));
        QCOMPARE(game->getHoverCell(), QPoint(-1, -1));
    }

    // Escape stops and hides the bar behind the question; "いいえ" resumes; "はい" reports the
    // larger of best and current score.
    void escapeQuestionPausesAndYesReportsTheBest()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        sendKey(*scene, Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        QVERIFY(!bar().isRunning());
        QVERIFY(!bar().isVisible());
        click(*scene, game->rightButtonRect().center());
        QVERIFY(!game->isQuestionShown());
        QVERIFY(bar().isRunning());
        QVERIFY(bar().isVisible());
        setBoard(board(), bottomRows({"1..............", "1..............", "11133.........."}));
        click(*scene, cellCentre(0, 7));
        sendKey(*scene, Qt::Key_Escape);
        sendKey(*scene, Qt::Key_Space);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended[0][0].toString(), QString("SameGame"));
        QCOMPARE(ended[0][1].toInt(), 500);
    }

    // A whole play, painted frame by frame: groups cleared with clicks between bar ticks, then
    // useless clicks until the bar is full; the retry question is drawn over the board; its
    // "はい" button starts again; Escape and "はい" leave with the best score.
    void wholePlayRendersToTheRetryQuestionAndBack()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        frame();
        for (int i = 0; i < 30; ++i) {
            const QPoint cell = findGroup();
            QVERIFY(cell.x() >= 0);
            const int before = game->getScore()->getScore();
            click(*scene, cellCentre(cell.x(), cell.y()));
            QVERIFY(game->getScore()->getScore() >= before + 20);
            tick(5);
            frame();
        }
        // The bar grows down from 4 px below the top of its frame, 21 px in.
        tick(20);
        const int filled = qRound(bar().getFillRect().height());
        QVERIFY(filled >= 20 && filled < 390);
        const QColor cream(0xff, 0xf8, 0xe8);
        QVERIFY(frame().pixelColor(10 + 50, 120 + 4 + 5) != cream);
        QCOMPARE(frame().pixelColor(10 + 50, 120 + 4 + filled + 4), cream);
        QImage lastPlay;
        while (!game->isTimeOver()) {
            QPoint useless = findLoneTile();
            if (useless.x() < 0)
                useless = QPoint(14, 0);
            click(*scene, cellCentre(useless.x(), useless.y()));
            hover(*scene, cellCentre(3, 7));
            lastPlay = frame().copy();
            tick();
            frame();
        }
        const int scored = game->getScore()->getScore();
        QVERIFY(scored > 0);
        const QImage over = frame().copy();
        // SHOTS=<folder> keeps the two screens for a look.
        if (qEnvironmentVariableIsSet("SHOTS")) {
            lastPlay.save(qEnvironmentVariable("SHOTS") + "/samegame_play.png");
            over.save(qEnvironmentVariable("SHOTS") + "/samegame_over.png");
        }
        const QRect below(130, 420, 880, 110);
        QVERIFY(meanGrey(over, below) < meanGrey(lastPlay, below) * 0.4);
        // Where the dialog writes white text, the frame is white too.
        QImage reference(over.size(), over.format());
        reference.fill(Qt::black);
        {
            QPainter p(&reference);
            game->drawDialog(&p, "やり直しますか？", "はい", "メニューに戻る");
        }
        int whiteText = 0;
        for (int y = 213; y < 363; ++y)
            for (int x = 237; x < 787; ++x)
                if (qRed(reference.pixel(x, y)) > 250) {
                    ++whiteText;
                    QVERIFY(qRed(over.pixel(x, y)) > 200);
                }
        QVERIFY(whiteText > 200);
        // "はい" with the pointer: a fresh bright board, score folded into the best.
        click(*scene, game->leftButtonRect().center());
        QVERIFY(!game->isTimeOver());
        QCOMPARE(game->getScore()->getBest(), qMax(500, scored));
        QVERIFY(meanGrey(frame(), below) > meanGrey(over, below) * 2);
        sendKey(*scene, Qt::Key_Escape);
        click(*scene, game->leftButtonRect().center());
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended[0][1].toInt(), qMax(500, scored));
    }
};

QTEST_MAIN(TestSameGame)
#include "tst_samegame.moc"
