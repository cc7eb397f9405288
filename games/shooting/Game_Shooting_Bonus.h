#pragma once
// The floating "+1" or "−5" where a shot changed the clock; the game draws its PLUS or MINUS
// picture.
#include "games/shooting/Game_Shooting_Sprite.h"

class Game_Shooting_Bonus : public Game_Shooting_Sprite
{
public:
    // Reseeds the generator and draws the drift; gained: a second won rather than five lost.
    Game_Shooting_Bonus(int x, int y, bool gained);

    bool isPlus() const { return plus; }

private:
    bool plus;
};
