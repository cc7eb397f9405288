#include "app/Scene.h"

#include "app/Game_GameList.h"
#include "app/Language.h"
#include "app/SceneNotice.h"
#include "app/ScoreFile.h"
#include "base/HighDensity.h"
#include "base/Notice.h"
#include "base/PicturePrefetch.h"
#include "games/frame/Game_Base.h"
#include "launcher/Item_Base.h"
#include "launcher/Item_Lancher.h"
#include "launcher/Lanch_SoundDress.h"
#include "sound/AudioSet.h"
#include "story/Adv_ED1.h"
#include "story/Adv_ED2.h"
#include "story/Adv_ED3.h"
#include "story/Adv_OP.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QProcess>

#include <future>

Scene::Scene(QObject *parent, int width, int height) : QGraphicsScene(parent)
{
    setSceneRect(0, 0, width - 4, height - 4);
    // The menu's sound button shows the mute too: the whole screen is drawn again.
    connect(&muteToggle, &MuteToggle::badgeChanged, this, [this] { update(); });

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

    launcher = std::make_unique<Item_Lancher>(0, 0);
    launcher->setWidth(int(sceneRect().width()));
    launcher->setHeight(int(sceneRect().height()));
    background = decodedBackground.get();

    gameList = std::make_unique<Game_GameList>();

    advOP = std::make_unique<Adv_OP>(0, 0);
    advED1 = std::make_unique<Adv_ED1>(0, 0);
    advED2 = std::make_unique<Adv_ED2>(0, 0);
    advED3 = std::make_unique<Adv_ED3>(0, 0);

    //: The score file's path, the same in every language: keep it as it stands.
    configPath = tr("./tovira.conf");
    loadScores();
    launcher->setScores(scores);

    connect(launcher.get(), &Item_Lancher::signal_playGame, this, &Scene::slot_playGame);
    connect(launcher.get(), &Item_Lancher::signal_playAdv, this, &Scene::slot_playAdv);
    connect(launcher.get(), &Item_Lancher::signal_switchLanguage, this,
            &Scene::slot_switchLanguage);
    connect(gameList.get(), &Game_GameList::signal_palyLancher, this,
            qOverload<int, int>(&Scene::slot_playLancher));
    connect(gameList.get(), &Game_GameList::signal_resultShown, this, &Scene::slot_keepScores);
    for (int i = 0; i < StoryCount; ++i)
        connect(getStory(i), &Adv_Base::playLancher, this,
                qOverload<int>(&Scene::slot_playLancher));

    slot_playLancher(-1, 0);
}

Scene::~Scene() = default;

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
    painter->drawImage(QPointF(0, 0), background);
    QGraphicsScene::drawBackground(painter, rect);
}

void Scene::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_M && !event->isAutoRepeat() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        muteToggle.toggle();
        event->accept();
        return;
    }
    QGraphicsScene::keyPressEvent(event);
}

void Scene::drawForeground(QPainter *painter, const QRectF &rect)
{
    if (muteToggle.isBadgeShown() && rect.intersects(MuteToggle::badgeRect()))
        Lanch_SoundDress::drawBadge(painter, MuteToggle::badgeRect(), muteToggle.isMuted());
    // Screens are placed 2 px up and left and some are larger than the scene, and the
    // background picture is too: scaled to a screen of another shape, their edges would show
    // as strips in the bars.
    const QRectF shown = sceneRect();
    if (shown.contains(rect))
        return;
    const QRectF bars[] = {
        QRectF(rect.left(), rect.top(), rect.width(), shown.top() - rect.top()),
        QRectF(rect.left(), shown.bottom(), rect.width(), rect.bottom() - shown.bottom()),
        QRectF(rect.left(), rect.top(), shown.left() - rect.left(), rect.height()),
        QRectF(shown.right(), rect.top(), rect.right() - shown.right(), rect.height())};
    for (const QRectF &bar : bars) {
        if (bar.width() > 0 && bar.height() > 0)
            painter->fillRect(bar, Qt::black);
    }
}

void Scene::loadBackground()
{
    if (backgroundLoaded)
        return;
    backgroundLoaded = true;
    if (background.format() != QImage::Format_ARGB32_Premultiplied && !background.isNull())
        background = background.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void Scene::reloadBackground()
{
    HighDensity::load(background, QStringLiteral(":/img/BG"));
    backgroundLoaded = false;
    loadBackground();
    update();
}

void Scene::readScores()
{
    ScoreFile(configPath).read(scores);
}

bool Scene::writeScores()
{
    return ScoreFile(configPath).write(scores);
}

void Scene::loadScores()
{
    ScoreFile(configPath).load(scores);
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
    removeItem(launcher.get());
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
    // Missing or not runnable: the player stays on the menu, its music playing on, and is told
    // on the stage itself.
    Notice::show(tr("Tovira Parade"), tr("veldranix.exe を始められませんでした。"),
                 [this](const QString &, const QString &text) { showNotice(text); });
}

void Scene::showNotice(const QString &text)
{
    if (notice)
        return;
    notice = new SceneNotice(text, sceneRect());
    addItem(notice);
    notice->setFocus(Qt::OtherFocusReason);
    connect(notice, &SceneNotice::closed, this, [this] {
        if (launcher->scene() == this)
            launcher->setFocus(Qt::OtherFocusReason);
    });
}

Adv_Base *Scene::getStory(int index) const
{
    switch (index) {
    case 0:
        return advOP.get();
    case 1:
        return advED1.get();
    case 2:
        return advED2.get();
    case 3:
        return advED3.get();
    default:
        return nullptr;
    }
}

void Scene::slot_playAdv(int index)
{
    if (launcher->scene() == this)
        removeItem(launcher.get());
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
        addItem(launcher.get());
    // The keys work on the menu at once, without a click first.
    launcher->setFocus(Qt::OtherFocusReason);
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
    if (launcher->scene() != this)
        addItem(launcher.get());
    // The keys work on the menu at once, without a click first.
    launcher->setFocus(Qt::OtherFocusReason);
    // Reading back after a failed write would put the old scores over a new best; the table
    // keeps it, and the next game writes it again. The menu shows what the file now holds,
    // bests of another copy of the game included.
    if (writeScores())
        readScores();
    launcher->setScores(scores);
}

void Scene::slot_switchLanguage()
{
    const Language::Code next = Language::other(Language::current());
    Language::apply(next);
    Language::remember(next);
    reloadBackground();
    launcher->reloadPictures();
}

void Scene::slot_keepScores()
{
    const int index = gameList->shownIndex(this);
    if (index >= 0 && index < ScoreCount)
        scores[index] = qMax(scores[index], gameList->game(index)->keptScore());
    // Nothing is read back here: the menu is not on screen, and a program on its way out must
    // not stop for the notice of an unreadable file.
    writeScores();
}
