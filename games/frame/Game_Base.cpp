#include "games/frame/Game_Base.h"

#include "base/Clock.h"
#include "base/Game_Countdown.h"
#include "base/Keys.h"
#include "base/Shade.h"
#include "base/groupDigits.h"
#include "games/frame/Game_DialogDress.h"
#include "games/frame/Game_Score.h"
#include "sound/AudioSet.h"

#include <QCursor>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QHash>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

Game_Base::Game_Base()
    : Item_Base(0, 0, nullptr), score(std::make_unique<Game_Score>()), frameTimer(new QTimer(this))
{
    setFlag(ItemIsMovable, false);
    font.setFamily(QStringLiteral("Tanuki Permanent Marker"));
    connect(frameTimer, &QTimer::timeout, this, &Game_Base::slot_update);
}

Game_Base::Game_Base(const QString &name, const QPointF &position) : Game_Base()
{
    setName(name);
    setPos(position);
}

Game_Base::~Game_Base() = default;

void Game_Base::playSound(void (AudioSet::*sound)())
{
    if (AudioSet *audio = AudioSet::getInstance())
        (audio->*sound)();
}

void Game_Base::playEffect(AudioSet::Effect effect)
{
    if (AudioSet *audio = AudioSet::getInstance())
        audio->play(effect);
}

void Game_Base::setSoundSilent(bool silent)
{
    if (AudioSet *audio = AudioSet::getInstance())
        audio->setSilent(silent);
}

void Game_Base::stopTimers()
{
    for (QTimer *timer : findChildren<QTimer *>())
        timer->stop();
}

void Game_Base::slot_update()
{
    update();
}

void Game_Base::startFrameTimer()
{
    frameTimer->start(1);
}

void Game_Base::stopFrameTimer()
{
    frameTimer->stop();
}

bool Game_Base::isFrameTimerActive() const
{
    return frameTimer->isActive();
}

void Game_Base::retryGame()
{
    score->resetScore();
    initGame();
}

void Game_Base::pauseGame()
{
    setQuestionShown(true);
    playEffect(AudioSet::Effect::QuestionShown);
    leftWindowQuestion = false;
}

void Game_Base::pauseForLeftWindow()
{
    if (questionShown)
        return;
    QKeyEvent escape(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    if (scene())
        scene()->sendEvent(this, &escape);
    leftWindowQuestion = questionShown;
    update();
}

void Game_Base::resumeGame()
{
    setQuestionShown(false);
    if (leftWindowQuestion) {
        leftWindowQuestion = false;
        if (Game_Countdown *countdown = getCountdown())
            countdown->setLastTick(Clock::monotonicMs());
    }
}

int Game_Base::keptScore() const
{
    return qMax(score->getBest(), score->getScore());
}

void Game_Base::exitGame()
{
    emit endGame(getName(), keptScore());
}

QRectF Game_Base::titleRect() const
{
    const qreal cx = getWidth() / 2, cy = getHeight() / 2;
    return QRectF(cx - 250, cy - 75, 500, 50);
}

QRectF Game_Base::leftButtonRect() const
{
    const qreal cx = getWidth() / 2, cy = getHeight() / 2;
    return QRectF(cx - 275, cy + 25, 250, 50);
}

QRectF Game_Base::rightButtonRect() const
{
    const qreal cx = getWidth() / 2, cy = getHeight() / 2;
    return QRectF(cx + 25, cy + 25, 250, 50);
}

QRectF Game_Base::resultScoreRect() const
{
    const qreal cx = getWidth() / 2, cy = getHeight() / 2;
    return QRectF(cx - 250, cy - 17, 500, 36);
}

namespace
{
// Centred on its button; a label whose descenders would reach the plate's rim (the g and y of
// "Play again") is lifted just enough to keep 2 px of plate below its ink. Labels without
// descenders stay exactly centred.
void drawButtonLabel(QPainter *painter, const QRectF &button, const QString &label)
{
    // Measured once per label, size and weight: the dialog is drawn on every frame.
    static QHash<QString, qreal> lifts;
    const QFont &font = painter->font();
    const QString key = label + QChar(0) + QString::number(font.pointSizeF()) + QChar(0) +
                        QString::number(font.weight()) + QChar(0) +
                        QString::number(button.height());
    auto found = lifts.constFind(key);
    if (found == lifts.constEnd()) {
        const QFontMetricsF metrics(font);
        const qreal baseline = (button.height() - metrics.height()) / 2 + metrics.ascent();
        const qreal inkBottom = baseline + metrics.tightBoundingRect(label).bottom();
        // The plate's rim starts 5 px above the bottom of the button's place.
        found = lifts.insert(key, qMax<qreal>(0, inkBottom - (button.height() - 7)));
    }
    painter->drawText(button.translated(0, -*found), Qt::AlignCenter, label);
}
} // namespace

QRectF Game_Base::hintRect() const
{
    const qreal cx = getWidth() / 2, cy = getHeight() / 2;
    return QRectF(cx - 250, cy + 75, 500, 50);
}

void Game_Base::drawDialog(QPainter *painter, const QString &title, const QString &left,
                           const QString &right)
{
    const Game_DialogDress::Layout layout{titleRect(), leftButtonRect(), rightButtonRect(),
                                          hintRect()};
    const auto lit = hoverLeft    ? Game_DialogDress::Lit::Left
                     : hoverRight ? Game_DialogDress::Lit::Right
                                  : Game_DialogDress::Lit::None;
    // The card and plates, painted again only when the lit plate or the layout changes; one
    // picture serves every game, as only one dialog is ever on screen.
    static Game_Backdrop dialogPicture;
    const QRect area = Game_DialogDress::area(layout);
    dialogPicture.draw(painter, area, qHashMulti(0, int(lit), area.x(), area.y()),
                       [&](QPainter *p) { Game_DialogDress::draw(p, layout, lit); });

    const QPen oldPen = painter->pen();
    painter->setPen(Qt::white);

    font.setPointSize(12);
    painter->setFont(font);
    //: The hint under a dialog: the Space key takes the left button, named as %1.
    painter->drawText(hintRect(), tr("スペースキーで\"%1\"").arg(left));

    font.setPointSize(24);
    painter->setFont(font);
    painter->drawText(titleRect(), Qt::AlignCenter, title);
    if (!questionShown && !isPlaying())
        drawResultScore(painter);

    if (hoverLeft)
        font.setWeight(QFont::Bold);
    painter->setFont(font);
    drawButtonLabel(painter, leftButtonRect(), left);

    font.setWeight(QFont::Normal);
    if (hoverRight)
        font.setWeight(QFont::Bold);
    painter->setFont(font);
    drawButtonLabel(painter, rightButtonRect(), right);
    font.setWeight(QFont::Normal);

    painter->setPen(oldPen);
}

void Game_Base::drawResultScore(QPainter *painter)
{
    // The best as it stands after this play; the play beat it when its score is higher.
    const int played = score->getScore(), best = qMax(score->getBest(), played);
    //: A result screen's line: this play's score and the best.
    const QString line = tr("スコア %1　ベスト %2").arg(groupedNumber(played), groupedNumber(best));
    //: Follows the score line, in gold, when the play beat the best.
    const QString mark = played > score->getBest() ? tr("　ベスト更新！") : QString();
    QFont small = font;
    small.setPointSize(15);
    painter->setFont(small);
    const QFontMetricsF metrics(small);
    const qreal lineWidth = metrics.horizontalAdvance(line);
    const qreal markWidth = mark.isEmpty() ? 0 : metrics.horizontalAdvance(mark);
    // Between the title's band and the two plates, centred as one run of text.
    const QRectF band = resultScoreRect();
    const qreal left = band.center().x() - (lineWidth + markWidth) / 2;
    painter->drawText(QRectF(left, band.top(), lineWidth, band.height()), Qt::AlignCenter, line);
    if (!mark.isEmpty()) {
        const QPen white = painter->pen();
        painter->setPen(QColor(0xff, 0xd2, 0x3f));
        painter->drawText(QRectF(left + lineWidth, band.top(), markWidth, band.height()),
                          Qt::AlignCenter, mark);
        painter->setPen(white);
    }
}

void Game_Base::drawScorePanel(QPainter *painter, const QImage &panel)
{
    const QPointF origin(5, 10);
    const QRectF area = QRectF(score->getPos(), panel.size())
                            .united(Game_Score::bestRect(origin))
                            .united(Game_Score::scoreRect(origin))
                            .toAlignedRect();
    QFont panelFont = getFont();
    panelFont.setPointSize(12);
    const size_t key =
        qHashMulti(0, panel.cacheKey(), score->getBest(), score->getScore(), score->getPos().x(),
                   score->getPos().y(), panelFont.key(), painter->pen().color().rgba());
    scorePanelPicture.draw(painter, area, key, [&](QPainter *p) {
        p->drawImage(score->getPos(), panel);
        p->setFont(panelFont);
        p->drawText(Game_Score::bestRect(origin), Qt::AlignCenter, groupedNumber(score->getBest()));
        p->drawText(Game_Score::scoreRect(origin), Qt::AlignCenter,
                    groupedNumber(score->getScore()));
    });
    // The painter leaves with the panel font, as drawing the panel straight did.
    painter->setFont(panelFont);
}

void Game_Base::drawResult(QPainter *painter, const QImage &panel, const QString &title)
{
    drawScorePanel(painter, panel);
    drawDialog(painter, title, tr("もう一度"), tr("メニューに戻る"));
}

void Game_Base::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    // Told after the frame, so that saving never holds up a paint.
    const bool result = !questionShown && !isPlaying();
    if (result && !resultPainted)
        QTimer::singleShot(0, this, &Game_Base::announceResult);
    resultPainted = result;
    if (!questionShown) {
        paintGame(painter);
        return;
    }
    setCursor(Qt::ArrowCursor);
    Shade::draw(painter, boundingRect(), 200);
    drawDialog(painter, tr("本当にメニューに戻りますか？"), tr("はい"), tr("いいえ"));
}

void Game_Base::announceResult()
{
    // The result screen may already be gone (a retry within the same turn of the event loop).
    if (!questionShown && !isPlaying()) {
        const bool newBest = score->getScore() > score->getBest();
        playEffect(newBest ? AudioSet::Effect::ResultNewBest : AudioSet::Effect::ResultGentle);
    }
    emit signal_resultShown();
}

void Game_Base::keyReleaseEvent(QKeyEvent *event)
{
    if (questionShown || !isPlaying()) {
        dialogKeyRelease(event);
        return;
    }
    if (event->key() == Qt::Key_Escape)
        pauseGame();
    else
        playKeyRelease(event);
    update();
}

void Game_Base::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (questionShown) {
        dialogMouseRelease(event);
    } else if (!isPlaying()) {
        clickResultButtons(event);
    } else {
        playMouseRelease(event);
        update();
    }
}

void Game_Base::hoverMoveEvent(QGraphicsSceneHoverEvent *event)
{
    if (questionShown || !isPlaying()) {
        dialogHoverMove(event);
        return;
    }
    playHoverMove(event);
    update();
}

void Game_Base::dialogKeyRelease(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        // Space is always the left button: "はい" on the question, "もう一度" on a result screen.
        takeLeft();
        break;
    case Qt::Key_Left:
        light(true, false);
        break;
    case Qt::Key_Right:
        light(false, true);
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // Either way round there are only the two buttons: the one not lit takes the light.
        light(!hoverLeft, hoverLeft);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Alt+Enter is the full-screen switch, not a choice.
        if (Keys::isShortcut(*event))
            break;
        if (hoverLeft)
            takeLeft();
        else if (hoverRight)
            takeRight();
        break;
    default:
        break;
    }
    update();
}

void Game_Base::keyPressEvent(QKeyEvent *event)
{
    // Tab moves between the dialog's buttons (on its release): taken here, the press does not
    // move the keyboard focus away from the game.
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        event->accept();
    else
        Item_Base::keyPressEvent(event);
}

void Game_Base::light(bool left, bool right)
{
    // A button newly lit sounds; staying on it or leaving both is quiet.
    if ((left && !hoverLeft) || (right && !hoverRight))
        playEffect(AudioSet::Effect::Hover);
    hoverLeft = left;
    hoverRight = right;
    // A lit button silences the effects as the pointer over it does.
    setSoundSilent(left || right);
}

void Game_Base::takeLeft()
{
    playEffect(AudioSet::Effect::Click);
    if (questionShown) {
        exitGame();
        return;
    }
    // The buttons are gone with the result screen: the next play is heard.
    setSoundSilent(false);
    retryGame();
}

void Game_Base::takeRight()
{
    playEffect(AudioSet::Effect::Click);
    if (questionShown) {
        // Lighting the buttons silenced the effects; play goes on with its sound.
        setSoundSilent(false);
        resumeGame();
    } else {
        exitGame();
    }
}

void Game_Base::dialogMouseRelease(QGraphicsSceneMouseEvent *event)
{
    const QPointF p = event->scenePos();
    if (leftButtonRect().contains(p))
        takeLeft();
    else if (rightButtonRect().contains(p))
        takeRight();
    update();
}

void Game_Base::dialogHoverMove(QGraphicsSceneHoverEvent *event)
{
    const QPointF p = event->scenePos();
    light(leftButtonRect().contains(p), rightButtonRect().contains(p));
    update();
}

QPainterPath Game_Base::opaqueArea() const
{
    return isQuestionShown() ? QPainterPath() : Item_Base::opaqueArea();
}

void Game_Base::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    event->accept();
    if (!isQuestionShown())
        update();
}

bool Game_Base::clickResultButtons(QGraphicsSceneMouseEvent *event)
{
    QGraphicsSceneHoverEvent hover(QEvent::GraphicsSceneHoverMove);
    hover.setScenePos(event->scenePos());
    hover.setPos(event->pos());
    dialogHoverMove(&hover);
    if (isHoverLeft()) {
        takeLeft();
        return true;
    }
    if (isHoverRight()) {
        takeRight();
        return true;
    }
    return false;
}
