#include "Effects.h"

#include "Dsp.h"
#include "GameEffects.h"
#include "Instruments.h"
#include "Sketch.h"

#include <cmath>

namespace
{

// C major fanfare rising to a held bright chord.
bool winSound(const std::string &path)
{
    Sketch s(1.5, 22050);
    const int run[] = {72, 76, 79, 84};
    for (int i = 0; i < 4; ++i) {
        s.note(Instrument::Lead, run[i], 0.075 * i, 0.07, 0.9, 0, 0.2);
        s.note(Instrument::Bell, run[i] + 12, 0.075 * i, 0.07, 0.35, 0, 0.2);
    }
    for (int n : {76, 79, 84})
        s.note(Instrument::Lead, n, 0.32, 0.75, 0.6, 0, 0.3);
    s.note(Instrument::Bell, 88, 0.32, 0.6, 0.5, 0, 0.3);
    return s.write(path, 1, 16);
}

// A slow falling sigh, half-steps down to a low held note.
bool lose(const std::string &path)
{
    Sketch s(1.9, 44100);
    const int fall[] = {67, 66, 65};
    for (int i = 0; i < 3; ++i)
        s.note(Instrument::Lead, fall[i], 0.26 * i, 0.22, 0.8, -0.1, 0.3);
    s.note(Instrument::Lead, 64, 0.78, 0.8, 0.85, -0.1, 0.35);
    s.note(Instrument::Bass, 40, 0.78, 0.8, 0.7, 0.1, 0.1);
    s.note(Instrument::Pad, 55, 0.78, 0.8, 0.35, 0.3, 0.4);
    return s.write(path, 2, 16);
}

// Two even dings a fifth apart: neither up nor down.
bool drawSound(const std::string &path)
{
    Sketch s(1.1, 44100);
    s.note(Instrument::Bell, 74, 0.0, 0.25, 0.8, -0.3, 0.2);
    s.note(Instrument::Bell, 81, 0.0, 0.25, 0.5, 0.3, 0.2);
    s.note(Instrument::Bell, 74, 0.22, 0.3, 0.8, 0.3, 0.2);
    s.note(Instrument::Bell, 81, 0.22, 0.3, 0.5, -0.3, 0.2);
    return s.write(path, 2, 16);
}

// A short wooden pop for a sliding tile.
bool tileMove(const std::string &path)
{
    Sketch s(0.2, 44100);
    s.note(Instrument::Pluck, 81, 0.0, 0.08, 0.9, 0.1, 0.05);
    s.note(Instrument::Bell, 88, 0.0, 0.03, 0.18, -0.1, 0.05);
    return s.write(path, 2, 16, 0.6);
}

// A sparkling rising run for clearing five or more tiles.
bool sparkle(const std::string &path)
{
    Sketch s(1.0, 44100);
    const int run[] = {84, 88, 91, 96, 100};
    for (int i = 0; i < 5; ++i)
        s.note(Instrument::Bell, run[i], 0.045 * i, 0.1, 0.7 - 0.06 * i, 0, 0.3);
    return s.write(path, 1, 16);
}

// Two short, sour buzzes for a wrong pick.
bool wrongPick(const std::string &path)
{
    Sketch s(0.4, 44100);
    for (double t : {0.0, 0.15}) {
        s.note(Instrument::Square, 45, t, 0.09, 0.8);
        s.note(Instrument::Square, 46, t, 0.09, 0.8);
    }
    return s.write(path, 1, 16, 0.7);
}

// A soft low bonk for a move that cannot be made.
bool missSound(const std::string &path)
{
    Sketch s(0.35, 44100);
    s.note(Instrument::Pluck, 48, 0.0, 0.15, 1.0, 0, 0.05);
    s.note(Instrument::Kick, 60, 0.0, 0.1, 0.6, 0, 0.0);
    return s.write(path, 2, 16, 0.7);
}

bool chime(const std::string &path)
{
    Sketch s(1.2, 22050);
    s.note(Instrument::Bell, 79, 0.0, 0.2, 0.7);
    s.note(Instrument::Bell, 84, 0.16, 0.4, 0.8);
    return s.write(path, 1, 16);
}

bool coin(const std::string &path)
{
    Sketch s(0.45, 22050);
    s.note(Instrument::Square, 83, 0.0, 0.06, 0.7);
    s.note(Instrument::Square, 88, 0.06, 0.3, 0.7);
    return s.write(path, 1, 8, 0.7);
}

bool whoosh(const std::string &path)
{
    Sketch s(0.6, 22050);
    dsp::Noise noise(77);
    dsp::Svf filter;
    s.raw([&](double t) {
        filter.set(300 + 5000 * std::sin(dsp::Pi * t / 0.6), 1.5, 22050);
        filter.process(noise.next());
        return float(filter.band * std::sin(dsp::Pi * t / 0.6));
    });
    return s.write(path, 1, 16, 0.7);
}

bool selectBlip(const std::string &path)
{
    Sketch s(0.3, 22050);
    s.note(Instrument::Square, 84, 0.0, 0.04, 0.5);
    s.note(Instrument::Bell, 91, 0.03, 0.1, 0.6);
    return s.write(path, 1, 16, 0.7);
}

} // namespace

bool renderEffects(const std::string &dir)
{
    return winSound(dir + "/win.wav") && lose(dir + "/lose.wav") && drawSound(dir + "/draw.wav") &&
           tileMove(dir + "/samegame2-4.wav") && sparkle(dir + "/samegame5over.wav") &&
           wrongPick(dir + "/samegame_otetsuki.wav") && missSound(dir + "/miss.wav") &&
           chime(dir + "/chime.wav") && coin(dir + "/coin.wav") && whoosh(dir + "/whoosh.wav") &&
           selectBlip(dir + "/select.wav") && renderGameEffects(dir);
}
