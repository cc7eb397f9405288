#include "games/cards/Game_Countdown.h"

void Game_Countdown::start(const QTime &allowance, const QTime &now)
{
    remaining = allowance;
    lastTick = now;
}

int Game_Countdown::elapsedMs(const QTime &from, const QTime &to)
{
    return (to.second() * 1000 + to.msec()) - (from.second() * 1000 + from.msec());
}

void Game_Countdown::advance(const QTime &now)
{
    const int elapsed = elapsedMs(lastTick, now);
    if (elapsed > 0)
        subtract(elapsed);
}

void Game_Countdown::subtract(int ms)
{
    remaining = remaining.addMSecs(-ms);
}

QString Game_Countdown::text() const
{
    return remaining.toString(QStringLiteral("mm:ss:zzz")).chopped(1);
}
