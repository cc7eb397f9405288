#include "story/Adv_ED3.h"

Adv_ED3::Adv_ED3(int x, int y) : Adv_Base(x, y, story(3)) {}
