// SameGame: the board rules on boards built by hand, the time bar's ticks, and the game item
// driven by real mouse and key events sent to the scene and rendered frame by frame.
#include "FlatPictures.h"
#include "GameHarness.h"
#include "InkOffPaper.h"
#include "SceneInput.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "games/frame/Game_Score.h"
#include "games/samegame/Game_SameGame.h"
#include "games/samegame/Game_SameGame_Bar.h"
#include "games/samegame/Game_SameGame_BarLevel.h"
#include "games/samegame/Game_SameGame_Mass.h"
#include "games/samegame/Game_SameGame_Rules.h"

#include <QFontDatabase>
#include <QPainter>
#include <QResource>
#include <QSignalSpy>
#include <QtTest>

using namespace SceneInput;

namespace
{
QTime now;

// The board from the given bottom rows of 15 characters (a digit is a kind, '.' empty); the
// rows above are empty.
void setBoard(Game_SameGame_Mass &board, const QStringList &bottom)
{
    for (int r = 0; r < 8; ++r) {
        const QString row =
            r < 8 - bottom.size() ? QString(15, '.') : bottom[r - (8 - bottom.size())];
        for (int c = 0; c < 15; ++c)
            board.setCell(c, r, row[c] == '.' ? Game_SameGame_Mass::Empty : row[c].digitValue());
    }
}

// The bottom `count` rows, in the same notation.
QStringList bottomRows(const Game_SameGame_Mass &board, int count)
{
    QStringList rows;
    for (int r = 8 - count; r < 8; ++r) {
        QString row;
        for (int c = 0; c < 15; ++c)
            row += board.cellAt(c, r) == Game_SameGame_Mass::Empty
                       ? QChar('.')
                       : QChar('0' + board.cellAt(c, r));
        rows << row;
    }
    return rows;
}

QPointF cellCentre(int column, int row)
{
    return QPointF(122 + 60 * column + 30, 58 + 60 * row + 30);
}

double meanGrey(const QImage &img, const QRect &area)
{
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            sum += qGray(img.pixel(x, y));
    return sum / (area.width() * area.height());
}
} // namespace

class TestSameGame : public QObject, GameScene
{
    Q_OBJECT
private:
    Game_SameGame *game = nullptr;

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
    int score() const { return game->getScore()->getScore(); }
    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            bar().slot_barTimeOut();
    }
    // The first cell, row by row, that a click would remove (removable) or punish.
    QPoint findCell(bool removable)
    {
        for (int i = 0; i < 120; ++i)
            if (board().cellAt(i) != Game_SameGame_Mass::Empty &&
                board().isRemovable(i % 15, i / 15) == removable)
                return QPoint(i % 15, i / 15);
        return QPoint(14, 0);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(GameHarness::loadArt());
        Clock::setTimeSource([] { return now; });
    }
    void init()
    {
        now = QTime(10, 20, 30, 400);
        open(game = new Game_SameGame, 500);
    }
    void cleanup() { close(); }

    // Which picture shows where after 100 ticks: BG from (-2, -2), tiles in (122 + 60 c,
    // 58 + 60 r, 60, 60), the panel at (0, 10), the bar's frame (102 x 410) at (10, 120) and
    // the top 100 px of the full bar from 21 px right of and 4 px below its corner.
    void thePicturesLieWhereTheScreensPutThem_data()
    {
        const QString bg = "img/samegame/BG", base = "img/samegame/BAR_BASE",
                      bar = "img/samegame/BAR$", tile = "img/samegame/[A-Z]+0";
        // clang-format off
        FlatPictures::table(
            {{0, {0, 0}, bg}, {0, {1020, 570}, bg}, {0, {600, 573}, bg}, {0, {1021, 30}, bg}, {0, {2, 12}, "img/samegame/SCORE"},
             {0, {117, 97}, "img/samegame/SCORE"}, {0, {121, 300}, bg}, {0, {123, 59}, tile},
             {0, {1020, 536}, tile}, {0, {1020, 540}, bg}, {0, {600, 56}, bg},
             {0, {12, 122}, base}, {0, {110, 528}, base}, {0, {8, 300}, bg}, {0, {114, 300}, bg},
             {0, {32, 125}, bar}, {0, {90, 223}, bar}, {0, {30, 125}, base}, {0, {92, 125}, base},
             {0, {60, 225}, base}, {0, {60, 123}, base}, {1, {60, 300}, "#380038"},
             {2, {1020, 570}, bg + "@200"}, {2, {1000, 300}, "img/samegame/[A-Z]+0@200"},
             {2, {2, 12}, "img/samegame/SCORE"}});
        // clang-format on
    }
    void thePicturesLieWhereTheScreensPutThem()
    {
        const auto [screen, at, shows] = FlatPictures::row();
        const FlatPictures flatSet;
        FlatPictures::reload(*game);
        tick(screen == 2 ? 401 : 100);
        if (screen == 1)
            key(*scene, Qt::Key_Escape);
        QVERIFY(FlatPictures::shows(frame(), at, shows));
    }

    // 200 for every full five tiles and 10 for each one beyond.
    void removalPointsFollowTheFives()
    {
        const int n[] = {2, 4, 5, 7, 9, 10, 12}, points[] = {20, 40, 200, 220, 240, 400, 420};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(Game_SameGame_Rules::pointsFor(n[i]), points[i]);
    }

    // Every deal seeds with hour + minute + second + millisecond and draws the cells in order.
    void dealSeedsFromTheTimeOfDay()
    {
        now = QTime(10, 20, 30, 401);
        board().regenerate();
        Random::seed(10 + 20 + 30 + 401);
        for (int i = 0; i < board().cellCount(); ++i)
            QCOMPARE(board().cellAt(i), Random::draw() % 4);
    }

    // A group winding left, up and down again goes whole from any of its cells; a tile of the
    // same kind touching it only at a corner stays, and so do the other kinds.
    void floodFillTakesTheWholeGroupAndNothingElse()
    {
        for (const QPoint from : {QPoint(2, 6), QPoint(0, 4), QPoint(2, 4)}) {
            setBoard(board(),
                     {"1.1.0..........", "1.1.1..........", "111.2..........", "0.............."});
            QCOMPARE(board().removeGroup(from.x(), from.y()), 7);
            QCOMPARE(bottomRows(board(), 4), QStringList({"....0..........", "....1..........",
                                                          "....2..........", "0.............."}));
        }
    }

    // A pair in either direction is removable; a lone tile, an empty cell or a cell off the
    // board is not (and off the board nothing is read).
    void removabilityNeedsATouchingTileOfTheSameKind()
    {
        setBoard(board(), {"0.1...........3", "1.1...........3", "2301..........."});
        QVERIFY(board().isRemovable(2, 5) && board().isRemovable(2, 6));
        QVERIFY(board().isRemovable(14, 5) && board().isRemovable(14, 6));
        QVERIFY(!board().isRemovable(0, 5) && !board().isRemovable(1, 5) &&
                !board().isRemovable(0, 7));
        QVERIFY(!board().isRemovable(-1, 5) && !board().isRemovable(15, 5) &&
                !board().isRemovable(3, 8));
    }

    // Tiles fall into the gaps below them; empty columns go to the right edge, the others keep
    // their order.
    void collapseDropsTilesAndClosesEmptyColumns()
    {
        setBoard(board(), {"0...3..........", "...............", "1.2....0......2"});
        board().setCell(7, 0, 2);
        board().collapse();
        QCOMPARE(bottomRows(board(), 3),
                 QStringList({"...............", "0..2...........", "12302.........."}));
    }

    // 2 while a group is left, 1 with only lone tiles, 0 on an empty board.
    void checkStateTellsGroupsLoneTilesAndEmpty()
    {
        for (int i = 0; i < 120; ++i)
            board().setCell(i % 15, i / 15, (i % 15 + i / 15) % 2);
        QCOMPARE(board().checkState(), 1);
        board().setCell(14, 7, board().cellAt(13, 7));
        QCOMPARE(board().checkState(), 2);
        setBoard(board(), {});
        QCOMPARE(board().checkState(), 0);
    }

    // The highlighted cells are exactly the cells a click removes, on many random boards.
    void highlightedGroupIsWhatAClickRemoves()
    {
        for (int s = 0; s < 10; ++s) {
            now = QTime(9, 0, s);
            board().regenerate();
            for (int i = 0; i < 120; ++i) {
                const QStringList before = bottomRows(board(), 8);
                QVector<QPoint> group;
                board().collectGroup(i % 15, i / 15, group);
                QCOMPARE(board().removeGroup(i % 15, i / 15), group.size());
                for (const QPoint &p : group)
                    QCOMPARE(board().cellAt(p.x(), p.y()), Game_SameGame_Mass::Empty);
                setBoard(board(), before);
            }
        }
    }

    // With step 1 over a 100 px bar the 100th tick goes on and the 101st ends the game; a
    // penalty past the top draws it full without ending it; halving before the next tick saves it.
    void barLevelTicksPenaltiesAndHalving()
    {
        Game_SameGame_BarLevel level(100);
        for (int i = 1; i <= 100; ++i)
            QVERIFY(!level.tick());
        QVERIFY(level.tick());
        QCOMPARE(level.getDrawnHeight(), 100.0);
        level.resetLevel();
        QCOMPARE(level.getDrawnHeight(), 0.0);
        for (int i = 0; i < 80; ++i)
            level.tick();
        level.addPenalty();
        QCOMPARE(level.getDrawnHeight(), 100.0);
        level.halve();
        QCOMPARE(level.getDrawnHeight(), 100.0);
        QVERIFY(!level.tick());
        QCOMPARE(level.getDrawnHeight(), 56.0);
    }

    // The bar item is as high as its picture (400 px), emits gameOver() once and stops; paused,
    // a queued tick does nothing.
    void barItemEndsTheGameOnceAndPausesForReal()
    {
        QSignalSpy over(&bar(), &Game_SameGame_Bar::gameOver);
        bar().pause();
        QTest::qWait(250);
        QCOMPARE(bar().getLevel(), 0.0);
        bar().resume();
        QTRY_VERIFY_WITH_TIMEOUT(bar().getLevel() >= 1.0, 2000);
        bar().resetLevel();
        tick(400);
        QCOMPARE(over.count(), 0);
        tick();
        QCOMPARE(over.count(), 1);
        QVERIFY(!bar().isRunning());
        QVERIFY(game->isTimeOver());
    }

    // Dragging with the button held moves neither the game nor its time bar.
    void aDragMovesNothing()
    {
        const QPointF barAt = bar().scenePos();
        for (const QPointF from : {QPointF(300, 300), barAt + QPointF(5, 40)}) {
            mouse(*scene, QEvent::GraphicsSceneMousePress, from, Qt::LeftButton);
            mouse(*scene, QEvent::GraphicsSceneMouseMove, from + QPointF(80, 60), Qt::LeftButton);
            mouse(*scene, QEvent::GraphicsSceneMouseRelease, from + QPointF(80, 60), Qt::NoButton);
            QCOMPARE(game->pos(), QPointF(0, 0));
            QCOMPARE(bar().scenePos(), barAt);
        }
    }

    // A click removes the group, the board falls and closes up, 10 a tile; five tiles halve the
    // level, drawn lower at the next tick.
    void clickRemovesScoresAndFiveTilesHalve()
    {
        setBoard(board(), {"2..............", "1..............", "1100033........"});
        tick(100);
        click(*scene, cellCentre(0, 6));
        QCOMPARE(score(), 30);
        QCOMPARE(bottomRows(board(), 2), QStringList({"...............", "200033........."}));
        QCOMPARE(bar().getLevel(), 100.0);
        setBoard(board(), {"1..............", "1..............", "11133........33"});
        click(*scene, cellCentre(0, 7));
        QCOMPARE(score(), 30 + 200);
        QCOMPARE(bar().getLevel(), 50.0);
        QCOMPARE(bar().getFillRect().height(), 100.0);
        tick();
        QCOMPARE(bar().getFillRect().height(), 51.0);
    }

    // A lone tile or an empty cell costs 30 and scores nothing; off the grid nothing happens.
    void uselessClickCostsTimeOffTheGridIsIgnored()
    {
        setBoard(board(), {"0.1..........33"});
        click(*scene, cellCentre(0, 7));
        click(*scene, cellCentre(5, 3));
        QCOMPARE(bar().getLevel(), 60.0);
        for (const QPointF p : {QPointF(50, 50), QPointF(1021, 300), QPointF(500, 545)})
            click(*scene, p);
        QCOMPARE(bar().getLevel(), 60.0);
        QCOMPARE(score(), 0);
        QCOMPARE(bottomRows(board(), 1), QStringList({"0.1..........33"}));
    }

    // Emptying the board counts 1000 at once (leaving right then keeps it); only lone tiles
    // left gives a new board without it. Both start the bar empty and 2 px a tick faster.
    // Played on the rules alone, with no pictures and no bar item.
    void newBoardsCountTheClearBonusAndSpeedUp()
    {
        Game_Score record;
        Game_SameGame_Rules play(record);
        play.start();
        Game_SameGame_BarLevel &bar = play.getLevel();
        setBoard(play.getBoard(), {"33............."});
        for (int i = 0; i < 50; ++i)
            bar.tick();
        QVERIFY(play.click(1, 7).newBoard);
        QCOMPARE(record.getScore(), 1020);
        QCOMPARE(bar.getLevel(), 0.0);
        QCOMPARE(bar.getStep(), 3.0);
        now = QTime(11, 0);
        setBoard(play.getBoard(), {"2..............", "11.............", "00............."});
        play.click(1, 6);
        QCOMPARE(record.getScore(), 20 + 1000 + 20);
        for (int i = 0; i < 10; ++i)
            bar.tick();
        play.click(0, 7);
        QCOMPARE(record.getScore(), 20 + 1000 + 20 + 20);
        Game_SameGame_Mass dealtNow;
        QCOMPARE(bottomRows(play.getBoard(), 8), bottomRows(dealtNow, 8));
        QCOMPARE(bar.getLevel(), 0.0);
        QCOMPARE(bar.getStep(), 5.0);
    }

    // Time over shows the retry question (Escape and board clicks do nothing there); Space
    // deals a new board, the score folded into the best, the bar empty with its step kept.
    void timeOverRetryResetsTheScoreButKeepsTheStep()
    {
        setBoard(board(), {"00000000......."});
        click(*scene, cellCentre(0, 7));
        QCOMPARE(bar().getStep(), 3.0);
        setBoard(board(), {"0000000........", "1111111........"});
        click(*scene, cellCentre(0, 6));
        QCOMPARE(score(), 230 + 1000 + 220);
        tick(134);
        QVERIFY(game->isTimeOver());
        key(*scene, Qt::Key_Escape);
        click(*scene, cellCentre(0, 7));
        QVERIFY(!game->isQuestionShown());
        QCOMPARE(score(), 1450);
        key(*scene, Qt::Key_Space);
        QVERIFY(!game->isTimeOver());
        QCOMPARE(score(), 0);
        QCOMPARE(game->getScore()->getBest(), 1450);
        QCOMPARE(bar().getLevel(), 0.0);
        QCOMPARE(bar().getStep(), 3.0);
        QVERIFY(bar().isRunning());
    }

    // Truncation toward zero maps a point just left of the board to column 0; an empty tile
    // picture falls back to the 60 px cell instead of dividing by zero.
    void pointerMappingTruncatesAndSurvivesAnEmptyTile()
    {
        QCOMPARE(game->cellAtPoint(QPointF(100, 100)), QPoint(0, 0));
        QCOMPARE(game->cellAtPoint(QPointF(50, 40)), QPoint(-1, 0));
        QCOMPARE(game->cellAtPoint(QPointF(179, 117)), QPoint(0, 0));
        QCOMPARE(game->cellAtPoint(QPointF(180, 118)), QPoint(1, 1));
        QCOMPARE(game->cellAtPoint(QPointF(1019, 537)), QPoint(14, 7));
        Game_SameGame bare;
        bare.createResources();
        QCOMPARE(bare.cellAtPoint(QPointF(1000, 500)), QPoint(14, 7));
    }

    // Hovering a tile lights its whole group and nothing else; right of the board the column
    // stays while the row follows; off the item the cell is forgotten.
    void hoverLightsTheGroupAndKeepsTheLastColumn()
    {
        setBoard(board(), {"000............", "123............"});
        hover(*scene, QPointF(900, 50));
        const QImage plain = frame().copy();
        hover(*scene, cellCentre(1, 6));
        const QImage lit = frame().copy();
        auto tile = [](const QImage &img, int c, int r) {
            return img.copy(QRect(124 + 60 * c, 60 + 60 * r, 56, 56));
        };
        for (int c = 0; c < 3; ++c)
            QVERIFY(tile(lit, c, 6) != tile(plain, c, 6));
        QCOMPARE(tile(lit, 0, 7), tile(plain, 0, 7));
        hover(*scene, QPointF(1010, 100));
        hover(*scene, QPointF(1021, 200));
        QCOMPARE(game->getHoverCell(), QPoint(14, 2));
        hover(*scene, QPointF(130, 60));
        QCOMPARE(game->getHoverCell(), QPoint(0, 0));
        hover(*scene, QPointF(200, 560)); // below the board the row stays
        QCOMPARE(game->getHoverCell(), QPoint(1, 0));
        hover(*scene, QPointF(1100, 300));
        QCOMPARE(game->getHoverCell(), QPoint(-1, -1));

        // The arrows move the same light, from the top-left tile at first and no further than
        // the board's edge, with a frame drawn round it; Space removes the group under it.
        key(*scene, Qt::Key_Down);
        QCOMPARE(game->getHoverCell(), QPoint(0, 0));
        for (int i = 0; i < 9; ++i)
            key(*scene, Qt::Key_Down);
        QCOMPARE(game->getHoverCell(), QPoint(0, 7));
        key(*scene, Qt::Key_Up);
        key(*scene, Qt::Key_Right);
        QCOMPARE(game->getHoverCell(), QPoint(1, 6));
        const QImage framed = frame().copy();
        QVERIFY(tile(framed, 1, 6) != tile(lit, 1, 6));
        // the last group goes, so the board is dealt anew at once
        const int before = game->getScore()->getScore();
        key(*scene, Qt::Key_Space);
        QVERIFY(game->getScore()->getScore() > before);
    }

    // Escape stops and hides the bar behind the question, even after a click on the bar;
    // "いいえ" resumes; "はい" reports the larger of best and current score.
    void escapeQuestionPausesTheBarAndReportsTheBest()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        // A click on the bar gives it the focus; its keys still reach the game.
        click(*scene, QPointF(60, 300));
        QCOMPARE(scene->focusItem(), &bar());
        key(*scene, Qt::Key_Escape);
        QVERIFY(game->isQuestionShown() && !bar().isRunning() && !bar().isVisible());
        click(*scene, game->rightButtonRect().center());
        QVERIFY(!game->isQuestionShown() && bar().isRunning() && bar().isVisible());
        key(*scene, Qt::Key_Escape);
        key(*scene, Qt::Key_Space);
        GameHarness::verifyEnded(ended, "SameGame", 500);
    }

    // A removal shows on the very next frame: the emptied cells show the picture behind the
    // board, the tiles below them stand as they did.
    void removedTilesLeaveTheNextFrame()
    {
        setBoard(board(), {"0000000........", "1111111........"});
        const QImage before = frame().copy();
        click(*scene, cellCentre(0, 6));
        QCOMPARE(board().cellAt(0, 6), int(Game_SameGame_Mass::Empty));
        const QImage after = frame().copy();
        for (int column = 0; column < 7; ++column) {
            const QPoint gone = cellCentre(column, 6).toPoint();
            const QPoint kept = cellCentre(column, 7).toPoint();
            QVERIFY2(after.pixel(gone) != before.pixel(gone), qPrintable(QString::number(column)));
            QCOMPARE(after.pixel(kept), before.pixel(kept));
        }
    }

    // Each time over dims the board as it stands then: after a retry on a different board the
    // result shows the new tiles, not the picture kept from the first result.
    void resultDimsTheBoardOfItsOwnRound()
    {
        setBoard(board(), {"000000000000000", "111111111111111"});
        for (int i = 0; i < 5000 && !game->isTimeOver(); ++i)
            tick();
        QVERIFY(game->isTimeOver());
        const QImage first = frame().copy();
        key(*scene, Qt::Key_Space);
        QVERIFY(!game->isTimeOver());
        setBoard(board(), {"222222222222222", "333333333333333"});
        const QImage play = frame().copy();
        for (int i = 0; i < 5000 && !game->isTimeOver(); ++i)
            tick();
        QVERIFY(game->isTimeOver());
        const QImage over = frame().copy();
        // the two bottom rows, right of the time bar and below the dialog
        int compared = 0, changed = 0;
        for (int column = 2; column < 15; ++column)
            for (int row = 6; row < 8; ++row) {
                const QPoint at = cellCentre(column, row).toPoint();
                const QRgb lit = play.pixel(at), dim = over.pixel(at);
                const auto dimmed = [](int d, int l) { return qAbs(d - l * 55 / 255) <= 2; };
                QVERIFY2(dimmed(qRed(dim), qRed(lit)) && dimmed(qGreen(dim), qGreen(lit)) &&
                             dimmed(qBlue(dim), qBlue(lit)),
                         qPrintable(QString("cell %1,%2: %3 over %4")
                                        .arg(column)
                                        .arg(row)
                                        .arg(dim, 0, 16)
                                        .arg(lit, 0, 16)));
                changed += first.pixel(at) != dim;
                ++compared;
            }
        QVERIFY(changed > compared / 2);
    }

    // A whole play painted frame by frame: groups cleared by clicks between ticks, the bar
    // drawn growing down its well, useless clicks until it is full, the retry question drawn
    // over the board, "はい" for a new board, then Escape and "はい" out with the best score; the
    // release frees the board.
    void wholePlayRendersToTheRetryQuestionAndBack()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        for (int i = 0; i < 30; ++i) {
            const int before = score();
            const QPoint cell = findCell(true);
            click(*scene, cellCentre(cell.x(), cell.y()));
            QVERIFY(score() >= before + 20);
            tick(5);
            frame();
        }
        tick(20);
        const int filled = qRound(bar().getFillRect().height());
        QVERIFY(filled >= 20 && filled < 390);
        const QColor cream(0xff, 0xf8, 0xe8);
        QVERIFY(frame().pixelColor(60, 120 + 4 + 5) != cream);
        QCOMPARE(frame().pixelColor(60, 120 + 4 + filled + 4), cream);
        QImage lastPlay;
        while (!game->isTimeOver()) {
            const QPoint cell = findCell(false);
            click(*scene, cellCentre(cell.x(), cell.y()));
            lastPlay = frame().copy();
            tick();
        }
        const int scored = score();
        const QImage over = frame().copy();
        if (qEnvironmentVariableIsSet("SHOTS")) {
            lastPlay.save(qEnvironmentVariable("SHOTS") + "/samegame_play.png");
            over.save(qEnvironmentVariable("SHOTS") + "/samegame_over.png");
        }
        const QRect below(130, 420, 880, 110);
        QVERIFY(meanGrey(over, below) < meanGrey(lastPlay, below) * 0.4);
        // Where the dialog writes white text on black, the frame is white too.
        QVERIFY(dialogInkShown(*game, over, {"やり直しますか？", "はい", "メニューに戻る"},
                               QRect(237, 213, 550, 150), 200, qRed) > 200);
        click(*scene, game->leftButtonRect().center());
        QVERIFY(!game->isTimeOver());
        QVERIFY(meanGrey(frame(), below) > meanGrey(over, below) * 2);
        key(*scene, Qt::Key_Escape);
        click(*scene, game->leftButtonRect().center());
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended[0][1].toInt(), qMax(500, scored));
        // Off the scene the game keeps no board and no bar until its next start.
        game->releaseResources();
        QVERIFY(!game->getRules() && !game->getTimeBar());
    }

    // A score beyond any play (boards follow each other without end) inks only on the paper of
    // the narrowed panel.
    void theWidestScoreStaysOnItsPanel()
    {
        showOnScorePanel(*game->getScore(), 99999999);
        frame();
        VERIFY_INK_ON_PANELS(*game, {{{0, 0, 122, 110},
                                      ":/img/samegame/SCORE",
                                      {0, 10},
                                      scorePanelTexts(99999999, 99999999)}});
    }
};

QTEST_MAIN(TestSameGame)
#include "tst_samegame.moc"
