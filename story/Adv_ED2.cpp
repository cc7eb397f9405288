#include "story/Adv_ED2.h"

Adv_ED2::Adv_ED2(int x, int y) : Adv_Base(x, y, story(2)) {}
