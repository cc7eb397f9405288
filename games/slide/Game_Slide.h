#pragma once
// Slide: a 3 x 3 sliding picture puzzle against a one-minute clock. The background picture is
// cut into the tiles; 250 points for every second left when it is whole again.
#include "games/frame/Game_Base.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QTime>

class Game_Slide_Board;
class Game_Countdown;

class Game_Slide : public Game_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;
    static constexpr int BoardWidth = 737;
    static constexpr int BoardHeight = 369;
    static constexpr int PointsPerSecond = 250;

    // The live score for a remaining time: 250 for every whole second of its seconds field.
    static int pointsFor(const QTime &left);

    Game_Slide();
    ~Game_Slide() override;

    void releaseResources() override;
    void createResources() override;
    void initGame() override;
    void exitGame() override;

    // The frame drawn around the cells, in item coordinates.
    QRect boardFrame() const;
    QRect cellRect(int index) const;
    // The cell under a scene position, or -1 outside the board frame.
    int cellAtPoint(const QPointF &p) const;

    // For tests.
    Game_Slide_Board *getBoard() const { return board; }
    Game_Countdown *getClock() const { return remaining; }
    bool isCleared() const { return cleared; }
    bool isTimeUp() const { return timeUp; }
    bool isTimerRunning() const;

protected:
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override { return !cleared && !timeUp; }
    void playMouseRelease(QGraphicsSceneMouseEvent *event) override;

private:
    void shuffle();
    void tryMove(int cell);
    void drawPlay(QPainter *painter);
    // Advances the clock and the live score; draws the clock text while time is left.
    void stepClock(QPainter *painter);

    QImage *background = nullptr;
    QImage *foreground = nullptr;
    QImage *scorePicture = nullptr;
    QImage *timerPicture = nullptr;
    Game_Countdown *remaining = nullptr;
    QPoint *boardOrigin = nullptr;
    QSize *boardSize = nullptr;
    Game_Slide_Board *board = nullptr;
    bool cleared = false;
    bool timeUp = false;
};
