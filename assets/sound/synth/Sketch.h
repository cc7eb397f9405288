#pragma once
// A short sound effect on a non-looping bus: notes and generated sounds are placed in seconds.
#include "Instruments.h"
#include "Mixer.h"

#include <cstdint>
#include <functional>
#include <string>

class Sketch
{
public:
    Sketch(double seconds, double sampleRate);

    void note(Instrument inst, double midi, double start, double held, double velocity,
              double pan = 0, double reverb = 0.15);
    // Adds raw samples made by a generator function f(t) for the whole length.
    void raw(const std::function<float(double)> &f, double pan = 0, double reverb = 0.1);

    // Mixes to a peak of `peak`, fades the first 3 ms in and the last fadeOut seconds out (no
    // effect starts or stops with a click) and writes a WAV file.
    bool write(const std::string &path, int channels, int bits, double peak = 0.8,
               double fadeOut = 0.01);

private:
    double rate;
    std::size_t length;
    Bus bus;
    std::uint32_t seed = 100;
};
