#pragma once
// Small signal-processing pieces shared by the instruments and the mixer.
#include <cmath>
#include <cstdint>

namespace dsp
{

constexpr double Pi = 3.14159265358979323846;
constexpr double TwoPi = 2 * Pi;

inline double midiToHz(double note)
{
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

// PolyBLEP correction that takes the worst aliasing off a naive saw or pulse edge.
inline double polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

inline double saw(double phase, double dt)
{
    return 2.0 * phase - 1.0 - polyBlep(phase, dt);
}

inline double pulse(double phase, double dt, double duty)
{
    double v = phase < duty ? 1.0 : -1.0;
    v += polyBlep(phase, dt);
    double shifted = phase - duty;
    if (shifted < 0)
        shifted += 1.0;
    v -= polyBlep(shifted, dt);
    return v;
}

// Deterministic noise, so every build renders the same bytes.
class Noise
{
public:
    explicit Noise(std::uint32_t seed = 22222) : state(seed ? seed : 1) {}
    double next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state / 4294967295.0) * 2.0 - 1.0;
    }

private:
    std::uint32_t state;
};

// Topology-preserving state-variable filter: low, band and high outputs at once.
class Svf
{
public:
    void set(double cutoffHz, double q, double rate)
    {
        const double limited = std::fmin(cutoffHz, rate * 0.45);
        g = std::tan(Pi * limited / rate);
        k = 1.0 / q;
        a1 = 1.0 / (1.0 + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    void process(double x)
    {
        const double v3 = x - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        low = v2;
        band = v1;
        high = x - k * v1 - v2;
    }
    double low = 0, band = 0, high = 0;

private:
    double g = 0, k = 1, a1 = 0, a2 = 0, a3 = 0, ic1 = 0, ic2 = 0;
};

// Attack, decay, sustain, release in seconds; value at time t for a note held for `held`.
struct Adsr {
    double attack, decay, sustain, release;
    double at(double t, double held) const
    {
        auto level = [&](double u) {
            if (u < attack)
                return u / attack;
            if (u < attack + decay)
                return 1.0 - (1.0 - sustain) * (u - attack) / decay;
            return sustain;
        };
        if (t < held)
            return level(t);
        const double r = t - held;
        return r >= release ? 0.0 : level(held) * (1.0 - r / release);
    }
};

} // namespace dsp
