#pragma once
// SameGame: click groups of two or more touching tiles of one kind to clear them before the time
// bar fills. A board with no group left is replaced at once and the bar fills faster after it.
#include "games/frame/Game_Base.h"

#include "games/frame/Game_Backdrop.h"
#include "games/frame/Game_LastSeconds.h"

#include <QImage>
#include <QPoint>
#include <array>
#include <memory>

class Game_SameGame_Bar;
class Game_SameGame_Mass;
class Game_SameGame_Rules;

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
    // The play objects free themselves; releaseResources() is for the next start.
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

    // For tests: the play, its board, the bar and the play state; null outside
    // createResources..releaseResources.
    Game_SameGame_Rules *getRules() const { return rules.get(); }
    Game_SameGame_Mass *getBoard() const;
    Game_SameGame_Bar *getTimeBar() const { return timeBar.get(); }
    bool isTimeOver() const;
    QPoint getHoverCell() const { return hoverCell; }

public slots:
    void gameOver();

protected:
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override;
    void playMouseRelease(QGraphicsSceneMouseEvent *event) override;
    void playHoverMove(QGraphicsSceneHoverEvent *event) override;
    // The arrow keys move a cursor over the tiles (the pointer's highlight follows it); Space or
    // Enter removes the group under it, as a click does.
    void playKeyRelease(QKeyEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;

private:
    // Index k (0..3): the tile of kind k; k + 4: the same tile highlighted.
    struct Pictures {
        QImage background;
        QImage scorePicture;
        std::array<QImage, TileCount> tiles;
    };

    void loadTiles();
    void clickCell(int column, int row);
    // The bar's tick: a tick sound for each of its last seconds.
    void barTicked();
    QRectF drawnCellRect(int column, int row) const;
    void drawBoard(QPainter *painter) const;
    void drawHoveredGroup(QPainter *painter) const;
    void drawKeyCursor(QPainter *painter) const;
    size_t boardKey() const;

    Pictures pictures;
    // stageClear, timeOver, the board and the bar's level
    std::unique_ptr<Game_SameGame_Rules> rules;
    // A child item; going before the rules, whose level it shows.
    std::unique_ptr<Game_SameGame_Bar> timeBar;
    QPoint hoverCell{-1, -1};
    Game_LastSeconds lastSeconds;
    // The last move of the highlight came from the keys: the cursor's frame is drawn.
    bool keyCursor = false;
    Game_Backdrop backdrop;
};
