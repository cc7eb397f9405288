#include "launcher/Item_Lancher.h"

#include "base/HighDensity.h"
#include "base/Keys.h"
#include "base/Picture.h"
#include "base/ResourceFile.h"
#include "base/groupDigits.h"
#include "launcher/Lanch_KeyNavigation.h"
#include "launcher/Lanch_LanguageButton.h"
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

// The entry under the pointer lights up: a warm wash over its picture inside a gold ring with a
// soft glow, the way the dialogs light the button under the pointer. The corners round as far as
// half the entry's height, so the round sound button gets a round light.
void paintLight(QPainter *painter, const QRectF &entry)
{
    const qreal r = qMin<qreal>(10, entry.height() / 2);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(255, 246, 214, 70));
    painter->drawRoundedRect(entry, r, r);
    painter->setBrush(Qt::NoBrush);
    for (int ring = 3; ring >= 1; --ring) {
        painter->setPen(QPen(QColor(255, 210, 63, 60), 2 * ring + 4));
        painter->drawRoundedRect(entry.adjusted(-3, -3, 3, 3), r + 2, r + 2);
    }
    painter->setPen(QPen(QColor(0x2b, 0x1d, 0x2e), 6));
    painter->drawRoundedRect(entry.adjusted(-4, -4, 4, 4), r + 3, r + 3);
    painter->setPen(QPen(QColor(0xff, 0xd2, 0x3f), 3.5));
    painter->drawRoundedRect(entry.adjusted(-4, -4, 4, 4), r + 3, r + 3);
}

// The light is drawn once per entry size and device scale and copied afterwards: its wide
// antialiased rings cost a frame far more than the copy.
void drawLight(QPainter *painter, const QRectF &entry)
{
    constexpr int Reach = 12; // the glow's reach beyond the entry
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const qreal scale = ratio * painter->transform().m11();
    static QImage light;
    static QSizeF lightSize;
    static qreal lightScale = 0;
    if (light.isNull() || lightSize != entry.size() || lightScale != scale) {
        const QSizeF size = entry.size() + QSizeF(2 * Reach, 2 * Reach);
        light = QImage((size * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
        light.setDevicePixelRatio(scale);
        light.fill(Qt::transparent);
        QPainter p(&light);
        paintLight(&p, QRectF(QPointF(Reach, Reach), entry.size()));
        lightSize = entry.size();
        lightScale = scale;
    }
    painter->drawImage(entry.topLeft() - QPointF(Reach, Reach), light);
}
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
    // it, but each is looked at now so that a missing one is still reported here. Those of an
    // earlier load are dropped: they may be of the other size or language.
    for (int i = 0; i < InfoCount; ++i) {
        const QString path = QStringLiteral(":/img/lancher/INFO") + QString::number(i);
        infoPictures[i] = QImage();
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
    // The next frame decodes the information pictures again, one per turn of the event loop.
    infoDecodingStarted = false;
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
    if (pointedGame >= 0)
        drawLight(painter, gameRect(pointedGame));
    for (int j = 0; j < StoryCount; ++j)
        painter->drawImage(storyRect(j).topLeft(), storyPictures[j]);
    if (pointedStory >= 0)
        drawLight(painter, storyRect(pointedStory));

    painter->drawImage(InfoPos, currentInfoPicture());

    painter->drawImage(ScoreBoardPos, scorePicture);
    QFont boardFont = font;
    boardFont.setPointSize(12);
    painter->setFont(boardFont);
    painter->drawText(TotalLine, Qt::AlignCenter, groupedNumber(totalScore));
    painter->drawText(HoverLine, Qt::AlignCenter, hoverScoreText());

    Lanch_SoundDress::draw(painter, soundPanel, isMuted());
    Lanch_SoundDress::drawLanguageButton(painter, font);
    if (pointedButton >= 0)
        drawLight(painter, pointedButton == SoundButton ? Lanch_SoundPanel::buttonRect()
                                                        : Lanch_LanguageButton::rect());
}

int Item_Lancher::buttonAt(const QPointF &p)
{
    if (Lanch_SoundPanel::buttonRect().contains(p))
        return SoundButton;
    if (Lanch_LanguageButton::rect().contains(p))
        return LanguageButton;
    return -1;
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
    pointedGame = pointedStory = -1;
    for (int i = 0; i < GameCount; ++i) {
        if (gameRect(i).contains(p)) {
            hoverIndex = pointedGame = i;
            onEntry = true;
            break;
        }
    }
    for (int j = 0; j < StoryCount; ++j) {
        if (storyRect(j).contains(p)) {
            hoverIndex = -1;
            onEntry = true;
            // A locked ending cannot be chosen, so it does not light.
            if (isStoryUnlocked(j))
                pointedStory = j;
        }
    }
    pointedButton = buttonAt(p);
    setSilent(onEntry);
    // Each corner button is an entry of its own for the ear.
    const int pointed = pointedButton >= 0 ? GameCount + StoryCount + pointedButton : entryAt(p);
    if (pointed >= 0 && pointed != pointedEntry)
        playEffect(AudioSet::Effect::Hover);
    pointedEntry = pointed;
    update();
}

void Item_Lancher::hoverLeaveEvent(QGraphicsSceneHoverEvent *)
{
    pointedGame = pointedStory = pointedEntry = pointedButton = -1;
    update();
}

namespace
{
// The games in reading order: the two columns row by row.
constexpr int GamesByRow[Item_Lancher::GameCount] = {0, 5, 1, 6, 2, 7, 3, 8, 4, 9};
} // namespace

QVector<QRectF> Item_Lancher::keyEntries() const
{
    QVector<QRectF> entries;
    for (int j = 0; j < StoryCount; ++j)
        entries << (isStoryUnlocked(j) ? storyRect(j) : QRectF());
    for (int i : GamesByRow)
        entries << gameRect(i);
    entries << Lanch_SoundPanel::buttonRect() << Lanch_LanguageButton::rect();
    return entries;
}

int Item_Lancher::litEntry() const
{
    if (pointedButton >= 0)
        return StoryCount + GameCount + pointedButton;
    if (pointedStory >= 0)
        return pointedStory;
    for (int k = 0; k < GameCount; ++k) {
        if (GamesByRow[k] == pointedGame)
            return StoryCount + k;
    }
    return -1;
}

void Item_Lancher::lightEntry(int entry)
{
    if (entry < 0)
        return;
    if (entry != litEntry())
        playEffect(AudioSet::Effect::Hover);
    const bool story = entry < StoryCount;
    const bool button = entry >= StoryCount + GameCount;
    pointedStory = story ? entry : -1;
    pointedGame = story || button ? -1 : GamesByRow[entry - StoryCount];
    pointedButton = button ? entry - StoryCount - GameCount : -1;
    hoverIndex = pointedGame;
    update();
}

void Item_Lancher::openEntry(int entry)
{
    if (entry < 0)
        return;
    playEffect(entry < StoryCount && !isStoryUnlocked(entry) ? AudioSet::Effect::Locked
                                                             : AudioSet::Effect::Click);
    if (entry < StoryCount)
        slot_playAdv(entry);
    else if (entry < StoryCount + GameCount)
        emit signal_playGame(GamesByRow[entry - StoryCount]);
    else if (entry - StoryCount - GameCount == SoundButton)
        soundPanel.click(Lanch_SoundPanel::buttonRect().center());
    else
        emit signal_switchLanguage();
    update();
}

void Item_Lancher::keyPressEvent(QKeyEvent *event)
{
    // Taken, so that the view neither scrolls nor moves the keyboard focus away.
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        event->accept();
        break;
    default:
        event->ignore();
    }
}

void Item_Lancher::keyReleaseEvent(QKeyEvent *event)
{
    // Alt+Enter is the full-screen switch, not a choice.
    if (Keys::isShortcut(*event)) {
        event->ignore();
        return;
    }
    // The scene keeps Tab's press for itself, so the keys act on their release. Some keyboard
    // maps give Shift+Tab as Tab with Shift held rather than as Backtab.
    const bool shifted = event->modifiers() & Qt::ShiftModifier;
    const int key = event->key() == Qt::Key_Tab && shifted ? int(Qt::Key_Backtab) : event->key();
    if (soundPanel.key(key)) {
        update();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            openEntry(litEntry());
        return;
    }
    const int lit = litEntry();
    const int next = Lanch_KeyNavigation::next(keyEntries(), lit, key);
    if (next != lit)
        lightEntry(next);
    else
        event->ignore();
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
    if (buttonAt(p) == LanguageButton) {
        playEffect(AudioSet::Effect::Click);
        emit signal_switchLanguage();
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
    // Off stage now: when the menu comes back, only the next pointer move lights an entry.
    if (!scene())
        pointedGame = pointedStory = pointedButton = -1;
    update();
}

// The menu picture is drawn over the whole item.
QRectF Item_Lancher::opaqueRect() const
{
    return background.isNull() ? QRectF() : boundingRect();
}
