// The playing-card sheet: cell arithmetic, cutting cards, the seeded random draws, the sheet's
// art, and the countdown the card games share.
#include "base/Clock.h"
#include "base/Game_Countdown.h"
#include "base/Picture.h"
#include "base/Random.h"
#include "games/cards/Game_Trump.h"

#include <QPainter>
#include <QResource>
#include <QSet>
#include <QtTest>

namespace
{
QTime fakeNow(10, 12, 5, 678);
}

class TestCards : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(QResource::registerResource(QStringLiteral(TOVIRA_GAME_DIR "/resuorce.rcc")));
        Clock::setTimeSource([] { return fakeNow; });
    }
    void cleanupTestCase() { Clock::reset(); }

    // Highest rank first, suits side by side: suit 0 rank 12 is the top-left cell, suit 3
    // rank 0 is cell 51 at (678, 850); out-of-range cards are null; a cut card and a card drawn
    // through a source rectangle are the sheet's cell.
    void cardsAreCutFromTheirCells()
    {
        QCOMPARE(Game_Trump::cellRect(Game_Trump::cellOf(0, 12)), QRect(0, 0, 113, 170));
        QCOMPARE(Game_Trump::cellOf(0, 11), 4);
        QCOMPARE(Game_Trump::cellOf(3, 0), 51);
        QCOMPARE(Game_Trump::cellRect(51), QRect(678, 850, 113, 170));
        QCOMPARE(Game_Trump::cellRect(Game_Trump::JokerCell), QRect(791, 850, 113, 170));
        Game_Trump trump;
        QVERIFY(trump.cardImage(4, 0).isNull());
        QVERIFY(trump.cardImage(0, -1).isNull());
        QVERIFY(trump.cardImage(0, 13).isNull());
        const QImage sheet = QImage(QStringLiteral(":/img/TRUMP"))
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(trump.cardImage(3, 0), sheet.copy(678, 850, 113, 170));
        QCOMPARE(trump.jokerImage(), sheet.copy(791, 850, 113, 170));
        // The first and last cells draw their card; an out-of-range card draws and hides nothing.
        for (const QPoint &card : {QPoint(2, 10), QPoint(0, 12), QPoint(3, 0), QPoint(4, 0),
                                   QPoint(-1, 5), QPoint(0, 13), QPoint(0, -1)}) {
            QImage drawn(113, 170, QImage::Format_ARGB32_Premultiplied);
            drawn.fill(Qt::transparent);
            QPainter p(&drawn);
            trump.drawCard(&p, QRectF(0, 0, 113, 170), card.x(), card.y());
            p.end();
            QImage want = trump.cardImage(card.x(), card.y());
            const bool shown = !want.isNull();
            if (!shown) {
                want = QImage(drawn.size(), drawn.format());
                want.fill(Qt::transparent);
            }
            QCOMPARE(drawn, want);
            QCOMPARE(trump.solidPart(QRect(5, 5, 113, 170), card.x(), card.y()).isEmpty(), !shown);
        }
        QVERIFY(trump.solidPart(QRect(5, 5, 113, 169), 0, 12).isEmpty());
    }

    // The sheet is 1017 x 1020 and each of its 54 cells holds its own, nearly opaque card.
    void everyCellOfTheSheetIsADistinctCard()
    {
        const QImage sheet = QImage(QStringLiteral(":/img/TRUMP"))
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(sheet.size(), QSize(1017, 1020));
        QSet<QByteArray> seen;
        for (int cell = 0; cell < 54; ++cell) {
            const QImage card = sheet.copy(Game_Trump::cellRect(cell));
            int opaque = 0;
            for (int y = 0; y < 170; ++y)
                for (int x = 0; x < 113; ++x)
                    opaque += qAlpha(card.pixel(x, y)) > 0;
            QVERIFY2(opaque > 113 * 170 * 9 / 10, qPrintable(QString::number(cell)));
            seen.insert(QByteArray(reinterpret_cast<const char *>(card.constBits()),
                                   int(card.sizeInBytes())));
        }
        QCOMPARE(seen.size(), 54);
    }

    // Drawn at twice the size (full screen), a card comes from the sheet in use: once the
    // double-size sheet is in, its own pixels, not the cut of the sheet before.
    void aScaledCardComesFromTheSheetInUse()
    {
        const auto drawn = [](const Game_Trump &trump) {
            QImage page(226, 340, QImage::Format_ARGB32_Premultiplied);
            page.fill(Qt::transparent);
            QPainter painter(&page);
            painter.scale(2, 2);
            trump.drawCard(&painter, QRectF(0, 0, 113, 170), 0, 12);
            return page;
        };
        const QImage before = drawn(Game_Trump());
        QVERIFY(QResource::registerResource(TOVIRA_GAME_DIR "/resuorce2x.rcc", "/x2"));
        Picture::setDoubleSize(true);
        const QImage after = drawn(Game_Trump());
        const QImage sheet = QImage(QStringLiteral(":/x2/img/TRUMP"))
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        Picture::setDoubleSize(false);
        QVERIFY(QResource::unregisterResource(TOVIRA_GAME_DIR "/resuorce2x.rcc", "/x2"));
        QVERIFY(after != before);
        QCOMPARE(after, sheet.copy(0, 0, 226, 340));
    }

    // The seed is the "mmssszzz" digits of the time of day, so two sheets made in the same
    // millisecond draw the same.
    void sheetsSeedFromTheMinuteSecondMillisecondDigits()
    {
        QCOMPARE(Game_Trump::timeSeed(QTime(10, 12, 5, 678)), 12055678u);
        QCOMPARE(Game_Trump::timeSeed(QTime(23, 59, 59, 999)), 595959999u);
        Random::seed(12055678u);
        const int expected = Random::draw();
        Random::seed(1);
        Game_Trump trump;
        QCOMPARE(Random::draw(), expected);
    }

    // rand() times the millisecond never overflows, and no millisecond folds the draws: at 999 ms
    // and at 0, 4 and 26 ms (sharing a factor with 4 or 13) every rank and suit occurs.
    void randomRankAndSuitStayInRangeAndCoverAll()
    {
        for (int ms : {999, 0, 4, 26}) {
            fakeNow = QTime(10, 0, 0, ms);
            Game_Trump trump;
            QSet<int> ranks, suits;
            for (int i = 0; i < 5000; ++i) {
                ranks << trump.randomRank();
                suits << trump.randomSuit();
            }
            QCOMPARE(ranks, (QSet<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
            QCOMPARE(suits, (QSet<int>{0, 1, 2, 3}));
        }
    }

    // Each frame subtracts the monotonic time since the last tick, a change of minute included.
    // Time is up at exactly zero; the time left and its text stop there, however far a penalty
    // or an hour-long gap overshoots, and time given back is measured from the overshoot.
    void theCountdownCountsMonotonicTimeDownToZero()
    {
        const qint64 t0 = QTime(0, 0).msecsTo(QTime(10, 0, 59, 900));
        Game_Countdown clock;
        clock.start(QTime(0, 1, 0, 0), t0);
        clock.advance(t0 + 200);
        QCOMPARE(clock.getRemaining(), QTime(0, 0, 59, 800));
        clock.setLastTick(t0 + 200);
        clock.advance(t0 + 2325);
        QCOMPARE(clock.text(), QStringLiteral("00:57:67"));
        clock.start(QTime(0, 0, 1, 500), t0);
        clock.advance(t0 + 1499);
        QVERIFY(!clock.isOver());
        QCOMPARE(clock.remainingMs(), 1);
        clock.subtract(1);
        QVERIFY(clock.isOver());
        clock.subtract(2000);
        clock.subtract(-1000);
        QVERIFY(clock.isOver());
        QCOMPARE(clock.remainingMs(), 0);
        QCOMPARE(clock.getRemaining(), QTime(0, 0));
        QCOMPARE(clock.text(), QStringLiteral("00:00:00"));
        clock.start(QTime(0, 1, 0, 0), t0);
        clock.advance(t0 + 3600 * 1000);
        QVERIFY(clock.isOver());
        QCOMPARE(clock.text(), QStringLiteral("00:00:00"));
    }
};

QTEST_MAIN(TestCards)
#include "tst_cards.moc"
