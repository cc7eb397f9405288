// Speed: the neighbour rule with wrap-around, which pile a card goes onto, wild jokers, misses
// and their penalty, the stall re-deal, and the screen painted frame by frame and played through
// real events.
#include "CardTable.h"
#include "FlatPictures.h"

#include "base/Game_Countdown.h"
#include "base/Random.h"
#include "games/cards/Game_Trump.h"
#include "games/speed/Game_Speed.h"
#include "games/speed/Game_Speed_Clock.h"
#include "games/speed/Game_Speed_Table.h"

#include <QSignalSpy>

namespace
{
using Table = Game_Speed_Table;
using Card = Game_Trump_Card;

// Piles of ranks a and b (suits 0 and 1); all ten table cards of rank d (suits 0..3 in turn).
Table tableWith(int a, int b, int d)
{
    Table t;
    t.setPile(Table::PileA, {0, a});
    t.setPile(Table::PileB, {1, b});
    for (int i = 0; i < Table::TableCards; ++i)
        t.setTableCard(i, {i % 4, d});
    return t;
}

// A point of table card i that no other rectangle covers.
QPointF cardPoint(int i)
{
    return Table::tableRect(i).center() + QPointF(0, 30);
}
} // namespace

class TestSpeed : public QObject, CardTest<Game_Speed>
{
    Q_OBJECT

    QImage result() { return table->result(QStringLiteral(":/img/speed/SCORE"), "終了！"); }
    // Red pixels of the clock text.
    int redClockPixels(const QImage &image) const
    {
        const QRect r = game->timerPictureRect().adjusted(60, 20, 0, 0).toRect() & image.rect();
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QRgb p = image.pixel(x, y);
                n += qRed(p) > 150 && qGreen(p) < 60 && qBlue(p) < 60;
            }
        return n;
    }

private slots:
    void initTestCase() { QVERIFY(setUpOnce()); }
    void cleanupTestCase() { Clock::reset(); }
    void init() { QVERIFY(deal(QTime(9, 41, 20, 250))); }
    void cleanup() { table.reset(); }

    // A pile on the highest rank takes the lowest, the highest and the second highest; a card
    // fitting both piles goes onto A, one fitting only B onto B, one fitting neither stays.
    void cardsGoOntoTheFirstPileTheyNeighbour()
    {
        QVERIFY(Table::fits(0, 12) && Table::fits(12, 12) && Table::fits(11, 12));
        QVERIFY(!Table::fits(10, 12) && !Table::fits(1, 12));
        QVERIFY(Table::fits(12, 0) && !Table::fits(11, 0));
        Table both = tableWith(5, 6, 5);
        QCOMPARE(both.lay(2), int(Table::PileA));
        QCOMPARE(both.pile(Table::PileA), (Card{2, 5}));
        Table onlyB = tableWith(2, 0, 12);
        QCOMPARE(onlyB.lay(0), int(Table::PileB));
        Table neither = tableWith(2, 9, 6);
        QCOMPARE(neither.lay(1), -1);
        QCOMPARE(neither.pile(Table::PileA), (Card{0, 2}));
        QCOMPARE(neither.pile(Table::PileB), (Card{1, 9}));
    }

    // A joker makes the pile of the odd/even draw wild (odd: B) keeping its suit, and the next
    // card of any rank goes onto that pile. After seed 1 the draws are 41, 18467, 6334.
    void aJokerMakesOnePileWild()
    {
        Table t = tableWith(3, 8, Table::Joker);
        Random::seed(1);
        QCOMPARE(t.lay(0), int(Table::PileB));
        QCOMPARE(t.pile(Table::PileB), (Card{1, Table::Joker}));
        t.setTableCard(1, {2, 0});
        QCOMPARE(t.lay(1), int(Table::PileB));
        QCOMPARE(t.pile(Table::PileB), (Card{2, 0}));
        Random::draw();
        QCOMPARE(t.lay(4), int(Table::PileA)); // 6334 is even
        t.setTableCard(5, {3, 8});
        QCOMPARE(t.lay(5), int(Table::PileA));
    }

    // On the edge shared by rectangles 0 and 1, a miss on card 0 then a playable card 1 lays
    // card 1 on its pile, but it is neither scored nor replaced, and the penalty applies.
    void theSharedEdgeOfTheFirstTwoCardsLaysWithoutScoring()
    {
        Table t = tableWith(4, 9, 1);
        t.setTableCard(1, {3, 10});
        const Table::Click c = t.click(QPointF(251, 190));
        QVERIFY(!c.scored && c.penalty);
        QCOMPARE(t.pile(Table::PileB), (Card{3, 10}));
        QCOMPARE(t.tableCard(1), (Card{3, 10}));
        QCOMPARE(t.getPlayed(), 0);
    }

    // A playable table is never re-dealt; a stalled one is, within some hundred frames on
    // screen and without a click.
    void aStalledTableIsRedealtByTheFramesAlone()
    {
        Table live = tableWith(0, 6, 3);
        live.setTableCard(9, {0, 7});
        for (int i = 0; i < 2000; ++i)
            QVERIFY(!live.stallCheck());
        Table *t = game->getTable();
        *t = tableWith(0, 6, 3);
        int frames = 0;
        while (t->pile(Table::PileA) == Card{0, 0} && t->pile(Table::PileB) == Card{1, 6} &&
               frames++ < 3000)
            table->frame();
        QVERIFY(frames < 3000);
    }

    // Stalled, the piles are dealt anew at the first draw that is a multiple of 50, each as
    // (draw mod 4, draw mod 14); a start deals the piles without jokers and the table with.
    void theStallAndTheStartDealFromTheDraws_data() { seedRows(); }
    void theStallAndTheStartDealFromTheDraws()
    {
        QFETCH(unsigned, seed);
        Table t = tableWith(0, 6, 3);
        QVector<int> d = drawsAfter(seed, 400);
        int k = 0;
        while (d[k] % 50 != 0)
            QVERIFY(!t.stallCheck() && ++k < 395);
        QVERIFY(t.stallCheck());
        QCOMPARE(t.pile(Table::PileA), (Card{d[k + 1] % 4, d[k + 2] % 14}));
        QCOMPARE(t.pile(Table::PileB), (Card{d[k + 3] % 4, d[k + 4] % 14}));
        QCOMPARE(Random::draw(), d[k + 5]);

        // At millisecond 1 a suit or rank draw is the plain draw reduced.
        CardTable<Game_Speed>::now = QTime(9, 41, 20, 1);
        Game_Trump cards;
        d = drawsAfter(seed, 25);
        t.deal(cards);
        QCOMPARE(t.pile(Table::PileA), (Card{d[0] % 4, d[1] % 13}));
        QCOMPARE(t.pile(Table::PileB), (Card{d[2] % 4, d[3] % 13}));
        for (int i = 0; i < Table::TableCards; ++i)
            QCOMPARE(t.tableCard(i), (Card{d[4 + 2 * i] % 4, d[5 + 2 * i] % 14}));
        QCOMPARE(Random::draw(), d[24]);
    }

    // A good click adds 200 and one to the count and replaces the card with the next draws
    // (suit, then rank); a miss costs two seconds and turns the clock red, fading by a step
    // per frame.
    void goodClicksScoreAndMissesCostTwoRedSeconds()
    {
        Table *t = game->getTable();
        *t = tableWith(4, 9, 1);
        t->setTableCard(6, {0, 5});
        const QImage before = table->frame();
        Random::seed(7);
        table->click(cardPoint(6));
        Random::seed(7);
        const int suit = Random::draw() % 4;
        QCOMPARE(t->tableCard(6), (Card{suit, Random::draw() % 14}));
        QCOMPARE(game->getScore()->getScore(), 200);
        QCOMPARE(t->getPlayed(), 1);
        // The number key marked on a card plays it as a click does: "7" the seventh.
        t->setTableCard(6, {0, 5});
        table->key(Qt::Key_7);
        QCOMPARE(game->getScore()->getScore(), 400);
        QCOMPARE(t->getPlayed(), 2);

        *t = tableWith(4, 9, 1);
        const QTime left = game->getCountdown()->getRemaining();
        table->click(cardPoint(2));
        QCOMPARE(game->getCountdown()->getRemaining(), left.addMSecs(-2000));
        QCOMPARE(game->getScore()->getScore(), 400);
        QCOMPARE(redClockPixels(before), 0);
        QVERIFY(redClockPixels(table->frame(0)) > 200);
        QCOMPARE(game->getMissFlash(), 254);
        for (int i = 0; i < 254; ++i)
            table->frame(0);
        QCOMPARE(redClockPixels(table->frame(0)), 0);
    }

    // The widest texts keep their ink on the paper drawn for them and inside the window: the
    // largest scores, a three-digit count and the clock at "00:00:00", red after a miss and black
    // once faded.
    void theWidestTextsStayOnTheirPanels()
    {
        const FlatPictures::Lift real(flat, [this] { init(); });
        Table *t = game->getTable();
        *t = tableWith(4, 9, 1);
        t->setTableCard(6, {0, 5}); // playable, so the piles are not dealt anew meanwhile
        t->setPlayed(888);
        game->getScore()->setBest(99999999);
        game->getScore()->setScore(99999999);
        game->getCountdown()->start(QTime(0, 0, 2, 1), Clock::monotonicMs()); // 1 ms after the miss
        table->click(cardPoint(2));
        const QImage red = table->frame(0), white = table->frame(0, Qt::white);
        for (int i = 0; i < 254; ++i)
            table->frame(0);
        const QImage black = table->frame(0);
        const QPoint clock = game->timerPictureRect().topLeft().toPoint();
        const QPoint count = game->restPictureRect().topLeft().toPoint();
        const QSize rest = QImage(":/img/speed/REST").size();
        const QString score = QStringLiteral(":/img/speed/SCORE");
        for (const QString &why :
             {inkOffPaper(*game, black, white, QRect(0, 0, 140, 130), score, QPoint(0, 10),
                          scorePanelTexts(99999999, 99999999)),
              inkOffPaper(*game, black, white, QRect(300, 440, 424, 136), ":/img/speed/REST", count,
                          {{46, QRectF(count + QPoint(0, 25), rest - QSize(120, 0)), Qt::AlignRight,
                            "888"}}),
              inkOffPaper(*game, black, red, black.rect(), ":/img/speed/TIMER", clock,
                          {{50, QRectF(clock + QPoint(60, 20), QSize(400, 300)), Qt::AlignLeft,
                            "00:01:49"}})})
            QVERIFY2(why.isEmpty(), qPrintable(why));
    }

    // Which picture shows where: the piles scaled into (459, 97 / 291, 115, 171), table cards
    // unscaled (113 x 170) at their places, TIMER (360 x 130) centred 240 px above the middle,
    // REST (260 x 136) 240 px below it and over the cards, the panel at (0, 10).
    void thePicturesLieWhereTheScreensPutThem_data()
    {
        const QString bg = "img/speed/BG", card = "img/TRUMP", timer = "img/speed/TIMER",
                      rest = "img/speed/REST";
        // clang-format off
        FlatPictures::table(
            {{0, {460, 116}, card}, {0, {573, 267}, card}, {0, {573, 458}, card},
             {0, {575, 180}, bg}, {0, {500, 268}, bg}, {0, {0, 300}, bg}, {0, {1000, 0}, bg}, {0, {516, 281}, bg}, {0, {141, 21}, card},
             {0, {252, 189}, card}, {0, {254, 100}, bg}, {0, {1000, 554}, card},
             {0, {1002, 500}, bg}, {0, {131, 568}, card}, {0, {861, 201}, card},
             {0, {334, 2}, timer}, {0, {690, 96}, timer}, {0, {334, 96}, timer},
             {0, {330, 50}, bg}, {0, {384, 462}, rest}, {0, {640, 462}, rest},
             {0, {640, 574}, rest}, {0, {600, 560}, rest}, {0, {664, 500}, bg},
             {0, {2, 12}, "img/speed/SCORE"}, {0, {117, 117}, "img/speed/SCORE"},
             {1, {1020, 572}, "#383838"}, {2, {1020, 572}, "#000000"},
             {2, {460, 98}, "#000000"}, {2, {2, 12}, "img/speed/SCORE"}});
        // clang-format on
    }
    void thePicturesLieWhereTheScreensPutThem()
    {
        const auto [screen, at, shows] = FlatPictures::row();
        if (screen == 1)
            table->key(Qt::Key_Escape);
        if (screen == 2) {
            game->getCountdown()->start(QTime(0, 0, 0, 100), Clock::monotonicMs());
            table->frame(500);
        }
        QVERIFY(FlatPictures::shows(table->frame(0), at, shows));
    }

    // With 1.5 s left a miss takes the clock to zero and the next frame ends the play.
    void aMissWithOneAndAHalfSecondsLeftEndsTheGameAtTheNextFrame()
    {
        *game->getTable() = tableWith(4, 9, 1);
        game->getCountdown()->start(QTime(0, 0, 1, 500), Clock::monotonicMs());
        table->frame(0);
        table->click(cardPoint(0));
        QVERIFY(!game->isGameOver());
        table->frame(0);
        QVERIFY(game->isGameOver());
        QCOMPARE(table->frame(), result());
    }

    // The clock alone: a miss takes two seconds and lights the red, each step fades it by one,
    // and the step that finds the time run out ends the play without a text to draw.
    void theClockEndsThePlayWithoutTheScreen()
    {
        Game_Speed_Clock c;
        c.start(1000);
        QVERIFY(c.step(2000));
        c.miss();
        QCOMPARE(c.getCountdown().getRemaining(), QTime(0, 0, 57));
        QCOMPARE(c.getMissFlash(), 255);
        QVERIFY(c.step(2000) && c.step(58999));
        QCOMPARE(c.getMissFlash(), 253);
        QVERIFY(!c.isGameOver());
        QVERIFY(!c.step(59001));
        QVERIFY(c.isGameOver());
        QCOMPARE(c.getMissFlash(), 253);
    }

    // A minute painted frame by frame with a playable card clicked every tenth frame ends on
    // "終了！" with 200 points a card; Space starts afresh with the score kept as the best.
    void aMinutePaintedFrameByFrameEndsOnTheResultAndSpaceRetries()
    {
        Table *t = game->getTable();
        int frames = 0;
        while (!game->isGameOver() && frames++ < 10000) {
            table->frame(20);
            for (int i = 0; frames % 10 == 0 && i < Table::TableCards; ++i) {
                const int d = t->tableCard(i).rank, a = t->pile(0).rank, b = t->pile(1).rank;
                if (d == Table::Joker || a == Table::Joker || b == Table::Joker ||
                    Table::fits(d, a) || Table::fits(d, b)) {
                    table->click(cardPoint(i));
                    break;
                }
            }
        }
        QCOMPARE(frames, 3000); // 60 s at 20 ms: the frame that reaches zero ends the play
        const int points = game->getScore()->getScore();
        QCOMPARE(points, 200 * t->getPlayed());
        QVERIFY(points >= 200 * 100);
        QCOMPARE(table->frame(), result());
        table->key(Qt::Key_Space);
        QVERIFY(!game->isGameOver());
        QCOMPARE(game->getScore()->getBest(), points);
        QCOMPARE(t->getPlayed(), 0);
    }

    // Escape asks while the clock runs on; "いいえ" resumes; on the result screen "もう一度"
    // retries and "メニューに戻る" leaves; Escape and Space leave with the best score.
    void theQuestionAndTheResultButtons()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        table->frame();
        table->key(Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        CardTable<Game_Speed>::now = CardTable<Game_Speed>::now.addMSecs(3000);
        table->clickButton(game->rightButtonRect());
        QVERIFY(!game->isQuestionShown());
        table->frame(0);
        QVERIFY(game->getCountdown()->getRemaining() <= QTime(0, 0, 57, 0));

        *game->getTable() = tableWith(4, 9, 5);
        table->click(cardPoint(4));
        game->getCountdown()->subtract(61000);
        table->frame();
        table->clickButton(game->leftButtonRect().translated(2, 2));
        QVERIFY(!game->isGameOver());
        QCOMPARE(game->getScore()->getBest(), 200);
        *game->getTable() = tableWith(4, 9, 5);
        table->click(cardPoint(4));
        table->click(cardPoint(5));
        game->getCountdown()->subtract(61000);
        table->frame();
        table->clickButton(game->rightButtonRect().translated(2, 2));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(1).toInt(), 400);

        verifyEscapeSpaceLeaves(ended, QStringLiteral("Speed"), 800);
    }
};

QTEST_MAIN(TestSpeed)
#include "tst_speed.moc"
