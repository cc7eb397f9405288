#pragma once
// UpDown, the high-low card game: click one of five cards that goes the way the arrow over the
// current card asks, before the one-minute clock runs out.
#include "base/Game_Countdown.h"
#include "games/cards/Game_Trump.h"
#include "games/frame/Game_Base.h"
#include "games/frame/Game_LastSeconds.h"
#include "games/frame/Game_PanelPictures.h"
#include "games/updown/Game_UpDown_Table.h"

#include <QImage>
#include <QRectF>
#include <memory>

class Game_UpDown : public Game_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;
    Game_UpDown();

    void releaseResources() override;
    void createResources() override;
    void initGame() override;

    // Layout in item coordinates.
    QRectF currentCardRect() const;
    QRectF placeRect(int place) const;
    QRectF arrowRect() const;

    Game_UpDown_Table *getTable() { return &table; }
    Game_Countdown *getCountdown() override { return &clock; }

protected:
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override { return !isOver(); }
    void playMouseRelease(QGraphicsSceneMouseEvent *event) override;
    // The number keys 1 to 5 pick the places from the left, as a click on them does.
    void playKeyRelease(QKeyEvent *event) override;

private:
    void playPlace(int place);
    // The clock's last five seconds each tick once.
    Game_LastSeconds lastSeconds;
    struct Pictures : Game_PanelPictures {
        QImage rest;
        QImage arrows[2]; // [0] UP, [1] DOWN
    };

    void loadPictures();
    bool isOver() const;
    void drawResult(QPainter *painter);
    void drawPlayField(QPainter *painter);
    void drawCard(QPainter *painter, const QRectF &rect, int deckIndex);

    Pictures pictures;
    // Holds `remaining` and `lastTick`.
    Game_Countdown clock;
    // Loads the sheet; null until createResources() and after releaseResources().
    std::unique_ptr<Game_Trump> cards;
    Game_UpDown_Table table;
};
