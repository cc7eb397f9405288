#pragma once
// The slot machine: a train of card reels drifts in from the right, each spinning faster than the
// one before; a mouse press stops the oldest spinning reel, and the card in the pay line either
// scores (the three highest ranks) or ends the game. A spinning reel reaching the left edge ends
// it too.
#include "games/frame/Game_Backdrop.h"
#include "games/frame/Game_Base.h"
#include "games/frame/Game_Overlay.h"

#include <QImage>
#include <memory>

class Game_Slot_Machine;
class Game_Slot_ReelDrawer;

class Game_Slot : public Game_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;
    Game_Slot();
    // The play objects free themselves; releaseResources() is for the next start.
    ~Game_Slot() override;

    void releaseResources() override;
    void createResources() override;
    void initGame() override;
    void retryGame() override;
    void resumeGame() override;

    // Null outside createResources..releaseResources.
    Game_Slot_Machine *getMachine() const { return machine.get(); }
    const Game_Slot_ReelDrawer *getReelDrawer() const { return reelDrawer.get(); }
    bool isGameOver() const;

protected:
    // Space stops the oldest spinning reel on its press, as a press of the mouse does; its
    // release is no answer to the dialog the stop may bring up.
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override { return !isGameOver(); }
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    // Stops the oldest spinning reel; false when the play is over.
    bool stopReel();
    struct Pictures {
        QImage background;
        // drawn over the reels
        Game_Overlay foreground;
        QImage scorePicture;
    };

    void drawCabinet(QPainter *painter) const;
    void drawMachine(QPainter *painter);
    size_t reelsKey() const;

    Pictures pictures;
    // reels, nextSpeed, spawnCount, lastResult, gameOver
    std::unique_ptr<Game_Slot_Machine> machine;
    std::unique_ptr<Game_Slot_ReelDrawer> reelDrawer;
    // The current press stopped a reel, so its release must not act on the result dialog.
    bool pressed = false;
    bool spacePressed = false;
    Game_Backdrop backdrop;
};
