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

private:
    static unsigned int state;
};
