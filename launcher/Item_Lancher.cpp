#include "launcher/Item_Lancher.h"

#include "base/HighDensity.h"
#include "base/Picture.h"
#include "base/ResourceFile.h"
#include "base/groupDigits.h"
#include "launcher/Lanch_SoundDress.h"
#include "sound/AudioSet.h"

#include <QDebug>
#include <QFont>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QImageReader>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

#include <utility>

namespace
{
void setSilent(bool value)
{
    if (AudioSet *audio = AudioSet::getInstance())
        audio->setSilent(value);
}

void playEffect(AudioSet::Effect effect)
{
    if (AudioSet *audio = AudioSet::getInstance())
        audio->play(effect);
}

bool isMuted()
{
    const AudioSet *audio = AudioSet::getInstance();
    return audio && audio->isMuted();
}

// Loads a numbered or background picture; failures name the path in quotes.
void loadQuoted(QImage &image, const QString &path)
{
    if (!HighDensity::load(image, path))
        qDebug() << "ImageReadError:" << path;
}

const QPointF InfoPos(714, 156);
const QPointF ScoreBoardPos(762, 18);
const QRectF TotalLine(782, 64, 147, 20);
const QRectF HoverLine(782, 111, 147, 20);
} // namespace

Item_Lancher::Item_Lancher(int x, int y) : Lanch_Base(x, y)
{
    setFlag(ItemIsMovable, false);
    setAcceptHoverEvents(true);

    loadPictures();

    totalScore = 0;
    hoverIndex = -1;
    font.setFamily(QStringLiteral("Tanuki Permanent Marker"));

    setFocus(Qt::OtherFocusReason);
    setPos(-1, -1);
}

void Item_Lancher::loadPictures()
{
    loadQuoted(background, QStringLiteral(":/img/lancher/BG"));
    // The item's size is the picture's size in the scene, whichever set it came from.
    setWidth(int(background.deviceIndependentSize().width()));
    setHeight(int(background.deviceIndependentSize().height()));

    for (int i = 0; i < GameCount; ++i)
        loadQuoted(gamePictures[i], QStringLiteral(":/img/lancher/GAME") + QString::number(i));
    for (int j = 0; j < StoryCount; ++j)
        loadStoryPicture(j, false);
    // Only the no-game information picture is on the first frame; the others are decoded after
    // it, but each is looked at now so that a missing one is still reported here.
    for (int i = 0; i < InfoCount; ++i) {
        const QString path = QStringLiteral(":/img/lancher/INFO") + QString::number(i);
        infoDecoded[i] = true;
        if (i == NoGameInfo)
            loadQuoted(infoPictures[i], path);
        else if (!QImageReader(path).canRead())
            qDebug() << "ImageReadError:" << path;
        else
            infoDecoded[i] = false;
    }
    HighDensity::load(scorePicture, QStringLiteral(":/img/lancher/SCORE"),
                      "ImageReadError: /img/lancher/SCORE");
}

void Item_Lancher::loadStoryPicture(int index, bool unlocked)
{
    // The opening has one picture; an ending shows its locked picture (_0) until it opens (_1).
    const QString name = index == 0 ? QStringLiteral("OP")
                                    : QStringLiteral("ED0%1_%2").arg(index).arg(unlocked ? 1 : 0);
    HighDensity::load(storyPictures[index], QStringLiteral(":/img/lancher/") + name,
                      "ImageReadError: /img/lancher/" + name);
}

void Item_Lancher::reloadPictures()
{
    loadPictures();
    // Unlocked story pictures come back with the scores.
    setScores(scores);
    update();
}

qint64 Item_Lancher::unlockScore(int index)
{
    switch (index) {
    case 0:
        return 0;
    case 1:
        return 30000;
    case 2:
        return 60000;
    case 3:
        return 100000;
    default:
        return -1;
    }
}

bool Item_Lancher::isStoryUnlocked(int index) const
{
    const qint64 needed = unlockScore(index);
    return needed >= 0 && totalScore >= needed;
}

void Item_Lancher::setScores(const int *table)
{
    totalScore = 0;
    for (int i = 0; i < GameCount; ++i) {
        scores[i] = table[i];
        totalScore += table[i];
    }

    // Unlocked pictures are never swapped back: best scores only grow.
    for (int j = 1; j < StoryCount; ++j) {
        if (isStoryUnlocked(j))
            loadStoryPicture(j, true);
    }
    update();
}

QRectF Item_Lancher::gameRect(int index) const
{
    if (index < 0 || index >= GameCount)
        return QRectF();
    const int left = index < 5 ? 400 : 534;
    const int top = index < 5 ? 82 * index + 157 : 82 * index - 253;
    return QRectF(QPointF(left, top), gamePictures[index].deviceIndependentSize());
}

QRectF Item_Lancher::storyRect(int index) const
{
    static const QPointF corners[StoryCount] = {{25, 340}, {193, 340}, {25, 443}, {193, 443}};
    if (index < 0 || index >= StoryCount)
        return QRectF();
    return QRectF(corners[index], storyPictures[index].deviceIndependentSize());
}

const QImage &Item_Lancher::currentInfoPicture() const
{
    const int index = hoverIndex >= 0 ? hoverIndex : NoGameInfo;
    if (!infoDecoded[index]) {
        HighDensity::load(infoPictures[index],
                          QStringLiteral(":/img/lancher/INFO") + QString::number(index));
        infoDecoded[index] = true;
    }
    return infoPictures[index];
}

QString Item_Lancher::hoverScoreText() const
{
    return hoverIndex >= 0 ? groupedNumber(scores[hoverIndex]) : QString();
}

void Item_Lancher::slot_playGame(int index)
{
    emit signal_playGame(index);
}

void Item_Lancher::slot_playAdv(int index)
{
    if (isStoryUnlocked(index))
        emit signal_playAdv(index);
}

void Item_Lancher::decodeNextInfoPicture()
{
    for (int i = 0; i < InfoCount; ++i) {
        if (!infoDecoded[i]) {
            HighDensity::load(infoPictures[i],
                              QStringLiteral(":/img/lancher/INFO") + QString::number(i));
            infoDecoded[i] = true;
            // One picture per turn of the event loop keeps the menu and its music responsive.
            QTimer::singleShot(0, this, &Item_Lancher::decodeNextInfoPicture);
            return;
        }
    }
    // All decoded: the resource file's pages they were read from can go.
    ResourceFile::releasePages();
}

void Item_Lancher::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!infoDecodingStarted) {
        infoDecodingStarted = true;
        QTimer::singleShot(0, this, &Item_Lancher::decodeNextInfoPicture);
    }
    if (QSizeF(Picture::sizeOf(background)) == boundingRect().size())
        Picture::drawAtDeviceSize(painter, QPointF(0, 0), background);
    else
        painter->drawImage(boundingRect(), background);

    for (int i = 0; i < GameCount; ++i)
        painter->drawImage(gameRect(i).topLeft(), gamePictures[i]);
    for (int j = 0; j < StoryCount; ++j)
        painter->drawImage(storyRect(j).topLeft(), storyPictures[j]);

    painter->drawImage(InfoPos, currentInfoPicture());

    painter->drawImage(ScoreBoardPos, scorePicture);
    QFont boardFont = font;
    boardFont.setPointSize(12);
    painter->setFont(boardFont);
    painter->drawText(TotalLine, Qt::AlignCenter, groupedNumber(totalScore));
    painter->drawText(HoverLine, Qt::AlignCenter, hoverScoreText());

    Lanch_SoundDress::draw(painter, soundPanel, isMuted());
}

int Item_Lancher::entryAt(const QPointF &p) const
{
    for (int i = 0; i < GameCount; ++i) {
        if (gameRect(i).contains(p))
            return i;
    }
    for (int j = 0; j < StoryCount; ++j) {
        if (storyRect(j).contains(p))
            return GameCount + j;
    }
    return -1;
}

void Item_Lancher::hoverMoveEvent(QGraphicsSceneHoverEvent *event)
{
    const QPointF p = event->pos();
    bool onEntry = false;
    for (int i = 0; i < GameCount; ++i) {
        if (gameRect(i).contains(p)) {
            hoverIndex = i;
            onEntry = true;
            break;
        }
    }
    for (int j = 0; j < StoryCount; ++j) {
        if (storyRect(j).contains(p)) {
            hoverIndex = -1;
            onEntry = true;
        }
    }
    setSilent(onEntry);
    // The sound button is an entry of its own for the ear.
    const int pointed =
        Lanch_SoundPanel::buttonRect().contains(p) ? GameCount + StoryCount : entryAt(p);
    if (pointed >= 0 && pointed != pointedEntry)
        playEffect(AudioSet::Effect::Hover);
    pointedEntry = pointed;
    update();
}

void Item_Lancher::keyReleaseEvent(QKeyEvent *event)
{
    if (soundPanel.key(event->key()))
        update();
    else
        Lanch_Base::keyReleaseEvent(event);
}

void Item_Lancher::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // Accepting the press makes the launcher the mouse grabber, so the release comes here.
    event->accept();
    doubleClicked = false;
    update();
}

void Item_Lancher::mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event)
{
    event->accept();
    doubleClicked = true;
}

void Item_Lancher::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (std::exchange(doubleClicked, false))
        return;
    const QPointF p = event->pos();
    setSilent(false);
    // The open panel lies over the information picture, never over an entry.
    if (soundPanel.click(p)) {
        playEffect(AudioSet::Effect::Click);
        update();
        return;
    }
    const int entry = entryAt(p);
    if (entry >= GameCount && !isStoryUnlocked(entry - GameCount))
        playEffect(AudioSet::Effect::Locked);
    else if (entry >= 0)
        playEffect(AudioSet::Effect::Click);
    for (int i = 0; i < GameCount; ++i) {
        if (gameRect(i).contains(p))
            emit signal_playGame(i);
    }
    for (int j = 0; j < StoryCount; ++j) {
        if (storyRect(j).contains(p))
            slot_playAdv(j);
    }
    update();
}

// The menu picture is drawn over the whole item.
QRectF Item_Lancher::opaqueRect() const
{
    return background.isNull() ? QRectF() : boundingRect();
}
