#include "app/Scene.h"

#include "app/Game_GameList.h"
#include "app/ScoreFile.h"
#include "base/HighDensity.h"
#include "base/Notice.h"
#include "base/PicturePrefetch.h"
#include "launcher/Item_Base.h"
#include "launcher/Item_Lancher.h"
#include "sound/AudioSet.h"
#include "story/Adv_ED1.h"
#include "story/Adv_ED2.h"
#include "story/Adv_ED3.h"
#include "story/Adv_OP.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QProcess>

#include <future>

Scene::Scene(QObject *parent, int width, int height) : QGraphicsScene(parent)
{
    setSceneRect(0, 0, width - 4, height - 4);

    // The launcher leaves a strip of the background showing on the first frame. It decodes on
    // another thread while the launcher decodes its own pictures here, and is made ready for
    // the painter there too.
    std::future<QImage> decodedBackground = std::async(std::launch::async, [] {
        QImage image;
        if (PicturePrefetch::take(QStringLiteral(":/img/BG"), image))
            return image;
        if (image.load(QStringLiteral(":/img/BG")))
            image = std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        return image;
    });

    launcher = new Item_Lancher(0, 0);
    launcher->setWidth(int(sceneRect().width()));
    launcher->setHeight(int(sceneRect().height()));
    background = new QImage(decodedBackground.get());

    gameList = new Game_GameList();

    advOP = new Adv_OP(0, 0);
    advED1 = new Adv_ED1(0, 0);
    advED2 = new Adv_ED2(0, 0);
    advED3 = new Adv_ED3(0, 0);

    configPath = new QString(tr("./tovira.conf"));
    loadScores();
    launcher->setScores(scores);

    connect(launcher, &Item_Lancher::signal_playGame, this, &Scene::slot_playGame);
    connect(launcher, &Item_Lancher::signal_playAdv, this, &Scene::slot_playAdv);
    connect(gameList, &Game_GameList::signal_palyLancher, this,
            qOverload<int, int>(&Scene::slot_playLancher));
    for (int i = 0; i < StoryCount; ++i)
        connect(getStory(i), &Adv_Base::playLancher, this,
                qOverload<int>(&Scene::slot_playLancher));

    slot_playLancher(-1, 0);
}

Scene::~Scene()
{
    delete background;
    background = nullptr;
    delete launcher;
    launcher = nullptr;
    delete gameList;
    gameList = nullptr;
    delete advOP;
    advOP = nullptr;
    delete advED1;
    advED1 = nullptr;
    delete advED2;
    advED2 = nullptr;
    delete advED3;
    advED3 = nullptr;
    delete configPath;
    configPath = nullptr;
}

void Scene::drawBackground(QPainter *painter, const QRectF &rect)
{
    // Every screen but a see-through one covers the background: drawing it would cost a whole
    // picture per frame that nobody sees.
    const QList<QGraphicsItem *> shown = items();
    for (const QGraphicsItem *item : shown) {
        const Item_Base *screen = dynamic_cast<const Item_Base *>(item);
        if (screen && !item->parentItem() && item->isVisible() && !screen->opaqueArea().isEmpty() &&
            item->sceneTransform().mapRect(screen->opaqueRect()).contains(rect)) {
            QGraphicsScene::drawBackground(painter, rect);
            return;
        }
    }
    loadBackground();
    painter->drawImage(QPointF(0, 0), *background);
    QGraphicsScene::drawBackground(painter, rect);
}

void Scene::loadBackground()
{
    if (backgroundLoaded)
        return;
    backgroundLoaded = true;
    if (background->format() != QImage::Format_ARGB32_Premultiplied && !background->isNull())
        *background = background->convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void Scene::reloadBackground()
{
    HighDensity::load(*background, QStringLiteral(":/img/BG"));
    backgroundLoaded = false;
    loadBackground();
    update();
}

void Scene::readScores()
{
    ScoreFile(*configPath).read(scores);
}

bool Scene::writeScores()
{
    return ScoreFile(*configPath).write(scores);
}

void Scene::loadScores()
{
    ScoreFile(*configPath).load(scores);
}

void Scene::slot_playGame(int index)
{
    // An entry whose game does not exist (or an index out of range) leaves the launcher up.
    if (index != SiblingIndex && !gameList->hasGame(index))
        return;
    if (index == SiblingIndex) {
        startSibling();
        return;
    }
    AudioSet *audio = AudioSet::getInstance();
    if (audio)
        audio->stopBgm1();
    if (audio)
        audio->playBgm2();
    removeItem(launcher);
    gameList->startGame(this, index, scores[index]);
}

void Scene::startSibling()
{
    // The sibling program lives in the working directory and gets this program's path as its
    // only argument; the argument list never passes through a shell.
    const QString sibling = QDir::current().absoluteFilePath(QStringLiteral("veldranix.exe"));
    if (QProcess::startDetached(sibling, {QCoreApplication::applicationFilePath()},
                                QDir::currentPath())) {
        if (AudioSet *audio = AudioSet::getInstance())
            audio->stopBgm1();
        QCoreApplication::quit();
        return;
    }
    // Missing or not runnable: the player stays on the menu, its music playing on, and is told.
    Notice::show(tr("Tovira Parade"), tr("veldranix.exe を始められませんでした。"));
}

Adv_Base *Scene::getStory(int index) const
{
    switch (index) {
    case 0:
        return advOP;
    case 1:
        return advED1;
    case 2:
        return advED2;
    case 3:
        return advED3;
    default:
        return nullptr;
    }
}

void Scene::slot_playAdv(int index)
{
    if (launcher->scene() == this)
        removeItem(launcher);
    if (AudioSet *audio = AudioSet::getInstance()) {
        audio->stopBgm1();
        audio->playBgm3();
    }
    // Any other index leaves the scene without a screen.
    Adv_Base *story = getStory(index);
    if (!story)
        return;
    story->stopStory();
    if (story->scene() != this)
        addItem(story);
    story->startStory();
}

void Scene::slot_playLancher(int index)
{
    // The score file is left alone: a story changes no score.
    Adv_Base *story = getStory(index);
    if (story && story->scene() == this)
        removeItem(story);
    if (AudioSet *audio = AudioSet::getInstance()) {
        audio->stopBgm3();
        audio->playBgm1();
    }
    if (launcher->scene() != this)
        addItem(launcher);
    update();
}

void Scene::slot_playLancher(int index, int score)
{
    AudioSet *audio = AudioSet::getInstance();
    if (index >= 0) {
        gameList->stopGame(this, index);
        if (audio)
            audio->stopBgm2();
        if (index < ScoreCount && scores[index] < score)
            scores[index] = score;
    }
    // Also the first showing of the launcher at start-up (index -1).
    if (audio)
        audio->playBgm1();
    launcher->setScores(scores);
    if (launcher->scene() != this)
        addItem(launcher);
    // Reading back after a failed write would put the old scores over a new best; the table
    // keeps it, and the next game writes it again.
    if (writeScores())
        readScores();
}
