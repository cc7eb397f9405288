#pragma once
// The arrow train: tiles slide from the left towards the right edge and the player presses the
// direction of the rightmost one with the arrow keys. A correct key removes it and speeds the
// train up, inside the bonus box it also earns 200 points; a wrong key or a tile past the right
// edge ends the play. The score is 100 points for every whole second plus the bonuses.
#include "base/Game_ElapsedClock.h"
#include "games/frame/Game_Base.h"
#include "games/frame/Game_PanelPictures.h"
#include "games/typing/Game_Typing_Train.h"

#include <QImage>
#include <memory>

class Game_Typing : public Game_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;
    static constexpr int PointsPerSecond = 100;

    Game_Typing();

    void releaseResources() override;
    void createResources() override;
    void initGame() override;
    void retryGame() override;
    void resumeGame() override;

    // The bonus box in item coordinates, from the border picture's size.
    QRectF borderRect() const;

    // Read-only views for tests and benchmarks; null outside createResources..releaseResources.
    const Game_Typing_Train *getTrain() const { return train.get(); }
    const Game_ElapsedClock *getClock() const { return train ? &clock : nullptr; }
    double getBorderAlpha() const { return borderAlpha; }
    bool isFinished() const;

protected:
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override;
    void playKeyRelease(QKeyEvent *event) override;

private:
    struct Pictures : Game_PanelPictures {
        QImage border;
        QImage arrows[4];
    };

    void loadPictures();
    void paintPlay(QPainter *painter);
    void paintResult(QPainter *painter);
    // The train's step; a tile taken inside the box scores its bonus and lights the box.
    Game_Typing_Train::Step stepTrain();
    void drawTiles(QPainter *painter);
    // The box at its light, which then fades towards 0.2.
    void drawBorder(QPainter *painter);
    // The score is the time played plus the bonuses: the clock runs and the score follows it.
    void stepClock();
    void drawClock(QPainter *painter);

    Pictures pictures;
    // elapsed and lastTick
    Game_ElapsedClock clock;
    double borderAlpha = 1.0;
    // tiles, speed, pressedDirection, finished; null until createResources() and after
    // releaseResources().
    std::unique_ptr<Game_Typing_Train> train;
};
