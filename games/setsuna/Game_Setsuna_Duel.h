#pragma once
// The rules of the reaction duel without any painting: the title choice, the random wait before
// the signal, the opponent's reaction time, shots, false starts and the points of a won duel.
// Clock marks are read from Clock::monotonicMs(), so a wait never runs negative across an hour
// or a day boundary.
#include <QtGlobal>

class Game_Setsuna_Duel
{
public:
    // What the caller should play after a press or the opponent's shot.
    enum class Sound { None, Win, Lose };
    // Which picture each side shows: 0 ready, 1 striking, 2 down.
    struct Poses {
        int left;
        int right;
    };

    static constexpr int ButtonCount = 3;
    static constexpr int NextRoundDelay = 500;
    // Points for a won duel and the opponent's base time, by difficulty 0..2.
    static int pointsFor(int difficulty);
    static int baseTimeFor(int difficulty);

    // Back to the title screen: no difficulty, no pending waits, streak 1, every flag off.
    void reset();
    // A new duel: draws the wait before the signal (1000..3999 ms) and starts it now; an
    // opponent still pending from an undecided duel is dropped.
    void startRound();

    // The three waits of the tick; each "due" is strictly past its delay.
    bool waitIsOver() const;
    void clearWait();
    bool opponentIsDue() const;
    void clearOpponent();
    bool nextRoundIsDue() const;
    void clearNextRound();

    // The signal: draws the opponent's reaction time. Nothing after a false start.
    void fight();
    // The signal is on screen: the opponent's time runs from the first frame that shows it.
    void signalDrawn();
    // The opponent fires: lost unless the player already won.
    Sound enemy();
    // A mouse press: a shot after the signal, a false start during the wait.
    Sound press();
    // Whether this release may act on the "残念！" buttons; a false start's own release may not.
    bool releaseReachesDialog() const;
    void endRelease() { releaseLatch = false; }

    // The pictures of the current state; a false start or a lost duel also ends the run.
    Poses posesAndSettle();
    // Points to add when a won duel is drawn the first time; 0 otherwise. Starts the
    // next-round wait.
    int takeWinPoints();

    bool isTitleMode() const { return titleMode; }
    int getDifficulty() const { return difficulty; }
    void setDifficulty(int value) { difficulty = value; }
    bool isSignalShown() const { return signalShown; }
    bool hasPlayerWon() const { return playerWon; }
    bool hasOpponentWon() const { return opponentWon; }
    bool isRoundOver() const { return roundOver; }
    bool isFalseStart() const { return falseStart; }
    // The "残念！" question is up (or about to be, after a false start).
    bool isResultShown() const { return roundOver || falseStart; }
    int getStreak() const { return streak; }
    int getWaitDelay() const { return waitDelay; }
    int getOpponentDelay() const { return opponentDelay; }
    bool isWaiting() const { return waitStart >= 0; }
    bool isOpponentPending() const { return signalTime >= 0; }
    bool isNextRoundPending() const { return nextRoundTime >= 0; }

private:
    static bool isOver(qint64 mark, int delay);

    bool titleMode = true;
    int difficulty = -1;
    bool signalShown = false;
    bool playerWon = false;
    bool opponentWon = false;
    bool roundOver = false;
    bool falseStart = false;
    bool releaseLatch = false;
    // The signal came but no frame has shown it yet.
    bool opponentArmed = false;
    int streak = 1;
    // Monotonic milliseconds; -1 when no wait is pending.
    qint64 waitStart = -1;
    qint64 signalTime = -1;
    qint64 nextRoundTime = -1;
    int waitDelay = 0;
    int opponentDelay = 0;
    int nextRoundDelay = 0;
};
