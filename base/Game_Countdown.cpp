#include "base/Game_Countdown.h"

void Game_Countdown::start(const QTime &allowance, qint64 now)
{
    remaining = allowance;
    lastTick = now;
}

void Game_Countdown::advance(qint64 now)
{
    // An hour is far past any allowance; a longer gap (a machine asleep) must not wrap the
    // remaining time all the way round the day.
    const qint64 elapsed = qMin<qint64>(now - lastTick, 3600 * 1000);
    if (elapsed > 0)
        subtract(int(elapsed));
}

void Game_Countdown::subtract(int ms)
{
    remaining = remaining.addMSecs(-ms);
}

QString Game_Countdown::text() const
{
    return remaining.toString(QStringLiteral("mm:ss:zzz")).chopped(1);
}
