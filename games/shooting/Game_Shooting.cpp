#include "games/shooting/Game_Shooting.h"

#include "base/Clock.h"
#include "base/Game_GlyphCache.h"
#include "games/frame/Game_Score.h"
#include "base/Picture.h"
#include "games/shooting/Game_Shooting_Bonus.h"
#include "games/shooting/Game_Shooting_Combo.h"
#include "games/shooting/Game_Shooting_Gallery.h"
#include "games/shooting/Game_Shooting_Target.h"

#include <QCursor>
#include <QDebug>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

Game_Shooting::Game_Shooting()
{
    setName(QStringLiteral("Shooting"));
    setPos(-2, -2);
}

Game_Shooting::~Game_Shooting()
{
    releaseResources();
}

void Game_Shooting::releaseResources()
{
    delete background;
    background = nullptr;
    delete foreground;
    foreground = nullptr;
    delete crosshairPicture;
    crosshairPicture = nullptr;
    delete scorePicture;
    scorePicture = nullptr;
    delete timerPicture;
    timerPicture = nullptr;
    delete pointerPos;
    pointerPos = nullptr;
    gallery.reset();
}

void Game_Shooting::createResources()
{
    background = new QImage;
    foreground = new QImage;
    crosshairPicture = new QImage;
    scorePicture = new QImage;
    timerPicture = new QImage;
    pointerPos = new QPointF(0, 0);
    gallery = std::make_unique<Game_Shooting_Gallery>(getScore());
}

void Game_Shooting::initGame()
{
    if (!gallery)
        createResources();
    Picture::load(*background, QStringLiteral(":/img/shooting/BG01"),
                  QStringLiteral(":/img/shooting/BG01"));
    Picture::load(*foreground, QStringLiteral(":/img/shooting/BG02"),
                  QStringLiteral(":/img/shooting/BG02"));
    foregroundInk = Picture::inkRects(*foreground);
    foregroundOpen = Picture::seeThroughRects(*foreground);
    Picture::load(*crosshairPicture, QStringLiteral(":/img/shooting/TARGET"),
                  QStringLiteral("imgReadError: /img/shooting/TARGET"));
    Picture::load(*scorePicture, QStringLiteral(":/img/shooting/SCORE"),
                  QStringLiteral("imgReadError: /img/shooting/SCORE"));
    Picture::load(*timerPicture, QStringLiteral(":/img/shooting/TIMER"),
                  QStringLiteral("imgReadError: /img/shooting/TIMER"));
    setWidth(Picture::sizeOf(*background).width());
    setHeight(Picture::sizeOf(*background).height());
    Game_Shooting_Target::preload();
    getScore()->setScore(0);
    setQuestionShown(false);
    setAcceptHoverEvents(true);
    setFocus(Qt::OtherFocusReason);
    gallery->reset(Clock::monotonicMs());
    startFrameTimer();
}

QRectF Game_Shooting::crosshairRect() const
{
    const qreal w = crosshairPicture ? Picture::sizeOf(*crosshairPicture).width() : 0;
    const qreal h = crosshairPicture ? Picture::sizeOf(*crosshairPicture).height() : 0;
    const QPointF p = pointerPos ? *pointerPos : QPointF();
    return QRectF(p.x() - w / 2, p.y() - h / 2, w, h);
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
    gallery->shoot(event->scenePos().toPoint());
    update();
}

void Game_Shooting::playHoverMove(QGraphicsSceneHoverEvent *event)
{
    if (pointerPos)
        *pointerPos = event->scenePos();
}

void Game_Shooting::drawBehindForeground(QPainter *painter, const QImage &picture,
                                         const QPoint &at, bool hidden) const
{
    if (!hidden) {
        Picture::drawAtDeviceSize(painter, at, picture);
        return;
    }
    const QRect placed(at, Picture::sizeOf(picture));
    for (const QRect &open : foregroundOpen) {
        if (open.top() > placed.bottom())
            break;
        const QRect part = open & placed;
        if (!part.isEmpty())
            Picture::drawPart(painter, part.topLeft(), picture, part.translated(-at));
    }
}

void Game_Shooting::drawTargets(QPainter *painter, bool hidden)
{
    const qreal opacity = painter->opacity();
    gallery->stepTargets([this, painter, hidden](Game_Shooting_Target &t, double o,
                                                 const QPoint &p) {
        painter->setOpacity(o);
        drawBehindForeground(painter, t.picture(), p, hidden);
    });
    painter->setOpacity(opacity);
}

void Game_Shooting::drawBonuses(QPainter *painter)
{
    const qreal opacity = painter->opacity();
    gallery->stepBonuses([painter](Game_Shooting_Bonus &b, double o, const QPoint &p) {
        painter->setOpacity(o);
        Picture::drawAtDeviceSize(painter, p, b.picture());
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
    // Every live popup shows the current count.
    const QString text = QString::number(gallery->getComboCount()) + QStringLiteral("匹");
    gallery->stepCombos([painter, &text](Game_Shooting_Combo &, double o, const QPoint &p) {
        painter->setOpacity(o);
        Game_GlyphCache::drawText(painter, QPointF(p), text);
    });
    painter->restore();
}

void Game_Shooting::drawClock(QPainter *painter)
{
    painter->drawImage(120, 10, *timerPicture);
    if (!gallery->advanceClock(Clock::monotonicMs()))
        return;
    QFont clockFont = getFont();
    clockFont.setPointSize(50);
    painter->setFont(clockFont);
    Game_GlyphCache::drawText(painter,
                              QRectF(180, 30, Picture::sizeOf(*timerPicture).width(),
                                     Picture::sizeOf(*timerPicture).height()),
                              Qt::AlignLeft, gallery->clockText());
}

void Game_Shooting::paintGame(QPainter *painter)
{
    if (!gallery)
        return;
    if (gallery->isTimeUp()) {
        setCursor(Qt::ArrowCursor);
        painter->fillRect(boundingRect(), Qt::black);
        drawScorePanel(painter, *scorePicture);
        drawDialog(painter, QStringLiteral("終了！"), QStringLiteral("もう一度"),
                   QStringLiteral("メニューに戻る"));
        return;
    }
    setCursor(Qt::DragMoveCursor);
    // The curtains and the counter are opaque: what lies behind them is left undrawn when the
    // painter copies pixels one to one, so the overlay covers it exactly.
    const bool hidden = Picture::isPixelExact(painter);
    drawBehindForeground(painter, *background, QPoint(0, 0), hidden);
    gallery->rollSpawn();
    drawTargets(painter, hidden);
    drawBonuses(painter);
    drawCombos(painter);
    painter->drawImage(crosshairRect(), *crosshairPicture);
    // The curtains and the counter: the open middle of the overlay is not drawn.
    if (hidden) {
        for (const QRect &part : foregroundInk)
            Picture::drawPart(painter, part.topLeft(), *foreground, part);
    } else {
        Picture::drawAtDeviceSize(painter, QPointF(0, 0), *foreground);
    }
    drawScorePanel(painter, *scorePicture);
    drawClock(painter);
}

// Play draws the gallery picture and the result fills black.
QRectF Game_Shooting::opaqueRect() const
{
    return gallery && (gallery->isTimeUp() || !background->isNull()) ? boundingRect() : QRectF();
}
