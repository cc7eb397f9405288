#pragma once
// The last ending, unlocked at 100,000 points: ten pages.
#include "story/Adv_Base.h"

class Adv_ED3 : public Adv_Base
{
    Q_OBJECT
public:
    Adv_ED3(int x, int y);
};
