// Soak: a seeded bot plays every game through the real scene for many frames, with random arrow
// keys, Space, Escape, pointer moves and clicks sent as real events, each frame painted into an
// image the way the view paints the window, so the play advances exactly as on screen. It goes
// back to the menu and in again along the way. Checked: no warning beyond the known picture and
// sound messages, a well-formed score file after every game, and at most 2 MB of growth of
// allocated memory from the first half of each game's frames to its last thousand.
//
// Frames per game: TOVIRA_SOAK_FRAMES (default 6000, at least 2000); bot seed: TOVIRA_SOAK_SEED.
// The wall clock and the monotonic clock are stepped one 60 Hz frame per painted frame, so the
// games' own random generator is seeded alike on every run and a seed replays a failure.
#include "SceneInput.h"
#include "SoundRecorder.h"
#include "app/Game_GameList.h"
#include "app/Scene.h"
#include "base/Clock.h"
#include "base/Notice.h"
#include "games/frame/Game_Base.h"
#include "games/setsuna/Game_Setsuna.h"
#include "games/speed/Game_Speed_Table.h"
#include "games/updown/Game_UpDown.h"
#include "games/updown/Game_UpDown_Table.h"
#include "launcher/Item_Lancher.h"
#include "sound/AudioSet.h"

#include <QFontDatabase>
#include <QPainter>
#include <QRegularExpression>
#include <QResource>
#include <QtTest>

#include <functional>
#include <random>

namespace
{
QStringList messages;
QStringList faults;
QtMessageHandler previousHandler = nullptr;

// Messages the game prints by design: pictures that fail to load (none should, but they are
// reported, not raised) and the sound output's own reports.
bool isKnownMessage(const QString &text)
{
    static const QRegularExpression known(
        QStringLiteral("imgReadError|ImageReadError|imageError|imageLoadError|imageReaderror|"
                       "^\":/|^:/|sink|audio|QAudio|pulse|alsa"),
        QRegularExpression::CaseInsensitiveOption);
    return known.match(text).hasMatch();
}

void recordMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    // The test's own figures go to the log as usual.
    if (type == QtInfoMsg) {
        previousHandler(type, context, text);
        return;
    }
    messages << text;
    // The design's failure messages are debug output; any of them is a fault here too.
    static const QRegularExpression failure(
        QStringLiteral("configWriteError|readError|readArchiveError|noResuorce|エラー"));
    const bool warning = type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg;
    if ((warning && !isKnownMessage(text)) ||
        (failure.match(text).hasMatch() && !isKnownMessage(text)))
        faults << text;
}

// Anonymous memory only: what leaks is allocated, while the resource file's pages come and go
// in blocks of up to 2 MB as pictures are read from it and let go.
qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression rss(QStringLiteral("^RssAnon:\\s+(\\d+)"));
    for (const QByteArray &line : status.readAll().split('\n')) {
        const QRegularExpressionMatch m = rss.match(QString::fromLatin1(line));
        if (m.hasMatch())
            return m.captured(1).toLongLong();
    }
    return -1;
}

// The score file as the scene must leave it: the header and ten "gameN=value" lines that
// hold the scene's table, each ending with a line break.
QString scoreFileProblem(const int *table)
{
    QFile file(QStringLiteral("tovira.conf"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot be read");
    const QByteArray text = file.readAll();
    if (!text.endsWith('\n'))
        return QStringLiteral("does not end with a line break");
    const QList<QByteArray> lines = text.trimmed().split('\n');
    if (lines.size() != 11)
        return QStringLiteral("has %1 lines").arg(lines.size());
    if (lines[0].trimmed() != "Tovira Game")
        return QStringLiteral("header is \"%1\"").arg(QString::fromLatin1(lines[0]));
    for (int n = 1; n <= 10; ++n) {
        const QByteArray expected =
            "game" + QByteArray::number(n) + "=" + QByteArray::number(table[n - 1]);
        if (lines[n].trimmed() != expected)
            return QStringLiteral("line %1 is \"%2\", not \"%3\"")
                .arg(n + 1)
                .arg(QString::fromLatin1(lines[n]), QString::fromLatin1(expected));
    }
    return QString();
}

const char *const GameNames[Game_GameList::GameCount] = {
    "Setsuna", "SameGame", "Typing", "Shooting", "Slot", "Slide", "UpDown", "Janken", "Speed",
};
} // namespace

// True when every pixel of the scene rectangle (inside the 2-pixel margin of the rendered
// window) is opaque.
static bool coversScene(const QImage &image)
{
    for (int y = 2; y < 2 + 572; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 2; x < 2 + 1020; ++x) {
            if (qAlpha(line[x]) != 255)
                return false;
        }
    }
    return true;
}

class TestSoak : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString oldCwd;
    std::shared_ptr<SoundRecorder> recorder = std::make_shared<SoundRecorder>();
    int frames = 6000;
    unsigned seed = 20261207;
    QTime wallStart{12, 0, 0, 0};
    qint64 frameCount = 0;

    qint64 elapsedMs() const { return frameCount * 1000 / 60; }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsSet("TOVIRA_SOAK_FRAMES"))
            frames = qMax(2000, qEnvironmentVariableIntValue("TOVIRA_SOAK_FRAMES"));
        if (qEnvironmentVariableIsSet("TOVIRA_SOAK_SEED"))
            seed = qEnvironmentVariable("TOVIRA_SOAK_SEED").toUInt();
        qInfo("soak: %d frames per game, bot seed %u", frames, seed);

        oldCwd = QDir::currentPath();
        QVERIFY(dir.isValid());
        for (const char *name : {"resuorce.rcc", "Tovira.fka"})
            QVERIFY(QFile::link(QDir(TOVIRA_GAME_DIR).absoluteFilePath(QLatin1String(name)),
                                dir.filePath(QLatin1String(name))));
        QVERIFY(QDir::setCurrent(dir.path()));
        QVERIFY(QResource::registerResource(QStringLiteral("resuorce.rcc")));
        QVERIFY(QFontDatabase::addApplicationFont(QStringLiteral(":/font/tanuki")) >= 0);
        QVERIFY(AudioSet::createInstance(recorder, QStringLiteral("Tovira.fka")));
        // The sounds decode behind the first frames, as in the game; that is loading, not
        // growth, so it is over before the first game's frames are counted.
        AudioSet::getInstance()->finishLoading();
        Notice::setHandler([](const QString &title, const QString &text) {
            faults << QStringLiteral("notice %1: %2").arg(title, text);
        });
        Clock::setTimeSource([this] { return wallStart.addMSecs(int(elapsedMs() % 3600000)); });
        Clock::setMonotonicSource([this] { return 1000000 + elapsedMs(); });
        previousHandler = qInstallMessageHandler(recordMessage);
    }

    void cleanupTestCase()
    {
        qInstallMessageHandler(previousHandler);
        Clock::reset();
        Notice::setHandler({});
        AudioSet::destroyInstance();
        QResource::unregisterResource(QStringLiteral("resuorce.rcc"));
        QDir::setCurrent(oldCwd);
    }

    void everyGameSurvivesTheBot_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < Game_GameList::GameCount; ++i)
            QTest::newRow(GameNames[i]) << i;
    }

    // The bot plays one game from the menu for the set number of frames.
    void everyGameSurvivesTheBot()
    {
        QFETCH(int, index);
        // Each game starts from the same clock, so one row run alone replays the same play.
        frameCount = 0;
        messages.clear();
        faults.clear();
        std::mt19937 bot(seed + unsigned(index));
        const auto chance = [&bot](double p) {
            return std::uniform_real_distribution<double>(0, 1)(bot) < p;
        };
        const auto anywhere = [&bot] {
            return QPointF(std::uniform_int_distribution<int>(0, 1019)(bot),
                           std::uniform_int_distribution<int>(0, 571)(bot));
        };
        static const int keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};

        Scene scene(nullptr, 1024, 576);
        SceneInput::activate(scene);
        Item_Lancher *launcher = scene.getLauncher();
        Game_Base *game = scene.getGameList()->game(index);
        QVERIFY2(game, "the game is not in the game list");

        // The bot's last actions, named in a failure so that it can be followed.
        QStringList trail;
        const auto note = [&trail](int f, const QString &action, QPointF at = QPointF(-1, -1)) {
            trail << (at.x() < 0 ? QStringLiteral("%1 %2").arg(f).arg(action)
                                 : QStringLiteral("%1 %2 (%3,%4)")
                                       .arg(f)
                                       .arg(action)
                                       .arg(at.x())
                                       .arg(at.y()));
            if (trail.size() > 12)
                trail.removeFirst();
        };
        const auto failure = [&trail, index](int f, const QString &what) {
            return QStringLiteral("%1, frame %2: %3; last actions: %4")
                .arg(GameNames[index])
                .arg(f)
                .arg(what, trail.join(QStringLiteral(", ")));
        };

        // Places worth a click besides random ones: the difficulty buttons of the duel title,
        // the card places of the card games.
        QList<QPointF> spots;
        for (int i = 0; index == 0 && i < 3; ++i)
            spots << Game_Setsuna::buttonRect(i).center();
        for (int i = 0; index == 6 && i < Game_UpDown_Table::Places; ++i)
            spots << static_cast<Game_UpDown *>(game)->placeRect(i).center();
        for (int i = 0; index == 8 && i < Game_Speed_Table::TableCards; ++i)
            spots << Game_Speed_Table::tableRect(i).center();

        // One in-game action, skipped once an earlier action of the frame has left the game
        // (a click meant for the game must not land on the menu).
        const auto act = [&](int f, const QString &action, const std::function<void()> &send) {
            if (game->scene() != &scene)
                return;
            note(f, action);
            send();
        };

        QImage image(1024, 576, QImage::Format_ARGB32_Premultiplied);
        int returns = 0, starts = 0, framesInGame = 0;
        qint64 firstPeak = 0, lastPeak = 0;
        bool wasInGame = false;
        for (int f = 0; f < frames; ++f) {
            // Exactly one screen is in the scene at any time.
            int screens = 0;
            for (QGraphicsItem *item : scene.items())
                screens += item->parentItem() == nullptr;
            if (screens != 1)
                QFAIL(qPrintable(failure(f, QStringLiteral("%1 screens shown").arg(screens))));

            const bool inGame = game->scene() == &scene;
            if (wasInGame && !inGame) {
                // Back on the menu: the scene has just rewritten the score file.
                ++returns;
                const QString problem = scoreFileProblem(scene.getScores());
                QVERIFY2(
                    problem.isEmpty(),
                    qPrintable(failure(
                        f,
                        QStringLiteral("score file after game %1 %2").arg(returns).arg(problem))));
            }
            wasInGame = inGame;

            if (!inGame) {
                // On the menu the pointer wanders, then picks this game's entry.
                if (launcher->scene() != &scene)
                    QFAIL(qPrintable(failure(f, QStringLiteral("the menu is not shown"))));
                if (chance(0.2)) {
                    const QPointF at = launcher->mapToScene(launcher->gameRect(index).center());
                    note(f, QStringLiteral("menu entry"), at);
                    SceneInput::click(scene, at);
                    starts += game->scene() == &scene;
                } else {
                    SceneInput::hover(scene, anywhere());
                }
            } else {
                ++framesInGame;
                if (chance(0.05)) {
                    const int key = keys[std::uniform_int_distribution<int>(0, 3)(bot)];
                    act(f, QStringLiteral("arrow %1").arg(key, 0, 16),
                        [&] { SceneInput::key(scene, key); });
                }
                if (chance(0.004))
                    act(f, QStringLiteral("Space"), [&] { SceneInput::key(scene, Qt::Key_Space); });
                if (chance(0.002))
                    act(f, QStringLiteral("Escape"),
                        [&] { SceneInput::key(scene, Qt::Key_Escape); });
                if (chance(0.1)) {
                    const QPointF at = anywhere();
                    act(f, QStringLiteral("move"), [&] { SceneInput::hover(scene, at); });
                }
                // Aimed at the dialog buttons now and then: retry or leave from a result, yes or
                // no on the question, an ordinary click during play.
                QPointF at(-1, -1);
                if (chance(0.04))
                    at = anywhere();
                else if (chance(0.003))
                    at = game->leftButtonRect().center();
                else if (chance(0.003))
                    at = game->rightButtonRect().center();
                else if (!spots.isEmpty() && chance(0.03))
                    at = spots[std::uniform_int_distribution<int>(0, spots.size() - 1)(bot)];
                if (at.x() >= 0) {
                    act(f, QStringLiteral("click (%1,%2)").arg(at.x()).arg(at.y()),
                        [&] { SceneInput::click(scene, at); });
                }
            }

            QCoreApplication::processEvents();
            ++frameCount;
            // Now and then the frame starts see-through: a screen that says it hides the scene's
            // background (which is then not drawn) must still leave no hole in the scene.
            const bool checkCover =
                f % 3 == 0 && game->scene() == &scene && !game->opaqueArea().isEmpty();
            if (checkCover)
                image.fill(Qt::transparent);
            QPainter painter(&image);
            scene.render(&painter, QRectF(0, 0, 1024, 576), QRectF(-2, -2, 1024, 576));
            painter.end();
            if (checkCover && !coversScene(image))
                faults << QStringLiteral("a see-through pixel in the scene");
            recorder->clear();

            if (f % 50 == 0 || f == frames - 1) {
                const qint64 kb = residentKb();
                // The first half is the reference: a game's passing peaks (a result screen's
                // kept picture, a glyph cache filling) show there at least once, while a leak
                // keeps climbing through the second half.
                if (f < frames / 2)
                    firstPeak = qMax(firstPeak, kb);
                if (f >= frames - 1000)
                    lastPeak = qMax(lastPeak, kb);
            }
            if (!faults.isEmpty())
                QFAIL(qPrintable(failure(f, faults.join(QStringLiteral(" | ")))));
        }

        // Leave for the menu the way a player would, from the play or from a result screen.
        if (game->scene() == &scene) {
            SceneInput::key(scene, Qt::Key_Escape);
            if (game->isQuestionShown())
                SceneInput::key(scene, Qt::Key_Space);
            else
                SceneInput::click(scene, game->rightButtonRect().center());
            if (game->scene() == &scene)
                game->exitGame();
        }
        QVERIFY(launcher->scene() == &scene);
        const QString problem = scoreFileProblem(scene.getScores());
        QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("score file %1").arg(problem)));

        const double growthMb = (lastPeak - firstPeak) / 1024.0;
        qInfo("soak %s: %d frames (%d in the game), %d starts, %d returns to the menu, best %d; "
              "RssAnon peak first half %lld kB, last 1000 frames %lld kB, growth %.2f MB; "
              "%lld messages",
              GameNames[index], frames, framesInGame, starts, returns + 1, scene.getScores()[index],
              firstPeak, lastPeak, growthMb, qint64(messages.size()));
        QVERIFY2(framesInGame > frames / 2, "the bot spent most frames outside the game");
        QVERIFY2(starts >= 2, "the bot never came back to the game from the menu");
        QVERIFY2(growthMb < 2.0, qPrintable(QStringLiteral("memory grew by %1 MB").arg(growthMb)));
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
