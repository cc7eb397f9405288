#pragma once
// The arrow train: tiles slide from the left towards the right edge and the player presses the
// direction of the rightmost one with the arrow keys. A correct key removes it and speeds the
// train up, inside the bonus box it also earns 200 points; a wrong key or a tile past the right
// edge ends the play. The score is 100 points for every whole second plus the bonuses.
#include "games/frame/Game_Base.h"

class Game_ElapsedClock;
class Game_Typing_Train;
class QImage;

class Game_Typing : public Game_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;
    static constexpr int PointsPerSecond = 100;

    Game_Typing();
    ~Game_Typing() override;

    void releaseResources() override;
    void createResources() override;
    void initGame() override;
    void retryGame() override;
    void resumeGame() override;

    // The bonus box in item coordinates, from the border picture's size.
    QRectF borderRect() const;

    // Read-only views for tests and benchmarks; null outside createResources..releaseResources.
    const Game_Typing_Train *getTrain() const { return train; }
    const Game_ElapsedClock *getClock() const { return clock; }
    double getBorderAlpha() const { return borderAlpha; }
    bool isFinished() const;

protected:
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override;
    void playKeyRelease(QKeyEvent *event) override;

private:
    void loadPictures();
    void paintPlay(QPainter *painter);
    void paintResult(QPainter *painter);

    QImage *background = nullptr;
    QImage *scorePicture = nullptr;
    QImage *timerPicture = nullptr;
    QImage *borderPicture = nullptr;
    QImage *arrowPictures = nullptr;
    // elapsed and lastTick
    Game_ElapsedClock *clock = nullptr;
    double borderAlpha = 1.0;
    // tiles, speed, pressedDirection, finished
    Game_Typing_Train *train = nullptr;
};
