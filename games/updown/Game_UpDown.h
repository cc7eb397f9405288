#pragma once
// UpDown, the high-low card game: click one of five cards that goes the way the arrow over the
// current card asks, before the one-minute clock runs out.
#include "games/frame/Game_Base.h"

#include <QRectF>

class Game_Countdown;
class Game_Trump;
class Game_UpDown_Table;
class QImage;

class Game_UpDown : public Game_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;
    Game_UpDown();
    ~Game_UpDown() override;

    void releaseResources() override;
    void createResources() override;
    void initGame() override;

    // Layout in item coordinates.
    QRectF currentCardRect() const;
    QRectF placeRect(int place) const;
    QRectF arrowRect() const;

    Game_UpDown_Table *getTable() const { return table; }
    Game_Countdown *getClock() const { return clock; }

protected:
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override { return !isOver(); }
    void playMouseRelease(QGraphicsSceneMouseEvent *event) override;

private:
    bool isOver() const;
    void drawPlayField(QPainter *painter);
    void drawCard(QPainter *painter, const QRectF &rect, int deckIndex);

    QImage *background = nullptr;
    QImage *scorePicture = nullptr;
    QImage *timerPicture = nullptr;
    QImage *restPicture = nullptr;
    QImage *arrows = nullptr; // [0] UP, [1] DOWN
    // Holds `remaining` and `lastTick`.
    Game_Countdown *clock = nullptr;
    Game_Trump *cards = nullptr;
    Game_UpDown_Table *table = nullptr;
};
