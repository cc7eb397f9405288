#include "Sketch.h"

#include <algorithm>
#include <cstdio>
#include <vector>

Sketch::Sketch(double seconds, double sampleRate)
    : rate(sampleRate), length(std::size_t(seconds * sampleRate)), bus(length)
{
}

void Sketch::note(Instrument inst, double midi, double start, double held, double velocity,
                  double pan, double reverb)
{
    const std::vector<float> v = renderNote(inst, midi, held, velocity, rate, ++seed);
    std::vector<float> mono(length, 0.f);
    const std::size_t at = std::size_t(start * rate);
    for (std::size_t i = 0; i < v.size() && at + i < length; ++i)
        mono[at + i] = v[i];
    bus.add(mono, 0.5, pan, reverb, 0);
}

void Sketch::raw(const std::function<float(double)> &f, double pan, double reverb)
{
    std::vector<float> mono(length);
    for (std::size_t i = 0; i < length; ++i)
        mono[i] = f(i / rate);
    bus.add(mono, 0.5, pan, reverb, 0);
}

bool Sketch::write(const std::string &path, int channels, int bits, double peak, double fadeOut)
{
    StereoLoop audio = bus.mix(rate, 0.12, false, -peak);
    // Fades are applied after levelling so that nothing undoes them: a click at either end is
    // heard every time the effect plays.
    const std::size_t in = std::min<std::size_t>(length, std::size_t(0.003 * rate));
    const std::size_t out = std::min<std::size_t>(length, std::size_t(fadeOut * rate));
    for (std::size_t i = 0; i < in; ++i) {
        const float g = float(i) / float(in);
        audio.left[i] *= g;
        audio.right[i] *= g;
    }
    for (std::size_t i = 0; i < out; ++i) {
        const float g = float(i) / float(out);
        audio.left[length - 1 - i] *= g;
        audio.right[length - 1 - i] *= g;
    }
    if (!writeWav(path, audio, channels, int(rate), bits)) {
        std::fprintf(stderr, "synth: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
