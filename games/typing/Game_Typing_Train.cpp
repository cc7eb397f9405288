#include "games/typing/Game_Typing_Train.h"

void Game_Typing_Train::clear()
{
    tiles.clear();
}

void Game_Typing_Train::start(int width, int field, const QRectF &bonusBox, int y)
{
    clear();
    tileWidth = width;
    fieldWidth = field;
    box = bonusBox;
    trackY = y;
    speed = StartSpeed;
    pressedDirection = -1;
    finished = false;
    tiles.push_back(std::make_unique<Game_Typing_Arrow>(-tileWidth));
}

Game_Typing_Train::Step Game_Typing_Train::step()
{
    Step result;
    if (tiles.empty())
        return result;

    // A key while the first tile is alone is dropped below.
    if (tiles.size() > 1 && pressedDirection >= 0) {
        const Game_Typing_Arrow &first = *tiles.front();
        if (first.getDirection() != pressedDirection) {
            finished = true;
            result.drawTiles = false;
            result.wrongKey = true;
            return result;
        }
        result.rightKey = true;
        result.bonus = box.contains(QPointF(first.getX() + tileWidth / 2, trackY));
        tiles.erase(tiles.begin());
        speed += SpeedStep;
    }
    pressedDirection = -1;

    const int delta = static_cast<int>(speed); // truncated toward zero
    for (const std::unique_ptr<Game_Typing_Arrow> &tile : tiles)
        tile->shift(delta);

    if (tiles.back()->getX() > -tileWidth)
        tiles.push_back(std::make_unique<Game_Typing_Arrow>(tiles.back()->getX() - tileWidth));

    if (tiles.front()->getX() > fieldWidth)
        finished = true;
    return result;
}
