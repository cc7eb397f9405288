// The frame every game shares: digit grouping, the score record, the dialog and its hover,
// Space and button rules, driven through real events on a graphics view (its drawing helpers:
// tst_drawing).
#include "GameHarness.h"
#include "TestGame.h"

#include "SoundRecorder.h"
#include "base/groupDigits.h"
#include "sound/AudioSet.h"

#include <QFontDatabase>
#include <QPainter>
#include <QtTest>
#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

namespace
{
QString grouped(const QString &digits)
{
    QString text = digits;
    groupDigits(text);
    return text;
}

// Pixels in rect that differ from the background colour.
int inkIn(const QImage &image, const QRect &rect, QRgb background)
{
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += image.pixel(x, y) != background;
    return n;
}

// Pixels of rect as bright as the dialog's white text: the text itself, not what it stands on.
int whiteIn(const QImage &image, const QRect &rect)
{
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += qMin(qMin(qRed(image.pixel(x, y)), qGreen(image.pixel(x, y))),
                      qBlue(image.pixel(x, y))) >= 235;
    return n;
}

double luminance(QRgb c)
{
    const auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c));
}

// How a text drawn into rect stands out: within the box of its ink, what shows 3 px or more
// away from the ink (its mean colour and the brightest luminance) against the pixels the text
// covers whole, found by drawing the same text alone.
struct Legibility {
    QColor ground;
    double contrast = 0;
    QRect ink; // the box of the text's ink
};
Legibility legibility(const QImage &image, const QRectF &rect, int flags, const QFont &font,
                      const QString &text)
{
    QImage mask(image.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    QPainter p(&mask);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(rect, flags, text);
    p.end();
    const auto nearInk = [&](int x, int y) {
        for (int v = y - 3; v <= y + 3; ++v)
            for (int u = x - 3; u <= x + 3; ++u)
                if (mask.rect().contains(u, v) && qAlpha(mask.pixel(u, v)))
                    return true;
        return false;
    };
    QRect box;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            if (qAlpha(mask.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    double textSum = 0, peak = 0;
    int textCount = 0, groundCount = 0;
    long r = 0, g = 0, b = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(mask.pixel(x, y)) == 255) {
                textSum += luminance(c);
                ++textCount;
            } else if (!nearInk(x, y)) {
                peak = std::max(peak, luminance(c));
                r += qRed(c), g += qGreen(c), b += qBlue(c);
                ++groundCount;
            }
        }
    if (!textCount || !groundCount)
        return {};
    return {QColor(r / groundCount, g / groundCount, b / groundCount),
            (textSum / textCount + 0.05) / (peak + 0.05), box};
}

// The centres of the dialog's buttons on a 1020 x 572 game: centre ± 275 / + 25, 250 x 50.
const QPointF LeftButton(510 - 275 + 125, 286 + 25 + 25);
const QPointF RightButton(510 + 25 + 125, 286 + 25 + 25);

QImage render(TestGame &game)
{
    return GameHarness::paint(game, QSize());
}
} // namespace

class TestFrame : public QObject, GameView
{
    Q_OBJECT
private:
    TestGame *game = nullptr;
    std::shared_ptr<SoundRecorder> recorder;

private slots:
    void initTestCase()
    {
        // The dialog texts are Japanese: draw them with the game's own font, not whatever the
        // machine happens to have.
        QVERIFY(QFontDatabase::addApplicationFont(TOVIRA_SOURCE_DIR "/assets/font/tanuki.ttf") >=
                0);
        QVERIFY(recorder = GameHarness::recordSounds());
    }
    void cleanupTestCase() { AudioSet::destroyInstance(); }

    // Each test plays in a fresh scene shown in a real, active view.
    void init()
    {
        QVERIFY(show());
        GameHarness::start(*scene, game = new TestGame());
        QVERIFY(game->hasFocus());
    }
    void cleanup()
    {
        close();
        game = nullptr;
    }

    // Commas go before every group of three digits counted from the right.
    void digitsAreGroupedInThrees()
    {
        QCOMPARE(grouped("0"), QString("0"));
        QCOMPARE(grouped("999"), QString("999"));
        QCOMPARE(grouped("1000"), QString("1,000"));
        QCOMPARE(grouped("100000"), QString("100,000"));
        QCOMPARE(grouped("1234567"), QString("1,234,567"));
        QCOMPARE(grouped("12345678"), QString("12,345,678"));
        QCOMPARE(groupedNumber(INT_MAX), QString("2,147,483,647"));
        QCOMPARE(groupedNumber(21474836470LL), QString("21,474,836,470"));
    }

    // A minus sign stays in front of the digits and never stands alone before a comma.
    void negativeNumbersKeepTheirSignInFront()
    {
        QCOMPARE(grouped("-5"), QString("-5"));
        QCOMPARE(grouped("-123"), QString("-123"));
        QCOMPARE(grouped("-1234"), QString("-1,234"));
        QCOMPARE(grouped("-123456"), QString("-123,456"));
        QCOMPARE(groupedNumber(INT_MIN), QString("-2,147,483,648"));
    }

    // Banked points are added to every value given to setScore until the next reset.
    void bankedPointsAddToEverySetScore()
    {
        Game_Score record;
        record.addBaseScore(100);
        record.setScore(5);
        QCOMPARE(record.getScore(), 105);
        record.setScore(7);
        QCOMPARE(record.getScore(), 107);
        record.resetScore();
        QCOMPARE(record.getBest(), 107);
        QCOMPARE(record.getScore(), 0);
        record.setScore(3);
        QCOMPARE(record.getScore(), 3);
    }

    // A reset raises the best only when the finished try beat it.
    void resetKeepsTheHigherOfBestAndScore()
    {
        Game_Score record;
        record.setBest(500);
        record.resetScore();
        QCOMPARE(record.getBest(), 500);
        record.setScore(200);
        record.resetScore();
        QCOMPARE(record.getBest(), 500);
        record.setScore(501);
        record.resetScore();
        QCOMPARE(record.getBest(), 501);
    }

    // The dialog's rectangles sit around the centre of the item's bounding rectangle.
    void dialogRectanglesCentreOnTheItem()
    {
        QCOMPARE(game->titleRect(), QRectF(260, 211, 500, 50));
        QCOMPARE(game->leftButtonRect(), QRectF(235, 311, 250, 50));
        QCOMPARE(game->rightButtonRect(), QRectF(535, 311, 250, 50));
        QCOMPARE(game->hintRect(), QRectF(260, 361, 500, 50));
        game->setWidth(640);
        game->setHeight(480);
        QCOMPARE(game->titleRect(), QRectF(70, 165, 500, 50));
        QCOMPARE(game->leftButtonRect(), QRectF(45, 265, 250, 50));
        QCOMPARE(game->rightButtonRect(), QRectF(345, 265, 250, 50));
        QCOMPARE(game->hintRect(), QRectF(70, 315, 500, 50));
    }

    // Escape during play pauses; the question dims the whole item and shows its texts.
    void escapeShowsTheDimmedQuestion()
    {
        key(Qt::Key_Escape);
        QCOMPARE(game->count("pause"), 1);
        QVERIFY(game->isQuestionShown());
        QVERIFY(!game->frameTimer->isActive());

        const QImage image = render(*game);
        // black at alpha 200 over white leaves 55 in each channel, give or take rounding
        const QRgb dim = image.pixel(2, 2);
        QVERIFY2(qGray(dim) >= 54 && qGray(dim) <= 56 && qRed(dim) == qBlue(dim),
                 qPrintable(QString::number(dim, 16)));
        QCOMPARE(image.pixel(1019, 571), dim);
        QVERIFY(inkIn(image, game->titleRect().toRect(), dim) > 100);
        QVERIFY(inkIn(image, game->leftButtonRect().toRect(), dim) > 20);
        QVERIFY(inkIn(image, game->rightButtonRect().toRect(), dim) > 20);
        QVERIFY(inkIn(image, game->hintRect().toRect(), dim) > 20);
    }

    // Space on the question leaves with the better of best and current score.
    void spaceOnTheQuestionExitsWithTheBetterScore()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        game->getScore()->setBest(40);
        game->getScore()->setScore(75);
        key(Qt::Key_Escape);
        key(Qt::Key_Space);
        QCOMPARE(game->count("exit"), 1);
        QCOMPARE(game->count("retry"), 0);
        GameHarness::verifyEnded(ended, "Janken", 75);
    }

    // Space on a result screen starts a new play whose best includes the last try.
    void spaceOnTheResultScreenRetries()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        game->getScore()->setScore(120);
        game->showResult();
        key(Qt::Key_Space);
        QCOMPARE(game->count("retry"), 1);
        QCOMPARE(game->count("exit"), 0);
        QCOMPARE(ended.count(), 0);
        QCOMPARE(game->getScore()->getBest(), 120);
        QCOMPARE(game->getScore()->getScore(), 0);
        QVERIFY(!game->resultShown);
    }

    // "はい" leaves, "いいえ" resumes; both are hit at the pointer's scene position.
    void clicksOnTheQuestionButtons()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        key(Qt::Key_Escape);
        click(RightButton);
        QCOMPARE(game->count("resume"), 1);
        QVERIFY(!game->isQuestionShown());
        QVERIFY(game->frameTimer->isActive());
        QCOMPARE(ended.count(), 0);

        key(Qt::Key_Escape);
        click(QPointF(100, 100));
        QCOMPARE(game->count("exit"), 0);
        QCOMPARE(game->count("resume"), 1);
        QVERIFY(game->isQuestionShown());

        click(LeftButton);
        QCOMPARE(game->count("exit"), 1);
        QCOMPARE(ended.count(), 1);
    }

    // Left, Right and Tab light the dialog's buttons as the pointer does (the effects fall
    // silent), Enter takes the lit one and nothing when none is lit; Space stays the left one.
    void keysLightTheButtonsAndEnterTakesTheLitOne()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        key(Qt::Key_Escape);
        key(Qt::Key_Return);
        QVERIFY(game->isQuestionShown());
        key(Qt::Key_Right);
        QVERIFY(game->isHoverRight() && !game->isHoverLeft());
        QVERIFY(AudioSet::getInstance()->isSilent());
        key(Qt::Key_Return);
        QCOMPARE(game->count("resume"), 1);
        QVERIFY(!AudioSet::getInstance()->isSilent());

        key(Qt::Key_Escape);
        key(Qt::Key_Tab);
        QVERIFY(game->isHoverRight() != game->isHoverLeft());
        const bool leftFirst = game->isHoverLeft();
        key(Qt::Key_Tab);
        QCOMPARE(game->isHoverLeft(), !leftFirst);
        key(Qt::Key_Left);
        QVERIFY(game->isHoverLeft() && !game->isHoverRight());
        key(Qt::Key_Right);
        key(Qt::Key_Space);
        QCOMPARE(game->count("exit"), 1);
        QCOMPARE(ended.count(), 1);

        game->setQuestionShown(false);
        game->showResult();
        key(Qt::Key_Left);
        key(Qt::Key_Enter);
        QCOMPARE(game->count("retry"), 1);
        game->showResult();
        key(Qt::Key_Right);
        key(Qt::Key_Return);
        QCOMPARE(game->count("exit"), 2);
    }

    // A result screen tells the play's score and the best between its title and its buttons,
    // with a gold mark when the play beat the best; its buttons play again and leave.
    void resultScreenTellsTheScoreAndTheBest()
    {
        // Below the title band and its gold rule (to the centre - 18), above the plates (+ 25).
        const QRect line(260, 269, 500, 36);
        const auto gold = [&](const QImage &image) {
            int n = 0;
            for (int y = line.top(); y <= line.bottom(); ++y)
                for (int x = line.left(); x <= line.right(); ++x) {
                    const QColor c = image.pixel(x, y);
                    n += c.red() > 200 && c.green() > 160 && c.blue() < 120;
                }
            return n;
        };
        game->getScore()->setBest(2000);
        game->getScore()->setScore(5);
        game->showResult();
        const QImage lower = render(*game);
        game->getScore()->setScore(1234567);
        const QImage higher = render(*game);
        QVERIFY(whiteIn(lower, line) > 100);
        QVERIFY(whiteIn(higher, line) > whiteIn(lower, line) + 50);
        QCOMPARE(gold(lower), 0);
        QVERIFY(gold(higher) > 50);
        // a play equal to the best does not beat it
        game->getScore()->setScore(2000);
        QCOMPARE(gold(render(*game)), 0);

        click(LeftButton);
        QCOMPARE(game->count("retry"), 1);
        game->showResult();
        click(RightButton);
        QCOMPARE(game->count("exit"), 1);
    }

    // Only the button under the pointer is bold; moving away makes both normal again.
    void hoverBoldsOnlyTheButtonUnderThePointer()
    {
        key(Qt::Key_Escape);
        const QRect left = game->leftButtonRect().toRect();
        const QRect right = game->rightButtonRect().toRect();
        const QImage plain = render(*game);
        // the question stops the frames, so a move from button to button asks for the repaint
        QSignalSpy repainted(scene.get(), &QGraphicsScene::changed);

        moveTo(game->leftButtonRect().center());
        QVERIFY(game->isHoverLeft());
        QVERIFY(!game->isHoverRight());
        QVERIFY(AudioSet::getInstance()->isSilent());
        const QImage leftBold = render(*game);
        QVERIFY(whiteIn(leftBold, left) > whiteIn(plain, left));
        QCOMPARE(whiteIn(leftBold, right), whiteIn(plain, right));

        QTest::qWait(50);
        repainted.clear();
        moveTo(game->rightButtonRect().center());
        QTRY_VERIFY(!repainted.isEmpty());
        QVERIFY(!game->isHoverLeft());
        QVERIFY(game->isHoverRight());
        const QImage rightBold = render(*game);
        QCOMPARE(whiteIn(rightBold, left), whiteIn(plain, left));
        QVERIFY(whiteIn(rightBold, right) > whiteIn(plain, right));

        moveTo(QPointF(50, 50));
        QVERIFY(!game->isHoverLeft());
        QVERIFY(!game->isHoverRight());
        QVERIFY(!AudioSet::getInstance()->isSilent());
    }

    // Over a busy screen every dialog text stands on its card or plate at a contrast of at least
    // 4.5 : 1, the centred ones with their ink 2 px inside their places, whatever lies beneath,
    // and only the plate under the pointer is lit.
    void dialogTextsReadOnTheirPlatesOverABusyScreen()
    {
        game->showResult();
        const QString title = QStringLiteral("おめでとう！"), left = QStringLiteral("もう一度"),
                      right = QStringLiteral("メニューに戻る");
        // Stripes of white, yellow, black and red, moved by `shift` stripes.
        const auto busy = [&](int shift) {
            static const QRgb stripes[] = {qRgb(255, 255, 255), qRgb(255, 220, 0), qRgb(0, 0, 0),
                                           qRgb(230, 40, 60)};
            QImage image(game->getWidth(), game->getHeight(), QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    image.setPixel(x, y, stripes[((x + y) / 6 + shift) % 4]);
            QPainter p(&image);
            game->drawDialog(&p, title, left, right);
            return image;
        };
        // The ground colours of the left and right choices, after checking every text.
        QStringList faults;
        const auto plates = [&] {
            QColor seen[2];
            for (const int shift : {0, 2}) {
                const QImage image = busy(shift);
                QFont font = game->getFont();
                const auto check = [&](const QRectF &rect, int flags, const QString &text,
                                       bool bold) {
                    font.setWeight(bold ? QFont::Bold : QFont::Normal);
                    const Legibility l = legibility(image, rect, flags, font, text);
                    if (l.contrast < 4.5)
                        faults << QString("%1: contrast %2 : 1").arg(text).arg(l.contrast);
                    // A centred text keeps its ink 2 px inside the place the dialog gives it
                    // (the hint starts at its corner by design and stands on the card).
                    if ((flags & Qt::AlignCenter) &&
                        !rect.toRect().adjusted(2, 2, -2, -2).contains(l.ink))
                        faults << QString("%1: ink out of its place").arg(text);
                    return l.ground;
                };
                font.setPointSize(12);
                check(game->hintRect(), 0, QStringLiteral("スペースキーで\"%1\"").arg(left), false);
                font.setPointSize(24);
                check(game->titleRect(), Qt::AlignCenter, title, false);
                const QColor l =
                    check(game->leftButtonRect(), Qt::AlignCenter, left, game->isHoverLeft());
                const QColor r =
                    check(game->rightButtonRect(), Qt::AlignCenter, right, game->isHoverRight());
                // the plates hide the stripes: both stripe patterns show the same plates
                if (shift && (qAbs(l.lightness() - seen[0].lightness()) > 2 ||
                              qAbs(r.lightness() - seen[1].lightness()) > 2))
                    faults << "the stripes show through the plates";
                seen[0] = l, seen[1] = r;
            }
            return std::make_pair(seen[0], seen[1]);
        };
        const auto far = [](const QColor &a, const QColor &b) {
            return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) +
                       qAbs(a.blue() - b.blue()) >
                   60;
        };
        moveTo(game->leftButtonRect().center());
        const auto [leftLit, rightPlain] = plates();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        QVERIFY(far(leftLit, rightPlain));
        moveTo(game->rightButtonRect().center());
        const auto [leftPlain, rightLit] = plates();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        QVERIFY(!far(leftPlain, rightPlain) && !far(rightLit, leftLit) && far(leftPlain, rightLit));
    }

    // After the dialog is drawn the shared font stays at 24 points and normal weight.
    void dialogLeavesTheFontAt24PointsNormalWeight()
    {
        key(Qt::Key_Escape);
        for (const QRectF &button : {game->leftButtonRect(), game->rightButtonRect()}) {
            moveTo(button.center());
            render(*game);
            QCOMPARE(game->getFont().pointSize(), 24);
            QCOMPARE(game->getFont().weight(), QFont::Normal);
        }
        QCOMPARE(game->getFont().family(), QString("Tanuki Permanent Marker"));
    }

    // The score panel is drawn at (0, 10) with the best score above the current one.
    void scorePanelShowsBestAboveCurrent()
    {
        QImage panel(130, 100, QImage::Format_ARGB32_Premultiplied);
        panel.fill(qRgb(0, 0, 200));
        game->getScore()->setBest(1234567);
        game->getScore()->setScore(0);
        QImage image(300, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(Qt::yellow);
        game->drawScorePanel(&painter, panel);
        painter.end();
        QCOMPARE(image.pixel(0, 9), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(0, 10), qRgb(0, 0, 200));
        QCOMPARE(image.pixel(129, 109), qRgb(0, 0, 200));
        QCOMPARE(image.pixel(130, 110), qRgb(255, 255, 255));
        // "1,234,567" is much wider than "0"
        const QRgb blue = qRgb(0, 0, 200);
        const int best = inkIn(image, QRect(20, 40, 90, 20), blue);
        const int current = inkIn(image, QRect(20, 70, 90, 20), blue);
        QVERIFY(current > 0);
        QVERIFY(best > 3 * current);

        // A new score, and a new pen, show on the next panel drawn.
        const auto drawn = [&](QColor pen) {
            QImage again(300, 200, QImage::Format_ARGB32_Premultiplied);
            again.fill(Qt::white);
            QPainter p(&again);
            p.setPen(pen);
            game->drawScorePanel(&p, panel);
            return again;
        };
        game->getScore()->setScore(7654321);
        const QImage scored = drawn(Qt::yellow);
        QVERIFY(inkIn(scored, QRect(20, 70, 90, 20), blue) > 3 * current);
        const QImage red = drawn(Qt::red);
        QCOMPARE(red.pixel(red.width() / 2, 0), scored.pixel(scored.width() / 2, 0));
        bool reddened = false;
        for (int y = 70; y < 90 && !reddened; ++y)
            for (int x = 20; x < 110 && !reddened; ++x)
                reddened = qRed(red.pixel(x, y)) > 200 && qGreen(red.pixel(x, y)) < 60;
        QVERIFY(reddened);
    }
};

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
