#include "story/Adv_ED2.h"

Adv_ED2::Adv_ED2(int x, int y)
    : Adv_Base(x, y, Row{QStringLiteral(":/ED2/IMG"), PageCount, LancherIndex})
{
}
