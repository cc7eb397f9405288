// UpDown: the direction rules, good and bad plays, dealing through the deck, the clock, and the
// screen painted frame by frame and played through real events.
#include "CardTable.h"
#include "FlatPictures.h"

#include "base/Game_Countdown.h"
#include "base/Random.h"
#include "games/updown/Game_UpDown.h"
#include "games/updown/Game_UpDown_Table.h"

#include <QSignalSpy>

namespace
{
using Table = Game_UpDown_Table;
const Game_Trump_Card Joker{-1, -1};

// Puts the current card and the five place cards into the deck cells they show.
void arrange(Table &t, const Game_Trump_Card &current, const QList<Game_Trump_Card> &places)
{
    t.setDeckCard(t.getCurrent(), current);
    for (int i = 0; i < 5; ++i)
        t.setDeckCard(t.slotAt(i), places.value(i, current));
}

Table tableWith(const Game_Trump_Card &current, const QList<Game_Trump_Card> &places)
{
    Table t;
    t.newGame();
    arrange(t, current, places);
    return t;
}

void allJokers(Table &t)
{
    for (int i = 0; i < Table::DeckSize; ++i)
        t.setDeckCard(i, Joker);
}

int directionOf(Table t)
{
    t.chooseDirectionNow();
    return t.getDirection();
}
} // namespace

class TestUpDown : public QObject, CardTest<Game_UpDown>
{
    Q_OBJECT

    QPointF place(int i) const { return game->placeRect(i).center(); }
    QImage result(const QString &title)
    {
        return table->result(QStringLiteral(":/img/updown/SCORE"), title);
    }

private slots:
    void initTestCase() { QVERIFY(setUpOnce()); }
    void cleanupTestCase() { Clock::reset(); }
    void init() { QVERIFY(deal(QTime(14, 20, 10, 500))); }
    void cleanup() { table.reset(); }

    // The widest texts keep their ink on the paper drawn for them and inside the window: the
    // largest scores, the count at 52 and the clock at "00:00:00".
    void theWidestTextsStayOnTheirPanels()
    {
        const FlatPictures::Lift real(flat, [this] { init(); });
        game->getScore()->setBest(99999999);
        game->getScore()->setScore(99999999);
        game->getCountdown()->start(QTime(0, 0, 0, 1), Clock::monotonicMs()); // shows "00:00:00"
        table->frame(0);
        const QImage black = table->frame(0), white = table->frame(0, Qt::white);
        QCOMPARE(game->getTable()->getRest(), 52);
        const QList<InkText> count{{50, QRectF(220, 50, 300, 300), Qt::AlignLeft, "52"}},
            clock{{50, QRectF(60, 150, 400, 300), Qt::AlignLeft, "00:00:00"}};
        for (const QString &why :
             {inkOffPaper(*game, black, white, QRect(0, 0, 155, 128), ":/img/updown/SCORE", {0, 10},
                          scorePanelTexts(99999999, 99999999)),
              inkOffPaper(*game, black, white, QRect(155, 0, 300, 160), ":/img/updown/REST",
                          {160, 30}, count),
              inkOffPaper(*game, black, white, QRect(0, 160, 420, 140), ":/img/updown/TIMER",
                          {0, 130}, clock)})
            QVERIFY2(why.isEmpty(), qPrintable(why));
    }

    // The highest rank asks DOWN and the lowest UP whatever the places hold; equal ranks are
    // not counted (two 5s and three higher cards ask UP) and fail when played; only lower
    // cards ask DOWN.
    void theDirectionFollowsTheCurrentCardAndThePlaces()
    {
        QCOMPARE(directionOf(tableWith({0, 12}, {{1, 12}, Joker, {0, 0}})), int(Table::Down));
        QCOMPARE(directionOf(tableWith({2, 0}, {Joker, {1, 0}, {0, 12}})), int(Table::Up));
        Table equal = tableWith({0, 5}, {{1, 5}, {2, 5}, {0, 9}, {1, 7}, {3, 6}});
        equal.chooseDirectionNow();
        QCOMPARE(equal.getDirection(), int(Table::Up));
        QCOMPARE(equal.play(0), Table::Play::Bad);
        QVERIFY(equal.isFailed());
        QCOMPARE(directionOf(tableWith({0, 8}, {{1, 2}, {2, 7}, {0, 8}, {1, 1}, {3, 4}})),
                 int(Table::Down));
        // every place counts, the first too
        QCOMPARE(directionOf(tableWith({0, 6}, {{1, 2}, {1, 6}, {2, 6}, {3, 6}, {0, 6}})),
                 int(Table::Down));
    }

    // Higher and lower cards together, or a joker anywhere, are decided by rand() mod 2 (1 is
    // DOWN): after seed 1 the draws are 41, 18467, 6334. A joker is always good, and after it
    // every card is.
    void theCoinDecidesMixedPlacesAndJokers()
    {
        const QList<Game_Trump_Card> mixed{{1, 2}, {2, 9}, {0, 9}, {1, 1}, {3, 10}};
        const Table t = tableWith({0, 6}, mixed);
        Random::seed(1);
        Random::draw();
        QCOMPARE(directionOf(t), int(Table::Down));
        QCOMPARE(directionOf(t), int(Table::Up));

        Table joker = tableWith({0, 3}, {{1, 9}, Joker, {0, 8}, {1, 7}, {3, 4}});
        Random::seed(1);
        joker.chooseDirectionNow(); // DOWN although every other card is higher
        QCOMPARE(joker.getDirection(), int(Table::Down));
        QCOMPARE(joker.play(1), Table::Play::Good);
        joker.setDirection(Table::Up);
        joker.setDeckCard(joker.slotAt(3), {2, 0});
        QCOMPARE(joker.play(3), Table::Play::Good);
        QVERIFY(!joker.isFailed());
    }

    // The index of a swap is rand() times the millisecond, mod 53; a millisecond field that is
    // a multiple of 53 (0, 53, ... 954), which would leave the deck in order, shuffles too.
    void everyMillisecondShufflesTheDeck()
    {
        for (int ms : {0, 1, 53, 500, 954}) {
            CardTable<Game_UpDown>::now = QTime(14, 20, 10, ms);
            Random::seed(3);
            Table t;
            t.newGame();
            int inOrder = 0;
            for (int i = 0; i < 52; ++i)
                inOrder += t.deckAt(i) == Game_Trump_Card{i % 4, i / 4};
            QVERIFY2(inOrder < 20, qPrintable(QString::number(ms)));
            QSet<int> faces;
            for (int i = 0; i < Table::DeckSize; ++i) {
                const Game_Trump_Card c = t.deckAt(i);
                if (!Table::isJoker(c) && c.suit >= 0 && c.suit < 4 && c.rank <= 12)
                    faces.insert(13 * c.suit + c.rank);
            }
            QCOMPARE(faces.size(), 52); // four suits of 13, the joker besides
        }
    }

    // At millisecond 1 a swap index is the plain draw mod 53: 1,000 swaps, then a joker left on
    // top swaps once more with the next index.
    void aJokerOnTopIsSwappedOnceMore_data()
    {
        QTest::addColumn<unsigned>("seed");
        for (unsigned seed : {1u, 5u, 10u, 59u, 387u}) // 10, 59, 387 leave the joker on top
            QTest::addRow("seed %u", seed) << seed;
    }
    void aJokerOnTopIsSwappedOnceMore()
    {
        QFETCH(unsigned, seed);
        CardTable<Game_UpDown>::now = QTime(14, 20, 10, 1);
        const QVector<int> d = drawsAfter(seed, 2002);
        int joker = Table::JokerIndex;
        for (int n = 0; n < 2000; n += 2) {
            const int i = d[n] % 53, j = d[n + 1] % 53;
            joker = joker == i ? j : joker == j ? i : joker;
        }
        const bool onTop = joker == 0;
        Table t;
        t.newGame();
        QVERIFY(Table::isJoker(t.deckAt(onTop ? d[2000] % 53 : joker)));
        QCOMPARE(Random::draw(), d[onTop ? 2001 : 2000]);
    }

    // The deck is 52 faces and a joker; good plays deal 6..52, the 47th deals the last card,
    // from the 48th the played place stays empty and ignores clicks; the 52nd finishes.
    void playingThroughTheDeckEmptiesPlacesAndFinishes()
    {
        Table t;
        t.newGame();
        QSet<QPair<int, int>> cards;
        for (int i = 0; i < Table::DeckSize; ++i)
            cards.insert({t.deckAt(i).suit, t.deckAt(i).rank});
        QCOMPARE(cards.size(), 53);
        allJokers(t);
        for (int n = 1; n <= 47; ++n) {
            QCOMPARE(t.play(0), Table::Play::Good);
            QCOMPARE(t.slotAt(0), 5 + n);
        }
        QCOMPARE(t.play(0), Table::Play::Good);
        QCOMPARE(t.slotAt(0), -1);
        QCOMPARE(t.play(0), Table::Play::Ignored);
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(t.play(i), Table::Play::Good);
        QVERIFY(!t.isFinished());
        QCOMPARE(t.play(4), Table::Play::Good);
        QVERIFY(t.isFinished());
    }

    // The frame step alone: a new current card gets its direction once, and the clock that runs
    // out fails the table; the step keeps the frame's time for the next one.
    void theFrameStepRunsTheClockAndChoosesTheDirection()
    {
        Table t = tableWith({1, 12}, {{0, 3}, {1, 5}, {2, 7}, {3, 9}, {0, 11}});
        QVERIFY(t.isDirectionPending());
        Game_Countdown clock;
        clock.start(QTime(0, 1), 0);
        t.step(clock, 59999);
        QCOMPARE(t.getDirection(), Table::Down);
        QVERIFY(!t.isDirectionPending() && !t.isFailed());
        QCOMPARE(clock.getLastTick(), 59999);
        t.step(clock, 60001);
        QVERIFY(t.isFailed());
    }

    // Every good click through the view scores 200; the 52nd shows "終了！" with 10,400.
    void clickingThroughTheWholeDeckEndsWith10400()
    {
        allJokers(*game->getTable());
        for (int n = 0; n < 52; ++n) {
            table->frame();
            int i = 0;
            while (game->getTable()->slotAt(i) < 0)
                ++i;
            table->click(place(i));
            QCOMPARE(game->getScore()->getScore(), 200 * (n + 1));
        }
        QCOMPARE(table->frame(), result(QStringLiteral("終了！")));
    }

    // The clock passing zero fails the play ("残念！") and keeps the points made.
    void theClockPassingZeroFailsWithTheScoreKept()
    {
        allJokers(*game->getTable());
        table->frame();
        table->click(place(2));
        table->click(place(3));
        int frames = 0;
        while (!game->getTable()->isFailed() && frames++ < 200)
            table->frame(500);
        // The rest of 60 s in steps of 0.5 s, the step across a change of minute counted in full.
        QCOMPARE(frames, 120);
        QCOMPARE(game->getScore()->getScore(), 400);
        QCOMPARE(table->frame(), result(QStringLiteral("残念！")));
    }

    // A whole play painted frame by frame: every fifth frame the player clicks a card that
    // goes the arrow's way, or any card when none does; a wrong card ends on "残念！", a played
    // deck on "終了！", and Space starts afresh.
    void aPlayPaintedFrameByFrameReachesTheResultAndSpaceRetries()
    {
        Table *t = game->getTable();
        // A number key picks its place as a click does: "3" the middle one.
        allJokers(*t);
        const int middle = t->slotAt(2);
        table->key(Qt::Key_3);
        QVERIFY(t->slotAt(2) != middle);
        QCOMPARE(game->getScore()->getScore(), 200);
        for (int frames = 1; !t->isFinished() && !t->isFailed() && frames < 5000; ++frames) {
            table->frame();
            if (frames % 5)
                continue;
            int pick = -1;
            for (int i = 0; i < 5; ++i) {
                if (t->slotAt(i) < 0)
                    continue;
                const Game_Trump_Card c = t->deckAt(t->slotAt(i)), cur = t->currentCard();
                const bool good =
                    Table::isJoker(c) || Table::isJoker(cur) ||
                    (t->getDirection() == Table::Up ? c.rank > cur.rank : c.rank < cur.rank);
                if (pick < 0 || good)
                    pick = good ? i + 10 : i;
                if (good)
                    break;
            }
            table->click(place(pick % 10));
        }
        const int points = game->getScore()->getScore();
        QCOMPARE(points, 200 * (52 - t->getRest()));
        QCOMPARE(table->frame(),
                 result(t->isFinished() ? QStringLiteral("終了！") : QStringLiteral("残念！")));
        table->key(Qt::Key_Space);
        QVERIFY(!t->isFailed() && !t->isFinished());
        QCOMPARE(game->getScore()->getBest(), points);
        QCOMPARE(t->getRest(), 52);
        QCOMPARE(game->getCountdown()->getRemaining(), QTime(0, 1, 0, 0));
    }

    // Which picture shows where on the three screens (1024 x 576): the panel at (0, 10), REST at
    // (160, 30), TIMER at (0, 130), the current card centred 150 px above the middle with the
    // arrow (120 x 150) over it, the places 150 px apart 250 px lower.
    void thePicturesLieWhereTheScreensPutThem_data()
    {
        const QString bg = "img/updown/BG", card = "img/TRUMP", up = "img/updown/UP";
        // clang-format off
        FlatPictures::table({
            {0, {1020, 572}, bg}, {0, {2, 12}, "img/updown/SCORE"},
            {0, {117, 117}, "img/updown/SCORE"}, {0, {162, 32}, "img/updown/REST"},
            {0, {378, 132}, "img/updown/REST"}, {0, {158, 32}, bg}, {0, {382, 60}, bg},
            {0, {2, 140}, "img/updown/TIMER"}, {0, {2, 244}, "img/updown/TIMER"},
            {0, {358, 140}, "img/updown/TIMER"}, {0, {2, 248}, bg}, {0, {0, 248}, bg}, {0, {500, 0}, bg}, {0, {512, 56}, card},
            {0, {453, 138}, up}, {0, {512, 138}, up}, {0, {570, 211}, up}, {0, {512, 219}, card},
            {0, {450, 138}, bg}, {0, {158, 306}, card}, {0, {212, 470}, card},
            {0, {812, 388}, card}, {0, {287, 388}, bg}, {0, {512, 476}, bg},
            {0, {512, 300}, bg}, {1, {1020, 572}, "#383838"}, {1, {512, 56}, "#383838"},
            {2, {1020, 572}, "#000000"}, {2, {2, 12}, "img/updown/SCORE"},
            {2, {117, 117}, "img/updown/SCORE"}, {2, {512, 138}, "#000000"}});
        // clang-format on
    }
    void thePicturesLieWhereTheScreensPutThem()
    {
        const auto [screen, at, shows] = FlatPictures::row();
        arrange(*game->getTable(), {0, 0}, {{1, 3}, {2, 5}, {3, 7}, {0, 9}, Joker});
        if (screen == 1)
            table->key(Qt::Key_Escape);
        if (screen == 2)
            game->getTable()->setFailed();
        QVERIFY(FlatPictures::shows(table->frame(), at, shows));
    }

    // Escape asks and blocks the cards; "いいえ" resumes; Escape and Space leave with the best.
    // On a result screen "もう一度" retries and "メニューに戻る" leaves with the score.
    void theQuestionAndTheResultButtons()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        table->key(Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        table->click(place(0));
        QCOMPARE(game->getTable()->getRest(), 52);
        table->clickButton(game->rightButtonRect());
        QVERIFY(!game->isQuestionShown());

        allJokers(*game->getTable());
        table->click(place(1));
        game->getTable()->setFailed();
        table->clickButton(game->leftButtonRect().translated(2, 2));
        QVERIFY(!game->getTable()->isFailed());
        QCOMPARE(game->getScore()->getBest(), 200);
        allJokers(*game->getTable());
        table->click(place(1));
        table->click(place(2));
        game->getTable()->setFailed();
        table->clickButton(game->rightButtonRect().translated(2, 2));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(1).toInt(), 400);

        verifyEscapeSpaceLeaves(ended, QStringLiteral("UpDown"), 1200);
    }
};

QTEST_MAIN(TestUpDown)
#include "tst_updown.moc"
