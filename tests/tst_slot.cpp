// The slot machine: the strip and its shuffle, the stop arithmetic, scoring, losing, the train of
// reels and its speeds, and the screen played frame by frame through real events on a view.
#include "app/Clock.h"
#include "app/Random.h"
#include "games/cards/Game_Trump.h"
#include "games/frame/Game_Score.h"
#include "games/slot/Game_Slot.h"
#include "games/slot/Game_Slot_Machine.h"
#include "games/slot/Game_Slot_Reel.h"

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
const QSize Screen(1024, 576);

using Reel = Game_Slot_Reel;
using Machine = Game_Slot_Machine;

// A strip of sixteen cards of one rank.
Reel::Strip stripOf(int rank)
{
    Reel::Strip s;
    for (int i = 0; i < Reel::StripLength; ++i)
        s[i] = Game_Trump_Card{i % 4, rank};
    return s;
}

// Rank counts of a strip.
QVector<int> rankCounts(const Reel::Strip &s)
{
    QVector<int> counts(13, 0);
    for (const Game_Trump_Card &c : s)
        ++counts[c.rank];
    return counts;
}

// The strip index of the card whose top edge is at the pay line, found by position alone.
int cardAtPayLine(const Reel &reel)
{
    for (int i = 0; i < Reel::StripLength; ++i) {
        if (reel.getY1() + Reel::Pitch * i == Reel::PayLineTop ||
            reel.getY2() + Reel::Pitch * i == Reel::PayLineTop)
            return i;
    }
    return -1;
}

// Runs the machine's frames (every reel moves, then the machine) on a 1024 x 576 device.
void runFrames(Machine &m, int frames)
{
    for (int f = 0; f < frames && !m.isGameOver(); ++f) {
        for (const auto &reel : m.getReels())
            reel->advance(Screen);
        m.afterFrame();
    }
}

double meanGray(const QImage &image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            sum += qGray(image.pixel(x, y));
    return sum / ((image.height() / 4) * (image.width() / 4));
}

Reel *oldestSpinning(const Machine &m)
{
    for (const auto &reel : m.getReels())
        if (!reel->isStopped())
            return reel.get();
    return nullptr;
}
} // namespace

class TestSlot : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QGraphicsScene> scene;
    std::unique_ptr<QGraphicsView> view;
    Game_Slot *game = nullptr;

    QPoint at(QPointF scenePoint) const { return view->mapFromScene(scenePoint); }
    void click(QPointF scenePoint)
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(scenePoint));
    }
    void moveTo(QPointF scenePoint) { QTest::mouseMove(view->viewport(), at(scenePoint)); }
    void key(Qt::Key k) { QTest::keyClick(view.get(), k); }
    Machine *machine() const { return game->getMachine(); }

    // One frame painted into a screen-sized picture, the clock moving on first.
    QImage frame()
    {
        fakeNow = fakeNow.addMSecs(16);
        QImage image(Screen, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        game->paint(&painter, nullptr, nullptr);
        return image;
    }

    // Paints frames until the oldest spinning reel is well on screen (or the play ends).
    void waitForReelAt(int x)
    {
        for (int f = 0; f < 2000 && !game->isGameOver(); ++f) {
            const Reel *r = oldestSpinning(*machine());
            if (r && r->isOnScreen() && r->getX() <= x)
                return;
            frame();
        }
    }

    // Sets every reel of the train (and so the next press) to one rank.
    void setAllStrips(int rank)
    {
        for (const auto &reel : machine()->getReels())
            reel->setStrip(stripOf(rank));
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
        fakeNow = QTime(14, 20, 10, 501);
        scene = std::make_unique<QGraphicsScene>(0, 0, 1020, 572);
        view = std::make_unique<QGraphicsView>(scene.get());
        view->setFixedSize(1024, 576);
        // The test paints the frames itself; the view must not move the reels behind its back.
        view->setViewportUpdateMode(QGraphicsView::NoViewportUpdate);
        view->show();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        game = new Game_Slot();
        scene->addItem(game);
        game->getScore()->setBest(0);
        game->getScore()->resetScore();
        game->createResources();
        game->initGame();
        game->stopTimers();
    }
    void cleanup()
    {
        view.reset();
        scene.reset();
        game = nullptr;
    }

    // ---- the strip ----------------------------------------------------------------------

    // Ten losing cards (ranks 0..9 once), three of rank 10, two of 11 and one of 12, for any seed.
    void aStripHoldsTenLosersAndSixFaceCards()
    {
        for (unsigned seed : {1u, 545u, 29999u}) {
            Random::seed(seed);
            const Reel::Strip s = Reel::dealStrip();
            const QVector<int> counts = rankCounts(s);
            for (int r = 0; r <= 9; ++r)
                QCOMPARE(counts[r], 1);
            QCOMPARE(counts[10], 3);
            QCOMPARE(counts[11], 2);
            QCOMPARE(counts[12], 1);
            for (const Game_Trump_Card &c : s)
                QVERIFY(c.suit >= 0 && c.suit <= 3);
        }
    }

    // The same seed at the same millisecond deals the same order; another seed another one, and
    // the shuffle really moves the cards.
    void theShuffleIsFixedByTheSeed()
    {
        Random::seed(777);
        const Reel::Strip a = Reel::dealStrip();
        Random::seed(777);
        const Reel::Strip b = Reel::dealStrip();
        QVERIFY(a == b);
        Random::seed(778);
        QVERIFY(Reel::dealStrip() != a);
        int moved = 0;
        for (int i = 0; i < Reel::StripLength; ++i)
            moved += a[i].rank != (i < 10 ? i : i < 13 ? 10 : i < 15 ? 11 : 12);
        QVERIFY(moved >= 8);
    }

    // A new reel loads its sheet (which seeds from "mmssszzz"), then seeds again from hour +
    // minute + second + millisecond before it deals: the later seed decides the strip.
    void aNewReelDealsFromTheSecondSeed()
    {
        fakeNow = QTime(9, 41, 7, 333);
        Reel reel(15);
        Random::seed(9 + 41 + 7 + 333);
        QVERIFY(reel.getStrip() == Reel::dealStrip());
        Random::seed(Game_Trump::timeSeed(fakeNow));
        QVERIFY(reel.getStrip() != Reel::dealStrip());
        QCOMPARE(reel.getSpeed(), 15);
        QCOMPARE(reel.getX(), -200);
        QCOMPARE(reel.getY1(), 5);
        QCOMPARE(reel.getY2(), -2800);
    }

    // ---- stopping -----------------------------------------------------------------------

    // A lower copy at -1243 (g = 7.897, above 0.7) snaps to k = 8: its top goes to -1193, the
    // upper copy 2800 above, and the pay line holds strip[8].
    void aStopAtMinus1243SnapsToCardEight()
    {
        const Reel::Stop s = Reel::stopFor(-1243);
        QCOMPARE(s.k, 8);
        QCOMPARE(s.lowerTop, -1193);
        QCOMPARE(s.payIndex, 8);

        fakeNow = QTime(9, 0, 0, 1);
        Reel reel(15);
        Reel::Strip strip = stripOf(0);
        strip[8] = Game_Trump_Card{2, 11};
        reel.setStrip(strip);
        reel.setTops(-4043, -1243); // the second copy is the lower one here
        QCOMPARE(reel.stopReel(), 12);
        QCOMPARE(reel.getY2(), -1193);
        QCOMPARE(reel.getY1(), -3993);
        QVERIFY(reel.isStopped());
    }

    // From every position a spinning strip can have, the stop moves it by -90.5..+84.5 pixels
    // and puts a card's top edge exactly on the pay line: the card it reports.
    void everyStopLandsACardOnThePayLine()
    {
        fakeNow = QTime(9, 0, 0, 1);
        Reel reel(15);
        Reel::Strip strip;
        for (int i = 0; i < Reel::StripLength; ++i)
            strip[i] = Game_Trump_Card{0, i % 13};
        reel.setStrip(strip);
        double lowest = 0, highest = 0;
        // The lower copy's top stays within (576 - 2800, 576] while the strip spins.
        for (int top = 576 - 2800 + 1; top <= 576; ++top) {
            const Reel::Stop s = Reel::stopFor(top);
            QVERIFY2(s.jump >= -90.5 && s.jump <= 84.5, qPrintable(QString::number(top)));
            QVERIFY(qAbs(s.lowerTop - top - s.jump) < 1e-9);
            lowest = std::min(lowest, s.jump);
            highest = std::max(highest, s.jump);
            reel.setTops(top, top - 2800);
            const int value = reel.stopReel();
            const int index = cardAtPayLine(reel);
            QVERIFY2(index == s.payIndex, qPrintable(QString::number(top)));
            QCOMPARE(value, strip[index].rank + 1);
        }
        // Whole-pixel positions reach -90 and +84 at the ends of the range.
        QCOMPARE(lowest, -90.0);
        QCOMPARE(highest, 84.0);
    }

    // ---- scoring and losing -------------------------------------------------------------

    // The first scoring stop gives 100 even on the highest card; later stops give 200, 500
    // and 1000 for ranks 10, 11 and 12.
    void theFirstScoringStopGives100ThenTheCardCounts()
    {
        QCOMPARE(Machine::pointsFor(13, 0), 100);
        Machine m;
        m.start();
        runFrames(m, 400); // a few reels on their way
        QVERIFY(m.getReels().size() >= 4);
        const int ranks[] = {12, 10, 11, 12};
        for (std::size_t i = 0; i < 4; ++i)
            m.getReels()[i]->setStrip(stripOf(ranks[i]));
        int score = 0;
        const int expected[] = {100, 300, 800, 1800};
        for (int n = 0; n < 4; ++n) {
            const Machine::PressResult r = m.press(score);
            QCOMPARE(r.kind, Machine::Press::Scored);
            QCOMPARE(r.value, ranks[n] + 1);
            score = r.score;
            QCOMPARE(score, expected[n]);
        }
        QCOMPARE(m.getLastResult(), 13);
        QVERIFY(!m.isGameOver());
    }

    // A card of rank 0..9 ends the game at once, freezes every reel and leaves the score alone.
    void aLosingCardEndsTheGameWithTheScoreUnchanged()
    {
        Machine m;
        m.start();
        runFrames(m, 200);
        m.getReels()[0]->setStrip(stripOf(12));
        m.getReels()[1]->setStrip(stripOf(9));
        const int scored = m.press(0).score;
        const Machine::PressResult lost = m.press(scored);
        QCOMPARE(lost.kind, Machine::Press::Lost);
        QCOMPARE(lost.value, 10);
        QCOMPARE(lost.score, 100);
        QVERIFY(m.isGameOver());
        for (const auto &reel : m.getReels())
            QVERIFY(reel->isFrozen());
        // Frozen reels neither spin nor drift, and further presses stop nothing.
        const int x = m.getReels()[0]->getX(), y = m.getReels().back()->getY1();
        runFrames(m, 1);
        for (const auto &reel : m.getReels())
            reel->advance(Screen);
        QCOMPARE(m.getReels()[0]->getX(), x);
        QCOMPARE(m.getReels().back()->getY1(), y);
        QCOMPARE(m.press(100).kind, Machine::Press::Nothing);
    }

    // A press stops only the oldest spinning reel; the stopped reel keeps drifting left and is
    // removed once it has left the screen.
    void aPressStopsOnlyTheOldestSpinningReel()
    {
        Machine m;
        m.start();
        runFrames(m, 300);
        QVERIFY(m.getReels().size() >= 3);
        for (const auto &reel : m.getReels())
            reel->setStrip(stripOf(11));
        QCOMPARE(m.press(0).kind, Machine::Press::Scored);
        QVERIFY(m.getReels()[0]->isStopped());
        QVERIFY(!m.getReels()[1]->isStopped());
        QCOMPARE(m.press(100).kind, Machine::Press::Scored);
        QVERIFY(m.getReels()[1]->isStopped());
        for (std::size_t i = 2; i < m.getReels().size(); ++i)
            QVERIFY(!m.getReels()[i]->isStopped());

        const Reel *first = m.getReels()[0].get();
        const int x = first->getX();
        const int y = first->getY1();
        runFrames(m, 8);
        QCOMPARE(first->getX(), x - 10);
        QCOMPARE(first->getY1(), y);
        // Drift the stopped reel off the left edge; the next one is stopped too, so the game goes
        // on, and the stopped reel leaves the train when its right edge has passed x = 0.
        int frames = 0;
        while (m.getReels().front().get() == first && frames < 2000) {
            runFrames(m, 1);
            ++frames;
        }
        QVERIFY(!m.isGameOver());
        QVERIFY(m.getReels().front().get() != first);
        QVERIFY(m.getReels().front()->isStopped());
    }

    // A spinning reel whose left edge passes x = 0 ends the game; one that is stopped does not.
    void aSpinningReelAtTheLeftEdgeEndsTheGame()
    {
        Machine m;
        m.start();
        Reel *first = m.getReels()[0].get();
        int frames = 0;
        while (!m.isGameOver() && frames < 2000) {
            for (const auto &reel : m.getReels())
                reel->advance(Screen);
            const bool ended = m.afterFrame();
            QCOMPARE(ended, m.isGameOver());
            ++frames;
        }
        QVERIFY(m.isGameOver());
        QCOMPARE(m.getReels()[0].get(), first);
        QVERIFY(first->getX() < 0 && first->getX() >= -5);
        // 1029 to -1 in steps of 5 every fourth frame.
        QCOMPARE(frames, 4 * 206);
        for (const auto &reel : m.getReels())
            QVERIFY(reel->isFrozen());
    }

    // Reels follow at 15, then 16..25, then 51..60 (26 faster after ten reels), then 86.
    void theSpeedsRiseByOneAndJumpAfterTenReels()
    {
        Machine m;
        m.start();
        QList<int> speeds{m.getReels()[0]->getSpeed()};
        const Reel *newest = m.getReels().back().get();
        while (speeds.size() < 22) {
            // Stop everything on a winning card so the train can run long enough.
            for (const auto &reel : m.getReels())
                reel->setStrip(stripOf(12));
            while (m.press(0).kind == Machine::Press::Scored) {
            }
            runFrames(m, 1);
            QVERIFY(!m.isGameOver());
            if (m.getReels().back().get() != newest) {
                newest = m.getReels().back().get();
                speeds << newest->getSpeed();
            }
        }
        QList<int> expected{15};
        for (int s = 16; s <= 25; ++s)
            expected << s;
        for (int s = 51; s <= 60; ++s)
            expected << s;
        expected << 86;
        QCOMPARE(speeds, expected);
    }

    // A new reel follows once the newest one is fully on screen: 24 steps of 5 pixels in.
    void theNextReelFollowsWhenTheNewestIsFullyIn()
    {
        Machine m;
        m.start();
        runFrames(m, 1);
        QCOMPARE(m.getReels().size(), std::size_t(1));
        QCOMPARE(m.getReels()[0]->getX(), 1029);
        int frames = 1;
        while (m.getReels().size() == 1 && frames < 500) {
            runFrames(m, 1);
            ++frames;
        }
        QCOMPARE(m.getReels()[0]->getX(), 1029 - 24 * 5);
        QCOMPARE(m.getReels().size(), std::size_t(2));
        QVERIFY(!m.getReels()[0]->isJustEntered());
        QCOMPARE(m.getSpawnCount(), 1);
    }

    // The strip spins down by its speed every frame and the copy that falls below the screen
    // goes back on top of the other.
    void theStripSpinsAsAnEndlessLoop()
    {
        fakeNow = QTime(9, 0, 0, 1);
        Reel reel(40);
        reel.advance(Screen);
        QCOMPARE(reel.getY1(), 45);
        QCOMPARE(reel.getY2(), -2760);
        reel.setTops(560, -2240);
        reel.advance(Screen);
        QCOMPARE(reel.getY1(), -2200 - 2800); // 600 is below the screen
        QCOMPARE(reel.getY2(), -2200);
    }

    // ---- the screen ---------------------------------------------------------------------

    // The first frame brings the reel in at the right edge and spins it; a stopped card is
    // drawn in the pay line exactly as the sheet has it.
    void aStoppedCardIsDrawnInThePayLine()
    {
        QCOMPARE(game->getWidth(), 1024);
        QCOMPARE(game->getHeight(), 576);
        QCOMPARE(game->pos(), QPointF(-2, -2));
        frame();
        const Reel *reel = machine()->getReels()[0].get();
        QCOMPARE(reel->getX(), 1029);
        QCOMPARE(reel->getY1(), 20);
        waitForReelAt(600);
        click(QPointF(500, 300));
        QVERIFY(reel->isStopped());
        const int x = reel->getX(); // where the next frame draws it, before it drifts
        const QImage shown = frame();
        const Game_Trump_Card card = reel->getStrip()[cardAtPayLine(*reel)];
        QImage sheet(QStringLiteral(":/img/TRUMP"));
        sheet = sheet.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        // The inside of the card (its rounded corners show the cabinet through them).
        const QRect inside(8, 8, 97, 154);
        QCOMPARE(shown.copy(inside.translated(x, Reel::PayLineTop)),
                 sheet.copy(inside.translated(
                     Game_Trump::cellRect(Game_Trump::cellOf(card.suit, card.rank)).topLeft())));
    }

    // A player's whole play painted frame by frame: a click whenever the oldest spinning reel
    // is well in; every stop scores what its pay-line card is worth until a losing card shows
    // the result dialog over the frozen reels; Space then starts afresh.
    void aPlayPaintedFrameByFrameReachesTheResultAndSpaceRetries()
    {
        // A winning start, so the play has scoring stops before the luck runs out.
        setAllStrips(11);
        int expected = 0, last = 0, stops = 0;
        QImage before;
        while (!game->isGameOver() && stops < 60) {
            waitForReelAt(700);
            Reel *reel = oldestSpinning(*machine());
            QVERIFY(reel);
            before = frame();
            click(QPointF(300 + 7 * stops, 150));
            ++stops;
            QVERIFY(reel->isStopped());
            const int value = reel->getStrip()[cardAtPayLine(*reel)].rank + 1;
            if (value >= 11) {
                expected = last == 0 ? 100
                                     : expected + (value == 11   ? 200
                                                   : value == 12 ? 500
                                                                 : 1000);
                last = value;
            } else {
                QVERIFY(game->isGameOver());
            }
            QCOMPARE(game->getScore()->getScore(), expected);
        }
        QVERIFY(game->isGameOver());
        QVERIFY(!game->isFrameTimerActive());
        QVERIFY(expected >= 100);

        const QImage result = frame();
        QCOMPARE(frame(), result); // frozen
        // The field is dimmed to 55/255 under the dialog, and the title is written in white.
        QVERIFY(meanGray(result) < meanGray(before) * 0.35);
        int white = 0;
        const QRect title = game->titleRect().toRect();
        for (int y = title.top(); y <= title.bottom(); ++y)
            for (int x = title.left(); x <= title.right(); ++x)
                white += qGray(result.pixel(x, y)) > 240;
        QVERIFY(white > 50);

        key(Qt::Key_Space);
        QVERIFY(!game->isGameOver());
        QCOMPARE(game->getScore()->getScore(), 0);
        QCOMPARE(game->getScore()->getBest(), expected);
        QCOMPARE(machine()->getReels().size(), std::size_t(1));
        QCOMPARE(machine()->getReels()[0]->getSpeed(), 15);
        QCOMPARE(machine()->getLastResult(), 0);
        QVERIFY(game->isFrameTimerActive());
    }

    // A spinning reel reaching the left edge ends the play on screen too, and stops the timer.
    void aLostReelShowsTheResult()
    {
        QImage last = frame();
        int frames = 0;
        while (!game->isGameOver() && frames < 1000) {
            last = frame();
            ++frames;
        }
        QVERIFY(game->isGameOver());
        QCOMPARE(frames, 4 * 206 - 1);
        QVERIFY(!game->isFrameTimerActive());
        QVERIFY(meanGray(frame()) < meanGray(last) * 0.35);
    }

    // The release of the press that ended the game does not act on the result dialog, even
    // with the pointer over "もう一度"; the next click there does.
    void theReleaseOfTheLosingPressDoesNotRetry()
    {
        const QPointF retry = game->leftButtonRect().center() + QPointF(2, 2);
        waitForReelAt(800);
        setAllStrips(3);
        click(retry);
        QVERIFY(game->isGameOver());
        // The pointer over "もう一度" makes it the hovered button; a click there retries.
        frame();
        moveTo(retry);
        QVERIFY(game->isHoverLeft());
        click(retry);
        QVERIFY(!game->isGameOver());
        // A new play, lost by a press at the same spot: the hover state is still "もう一度".
        game->stopTimers();
        waitForReelAt(800);
        setAllStrips(0);
        click(retry);
        QVERIFY(game->isGameOver());
        QVERIFY(game->isHoverLeft());
        click(retry);
        QVERIFY(!game->isGameOver());
    }

    // Escape shows the question and the reels stand still behind it; "いいえ" resumes with the
    // timer running; a press under the question stops nothing; Escape and Space leave with the
    // larger of best and score.
    void escapeAsksAndSpaceLeavesWithTheBestScore()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        game->getScore()->setBest(700);
        waitForReelAt(900);
        const Reel *reel = machine()->getReels()[0].get();
        key(Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        const int x = reel->getX(), y = reel->getY1();
        frame();
        frame();
        QCOMPARE(reel->getX(), x);
        QCOMPARE(reel->getY1(), y);
        click(QPointF(500, 150));
        QVERIFY(!reel->isStopped());

        game->stopTimers();
        moveTo(game->rightButtonRect().center());
        click(game->rightButtonRect().center());
        QVERIFY(!game->isQuestionShown());
        QVERIFY(game->isFrameTimerActive());
        QCOMPARE(ended.count(), 0);
        game->stopTimers();

        setAllStrips(12);
        click(QPointF(500, 150));
        QCOMPARE(game->getScore()->getScore(), 100);
        key(Qt::Key_Escape);
        key(Qt::Key_Space);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toString(), QStringLiteral("Slot"));
        QCOMPARE(ended.at(0).at(1).toInt(), 700);
    }

    // On the result screen "メニューに戻る" leaves with the score when it beats the best.
    void theMenuButtonLeavesWithTheScore()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        game->getScore()->setBest(50);
        waitForReelAt(900);
        setAllStrips(10);
        click(QPointF(500, 150));
        QCOMPARE(game->getScore()->getScore(), 100);
        setAllStrips(5);
        click(QPointF(500, 150));
        QVERIFY(game->isGameOver());
        const QPointF menu = game->rightButtonRect().center() + QPointF(2, 2);
        moveTo(menu);
        QVERIFY(game->isHoverRight());
        click(menu);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(1).toInt(), 100);
    }
};

QTEST_MAIN(TestSlot)
#include "tst_slot.moc"
