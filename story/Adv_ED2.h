#pragma once
// The second ending, unlocked at 60,000 points: seven pages.
#include "story/Adv_Base.h"

class Adv_ED2 : public Adv_Base
{
    Q_OBJECT
public:
    Adv_ED2(int x, int y);
};
