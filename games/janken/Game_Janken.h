#pragma once
// Rock-paper-scissors against Tovira: a marker slides towards the judging line, Tovira shows a
// new hand while it crosses the drawing zone, and the player must hold up the winning hand (Up
// rock, Right paper, Left scissors) before it arrives. A draw or a loss ends the play; the score
// is 125 points for every whole second survived.
#include "base/Game_ElapsedClock.h"
#include "games/frame/Game_Base.h"
#include "games/frame/Game_PanelPictures.h"
#include "games/janken/Game_Janken_Duel.h"

#include <QImage>
#include <memory>

class Game_Janken : public Game_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;
    static constexpr int PointsPerSecond = 125;

    Game_Janken();

    void releaseResources() override;
    void createResources() override;
    void initGame() override;
    void resumeGame() override;

    // Read-only views for tests and benchmarks; null outside createResources..releaseResources.
    const Game_Janken_Duel *getDuel() const { return duel.get(); }
    const Game_ElapsedClock *getClock() const { return duel ? &clock : nullptr; }
    bool isFinished() const;

protected:
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override;
    void playKeyRelease(QKeyEvent *event) override;

private:
    struct Pictures : Game_PanelPictures {
        QImage foreground;
        QImage tovira[3];
        QImage hands[3];
        QImage point;
    };

    void loadPictures();
    void paintPlay(QPainter *painter);
    void paintResult(QPainter *painter);
    // Sounds what the duel's step did: a new hand, a won throw, the draw or the loss.
    void soundStep(int handsBefore, int wonBefore);
    void drawHands(QPainter *painter);
    void drawMarker(QPainter *painter, int x);
    // The score is the time played: the clock runs and the score follows it.
    void stepClock();
    void drawClock(QPainter *painter);

    Pictures pictures;
    // elapsed and lastTick
    Game_ElapsedClock clock;
    // opponentHand, opponentDrawn, playerHand, pointX, finished, lost; null until
    // createResources() and after releaseResources().
    std::unique_ptr<Game_Janken_Duel> duel;
};
