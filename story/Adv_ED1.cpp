#include "story/Adv_ED1.h"

Adv_ED1::Adv_ED1(int x, int y) : Adv_Base(x, y, story(1)) {}
