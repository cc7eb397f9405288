#pragma once
// Thin base between Item_Base and the launcher screen.
#include "launcher/Item_Base.h"

class Lanch_Base : public Item_Base
{
    Q_OBJECT
public:
    Lanch_Base(int x, int y);
};
