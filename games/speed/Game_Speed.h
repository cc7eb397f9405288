#pragma once
// Speed, a one-player card race: lay table cards on the two piles by neighbouring rank before
// the one-minute clock runs out; a card that fits neither pile costs two seconds.
#include "games/cards/Game_Trump.h"
#include "games/frame/Game_Base.h"
#include "games/frame/Game_LastSeconds.h"
#include "games/frame/Game_PanelPictures.h"
#include "games/speed/Game_Speed_Clock.h"
#include "games/speed/Game_Speed_Table.h"

#include <QImage>
#include <QRectF>
#include <memory>

class Game_Speed : public Game_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;

    Game_Speed();

    void releaseResources() override;
    void createResources() override;
    void initGame() override;

    // Layout of the clock and the count, centred 240 px above and below the middle.
    QRectF timerPictureRect() const;
    QRectF restPictureRect() const;

    Game_Speed_Table *getTable() { return &table; }
    Game_Countdown *getCountdown() override { return &clock.getCountdown(); }
    bool isGameOver() const { return clock.isGameOver(); }
    int getMissFlash() const { return clock.getMissFlash(); }

protected:
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override { return !clock.isGameOver(); }
    void playMouseRelease(QGraphicsSceneMouseEvent *event) override;
    // The number keys 1 to 9 and 0 pick the ten table cards, as a click on them does.
    void playKeyRelease(QKeyEvent *event) override;

private:
    void playAt(const QPointF &pos);
    // The clock's last five seconds each tick once.
    Game_LastSeconds lastSeconds;
    struct Pictures : Game_PanelPictures {
        QImage rest;
    };

    void loadPictures();
    void drawResult(QPainter *painter);
    void drawCards(QPainter *painter);
    void drawClock(QPainter *painter, bool withText);
    void drawCount(QPainter *painter);
    void drawCard(QPainter *painter, const QRectF &rect, int suit, int rank);

    Pictures pictures;
    // remaining, lastTick, missFlash and gameOver
    Game_Speed_Clock clock;
    // Loads the sheet; null until createResources() and after releaseResources().
    std::unique_ptr<Game_Trump> cards;
    // pileA, pileB, the ten table cards and played
    Game_Speed_Table table;
};
