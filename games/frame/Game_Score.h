#pragma once
// The score of one game visit: the best score known so far and the score of the play in
// progress, plus points banked during the play. Each game owns one.
#include <QPointF>
#include <QRectF>

class Game_Score
{
public:
    Game_Score() = default;
    virtual ~Game_Score() = default;

    Game_Score(const Game_Score &) = delete;
    Game_Score &operator=(const Game_Score &) = delete;

    // Top-left corner of the score panel in item coordinates: always (0, 10).
    QPointF getPos() const { return pos; }

    int getBest() const { return best; }
    void setBest(int v) { best = v; }

    int getScore() const { return score; }
    // The current score is v plus the points banked with addBaseScore.
    void setScore(int v);
    void addBaseScore(int v);

    // Folds the finished try into the best score, then clears the current and banked points.
    void resetScore();

    // Where the panel's two lines go, for a panel whose text origin is p.
    static QRectF bestRect(QPointF p);
    static QRectF scoreRect(QPointF p);

private:
    QPointF pos{0, 10};
    int best = 0;
    int score = 0;
    int baseScore = 0;
};
