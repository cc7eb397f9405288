// The frame's drawing helpers: pictures loaded premultiplied, the clocks' cached glyphs, the
// shade, and the backdrop that copies what its covers leave uncovered.
#include "base/Game_GlyphCache.h"
#include "base/Picture.h"
#include "base/Shade.h"
#include "games/frame/Game_Backdrop.h"
#include "games/frame/Game_DialogDress.h"

#include <QFontDatabase>
#include <QPainter>
#include <QtTest>
#include <algorithm>
#include <climits>
#include <cmath>

class TestDrawing : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(QFontDatabase::addApplicationFont(TOVIRA_SOURCE_DIR "/assets/font/tanuki.ttf") >=
                0);
    }

    // A failed load leaves an empty picture and says so; a good one comes premultiplied.
    void picturesLoadPremultipliedOrReportFailure()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("p.png");
        QImage source(4, 3, QImage::Format_RGB32);
        source.fill(Qt::red);
        QVERIFY(source.save(path));
        QImage image;
        QVERIFY(Picture::load(image, path));
        QCOMPARE(image.size(), QSize(4, 3));
        QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
        QVERIFY(!Picture::load(image, dir.filePath("missing.png")));
        QVERIFY(image.isNull());
    }

    // The clocks' cached glyphs land where the painter's own text would, in its colour, for
    // left and right alignment and from a baseline, and a colour change makes new glyphs.
    void cachedGlyphTextMatchesDrawnText()
    {
        QFont font("Tanuki Permanent Marker");
        font.setPointSize(50);
        const QRectF box(30, 20, 400, 120);
        const auto inkBox = [](const QImage &image, QRgb *colour) {
            QRect ink;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) > 128) {
                        ink |= QRect(x, y, 1, 1);
                        *colour = image.pixel(x, y);
                    }
            return ink;
        };
        // flags 0: drawn from a baseline point instead of in the box
        for (const int flags : {int(Qt::AlignLeft | Qt::AlignTop), int(Qt::AlignRight), 0}) {
            for (const QColor colour :
                 {QColor(Qt::black), QColor(200, 0, 0), QColor(40, 160, 220)}) {
                QImage drawn(460, 160, QImage::Format_ARGB32_Premultiplied);
                QImage cached = drawn;
                drawn.fill(Qt::transparent);
                cached.fill(Qt::transparent);
                for (QImage *image : {&drawn, &cached}) {
                    QPainter painter(image);
                    painter.setFont(font);
                    painter.setPen(colour);
                    const QString text = QStringLiteral("01:23:45");
                    const QPointF baseline(box.left() + 7, box.top() + 90);
                    if (image == &drawn && flags)
                        painter.drawText(box, flags, text);
                    else if (image == &drawn)
                        painter.drawText(baseline, text);
                    else if (flags)
                        Game_GlyphCache::drawText(&painter, box, flags, text);
                    else
                        Game_GlyphCache::drawText(&painter, baseline, text);
                }
                QRgb drawnColour = 0, cachedColour = 0;
                const QRect a = inkBox(drawn, &drawnColour), b = inkBox(cached, &cachedColour);
                QVERIFY(!a.isEmpty());
                QVERIFY2(qAbs(a.left() - b.left()) <= 2 && qAbs(a.right() - b.right()) <= 3 &&
                             qAbs(a.top() - b.top()) <= 1 && qAbs(a.bottom() - b.bottom()) <= 1,
                         qPrintable(QString("%1,%2 %3x%4 vs %5,%6 %7x%8")
                                        .arg(a.x())
                                        .arg(a.y())
                                        .arg(a.width())
                                        .arg(a.height())
                                        .arg(b.x())
                                        .arg(b.y())
                                        .arg(b.width())
                                        .arg(b.height())));
                QCOMPARE(qRed(cachedColour) > 100, qRed(drawnColour) > 100);
                // Inside the strokes the ink is the pen's colour exactly.
                int solid = 0;
                for (int y = 0; y < cached.height(); ++y)
                    for (int x = 0; x < cached.width(); ++x)
                        if (qAlpha(cached.pixel(x, y)) == 255) {
                            QCOMPARE(cached.pixel(x, y), colour.rgba());
                            ++solid;
                        }
                QVERIFY(solid > 100);
            }
        }
    }
    // The shade darkens like a translucent black fill, to within rounding, over rectangles wider
    // and taller than its strip, under a moved painter with its own opacity, and nowhere else.
    void shadeDarkensLikeATranslucentFill()
    {
        QImage scene(1300, 300, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < scene.height(); ++y)
            for (int x = 0; x < scene.width(); ++x)
                scene.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
        const QRectF rect(-3, 5, 1250, 270);
        for (const int alpha : {0, 50, 128, 200, 255}) {
            for (const qreal painterOpacity : {1.0, 0.5}) {
                QImage filled = scene, shaded = scene;
                for (QImage *image : {&filled, &shaded}) {
                    QPainter painter(image);
                    painter.translate(7, 11);
                    painter.setOpacity(painterOpacity);
                    if (image == &filled)
                        painter.fillRect(rect, QColor(0, 0, 0, alpha));
                    else
                        Shade::draw(&painter, rect, alpha);
                }
                int worst = 0;
                for (int y = 0; y < scene.height(); ++y)
                    for (int x = 0; x < scene.width(); ++x) {
                        const QRgb a = filled.pixel(x, y), b = shaded.pixel(x, y);
                        worst = std::max({worst, qAbs(qRed(a) - qRed(b)),
                                          qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))});
                    }
                QVERIFY2(worst <= 1, qPrintable(QString("alpha %1, opacity %2: off by %3")
                                                    .arg(alpha)
                                                    .arg(painterOpacity)
                                                    .arg(worst)));
                // outside the rectangle nothing changed
                QCOMPARE(shaded.pixel(3, 15), scene.pixel(3, 15));
                QCOMPARE(shaded.pixel(1255, 100), scene.pixel(1255, 100));
                QCOMPARE(shaded.pixel(600, 287), scene.pixel(600, 287));
            }
        }
    }
    // The dialog's dress, whichever plate is lit, keeps to the area kept for it (what lies
    // beyond would be cut off) and fills it to within 4 px of every side.
    void theDialogDressStaysInsideItsArea()
    {
        const Game_DialogDress::Layout layout{QRectF(260, 211, 500, 50), QRectF(235, 311, 250, 50),
                                              QRectF(535, 311, 250, 50), QRectF(260, 361, 500, 50)};
        const QRect area = Game_DialogDress::area(layout);
        for (const auto lit : {Game_DialogDress::Lit::None, Game_DialogDress::Lit::Left,
                               Game_DialogDress::Lit::Right}) {
            QImage page(1024, 576, QImage::Format_ARGB32_Premultiplied);
            page.fill(Qt::transparent);
            QPainter painter(&page);
            Game_DialogDress::draw(&painter, layout, lit);
            painter.end();
            QRect ink;
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    if (qAlpha(page.pixel(x, y)) > 0)
                        ink |= QRect(x, y, 1, 1);
            QVERIFY(area.contains(ink));
            QVERIFY(ink.left() - area.left() <= 4 && ink.top() - area.top() <= 4);
            QVERIFY(area.right() - ink.right() <= 4 && area.bottom() - ink.bottom() <= 4);
        }
    }

    // A kept backdrop shows exactly what painting straight would (with the painter's hints), is
    // painted once per key and again when the key changes; under a scaling painter (full screen)
    // it is kept at device size, and a turning painter is painted straight through.
    void backdropCopiesWhatItKeeps()
    {
        QColor tone(Qt::darkGreen);
        const auto paintScreen = [&tone](QPainter *p) {
            p->fillRect(QRectF(-2, -2, 300, 160), tone);
            QFont font("Tanuki Permanent Marker");
            font.setPointSize(24);
            p->setFont(font);
            p->setPen(Qt::yellow);
            p->drawText(QRectF(10, 10, 260, 80), Qt::AlignCenter, QStringLiteral("残念！"));
            p->setBrush(Qt::red);
            p->drawEllipse(QRectF(200, 90, 70, 45)); // smooth only under the painter's hints
            Shade::draw(p, QRectF(0, 0, 298, 158), 128);
        };
        const QRectF rect(-2, -2, 300, 160);
        const auto render = [&](Game_Backdrop *backdrop, const QTransform &t) {
            QImage image(320, 180, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setTransform(t);
            if (backdrop)
                backdrop->draw(&painter, rect, qHash(tone.rgb()), paintScreen);
            else
                paintScreen(&painter);
            return image;
        };
        Game_Backdrop backdrop;
        const QTransform moved = QTransform::fromTranslate(7, 5);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(render(&backdrop, moved), render(nullptr, moved));
        QCOMPARE(backdrop.paintCount(), 1);

        tone = Qt::darkBlue;
        QCOMPARE(render(&backdrop, moved), render(nullptr, moved));
        QCOMPARE(backdrop.paintCount(), 2);

        const QTransform scaled = QTransform::fromScale(1.5, 1.5).translate(0.4, 0.3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(render(&backdrop, scaled), render(nullptr, scaled));
        QCOMPARE(backdrop.paintCount(), 3);
        const QTransform turned = QTransform().rotate(10);
        QCOMPARE(render(&backdrop, turned), render(nullptr, turned));
        QCOMPARE(backdrop.paintCount(), 3);
        QVERIFY(backdrop.isHeld());
        backdrop.clear();
        QVERIFY(!backdrop.isHeld());
    }
    // Drawing a picture through its ink rectangles gives the same pixels as drawing it whole,
    // and anything drawn only through its see-through rectangles and then covered by it gives
    // the same pixels as drawn whole and covered: what is left out is hidden exactly.
    void pictureInkAndSeeThroughPartsChangeNoPixel()
    {
        // an overlay with opaque curtains, a half-transparent band, specks and an open middle
        QImage overlay(300, 200, QImage::Format_ARGB32_Premultiplied);
        overlay.fill(Qt::transparent);
        {
            QPainter p(&overlay);
            p.setRenderHint(QPainter::Antialiasing);
            p.setBrush(QColor(150, 20, 40));
            p.setPen(Qt::NoPen);
            p.drawEllipse(QRectF(-60, -20, 120, 240)); // curved left curtain
            p.fillRect(QRect(250, 0, 50, 200), QColor(30, 90, 160));
            p.fillRect(QRect(0, 170, 300, 30), QColor(0, 0, 0, 120));
            p.fillRect(QRect(140, 40, 1, 1), QColor(255, 255, 0, 3));
            p.fillRect(QRect(200, 101, 3, 2), Qt::white);
        }
        QImage behind(300, 200, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < behind.height(); ++y)
            for (int x = 0; x < behind.width(); ++x)
                behind.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, (x ^ y) % 256));

        for (const int band : {1, 7, 16, 64}) {
            const QVector<QRect> ink = Picture::inkRects(overlay, band);
            const QVector<QRect> open = Picture::seeThroughRects(overlay, band);
            QVERIFY(!ink.isEmpty() && !open.isEmpty());
            int inkArea = 0;
            for (const QRect &r : ink)
                inkArea += r.width() * r.height();
            QVERIFY(inkArea < overlay.width() * overlay.height() * 3 / 4);

            QImage whole(320, 230, QImage::Format_ARGB32_Premultiplied);
            whole.fill(QColor(10, 200, 90));
            QImage parts = whole;
            const QPoint at(9, 13);
            {
                QPainter p(&whole);
                p.drawImage(at, behind);
                p.drawImage(at, overlay);
            }
            {
                QPainter p(&parts);
                for (const QRect &r : open)
                    p.drawImage(r.topLeft() + at, behind, r);
                for (const QRect &r : ink)
                    p.drawImage(r.topLeft() + at, overlay, r);
            }
            QVERIFY2(parts == whole, qPrintable(QString("band %1").arg(band)));
        }
    }
    // The uncovered parts and the covers together make the area, and no pixel is in two of
    // them: over random covers, some reaching out of the area, some overlapping.
    void uncoveredPartsTileTheAreaAroundTheCovers()
    {
        const QRect area(0, 0, 200, 120);
        quint32 state = 7;
        const auto next = [&state](int n) {
            state = state * 1103515245u + 12345u;
            return int((state >> 16) % quint32(n));
        };
        for (int round = 0; round < 50; ++round) {
            QVector<QRect> covers;
            for (int i = next(12); i > 0; --i)
                covers.append(QRect(next(240) - 20, next(160) - 20, 1 + next(90), 1 + next(90)));
            std::vector<int> hits(area.width() * area.height());
            for (const QRect &part : Picture::uncovered(area, covers)) {
                QVERIFY(area.contains(part));
                for (const QRect &c : covers)
                    QVERIFY(!part.intersects(c));
                for (int y = part.top(); y <= part.bottom(); ++y)
                    for (int x = part.left(); x <= part.right(); ++x)
                        ++hits[y * area.width() + x];
            }
            for (int y = 0; y < area.height(); ++y)
                for (int x = 0; x < area.width(); ++x) {
                    bool covered = false;
                    for (const QRect &c : covers)
                        covered |= c.contains(x, y);
                    QCOMPARE(hits[y * area.width() + x], covered ? 0 : 1);
                }
        }
    }
};

QTEST_MAIN(TestDrawing)
#include "tst_drawing.moc"
