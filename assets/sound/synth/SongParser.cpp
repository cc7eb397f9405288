// The song notation read into note data: header lines, chord blocks, melodies, pads and patterns.
#include "SongParser.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <sstream>

namespace
{

std::string trim(const std::string &s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return std::string();
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> split(const std::string &s, char sep)
{
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == sep) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

std::vector<std::string> words(const std::string &s)
{
    std::istringstream in(s);
    std::vector<std::string> out;
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

// A letter and an optional "#" or "b": semitone offset from C (may be -1 or 12) and length used.
bool pitchSemitone(const std::string &s, std::size_t *used, int *semitone)
{
    static const std::map<char, int> base = {{'c', 0}, {'d', 2}, {'e', 4}, {'f', 5},
                                             {'g', 7}, {'a', 9}, {'b', 11}};
    if (s.empty())
        return false;
    const auto it = base.find(char(std::tolower(static_cast<unsigned char>(s[0]))));
    if (it == base.end())
        return false;
    *semitone = it->second;
    *used = 1;
    if (s.size() > 1 && (s[1] == '#' || s[1] == 'b')) {
        *semitone += s[1] == '#' ? 1 : -1;
        *used = 2;
    }
    return true;
}

bool pitchClass(const std::string &s, std::size_t *used, int *pc)
{
    int semitone = 0;
    if (!pitchSemitone(s, used, &semitone))
        return false;
    *pc = (semitone + 12) % 12;
    return true;
}

// "c5", "f#4", "bb3" -> MIDI note number (a4 = 69).
bool parseNote(const std::string &s, int *midi)
{
    std::size_t used = 0;
    int semitone = 0;
    if (!pitchSemitone(s, &used, &semitone) || used >= s.size())
        return false;
    const std::string oct = s.substr(used);
    for (char c : oct)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    *midi = 12 * (std::stoi(oct) + 1) + semitone;
    return true;
}

bool parseChord(const std::string &symbol, Chord *chord)
{
    std::string body = symbol;
    std::string bassPart;
    const auto slash = body.find('/');
    if (slash != std::string::npos) {
        bassPart = body.substr(slash + 1);
        body = body.substr(0, slash);
    }
    std::size_t used = 0;
    if (!pitchClass(body, &used, &chord->root))
        return false;
    static const std::map<std::string, std::vector<int>> qualities = {
        {"", {0, 4, 7}},         {"m", {0, 3, 7}},          {"7", {0, 4, 7, 10}},
        {"maj7", {0, 4, 7, 11}}, {"m7", {0, 3, 7, 10}},     {"sus4", {0, 5, 7}},
        {"sus2", {0, 2, 7}},     {"dim", {0, 3, 6}},        {"add9", {0, 4, 7, 14}},
        {"6", {0, 4, 7, 9}},     {"m9", {0, 3, 7, 10, 14}}, {"maj9", {0, 4, 7, 11, 14}}};
    const auto q = qualities.find(body.substr(used));
    if (q == qualities.end())
        return false;
    chord->intervals = q->second;
    chord->bass = chord->root;
    if (!bassPart.empty()) {
        std::size_t u = 0;
        if (!pitchClass(bassPart, &u, &chord->bass) || u != bassPart.size())
            return false;
    }
    return true;
}

struct Header {
    std::string kind;
    std::string name;
    std::string instrument;
    std::map<std::string, std::string> options;
};

double option(const Header &h, const std::string &key, double fallback)
{
    const auto it = h.options.find(key);
    return it == h.options.end() ? fallback : std::stod(it->second);
}

// The chord sounding at a step.
const Chord &chordAt(const Song &song, int step)
{
    for (const Chord &c : song.chords)
        if (step >= c.startStep && step < c.startStep + c.steps)
            return c;
    return song.chords.front();
}

// Chord tones placed nearest to a centre note, so that changes move by small steps.
std::vector<int> voicing(const Chord &c, int centre)
{
    std::vector<int> notes;
    for (int iv : c.intervals) {
        const int pc = (c.root + iv) % 12;
        int n = centre - ((centre - pc) % 12 + 12) % 12; // highest pc at or below centre
        if (centre - n > 6)
            n += 12;
        notes.push_back(n);
    }
    std::sort(notes.begin(), notes.end());
    notes.erase(std::unique(notes.begin(), notes.end()), notes.end());
    return notes;
}

class Parser
{
public:
    Parser(Song *target, std::string *message) : song(target), error(message) {}

    bool run(const std::string &path)
    {
        std::ifstream in(path);
        if (!in)
            return fail(path + ": cannot open");
        std::string line;
        while (std::getline(in, line)) {
            ++lineNo;
            // "#" starts a comment at the start of a line or after a space; in "g#5" it is a sharp.
            for (std::size_t i = 0; i < line.size(); ++i) {
                if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
                    line = line.substr(0, i);
                    break;
                }
            }
            line = trim(line);
            if (line.empty())
                continue;
            if (line[0] == '|') {
                block += line;
                continue;
            }
            if (!finishBlock())
                return false;
            if (!startBlock(line))
                return false;
        }
        if (!finishBlock())
            return false;
        if (song->chords.empty())
            return fail("no chords");
        for (const Track &t : song->tracks) {
            const bool known = std::any_of(song->tracks.begin(), song->tracks.end(),
                                           [&](const Track &o) { return o.name == t.duck; });
            if (!t.duck.empty() && !known)
                return fail("no track named " + t.duck + " for " + t.name + " to duck under");
        }
        return true;
    }

private:
    bool fail(const std::string &message)
    {
        *error = "line " + std::to_string(lineNo) + ": " + message;
        return false;
    }

    bool startBlock(const std::string &line)
    {
        const std::vector<std::string> w = words(line);
        header = Header();
        header.kind = w[0];
        if (w[0] == "tempo" && w.size() == 2) {
            song->tempo = std::stod(w[1]);
            header.kind.clear();
            return true;
        }
        if (w[0] == "swing" && w.size() == 2) {
            song->swing = std::stod(w[1]);
            header.kind.clear();
            return true;
        }
        if (w[0] == "bars" && w.size() == 2) {
            song->bars = std::stoi(w[1]);
            header.kind.clear();
            return true;
        }
        if (w[0] == "chords")
            return true;
        if (w.size() < 3)
            return fail("expected: KIND NAME INSTRUMENT [key=value ...]");
        header.name = w[1];
        header.instrument = w[2];
        for (std::size_t i = 3; i < w.size(); ++i) {
            const auto eq = w[i].find('=');
            if (eq == std::string::npos)
                return fail("expected key=value, got " + w[i]);
            header.options[w[i].substr(0, eq)] = w[i].substr(eq + 1);
        }
        return true;
    }

    // The bars of a "|"-separated block, empty segments dropped.
    std::vector<std::string> bars() const
    {
        std::vector<std::string> out;
        for (const std::string &seg : split(block, '|')) {
            const std::string t = trim(seg);
            if (!t.empty())
                out.push_back(t);
        }
        return out;
    }

    bool finishBlock()
    {
        if (header.kind.empty()) {
            if (!block.empty())
                return fail("bars without a track");
            return true;
        }
        bool ok = true;
        if (header.kind == "chords")
            ok = readChords();
        else
            ok = readTrack();
        header = Header();
        block.clear();
        return ok;
    }

    bool readChords()
    {
        const std::vector<std::string> all = bars();
        if (int(all.size()) != song->bars)
            return fail("chords give " + std::to_string(all.size()) + " bars, the song has " +
                        std::to_string(song->bars));
        for (std::size_t b = 0; b < all.size(); ++b) {
            const std::vector<std::string> symbols = words(all[b]);
            const int each = song->stepsPerBar / int(symbols.size());
            for (std::size_t k = 0; k < symbols.size(); ++k) {
                Chord c;
                if (!parseChord(symbols[k], &c))
                    return fail("unknown chord " + symbols[k]);
                c.startStep = int(b) * song->stepsPerBar + int(k) * each;
                c.steps = k + 1 == symbols.size() ? song->stepsPerBar - int(k) * each : each;
                song->chords.push_back(c);
            }
        }
        return true;
    }

    bool readTrack()
    {
        Track t;
        t.name = header.name;
        if (!instrumentFromName(header.instrument, &t.instrument))
            return fail("unknown instrument " + header.instrument);
        t.volume = option(header, "vol", 0.5);
        t.pan = option(header, "pan", 0);
        t.reverb = option(header, "rev", 0.2);
        t.delay = option(header, "dly", 0);
        t.highPass = option(header, "hp", 0);
        t.lowPass = option(header, "lp", 0);
        t.lowMidCut = option(header, "cut", 0);
        if (header.options.count("duck"))
            t.duck = header.options.at("duck");
        bool ok = false;
        if (header.kind == "melody")
            ok = readMelody(&t);
        else if (header.kind == "pad")
            ok = readPad(&t);
        else if (header.kind == "bass" || header.kind == "arp" || header.kind == "drum")
            ok = readPattern(&t);
        else
            return fail("unknown track kind " + header.kind);
        if (ok && !keepOnlyBars(&t))
            return false;
        if (ok)
            song->tracks.push_back(t);
        return ok;
    }

    // only=1-8,17-32: the track sounds in those bars (counted from 1) and rests elsewhere,
    // so a section can change its texture.
    bool keepOnlyBars(Track *t)
    {
        const auto it = header.options.find("only");
        if (it == header.options.end())
            return true;
        std::vector<bool> on(std::size_t(song->bars), false);
        for (const std::string &range : split(it->second, ',')) {
            const auto dash = range.find('-');
            const int from = std::stoi(range.substr(0, dash));
            const int to = dash == std::string::npos ? from : std::stoi(range.substr(dash + 1));
            if (from < 1 || to < from || to > song->bars)
                return fail("bad bar range " + range);
            for (int b = from; b <= to; ++b)
                on[std::size_t(b - 1)] = true;
        }
        std::vector<NoteEvent> kept;
        for (const NoteEvent &n : t->notes)
            if (on[std::size_t(n.startStep / song->stepsPerBar % song->bars)])
                kept.push_back(n);
        t->notes = kept;
        return true;
    }

    // One note, rest, tie or chord of a melody bar at *step, which moves on by its length.
    bool readNote(Track *t, std::string token, double gate, int shift, int *step)
    {
        // "c6:4!" accents a note.
        const bool accent = !token.empty() && token.back() == '!';
        if (accent)
            token.pop_back();
        const auto colon = token.rfind(':');
        if (colon == std::string::npos)
            return fail("note without length: " + token);
        const std::string pitch = token.substr(0, colon);
        const int len = std::stoi(token.substr(colon + 1));
        if (len <= 0)
            return fail("bad length in " + token);
        if (pitch == "r") {
            // rest
        } else if (pitch == "-") {
            if (t->notes.empty())
                return fail("tie with nothing before it");
            for (auto it = t->notes.rbegin();
                 it != t->notes.rend() && it->startStep == t->notes.back().startStep; ++it)
                it->heldSteps += len;
        } else {
            std::vector<std::string> parts;
            if (pitch.front() == '[' && pitch.back() == ']')
                parts = split(pitch.substr(1, pitch.size() - 2), ',');
            else
                parts.push_back(pitch);
            for (const std::string &p : parts) {
                int midi = 0;
                if (!parseNote(p, &midi))
                    return fail("bad note " + p);
                NoteEvent n;
                n.midi = midi + shift;
                n.startStep = *step;
                n.heldSteps = len * gate;
                // Downbeats a little stronger than the notes between them.
                n.velocity = accent ? 1.2 : (*step % 4 == 0) ? 1.0 : 0.88;
                t->notes.push_back(n);
            }
        }
        *step += len;
        return true;
    }

    bool readMelody(Track *t)
    {
        const double gate = option(header, "gate", 0.92);
        const int shift = int(option(header, "oct", 0)) * 12;
        const auto copy = header.options.find("copy");
        if (copy != header.options.end()) {
            for (const Track &other : song->tracks) {
                if (other.name == copy->second) {
                    t->notes = other.notes;
                    for (NoteEvent &n : t->notes) {
                        n.midi += shift;
                        n.velocity *= option(header, "vel", 1.0);
                    }
                    return true;
                }
            }
            return fail("no track named " + copy->second + " to copy");
        }
        const std::vector<std::string> all = bars();
        // from=N: the first bar written is bar N, so a tune for one section needs no rests
        // before it.
        const int first = int(option(header, "from", 1)) - 1;
        if (first < 0 || first + int(all.size()) > song->bars)
            return fail("more bars than the song has");
        int step = 0;
        for (std::size_t b = 0; b < all.size(); ++b) {
            const int barStart = (first + int(b)) * song->stepsPerBar;
            step = barStart;
            for (const std::string &token : words(all[b]))
                if (!readNote(t, token, gate, shift, &step))
                    return false;
            if (step - barStart != song->stepsPerBar)
                return fail("bar " + std::to_string(first + int(b) + 1) + " of " + t->name +
                            " has " + std::to_string(step - barStart) + " steps");
        }
        return true;
    }

    bool readPad(Track *t)
    {
        const int centre = 12 * (int(option(header, "oct", 4)) + 1) + 7;
        for (const Chord &c : song->chords) {
            for (int n : voicing(c, centre)) {
                NoteEvent e;
                e.midi = n;
                e.startStep = c.startStep;
                e.heldSteps = c.steps - 0.3;
                e.velocity = 0.9;
                t->notes.push_back(e);
            }
        }
        return true;
    }

    bool readPattern(Track *t)
    {
        std::string pattern;
        for (char c : block)
            if (c != '|' && c != ' ' && c != '\t')
                pattern += c;
        if (pattern.empty())
            return fail("pattern missing");
        const int octave = int(option(header, "oct", header.kind == "bass" ? 2 : 4));
        for (int step = 0; step < song->totalSteps(); ++step) {
            const char ch = pattern[std::size_t(step) % pattern.size()];
            if (ch == '.' || ch == '-')
                continue;
            int len = 1;
            while (step + len < song->totalSteps() &&
                   pattern[std::size_t(step + len) % pattern.size()] == '-')
                ++len;
            const Chord &chord = chordAt(*song, step);
            NoteEvent e;
            e.startStep = step;
            e.heldSteps = len * 0.9;
            const bool soft = std::islower(static_cast<unsigned char>(ch)) && header.kind == "bass";
            e.velocity = (step % 4 == 0 ? 1.0 : 0.85) * (soft ? 0.7 : 1.0);
            if (header.kind == "drum") {
                if (ch != 'x' && ch != 'o' && ch != 'X')
                    return fail(std::string("drum pattern symbol ") + ch);
                e.midi = 60;
                e.velocity = ch == 'X' ? 1.2 : ch == 'x' ? (step % 4 == 0 ? 1.0 : 0.9) : 0.5;
                e.heldSteps = 1;
            } else if (header.kind == "bass") {
                const int root = 12 * (octave + 1) + chord.bass;
                const int chordRoot = 12 * (octave + 1) + chord.root;
                switch (std::toupper(static_cast<unsigned char>(ch))) {
                case 'R':
                    e.midi = root;
                    break;
                case 'F':
                    e.midi = chordRoot + 7 - (chordRoot + 7 - root > 9 ? 12 : 0);
                    break;
                case 'O':
                    e.midi = root + 12;
                    break;
                case '3':
                    e.midi = chordRoot + chord.intervals[1];
                    break;
                default:
                    return fail(std::string("bass pattern symbol ") + ch);
                }
            } else {
                if (!std::isdigit(static_cast<unsigned char>(ch)))
                    return fail(std::string("arp pattern symbol ") + ch);
                const std::vector<int> tones = voicing(chord, 12 * (octave + 1) + 4);
                const int i = ch - '0';
                e.midi = tones[std::size_t(i) % tones.size()] + 12 * (i / int(tones.size()));
            }
            t->notes.push_back(e);
        }
        return true;
    }

    Song *song;
    std::string *error;
    int lineNo = 0;
    Header header;
    std::string block;
};

} // namespace

bool parseSong(const std::string &path, Song *song, std::string *error)
{
    *song = Song();
    return Parser(song, error).run(path);
}
