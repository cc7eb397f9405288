#pragma once
// Slide: a 3 x 3 sliding picture puzzle against a one-minute clock. The background picture is
// cut into the tiles; 250 points for every second left when it is whole again.
#include "games/frame/Game_Base.h"
#include "games/slide/Game_Slide_Board.h"
#include "games/slide/Game_Slide_Clock.h"

#include <QImage>
#include <QPoint>
#include <QSize>

#include <optional>

class Game_Slide : public Game_Base
{
    Q_OBJECT
public:
    Game_Slide();

    void releaseResources() override;
    void createResources() override;
    void initGame() override;
    void exitGame() override;
    QRectF opaqueRect() const override;

    // The board's fixed extent; the cells share it out.
    static constexpr int BoardWidth = 737;
    static constexpr int BoardHeight = 369;
    // The frame drawn around the cells, in item coordinates.
    QRect boardFrame() const;
    QRect cellRect(int index) const;
    // The cell under a scene position, or -1 outside the board frame.
    int cellAtPoint(const QPointF &p) const;

    Game_Countdown *getCountdown() override { return &remaining.getCountdown(); }
    // For tests.
    Game_Slide_Board *getBoard() { return &board; }
    bool isCleared() const { return cleared; }
    bool isTimeUp() const { return timeUp; }
    bool isTimerRunning() const;

protected:
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override { return !cleared && !timeUp; }
    void playMouseRelease(QGraphicsSceneMouseEvent *event) override;
    // An arrow key slides the tile beside the gap into it, in the arrow's direction.
    void playKeyRelease(QKeyEvent *event) override;

private:
    void shuffle();
    void tryMove(int cell);
    void loadPictures();
    // A play frame: the board, its overlay and the panels, then the clock's step, then the
    // clock's text while time is left.
    void paintPlay(QPainter *painter);
    void drawBoard(QPainter *painter);
    void drawPanels(QPainter *painter);
    // The frame's rule: the minute and the live score; at time up the play ends. False then.
    bool stepClock();
    void drawClock(QPainter *painter);

    struct Pictures {
        QImage background;
        QImage foreground;
        QImage score;
        QImage timer;
    };
    // Made by createResources(), freed by releaseResources().
    std::optional<Pictures> pictures;
    Game_Slide_Clock remaining;
    QPoint boardOrigin;
    QSize boardSize{3, 3};
    Game_Slide_Board board;
    bool cleared = false;
    bool timeUp = false;
};
