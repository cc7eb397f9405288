#include "sound/AudioSet.h"

#include "sound/Archive.h"
#include "sound/SinkOutputFactory.h"
#include "sound/SoundBytes.h"
#include "sound/SoundDecoder.h"
#include "sound/WaveFile.h"

#include <QAudioFormat>
#include <QDebug>
#include <QObject>

#include <algorithm>
#include <iterator>
#include <thread>
#include <vector>

AudioSet *AudioSet::instance = nullptr;

namespace
{

struct SoundRow {
    const char *member;
    const char *file; // matched as a substring of the entry name; null for the extras
    int rate;
    int channels;
    QAudioFormat::SampleFormat sampleFormat;
    bool loops;
};

// Every sound, one row each in the order of AudioSet::Row: the named rows in matching order, then
// the four extras, which are the entries at positions 3 to 6.
const SoundRow Rows[] = {
    {"bgm1", "BGM_1.wav", 44100, 2, QAudioFormat::Int16, true},
    {"bgm2", "BGM_2.wav", 44100, 2, QAudioFormat::Int16, true},
    {"bgm3", "BGM_3.wav", 44100, 2, QAudioFormat::Int16, true},
    {"win", "win.wav", 22050, 1, QAudioFormat::Int16, false},
    {"lose", "lose.wav", 44100, 2, QAudioFormat::Int16, false},
    {"draw", "draw.wav", 44100, 2, QAudioFormat::Int16, false},
    {"samegame24", "samegame2-4.wav", 44100, 2, QAudioFormat::Int16, false},
    {"samegame5Over", "samegame5over.wav", 44100, 1, QAudioFormat::Int16, false},
    {"samegameOtetsuki", "samegame_otetsuki.wav", 44100, 1, QAudioFormat::Int16, false},
    {"miss", "miss.wav", 44100, 2, QAudioFormat::Int16, false},
    {"extra3", nullptr, 22050, 1, QAudioFormat::Int16, false},
    {"extra4", nullptr, 22050, 1, QAudioFormat::UInt8, false},
    {"extra5", nullptr, 22050, 1, QAudioFormat::Int16, false},
    {"extra6", nullptr, 22050, 1, QAudioFormat::Int16, false},
};
constexpr int TableRows = int(std::size(Rows));
// Every sound peaks at most 3 dB under full scale, and the system's mix adds an effect to the
// music: both are turned down so that the sum stays 1 dB under full scale (0.708 * (0.8 + 0.45)
// = 0.885), the music by 2 dB only, as it is heard all the time, the effects by 7 dB.
constexpr double MusicGain = 0.8;
constexpr double EffectGain = 0.45;
constexpr int NamedRows = 10;
constexpr int FirstExtraPosition = 3;
// The one game effect whose name contains a designed row's file name ("win.wav").
constexpr const char *GameEffectWithADesignedName = "se/round_win.wav";
// All sounds together decode to about 33 MB; this is far above that and far below what a hostile
// directory may claim.
constexpr std::uint64_t DecodeBudget = 256u << 20;

// Which entry fills which row, in loading order: every entry that names a row, then the four
// extras by position. A later entry of a row replaces an earlier one, so only the last one of
// each row is decoded.
std::vector<std::pair<std::string, int>> loadingPlan(const Archive &archive)
{
    int lastOfRow[NamedRows];
    std::fill(std::begin(lastOfRow), std::end(lastOfRow), -1);
    for (int i = 0; i < archive.entryCount(); ++i) {
        const std::string &name = archive.entry(i)->name;
        // A game's own effect is known by its whole name: it fills no designed row.
        if (name == GameEffectWithADesignedName)
            continue;
        for (int row = 0; row < NamedRows; ++row) {
            if (name.find(Rows[row].file) != std::string::npos) {
                lastOfRow[row] = i;
                break;
            }
        }
    }
    std::vector<std::pair<int, int>> byEntry;
    for (int row = 0; row < NamedRows; ++row) {
        if (lastOfRow[row] >= 0)
            byEntry.emplace_back(lastOfRow[row], row);
    }
    std::sort(byEntry.begin(), byEntry.end());
    std::vector<std::pair<std::string, int>> plan;
    for (const auto &e : byEntry)
        plan.emplace_back(archive.entryName(e.first), e.second);
    for (int row = NamedRows; row < TableRows; ++row)
        plan.emplace_back(archive.entryName(FirstExtraPosition + row - NamedRows), row);
    return plan;
}

// No more than DecodeBudget bytes in all, shared out in loading order by what the directory says
// each entry occupies and decodes to.
std::vector<char> withinBudget(const Archive &archive, const std::vector<std::string> &jobs)
{
    std::vector<char> allowed(jobs.size(), 1);
    std::uint64_t spent = 0;
    for (std::size_t j = 0; j < jobs.size(); ++j) {
        const ArchiveEntry *e = archive.entry(archive.indexOf(jobs[j]));
        const std::uint64_t cost = e ? std::max<std::uint64_t>(e->storedSize, e->decodedSize) : 0;
        if (spent + cost > DecodeBudget)
            allowed[j] = 0;
        else
            spent += cost;
    }
    return allowed;
}

QAudioFormat formatOf(const SoundRow &row)
{
    QAudioFormat format;
    format.setSampleRate(row.rate);
    format.setChannelCount(row.channels);
    format.setSampleFormat(row.sampleFormat);
    return format;
}

} // namespace

AudioSet::AudioSet(std::shared_ptr<AudioOutputFactory> outputs, const QString &archivePath)
    : factory(std::move(outputs)), courier(std::make_unique<QObject>())
{
    static_assert(RowCount == TableRows, "one member per row of the sound table");
    load(archivePath);
    silent = false;
}

AudioSet::~AudioSet()
{
    // The workers stop first, so that nothing is posted to the courier once it is gone.
    decoder.reset();
    courier.reset();
    for (std::unique_ptr<WaveFile> &member : members)
        member.reset();
}

bool AudioSet::createInstance()
{
    return createInstance(std::make_shared<SinkOutputFactory>(), QString::fromLatin1(ArchivePath));
}

bool AudioSet::createInstance(std::shared_ptr<AudioOutputFactory> outputs,
                              const QString &archivePath)
{
    if (instance)
        return false;
    // Never destroyed by the game: its outputs play until the process ends.
    instance = new AudioSet(std::move(outputs), archivePath);
    return true;
}

AudioSet *AudioSet::getInstance()
{
    return instance;
}

void AudioSet::destroyInstance()
{
    delete instance;
    instance = nullptr;
}

void AudioSet::load(const QString &archivePath)
{
    // Only the directory is read here; the sounds decode behind the window.
    auto archive = std::make_unique<Archive>();
    // Its message comes with the others, from the event loop.
    archiveUnreadable = !archive->open(archivePath.toStdString(), ArchiveKey);

    // One decode per distinct name (an extra may also be a named sound).
    std::vector<std::string> jobs;
    for (const auto &step : loadingPlan(*archive)) {
        const auto same = std::find(jobs.begin(), jobs.end(), step.first);
        fills.push_back({step.second, std::size_t(same - jobs.begin())});
        if (same == jobs.end())
            jobs.push_back(step.first);
    }
    std::vector<char> allowed = withinBudget(*archive, jobs);
    // The menu music first, so that it starts as soon as the menu is up; then loading order.
    std::vector<std::size_t> order;
    for (const Fill &f : fills) {
        if (f.row == 0)
            order.push_back(f.job);
    }
    for (const Fill &f : fills)
        order.push_back(f.job);

    decoder = std::make_unique<SoundDecoder>(std::move(archive), std::move(jobs),
                                             std::move(allowed), std::move(order));
    // Decoded sounds are handed to their members on the GUI thread, in loading order.
    QObject *receiver = courier.get();
    decoder->start(DecodeThreads(), [receiver] {
        QMetaObject::invokeMethod(
            receiver,
            [] {
                if (instance)
                    instance->deliver();
            },
            Qt::QueuedConnection);
    });
}

unsigned AudioSet::DecodeThreads()
{
    // One core stays with the GUI thread, which builds the window meanwhile.
    const unsigned cores = std::thread::hardware_concurrency();
    return std::max(1u, std::min(3u, cores > 1 ? cores - 1 : 1u));
}

void AudioSet::fill(std::size_t index)
{
    const Fill &f = fills[index];
    std::unique_ptr<WaveFile> &member = members[f.row];
    if (member) {
        // Made while its bytes were still arriving: now they all have, or its decoding failed.
        member->settle();
        return;
    }
    // A sound under way is taken as far as it has arrived, and plays while the rest follows.
    // Members filled from one entry share its bytes.
    std::shared_ptr<const SoundBytes> bytes = decoder->arriving(f.job);
    member = bytes ? std::make_unique<WaveFile>(std::move(bytes))
                   : std::make_unique<WaveFile>(std::vector<unsigned char>());
    const SoundRow &row = Rows[f.row];
    member->createOutput(formatOf(row), *factory, QString::fromLatin1(row.member),
                         row.loops ? MusicGain : EffectGain);
    if (row.loops)
        member->setLoop(true);
}

void AudioSet::deliver()
{
    // Members and messages in loading order, as far as the sounds are decoded.
    if (archiveUnreadable) {
        archiveUnreadable = false;
        qDebug("readArchiveError: Tovira.fka");
    }
    while (decoder && delivered < fills.size() && decoder->isDone(fills[delivered].job)) {
        bool ok = false;
        decoder->take(fills[delivered].job, &ok);
        if (!ok)
            qDebug("readError");
        fill(delivered);
        ++delivered;
    }
    if (decoder && delivered == fills.size())
        decoder.reset();
}

void AudioSet::ensure(int row)
{
    // A sound asked for before it is decoded waits for its own decoding, and no other; one
    // that is decoding waits only for its front.
    if (members[row] || !decoder)
        return;
    for (std::size_t i = delivered; i < fills.size(); ++i) {
        if (fills[i].row == row) {
            fill(i);
            return;
        }
    }
}

void AudioSet::finishLoading()
{
    while (decoder) {
        decoder->take(fills[delivered].job, nullptr);
        deliver();
    }
}

const WaveFile *AudioSet::sound(const QString &member) const
{
    for (int row = 0; row < RowCount; ++row) {
        if (member != QLatin1String(Rows[row].member))
            continue;
        AudioSet *self = const_cast<AudioSet *>(this);
        self->ensure(row);
        const std::unique_ptr<WaveFile> &wave = members[row];
        // Looked at whole: a sound still arriving is waited for to its end.
        for (std::size_t i = delivered; decoder && i < fills.size(); ++i) {
            if (fills[i].row == row) {
                decoder->take(fills[i].job, nullptr);
                if (wave)
                    wave->settle();
            }
        }
        return wave.get();
    }
    return nullptr;
}

// A named sound missing from the archive has no WaveFile; its operations do nothing.
void AudioSet::play(int row)
{
    ensure(row);
    if (members[row])
        members[row]->play();
}

void AudioSet::stop(int row)
{
    ensure(row);
    if (members[row])
        members[row]->stop();
}

void AudioSet::playBgm1()
{
    play(Bgm1);
}
void AudioSet::stopBgm1()
{
    stop(Bgm1);
}
void AudioSet::playBgm2()
{
    play(Bgm2);
}
void AudioSet::stopBgm2()
{
    stop(Bgm2);
}
void AudioSet::playBgm3()
{
    play(Bgm3);
}
void AudioSet::stopBgm3()
{
    stop(Bgm3);
}
void AudioSet::playWin()
{
    play(Win);
}
void AudioSet::playLose()
{
    play(Lose);
}

void AudioSet::playMove()
{
    if (!silent)
        play(Samegame24);
}

void AudioSet::playMiss()
{
    if (!silent)
        play(Miss);
}

void AudioSet::setSilent(bool value)
{
    silent = value;
}
void AudioSet::playDraw()
{
    play(Draw);
}
void AudioSet::playSamegame24()
{
    play(Samegame24);
}
void AudioSet::playSamegame5Over()
{
    play(Samegame5Over);
}
void AudioSet::playSamegameOtetsuki()
{
    play(SamegameOtetsuki);
}
