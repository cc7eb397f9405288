#include "Song.h"

#include "Dsp.h"
#include "Mixer.h"

#include <algorithm>
#include <cmath>

namespace
{

// A track's own filters (a high-pass, a low-pass, a broad low-mid cut), applied to its rendered
// notes.
void filterTrack(const Track &t, std::vector<float> &mono, double rate)
{
    // Filters go round the loop twice so their state at the start is the one from the end.
    if (t.highPass > 0) {
        dsp::Svf filter;
        filter.set(t.highPass, 0.707, rate);
        for (int pass = 0; pass < 2; ++pass) {
            for (float &x : mono) {
                filter.process(x);
                if (pass == 1)
                    x = float(filter.high);
            }
        }
    }
    if (t.lowPass > 0) {
        // Two poles twice over: 24 dB an octave, so the air above it really goes.
        dsp::Svf first, second;
        first.set(t.lowPass, 0.707, rate);
        second.set(t.lowPass, 0.707, rate);
        for (int pass = 0; pass < 2; ++pass) {
            for (float &x : mono) {
                first.process(x);
                second.process(first.low);
                if (pass == 1)
                    x = float(second.low);
            }
        }
    }
    if (t.lowMidCut != 0) {
        // A broad peaking cut: the band output, scaled to unity at its centre, taken off.
        const double q = 0.7;
        const double amount = std::pow(10.0, t.lowMidCut / 20.0) - 1.0;
        dsp::Svf filter;
        filter.set(200, q, rate);
        for (int pass = 0; pass < 2; ++pass) {
            for (float &x : mono) {
                filter.process(x);
                if (pass == 1)
                    x = float(x + amount * filter.band / q);
            }
        }
    }
}

// Dips the track under each hit of the track named duck and recovers within a beat.
void duckUnder(const Song &song, const std::string &duck, std::vector<float> &mono, double rate)
{
    const double step = song.stepSeconds();
    const std::size_t length = mono.size();
    std::vector<float> gain(length, 1.f);
    for (const Track &o : song.tracks) {
        if (o.name != duck)
            continue;
        const std::size_t recover = std::size_t(0.16 * rate);
        for (const NoteEvent &n : o.notes) {
            const double late = n.startStep % 2 ? song.swing : 0.0;
            const std::size_t at = std::size_t(std::llround((n.startStep + late) * step * rate));
            for (std::size_t i = 0; i < recover; ++i) {
                const double u = double(i) / double(recover);
                const float g = float(1.0 - 0.55 * n.velocity * (1 - u) * (1 - u));
                float &slot = gain[(at + i) % length];
                slot = std::min(slot, g);
            }
        }
    }
    for (std::size_t i = 0; i < length; ++i)
        mono[i] *= gain[i];
}

} // namespace

StereoLoop renderSong(const Song &song, double rate)
{
    const double step = song.stepSeconds();
    const std::size_t length = std::size_t(std::llround(song.totalSteps() * step * rate));
    Bus bus(length);
    std::uint32_t seed = 1;
    for (const Track &t : song.tracks) {
        std::vector<float> mono(length, 0.f);
        for (const NoteEvent &n : t.notes) {
            // A touch of deterministic variation keeps repeated notes from sounding stamped.
            const double human =
                0.94 + 0.06 * (((seed * 1103515245u + 12345u) >> 16) % 1000) / 1000.0;
            const std::vector<float> v = renderNote(t.instrument, n.midi, n.heldSteps * step,
                                                    n.velocity * human, rate, seed++);
            const double late = n.startStep % 2 ? song.swing : 0.0;
            const std::size_t start = std::size_t(std::llround((n.startStep + late) * step * rate));
            for (std::size_t i = 0; i < v.size(); ++i)
                mono[(start + i) % length] += v[i];
        }
        filterTrack(t, mono, rate);
        if (!t.duck.empty())
            duckUnder(song, t.duck, mono, rate);
        bus.add(mono, t.volume, t.pan, t.reverb, t.delay);
    }
    return bus.mixLoop(rate, step * 3); // dotted-eighth echo
}
