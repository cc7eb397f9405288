#pragma once
// Speed, a one-player card race: lay table cards on the two piles by neighbouring rank before
// the one-minute clock runs out; a card that fits neither pile costs two seconds.
#include "games/frame/Game_Base.h"

#include <QRectF>

class Game_Countdown;
class Game_Speed_Table;
class Game_Trump;
class QImage;

class Game_Speed : public Game_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;
    static constexpr int MissPenaltyMs = 2000;

    Game_Speed();
    ~Game_Speed() override;

    void releaseResources() override;
    void createResources() override;
    void initGame() override;

    // Layout of the clock and the count, centred 240 px above and below the middle.
    QRectF timerPictureRect() const;
    QRectF restPictureRect() const;

    Game_Speed_Table *getTable() const { return table; }
    Game_Countdown *getClock() const { return clock; }
    bool isGameOver() const { return gameOver; }
    int getMissFlash() const { return missFlash; }

protected:
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override { return !gameOver; }
    void playMouseRelease(QGraphicsSceneMouseEvent *event) override;

private:
    void drawPlayField(QPainter *painter);
    void drawClock(QPainter *painter);
    void drawCard(QPainter *painter, const QRectF &rect, int suit, int rank);

    QImage *background = nullptr;
    QImage *scorePicture = nullptr;
    QImage *timerPicture = nullptr;
    QImage *restPicture = nullptr;
    // Holds `remaining` and `lastTick`.
    Game_Countdown *clock = nullptr;
    Game_Trump *cards = nullptr;
    Game_Speed_Table *table = nullptr;
    bool gameOver = false;
    // Red of the clock text after a miss, fading from 255 to 0 one step per frame.
    int missFlash = 0;
};
