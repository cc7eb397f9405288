#include "launcher/Lanch_Base.h"

Lanch_Base::Lanch_Base(int x, int y) : Item_Base(x, y, nullptr) {}
