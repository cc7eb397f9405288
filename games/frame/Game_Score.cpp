#include "games/frame/Game_Score.h"

void Game_Score::setScore(int v)
{
    score = v + baseScore;
}

void Game_Score::addBaseScore(int v)
{
    baseScore += v;
}

void Game_Score::resetScore()
{
    if (best < score)
        best = score;
    score = 0;
    baseScore = 0;
}

QRectF Game_Score::bestRect(QPointF p)
{
    return QRectF(p.x() + 15, p.y() + 30, 90, 20);
}

QRectF Game_Score::scoreRect(QPointF p)
{
    return QRectF(p.x() + 15, p.y() + 60, 90, 20);
}
