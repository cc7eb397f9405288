#pragma once
// The instruments: each renders one note into a mono buffer that includes its release tail.
#include <cstdint>
#include <string>
#include <vector>

enum class Instrument {
    Lead,    // soft pulse with vibrato: the menu tune's voice
    Bell,    // FM glockenspiel
    Pluck,   // plucked string (Karplus-Strong)
    Pad,     // three detuned saws through a slow low-pass
    Bass,    // round synth bass with a short filter sweep
    SawLead, // bright detuned saws: the game tune's voice
    EPiano,  // warm electric piano tine
    Flute,   // breathy sine with vibrato: the story tune's voice
    Kick,
    Snare,
    Clap,
    HatClosed,
    HatOpen,
    Shaker,
    Square, // plain square beep for effects
};

// Parses an instrument name as written in the song files; false when unknown.
bool instrumentFromName(const std::string &name, Instrument *out);
bool isDrum(Instrument instrument);

// midiNote may be fractional; held is the time the key is down in seconds.
std::vector<float> renderNote(Instrument instrument, double midiNote, double held, double velocity,
                              double rate, std::uint32_t seed);
