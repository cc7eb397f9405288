#pragma once
// The one process-wide random generator. It reproduces the classic C library generator the game
// was tuned with (results 0..32767), so seeds give the same draws on every platform.
class Random
{
public:
    static constexpr int Max = 32767;

    // qsrand / srand
    static void seed(unsigned int value);
    // qrand / rand: 0..32767
    static int draw();
    // A draw times factor (the millisecond field the games mix in), reduced to 0..n-1. A factor
    // sharing a divisor with n would fold the draws onto a few values (every suit 0 at an even
    // millisecond), so the draw alone is reduced then.
    static int drawTimes(int factor, int n);

private:
    static unsigned int state;
};
