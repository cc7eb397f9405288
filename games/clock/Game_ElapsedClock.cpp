#include "games/clock/Game_ElapsedClock.h"

namespace
{
int secondsAndMs(const QTime &t)
{
    return t.second() * 1000 + t.msec();
}
} // namespace

void Game_ElapsedClock::start(const QTime &now)
{
    elapsed = QTime(0, 0);
    lastTick = now;
}

void Game_ElapsedClock::tick(const QTime &now)
{
    const int delta = secondsAndMs(now) - secondsAndMs(lastTick);
    if (delta > 0)
        elapsed = elapsed.addMSecs(delta);
    lastTick = now;
}

void Game_ElapsedClock::skipTo(const QTime &now)
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
