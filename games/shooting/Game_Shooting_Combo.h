#pragma once
// The floating combo count; it holds no text, the game draws its current count here.
#include "games/shooting/Game_Shooting_Sprite.h"

class Game_Shooting_Combo : public Game_Shooting_Sprite
{
public:
    // Reseeds the generator like every popup (no draws follow); rises one pixel a frame.
    Game_Shooting_Combo(int x, int y);
};
