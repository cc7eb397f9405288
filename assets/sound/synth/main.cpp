// The game's sound synthesizer: renders the three music loops from their note data and every
// sound effect, as WAV files ready to be packed into the sound archive.
//   synth MUSIC_DIR OUT_DIR   writes OUT_DIR/bgm/BGM_1.wav .. BGM_3.wav and OUT_DIR/se/*.wav
#include "Effects.h"
#include "Mixer.h"
#include "Song.h"
#include "SongParser.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: synth MUSIC_DIR OUT_DIR\n");
        return 1;
    }
    const std::string music = argv[1];
    const std::string out = argv[2];
    std::error_code ec;
    std::filesystem::create_directories(out + "/bgm", ec);
    std::filesystem::create_directories(out + "/se", ec);
    const auto began = std::chrono::steady_clock::now();
    for (const char *name : {"BGM_1", "BGM_2", "BGM_3"}) {
        Song song;
        std::string error;
        const std::string source = music + "/" + name + ".song";
        if (!parseSong(source, &song, &error)) {
            std::fprintf(stderr, "synth: %s: %s\n", source.c_str(), error.c_str());
            return 1;
        }
        const StereoLoop loop = renderSong(song, 44100);
        const std::string target = out + "/bgm/" + name + ".wav";
        if (!writeWav(target, loop, 2, 44100, 16)) {
            std::fprintf(stderr, "synth: cannot write %s\n", target.c_str());
            return 1;
        }
    }
    if (!renderEffects(out + "/se"))
        return 1;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("synth: rendered 3 music loops and 34 effects in %.2f s\n", seconds);
    return 0;
}
