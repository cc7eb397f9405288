#pragma once
// The rules of Janken without any painting: the marker sliding towards the judging line, the
// opponent's hand drawn once per throw while the marker crosses the drawing zone, the player's
// hand, and the judging of each throw. Hands: 0 rock, 1 paper, 2 scissors.
class Game_Janken_Duel
{
public:
    static constexpr int StartX = -10;
    static constexpr int SlowStep = 3;
    // Added to the slow step once a minute has passed.
    static constexpr int FastExtra = 5;
    // The opponent draws while the marker's centre is strictly inside this span.
    static constexpr int ZoneLeft = 150;
    static constexpr int ZoneRight = 250;
    // A throw is judged once the marker's centre is past this line.
    static constexpr int JudgeX = 380;

    // Whether hand p beats hand o (0 beats 2, 1 beats 0, 2 beats 1).
    static bool beats(int p, int o);

    // A fresh game: the opponent draws its first hand, the player holds rock, the marker waits
    // at the start.
    void start();
    // Moves the marker one frame (faster once fast), draws the opponent's hand in the zone and
    // judges the throw past the line. Returns the marker's left edge before the move, which is
    // where the frame draws it.
    int step(int markerWidth, bool fast);

    // Out-of-range hands are ignored.
    void setPlayerHand(int hand);

    int getPointX() const { return pointX; }
    int getOpponentHand() const { return opponentHand; }
    bool isOpponentDrawn() const { return opponentDrawn; }
    int getPlayerHand() const { return playerHand; }
    bool isFinished() const { return finished; }
    bool isLost() const { return lost; }
    // Counts since start(), so the screen can sound each new hand and each won throw.
    int getHandsDrawn() const { return handsDrawn; }
    int getThrowsWon() const { return throwsWon; }

private:
    void judge();

    int pointX = StartX;
    int opponentHand = 0;
    bool opponentDrawn = false;
    int playerHand = 0;
    bool finished = false;
    bool lost = false;
    int handsDrawn = 0;
    int throwsWon = 0;
};
