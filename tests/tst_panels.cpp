// What a player sees on every screen, painted from the real pictures at scale 1 and 2, in Japanese
// and in English (the pictures of the default locale's language): the texts
// the game writes keep 2 px of paper round their ink, the panel pictures keep 2 px apart, the
// panels that stand over moving things stand on solid foreground, and the menu's game board
// shows its lower edge inside the window.
#include "GameHarness.h"
#include "InkOffPaper.h"
#include "SceneInput.h"
#include "app/Game_GameList.h"
#include "app/Scene.h"
#include "base/Game_Countdown.h"
#include "base/HighDensity.h"
#include "base/Random.h"
#include "games/samegame/Game_SameGame.h"
#include "games/setsuna/Game_Setsuna.h"
#include "games/shooting/Game_Shooting.h"
#include "games/shooting/Game_Shooting_Gallery.h"
#include "games/slide/Game_Slide.h"
#include "games/slot/Game_Slot.h"
#include "games/slot/Game_Slot_Machine.h"
#include "games/slot/Game_Slot_Reel.h"
#include "games/speed/Game_Speed.h"
#include "games/updown/Game_UpDown.h"
#include "launcher/Item_Lancher.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace
{
// A picture where a screen draws it, in item coordinates (every game item stands at (-2, -2),
// SameGame's at (0, 0), the menu's at (-1, -1)).
struct Placed {
    QString path;
    QPoint at;
};

// One screen: the menu entry that leads to it (-1: the menu itself), what turns play into the
// result (none: the play), where the game may write (outside: things that move between paints),
// the panels drawn on it, and the foreground that moving things pass behind.
struct Screen {
    int entry;
    std::function<void(Game_Base &)> toResult;
    QRect writes;
    QList<Placed> panels;
    QString foreground;
};
} // namespace

Q_DECLARE_METATYPE(Screen)

namespace
{
const QRect Everywhere(-2, -2, 1024, 576);
// Above Typing's train and Janken's marker, which move on every paint.
const QRect Above(-2, -2, 1024, 202);
const Placed Score{"SCORE", {0, 10}};

QPoint itemOrigin(int entry)
{
    return entry < 0 ? QPoint(-1, -1) : entry == 1 ? QPoint(0, 0) : QPoint(-2, -2);
}

bool paper(QRgb c)
{
    return qAlpha(c) == 255 && qGray(c) >= 215;
}

// How many rings of pixels round (x, y) are all paper, up to `most`; -1 when it is not on paper.
int paperRound(const QImage &page, int x, int y, int most)
{
    const auto at = [&page](int px, int py) {
        return paper(page.pixel(qBound(0, px, page.width() - 1), qBound(0, py, page.height() - 1)));
    };
    if (!at(x, y))
        return -1;
    int d = 0;
    for (bool all = true; all && d < most;) {
        const int r = d + 1;
        for (int i = -r; i <= r && all; ++i)
            all = at(x + i, y - r) && at(x + i, y + r) && at(x - r, y + i) && at(x + r, y + i);
        d += all;
    }
    return d;
}

QImage picture(const QString &path)
{
    QImage image;
    HighDensity::load(image, path);
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The picture's pixels of at least `alpha`, grown by `grow`, on a page of the screen's pixels.
QImage solid(const Placed &p, QPoint origin, int scale, int grow, int alpha = 128)
{
    const QImage image = picture(p.path);
    QImage mask(1024 * scale, 576 * scale, QImage::Format_Grayscale8);
    mask.fill(0);
    const QPoint at = (p.at + origin + QPoint(2, 2)) * scale;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) >= alpha)
                for (int dy = -grow; dy <= grow; ++dy)
                    for (int dx = -grow; dx <= grow; ++dx)
                        if (mask.valid(at.x() + x + dx, at.y() + y + dy))
                            mask.setPixel(at.x() + x + dx, at.y() + y + dy, 255);
    return mask;
}

int count(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += qGray(a.pixel(x, y)) && qGray(b.pixel(x, y));
    return n;
}
} // namespace

class TestPanels : public QObject
{
    Q_OBJECT

    QTemporaryDir work;
    QTime now{12, 0};
    std::unique_ptr<Scene> scene;

    // The scene as the window shows it, the texts the game writes in the painter's pen.
    QImage shot(int scale, const QColor &pen)
    {
        QImage page(1024 * scale, 576 * scale, QImage::Format_ARGB32_Premultiplied);
        page.fill(Qt::black);
        QPainter painter(&page);
        painter.setPen(pen);
        scene->render(&painter, QRectF(page.rect()), QRectF(-2, -2, 1024, 576));
        return page;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(GameHarness::loadArt());
        QVERIFY(QFile::link(TOVIRA_GAME_DIR "/resuorce2x.rcc", work.filePath("resuorce2x.rcc")));
        QDir::setCurrent(work.path());
        GameHarness::followClock(now);
        scene = std::make_unique<Scene>(nullptr, 1024, 576);
        SceneInput::activate(*scene);
    }

    void everyTextOnItsPanelAndEveryPanelInItsPlace_data()
    {
        QTest::addColumn<int>("scale");
        QTest::addColumn<QLocale::Language>("language");
        QTest::addColumn<Screen>("screen");
        const auto countdownEnds = [](Game_Base &g) { g.getCountdown()->subtract(120000); };
        const QList<std::pair<const char *, Screen>> screens = {
            {"menu",
             {-1,
              {},
              Everywhere,
              {{"img/lancher/SCORE", {762, 18}}, {"img/lancher/INFO3", {714, 156}}},
              {}}},
            {"Setsuna", {0, {}, Everywhere, {Score}, {}}},
            {"SameGame", {1, {}, Everywhere, {Score}, {}}},
            {"SameGame result",
             {1,
              [](Game_Base &g) { static_cast<Game_SameGame &>(g).gameOver(); },
              Everywhere,
              {Score},
              {}}},
            {"Typing", {2, {}, Above, {Score, {"TIMER", {330, -12}}}, {}}},
            {"Shooting", {3, {}, Everywhere, {Score, {"TIMER", {120, 10}}}, "BG02"}},
            {"Shooting result",
             {3,
              [](Game_Base &g) {
                  static_cast<Game_Shooting &>(g).getGallery()->setRemaining(QTime(0, 0, 0, 1));
              },
              Everywhere,
              {Score},
              {}}},
            {"Slot", {4, {}, Everywhere, {Score}, "FG"}},
            {"Slide", {5, {}, Everywhere, {Score, {"TIMER", {120, 10}}}, {}}},
            {"Slide result", {5, countdownEnds, Everywhere, {Score}, {}}},
            {"UpDown", {6, {}, Everywhere, {Score, {"REST", {160, 30}}, {"TIMER", {0, 130}}}, {}}},
            {"UpDown result", {6, countdownEnds, Everywhere, {Score}, {}}},
            {"Janken", {7, {}, Above, {Score, {"TIMER", {330, 10}}}, {}}},
            {"Speed",
             {8, {}, Everywhere, {Score, {"TIMER", {330, -19}}, {"REST", {380, 458}}}, {}}},
            {"Speed result", {8, countdownEnds, Everywhere, {Score}, {}}},
        };
        // The double-size pictures stay once they are in: every screen at scale 1 comes first.
        for (const int scale : {1, 2})
            for (const QLocale::Language language : {QLocale::Japanese, QLocale::English})
                for (const auto &[name, screen] : screens)
                    QTest::addRow("%s at %d in %s", name, scale,
                                  qPrintable(QLocale::languageToString(language)))
                        << scale << language << screen;
    }
    void everyTextOnItsPanelAndEveryPanelInItsPlace()
    {
        QFETCH(int, scale);
        QFETCH(QLocale::Language, language);
        QFETCH(Screen, screen);
        // A game loads its pictures as it starts; the menu loads them again.
        const bool newLanguage = QLocale().language() != language;
        QLocale::setDefault(QLocale(language));
        if ((scale == 2 && HighDensity::enlargedTo(2)) || newLanguage) {
            scene->reloadBackground();
            scene->getLauncher()->reloadPictures();
        }
        Item_Lancher *menu = scene->getLauncher();
        int scores[10];
        std::fill(std::begin(scores), std::end(scores), 9999999);
        menu->setScores(scores);
        Game_Base *game = nullptr;
        QString folder = QStringLiteral("img/lancher/");
        if (screen.entry >= 0) {
            SceneInput::click(*scene, menu->mapToScene(menu->gameRect(screen.entry).center()));
            game = scene->getGameList()->game(screen.entry);
            QVERIFY(game->scene() == scene.get());
            folder = QStringLiteral("img/%1/").arg(game->getName().toLower());
            if (screen.entry == 0) // Setsuna's duel, past its title
                SceneInput::click(*scene, game->mapToScene(Game_Setsuna::buttonRect(0).center()));
            showOnScorePanel(*game->getScore(), 99999999);
        } else {
            SceneInput::hover(*scene, menu->mapToScene(menu->gameRect(3).center()));
        }
        shot(scale, Qt::black);
        if (screen.toResult) {
            screen.toResult(*game);
            now = now.addSecs(1);
            shot(scale, Qt::black);
            const QString said = FlatPictures::texts(*game).join(QString());
            QVERIFY(said.contains("メニューに戻る") ||
                    (language == QLocale::English && said.contains("menu", Qt::CaseInsensitive)));
        }
        // Nothing that moves between the three paints: Shooting's targets gone and none
        // rising, Slot's reels held.
        const auto hold = [&] {
            if (auto *shooting = dynamic_cast<Game_Shooting *>(game)) {
                shooting->getGallery()->clearAll();
                Random::seed(3); // its first draw does not spawn a target
            }
            if (auto *slot = dynamic_cast<Game_Slot *>(game))
                for (const auto &reel : slot->getMachine()->getReels())
                    reel->freeze();
        };
        hold();
        const QImage black = shot(scale, Qt::black);
        hold();
        const QImage white = shot(scale, Qt::white);
        hold();
        const QImage bare = shot(scale, Qt::transparent);
        // TOVIRA_SHOTS=folder keeps each screen there to look at.
        if (const QString shots = qEnvironmentVariable("TOVIRA_SHOTS"); !shots.isEmpty())
            black.save(QDir(shots).filePath(QString(QTest::currentDataTag()) + ".png"));

        // The written texts' ink and the paper round it.
        const QRect writes((screen.writes.topLeft() + QPoint(2, 2)) * scale,
                           screen.writes.size() * scale);
        int ink = 0, margin = 99;
        for (int y = writes.top(); y <= writes.bottom(); ++y)
            for (int x = writes.left(); x <= writes.right(); ++x) {
                if (black.pixel(x, y) == white.pixel(x, y))
                    continue;
                ++ink;
                const int d = paperRound(bare, x, y, 4 * scale);
                if (d < margin)
                    qInfo("  closest: ink at (%d, %d) has %d px of paper round it", x, y, d);
                margin = qMin(margin, d);
            }
        QVERIFY2(ink > 0, "no text written");
        QVERIFY2(margin >= 2 * scale, qPrintable(QString("the texts' ink keeps %1 px of paper, "
                                                         "not %2")
                                                     .arg(margin)
                                                     .arg(2 * scale)));

        // Panels keep apart, and stand on solid foreground where things move under them.
        const QPoint origin = itemOrigin(screen.entry);
        const auto full = [&folder](Placed p) {
            p.path = ":/" + (p.path.startsWith("img/") ? p.path : folder + p.path);
            return p;
        };
        for (int i = 0; i < screen.panels.size(); ++i) {
            const Placed a = full(screen.panels[i]);
            for (int j = i + 1; j < screen.panels.size(); ++j) {
                const Placed b = full(screen.panels[j]);
                const int overlap =
                    count(solid(a, origin, scale, 2 * scale), solid(b, origin, scale, 0));
                QVERIFY2(!overlap, qPrintable(QString("%1 and %2 come within 2 px: %3 px")
                                                  .arg(a.path, b.path)
                                                  .arg(overlap)));
            }
            if (!screen.foreground.isEmpty()) {
                const Placed front = full({screen.foreground, {0, 0}});
                const QImage under = solid(a, origin, scale, 4 * scale);
                const QImage cover = solid(front, origin, scale, 0, 250);
                const int open = count(under, under) - count(under, cover);
                QVERIFY2(!open, qPrintable(QString("moving things show within 4 px of %1 "
                                                   "through %2 px of the foreground")
                                               .arg(a.path)
                                               .arg(open)));
            }
        }

        // The menu's game board ends in an edge of ink below its last row, inside the window.
        if (!game) {
            bool edge = false;
            for (int y = 562; y < 572; ++y) {
                const QRgb c = bare.pixel((QPoint(466, y) + origin + QPoint(2, 2)) * scale);
                edge |= qRed(c) < 70 && qGreen(c) < 50 && qBlue(c) < 70;
            }
            QVERIFY2(edge, "the game board has no lower edge in the window");
        }
    }
    // Back to the menu, however the row ended.
    void cleanup()
    {
        for (int i = 0; i < 9; ++i)
            if (Game_Base *game = scene->getGameList()->game(i); game && game->scene())
                game->exitGame();
        QVERIFY(scene->getLauncher()->scene() == scene.get());
    }
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
