#pragma once
// Tells when a running-out clock enters each of its last whole seconds, so a game can sound a
// tick once per second at the end and not once per frame. Time given back (a bonus, a halved
// bar) that lifts the clock out of the last seconds lets them tick again later.
#include <QTime>

class Game_LastSeconds
{
public:
    static constexpr int Count = 5;

    void reset() { shown = Count + 1; }
    // True when msLeft lies in a whole second of the last Count that was not the last one told.
    bool pass(qint64 msLeft);
    // The same for a countdown kept as a time of day; one wrapped below midnight has run out.
    bool pass(const QTime &remaining);

private:
    int shown = Count + 1;
};
