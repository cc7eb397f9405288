#pragma once
// Every picture of the shooting gallery, held by the game: the scenery, the crosshair and the
// panels, and the pictures it draws for targets and popups by their kind and state.
#include "games/frame/Game_Overlay.h"

#include <QImage>
#include <array>

class Game_Shooting_Target;
class Game_Shooting_Bonus;

struct Game_Shooting_Pictures {
    QImage background;
    // drawn over targets, popups and crosshair
    Game_Overlay foreground{true};
    QImage crosshair;
    QImage scorePicture;
    QImage timerPicture;
    // Index 0: a good target hit; 1..4: a good target of that shape.
    std::array<QImage, 5> tovira;
    QImage kohru;
    QImage kohruHit;
    QImage plus;
    QImage minus;

    // Loads them all; a picture that fails is reported and left empty.
    void load();
    // The picture a target shows: its pose until hit, then the hit picture of its kind.
    const QImage &of(const Game_Shooting_Target &target) const;
    const QImage &of(const Game_Shooting_Bonus &bonus) const;
};
