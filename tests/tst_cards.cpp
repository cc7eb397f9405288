// The playing-card sheet: cell arithmetic, cutting cards, the seeded random rank and suit, the
// sheet's art (every cell drawn and distinct), and the countdown the card games share.
#include "app/Clock.h"
#include "app/Random.h"
#include "games/cards/Game_Countdown.h"
#include "games/cards/Game_Trump.h"

#include <QPainter>
#include <QResource>
#include <QSet>
#include <QtTest>

namespace
{
QTime fakeNow;

// Pixels of a cell that are not fully transparent.
int opaquePixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0;
    return n;
}
} // namespace

class TestCards : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(QResource::registerResource(QStringLiteral(TOVIRA_GAME_DIR "/resuorce.rcc")));
        fakeNow = QTime(10, 12, 5, 678);
        Clock::setTimeSource([] { return fakeNow; });
    }
    void cleanupTestCase() { Clock::reset(); }

    // The highest rank comes first: suit 0 of rank 12 is the top-left cell, suit 3 of rank 0 is
    // cell 51 in the last row, followed by the joker and the back.
    void cellsRunFromTheHighestRankWithSuitsSideBySide()
    {
        QCOMPARE(Game_Trump::cellOf(0, 12), 0);
        QCOMPARE(Game_Trump::cellRect(0), QRect(0, 0, 113, 170));
        QCOMPARE(Game_Trump::cellOf(3, 12), 3);
        QCOMPARE(Game_Trump::cellOf(0, 11), 4);
        QCOMPARE(Game_Trump::cellOf(3, 0), 51);
        QCOMPARE(Game_Trump::cellRect(51), QRect(678, 850, 113, 170));
        QCOMPARE(Game_Trump::cellRect(Game_Trump::JokerCell), QRect(791, 850, 113, 170));
        QCOMPARE(Game_Trump::cellRect(Game_Trump::BackCell), QRect(904, 850, 113, 170));
        QCOMPARE(Game_Trump::cellRect(9), QRect(0, 170, 113, 170));
    }

    // Out-of-range suits and ranks give a null picture instead of a neighbouring cell.
    void outOfRangeCardsAreNullPictures()
    {
        Game_Trump trump;
        QVERIFY(trump.cardImage(4, 0).isNull());
        QVERIFY(trump.cardImage(0, -1).isNull());
        QVERIFY(trump.cardImage(-1, 5).isNull());
        QVERIFY(trump.cardImage(0, 13).isNull());
        QCOMPARE(trump.cardImage(3, 0).size(), QSize(113, 170));
        QCOMPARE(trump.jokerImage().size(), QSize(113, 170));
        QCOMPARE(trump.cardRect(), QRect(0, 0, 113, 170));
    }

    // A card cut from the sheet is exactly the sheet's cell, and drawing through a source
    // rectangle puts the same pixels on screen.
    void cutCardsAndDrawnCardsMatchTheSheetCell()
    {
        QImage sheet(QStringLiteral(":/img/TRUMP"));
        QCOMPARE(sheet.size(), QSize(1017, 1020));
        sheet = sheet.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        Game_Trump trump;
        QCOMPARE(trump.cardImage(3, 0), sheet.copy(678, 850, 113, 170));
        QCOMPARE(trump.cardImage(1, 7), sheet.copy(Game_Trump::cellRect(4 * 5 + 1)));
        QCOMPARE(trump.jokerImage(), sheet.copy(791, 850, 113, 170));

        QImage drawn(113, 170, QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        QPainter p(&drawn);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        trump.drawCard(&p, QRectF(0, 0, 113, 170), 2, 10);
        p.end();
        QCOMPARE(drawn, trump.cardImage(2, 10));
    }

    // Every one of the 54 cells holds its own picture: no blank or repeated card.
    void everyCellOfTheSheetIsDrawnAndDistinct()
    {
        QImage sheet(QStringLiteral(":/img/TRUMP"));
        sheet = sheet.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QSet<QByteArray> seen;
        for (int cell = 0; cell < 54; ++cell) {
            const QImage card = sheet.copy(Game_Trump::cellRect(cell));
            QVERIFY2(opaquePixels(card) > 113 * 170 * 9 / 10, qPrintable(QString::number(cell)));
            seen.insert(QByteArray(reinterpret_cast<const char *>(card.constBits()),
                                   int(card.sizeInBytes())));
        }
        QCOMPARE(seen.size(), 54);
    }

    // The seed is the "mmssszzz" text of the time of day: 10:12:05.678 gives 12055678.
    void theSeedIsTheMinuteSecondMillisecondDigits()
    {
        QCOMPARE(Game_Trump::timeSeed(QTime(10, 12, 5, 678)), 12055678u);
        QCOMPARE(Game_Trump::timeSeed(QTime(23, 59, 59, 999)), 595959999u);
        QCOMPARE(Game_Trump::timeSeed(QTime(0, 0, 0, 7)), 7u);
    }

    // Two sheets made in the same millisecond seed the generator identically.
    void twoSheetsMadeInTheSameMillisecondDrawTheSame()
    {
        QList<int> first, second;
        {
            Game_Trump a;
            for (int i = 0; i < 5; ++i)
                first << a.randomRank();
        }
        {
            Game_Trump b;
            for (int i = 0; i < 5; ++i)
                second << b.randomRank();
        }
        QCOMPARE(first, second);
        Random::seed(12055678u);
        const int expected = Random::draw();
        Random::seed(1);
        Game_Trump c;
        QCOMPARE(Random::draw(), expected);
    }

    // The draw times the millisecond field never overflows: at 999 ms every rank and suit
    // occurs and none leaves its range; at 0 ms the result is always 0.
    void randomRankAndSuitStayInRangeAtTheLargestMillisecond()
    {
        fakeNow = QTime(10, 0, 0, 999);
        Game_Trump trump;
        QSet<int> ranks, suits;
        for (int i = 0; i < 5000; ++i) {
            const int r = trump.randomRank();
            const int s = trump.randomSuit();
            QVERIFY(r >= 0 && r <= 12);
            QVERIFY(s >= 0 && s <= 3);
            ranks << r;
            suits << s;
        }
        QCOMPARE(ranks.size(), 13);
        QCOMPARE(suits.size(), 4);
        fakeNow = QTime(10, 0, 0, 0);
        for (int i = 0; i < 50; ++i) {
            QCOMPARE(trump.randomRank(), 0);
            QCOMPARE(trump.randomSuit(), 0);
        }
        fakeNow = QTime(10, 12, 5, 678);
    }

    // Only the second and millisecond fields count: a frame across a change of minute
    // subtracts nothing, and time running out wraps the clock round to 23:59.
    void theCountdownCountsSecondsFieldsAndWrapsBelowZero()
    {
        Game_Countdown clock;
        clock.start(QTime(0, 1, 0, 0), QTime(10, 0, 59, 900));
        clock.advance(QTime(10, 1, 0, 100));
        QCOMPARE(clock.getRemaining(), QTime(0, 1, 0, 0));
        clock.setLastTick(QTime(10, 1, 0, 100));
        clock.advance(QTime(10, 1, 2, 225));
        QCOMPARE(clock.getRemaining(), QTime(0, 0, 57, 875));
        QCOMPARE(clock.text(), QStringLiteral("00:57:87"));
        clock.start(QTime(0, 0, 1, 500), QTime(10, 0, 0, 0));
        clock.subtract(2000);
        QCOMPARE(clock.getRemaining(), QTime(23, 59, 59, 500));
    }
};

QTEST_MAIN(TestCards)
#include "tst_cards.moc"
