#include "story/Adv_OP.h"

Adv_OP::Adv_OP(int x, int y) : Adv_Base(x, y, story(0)) {}
