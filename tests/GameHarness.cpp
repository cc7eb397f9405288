#include "GameHarness.h"
#include "SceneInput.h"
#include "TestFiles.h"
#include "base/Clock.h"
#include "games/frame/Game_Score.h"
#include "sound/AudioSet.h"

#include <QElapsedTimer>
#include <QFontDatabase>
#include <QPainter>
#include <QResource>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

namespace GameHarness
{
bool loadArt(const QString &rcc)
{
    const QString file = rcc.isEmpty() ? QStringLiteral(TOVIRA_GAME_DIR "/resuorce.rcc") : rcc;
    return QResource::registerResource(file) && loadFont();
}

bool loadFont()
{
    return QFontDatabase::addApplicationFont(QStringLiteral(":/font/tanuki")) >= 0;
}

void followClock(const QTime &now)
{
    const QTime *time = &now;
    Clock::setTimeSource([time] { return *time; });
    Clock::setMonotonicSource([time] { return qint64(QTime(0, 0).msecsTo(*time)); });
}

std::shared_ptr<SoundRecorder> recordSounds(const QString &archive)
{
    auto recorder = std::make_shared<SoundRecorder>();
    AudioSet::destroyInstance();
    return AudioSet::createInstance(recorder, archive) ? recorder : nullptr;
}

std::shared_ptr<SoundRecorder> recordEverySound()
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("every-sound.fka"));
    if (!QFile::exists(path) &&
        !writeSilentArchive(path,
                            {"BGM_1.wav",        "BGM_2.wav",          "BGM_3.wav",
                             "win.wav",          "lose.wav",           "draw.wav",
                             "samegame2-4.wav",  "samegame5over.wav",  "samegame_otetsuki.wav",
                             "miss.wav",         "se/hand.wav",        "se/round_win.wav",
                             "se/signal.wav",    "se/false_start.wav", "se/shot.wav",
                             "se/hit.wav",       "se/bonus.wav",       "se/bad_target.wav",
                             "se/reel_stop.wav", "se/pay.wav",         "se/reel_lost.wav",
                             "se/card.wav",      "se/wrong.wav",       "se/shuffle.wav",
                             "se/tick.wav",      "se/key.wav",         "se/cleared.wav",
                             "se/best.wav",      "se/result.wav",      "se/question.wav",
                             "se/hover.wav",     "se/click.wav",       "se/locked.wav"}))
        return nullptr;
    auto recorder = recordSounds(path);
    if (recorder)
        AudioSet::getInstance()->finishLoading();
    return recorder;
}

void verifyEnded(const QSignalSpy &ended, const QString &name, int score)
{
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).toString(), name);
    QCOMPARE(ended.at(0).at(1).toInt(), score);
}

QGraphicsScene *activeScene()
{
    auto *scene = new QGraphicsScene(0, 0, 1020, 572);
    SceneInput::activate(*scene);
    return scene;
}

void ready(Game_Base &game, int best)
{
    if (best >= 0) {
        game.getScore()->setBest(best);
        game.getScore()->resetScore();
    }
    game.createResources();
    game.initGame();
}

void start(QGraphicsScene &scene, Game_Base *game, int best)
{
    scene.addItem(game);
    ready(*game, best);
}

QImage paint(QGraphicsItem &item, QSize size, const QColor &under, const QColor &pen)
{
    if (size.isEmpty())
        size = item.boundingRect().size().toSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(under);
    QPainter painter(&image);
    painter.setPen(pen);
    item.paint(&painter, nullptr, nullptr);
    return image;
}

bool announceArt()
{
    const bool haveArt = loadArt(QStringLiteral("resuorce.rcc"));
    std::printf("resource file: %s\n", haveArt ? "loaded" : "missing (pictures empty)");
    return haveArt;
}

int benchFrames(int argc, char **argv, int frames)
{
    announceArt();
    return argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : frames;
}

double msPerFrame(int frames, const std::function<void(QPainter &)> &draw, QSize size)
{
    QImage target(size, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::black);
    QPainter painter(&target);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < frames; ++i)
        draw(painter);
    return clock.nsecsElapsed() / 1e6 / frames;
}
} // namespace GameHarness

bool GameScene::setUpFlat(const QTime &now)
{
    if (!GameHarness::loadArt())
        return false;
    flat = std::make_unique<FlatPictures>();
    GameHarness::followClock(now);
    return flat->ok;
}

void GameScene::open(Game_Base *game, int best)
{
    scene = GameHarness::activeScene();
    GameHarness::start(*scene, game, best);
}

void GameScene::close()
{
    delete scene;
    scene = nullptr;
}

bool GameView::show(bool stillView)
{
    scene = std::make_unique<QGraphicsScene>(0, 0, 1020, 572);
    view = std::make_unique<QGraphicsView>(scene.get());
    view->setFixedSize(1024, 576);
    if (stillView)
        view->setViewportUpdateMode(QGraphicsView::NoViewportUpdate);
    view->show();
    return QTest::qWaitForWindowActive(view.get());
}

bool GameView::open(Game_Base *game, bool stillView)
{
    const bool active = show(stillView);
    GameHarness::start(*scene, game, 0);
    game->stopTimers(); // the test paints the frames itself
    return active;
}

void GameView::close()
{
    view.reset();
    scene.reset();
}
