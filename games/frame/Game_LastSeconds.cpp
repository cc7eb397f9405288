#include "games/frame/Game_LastSeconds.h"

bool Game_LastSeconds::pass(qint64 msLeft)
{
    if (msLeft <= 0)
        return false;
    const int second = int((msLeft + 999) / 1000);
    if (second > Count) {
        shown = Count + 1;
        return false;
    }
    if (second == shown)
        return false;
    shown = second;
    return true;
}

bool Game_LastSeconds::pass(const QTime &remaining)
{
    return remaining.hour() == 0 && pass(qint64(QTime(0, 0).msecsTo(remaining)));
}
