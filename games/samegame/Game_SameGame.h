#pragma once
// SameGame: click groups of two or more touching tiles of one kind to clear them before the time
// bar fills. A board with no group left is replaced at once and the bar fills faster after it.
#include "games/frame/Game_Base.h"

#include "games/frame/Game_Backdrop.h"

#include <QImage>
#include <QPoint>

class Game_SameGame_Bar;
class Game_SameGame_Mass;

class Game_SameGame : public Game_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;
    static constexpr int TileCount = 8;
    static constexpr int BoardX = 122;
    static constexpr int BoardY = 58;
    // The pointer mapping has its own origin, two pixels left of the drawn board.
    static constexpr int PointerOriginX = 120;
    static constexpr int CellSize = 60;

    Game_SameGame();
    ~Game_SameGame() override;

    void releaseResources() override;
    void createResources() override;
    void initGame() override;
    void retryGame() override;
    void pauseGame() override;
    void exitGame() override;
    void resumeGame() override;
    void stopTimers() override;

    // The cell under a point in item coordinates; may lie outside the board.
    QPoint cellAtPoint(const QPointF &p) const;

    // For tests: the board, the bar and the play state.
    Game_SameGame_Mass *getBoard() const { return board; }
    Game_SameGame_Bar *getTimeBar() const { return timeBar; }
    bool isTimeOver() const { return timeOver; }
    QPoint getHoverCell() const { return hoverCell ? *hoverCell : QPoint(-1, -1); }

public slots:
    void gameOver();

protected:
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override { return !stageClear && !timeOver; }
    void playMouseRelease(QGraphicsSceneMouseEvent *event) override;
    void playHoverMove(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;

private:
    void clickCell(int column, int row);
    QRectF drawnCellRect(int column, int row) const;
    void drawBoard(QPainter *painter) const;
    size_t boardKey() const;

    bool stageClear = false;
    bool timeOver = false;
    QImage *background = nullptr;
    QImage *scorePicture = nullptr;
    Game_SameGame_Bar *timeBar = nullptr;
    Game_SameGame_Mass *board = nullptr;
    QImage *tileImages = nullptr;
    QPoint *hoverCell = nullptr;
    Game_Backdrop backdrop;
};
