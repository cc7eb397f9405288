#include "games/setsuna/Game_Setsuna.h"

#include "base/Clock.h"
#include "base/Picture.h"
#include "base/Random.h"
#include "base/Shade.h"
#include "games/frame/Game_Score.h"
#include "sound/AudioSet.h"

#include <QDebug>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPainter>

namespace
{
// initGame runs before every duel; a picture already decoded is kept rather than decoded again.
void loadBare(QImage &image, const QString &path)
{
    if (image.isNull())
        Picture::load(image, path, path);
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

Game_Setsuna::Game_Setsuna() : Game_Base(QStringLiteral("Setsuna")) {}

QRectF Game_Setsuna::buttonRect(int i)
{
    return QRectF(ButtonLeft[i], 305, 50, 50);
}

QRectF Game_Setsuna::cursorRect(int i) const
{
    const QSize size = pictures ? Picture::sizeOf(pictures->cursor) : QSize();
    return QRectF(CursorLeft[i], 260, size.width(), size.height());
}

QRectF Game_Setsuna::leftRect() const
{
    const QSize size = pictures ? Picture::sizeOf(pictures->left[0]) : QSize();
    return centredAt(boundingRect().center() - QPointF(250, 0), size);
}

QRectF Game_Setsuna::rightRect() const
{
    const QSize size = pictures ? Picture::sizeOf(pictures->right[0]) : QSize();
    return centredAt(boundingRect().center() + QPointF(250, 0), size);
}

QRectF Game_Setsuna::signalRect() const
{
    const QSize size = pictures ? Picture::sizeOf(pictures->signal) : QSize();
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
    pictures.reset();
}

void Game_Setsuna::createResources()
{
    pictures.emplace();
    getScore()->setScore(0);
}

void Game_Setsuna::loadPictures()
{
    loadBare(pictures->title, QStringLiteral(":/img/setsuna/TITLE"));
    pictures->background = pictures->title;
    setWidth(Picture::sizeOf(pictures->background).width());
    setHeight(Picture::sizeOf(pictures->background).height());
    loadBare(pictures->score, QStringLiteral(":/img/setsuna/SCORE"));
    loadBare(pictures->cursor, QStringLiteral(":/img/setsuna/CURSOR"));
    loadBare(pictures->signal, QStringLiteral(":/img/setsuna/ICON"));
    for (int i = 0; i < PictureCount; ++i) {
        loadQuoted(pictures->left[i], QStringLiteral(":/img/setsuna/KOHRU%1").arg(i));
        loadQuoted(pictures->right[i], QStringLiteral(":/img/setsuna/TOVIRA%1").arg(i));
    }
}

void Game_Setsuna::initGame()
{
    if (!pictures)
        createResources();
    loadPictures();

    const QTime now = Clock::currentTime();
    Random::seed(now.hour() + now.minute() + now.second() + now.msec());

    startFrameTimer();

    duel.reset();
    setQuestionShown(false);
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
    loadBare(pictures->ground, QStringLiteral(":/img/setsuna/BG"));
    pictures->background = pictures->ground;
    setSoundSilent(false);
}

void Game_Setsuna::slot_fight()
{
    if (isQuestionShown())
        return;
    duel.fight();
    if (duel.isSignalShown())
        playEffect(AudioSet::Effect::SetsunaSignal);
    update();
}

void Game_Setsuna::slot_enemy()
{
    if (isQuestionShown())
        return;
    if (duel.enemy() == Game_Setsuna_Duel::Sound::Lose)
        playSound(&AudioSet::playLose);
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
    const bool falseBefore = duel.isFalseStart();
    if (duel.press() == Game_Setsuna_Duel::Sound::Win)
        playSound(&AudioSet::playWin);
    else if (duel.isFalseStart() && !falseBefore)
        playEffect(AudioSet::Effect::SetsunaFalseStart);
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
    setSoundSilent(button >= 0);
}

void Game_Setsuna::paintGame(QPainter *painter)
{
    if (!pictures)
        return;
    Picture::drawAtDeviceSize(painter, QPointF(0, 0), pictures->background);
    if (duel.isTitleMode()) {
        drawTitle(painter);
        tick();
        return;
    }
    drawDuel(painter, stepDuel());
    if (!duel.isResultShown())
        tick();
}

void Game_Setsuna::drawTitle(QPainter *painter)
{
    if (duel.getDifficulty() >= 0)
        painter->drawImage(cursorRect(duel.getDifficulty()), pictures->cursor);
}

Game_Setsuna_Duel::Poses Game_Setsuna::stepDuel()
{
    const Game_Setsuna_Duel::Poses poses = duel.posesAndSettle();
    if (duel.hasPlayerWon()) {
        if (const int points = duel.takeWinPoints())
            getScore()->setScore(getScore()->getScore() + points);
    }
    if (duel.isSignalShown())
        duel.signalDrawn();
    return poses;
}

void Game_Setsuna::drawDuel(QPainter *painter, const Game_Setsuna_Duel::Poses &poses)
{
    Picture::drawAtDeviceSize(painter, leftRect().topLeft(), pictures->left[poses.left]);
    Picture::drawAtDeviceSize(painter, rightRect().topLeft(), pictures->right[poses.right]);
    if (duel.isSignalShown())
        painter->drawImage(signalRect(), pictures->signal);
    drawScorePanel(painter, pictures->score);
    if (duel.isResultShown()) {
        Shade::draw(painter, boundingRect(), 128);
        drawDialog(painter, Game_Base::tr("残念！"), Game_Base::tr("もう一度"),
                   Game_Base::tr("メニューに戻る"));
        if (duel.isFalseStart())
            drawFalseStartNote(painter);
    }
}

// Says why the run ended when the press came before the signal: at the right end of the hint
// line, under the buttons, in the dialog's gold; the line under the title holds the play's score.
void Game_Setsuna::drawFalseStartNote(QPainter *painter)
{
    QFont note = getFont();
    note.setPointSize(14);
    painter->save();
    painter->setFont(note);
    painter->setPen(QColor(0xff, 0xd2, 0x3f));
    const QRectF hint = hintRect();
    painter->drawText(QRectF(hint.center().x(), hint.top(), hint.width() / 2, 28),
                      Qt::AlignRight | Qt::AlignVCenter, tr("フライング！"));
    painter->restore();
}

// Every frame starts with the title or duel picture.
QRectF Game_Setsuna::opaqueRect() const
{
    return pictures && !pictures->background.isNull() ? boundingRect() : QRectF();
}
