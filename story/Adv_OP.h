#pragma once
// The opening: Tovira, the parade and the friends, ten pages.
#include "story/Adv_Base.h"

class Adv_OP : public Adv_Base
{
    Q_OBJECT
public:
    Adv_OP(int x, int y);
};
