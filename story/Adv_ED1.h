#pragma once
// The first ending, unlocked at 30,000 points: seven pages.
#include "story/Adv_Base.h"

class Adv_ED1 : public Adv_Base
{
    Q_OBJECT
public:
    Adv_ED1(int x, int y);
};
