#include "games/setsuna/Game_Setsuna.h"

#include "base/Shade.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "games/frame/Game_Score.h"
#include "base/Picture.h"
#include "sound/AudioSet.h"

#include <QDebug>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPainter>

namespace
{
void setSilent(bool value)
{
    if (AudioSet *audio = AudioSet::getInstance())
        audio->setSilent(value);
}

// initGame runs before every duel; a picture already decoded is kept rather than decoded again.
void loadBare(QImage *image, const QString &path)
{
    if (image->isNull() && !Picture::load(*image, path))
        qDebug().noquote() << path;
}

void loadQuoted(QImage &image, const QString &path)
{
    if (image.isNull() && !Picture::load(image, path))
        qDebug() << path;
}

QRectF centredAt(const QPointF &centre, const QSize &size)
{
    return QRectF(centre.x() - size.width() / 2.0, centre.y() - size.height() / 2.0, size.width(),
                  size.height());
}

const int CursorLeft[Game_Setsuna_Duel::ButtonCount] = {400, 495, 590};
const int ButtonLeft[Game_Setsuna_Duel::ButtonCount] = {390, 485, 580};
} // namespace

Game_Setsuna::Game_Setsuna()
{
    setName(QStringLiteral("Setsuna"));
    setPos(-2, -2);
}

Game_Setsuna::~Game_Setsuna()
{
    releaseResources();
}

QRectF Game_Setsuna::buttonRect(int i)
{
    return QRectF(ButtonLeft[i], 305, 50, 50);
}

QRectF Game_Setsuna::cursorRect(int i) const
{
    const QSize size = cursorPicture ? Picture::sizeOf(*cursorPicture) : QSize();
    return QRectF(CursorLeft[i], 260, size.width(), size.height());
}

QRectF Game_Setsuna::leftRect() const
{
    const QSize size = leftPictures ? Picture::sizeOf(leftPictures[0]) : QSize();
    return centredAt(boundingRect().center() - QPointF(250, 0), size);
}

QRectF Game_Setsuna::rightRect() const
{
    const QSize size = rightPictures ? Picture::sizeOf(rightPictures[0]) : QSize();
    return centredAt(boundingRect().center() + QPointF(250, 0), size);
}

QRectF Game_Setsuna::signalRect() const
{
    const QSize size = signalPicture ? Picture::sizeOf(*signalPicture) : QSize();
    return centredAt(boundingRect().center(), size);
}

int Game_Setsuna::buttonAt(const QPointF &scenePos)
{
    for (int i = 0; i < Game_Setsuna_Duel::ButtonCount; ++i) {
        if (buttonRect(i).contains(scenePos))
            return i;
    }
    return -1;
}

void Game_Setsuna::releaseResources()
{
    delete background;
    background = nullptr;
    delete titlePicture;
    titlePicture = nullptr;
    delete groundPicture;
    groundPicture = nullptr;
    delete scorePicture;
    scorePicture = nullptr;
    delete cursorPicture;
    cursorPicture = nullptr;
    delete signalPicture;
    signalPicture = nullptr;
    delete[] leftPictures;
    leftPictures = nullptr;
    delete[] rightPictures;
    rightPictures = nullptr;
}

void Game_Setsuna::createResources()
{
    background = new QImage;
    titlePicture = new QImage;
    groundPicture = new QImage;
    scorePicture = new QImage;
    cursorPicture = new QImage;
    signalPicture = new QImage;
    leftPictures = new QImage[PictureCount];
    rightPictures = new QImage[PictureCount];
    getScore()->setScore(0);
}

void Game_Setsuna::initGame()
{
    if (!background)
        createResources();
    loadBare(titlePicture, QStringLiteral(":/img/setsuna/TITLE"));
    *background = *titlePicture;
    setWidth(Picture::sizeOf(*background).width());
    setHeight(Picture::sizeOf(*background).height());
    loadBare(scorePicture, QStringLiteral(":/img/setsuna/SCORE"));
    loadBare(cursorPicture, QStringLiteral(":/img/setsuna/CURSOR"));
    loadBare(signalPicture, QStringLiteral(":/img/setsuna/ICON"));
    for (int i = 0; i < PictureCount; ++i) {
        loadQuoted(leftPictures[i], QStringLiteral(":/img/setsuna/KOHRU%1").arg(i));
        loadQuoted(rightPictures[i], QStringLiteral(":/img/setsuna/TOVIRA%1").arg(i));
    }

    const QTime now = Clock::currentTime();
    Random::seed(now.hour() + now.minute() + now.second() + now.msec());

    startFrameTimer();

    duel.reset();
    setQuestionShown(false);
    setAcceptHoverEvents(true);
    setFocus(Qt::OtherFocusReason);
}

void Game_Setsuna::resumeGame()
{
    Game_Base::resumeGame();
    // No duel is decided behind the question: one that neither side has won yet starts again
    // with a new wait.
    if (!duel.isTitleMode() && !duel.isResultShown() && !duel.hasPlayerWon() &&
        !duel.hasOpponentWon()) {
        duel.clearWait();
        startRound();
    }
}

void Game_Setsuna::startRound()
{
    duel.startRound();
    loadBare(groundPicture, QStringLiteral(":/img/setsuna/BG"));
    *background = *groundPicture;
    setSilent(false);
}

void Game_Setsuna::slot_fight()
{
    if (isQuestionShown())
        return;
    duel.fight();
    update();
}

void Game_Setsuna::slot_enemy()
{
    if (isQuestionShown())
        return;
    if (duel.enemy() == Game_Setsuna_Duel::Sound::Lose) {
        if (AudioSet *audio = AudioSet::getInstance())
            audio->playLose();
    }
    update();
}

void Game_Setsuna::slot_waitUp()
{
    const int difficulty = duel.getDifficulty();
    initGame();
    duel.setDifficulty(difficulty);
    startRound();
}

void Game_Setsuna::tick()
{
    if (duel.waitIsOver()) {
        slot_fight();
        duel.clearWait();
    }
    if (duel.opponentIsDue()) {
        slot_enemy();
        duel.clearOpponent();
    }
    if (duel.nextRoundIsDue()) {
        slot_waitUp();
        duel.clearNextRound();
    }
}

void Game_Setsuna::keyReleaseEvent(QKeyEvent *event)
{
    // Escape asks the question over the "残念！" screen too; the rest goes the frame's way.
    if (!isQuestionShown() && event->key() == Qt::Key_Escape) {
        pauseGame();
        update();
        return;
    }
    Game_Base::keyReleaseEvent(event);
}

void Game_Setsuna::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // Accepted, so the release of the same press comes back here.
    event->accept();
    if (isQuestionShown())
        return;
    if (duel.press() == Game_Setsuna_Duel::Sound::Win) {
        if (AudioSet *audio = AudioSet::getInstance())
            audio->playWin();
    }
    update();
}

void Game_Setsuna::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    // The release of a false start's own press does not reach the "残念！" buttons it brought up.
    if (!isQuestionShown() && duel.isResultShown() && !duel.releaseReachesDialog()) {
        playMouseRelease(event);
        update();
        return;
    }
    Game_Base::mouseReleaseEvent(event);
}

void Game_Setsuna::playMouseRelease(QGraphicsSceneMouseEvent *event)
{
    if (duel.isTitleMode()) {
        const int button = buttonAt(event->scenePos());
        if (button >= 0) {
            duel.setDifficulty(button);
            startRound();
        } else if (duel.getDifficulty() >= 0) {
            startRound();
        }
    }
    duel.endRelease();
}

void Game_Setsuna::playHoverMove(QGraphicsSceneHoverEvent *event)
{
    if (!duel.isTitleMode())
        return;
    const int button = buttonAt(event->scenePos());
    duel.setDifficulty(button);
    setSilent(button >= 0);
}

void Game_Setsuna::paintGame(QPainter *painter)
{
    if (!background)
        return;
    Picture::drawAtDeviceSize(painter, QPointF(0, 0), *background);

    if (duel.isTitleMode()) {
        if (duel.getDifficulty() >= 0)
            painter->drawImage(cursorRect(duel.getDifficulty()), *cursorPicture);
        tick();
        return;
    }

    const Game_Setsuna_Duel::Poses poses = duel.posesAndSettle();
    Picture::drawAtDeviceSize(painter, leftRect().topLeft(), leftPictures[poses.left]);
    Picture::drawAtDeviceSize(painter, rightRect().topLeft(), rightPictures[poses.right]);
    if (duel.hasPlayerWon()) {
        if (const int points = duel.takeWinPoints())
            getScore()->setScore(getScore()->getScore() + points);
    }
    if (duel.isSignalShown()) {
        painter->drawImage(signalRect(), *signalPicture);
        duel.signalDrawn();
    }
    drawScorePanel(painter, *scorePicture);

    if (duel.isResultShown()) {
        Shade::draw(painter, boundingRect(), 128);
        drawDialog(painter, QStringLiteral("残念！"), QStringLiteral("もう一度"),
                   QStringLiteral("メニューに戻る"));
    } else {
        tick();
    }
}

// Every frame starts with the title or duel picture.
QRectF Game_Setsuna::opaqueRect() const
{
    return background && !background->isNull() ? boundingRect() : QRectF();
}
