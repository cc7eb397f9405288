#include "base/Game_Countdown.h"

void Game_Countdown::start(const QTime &allowance, qint64 now)
{
    left = QTime(0, 0).msecsTo(allowance);
    lastTick = now;
}

void Game_Countdown::advance(qint64 now)
{
    if (now > lastTick)
        left -= now - lastTick;
}

QString Game_Countdown::text() const
{
    return getRemaining().toString(QStringLiteral("mm:ss:zzz")).chopped(1);
}
