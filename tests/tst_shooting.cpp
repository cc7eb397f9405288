// The shooting gallery: targets and popups, the gallery's shots and clock, the target pictures
// against their hit polygons, and the game played through real events frame by frame.
#include "CardTable.h"
#include "FlatPictures.h"
#include "GameHarness.h"
#include "InkOffPaper.h"
#include "base/Clock.h"
#include "base/Picture.h"
#include "base/Random.h"
#include "games/frame/Game_Score.h"
#include "games/shooting/Game_Shooting.h"
#include "games/shooting/Game_Shooting_Bonus.h"
#include "games/shooting/Game_Shooting_Combo.h"
#include "games/shooting/Game_Shooting_Gallery.h"
#include "games/shooting/Game_Shooting_Pictures.h"
#include "games/shooting/Game_Shooting_Target.h"

#include <QFontDatabase>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QSet>
#include <QSignalSpy>
#include <QtTest>
#include <functional>
#include <memory>

namespace
{
QTime wall(10, 0, 0, 0);
// A time of day as the monotonic milliseconds the clocks read.
qint64 msOf(const QTime &t)
{
    return QTime(0, 0).msecsTo(t);
}

struct Draws {
    bool good;
    int shape;
    int vx;
    int vy;
};

// What a target made at time t draws, in the order kind, shape, velocity x, velocity y.
Draws drawsAt(const QTime &t)
{
    Random::seed(t.toString(QStringLiteral("mmssszzz")).toInt());
    Draws d{};
    d.good = Random::draw() % 5 != 0;
    d.shape = d.good ? Random::draw() % 4 + 1 : 0;
    d.vx = Random::draw() % 10 - 5;
    d.vy = Random::draw() % 10 - 5;
    return d;
}

// A target at (x, y) whose draws satisfy want, made by moving the wall clock to a fitting moment.
std::unique_ptr<Game_Shooting_Target> makeTarget(int x, int y,
                                                 const std::function<bool(const Draws &)> &want)
{
    QTime t(10, 0, 0, 0);
    for (int i = 0; i < 600000 && !want(drawsAt(t)); ++i)
        t = t.addMSecs(1);
    wall = t;
    return std::make_unique<Game_Shooting_Target>(x, y);
}

std::unique_ptr<Game_Shooting_Target> still(int x, int y, int shape)
{
    return makeTarget(x, y, [shape](const Draws &d) {
        return d.shape == shape && d.vx == 0 && d.vy == 0 && (shape == 0) != d.good;
    });
}

QImage picture(const QString &path)
{
    QImage image;
    Picture::load(image, path);
    return image;
}

const QPoint GoodCentre(152, 86); // inside every good shape and its bonus zone
const QPoint BadCentre(160, 150);
} // namespace

class TestShooting : public QObject, GameView
{
    Q_OBJECT
private:
    Game_Score score;
    Game_Shooting *game = nullptr;

    QImage frame(QColor under = Qt::white) { return GameHarness::paint(*game, QSize(), under); }
    void startGame()
    {
        game = new Game_Shooting();
        QVERIFY(open(game));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(GameHarness::loadArt());
        GameHarness::followClock(wall);
    }
    void cleanupTestCase() { Clock::reset(); }
    void init()
    {
        wall = QTime(10, 0, 0, 0);
        score.setBest(0);
        score.resetScore();
    }
    void cleanup()
    {
        close();
        game = nullptr;
    }

    // A good hit on the head scores 100, adds one second and shows PLUS; on the body it only
    // scores; a hit target shows the hit picture from then on.
    void goodHitsScoreAndTheHeadAddsASecond()
    {
        Game_Shooting_Pictures pictures;
        pictures.load();
        Game_Shooting_Gallery gallery(&score);
        gallery.reset(msOf(wall));
        Game_Shooting_Target *target = gallery.addTarget(still(100, 100, 1));
        gallery.addTarget(still(500, 100, 1));
        QCOMPARE(pictures.of(*target), picture(":/img/shooting/TOVIRA01"));
        gallery.shoot(QPoint(100, 100) + GoodCentre);
        QCOMPARE(score.getScore(), 100);
        QCOMPARE(gallery.getRemaining(), QTime(0, 0, 51, 0));
        QCOMPARE(gallery.getBonuses().size(), std::size_t(1));
        QCOMPARE(pictures.of(*gallery.getBonuses()[0]), picture(":/img/shooting/PLUS"));
        QCOMPARE(pictures.of(*target), picture(":/img/shooting/TOVIRA00"));
        gallery.shoot(QPoint(500, 100) + QPoint(150, 250));
        QCOMPARE(score.getScore(), 200);
        QCOMPARE(gallery.getRemaining(), QTime(0, 0, 51, 0));
        QCOMPARE(gallery.getBonuses().size(), std::size_t(1));
        QCOMPARE(gallery.getComboCount(), 2);
        QCOMPARE(gallery.getCombos().size(), std::size_t(2));
    }

    // The head is the 76 x 119 rectangle from (114, 27), edges included: a good hit there adds
    // a second and PLUS, a pixel outside only the points. Shape 4 covers it and its rim.
    void theHeadIsTheBonusZone_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("bonus");
        QTest::newRow("left") << QPoint(114, 100) << true;
        QTest::newRow("left of it") << QPoint(113, 100) << false;
        QTest::newRow("right") << QPoint(190, 100) << true;
        QTest::newRow("right of it") << QPoint(191, 100) << false;
        QTest::newRow("top") << QPoint(150, 27) << true;
        QTest::newRow("above") << QPoint(150, 26) << false;
        QTest::newRow("bottom") << QPoint(150, 146) << true;
        QTest::newRow("below") << QPoint(150, 147) << false;
    }
    void theHeadIsTheBonusZone()
    {
        QFETCH(QPoint, at);
        QFETCH(bool, bonus);
        Game_Shooting_Gallery gallery(&score);
        gallery.reset(msOf(wall));
        gallery.addTarget(still(100, 100, 4));
        gallery.shoot(QPoint(100, 100) + at);
        QCOMPARE(score.getScore(), 100);
        QCOMPARE(gallery.getRemaining(), QTime(0, 0, bonus ? 51 : 50));
        QCOMPARE(gallery.getBonuses().size(), std::size_t(bonus));
    }

    // A frame spawns at a draw divisible by 50, the target at (next draw mod 700 + 100, the one
    // after mod 100 + 100).
    void aSpawnRollPlacesTheTargetFromTheDraws_data() { seedRows(); }
    void aSpawnRollPlacesTheTargetFromTheDraws()
    {
        QFETCH(unsigned, seed);
        Game_Shooting_Gallery gallery(&score);
        const QVector<int> d = drawsAfter(seed, 400);
        int k = 0;
        for (; d[k] % 50 != 0; ++k) {
            gallery.rollSpawn();
            QVERIFY(gallery.getTargets().empty() && k < 395);
        }
        gallery.rollSpawn();
        QCOMPARE(gallery.getTargets().size(), std::size_t(1));
        QCOMPARE(gallery.getTargets()[0]->takePosition(),
                 QPoint(d[k + 1] % 700 + 100, d[k + 2] % 100 + 100));
    }

    // Hitting Kohru costs five seconds, shows MINUS and ends the combo with all its popups;
    // Kohru shows the hit picture from then on.
    void aBadHitCostsFiveSecondsAndEndsTheCombo()
    {
        Game_Shooting_Pictures pictures;
        pictures.load();
        Game_Shooting_Gallery gallery(&score);
        gallery.reset(msOf(wall));
        gallery.addTarget(still(100, 100, 2));
        gallery.addTarget(still(600, 100, 3));
        gallery.shoot(QPoint(100, 100) + QPoint(150, 250));
        gallery.shoot(QPoint(600, 100) + QPoint(150, 250));
        QCOMPARE(gallery.getCombos().size(), std::size_t(2));
        const Game_Shooting_Target *kohru = gallery.addTarget(still(300, 200, 0));
        QCOMPARE(pictures.of(*kohru), picture(":/img/shooting/KOHRU01"));
        gallery.shoot(QPoint(300, 200) + BadCentre);
        QCOMPARE(pictures.of(*kohru), picture(":/img/shooting/KOHRU00"));
        QCOMPARE(gallery.getRemaining(), QTime(0, 0, 45, 0));
        QCOMPARE(gallery.getComboCount(), 0);
        QVERIFY(gallery.getCombos().empty());
        QCOMPARE(pictures.of(*gallery.getBonuses().back()), picture(":/img/shooting/MINUS"));
        QCOMPARE(score.getScore(), 200);
    }

    // Of two overlapping targets one shot hits only the first in list order.
    void overlappingTargetsAreHitOneAtATime()
    {
        Game_Shooting_Gallery gallery(&score);
        gallery.reset(msOf(wall));
        gallery.addTarget(still(200, 100, 2));
        gallery.addTarget(still(200, 100, 2));
        gallery.shoot(QPoint(200, 100) + GoodCentre);
        QVERIFY(gallery.getTargets()[0]->isHit());
        QVERIFY(!gallery.getTargets()[1]->isHit());
        QCOMPARE(score.getScore(), 100);
        gallery.shoot(QPoint(200, 100) + GoodCentre);
        QVERIFY(gallery.getTargets()[1]->isHit());
        QCOMPARE(score.getScore(), 200);
        QCOMPARE(gallery.getComboCount(), 2);
    }

    // A target already hit is a miss: no points, and the combo and its popups are gone; so is
    // a shot into an empty gallery.
    void aHitTargetCannotBeHitAgain()
    {
        Game_Shooting_Gallery gallery(&score);
        gallery.reset(msOf(wall));
        gallery.addTarget(still(200, 100, 4));
        gallery.shoot(QPoint(200, 100) + GoodCentre);
        gallery.shoot(QPoint(200, 100) + GoodCentre);
        QCOMPARE(score.getScore(), 100);
        QCOMPARE(gallery.getComboCount(), 0);
        QVERIFY(gallery.getCombos().empty());
        Game_Shooting_Gallery empty(&score);
        empty.reset(msOf(wall));
        empty.addTarget(still(200, 100, 4));
        empty.shoot(QPoint(200, 100) + GoodCentre);
        while (!empty.getTargets().empty())
            empty.stepTargets({});
        empty.shoot(QPoint(200, 100) + GoodCentre);
        QCOMPARE(empty.getComboCount(), 0);
        QVERIFY(empty.getCombos().empty());
    }

    // Every shot moves every target one step; a good target hit moves one more for its zone.
    void everyShotMovesEveryTargetAndAGoodHitOneStepMore()
    {
        Game_Shooting_Gallery gallery(&score);
        gallery.reset(msOf(wall));
        auto moving = [](int shape) {
            return [shape](const Draws &d) {
                return d.shape == shape && (shape == 0) != d.good && d.vx == 2 && d.vy == -3;
            };
        };
        Game_Shooting_Target *good = gallery.addTarget(makeTarget(200, 150, moving(1)));
        Game_Shooting_Target *bad = gallery.addTarget(makeTarget(600, 150, moving(0)));
        const QPoint step(2, -3);

        gallery.shoot(QPoint(1, 1));
        QCOMPARE(good->peekPosition(), QPoint(200, 150) + step);
        QCOMPARE(bad->peekPosition(), QPoint(600, 150) + step);

        gallery.shoot(good->peekPosition() + GoodCentre);
        QVERIFY(good->isHit());
        QCOMPARE(good->peekPosition(), QPoint(200, 150) + 3 * step);
        QCOMPARE(bad->peekPosition(), QPoint(600, 150) + 2 * step);

        gallery.shoot(bad->peekPosition() + BadCentre);
        QVERIFY(bad->isHit());
        QCOMPARE(bad->peekPosition(), QPoint(600, 150) + 3 * step);
    }

    // A target lives 100 drawn frames, a popup 50, then they are removed; the fade
    // climbs from 0.01 to 0.99 on the way.
    void targetsFadeOverAHundredFramesAndPopupsOverFifty()
    {
        Game_Shooting_Gallery gallery(&score);
        gallery.reset(msOf(wall));
        gallery.addTarget(still(200, 100, 3));
        gallery.shoot(QPoint(200, 100) + GoodCentre);
        double first = -1, peak = 0;
        auto framesUntilEmpty = [](auto &&list, auto &&step) {
            int frames = 0;
            while (list() > 0 && frames < 1000) {
                ++frames;
                step();
            }
            return frames;
        };
        QCOMPARE(framesUntilEmpty([&] { return gallery.getTargets().size(); },
                                  [&] {
                                      gallery.stepTargets(
                                          [&](Game_Shooting_Target &, double o, const QPoint &) {
                                              first = first < 0 ? o : first;
                                              peak = qMax(peak, o);
                                          });
                                  }),
                 100);
        QCOMPARE(first, 0.01);
        QVERIFY(peak > 0.98 && peak <= 1.0);
        QCOMPARE(framesUntilEmpty([&] { return gallery.getBonuses().size(); },
                                  [&] { gallery.stepBonuses({}); }),
                 50);
        QCOMPARE(framesUntilEmpty([&] { return gallery.getCombos().size(); },
                                  [&] { gallery.stepCombos({}); }),
                 50);
    }

    // The clock counts down by the monotonic clock's milliseconds, a change of minute
    // included; the frame that reaches zero reports time up.
    void theClockCountsDownWithTheMonotonicClock()
    {
        Game_Shooting_Gallery gallery(&score);
        gallery.reset(msOf(QTime(10, 0, 10, 0)));
        QVERIFY(gallery.advanceClock(msOf(QTime(10, 0, 10, 250))));
        QCOMPARE(gallery.getRemaining(), QTime(0, 0, 49, 750));
        QCOMPARE(gallery.clockText(), QString("00:49:75"));
        QVERIFY(gallery.advanceClock(msOf(QTime(10, 0, 59, 800))));
        QCOMPARE(gallery.getRemaining(), QTime(0, 0, 0, 200));
        QVERIFY(gallery.advanceClock(msOf(QTime(10, 0, 59, 999))));
        QCOMPARE(gallery.getRemaining(), QTime(0, 0, 0, 1));
        QVERIFY(!gallery.advanceClock(msOf(QTime(10, 1, 0, 0))));
        QVERIFY(gallery.isTimeUp());
    }

    // With less than five seconds left a bad hit takes the clock to zero and the next frame
    // ends the play.
    void aBadHitBelowFiveSecondsEndsTheGame()
    {
        Game_Shooting_Gallery gallery(&score);
        gallery.reset(msOf(wall));
        gallery.setRemaining(QTime(0, 0, 3, 0));
        gallery.addTarget(still(300, 200, 0));
        gallery.shoot(QPoint(300, 200) + BadCentre);
        QCOMPARE(gallery.getRemaining(), QTime(0, 0));
        QVERIFY(!gallery.advanceClock(msOf(wall)));
        QVERIFY(gallery.isTimeUp());
        gallery.addTarget(still(100, 100, 1));
        gallery.shoot(QPoint(100, 100) + GoodCentre);
        QCOMPARE(score.getScore(), 0);
    }

    // Objects made in the same millisecond reseed alike and draw the same numbers.
    void objectsMadeInTheSameMillisecondDrawAlike()
    {
        wall = QTime(10, 7, 3, 42);
        const auto a = std::make_unique<Game_Shooting_Target>(0, 0);
        const auto b = std::make_unique<Game_Shooting_Target>(0, 0);
        QCOMPARE(a->isGood(), b->isGood());
        QCOMPARE(a->getShape(), b->getShape());
        QCOMPARE(a->velocityX(), b->velocityX());
        QCOMPARE(a->velocityY(), b->velocityY());
        Game_Shooting_Bonus c(0, 0, true), d(0, 0, false);
        QCOMPARE(c.velocityX(), d.velocityX());
        QCOMPARE(c.velocityY(), d.velocityY());
    }

    // A target is drawn solid, the wall never showing through it, but for a short fade at either
    // end of its hundred frames; shot in the middle of them, its hit picture is as solid.
    void targetsAreDrawnSolidThroughTheirLives_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<QString>("normal");
        QTest::addColumn<QString>("hit");
        QTest::newRow("Kohru") << 0 << ":/img/shooting/KOHRU01"
                               << ":/img/shooting/KOHRU00";
        for (int s = 1; s <= 4; ++s)
            QTest::newRow(qPrintable(QString("Tovira %1").arg(s)))
                << s << QString(":/img/shooting/TOVIRA0%1").arg(s) << ":/img/shooting/TOVIRA00";
    }
    void targetsAreDrawnSolidThroughTheirLives()
    {
        QFETCH(int, shape);
        QFETCH(QString, normal);
        QFETCH(QString, hit);
        startGame();
        Game_Shooting_Gallery *gallery = game->getGallery();
        const QPoint at(300, 120);
        gallery->addTarget(still(at.x(), at.y(), shape));
        const QPoint shot = at + (shape ? GoodCentre : BadCentre);
        // inside the polygon, clear of the popups the shot raises
        const QPoint seen = shot + QPoint(-40, 80);
        const QColor before = picture(normal).pixelColor(seen - at),
                     after = picture(hit).pixelColor(seen - at);
        QVERIFY(before.alpha() == 255 && after.alpha() == 255);
        Random::seed(1);
        QVERIFY(Random::draw() % 50 != 0); // the seed of every frame spawns nothing
        int frames = 0, solid = 0;
        while (!gallery->getTargets().empty() && frames < 200) {
            if (++frames == 60)
                gallery->shoot(shot);
            Random::seed(1);
            const QColor want = frames < 60 ? before : after, got = frame().pixelColor(seen);
            solid += qAbs(got.red() - want.red()) <= 3 && qAbs(got.green() - want.green()) <= 3 &&
                     qAbs(got.blue() - want.blue()) <= 3;
        }
        QCOMPARE(frames, 100);
        QVERIFY2(solid >= 75, qPrintable(QString("solid in %1 of 100 frames").arg(solid)));
    }

    // Each target picture covers its hit polygon, solid (at least 95 % of it at alpha 250 or
    // more), and paints little outside it; each Tovira has the head, with its red hat, in the
    // bonus zone.
    void targetPicturesFillTheirHitPolygons_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<QString>("path");
        QTest::newRow("Kohru") << 0 << ":/img/shooting/KOHRU01";
        for (int s = 1; s <= 4; ++s)
            QTest::newRow(qPrintable(QString("Tovira %1").arg(s)))
                << s << QString(":/img/shooting/TOVIRA0%1").arg(s);
    }
    void targetPicturesFillTheirHitPolygons()
    {
        QFETCH(int, shape);
        QFETCH(QString, path);
        const QImage image = picture(path);
        QVERIFY(!image.isNull());
        const QPolygon polygon = Game_Shooting_Target::shapePolygon(shape);
        QVERIFY(QRect(QPoint(0, 0), image.size()).contains(polygon.boundingRect()));
        int area = 0, covered = 0, outside = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool opaque = qAlpha(image.pixel(x, y)) >= 250;
                if (polygon.containsPoint(QPoint(x, y), Qt::OddEvenFill)) {
                    ++area;
                    covered += opaque;
                } else {
                    outside += opaque;
                }
            }
        }
        QVERIFY2(covered >= area * 95 / 100,
                 qPrintable(QString("%1 of %2").arg(covered).arg(area)));
        QVERIFY2(outside <= area * 5 / 100, qPrintable(QString("%1 outside").arg(outside)));
        if (shape == 0)
            return;
        int hat = 0;
        const QRect zone = Game_Shooting_Target::bonusZone().toRect();
        for (int y = zone.top(); y <= zone.bottom(); ++y) {
            for (int x = zone.left(); x <= zone.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                hat += c.red() > 200 && c.green() < 90 && c.blue() < 110;
            }
        }
        QVERIFY2(hat > 150, qPrintable(QString("%1 hat pixels in the zone").arg(hat)));
    }

    // A whole game frame by frame through real events: the crosshair follows the pointer,
    // presses hit targets as they drift in, the clock runs out after 50 seconds of wall time,
    // Which picture shows where with the pointer at (600, 60): TIMER (360 x 120) at (120, 10)
    // over the panel at (0, 10), the crosshair (64 x 64) centred on the pointer, BG02 over all;
    // the pointer is the move cursor while playing and the arrow on the result screen.
    void thePicturesLieWhereTheScreensPutThem_data()
    {
        const QString bg = "img/shooting/BG01", timer = "img/shooting/TIMER",
                      aim = "img/shooting/TARGET";
        // clang-format off
        FlatPictures::table(
            {{0, {122, 12}, timer}, {0, {478, 128}, timer}, {0, {122, 128}, timer},
             {0, {478, 12}, timer}, {0, {118, 50}, "img/shooting/SCORE"},
             {0, {2, 12}, "img/shooting/SCORE"}, {0, {482, 60}, bg}, {0, {0, 300}, bg}, {0, {1, 300}, "img/shooting/BG02"}, {0, {500, 1}, "img/shooting/BG02"}, {0, {1023, 575}, bg}, {0, {300, 132}, bg},
             {0, {570, 30}, aim}, {0, {630, 90}, aim}, {0, {566, 60}, bg}, {0, {600, 94}, bg},
             {0, {634, 60}, bg}, {0, {2, 300}, "img/shooting/BG02"},
             {0, {1020, 572}, "img/shooting/BG02"}, {1, {1020, 572}, "#383838"},
             {2, {1020, 572}, "#000000"}, {2, {600, 60}, "#000000"},
             {2, {2, 12}, "img/shooting/SCORE"}});
        // clang-format on
    }
    void thePicturesLieWhereTheScreensPutThem()
    {
        const auto [screen, at, shows] = FlatPictures::row();
        FlatPictures flat;
        startGame();
        moveTo(QPointF(300, 300)); // a move from elsewhere, or no hover event is sent
        moveTo(QPointF(600, 60));
        if (screen == 1)
            key(Qt::Key_Escape);
        if (screen == 2) {
            game->getGallery()->setRemaining(QTime(0, 0, 0, 100));
            wall = wall.addMSecs(500);
            frame();
        }
        QVERIFY(FlatPictures::shows(frame(), at, shows));
        // scaled, the gallery is drawn whole under the curtains
        QVERIFY(
            FlatPictures::shows(FlatPictures::paint(*game, 2), FlatPictures::doubled(at), shows));
        if (screen != 1)
            QCOMPARE(game->cursor().shape(), screen ? Qt::ArrowCursor : Qt::DragMoveCursor);
    }

    // the end screen ignores Escape and Space starts again with the best kept.
    void aWholeGamePlayedFrameByFrame()
    {
        startGame();
        QCOMPARE(game->boundingRect(), QRectF(0, 0, 1024, 576));
        moveTo(QPointF(400, 300));
        QCOMPARE(game->crosshairRect().center(), QPointF(400, 300));
        Game_Shooting_Gallery *gallery = game->getGallery();
        int hits = 0, badHits = 0, frames = 0;
        QImage last;
        while (!gallery->isTimeUp() && frames < 2000) {
            ++frames;
            wall = wall.addMSecs(100);
            // Behind the curtains and the counter nothing is drawn that they cover; every other
            // pixel gets the gallery, so a frame over nothing leaves no hole.
            last = frame(frames % 50 == 0 ? QColor(Qt::transparent) : QColor(Qt::white));
            if (frames % 50 == 0) {
                int holes = 0;
                for (int y = 0; y < last.height(); ++y)
                    for (int x = 0; x < last.width(); ++x)
                        holes += qAlpha(last.pixel(x, y)) != 255;
                QCOMPARE(holes, 0);
            }
            QRegion earlier; // a shot there hits an earlier target, not yet hit, first
            for (const auto &t : gallery->getTargets()) {
                const QPolygon shape =
                    Game_Shooting_Target::shapePolygon(t->getShape()).translated(t->peekPosition());
                const QRegion before = earlier;
                if (!t->isHit())
                    earlier += QRegion(shape, Qt::OddEvenFill);
                if (t->isHit() || t->getOpacity() < 0.3)
                    continue;
                if (!t->isGood() && badHits > 0)
                    continue;
                const QPoint p = t->peekPosition() + (t->isGood() ? GoodCentre : BadCentre);
                if (!QRect(0, 0, 1020, 572).contains(p) || before.contains(p))
                    continue;
                // the click's repaint may spawn a target and move the list under t
                Game_Shooting_Target *target = t.get();
                pointAndClick(p);
                QVERIFY(target->isHit());
                (target->isGood() ? hits : badHits) += 1;
                break;
            }
        }
        QVERIFY(gallery->isTimeUp());
        QVERIFY(hits >= 3);
        QCOMPARE(game->getScore()->getScore(), hits * 100);
        // 50 s plus a second per head shot, less five for a bad hit, at 100 ms a frame
        QVERIFY2(qAbs(frames - (500 + 10 * hits - 50 * badHits)) <= 2,
                 qPrintable(QString::number(frames)));

        const QImage end = frame();
        QCOMPARE(end.pixel(1000, 560), qRgb(0, 0, 0));
        QVERIFY(end.pixel(1000, 560) != last.pixel(1000, 560));
        key(Qt::Key_Escape);
        QVERIFY(!game->isQuestionShown());
        key(Qt::Key_Space);
        QVERIFY(!gallery->isTimeUp());
        QCOMPARE(game->getScore()->getScore(), 0);
        QCOMPARE(game->getScore()->getBest(), hits * 100);
        QCOMPARE(gallery->getRemaining(), QTime(0, 0, 50, 0));
    }

    // Escape asks before leaving; while asked a press is no shot; "はい" reports the best.
    void escapeAsksAndPressesWhileAskedAreNoShots()
    {
        startGame();
        QSignalSpy ended(game, &Game_Base::endGame);
        Game_Shooting_Gallery *gallery = game->getGallery();
        gallery->addTarget(still(300, 150, 1));
        key(Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        pointAndClick(QPointF(300, 150) + GoodCentre);
        QVERIFY(!gallery->getTargets()[0]->isHit());
        pointAndClick(game->rightButtonRect().center());
        QVERIFY(!game->isQuestionShown());
        pointAndClick(QPointF(300, 150) + GoodCentre);
        QVERIFY(gallery->getTargets()[0]->isHit());
        key(Qt::Key_Escape);
        pointAndClick(game->leftButtonRect().center());
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(1).toInt(), 100);
    }

    // A combo popup rises one pixel a frame and does not drift sideways; a bonus popup drifts by
    // two draws in -2..1, seeded from the wall clock when it is made.
    void popupsDriftAsTheirDrawsSay()
    {
        Game_Shooting_Combo combo(300, 200);
        for (int frame = 0; frame < 3; ++frame)
            QCOMPARE(combo.takePosition(), QPoint(300, 200 - frame));
        QSet<QPoint> drifts;
        for (int ms = 0; ms < 200; ++ms) {
            wall = QTime(10, 3, 7, 0).addMSecs(ms * 37);
            Random::seed(wall.toString(QStringLiteral("mmssszzz")).toInt());
            const int vx = Random::draw() % 4 - 2;
            const QPoint drift(vx, Random::draw() % 4 - 2);
            drifts.insert(drift);
            Game_Shooting_Bonus bonus(300, 200, true);
            for (int frame = 0; frame < 3; ++frame)
                QCOMPARE(bonus.takePosition(), QPoint(300, 200) + drift * frame);
        }
        QCOMPARE(drifts.size(), 16); // every drift in -2..1 on both axes turned up
    }

    // A good hit shows the combo count and "匹" in the game's font at 32 points, standing on the
    // shot's point and rising a pixel a frame: its ink is what a miss, which ends the combo,
    // takes off the next frame.
    void theComboCountStandsOnTheShotIn32Points()
    {
        startGame();
        Game_Shooting_Gallery *gallery = game->getGallery();
        gallery->addTarget(still(300, 150, 1));
        const QPoint shot = QPoint(300, 150) + QPoint(150, 250);
        gallery->shoot(shot);
        for (int i = 0; i < 40; ++i)
            frame(Qt::black);
        const QImage with = frame(Qt::black);
        gallery->shoot(QPoint(5, 560));
        const QImage without = frame(Qt::black);
        QRect ink;
        for (int y = 0; y < with.height(); ++y)
            for (int x = 0; x < with.width(); ++x)
                if (qGray(with.pixel(x, y)) - qGray(without.pixel(x, y)) > 8)
                    ink |= QRect(x, y, 1, 1);
        QFont font = game->getFont();
        font.setPointSize(32);
        const QRect expected = QFontMetricsF(font, &with)
                                   .tightBoundingRect(QStringLiteral("1匹"))
                                   .translated(shot - QPoint(0, 40))
                                   .toAlignedRect();
        const QPoint off = ink.topLeft() - expected.topLeft(),
                     grow = ink.bottomRight() - expected.bottomRight();
        QVERIFY2(qMax(qMax(qAbs(off.x()), qAbs(off.y())), qMax(qAbs(grow.x()), qAbs(grow.y()))) <=
                     2,
                 qPrintable(QStringLiteral("ink %1,%2 %3x%4, expected %5,%6 %7x%8")
                                .arg(ink.x())
                                .arg(ink.y())
                                .arg(ink.width())
                                .arg(ink.height())
                                .arg(expected.x())
                                .arg(expected.y())
                                .arg(expected.width())
                                .arg(expected.height())));
    }

    // The time-up screen says "終了！"; "もう一度" plays again, "メニューに戻る" leaves with the
    // larger of the best and the play's score.
    void theResultButtonsRetryAndLeave()
    {
        startGame();
        QSignalSpy ended(game, &Game_Base::endGame);
        Game_Shooting_Gallery *gallery = game->getGallery();
        for (int hits : {1, 2}) {
            for (int i = 0; i < hits; ++i) {
                gallery->addTarget(still(300, 150, 1));
                pointAndClick(QPointF(300, 150) + GoodCentre);
            }
            gallery->setRemaining(QTime(0, 0, 0, 100));
            wall = wall.addMSecs(500);
            frame();
            QVERIFY(FlatPictures::texts(*game).contains("終了！"));
            const QPointF button =
                (hits == 1 ? game->leftButtonRect() : game->rightButtonRect()).center();
            moveTo(button);
            pointAndClick(button);
            QCOMPARE(gallery->isTimeUp(), hits == 2);
            QCOMPARE(ended.count(), hits - 1);
        }
        QCOMPARE(ended.at(0).at(1).toInt(), 200);
    }

    // The clock and a score beyond any play (hits have no ceiling) ink only on their panels'
    // paper.
    void theWidestTextsStayOnTheirPanels()
    {
        startGame();
        showOnScorePanel(*game->getScore(), 99999999);
        frame();
        VERIFY_INK_ON_PANELS(*game,
                             {{{0, 0, 120, 110},
                               ":/img/shooting/SCORE",
                               {0, 10},
                               scorePanelTexts(99999999, 99999999)},
                              {{120, 0, 400, 130},
                               ":/img/shooting/TIMER",
                               {120, 10},
                               {{50, QRectF(180, 30, 400, 300), Qt::AlignLeft, "00:50:00"}}}});
    }
};

QTEST_MAIN(TestShooting)
#include "tst_shooting.moc"
