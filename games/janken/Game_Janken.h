#pragma once
// Rock-paper-scissors against Tovira: a marker slides towards the judging line, Tovira shows a
// new hand while it crosses the drawing zone, and the player must hold up the winning hand (Up
// rock, Right paper, Left scissors) before it arrives. A draw or a loss ends the play; the score
// is 125 points for every whole second survived.
#include "games/frame/Game_Base.h"

class Game_ElapsedClock;
class Game_Janken_Duel;
class QImage;

class Game_Janken : public Game_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;
    static constexpr int PointsPerSecond = 125;

    Game_Janken();
    ~Game_Janken() override;

    void releaseResources() override;
    void createResources() override;
    void initGame() override;
    void resumeGame() override;

    // Read-only views for tests and benchmarks; null outside createResources..releaseResources.
    const Game_Janken_Duel *getDuel() const { return duel; }
    const Game_ElapsedClock *getClock() const { return clock; }
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
    QImage *foreground = nullptr;
    QImage *scorePicture = nullptr;
    QImage *timerPicture = nullptr;
    QImage *toviraPictures = nullptr;
    QImage *handPictures = nullptr;
    QImage *pointPicture = nullptr;
    // elapsed and lastTick
    Game_ElapsedClock *clock = nullptr;
    // opponentHand, opponentDrawn, playerHand, pointX, finished, lost
    Game_Janken_Duel *duel = nullptr;
};
