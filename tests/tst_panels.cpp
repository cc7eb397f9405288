// What a player sees on every screen, painted from the real pictures at scale 1 and 2, in Japanese
// and in English (the pictures of the default locale's language): the texts
// the game writes keep 2 px of paper round their ink, the dialog's texts 2 px of their card, band
// or plate, the panel pictures keep 2 px apart, the panels that stand over moving things stand on
// solid foreground, the menu's game board shows its lower edge inside the window, and a story
// page keeps its text and its "next" mark 2 px inside its text field and apart.
#include "GameHarness.h"
#include "InkOffPaper.h"
#include "SceneInput.h"
#include "app/Game_GameList.h"
#include "app/Language.h"
#include "app/Scene.h"
#include "base/Game_Countdown.h"
#include "base/HighDensity.h"
#include "base/Random.h"
#include "games/frame/Game_DialogDress.h"
#include "games/janken/Game_Janken.h"
#include "games/samegame/Game_SameGame.h"
#include "games/setsuna/Game_Setsuna.h"
#include "games/shooting/Game_Shooting.h"
#include "games/shooting/Game_Shooting_Gallery.h"
#include "games/slide/Game_Slide.h"
#include "games/slot/Game_Slot.h"
#include "games/slot/Game_Slot_Machine.h"
#include "games/slot/Game_Slot_Reel.h"
#include "games/speed/Game_Speed.h"
#include "games/typing/Game_Typing.h"
#include "games/updown/Game_UpDown.h"
#include "launcher/Item_Lancher.h"
#include "story/Adv_Base.h"

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

// One screen: the menu entry that leads to it (-1: the menu itself, Opening: the opening's first
// page), what turns play into it (none: the play) and a text of its dialog, where the game may
// write in the painter's pen (outside: things that move between paints; empty: it writes
// nothing so), the panels drawn on it, the foreground that moving things pass behind, the alpha
// of the black veil the screen draws over its panels, and the texts it writes in a colour of its
// own, as the screen's description places them (an empty text: the game's clock).
struct Screen {
    int entry;
    std::function<void(Game_Base &)> reach;
    QString says;
    QRect writes;
    QList<Placed> panels;
    QString foreground;
    int veil = 0;
    QList<InkText> fixed = {};
};
} // namespace

Q_DECLARE_METATYPE(Screen)

namespace
{
const QRect Everywhere(-2, -2, 1024, 576);
// Above Typing's train and Janken's marker, which move on every paint.
const QRect Above(-2, -2, 1024, 202);
const Placed Score{"SCORE", {0, 10}};
// The dialog's card, band and plates, drawn round the places the dialog's texts are given on a
// 1024 x 576 game: title (cx - 250, cy - 75, 500, 50), buttons (cx - 275 and cx + 25, cy + 25,
// 250, 50), hint (cx - 250, cy + 75, 500, 50).
const Placed Dialog{"DIALOG", {0, 0}};
const int Opening = 10;
// Margins are measured up to this many pixels per scale.
const int Most = 6;

QPoint itemOrigin(int entry)
{
    return entry < 0 ? QPoint(-1, -1) : entry == 1 ? QPoint(0, 0) : QPoint(-2, -2);
}

// From the coordinates of an item standing at `origin` to the pixels of a screen at `scale`.
QTransform toPage(QPoint origin, int scale)
{
    return QTransform::fromTranslate(origin.x() + 2, origin.y() + 2) *
           QTransform::fromScale(scale, scale);
}

bool paper(QRgb c, int veil = 0)
{
    return qAlpha(c) == 255 && qGray(c) >= 215 * (255 - veil) / 255;
}

// How many rings of pixels round (x, y) are all open, up to `most`.
int openRound(int x, int y, int most, const std::function<bool(int, int)> &open)
{
    int d = 0;
    for (bool all = true; all && d < most;) {
        const int r = d + 1;
        for (int i = -r; i <= r && all; ++i)
            all = open(x + i, y - r) && open(x + i, y + r) && open(x - r, y + i) &&
                  open(x + r, y + i);
        d += all;
    }
    return d;
}

// How many rings of pixels round (x, y) are all paper, up to `most`; -1 when it is not on paper.
int paperRound(const QImage &page, int x, int y, int most, int veil)
{
    const auto at = [&page, veil](int px, int py) {
        return paper(page.pixel(qBound(0, px, page.width() - 1), qBound(0, py, page.height() - 1)),
                     veil);
    };
    return at(x, y) ? openRound(x, y, most, at) : -1;
}

// A colour of the dialog's fills: the card, the title's band and the plates, lit or not, each a
// gradient from top to bottom (not their ink outlines, gold rims or what lies outside them).
bool dressFill(QRgb c)
{
    static const QRgb ends[][2] = {
        {0x5a3478, 0x3a2050}, {0xd2304a, 0xa81a30}, {0x6e3a80, 0x4a2862}, {0xd8334d, 0xa0182e}};
    for (const auto &[top, bottom] : ends)
        for (int step = 0; step <= 16; ++step) {
            const auto mix = [&](int a, int b) { return a + (b - a) * step / 16; };
            if (qAbs(mix(qRed(top), qRed(bottom)) - qRed(c)) +
                    qAbs(mix(qGreen(top), qGreen(bottom)) - qGreen(c)) +
                    qAbs(mix(qBlue(top), qBlue(bottom)) - qBlue(c)) <=
                12)
                return true;
        }
    return false;
}

// A panel's picture at the scale's pixels; the dialog's is drawn at the dialog's places.
QImage picture(const QString &path, int scale)
{
    QImage image;
    if (path.endsWith("DIALOG")) {
        image = QImage(QSize(1024, 576) * scale, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.scale(scale, scale);
        Game_DialogDress::draw(
            &p,
            {{262, 213, 500, 50}, {237, 313, 250, 50}, {537, 313, 250, 50}, {262, 363, 500, 50}},
            Game_DialogDress::Lit::None);
        return image;
    }
    HighDensity::load(image, path);
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The picture's pixels of at least `alpha`, grown by `grow`, on a page of the screen's pixels.
QImage solid(const Placed &p, QPoint origin, int scale, int grow, int alpha = 128)
{
    const QImage image = picture(p.path, scale);
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

// A story page's text field, found on the page: the largest patch of paper in its lower third.
// Inside the patch's box the marks that do not reach its edge are the text; marks that reach in
// from the edge more than 3 px away from the rounded corners are strays (a line run into the rim).
struct Field {
    QRect box;
    QImage text, open; // 255 on the text's ink; on the patch and the text
    int strays = 0;
};
Field textField(const QImage &page, int scale)
{
    const int w = page.width(), h = page.height();
    const auto onPaper = [&page](int i) {
        return paper(page.pixel(i % page.width(), i / page.width()));
    };
    // Floods from `from` through the pixels `step` allows, 4- or 8-connected, marking them in seen.
    const auto flood = [w, h](int from, std::vector<char> &seen, bool eight, auto step) {
        std::vector<int> todo{from}, all;
        seen[from] = 1;
        while (!todo.empty()) {
            const int i = todo.back();
            todo.pop_back();
            all.push_back(i);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int x = i % w + dx, y = i / w + dy, j = y * w + x;
                    if ((dx || dy) && (eight || !dx || !dy) && x >= 0 && y >= 0 && x < w && y < h &&
                        !seen[j] && step(j)) {
                        seen[j] = 1;
                        todo.push_back(j);
                    }
                }
        }
        return all;
    };
    std::vector<char> seen(size_t(w) * h, 0);
    std::vector<int> patch;
    for (int i = w * (2 * h / 3); i < w * h; ++i)
        if (!seen[i] && onPaper(i))
            if (auto p = flood(i, seen, false, onPaper); p.size() > patch.size())
                patch = std::move(p);
    Field f;
    f.open = QImage(page.size(), QImage::Format_Grayscale8);
    f.open.fill(0);
    for (const int i : patch) {
        f.box |= QRect(i % w, i / w, 1, 1);
        f.open.scanLine(i / w)[i % w] = 255;
    }
    f.text = QImage(page.size(), QImage::Format_Grayscale8);
    f.text.fill(0);
    std::vector<char> edge(size_t(w) * h, 1);
    for (int y = f.box.top(); y <= f.box.bottom(); ++y)
        for (int x = f.box.left(); x <= f.box.right(); ++x)
            edge[y * w + x] = f.open.scanLine(y)[x] != 0;
    const auto closed = [&edge](int j) { return !edge[j]; };
    const QRect inner = f.box.adjusted(1, 1, -1, -1);
    const int corner = 16 * scale, deep = 3 * scale;
    for (int y = f.box.top(); y <= f.box.bottom(); ++y)
        for (int x = f.box.left(); x <= f.box.right(); ++x)
            if (!edge[y * w + x] && !inner.contains(x, y))
                for (const int j : flood(y * w + x, edge, true, closed)) {
                    const int jx = j % w, jy = j / w;
                    const int across = qMin(jx - f.box.left(), f.box.right() - jx),
                              down = qMin(jy - f.box.top(), f.box.bottom() - jy);
                    f.strays += qMin(across, down) > deep && (across > corner || down > corner);
                }
    for (int y = f.box.top(); y <= f.box.bottom(); ++y)
        for (int x = f.box.left(); x <= f.box.right(); ++x)
            if (!edge[y * w + x])
                f.text.scanLine(y)[x] = f.open.scanLine(y)[x] = 255;
    return f;
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

    // TOVIRA_SHOTS=folder keeps each screen there to look at.
    static void keepShot(const QImage &image)
    {
        if (const QString shots = qEnvironmentVariable("TOVIRA_SHOTS"); !shots.isEmpty())
            image.save(QDir(shots).filePath(QString(QTest::currentDataTag()) + ".png"));
    }

    // The story's page once its veil has lifted: the text inside the page's text field with 2 px
    // of it round its ink and no line run into its rim, and the "next" mark, which is what the
    // screen shows beside the page picture, 2 px inside the field and 2 px clear of the text.
    void storyPage(int scale, Adv_Base &story)
    {
        QVERIFY(story.scene() == scene.get());
        for (int f = 0; f < 200 && story.getFade() > 0; ++f)
            shot(scale, Qt::black);
        QVERIFY(story.getFade() == 0);
        const QImage screen = shot(scale, Qt::black);
        keepShot(screen);
        const QImage page = story.pageImage(story.getPage()).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(page.size(), screen.size());
        const Field field = textField(page, scale);
        QVERIFY2(!field.strays, qPrintable(QString("%1 px run into the rim").arg(field.strays)));
        const auto on = [](const QImage &mask, int x, int y) { return mask.constScanLine(y)[x]; };
        const auto open = [&](const QImage &also, int x, int y) {
            return field.box.contains(x, y) && on(field.open, x, y) && !on(also, x, y);
        };
        QImage none(page.size(), QImage::Format_Grayscale8);
        none.fill(0);
        int text = 0, textMargin = 99, mark = 0, markMargin = 99;
        for (int y = field.box.top(); y <= field.box.bottom(); ++y)
            for (int x = field.box.left(); x <= field.box.right(); ++x) {
                const QRgb a = screen.pixel(x, y), b = page.pixel(x, y);
                if (on(field.text, x, y)) {
                    ++text;
                    textMargin = qMin(textMargin, openRound(x, y, Most * scale, [&](int u, int v) {
                                          return open(none, u, v);
                                      }));
                } else if (qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) +
                               qAbs(qBlue(a) - qBlue(b)) >
                           24) {
                    ++mark;
                    markMargin = qMin(markMargin, openRound(x, y, Most * scale, [&](int u, int v) {
                                          return open(field.text, u, v);
                                      }));
                }
            }
        qInfo("  smallest margins: %d px round the text, %d px round the mark (of at most %d)",
              textMargin, markMargin, Most * scale);
        QVERIFY(text > 0 && mark > 0);
        QVERIFY2(textMargin >= 2 * scale,
                 qPrintable(QString("the text keeps %1 px").arg(textMargin)));
        QVERIFY2(markMargin >= 2 * scale,
                 qPrintable(QString("the mark keeps %1 px").arg(markMargin)));
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
        // Frames painted until the play is over; each game's keys or clicks in between.
        const auto playUntilOver = [](Game_Base &g, const std::function<void()> &move) {
            for (int f = 0; f < 5000 && !FlatPictures::texts(g).contains("メニューに戻る"); ++f) {
                move();
                FlatPictures::paint(g);
            }
        };
        const auto key = [](Game_Base &g, int k) { SceneInput::key(*g.scene(), k); };
        const QList<std::pair<const char *, Screen>> screens = {
            {"menu",
             {-1,
              {},
              {},
              Everywhere,
              {{"img/lancher/SCORE", {762, 18}}, {"img/lancher/INFO3", {714, 156}}},
              {}}},
            {"Setsuna", {0, {}, {}, Everywhere, {Score}, {}}},
            {"Setsuna false start",
             {0,
              [](Game_Base &g) { SceneInput::click(*g.scene(), QPointF(500, 500)); },
              "フライング！",
              Everywhere,
              {Score, Dialog},
              {},
              128}},
            {"SameGame", {1, {}, {}, Everywhere, {Score}, {}}},
            {"SameGame result",
             {1,
              [](Game_Base &g) { static_cast<Game_SameGame &>(g).gameOver(); },
              "メニューに戻る",
              Everywhere,
              {Score, Dialog},
              {}}},
            {"Typing", {2, {}, {}, Above, {Score, {"TIMER", {332, -10}}}, {}}},
            {"Typing result",
             {2,
              [=](Game_Base &g) { playUntilOver(g, [&] { key(g, Qt::Key_Up); }); },
              "メニューに戻る",
              Everywhere,
              {Score, Dialog},
              {}}},
            {"Shooting", {3, {}, {}, Everywhere, {Score, {"TIMER", {120, 10}}}, "BG02"}},
            {"Shooting result",
             {3,
              [](Game_Base &g) {
                  static_cast<Game_Shooting &>(g).getGallery()->setRemaining(QTime(0, 0, 0, 1));
              },
              "メニューに戻る",
              Everywhere,
              {Score, Dialog},
              {}}},
            {"Slot", {4, {}, {}, Everywhere, {Score}, "FG"}},
            {"Slot result",
             {4,
              [=](Game_Base &g) { playUntilOver(g, [] {}); },
              "メニューに戻る",
              Everywhere,
              {Score, Dialog},
              {}}},
            {"Slide", {5, {}, {}, Everywhere, {Score, {"TIMER", {120, 10}}}, {}}},
            {"Slide result", {5, countdownEnds, "メニューに戻る", Everywhere, {Score, Dialog}, {}}},
            {"UpDown",
             {6, {}, {}, Everywhere, {Score, {"REST", {160, 30}}, {"TIMER", {0, 130}}}, {}}},
            {"UpDown result",
             {6, countdownEnds, "メニューに戻る", Everywhere, {Score, Dialog}, {}}},
            {"Janken", {7, {}, {}, Above, {Score, {"TIMER", {332, 10}}}, {}}},
            {"Janken result",
             {7,
              [=](Game_Base &g) { playUntilOver(g, [] {}); },
              "メニューに戻る",
              Everywhere,
              {Score, Dialog},
              {}}},
            {"Speed",
             {8,
              {},
              {},
              Everywhere,
              {Score, {"TIMER", {332, -17}}, {"REST", {382, 460}}},
              {},
              0,
              {{50, QRectF(392, 3, 360, 130), Qt::AlignLeft, {}}}}},
            {"Speed result", {8, countdownEnds, "メニューに戻る", Everywhere, {Score, Dialog}, {}}},
            {"opening page", {Opening, {}, {}, {}, {}, {}}},
        };
        // The question over each game's play: nothing written in the painter's pen.
        const char *games[] = {"Setsuna", "SameGame", "Typing", "Shooting", "Slot",
                               "Slide",   "UpDown",   "Janken", "Speed"};
        const auto asked = [=](Game_Base &g) { key(g, Qt::Key_Escape); };
        // The double-size pictures stay once they are in: every screen at scale 1 comes first.
        for (const int scale : {1, 2})
            for (const QLocale::Language language : {QLocale::Japanese, QLocale::English}) {
                const QByteArray in = QLocale::languageToString(language).toLatin1();
                for (const auto &[name, screen] : screens)
                    QTest::addRow("%s at %d in %s", name, scale, in.constData())
                        << scale << language << screen;
                for (int entry = 0; entry < 9; ++entry)
                    QTest::addRow("%s question at %d in %s", games[entry], scale, in.constData())
                        << scale << language << Screen{entry, asked, "いいえ", {}, {Dialog}, {}};
            }
    }
    void everyTextOnItsPanelAndEveryPanelInItsPlace()
    {
        QFETCH(int, scale);
        QFETCH(QLocale::Language, language);
        QFETCH(Screen, screen);
        // A game loads its pictures as it starts; the menu loads them again.
        const bool newLanguage = QLocale().language() != language;
        Language::apply(language == QLocale::Japanese ? Language::Japanese : Language::English);
        if ((scale == 2 && HighDensity::enlargedTo(2)) || newLanguage) {
            scene->reloadBackground();
            scene->getLauncher()->reloadPictures();
        }
        Item_Lancher *menu = scene->getLauncher();
        int scores[10];
        std::fill(std::begin(scores), std::end(scores), 9999999);
        menu->setScores(scores);
        if (screen.entry == Opening) {
            SceneInput::click(*scene, menu->mapToScene(menu->storyRect(0).center()));
            storyPage(scale, *scene->getStory(0));
            return;
        }
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
        if (screen.reach) {
            screen.reach(*game);
            now = now.addSecs(1);
            shot(scale, Qt::black);
            // The dialog speaks the screen's language: its Japanese text, or none of it in English.
            const QString said = FlatPictures::texts(*game).join(QString());
            QVERIFY(language == QLocale::Japanese ? said.contains(screen.says)
                                                  : !said.isEmpty() && !said.contains(screen.says));
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
        keepShot(black);
        const QPoint origin = itemOrigin(screen.entry);

        // The texts written in the painter's pen: their ink and the paper round it.
        const QRect writes((screen.writes.topLeft() + QPoint(2, 2)) * scale,
                           screen.writes.size() * scale);
        int ink = 0, margin = 99;
        for (int y = writes.top(); y <= writes.bottom(); ++y)
            for (int x = writes.left(); x <= writes.right(); ++x) {
                if (black.pixel(x, y) == white.pixel(x, y))
                    continue;
                ++ink;
                const int d = paperRound(bare, x, y, Most * scale, screen.veil);
                if (d < margin)
                    qInfo("  closest: ink at (%d, %d) has %d px of paper round it", x, y, d);
                margin = qMin(margin, d);
            }
        QVERIFY2(ink > 0 || writes.isEmpty(), "no text written");
        QVERIFY2(margin >= 2 * scale, qPrintable(QString("the texts' ink keeps %1 px of paper, "
                                                         "not %2")
                                                     .arg(margin)
                                                     .arg(2 * scale)));

        // The texts in colours of their own: each line of the dialog keeps 2 px of the dialog's
        // fills round its ink, clear of rims, outlines, other lines and what lies outside; the
        // others, placed as the screen's description has them (numbered 128), 2 px of paper.
        QImage lines(black.size(), QImage::Format_Grayscale8);
        lines.fill(0);
        if (!screen.says.isEmpty()) {
            hold();
            lines = ownColourTextLines(*game, toPage(origin, scale), black.size());
        }
        QList<InkText> fixed = screen.fixed;
        for (InkText &t : fixed)
            t.text = t.text.isEmpty() ? game->getCountdown()->text() : t.text;
        // The menu has no texts of its own colours nor described ones.
        QImage described(black.size(), QImage::Format_ARGB32_Premultiplied);
        described.fill(Qt::transparent);
        if (game)
            described = drawnAsDescribed(*game, black.size(), fixed, toPage(origin, scale));
        // Their ink is what the screen shows off paper within 2 px of where they are described.
        const int near = 2 * scale;
        for (int y = 0; y < lines.height(); ++y)
            for (int x = 0; x < lines.width(); ++x)
                if (qAlpha(described.pixel(x, y)))
                    for (int v = qMax(0, y - near); v <= qMin(lines.height() - 1, y + near); ++v)
                        for (int u = qMax(0, x - near); u <= qMin(lines.width() - 1, x + near); ++u)
                            if (!paper(black.pixel(u, v)))
                                lines.scanLine(v)[u] = 128;
        int ownInk = 0, ownMargin = 99;
        for (int y = 0; y < lines.height(); ++y)
            for (int x = 0; x < lines.width(); ++x) {
                if (const uchar id = lines.constScanLine(y)[x]) {
                    ++ownInk;
                    const int d = openRound(x, y, Most * scale, [&](int px, int py) {
                        if (!lines.valid(px, py))
                            return false;
                        const uchar other = lines.constScanLine(py)[px];
                        const QRgb c = black.pixel(px, py);
                        return other == id || (!other && (id < 128 ? dressFill(c) : paper(c)));
                    });
                    if (d < ownMargin)
                        qInfo("  closest: ink of line %d at (%d, %d) has %d px round it", id, x, y,
                              d);
                    ownMargin = qMin(ownMargin, d);
                }
            }
        QVERIFY2(ownInk > 0 || (screen.says.isEmpty() && fixed.isEmpty()),
                 "no text in a colour of its own");
        QVERIFY2(ownMargin >= 2 * scale,
                 qPrintable(QString("the texts in their own colours keep %1 px, not %2")
                                .arg(ownMargin)
                                .arg(2 * scale)));
        qInfo("  smallest margins (-1: no such text): %d px in the pen's texts, %d px in the "
              "others, of at most %d",
              ink ? margin : -1, ownInk ? ownMargin : -1, Most * scale);

        // Panels keep apart, and stand on solid foreground where things move under them.
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
        Adv_Base *story = scene->getStory(0);
        for (int page = 0; page < 20 && story->scene() && story->getFade() == 0; ++page)
            SceneInput::key(*scene, Qt::Key_Space);
        QVERIFY(scene->getLauncher()->scene() == scene.get());
    }
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
