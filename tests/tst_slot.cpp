// The slot machine: the strip and its shuffle, the stop arithmetic, scoring and losing, the train
// of reels and its speeds, and the screen played frame by frame through real events on a view.
#include "CardTable.h"
#include "FlatPictures.h"
#include "GameHarness.h"
#include "InkOffPaper.h"
#include "SoundRecorder.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "games/cards/Game_Trump.h"
#include "games/frame/Game_Score.h"
#include "games/slot/Game_Slot.h"
#include "games/slot/Game_Slot_Machine.h"
#include "games/slot/Game_Slot_Reel.h"
#include "games/slot/Game_Slot_ReelDrawer.h"
#include "sound/AudioSet.h"

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
using Reel = Game_Slot_Reel;
using Machine = Game_Slot_Machine;

Reel::Strip stripOf(int rank)
{
    Reel::Strip s;
    for (int i = 0; i < Reel::StripLength; ++i)
        s[i] = Game_Trump_Card{i % 4, rank};
    return s;
}

// The strip index of the card whose top edge is on the pay line, found by position alone.
int cardAtPayLine(const Reel &reel)
{
    for (int i = 0; i < Reel::StripLength; ++i)
        for (const int top : {reel.getY1(), reel.getY2()})
            if (top + Reel::Pitch * i == Reel::PayLineTop)
                return i;
    return -1;
}

// Machine frames on a 1024 x 576 device: every reel moves, then the machine.
void runFrames(Machine &m, int frames)
{
    for (int f = 0; f < frames && !m.isGameOver(); ++f) {
        for (const auto &reel : m.getReels())
            reel->advance(QSize(1024, 576));
        m.afterFrame();
    }
}

void setAllStrips(const Machine &m, int rank)
{
    for (const auto &reel : m.getReels())
        reel->setStrip(stripOf(rank));
}

Reel *oldestSpinning(const Machine &m)
{
    for (const auto &reel : m.getReels())
        if (!reel->isStopped())
            return reel.get();
    return nullptr;
}

double meanGray(const QImage &image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            sum += qGray(image.pixel(x, y));
    return sum / ((image.height() / 4) * (image.width() / 4));
}
} // namespace

class TestSlot : public QObject, GameView
{
    Q_OBJECT
private:
    Game_Slot *game = nullptr;

    Machine &machine() const { return *game->getMachine(); }

    QImage frame()
    {
        fakeNow = fakeNow.addMSecs(16);
        return GameHarness::paint(*game, QSize(1024, 576));
    }

    // Paints frames until the oldest spinning reel has come in to x (or the play ends).
    void waitForReelAt(int x)
    {
        for (int f = 0; f < 2000 && !game->isGameOver(); ++f) {
            const Reel *r = oldestSpinning(machine());
            if (r && r->isOnScreen() && r->getX() <= x)
                return;
            frame();
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(GameHarness::loadArt());
        Clock::setTimeSource([] { return fakeNow; });
        QVERIFY(GameHarness::recordSounds());
    }
    void cleanupTestCase()
    {
        Clock::reset();
        AudioSet::destroyInstance();
    }

    void init()
    {
        fakeNow = QTime(14, 20, 10, 501);
        game = new Game_Slot();
        // The test paints the frames itself; the view must not move the reels behind its back.
        QVERIFY(open(game, true));
    }
    void cleanup() { close(); }

    // With the reel train across the window, a frame that leaves out the cabinet behind the
    // cards' opaque middles is pixel for pixel the frame of cabinet, cards and overlay drawn
    // whole.
    void framesLeaveOutOnlyWhatTheCardsHide()
    {
        int shown = 0;
        for (int f = 0; f < 700 && !game->isGameOver() && shown < 6; ++f) {
            frame();
            shown = 0;
            for (const auto &reel : machine().getReels())
                shown += reel->isOnScreen() && reel->getX() < 1024;
        }
        QVERIFY(!game->isGameOver());
        QVERIFY(shown >= 6);

        QImage reference(1024, 576, QImage::Format_ARGB32_Premultiplied);
        reference.fill(Qt::white);
        {
            QPainter painter(&reference);
            painter.drawImage(0, 0, QImage(":/img/slot/BG"));
            for (const auto &reel : machine().getReels()) {
                const int x = reel->getX(), top1 = reel->getY1(), top2 = reel->getY2();
                game->getReelDrawer()->drawAndMove(&painter, *reel,
                                                   game->scene()->sceneRect().size().toSize());
                reel->setX(x);
                reel->setTops(top1, top2);
            }
            painter.drawImage(0, 0, QImage(":/img/slot/FG"));
            game->drawScorePanel(
                &painter,
                QImage(":/img/slot/SCORE").convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
        QCOMPARE(frame(), reference);
    }

    // A strip holds ranks 0..9 once, three of 10, two of 11 and one of 12. A new reel loads its
    // sheet (seeding from "mmssszzz"), then seeds from hour + minute + second + millisecond, and
    // that seed fixes the shuffled order.
    void aStripIsDealtFromTheReelsSecondSeed()
    {
        fakeNow = QTime(9, 41, 7, 333);
        Reel reel(15);
        QVector<int> counts(13, 0);
        for (const Game_Trump_Card &c : reel.getStrip())
            ++counts[c.rank];
        QCOMPARE(counts, QVector<int>({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 3, 2, 1}));
        Random::seed(9 + 41 + 7 + 333);
        QVERIFY(reel.getStrip() == Reel::dealStrip());
        Random::seed(Game_Trump::timeSeed(fakeNow));
        QVERIFY(reel.getStrip() != Reel::dealStrip());
        int moved = 0;
        for (int i = 0; i < Reel::StripLength; ++i)
            moved += reel.getStrip()[i].rank != (i < 10 ? i : i < 13 ? 10 : i < 15 ? 11 : 12);
        QVERIFY(moved >= 8);

        // At millisecond 1 the suit of rank r < 10 is draw r mod 4; the 500 swaps take two
        // draws each.
        fakeNow = QTime(9, 41, 7, 1);
        for (unsigned seed : {1u, 58u, 901u}) {
            const QVector<int> d = drawsAfter(seed, 1017);
            for (const Game_Trump_Card &c : Reel::dealStrip()) {
                if (c.rank < 10)
                    QCOMPARE(c.suit, d[c.rank] % 4);
            }
            QCOMPARE(Random::draw(), d[1016]);
        }
    }

    // Over 3,000 reels dealt at times spread over the clock (even milliseconds included), the
    // strips look shuffled: hardly any keeps its ranks in order, is of one suit, or holds all six
    // scoring cards in one run round the strip.
    void stripsAreFairlyShuffledWhateverTheMillisecond()
    {
        const int reels = 3000;
        int inOrder = 0, oneSuit = 0, scoringRun = 0;
        for (int i = 0; i < reels; ++i) {
            fakeNow = QTime(8, 0).addMSecs(i * 7919);
            Random::seed(fakeNow.hour() + fakeNow.minute() + fakeNow.second() + fakeNow.msec());
            const Reel::Strip s = Reel::dealStrip();
            bool sorted = true, suited = true;
            for (int k = 1; k < Reel::StripLength; ++k) {
                sorted = sorted && s[k - 1].rank <= s[k].rank;
                suited = suited && s[k].suit == s[0].suit;
            }
            int longest = 0;
            for (int start = 0, run = 0; start < 2 * Reel::StripLength; ++start) {
                run = s[start % Reel::StripLength].rank >= 10 ? run + 1 : 0;
                longest = qMax(longest, run);
            }
            inOrder += sorted;
            oneSuit += suited;
            scoringRun += longest >= 6;
        }
        qInfo("in order %d, one suit %d, six scoring in a run %d of %d", inOrder, oneSuit,
              scoringRun, reels);
        QVERIFY(inOrder < reels / 100);
        QVERIFY(oneSuit < reels / 100);
        QVERIFY(scoringRun < reels / 100);
    }

    // A lower copy at -1243 snaps to k = 8: top -1193, pay-line card strip[8]. From every
    // position a spinning strip can have, the stop moves it by -90.5..+84.5 pixels and puts the
    // top edge of the card it reports exactly on the pay line.
    void aStopSnapsTheReportedCardOntoThePayLine()
    {
        const Reel::Stop s = Reel::stopFor(-1243);
        QCOMPARE(s.k, 8);
        QCOMPARE(s.lowerTop, -1193);
        QCOMPARE(s.payIndex, 8);
        Reel reel(15);
        Reel::Strip strip;
        for (int i = 0; i < Reel::StripLength; ++i)
            strip[i] = Game_Trump_Card{0, i % 13};
        reel.setStrip(strip);
        reel.setTops(-4043, -1243); // the second copy is the lower one here
        QCOMPARE(reel.stopReel(), 9);
        QCOMPARE(reel.getY2(), -1193);
        QCOMPARE(reel.getY1(), -3993);

        double lowest = 0, highest = 0;
        for (int top = 576 - 2800 + 1; top <= 576; ++top) {
            const Reel::Stop stop = Reel::stopFor(top);
            QVERIFY(qAbs(stop.lowerTop - top - stop.jump) < 1e-9);
            lowest = std::min(lowest, stop.jump);
            highest = std::max(highest, stop.jump);
            reel.setTops(top, top - 2800);
            const int value = reel.stopReel();
            QCOMPARE(cardAtPayLine(reel), stop.payIndex);
            QCOMPARE(value, strip[stop.payIndex].rank + 1);
        }
        QCOMPARE(lowest, -90.0); // whole-pixel positions reach -90 and +84
        QCOMPARE(highest, 84.0);
    }

    // The first scoring stop gives 100 even on rank 12, later ones 200, 500, 1000; a press
    // stops only the oldest spinning reel; a losing card ends the game at once with the score
    // unchanged and every reel frozen.
    void pressesScoreThenALosingCardEndsTheGame()
    {
        Machine m;
        m.start();
        runFrames(m, 500);
        QVERIFY(m.getReels().size() >= 6);
        const int ranks[] = {12, 10, 11, 12, 4};
        const int scores[] = {100, 300, 800, 1800, 1800};
        for (int i = 0; i < 5; ++i)
            m.getReels()[i]->setStrip(stripOf(ranks[i]));
        int score = 0;
        for (int n = 0; n < 5; ++n) {
            const Machine::PressResult r = m.press(score);
            QVERIFY(r.kind == (n < 4 ? Machine::Press::Scored : Machine::Press::Lost));
            QCOMPARE(r.value, ranks[n] + 1);
            score = r.score;
            QCOMPARE(score, scores[n]);
            QVERIFY(m.getReels()[n]->isStopped());
            QVERIFY(!m.getReels()[n + 1]->isStopped());
        }
        QVERIFY(m.isGameOver());
        const int x = m.getReels()[0]->getX(), y = m.getReels()[5]->getY1();
        for (const auto &reel : m.getReels()) {
            QVERIFY(reel->isFrozen());
            reel->advance(QSize(1024, 576));
        }
        QCOMPARE(m.getReels()[0]->getX(), x);
        QCOMPARE(m.getReels()[5]->getY1(), y);
        QVERIFY(m.press(score).kind == Machine::Press::Nothing);
    }

    // A stopped reel keeps drifting 5 pixels every fourth frame and leaves the train once off
    // screen; the first spinning reel whose left edge passes x = 0 ends the game.
    void aStoppedReelDriftsAwayAndASpinningOneAtTheEdgeLoses()
    {
        Machine m;
        m.start();
        runFrames(m, 200);
        setAllStrips(m, 11);
        m.press(0);
        const Reel *first = m.getReels()[0].get();
        const Reel *second = m.getReels()[1].get();
        const int x = first->getX(), y = first->getY1();
        runFrames(m, 8);
        QCOMPARE(first->getX(), x - 10);
        QCOMPARE(first->getY1(), y);
        int frames = 8;
        while (!m.isGameOver() && frames < 3000) {
            runFrames(m, 1);
            ++frames;
        }
        QVERIFY(m.isGameOver());
        QCOMPARE(m.getReels()[0].get(), second);
        QVERIFY(second->getX() < 0 && second->getX() >= -5);
    }

    // A new reel follows the newest once it is fully in (120 pixels on); speeds run 15, 16..25,
    // then 26 faster after ten reels: 51..60, 86.
    void reelsFollowFasterAndJumpAfterTen()
    {
        Machine m;
        m.start();
        runFrames(m, 1);
        QCOMPARE(m.getReels()[0]->getX(), 1029);
        QList<int> speeds{15};
        const Reel *newest = m.getReels().back().get();
        for (int f = 0; speeds.size() < 22 && f < 5000; ++f) {
            setAllStrips(m, 12); // every reel stopped on a face card, so the train runs on
            while (m.press(0).kind == Machine::Press::Scored) {
            }
            runFrames(m, 1);
            QVERIFY(!m.isGameOver());
            if (m.getReels().back().get() != newest) {
                if (speeds.size() == 1)
                    QCOMPARE(m.getReels()[0]->getX(), 1029 - 24 * 5);
                newest = m.getReels().back().get();
                speeds << newest->getSpeed();
            }
        }
        QCOMPARE(speeds, QList<int>({15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                                     51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 86}));
    }

    // A player's whole play painted frame by frame: a click whenever the oldest spinning reel
    // is well in; each scoring stop draws its card in the pay line as the sheet has it and
    // scores what it is worth, until a losing card shows the dialog over the frozen reels; Space
    // retries.
    void aPlayPaintedFrameByFrameReachesTheResultAndSpaceRetries()
    {
        QImage sheet(QStringLiteral(":/img/TRUMP"));
        sheet = sheet.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QRect inside(8, 8, 97, 154); // the card without its rounded corners
        setAllStrips(machine(), 11);       // a scoring start
        int expected = 0, last = 0, stops = 0;
        QImage shown;
        while (!game->isGameOver() && stops < 60) {
            waitForReelAt(700);
            Reel *reel = oldestSpinning(machine());
            click(QPointF(300 + 7 * stops++, 150));
            QVERIFY(reel->isStopped());
            const Game_Trump_Card card = reel->getStrip()[cardAtPayLine(*reel)];
            if (card.rank >= 10) {
                const int x = reel->getX();
                shown = frame();
                const QPoint cell =
                    Game_Trump::cellRect(Game_Trump::cellOf(card.suit, card.rank)).topLeft();
                QCOMPARE(shown.copy(inside.translated(x, Reel::PayLineTop)),
                         sheet.copy(inside.translated(cell)));
            }
            if (card.rank >= 10) {
                expected = last == 0 ? 100
                                     : expected + (card.rank == 10   ? 200
                                                   : card.rank == 11 ? 500
                                                                     : 1000);
                last = card.rank;
            }
            QCOMPARE(game->isGameOver(), card.rank < 10);
            QCOMPARE(game->getScore()->getScore(), expected);
        }
        QVERIFY(expected >= 100);
        QVERIFY(!game->isFrameTimerActive());
        const QImage result = frame();
        QCOMPARE(frame(), result); // frozen
        // the dim, measured below the dialog's card
        const QRect belowDialog(0, game->hintRect().bottom() + 10, result.width(),
                                result.height() - game->hintRect().bottom() - 10);
        QVERIFY(meanGray(result.copy(belowDialog)) < meanGray(shown.copy(belowDialog)) * 0.35);
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
        QCOMPARE(machine().getReels().size(), std::size_t(1));
        QCOMPARE(machine().getReels()[0]->getSpeed(), 15);
        QVERIFY(game->isFrameTimerActive());
    }

    // The losing press stops the frames, and its release does not act on the dialog, even with
    // the pointer over "もう一度" and the hover still naming it from the previous result screen.
    void theReleaseOfTheLosingPressDoesNotRetry()
    {
        const QPointF retry = game->leftButtonRect().center() + QPointF(2, 2);
        for (int round = 0; round < 2; ++round) {
            game->stopTimers();
            waitForReelAt(800);
            setAllStrips(machine(), 3);
            // the frame timer (the game's only timer) runs until the losing press stops it
            game->findChild<QTimer *>()->start();
            click(retry);
            QVERIFY(game->isGameOver());
            QVERIFY(!game->isFrameTimerActive());
            moveTo(retry);
            QVERIFY(game->isHoverLeft());
            click(retry);
            QVERIFY(!game->isGameOver());
        }
        // Space stops the oldest reel on its press as the mouse does; the release of the losing
        // Space is no "もう一度" either, the next Space is.
        game->stopTimers();
        waitForReelAt(800);
        setAllStrips(machine(), 3);
        game->findChild<QTimer *>()->start();
        key(Qt::Key_Space);
        QVERIFY(game->isGameOver());
        key(Qt::Key_Space);
        QVERIFY(!game->isGameOver());
    }

    // A spinning reel reaching the edge ends the play on screen and stops the timer.
    void aLostReelStopsTheTimer()
    {
        game->findChild<QTimer *>()->start();
        int frames = 0;
        while (!game->isGameOver() && frames < 1000) {
            frame();
            ++frames;
        }
        QCOMPARE(frames, 4 * 206);
        QVERIFY(!game->isFrameTimerActive());
    }

    // Escape shows the question with the reels standing still and presses ignored; "いいえ"
    // resumes the timer; Escape and Space leave with the larger of best and score; on the result
    // screen "メニューに戻る" leaves with the score when it is higher; the release frees the
    // machine.
    void escapeAndTheButtonsLeaveWithTheBestScore()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        game->getScore()->setBest(700);
        waitForReelAt(900);
        const Reel *reel = machine().getReels()[0].get();
        key(Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        const int x = reel->getX(), y = reel->getY1();
        frame();
        click(QPointF(500, 150));
        QVERIFY(!reel->isStopped());
        QCOMPARE(reel->getX(), x);
        QCOMPARE(reel->getY1(), y);
        game->stopTimers();
        moveTo(game->rightButtonRect().center());
        click(game->rightButtonRect().center());
        QVERIFY(!game->isQuestionShown());
        QVERIFY(game->isFrameTimerActive());
        game->stopTimers();
        setAllStrips(machine(), 12);
        click(QPointF(500, 150));
        QCOMPARE(game->getScore()->getScore(), 100);
        key(Qt::Key_Escape);
        key(Qt::Key_Space);
        GameHarness::verifyEnded(ended, "Slot", 700);

        AudioSet::getInstance()->setSilent(true); // as over a button
        game->retryGame();
        QVERIFY(!AudioSet::getInstance()->isSilent());
        game->stopTimers();
        game->getScore()->setBest(50);
        waitForReelAt(900);
        setAllStrips(machine(), 10);
        click(QPointF(500, 150));
        setAllStrips(machine(), 5);
        click(QPointF(500, 150));
        QVERIFY(game->isGameOver());
        const QPointF menu = game->rightButtonRect().center() + QPointF(2, 2);
        moveTo(menu);
        click(menu);
        QCOMPARE(ended.count(), 2);
        QCOMPARE(ended.at(1).at(1).toInt(), 100);
        // Off the scene the game keeps no machine until its next start.
        game->releaseResources();
        QVERIFY(!game->getMachine());
    }

    // Which picture shows where: FG over the reels at (0, 0), the panel at (0, 10) over it, the
    // cabinet left of the reels coming in from the right; the result dims them all by 200.
    void thePicturesLieWhereTheScreensPutThem_data()
    {
        // clang-format off
        FlatPictures::table(
            {{0, {2, 300}, "img/slot/FG"}, {0, {1020, 572}, "img/slot/FG"},
             {0, {20, 200}, "img/slot/BG"}, {0, {0, 300}, "img/slot/BG"}, {0, {1, 300}, "img/slot/FG"}, {0, {500, 1}, "img/slot/FG"}, {0, {1023, 575}, "img/slot/BG"}, {0, {2, 12}, "img/slot/SCORE"},
             {0, {117, 117}, "img/slot/SCORE"}, {1, {1020, 572}, "#383838"},
             {2, {1020, 572}, "img/slot/FG@200"},
             {2, {2, 12}, "img/slot/SCORE"}});
        // clang-format on
    }
    void thePicturesLieWhereTheScreensPutThem()
    {
        const auto [screen, at, shows] = FlatPictures::row();
        FlatPictures flat;
        FlatPictures::reload(*game);
        game->stopTimers();
        if (screen == 1)
            key(Qt::Key_Escape);
        for (int f = 0; screen == 2 && f < 5000 && !game->isGameOver(); ++f)
            frame(); // a reel left spinning reaches the left edge
        QVERIFY(FlatPictures::shows(frame(), at, shows));
        // scaled, the cabinet is drawn whole under the reels
        QVERIFY(
            FlatPictures::shows(FlatPictures::paint(*game, 2), FlatPictures::doubled(at), shows));
        if (screen == 2)
            QVERIFY(FlatPictures::texts(*game).contains("残念！"));
    }

    // Full screen shows the scene scaled up on a larger device: the first reel is wholly in the
    // scene after as many frames as in the window, whose device is the scene's size.
    void theFirstReelComesInAsSoonInFullScreen()
    {
        const auto framesToComeIn = [this](QSize device) {
            game->retryGame();
            QImage image(device, QImage::Format_ARGB32_Premultiplied);
            const auto inside = [this] {
                const int x = machine().getReels()[0]->getX();
                const QRectF card = game->mapRectToScene(x, 0, Reel::CardWidth, 0);
                return card.left() >= 0 && card.right() <= scene->sceneRect().right();
            };
            int frames = 0;
            while (!inside() && frames++ < 2000) {
                QPainter painter(&image);
                scene->render(&painter, QRectF(), scene->sceneRect());
            }
            return frames;
        };
        const int window = framesToComeIn(QSize(1020, 572));
        QCOMPARE(framesToComeIn(QSize(1920, 1080)), window);
        QVERIFY(window < 200);
    }

    // A score beyond any play (lucky stops have no ceiling) inks only on the panel's paper.
    void theWidestScoreStaysOnItsPanel()
    {
        showOnScorePanel(*game->getScore(), 99999999);
        frame();
        VERIFY_INK_ON_PANELS(
            *game,
            {{{0, 0, 140, 110}, ":/img/slot/SCORE", {0, 10}, scorePanelTexts(99999999, 99999999)}});
    }
};

QTEST_MAIN(TestSlot)
#include "tst_slot.moc"
