#pragma once
// The mixing bus: tracks are panned into a dry pair and sent to a shared reverb and echo.
// A loop is mixed circularly, so echoes and reverb tails from the end sound again at the start.
#include <cstddef>
#include <string>
#include <vector>

struct StereoLoop {
    std::vector<float> left;
    std::vector<float> right;
};

class Bus
{
public:
    explicit Bus(std::size_t length);

    void add(const std::vector<float> &mono, double volume, double pan, double reverb,
             double delay);
    // Mixes dry, reverb and echo, blocks DC, then levels the result to an RMS of loudness (or,
    // when negative, to a peak of -loudness) under a ceiling 3 dB below full scale.
    // circular: treat the buffer as a loop.
    StereoLoop mix(double rate, double delaySeconds, bool circular, double loudness = 0.125);
    StereoLoop mixLoop(double rate, double delaySeconds) { return mix(rate, delaySeconds, true); }

private:
    std::size_t length;
    std::vector<float> dryL, dryR, revSend, dlySend;
};

// Writes PCM WAV: bits 16 (signed) or 8 (unsigned); channels 1 (left only) or 2.
bool writeWav(const std::string &path, const StereoLoop &audio, int channels, int rate, int bits);
