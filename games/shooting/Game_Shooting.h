#pragma once
// The shooting gallery screen: targets drift and fade over the gallery, the player aims with a
// crosshair and shoots with a mouse press against a 50-second clock. The rules live in
// Game_Shooting_Gallery; this item draws them and advances them once per painted frame.
#include "games/frame/Game_Base.h"
#include "games/frame/Game_LastSeconds.h"
#include "games/shooting/Game_Shooting_Gallery.h"
#include "games/shooting/Game_Shooting_Pictures.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <memory>

class Game_Shooting_Gallery;

class Game_Shooting : public Game_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;
    Game_Shooting();
    // The play objects free themselves; releaseResources() is for the next start.
    ~Game_Shooting() override;

    void releaseResources() override;
    void createResources() override;
    void initGame() override;
    // The gallery's clock; null before the first start.
    Game_Countdown *getCountdown() override;

    // Null before the first start.
    Game_Shooting_Gallery *getGallery() const { return gallery.get(); }
    const Game_Shooting_Pictures &getPictures() const { return pictures; }
    QRectF crosshairRect() const;

protected:
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void playHoverMove(QGraphicsSceneHoverEvent *event) override;

private:
    // Draws picture at `at` (item coordinates), without what the foreground's opaque parts
    // will cover when hidden is true.
    void drawBehindForeground(QPainter *painter, const QImage &picture, const QPoint &at,
                              bool hidden) const;
    void drawTargets(QPainter *painter, bool hidden);
    void drawBonuses(QPainter *painter);
    void drawCombos(QPainter *painter);
    void drawClock(QPainter *painter);
    // A shot always sounds, then what it met: a target, the bonus zone, a bad target or nothing.
    static void soundShot(Game_Shooting_Gallery::Shot shot);
    void drawPlay(QPainter *painter);

    Game_Shooting_Pictures pictures;
    // The last hover position in scene coordinates.
    QPointF pointerPos;
    std::unique_ptr<Game_Shooting_Gallery> gallery;
    Game_LastSeconds lastSeconds;
};
