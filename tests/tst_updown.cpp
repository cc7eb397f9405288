// UpDown: the direction rules, good and bad plays, dealing through the deck, the clock, and the
// screen played frame by frame and through real events on a graphics view.
#include "app/Clock.h"
#include "app/Random.h"
#include "games/cards/Game_Countdown.h"
#include "games/frame/Game_Score.h"
#include "games/updown/Game_UpDown.h"
#include "games/updown/Game_UpDown_Table.h"

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

using Table = Game_UpDown_Table;
const Game_Trump_Card Joker{-1, -1};

// A table whose current card and five places hold the given cards (deck indices 0..5).
Table tableWith(const Game_Trump_Card &current, const QList<Game_Trump_Card> &places)
{
    Table t;
    t.newGame();
    t.setDeckCard(0, current);
    for (int i = 0; i < 5; ++i)
        t.setDeckCard(i + 1, places.value(i, {0, current.rank}));
    return t;
}

// A deck whose every card is the joker, so every play is good.
void allJokers(Table *t)
{
    for (int i = 0; i < Table::DeckSize; ++i)
        t->setDeckCard(i, Joker);
}
} // namespace

class TestUpDown : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QGraphicsScene> scene;
    std::unique_ptr<QGraphicsView> view;
    Game_UpDown *game = nullptr;

    QPoint at(QPointF scenePoint) const { return view->mapFromScene(scenePoint); }
    void click(QPointF scenePoint)
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(scenePoint));
    }
    void moveTo(QPointF scenePoint) { QTest::mouseMove(view->viewport(), at(scenePoint)); }
    void key(Qt::Key k) { QTest::keyClick(view.get(), k); }
    // A click in the middle of place i, given in scene coordinates like the game tests them.
    QPointF placeCentre(int i) const { return game->placeRect(i).center(); }

    // One painted frame, the wall clock moving on by ms first.
    QImage frame(int ms = 16)
    {
        fakeNow = fakeNow.addMSecs(ms);
        QImage image(game->getWidth(), game->getHeight(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        game->paint(&painter, nullptr, nullptr);
        return image;
    }

    // What the result screen must look like with this title.
    QImage expectedResult(const QString &title)
    {
        QImage image(game->getWidth(), game->getHeight(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.fillRect(game->boundingRect(), Qt::black);
        QImage panel(QStringLiteral(":/img/updown/SCORE"));
        panel = panel.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        game->drawScorePanel(&painter, panel);
        game->drawDialog(&painter, title, QStringLiteral("もう一度"),
                         QStringLiteral("メニューに戻る"));
        return image;
    }

    // A place holding a card that goes the way of the arrow, or -1.
    int goodPlace() const
    {
        const Table *t = game->getTable();
        const Game_Trump_Card cur = t->currentCard();
        for (int i = 0; i < Table::Places; ++i) {
            if (t->slotAt(i) < 0)
                continue;
            const Game_Trump_Card c = t->deckAt(t->slotAt(i));
            if (Table::isJoker(c) || Table::isJoker(cur) ||
                (t->getDirection() == Table::Up ? c.rank > cur.rank : c.rank < cur.rank))
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
        fakeNow = QTime(14, 20, 10, 500);
        scene = std::make_unique<QGraphicsScene>(0, 0, 1020, 572);
        view = std::make_unique<QGraphicsView>(scene.get());
        view->setFixedSize(1024, 576);
        view->show();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        game = new Game_UpDown();
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

    // The shuffled deck holds each of the 52 faces once and the joker once.
    void aNewGameDealsAFullShuffledDeck()
    {
        Table t;
        t.newGame();
        QSet<QPair<int, int>> cards;
        for (int i = 0; i < Table::DeckSize; ++i)
            cards.insert({t.deckAt(i).suit, t.deckAt(i).rank});
        QCOMPARE(cards.size(), 53);
        QVERIFY(cards.contains({-1, -1}));
        QCOMPARE(t.getRest(), 52);
        QCOMPARE(t.getNextDeal(), 6);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(t.slotAt(i), i + 1);
        // A shuffle moves cards: the ordered deck would start with the lowest spade.
        int inPlace = 0;
        for (int r = 0; r <= 12; ++r)
            for (int s = 0; s < 4; ++s)
                inPlace += t.deckAt(4 * r + s) == Game_Trump_Card{s, r};
        QVERIFY(inPlace < 20);
    }

    // The highest rank always asks DOWN and the lowest UP, whatever the places hold.
    void theHighestRankAsksDownAndTheLowestUp()
    {
        Table high = tableWith({0, 12}, {{1, 12}, {2, 12}, {3, 12}, {0, 0}, {1, 3}});
        high.setDirection(Table::Up);
        high.chooseDirectionNow();
        QCOMPARE(high.getDirection(), int(Table::Down));
        Table low = tableWith({2, 0}, {Joker, {1, 0}, {0, 0}, {3, 0}, {1, 0}});
        low.setDirection(Table::Down);
        low.chooseDirectionNow();
        QCOMPARE(low.getDirection(), int(Table::Up));
    }

    // Two equal cards and three higher ones ask UP, and a click on an equal card fails.
    void equalCardsDoNotCountAndEqualRanksFail()
    {
        Table t = tableWith({0, 5}, {{1, 5}, {2, 5}, {0, 9}, {1, 7}, {3, 6}});
        t.setDirection(Table::Down);
        t.chooseDirectionNow();
        QCOMPARE(t.getDirection(), int(Table::Up));
        QCOMPARE(t.play(0), Table::Play::Bad);
        QVERIFY(t.isFailed());
        QCOMPARE(t.getCurrent(), 0);
    }

    // Only lower cards ask DOWN; a card the wrong way fails.
    void onlyLowerCardsAskDown()
    {
        Table t = tableWith({0, 8}, {{1, 2}, {2, 7}, {0, 8}, {1, 1}, {3, 4}});
        t.chooseDirectionNow();
        QCOMPARE(t.getDirection(), int(Table::Down));
        QCOMPARE(t.play(1), Table::Play::Good);
        QCOMPARE(t.currentCard().rank, 7);
        QCOMPARE(t.getRest(), 51);
        QVERIFY(t.isDirectionPending());
    }

    // Higher and lower cards together are decided by a fair coin, rand() mod 2 (1 is DOWN).
    void mixedPlacesAreDecidedByTheCoin()
    {
        const QList<Game_Trump_Card> mixed{{1, 2}, {2, 9}, {0, 9}, {1, 1}, {3, 10}};
        // After seed 1 the draws are 41, 18467, 6334, 26500.
        Table down = tableWith({0, 6}, mixed);
        Random::seed(1);
        Random::draw();
        down.chooseDirectionNow(); // 18467 is odd
        QCOMPARE(down.getDirection(), int(Table::Down));
        QCOMPARE(Random::draw(), 6334);

        Table up = tableWith({0, 6}, mixed);
        Random::seed(1);
        Random::draw();
        Random::draw();
        up.chooseDirectionNow(); // 6334 is even
        QCOMPARE(up.getDirection(), int(Table::Up));
        QCOMPARE(Random::draw(), 26500);
    }

    // A joker in a place takes the coin even when every other card is higher, and is always
    // good; once it is the current card every place card is good.
    void theJokerIsAlwaysPlayableAndBringsTheCoin()
    {
        Table t = tableWith({0, 3}, {{1, 9}, Joker, {0, 8}, {1, 7}, {3, 4}});
        Random::seed(1); // the coin draws 41: odd, DOWN, although all cards are higher
        t.chooseDirectionNow();
        QCOMPARE(t.getDirection(), int(Table::Down));
        QCOMPARE(t.play(1), Table::Play::Good);
        QVERIFY(Table::isJoker(t.currentCard()));
        t.setDirection(Table::Up);
        t.setDeckCard(t.slotAt(3), {2, 0});
        QCOMPARE(t.play(3), Table::Play::Good);
        QCOMPARE(t.currentCard().rank, 0);
        QVERIFY(!t.isFailed());
    }

    // Good plays deal 6..52; the 47th deals the last card, from the 48th the played place
    // stays empty and clicks on it do nothing; the 52nd good play finishes the deck.
    void playingThroughTheDeckEmptiesPlacesAndFinishes()
    {
        Table t;
        t.newGame();
        allJokers(&t);
        for (int n = 1; n <= 47; ++n) {
            QCOMPARE(t.play(0), Table::Play::Good);
            QCOMPARE(t.slotAt(0), 5 + n);
        }
        QCOMPARE(t.slotAt(0), 52);
        QCOMPARE(t.getRest(), 5);
        QCOMPARE(t.play(0), Table::Play::Good);
        QCOMPARE(t.slotAt(0), -1);
        QCOMPARE(t.getCurrent(), 52);
        QCOMPARE(t.play(0), Table::Play::Ignored);
        QCOMPARE(t.getRest(), 4);
        QVERIFY(!t.isFailed());
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(t.play(i), Table::Play::Good);
        QVERIFY(!t.isFinished());
        QCOMPARE(t.play(4), Table::Play::Good);
        QVERIFY(t.isFinished());
        QCOMPARE(t.getRest(), 0);
    }

    // ---- the screen -------------------------------------------------------------------

    // The play field lays the cards where the layout puts them and centres the arrow on the
    // current card.
    void theLayoutFollowsTheBackground()
    {
        QCOMPARE(game->getWidth(), 1024);
        QCOMPARE(game->getHeight(), 576);
        QCOMPARE(game->currentCardRect(), QRectF(455.5, 53, 113, 170));
        QCOMPARE(game->placeRect(0), QRectF(155.5, 303, 113, 170));
        QCOMPARE(game->placeRect(4), QRectF(755.5, 303, 113, 170));
        QCOMPARE(game->arrowRect().center(), game->currentCardRect().center());
        QCOMPARE(game->pos(), QPointF(-2, -2));
    }

    // A whole play by clicks through the view, painted frame by frame: every click on a good
    // card scores 200; the 52nd good play shows "終了！" with 10,400 points.
    void clickingThroughTheWholeDeckShowsTheEndWith10400()
    {
        allJokers(game->getTable());
        for (int n = 0; n < 52; ++n) {
            frame();
            int place = 0;
            while (game->getTable()->slotAt(place) < 0)
                ++place;
            click(placeCentre(place));
            QCOMPARE(game->getScore()->getScore(), 200 * (n + 1));
        }
        QVERIFY(game->getTable()->isFinished());
        QCOMPARE(game->getScore()->getScore(), 10400);
        QCOMPARE(frame(), expectedResult(QStringLiteral("終了！")));
    }

    // A wrong card ends the play with "残念！"; a click outside the places does nothing.
    void aWrongCardShowsTheFailure()
    {
        Table *t = game->getTable();
        t->setDeckCard(t->getCurrent(), {0, 6});
        for (int i = 0; i < 5; ++i)
            t->setDeckCard(t->slotAt(i), {1, i < 2 ? 9 : 2});
        frame();
        click(QPointF(30, 560));
        QVERIFY(!t->isFailed());
        const int bad = t->getDirection() == Table::Up ? 3 : 0;
        click(placeCentre(bad));
        QVERIFY(t->isFailed());
        QCOMPARE(game->getScore()->getScore(), 0);
        QCOMPARE(frame(), expectedResult(QStringLiteral("残念！")));
    }

    // The clock passing zero fails the play and keeps the points made so far.
    void theClockPassingZeroFailsWithTheScoreKept()
    {
        allJokers(game->getTable());
        frame();
        click(placeCentre(2));
        click(placeCentre(3));
        QCOMPARE(game->getScore()->getScore(), 400);
        int frames = 0;
        while (!game->getTable()->isFailed() && frames < 200) {
            frame(500);
            ++frames;
        }
        QVERIFY(game->getTable()->isFailed());
        // 60 s in steps of 0.5 s, minus the frames whose step spans a change of minute.
        QVERIFY(frames >= 120 && frames <= 123);
        QCOMPARE(game->getScore()->getScore(), 400);
        QCOMPARE(frame(), expectedResult(QStringLiteral("残念！")));
    }

    // The clock text on screen counts down: a frame 1.25 s in shows 00:58:75.
    void theClockShowsTheRemainingTime()
    {
        frame(1250);
        QCOMPARE(game->getClock()->text(), QStringLiteral("00:58:75"));
        const QImage shown = frame(0);
        // The clock's digits put dark ink on the cream field of the clock panel.
        int ink = 0;
        for (int y = 160; y < 215; ++y)
            for (int x = 70; x < 340; ++x)
                ink += qGray(shown.pixel(x, y)) < 80;
        QVERIFY(ink > 500);
    }

    // A player's whole play painted frame by frame: the player clicks a good card every few
    // frames, and the first frame without one clicks a bad one; the result screen follows and
    // Space starts a fresh play.
    void aPlayPaintedFrameByFrameReachesTheResultAndSpaceRetries()
    {
        int frames = 0;
        while (!game->getTable()->isFinished() && !game->getTable()->isFailed() && frames < 5000) {
            frame();
            if (++frames % 5)
                continue;
            const int place = goodPlace();
            if (place >= 0) {
                click(placeCentre(place));
            } else {
                for (int i = 0; i < 5; ++i) {
                    if (game->getTable()->slotAt(i) >= 0) {
                        click(placeCentre(i));
                        break;
                    }
                }
            }
        }
        QVERIFY(game->getTable()->isFinished() || game->getTable()->isFailed());
        const int points = game->getScore()->getScore();
        QVERIFY(points >= 200);
        const QString title =
            game->getTable()->isFinished() ? QStringLiteral("終了！") : QStringLiteral("残念！");
        QCOMPARE(frame(), expectedResult(title));

        key(Qt::Key_Space);
        QVERIFY(!game->getTable()->isFailed() && !game->getTable()->isFinished());
        QCOMPARE(game->getScore()->getScore(), 0);
        QCOMPARE(game->getScore()->getBest(), points);
        QCOMPARE(game->getTable()->getRest(), 52);
        QCOMPARE(game->getClock()->getRemaining(), QTime(0, 1, 0, 0));
    }

    // Escape shows the question; "いいえ" resumes; Escape and Space leave with the best score.
    void escapeAsksAndSpaceLeavesWithTheBestScore()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        game->getScore()->setBest(1200);
        key(Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        // While the question is up, a click on a place plays nothing.
        const int current = game->getTable()->getCurrent();
        click(placeCentre(0));
        QCOMPARE(game->getTable()->getCurrent(), current);
        moveTo(game->rightButtonRect().center());
        click(game->rightButtonRect().center());
        QVERIFY(!game->isQuestionShown());
        QCOMPARE(ended.count(), 0);
        key(Qt::Key_Escape);
        key(Qt::Key_Space);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toString(), QStringLiteral("UpDown"));
        QCOMPARE(ended.at(0).at(1).toInt(), 1200);
    }

    // On the result screen the buttons act through hover and click: "もう一度" retries,
    // "メニューに戻る" leaves with the larger of best and score.
    void resultButtonsRetryAndLeave()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        allJokers(game->getTable());
        frame();
        click(placeCentre(1));
        game->getTable()->setFailed();
        frame();
        moveTo(game->leftButtonRect().center() + QPointF(2, 2));
        click(game->leftButtonRect().center() + QPointF(2, 2));
        QVERIFY(!game->getTable()->isFailed());
        QCOMPARE(game->getScore()->getBest(), 200);
        allJokers(game->getTable());
        frame();
        click(placeCentre(1));
        click(placeCentre(2));
        game->getTable()->setFailed();
        moveTo(game->rightButtonRect().center() + QPointF(2, 2));
        click(game->rightButtonRect().center() + QPointF(2, 2));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(1).toInt(), 400);
    }
};

QTEST_MAIN(TestUpDown)
#include "tst_updown.moc"
