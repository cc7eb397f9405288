#pragma once
// The opening: Tovira, the parade and the friends, ten pages.
#include "story/Adv_Base.h"

class Adv_OP : public Adv_Base
{
    Q_OBJECT
public:
    static constexpr int PageCount = 10;
    static constexpr int LancherIndex = 0;

    Adv_OP(int x, int y);
};
