#pragma once
// A looping piece of music as note data (read from a small text notation by SongParser, see
// music/README.md), and its rendering to a stereo loop whose end runs seamlessly into its start.
#include "Instruments.h"
#include "Mixer.h"

#include <string>
#include <vector>

struct Chord {
    int startStep = 0;
    int steps = 0;
    int root = 0;               // pitch class 0..11
    int bass = 0;               // pitch class of the bass note (the root unless "/X" is given)
    std::vector<int> intervals; // semitones above the root
};

struct NoteEvent {
    double midi = 60;
    int startStep = 0;
    double heldSteps = 1;
    double velocity = 1;
};

struct Track {
    std::string name;
    Instrument instrument = Instrument::Lead;
    double volume = 0.5;
    double pan = 0;       // -1 left .. +1 right
    double reverb = 0.2;  // send level
    double delay = 0;     // send level
    double highPass = 0;  // Hz; clears the low mids under a pad or arpeggio (0: none)
    double lowPass = 0;   // Hz; softens a bright drum or pluck so a loop does not hiss (0: none)
    double lowMidCut = 0; // dB taken off around 200 Hz (100-300 Hz), where bass and kick muddy
    std::string duck;     // name of an earlier track (the kick) this one dips under
    std::vector<NoteEvent> notes;
};

struct Song {
    double tempo = 120;
    int bars = 16;
    int stepsPerBar = 16;
    double swing = 0; // the off sixteenths come this fraction of a step late
    std::vector<Chord> chords;
    std::vector<Track> tracks;

    int totalSteps() const { return bars * stepsPerBar; }
    double stepSeconds() const { return 60.0 / tempo / 4.0; }
};

StereoLoop renderSong(const Song &song, double rate);
