#include "GameEffects.h"

#include "Dsp.h"
#include "Instruments.h"
#include "Sketch.h"

#include <cmath>
#include <functional>

namespace
{

// All of them share the music's sample format, so the player needs no conversion.
constexpr double Rate = 44100;
constexpr int Channels = 2;
constexpr int Bits = 16;

// A round tone whose pitch glides exponentially from f0 to f1 over `glideFor`, decaying at
// `decay` per second, with an optional cartoon wobble (vibrato rate and depth in semitones).
struct Glide {
    double start, glideFor, f0, f1, level, decay;
    double wobbleHz = 0, wobbleDepth = 0;
    double phase = 0;
    float operator()(double t)
    {
        if (t < start)
            return 0.f;
        const double u = t - start;
        const double k = std::fmin(1.0, u / glideFor);
        double f = f0 * std::pow(f1 / f0, k);
        f *= std::pow(2.0, wobbleDepth * std::sin(dsp::TwoPi * wobbleHz * u) / 12.0);
        phase += f / Rate;
        phase -= std::floor(phase);
        const double tone = std::sin(dsp::TwoPi * phase) + 0.25 * std::sin(2 * dsp::TwoPi * phase);
        const double attack = std::fmin(1.0, u / 0.002);
        return float(tone * attack * std::exp(-u * decay) * level);
    }
};

// A band of noise: paper, a cork's pop, a wooden knock.
std::function<float(double)> burst(double start, double centre, double q, double level,
                                   double decay)
{
    dsp::Svf filter;
    filter.set(centre, q, Rate);
    return [=, noise = dsp::Noise(4242)](double t) mutable {
        filter.process(noise.next());
        if (t < start)
            return 0.f;
        const double u = t - start;
        return float(filter.band * std::fmin(1.0, u / 0.001) * std::exp(-u * decay) * level);
    };
}

bool save(Sketch &s, const std::string &path, double peak, double fadeOut)
{
    return s.write(path, Channels, Bits, peak, fadeOut);
}

// Janken: a springy pop as Tovira's paw shows a new hand.
bool hand(const std::string &path)
{
    Sketch s(0.28, Rate);
    s.raw(Glide{0, 0.05, 420, 900, 0.9, 22});
    s.note(Instrument::Pluck, 79, 0.012, 0.06, 0.6, 0.15, 0.05);
    s.note(Instrument::Bell, 91, 0.02, 0.05, 0.25, -0.15, 0.1);
    return save(s, path, 0.6, 0.08);
}

// Janken: three quick steps up a major chord.
bool roundWin(const std::string &path)
{
    Sketch s(0.6, Rate);
    const int run[] = {79, 84, 88};
    for (int i = 0; i < 3; ++i) {
        s.note(Instrument::Lead, run[i], 0.07 * i, i == 2 ? 0.28 : 0.06, 0.8, 0, 0.2);
        s.note(Instrument::Bell, run[i] + 12, 0.07 * i, 0.06, 0.3, 0.2 * (i - 1), 0.2);
    }
    return save(s, path, 0.75, 0.15);
}

// Setsuna: the draw signal must cut through at once: a bright bell with a clap under it.
bool signal(const std::string &path)
{
    Sketch s(0.6, Rate);
    s.note(Instrument::Clap, 60, 0.0, 0.05, 0.5, 0, 0.1);
    s.note(Instrument::Bell, 88, 0.0, 0.3, 1.0, -0.1, 0.25);
    s.note(Instrument::Bell, 95, 0.0, 0.3, 0.5, 0.1, 0.25);
    s.note(Instrument::Square, 76, 0.0, 0.07, 0.35, 0, 0.1);
    return save(s, path, 0.8, 0.18);
}

// Setsuna: a cartoon slip, a wobbling slide down.
bool falseStart(const std::string &path)
{
    Sketch s(0.5, Rate);
    s.raw(Glide{0, 0.36, 760, 190, 0.9, 3.5, 13, 0.6});
    s.note(Instrument::Snare, 60, 0.0, 0.05, 0.25, 0, 0.05);
    return save(s, path, 0.7, 0.12);
}

// Shooting: a cork gun: a pop of noise and a quick drop in pitch.
bool shot(const std::string &path)
{
    Sketch s(0.22, Rate);
    s.raw(burst(0, 2500, 1.2, 1.4, 70));
    s.raw(Glide{0.002, 0.09, 1500, 260, 0.8, 28});
    return save(s, path, 0.7, 0.06);
}

// A target hit: a wooden tok with a bright ding on top.
bool hit(const std::string &path)
{
    Sketch s(0.32, Rate);
    s.note(Instrument::Pluck, 81, 0.0, 0.05, 0.9, 0, 0.05);
    s.note(Instrument::Bell, 93, 0.012, 0.08, 0.6, 0.15, 0.15);
    s.raw(burst(0, 1600, 2.0, 0.6, 90));
    return save(s, path, 0.7, 0.1);
}

// A bonus: a sparkling run up the pentatonic scale.
bool bonus(const std::string &path)
{
    Sketch s(0.55, Rate);
    const int run[] = {84, 86, 88, 91, 93, 96};
    for (int i = 0; i < 6; ++i) {
        s.note(Instrument::Bell, run[i], 0.045 * i, 0.06, 0.75, 0.3 * std::sin(i), 0.25);
        s.note(Instrument::Square, run[i], 0.045 * i, 0.025, 0.12, 0, 0.1);
    }
    return save(s, path, 0.75, 0.15);
}

// A bad target: a low, rubbery bwomp.
bool badTarget(const std::string &path)
{
    Sketch s(0.45, Rate);
    s.raw(Glide{0, 0.3, 240, 110, 1.0, 5, 9, 0.3});
    s.note(Instrument::Square, 50, 0.0, 0.1, 0.35, -0.1, 0.05);
    s.note(Instrument::Square, 50.3, 0.0, 0.1, 0.35, 0.1, 0.05);
    return save(s, path, 0.65, 0.12);
}

// Slot: a reel clunks into place.
bool reelStop(const std::string &path)
{
    Sketch s(0.2, Rate);
    s.note(Instrument::Kick, 60, 0.0, 0.1, 0.45, 0, 0.0);
    s.note(Instrument::Pluck, 55, 0.0, 0.06, 0.9, 0, 0.05);
    s.raw(burst(0, 1200, 1.5, 0.8, 120));
    return save(s, path, 0.6, 0.06);
}

// Slot: coins tumbling out, three bright two-note blips.
bool pay(const std::string &path)
{
    Sketch s(0.6, Rate);
    for (int i = 0; i < 3; ++i) {
        const double t = 0.13 * i;
        const double pan = 0.35 * (i - 1);
        s.note(Instrument::Square, 83 + 2 * i, t, 0.04, 0.5, pan, 0.15);
        s.note(Instrument::Square, 88 + 2 * i, t + 0.045, 0.08, 0.5, pan, 0.15);
        s.note(Instrument::Bell, 100 + 2 * i, t + 0.045, 0.05, 0.3, -pan, 0.2);
    }
    return save(s, path, 0.7, 0.15);
}

// Slot: a lost reel, a short "wah-wah" down a semitone.
bool reelLost(const std::string &path)
{
    Sketch s(0.55, Rate);
    s.note(Instrument::Lead, 64, 0.0, 0.13, 0.8, 0, 0.2);
    s.note(Instrument::Lead, 63, 0.17, 0.26, 0.8, 0, 0.25);
    s.note(Instrument::Pluck, 39, 0.17, 0.2, 0.5, 0, 0.05);
    return save(s, path, 0.65, 0.15);
}

// A card played: a paper snap.
bool card(const std::string &path)
{
    Sketch s(0.14, Rate);
    s.raw(burst(0, 3400, 0.9, 1.0, 55));
    s.raw(burst(0.006, 1100, 1.2, 0.5, 80));
    s.note(Instrument::Pluck, 86, 0.0, 0.03, 0.15, 0.2, 0.02);
    return save(s, path, 0.55, 0.04);
}

// A wrong card or key: a sour "nuh-uh", two short falling buzzes.
bool wrong(const std::string &path)
{
    Sketch s(0.36, Rate);
    s.note(Instrument::Square, 58, 0.0, 0.07, 0.6, 0, 0.05);
    s.note(Instrument::Square, 58.3, 0.0, 0.07, 0.4, 0, 0.05);
    s.note(Instrument::Square, 53, 0.12, 0.12, 0.6, 0, 0.05);
    s.note(Instrument::Square, 53.3, 0.12, 0.12, 0.4, 0, 0.05);
    return save(s, path, 0.5, 0.08);
}

// Cards dealt: a riffle of paper flicks that climbs and thins out.
bool shuffle(const std::string &path)
{
    Sketch s(0.5, Rate);
    for (int i = 0; i < 10; ++i) {
        const double level = 0.9 - 0.06 * i;
        s.raw(burst(0.035 * i, 2000 + 220.0 * i, 1.1, level, 70), 0.4 * std::sin(1.7 * i), 0.05);
    }
    return save(s, path, 0.6, 0.1);
}

// The clock's last seconds: a dry wood block.
bool tick(const std::string &path)
{
    Sketch s(0.09, Rate);
    s.raw(
        [](double t) {
            const double a = std::fmin(1.0, t / 0.001);
            return float(a * (std::sin(dsp::TwoPi * 1750 * t) * std::exp(-t * 60) +
                              0.4 * std::sin(dsp::TwoPi * 2630 * t) * std::exp(-t * 95)));
        },
        0, 0.02);
    return save(s, path, 0.5, 0.03);
}

// Typing: a right key, a tiny soft blip.
bool key(const std::string &path)
{
    Sketch s(0.06, Rate);
    s.raw(Glide{0, 0.01, 1250, 1320, 0.8, 70}, 0, 0.02);
    return save(s, path, 0.35, 0.02);
}

// SameGame: a cleared board, a little "ta-da".
bool cleared(const std::string &path)
{
    Sketch s(0.95, Rate);
    const int run[] = {72, 76, 79};
    for (int i = 0; i < 3; ++i)
        s.note(Instrument::Lead, run[i], 0.07 * i, 0.06, 0.75, 0, 0.2);
    for (int n : {84, 88, 91})
        s.note(Instrument::Lead, n, 0.24, 0.42, 0.55, 0.15 * (n - 88) / 4.0, 0.3);
    for (int i = 0; i < 4; ++i)
        s.note(Instrument::Bell, 96 + 3 * i, 0.26 + 0.06 * i, 0.05, 0.35, 0.3, 0.3);
    return save(s, path, 0.8, 0.3);
}

// A new best: a rising phrase that lands on a bright, held chord with sparkles.
bool best(const std::string &path)
{
    Sketch s(1.45, Rate);
    const int run[] = {72, 74, 76, 79, 81, 84};
    for (int i = 0; i < 6; ++i) {
        s.note(Instrument::Lead, run[i], 0.085 * i, 0.07, 0.7 + 0.04 * i, 0, 0.2);
        s.note(Instrument::Pluck, run[i] - 12, 0.085 * i, 0.07, 0.4, -0.3, 0.1);
    }
    for (int n : {76, 79, 84, 88})
        s.note(Instrument::Lead, n, 0.52, 0.6, 0.5, 0.1 * (n - 82) / 6.0, 0.35);
    s.note(Instrument::Bass, 48, 0.52, 0.6, 0.6, 0, 0.05);
    for (int i = 0; i < 5; ++i)
        s.note(Instrument::Bell, 96 + 2 * i + (i > 2), 0.56 + 0.07 * i, 0.05, 0.35, 0.35, 0.35);
    return save(s, path, 0.8, 0.4);
}

// The result otherwise: a gentle rolled chord on the electric piano.
bool result(const std::string &path)
{
    Sketch s(0.9, Rate);
    const int roll[] = {67, 72, 76, 79};
    for (int i = 0; i < 4; ++i)
        s.note(Instrument::EPiano, roll[i], 0.1 * i, 0.55 - 0.1 * i, 0.7, 0.2 * (i - 1.5), 0.35);
    s.note(Instrument::Bell, 84, 0.4, 0.2, 0.25, 0.2, 0.35);
    return save(s, path, 0.7, 0.3);
}

// The return-to-menu question: a curious "hm?", up a fourth with a lift at the end.
bool question(const std::string &path)
{
    Sketch s(0.45, Rate);
    s.note(Instrument::Bell, 76, 0.0, 0.1, 0.55, -0.1, 0.2);
    s.note(Instrument::Bell, 81, 0.12, 0.15, 0.6, 0.1, 0.2);
    s.raw(Glide{0.12, 0.12, 700, 880, 0.35, 9});
    return save(s, path, 0.6, 0.14);
}

// Menu and dialog hover: a tiny, soft tick that stays out of the way.
bool hover(const std::string &path)
{
    Sketch s(0.05, Rate);
    s.raw(Glide{0, 0.01, 2000, 2093, 0.6, 90}, 0, 0.0);
    return save(s, path, 0.2, 0.015);
}

// A click: a soft wooden tock.
bool click(const std::string &path)
{
    Sketch s(0.08, Rate);
    s.raw(Glide{0, 0.02, 1150, 1050, 0.8, 75}, 0, 0.02);
    s.raw(burst(0, 2500, 1.5, 0.35, 180), 0, 0.0);
    return save(s, path, 0.4, 0.025);
}

// A locked ending: a soft, low "nope", two notes down.
bool locked(const std::string &path)
{
    Sketch s(0.34, Rate);
    s.note(Instrument::EPiano, 62, 0.0, 0.09, 0.7, 0, 0.15);
    s.note(Instrument::EPiano, 57, 0.11, 0.14, 0.7, 0, 0.15);
    return save(s, path, 0.45, 0.1);
}

} // namespace

bool renderGameEffects(const std::string &dir)
{
    struct Entry {
        const char *file;
        bool (*render)(const std::string &);
    };
    const Entry entries[] = {{"hand", hand},          {"round_win", roundWin},
                             {"signal", signal},      {"false_start", falseStart},
                             {"shot", shot},          {"hit", hit},
                             {"bonus", bonus},        {"bad_target", badTarget},
                             {"reel_stop", reelStop}, {"pay", pay},
                             {"reel_lost", reelLost}, {"card", card},
                             {"wrong", wrong},        {"shuffle", shuffle},
                             {"tick", tick},          {"key", key},
                             {"cleared", cleared},    {"best", best},
                             {"result", result},      {"question", question},
                             {"hover", hover},        {"click", click},
                             {"locked", locked}};
    for (const Entry &e : entries) {
        if (!e.render(dir + "/" + e.file + ".wav"))
            return false;
    }
    return true;
}
