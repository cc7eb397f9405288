#pragma once
// The floating "+1" or "−5" picture where a shot changed the clock.
#include "games/shooting/Game_Shooting_Sprite.h"

#include <QImage>

class Game_Shooting_Bonus : public Game_Shooting_Sprite
{
public:
    // Reseeds the generator and draws the drift; plus chooses PLUS over MINUS.
    Game_Shooting_Bonus(int x, int y, bool plus);
    ~Game_Shooting_Bonus() override;

    QImage picture() const { return *image; }

private:
    QImage *image = nullptr;
};
