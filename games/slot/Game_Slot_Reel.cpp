#include "games/slot/Game_Slot_Reel.h"

#include "base/Clock.h"
#include "base/Random.h"

#include <QTime>
#include <algorithm>
#include <cmath>

namespace
{
// rand() times the millisecond field, reduced to 0..n-1.
int drawMod(int n)
{
    return Random::drawTimes(Clock::currentTime().msec(), n);
}
} // namespace

Game_Slot_Reel::Game_Slot_Reel(int spinSpeed) : speed(spinSpeed)
{
    // The card sheet's own seed ("mmssszzz") would be replaced here before any draw, so the
    // reel's seed is the only one that counts.
    const QTime now = Clock::currentTime();
    Random::seed(unsigned(now.hour() + now.minute() + now.second() + now.msec()));
    strip = dealStrip();
}

Game_Slot_Reel::~Game_Slot_Reel() = default;

Game_Slot_Reel::Strip Game_Slot_Reel::dealStrip()
{
    Strip s;
    for (int i = 0; i < StripLength; ++i) {
        const int rank = i < 10 ? i : i < 13 ? 10 : i < 15 ? 11 : 12;
        s[i] = Game_Trump_Card{drawMod(4), rank};
    }
    for (int n = 0; n < 500; ++n) {
        const int a = drawMod(StripLength);
        const int b = drawMod(StripLength);
        if (a != b)
            std::swap(s[a], s[b]);
    }
    return s;
}

Game_Slot_Reel::Stop Game_Slot_Reel::stopFor(int lowerTop)
{
    // g counts card steps from the position where the copy's last card is at the top.
    const double g = (lowerTop + (CopyLength - Pitch)) / double(Pitch);
    const double whole = std::trunc(g);
    Stop s;
    s.k = int(whole) + (g - whole > 0.7 ? 1 : 0);
    s.lowerTop = int(std::trunc(double(Pitch) * s.k - (CopyLength - PayLineTop)));
    s.jump = Pitch * (s.k - g) + (PayLineTop - Pitch);
    // Card i of the lower copy sits at lowerTop + 175 i, so the pay line holds i = 16 - k,
    // taken round the strip (the upper copy continues it).
    s.payIndex = ((StripLength - s.k) % StripLength + StripLength) % StripLength;
    return s;
}

void Game_Slot_Reel::advance(const QSize &area)
{
    enter(area);
    move();
}

void Game_Slot_Reel::enter(const QSize &area)
{
    areaSize = area;
    // Only the first frame finds the reel at its starting place left of the screen.
    if (x < -CardWidth) {
        x = areaSize.width() + 5;
        justEntered = true;
        onScreen = true;
    }
}

void Game_Slot_Reel::move()
{
    if (frozen)
        return;
    if (!stopped) {
        const int newY1 = y1 + speed;
        const int newY2 = y2 + speed;
        // The copy that falls below the area goes on top of the other: an endless loop.
        y1 = newY1 > areaSize.height() ? newY2 - CopyLength : newY1;
        y2 = newY2 > areaSize.height() ? newY1 - CopyLength : newY2;
    }
    // A stopped reel still drifts: 5 pixels to the left every fourth frame.
    if (frameCount > stepFactor) {
        x = int(std::trunc(x + stepFactor * -2.5));
        frameCount = 0;
    } else {
        ++frameCount;
    }
}

int Game_Slot_Reel::stopReel()
{
    stopped = true;
    const bool firstIsLower = y1 >= y2;
    const Stop s = stopFor(firstIsLower ? y1 : y2);
    if (firstIsLower) {
        y1 = s.lowerTop;
        y2 = s.lowerTop - CopyLength;
    } else {
        y2 = s.lowerTop;
        y1 = s.lowerTop - CopyLength;
    }
    return strip[s.payIndex].rank + 1;
}
