#include "base/Game_ElapsedClock.h"

void Game_ElapsedClock::start(qint64 now)
{
    elapsed = QTime(0, 0);
    lastTick = now;
}

void Game_ElapsedClock::tick(qint64 now)
{
    const qint64 delta = now - lastTick;
    if (delta > 0)
        elapsed = elapsed.addMSecs(int(qMin<qint64>(delta, 3600 * 1000)));
    lastTick = now;
}

void Game_ElapsedClock::skipTo(qint64 now)
{
    lastTick = now;
}

int Game_ElapsedClock::wholeSeconds() const
{
    return elapsed.minute() * 60 + elapsed.second();
}

QString Game_ElapsedClock::text() const
{
    QString t = elapsed.toString(QStringLiteral("mm:ss:zzz"));
    t.chop(1);
    return t;
}
