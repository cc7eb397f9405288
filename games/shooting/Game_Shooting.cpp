#include "games/shooting/Game_Shooting.h"

#include "base/Clock.h"
#include "base/Game_GlyphCache.h"
#include "base/Picture.h"
#include "games/frame/Game_Score.h"
#include "games/shooting/Game_Shooting_Gallery.h"

#include <QCursor>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

Game_Shooting::Game_Shooting() : Game_Base(QStringLiteral("Shooting")) {}

Game_Shooting::~Game_Shooting() = default;

void Game_Shooting::releaseResources()
{
    pictures = Game_Shooting_Pictures();
    pointerPos = QPointF();
    gallery.reset();
}

void Game_Shooting::createResources()
{
    pointerPos = QPointF(0, 0);
    gallery = std::make_unique<Game_Shooting_Gallery>(getScore());
}

void Game_Shooting::initGame()
{
    if (!gallery)
        createResources();
    // The target and popup pictures too, so the first target of each kind does not stall the
    // frame it appears in.
    pictures.load();
    setWidth(Picture::sizeOf(pictures.background).width());
    setHeight(Picture::sizeOf(pictures.background).height());
    getScore()->setScore(0);
    setQuestionShown(false);
    setFocus(Qt::OtherFocusReason);
    gallery->reset(Clock::monotonicMs());
    startFrameTimer();
}

Game_Countdown *Game_Shooting::getCountdown()
{
    return gallery ? &gallery->getCountdown() : nullptr;
}

QRectF Game_Shooting::crosshairRect() const
{
    const qreal w = Picture::sizeOf(pictures.crosshair).width();
    const qreal h = Picture::sizeOf(pictures.crosshair).height();
    return QRectF(pointerPos.x() - w / 2, pointerPos.y() - h / 2, w, h);
}

bool Game_Shooting::isPlaying() const
{
    return !(gallery && gallery->isTimeUp());
}

void Game_Shooting::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // Accepted, so the release of the same press comes back here.
    event->accept();
    if (isQuestionShown() || !gallery || gallery->isTimeUp())
        return;
    soundShot(gallery->shoot(event->scenePos().toPoint()));
    update();
}

void Game_Shooting::soundShot(Game_Shooting_Gallery::Shot shot)
{
    using Shot = Game_Shooting_Gallery::Shot;
    if (shot == Shot::None)
        return;
    playEffect(AudioSet::Effect::ShotFired);
    if (shot == Shot::Hit || shot == Shot::Bonus)
        playEffect(AudioSet::Effect::TargetHit);
    if (shot == Shot::Bonus)
        playEffect(AudioSet::Effect::BonusZone);
    else if (shot == Shot::Bad)
        playEffect(AudioSet::Effect::BadTarget);
    else if (shot == Shot::Missed)
        playEffect(AudioSet::Effect::ShotMissed);
}

void Game_Shooting::playHoverMove(QGraphicsSceneHoverEvent *event)
{
    pointerPos = event->scenePos();
}

void Game_Shooting::drawBehindForeground(QPainter *painter, const QImage &picture, const QPoint &at,
                                         bool hidden) const
{
    if (!hidden) {
        Picture::drawAtDeviceSize(painter, at, picture);
        return;
    }
    const QRect placed(at, Picture::sizeOf(picture));
    for (const QRect &open : pictures.foreground.openParts()) {
        if (open.top() > placed.bottom())
            break;
        const QRect part = open & placed;
        if (!part.isEmpty())
            Picture::drawPart(painter, part.topLeft(), picture, part.translated(-at));
    }
}

namespace
{
// A target is a solid board: it fades in over the first tenth of its life and out over the last,
// and is opaque in between, so the wall never shows through it.
qreal shownOpacity(double fade)
{
    return qBound(0.0, fade * 5, 1.0);
}
} // namespace

void Game_Shooting::drawTargets(QPainter *painter, bool hidden)
{
    const qreal opacity = painter->opacity();
    gallery->stepTargets(
        [this, painter, hidden](Game_Shooting_Target &t, double o, const QPoint &p) {
            painter->setOpacity(shownOpacity(o));
            drawBehindForeground(painter, pictures.of(t), p, hidden);
        });
    painter->setOpacity(opacity);
}

void Game_Shooting::drawBonuses(QPainter *painter)
{
    const qreal opacity = painter->opacity();
    gallery->stepBonuses([this, painter](Game_Shooting_Bonus &b, double o, const QPoint &p) {
        painter->setOpacity(o);
        Picture::drawAtDeviceSize(painter, p, pictures.of(b));
    });
    painter->setOpacity(opacity);
}

void Game_Shooting::drawCombos(QPainter *painter)
{
    painter->save();
    QFont comboFont = getFont();
    comboFont.setPointSize(32);
    comboFont.setWeight(QFont::Normal);
    painter->setFont(comboFont);
    painter->setPen(Qt::white);
    // Every live popup shows the current count: the good hits in a row.
    const QString text = tr("%n匹", "good hits in a row", gallery->getComboCount());
    gallery->stepCombos([painter, &text](Game_Shooting_Combo &, double o, const QPoint &p) {
        painter->setOpacity(o);
        Game_GlyphCache::drawText(painter, QPointF(p), text);
    });
    painter->restore();
}

void Game_Shooting::drawClock(QPainter *painter)
{
    painter->drawImage(120, 10, pictures.timerPicture);
    if (!gallery->advanceClock(Clock::monotonicMs()))
        return;
    if (lastSeconds.pass(gallery->getCountdown().remainingMs()))
        playEffect(AudioSet::Effect::LastSeconds);
    QFont clockFont = getFont();
    clockFont.setPointSize(50);
    painter->setFont(clockFont);
    Game_GlyphCache::drawText(painter,
                              QRectF(QPointF(180, 30), Picture::sizeOf(pictures.timerPicture)),
                              Qt::AlignLeft, gallery->clockText());
}

void Game_Shooting::paintGame(QPainter *painter)
{
    if (!gallery)
        return;
    if (!gallery->isTimeUp()) {
        drawPlay(painter);
        return;
    }
    setCursor(Qt::ArrowCursor);
    painter->fillRect(boundingRect(), Qt::black);
    drawResult(painter, pictures.scorePicture, Game_Base::tr("終了！"));
}

void Game_Shooting::drawPlay(QPainter *painter)
{
    setCursor(Qt::DragMoveCursor);
    // The curtains and the counter are opaque: what lies behind them is left undrawn when the
    // painter copies pixels one to one, so the overlay covers it exactly.
    const bool hidden = Picture::isPixelExact(painter);
    drawBehindForeground(painter, pictures.background, QPoint(0, 0), hidden);
    gallery->rollSpawn();
    drawTargets(painter, hidden);
    drawBonuses(painter);
    drawCombos(painter);
    painter->drawImage(crosshairRect(), pictures.crosshair);
    // The curtains and the counter: the open middle of the overlay is not drawn.
    pictures.foreground.draw(painter);
    drawScorePanel(painter, pictures.scorePicture);
    drawClock(painter);
}

// Play draws the gallery picture and the result fills black.
QRectF Game_Shooting::opaqueRect() const
{
    return gallery && (gallery->isTimeUp() || !pictures.background.isNull()) ? boundingRect()
                                                                             : QRectF();
}
