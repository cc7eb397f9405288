// Speed: the neighbour rule with wrap-around, which pile a card goes onto, wild jokers, misses
// and their two-second penalty, the stall re-deal, and the screen played frame by frame and
// through real events on a graphics view.
#include "app/Clock.h"
#include "app/Random.h"
#include "games/cards/Game_Countdown.h"
#include "games/frame/Game_Score.h"
#include "games/speed/Game_Speed.h"
#include "games/speed/Game_Speed_Table.h"

#include <QFontDatabase>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPainter>
#include <QResource>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace
{
QTime fakeNow;

using Table = Game_Speed_Table;

// A table with the two pile ranks and all ten table cards of one rank (suits 0..3 in turn).
Table tableWith(int pileA, int pileB, int tableRank)
{
    Table t;
    t.setPile(Table::PileA, {0, pileA});
    t.setPile(Table::PileB, {1, pileB});
    for (int i = 0; i < Table::TableCards; ++i)
        t.setTableCard(i, {i % 4, tableRank});
    return t;
}

// Red clock pixels: a clear red with little green and blue.
int redPixels(const QImage &image, const QRectF &area)
{
    int n = 0;
    const QRect r = area.toRect().intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += qRed(p) > 150 && qGreen(p) < 60 && qBlue(p) < 60;
        }
    return n;
}
} // namespace

class TestSpeed : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QGraphicsScene> scene;
    std::unique_ptr<QGraphicsView> view;
    Game_Speed *game = nullptr;

    QPoint at(QPointF scenePoint) const { return view->mapFromScene(scenePoint); }
    void click(QPointF scenePoint)
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(scenePoint));
    }
    void moveTo(QPointF scenePoint) { QTest::mouseMove(view->viewport(), at(scenePoint)); }
    void key(Qt::Key k) { QTest::keyClick(view.get(), k); }
    // A point of table card i that no other rectangle covers.
    QPointF cardPoint(int i) const { return Table::tableRect(i).center() + QPointF(0, 30); }

    QImage frame(int ms = 16)
    {
        fakeNow = fakeNow.addMSecs(ms);
        QImage image(game->getWidth(), game->getHeight(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        game->paint(&painter, nullptr, nullptr);
        return image;
    }

    QImage expectedResult()
    {
        QImage image(game->getWidth(), game->getHeight(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.fillRect(game->boundingRect(), Qt::black);
        QImage panel(QStringLiteral(":/img/speed/SCORE"));
        panel = panel.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        game->drawScorePanel(&painter, panel);
        game->drawDialog(&painter, QStringLiteral("終了！"), QStringLiteral("もう一度"),
                         QStringLiteral("メニューに戻る"));
        return image;
    }

    // The first table card that a pile takes, or -1.
    int playableCard() const
    {
        const Table *t = game->getTable();
        const int a = t->pile(Table::PileA).rank, b = t->pile(Table::PileB).rank;
        for (int i = 0; i < Table::TableCards; ++i) {
            const int d = t->tableCard(i).rank;
            if (d == Table::Joker || a == Table::Joker || b == Table::Joker || Table::fits(d, a) ||
                Table::fits(d, b))
                return i;
        }
        return -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QResource::registerResource(QStringLiteral(TOVIRA_GAME_DIR "/resuorce.rcc")));
        QFontDatabase::addApplicationFont(QStringLiteral(":/font/tanuki"));
        Clock::setTimeSource([] { return fakeNow; });
    }
    void cleanupTestCase() { Clock::reset(); }

    void init()
    {
        fakeNow = QTime(9, 41, 20, 250);
        scene = std::make_unique<QGraphicsScene>(0, 0, 1020, 572);
        view = std::make_unique<QGraphicsView>(scene.get());
        view->setFixedSize(1024, 576);
        view->show();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        game = new Game_Speed();
        scene->addItem(game);
        game->getScore()->setBest(0);
        game->getScore()->resetScore();
        game->createResources();
        game->initGame();
        game->stopTimers(); // the test paints the frames itself
    }
    void cleanup()
    {
        view.reset();
        scene.reset();
        game = nullptr;
    }

    // ---- rules --------------------------------------------------------------------------

    // A pile on the highest rank takes the lowest, the highest and the second highest; one on
    // the lowest takes the highest; two apart never fits.
    void neighbouringRanksWrapAroundFromTheHighestToTheLowest()
    {
        QVERIFY(Table::fits(0, 12));
        QVERIFY(Table::fits(12, 12));
        QVERIFY(Table::fits(11, 12));
        QVERIFY(!Table::fits(10, 12));
        QVERIFY(!Table::fits(1, 12));
        QVERIFY(Table::fits(12, 0));
        QVERIFY(Table::fits(1, 0));
        QVERIFY(!Table::fits(11, 0));
        QVERIFY(Table::fits(6, 5) && Table::fits(4, 5) && !Table::fits(7, 5));

        Table t = tableWith(12, 6, 0);
        QCOMPARE(t.lay(3), int(Table::PileA));
        QCOMPARE(t.pile(Table::PileA), (Game_Trump_Card{3, 0}));
    }

    // A card that fits both piles goes onto pile A; one that fits only B goes onto B; one that
    // fits neither stays where it is.
    void aCardFittingBothPilesGoesOntoPileA()
    {
        Table both = tableWith(5, 6, 5);
        QCOMPARE(both.lay(2), int(Table::PileA));
        QCOMPARE(both.pile(Table::PileA), (Game_Trump_Card{2, 5}));
        QCOMPARE(both.pile(Table::PileB), (Game_Trump_Card{1, 6}));

        Table onlyB = tableWith(2, 9, 10);
        QCOMPARE(onlyB.lay(0), int(Table::PileB));
        QCOMPARE(onlyB.pile(Table::PileB), (Game_Trump_Card{0, 10}));

        Table neither = tableWith(2, 9, 6);
        QCOMPARE(neither.lay(1), -1);
        QCOMPARE(neither.pile(Table::PileA), (Game_Trump_Card{0, 2}));
        QCOMPARE(neither.pile(Table::PileB), (Game_Trump_Card{1, 9}));
        QCOMPARE(neither.tableCard(1), (Game_Trump_Card{1, 6}));
    }

    // A joker makes one pile wild, keeping that pile's suit: an odd draw picks pile B, an even
    // one pile A. The next card of any rank goes onto the wild pile.
    void aJokerMakesOnePileWild()
    {
        // After seed 1 the draws are 41 (odd), 18467 (odd), 6334 (even).
        Table odd = tableWith(3, 8, 13);
        Random::seed(1);
        QCOMPARE(odd.lay(0), int(Table::PileB));
        QCOMPARE(odd.pile(Table::PileB), (Game_Trump_Card{1, 13}));
        QCOMPARE(odd.pile(Table::PileA), (Game_Trump_Card{0, 3}));
        odd.setTableCard(1, {2, 0});
        QCOMPARE(odd.lay(1), int(Table::PileB));
        QCOMPARE(odd.pile(Table::PileB), (Game_Trump_Card{2, 0}));

        Table even = tableWith(3, 8, 13);
        Random::seed(1);
        Random::draw();
        Random::draw();
        QCOMPARE(even.lay(4), int(Table::PileA));
        QCOMPARE(even.pile(Table::PileA), (Game_Trump_Card{0, 13}));
        // A wild pile A comes before a fitting pile B.
        even.setTableCard(5, {3, 8});
        QCOMPARE(even.lay(5), int(Table::PileA));
    }

    // A good play replaces the card with a new random one and counts it; a miss asks for the
    // penalty and changes nothing.
    void aGoodClickReplacesTheCardAndAMissAsksForThePenalty()
    {
        Table t = tableWith(4, 9, 1);
        t.setTableCard(7, {2, 5});
        Random::seed(7);
        const Table::Click good = t.click(Table::tableRect(7).center());
        QVERIFY(good.scored && !good.penalty);
        QCOMPARE(t.pile(Table::PileA), (Game_Trump_Card{2, 5}));
        QCOMPARE(t.getPlayed(), 1);
        Random::seed(7);
        const int suit = Random::draw() % 4, rank = Random::draw() % 14;
        QCOMPARE(t.tableCard(7), (Game_Trump_Card{suit, rank}));

        Table m = tableWith(4, 9, 1);
        const Table::Click miss = m.click(Table::tableRect(3).center() + QPointF(0, 40));
        QVERIFY(!miss.scored && miss.penalty);
        QCOMPARE(m.getPlayed(), 0);
        const Table::Click nothing = m.click(QPointF(600, 10));
        QVERIFY(!nothing.scored && !nothing.penalty);
    }

    // On the edge shared by rectangles 0 and 1 a miss on card 0 followed by a playable card 1
    // lays card 1 on its pile, but it is neither scored nor replaced and the penalty applies.
    void theSharedEdgeOfTheFirstTwoCardsLaysWithoutScoring()
    {
        QVERIFY(Table::tableRect(0).contains(QPointF(251, 190)));
        QVERIFY(Table::tableRect(1).contains(QPointF(251, 190)));
        Table t = tableWith(4, 9, 1);
        t.setTableCard(1, {3, 10});
        const Table::Click c = t.click(QPointF(251, 190));
        QVERIFY(!c.scored);
        QVERIFY(c.penalty);
        QCOMPARE(t.pile(Table::PileB), (Game_Trump_Card{3, 10}));
        QCOMPARE(t.tableCard(1), (Game_Trump_Card{3, 10}));
        QCOMPARE(t.getPlayed(), 0);
    }

    // The stall rule only looks when nothing can be played: a playable table is never
    // re-dealt, a stalled one is within a few hundred frames (chance 1 in 50 per frame).
    void aStalledTableIsRedealtWithoutAClick()
    {
        Table live = tableWith(0, 6, 3);
        live.setTableCard(9, {0, 7});
        Random::seed(5);
        for (int i = 0; i < 2000; ++i)
            QVERIFY(!live.stallCheck());
        QCOMPARE(live.pile(Table::PileA), (Game_Trump_Card{0, 0}));

        Table stuck = tableWith(0, 6, 3);
        QVERIFY(stuck.isStalled());
        Random::seed(5);
        int frames = 0;
        while (!stuck.stallCheck() && frames < 2000)
            ++frames;
        QVERIFY(frames < 2000);
        QVERIFY(stuck.pile(Table::PileA) != (Game_Trump_Card{0, 0}) ||
                stuck.pile(Table::PileB) != (Game_Trump_Card{1, 6}));
    }

    // Piles start without jokers; table cards come up as jokers about one time in fourteen.
    void dealingGivesPlainPilesAndSometimesJokersOnTheTable()
    {
        int jokers = 0;
        for (int n = 0; n < 300; ++n) {
            fakeNow = fakeNow.addMSecs(37);
            game->initGame();
            const Table *t = game->getTable();
            QVERIFY(t->pile(Table::PileA).rank <= 12 && t->pile(Table::PileB).rank <= 12);
            for (int i = 0; i < Table::TableCards; ++i) {
                QVERIFY(t->tableCard(i).rank >= 0 && t->tableCard(i).rank <= 13);
                jokers += t->tableCard(i).rank == Table::Joker;
            }
        }
        QVERIFY(jokers > 100 && jokers < 330);
    }

    // ---- the screen -------------------------------------------------------------------

    // The clock and the count are centred 240 px above and below the middle.
    void theClockAndTheCountSitAboveAndBelowTheMiddle()
    {
        QCOMPARE(game->getWidth(), 1024);
        QCOMPARE(game->getHeight(), 576);
        QCOMPARE(game->timerPictureRect().center(), QPointF(512, 288 - 240));
        QCOMPARE(game->restPictureRect().center(), QPointF(512, 288 + 240));
    }

    // Each good click adds exactly 200 points and one to the count shown.
    void eachGoodPlayAdds200AndOneToTheCount()
    {
        Table *t = game->getTable();
        for (int n = 1; n <= 3; ++n) {
            *t = tableWith(4, 9, 1);
            for (int k = 0; k < n - 1; ++k)
                t->replace(9); // keep the count from the plays before
            t->setTableCard(6, {0, 5});
            frame();
            click(cardPoint(6));
            QCOMPARE(game->getScore()->getScore(), 200 * n);
            QCOMPARE(t->getPlayed(), n);
        }
    }

    // A miss costs two seconds and turns the clock red, fading one step per frame.
    void aMissCostsTwoSecondsAndTurnsTheClockRed()
    {
        Table *t = game->getTable();
        *t = tableWith(4, 9, 1);
        const QImage before = frame();
        const QTime left = game->getClock()->getRemaining();
        click(cardPoint(2));
        QCOMPARE(game->getScore()->getScore(), 0);
        QCOMPARE(game->getClock()->getRemaining(), left.addMSecs(-2000));
        QCOMPARE(game->getMissFlash(), 255);
        const QImage after = frame(0);
        QCOMPARE(game->getMissFlash(), 254);
        const QRectF clockText = game->timerPictureRect().adjusted(60, 20, 0, 0);
        QCOMPARE(redPixels(before, clockText), 0);
        QVERIFY(redPixels(after, clockText) > 200);
        for (int i = 0; i < 254; ++i)
            frame(0);
        QCOMPARE(game->getMissFlash(), 0);
        QCOMPARE(redPixels(frame(0), clockText), 0);
    }

    // With 1.5 s left a miss wraps the clock below zero and the next frame ends the play.
    void aMissWithOneAndAHalfSecondsLeftEndsTheGameAtTheNextFrame()
    {
        *game->getTable() = tableWith(4, 9, 1);
        game->getClock()->start(QTime(0, 0, 1, 500), fakeNow);
        frame(0);
        QVERIFY(!game->isGameOver());
        click(cardPoint(0));
        QVERIFY(!game->isGameOver());
        frame(0);
        QVERIFY(game->isGameOver());
        QCOMPARE(frame(), expectedResult());
    }

    // A stalled table on screen is re-dealt by the frames alone.
    void aStalledScreenIsRedealtByTheFramesAlone()
    {
        Table *t = game->getTable();
        *t = tableWith(0, 6, 3);
        int frames = 0;
        while (t->isStalled() && frames < 3000) {
            frame();
            ++frames;
        }
        QVERIFY(!t->isStalled() || t->pile(Table::PileA) != (Game_Trump_Card{0, 0}));
        QVERIFY(frames < 3000);
        QCOMPARE(game->getScore()->getScore(), 0);
    }

    // A player's whole minute painted frame by frame: a playable card is clicked every few
    // frames until the clock runs out; the result screen shows the score and Space retries.
    void aMinutePaintedFrameByFrameEndsOnTheResultAndSpaceRetries()
    {
        int frames = 0;
        while (!game->isGameOver() && frames < 10000) {
            frame(20);
            if (++frames % 10 == 0) {
                const int i = playableCard();
                if (i >= 0)
                    click(cardPoint(i));
            }
        }
        QVERIFY(game->isGameOver());
        // 60 s at 20 ms per frame, less the frames that span a change of minute.
        QVERIFY(frames >= 3000 && frames <= 3010);
        const int points = game->getScore()->getScore();
        QCOMPARE(points, 200 * game->getTable()->getPlayed());
        QVERIFY(points >= 200 * 100);
        QCOMPARE(frame(), expectedResult());

        key(Qt::Key_Space);
        QVERIFY(!game->isGameOver());
        QCOMPARE(game->getScore()->getBest(), points);
        QCOMPARE(game->getScore()->getScore(), 0);
        QCOMPARE(game->getTable()->getPlayed(), 0);
        QCOMPARE(game->getClock()->getRemaining(), QTime(0, 1, 0, 0));
    }

    // Escape asks; "いいえ" resumes; the clock keeps running meanwhile; Escape and Space leave.
    void escapeAsksAndSpaceLeavesWithTheBestScore()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        game->getScore()->setBest(800);
        frame();
        key(Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        fakeNow = fakeNow.addMSecs(3000);
        moveTo(game->rightButtonRect().center());
        click(game->rightButtonRect().center());
        QVERIFY(!game->isQuestionShown());
        frame(0);
        QVERIFY(game->getClock()->getRemaining() <= QTime(0, 0, 57, 0));
        key(Qt::Key_Escape);
        key(Qt::Key_Space);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toString(), QStringLiteral("Speed"));
        QCOMPARE(ended.at(0).at(1).toInt(), 800);
    }

    // On the result screen "もう一度" retries and "メニューに戻る" leaves with the score.
    void resultButtonsRetryAndLeave()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        Table *t = game->getTable();
        *t = tableWith(4, 9, 5);
        frame();
        click(cardPoint(4));
        game->getClock()->subtract(61000);
        frame();
        QVERIFY(game->isGameOver());
        moveTo(game->leftButtonRect().center() + QPointF(2, 2));
        click(game->leftButtonRect().center() + QPointF(2, 2));
        QVERIFY(!game->isGameOver());
        QCOMPARE(game->getScore()->getBest(), 200);
        *t = tableWith(4, 9, 5);
        click(cardPoint(4));
        click(cardPoint(5));
        game->getClock()->subtract(61000);
        frame();
        moveTo(game->rightButtonRect().center() + QPointF(2, 2));
        click(game->rightButtonRect().center() + QPointF(2, 2));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(1).toInt(), 400);
    }
};

QTEST_MAIN(TestSpeed)
#include "tst_speed.moc"
