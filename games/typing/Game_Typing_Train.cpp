#include "games/typing/Game_Typing_Train.h"

#include "games/typing/Game_Typing_Arrow.h"

Game_Typing_Train::~Game_Typing_Train()
{
    clear();
}

void Game_Typing_Train::clear()
{
    for (Game_Typing_Arrow *tile : tiles)
        delete tile;
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
    tiles.push_back(new Game_Typing_Arrow(-tileWidth));
}

Game_Typing_Train::Step Game_Typing_Train::step()
{
    Step result;
    if (tiles.empty())
        return result;

    // A key while the first tile is alone is dropped below.
    if (tiles.size() > 1 && pressedDirection >= 0) {
        Game_Typing_Arrow *first = tiles.front();
        if (first->getDirection() != pressedDirection) {
            finished = true;
            result.drawTiles = false;
            return result;
        }
        result.bonus = box.contains(QPointF(first->shift(0) + tileWidth / 2, trackY));
        delete first;
        tiles.erase(tiles.begin());
        speed += SpeedStep;
    }
    pressedDirection = -1;

    const int delta = static_cast<int>(speed); // truncated toward zero
    for (Game_Typing_Arrow *tile : tiles)
        tile->shift(delta);

    if (tiles.back()->shift(0) > -tileWidth)
        tiles.push_back(new Game_Typing_Arrow(tiles.back()->shift(0) - tileWidth));

    if (tiles.front()->shift(0) > fieldWidth)
        finished = true;
    return result;
}
