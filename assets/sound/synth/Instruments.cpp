#include "Instruments.h"

#include "Dsp.h"

#include <algorithm>
#include <cmath>
#include <map>

using namespace dsp;

namespace
{

struct Voice {
    double rate;
    double freq;
    double held;
    double velocity;
    Noise noise;
};

std::vector<float> lead(Voice &v)
{
    const Adsr env{0.012, 0.18, 0.62, 0.16};
    const std::size_t n = std::size_t((v.held + env.release) * v.rate);
    std::vector<float> out(n);
    Svf filter;
    double phase = 0, sub = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        const double vib = 1.0 + 0.0045 * std::sin(TwoPi * 5.2 * t) *
                                     std::fmin(1.0, std::fmax(0.0, (t - 0.18) * 4));
        const double f = v.freq * vib;
        const double dt = f / v.rate;
        const double tone = 0.55 * pulse(phase, dt, 0.28) + 0.45 * std::sin(TwoPi * sub);
        phase += dt;
        if (phase >= 1)
            phase -= 1;
        sub += dt;
        if (sub >= 1)
            sub -= 1;
        filter.set(1800 + 2600 * env.at(t, v.held), 0.8, v.rate);
        filter.process(tone);
        out[i] = float(filter.low * env.at(t, v.held) * v.velocity);
    }
    return out;
}

std::vector<float> bell(Voice &v)
{
    const double length = std::fmax(v.held, 0.2) + 1.4;
    const std::size_t n = std::size_t(length * v.rate);
    std::vector<float> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        const double index = 1.5 * std::exp(-t * 9.0);
        const double mod = std::sin(TwoPi * v.freq * 3.5 * t) * index;
        const double amp = std::exp(-t * 2.6) * std::fmin(1.0, t * 600);
        const double fade = t > v.held + 1.0 ? std::fmax(0.0, 1.0 - (t - v.held - 1.0) / 0.4) : 1.0;
        out[i] = float((std::sin(TwoPi * v.freq * t + mod) +
                        0.18 * std::sin(TwoPi * v.freq * 2 * t) * std::exp(-t * 6)) *
                       amp * fade * v.velocity);
    }
    return out;
}

std::vector<float> pluck(Voice &v)
{
    const double length = std::fmin(v.held, 1.2) + 0.35;
    const std::size_t n = std::size_t(length * v.rate);
    std::vector<float> out(n);
    const std::size_t period = std::max<std::size_t>(2, std::size_t(v.rate / v.freq));
    std::vector<double> line(period);
    // A filtered burst makes a softer, rounder attack than white noise.
    double lp = 0;
    for (double &s : line) {
        lp += 0.5 * (v.noise.next() - lp);
        s = lp;
    }
    std::size_t at = 0;
    const double damping = 0.996;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        const std::size_t next = (at + 1) % period;
        const double s = line[at];
        line[at] = damping * 0.5 * (line[at] + line[next]);
        at = next;
        const double release = t > v.held ? std::fmax(0.0, 1.0 - (t - v.held) / 0.3) : 1.0;
        out[i] = float(s * release * v.velocity * 1.6);
    }
    return out;
}

std::vector<float> pad(Voice &v)
{
    const Adsr env{0.35, 0.5, 0.8, 0.7};
    const std::size_t n = std::size_t((v.held + env.release) * v.rate);
    std::vector<float> out(n);
    const double detune[3] = {1.0, 1.0046, 0.9957};
    double phase[3] = {0, 0.33, 0.71};
    Svf filter;
    filter.set(1400, 0.7, v.rate);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        double x = 0;
        for (int k = 0; k < 3; ++k) {
            const double dt = v.freq * detune[k] / v.rate;
            x += saw(phase[k], dt);
            phase[k] += dt;
            if (phase[k] >= 1)
                phase[k] -= 1;
        }
        filter.process(x / 3);
        out[i] = float(filter.low * env.at(t, v.held) * v.velocity);
    }
    return out;
}

std::vector<float> bass(Voice &v)
{
    const Adsr env{0.005, 0.25, 0.7, 0.06};
    const std::size_t n = std::size_t((v.held + env.release) * v.rate);
    std::vector<float> out(n);
    Svf filter;
    double phase = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        const double dt = v.freq / v.rate;
        const double x = 0.6 * saw(phase, dt) + 0.8 * std::sin(TwoPi * phase);
        phase += dt;
        if (phase >= 1)
            phase -= 1;
        filter.set(180 + 1100 * std::exp(-t * 14), 1.1, v.rate);
        filter.process(x);
        out[i] = float(filter.low * env.at(t, v.held) * v.velocity);
    }
    return out;
}

std::vector<float> sawLead(Voice &v)
{
    const Adsr env{0.006, 0.12, 0.7, 0.1};
    const std::size_t n = std::size_t((v.held + env.release) * v.rate);
    std::vector<float> out(n);
    double p1 = 0, p2 = 0.5, p3 = 0.25;
    Svf filter;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        const double vib =
            1.0 + 0.004 * std::sin(TwoPi * 6 * t) * std::fmin(1.0, std::fmax(0.0, t - 0.15) * 5);
        const double f = v.freq * vib;
        const double d1 = f / v.rate, d2 = f * 1.006 / v.rate, d3 = f * 0.5 / v.rate;
        const double x = 0.4 * saw(p1, d1) + 0.4 * saw(p2, d2) + 0.3 * pulse(p3, d3, 0.5);
        p1 += d1;
        p2 += d2;
        p3 += d3;
        if (p1 >= 1)
            p1 -= 1;
        if (p2 >= 1)
            p2 -= 1;
        if (p3 >= 1)
            p3 -= 1;
        filter.set(2200 + 3500 * std::exp(-t * 6), 0.9, v.rate);
        filter.process(x);
        out[i] = float(filter.low * env.at(t, v.held) * v.velocity);
    }
    return out;
}

std::vector<float> ePiano(Voice &v)
{
    const double release = 0.35;
    const double length = v.held + release;
    const std::size_t n = std::size_t(length * v.rate);
    std::vector<float> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        const double index = 1.1 * std::exp(-t * 5);
        const double tine = std::sin(TwoPi * v.freq * t + index * std::sin(TwoPi * v.freq * t));
        const double body = 0.35 * std::sin(TwoPi * v.freq * 2 * t) * std::exp(-t * 3);
        const double amp = std::exp(-t * 1.3) * std::fmin(1.0, t * 400);
        const double rel = t > v.held ? std::fmax(0.0, 1.0 - (t - v.held) / release) : 1.0;
        out[i] = float((tine + body) * amp * rel * v.velocity);
    }
    return out;
}

std::vector<float> flute(Voice &v)
{
    const Adsr env{0.07, 0.2, 0.85, 0.22};
    const std::size_t n = std::size_t((v.held + env.release) * v.rate);
    std::vector<float> out(n);
    Svf breath;
    breath.set(v.freq * 2, 2.0, v.rate);
    double phase = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        const double vib =
            1.0 + 0.005 * std::sin(TwoPi * 4.8 * t) * std::fmin(1.0, std::fmax(0.0, t - 0.25) * 2);
        phase += v.freq * vib / v.rate;
        if (phase >= 1)
            phase -= 1;
        breath.process(v.noise.next());
        const double tone = std::sin(TwoPi * phase) + 0.22 * std::sin(2 * TwoPi * phase) +
                            0.08 * std::sin(3 * TwoPi * phase);
        const double e = env.at(t, v.held);
        out[i] =
            float((tone + 0.35 * breath.band * (0.4 + 0.6 * std::exp(-t * 8))) * e * v.velocity);
    }
    return out;
}

std::vector<float> kick(Voice &v)
{
    const std::size_t n = std::size_t(0.45 * v.rate);
    std::vector<float> out(n);
    double phase = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        const double f = 48 + 110 * std::exp(-t * 32);
        phase += f / v.rate;
        const double body = std::sin(TwoPi * phase) * std::exp(-t * 7.5);
        const double click = v.noise.next() * std::exp(-t * 400) * 0.3;
        out[i] = float(std::tanh(1.6 * (body + click)) * v.velocity);
    }
    return out;
}

std::vector<float> snare(Voice &v)
{
    const std::size_t n = std::size_t(0.3 * v.rate);
    std::vector<float> out(n);
    Svf f;
    f.set(3200, 0.7, v.rate);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        f.process(v.noise.next());
        const double noise = (f.band + 0.5 * f.high) * std::exp(-t * 16);
        const double tone = std::sin(TwoPi * 185 * t) * std::exp(-t * 28) * 0.7;
        out[i] = float((noise * 1.4 + tone) * v.velocity);
    }
    return out;
}

std::vector<float> clap(Voice &v)
{
    const std::size_t n = std::size_t(0.3 * v.rate);
    std::vector<float> out(n);
    Svf f;
    f.set(1500, 1.2, v.rate);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        f.process(v.noise.next());
        double env = std::exp(-t * 18);
        // Three quick bursts before the tail make the hand-clap flutter.
        for (double b : {0.0, 0.011, 0.022})
            if (t >= b && t < b + 0.009)
                env = std::fmax(env, std::exp(-(t - b) * 220));
        out[i] = float(f.band * env * 2.2 * v.velocity);
    }
    return out;
}

std::vector<float> hat(Voice &v, double decay, double length)
{
    const std::size_t n = std::size_t(length * v.rate);
    std::vector<float> out(n);
    Svf f;
    f.set(7500, 0.8, v.rate);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        f.process(v.noise.next());
        out[i] = float(f.high * std::exp(-t * decay) * v.velocity);
    }
    return out;
}

std::vector<float> shaker(Voice &v)
{
    const std::size_t n = std::size_t(0.09 * v.rate);
    std::vector<float> out(n);
    Svf f;
    f.set(6000, 1.0, v.rate);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        f.process(v.noise.next());
        const double env = std::fmin(1.0, t * 120) * std::exp(-t * 40);
        out[i] = float(f.band * env * v.velocity * 1.2);
    }
    return out;
}

std::vector<float> square(Voice &v)
{
    const Adsr env{0.003, 0.05, 0.8, 0.03};
    const std::size_t n = std::size_t((v.held + env.release) * v.rate);
    std::vector<float> out(n);
    double phase = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / v.rate;
        const double dt = v.freq / v.rate;
        out[i] = float(pulse(phase, dt, 0.5) * env.at(t, v.held) * v.velocity * 0.6);
        phase += dt;
        if (phase >= 1)
            phase -= 1;
    }
    return out;
}

} // namespace

bool instrumentFromName(const std::string &name, Instrument *out)
{
    static const std::map<std::string, Instrument> names = {
        {"lead", Instrument::Lead},       {"bell", Instrument::Bell},
        {"pluck", Instrument::Pluck},     {"pad", Instrument::Pad},
        {"bass", Instrument::Bass},       {"sawlead", Instrument::SawLead},
        {"epiano", Instrument::EPiano},   {"flute", Instrument::Flute},
        {"kick", Instrument::Kick},       {"snare", Instrument::Snare},
        {"clap", Instrument::Clap},       {"hat", Instrument::HatClosed},
        {"openhat", Instrument::HatOpen}, {"shaker", Instrument::Shaker},
        {"square", Instrument::Square}};
    const auto it = names.find(name);
    if (it == names.end())
        return false;
    *out = it->second;
    return true;
}

bool isDrum(Instrument instrument)
{
    switch (instrument) {
    case Instrument::Kick:
    case Instrument::Snare:
    case Instrument::Clap:
    case Instrument::HatClosed:
    case Instrument::HatOpen:
    case Instrument::Shaker:
        return true;
    default:
        return false;
    }
}

std::vector<float> renderNote(Instrument instrument, double midiNote, double held, double velocity,
                              double rate, std::uint32_t seed)
{
    Voice v{rate, midiToHz(midiNote), held, velocity, Noise(seed * 2654435761u + 1)};
    switch (instrument) {
    case Instrument::Lead:
        return lead(v);
    case Instrument::Bell:
        return bell(v);
    case Instrument::Pluck:
        return pluck(v);
    case Instrument::Pad:
        return pad(v);
    case Instrument::Bass:
        return bass(v);
    case Instrument::SawLead:
        return sawLead(v);
    case Instrument::EPiano:
        return ePiano(v);
    case Instrument::Flute:
        return flute(v);
    case Instrument::Kick:
        return kick(v);
    case Instrument::Snare:
        return snare(v);
    case Instrument::Clap:
        return clap(v);
    case Instrument::HatClosed:
        return hat(v, 55, 0.08);
    case Instrument::HatOpen:
        return hat(v, 9, 0.35);
    case Instrument::Shaker:
        return shaker(v);
    case Instrument::Square:
        return square(v);
    }
    return {};
}
