#pragma once
// The player's sound choices (music and effects volume, mute) kept between runs in the game's
// one settings file, an INI file in the user's configuration folder. The score file is not it.
#include <QString>

class AudioSet;

class SoundSettings
{
public:
    // <config folder>/tovira-parade/tovira-parade.ini
    static QString filePath();
    // Gives the sound manager the stored choices; a missing file or key keeps full volume and
    // sound on.
    static void load(AudioSet &audio);
    static void save(const AudioSet &audio);
};
