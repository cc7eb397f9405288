#include "sound/AudioSet.h"

#include "sound/Archive.h"
#include "sound/FadeDevice.h"
#include "sound/SinkOutputFactory.h"
#include "sound/SoundBytes.h"
#include "sound/SoundDecoder.h"
#include "sound/WavData.h"
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
    // The designed rows match it as a substring of the entry name, the effects' recordings as
    // the whole name; null for the extras.
    const char *file;
    int rate; // 0: the format is read from the recording's own header
    int channels;
    QAudioFormat::SampleFormat sampleFormat;
    bool loops;
};

// Every sound, one row each in the order of AudioSet::Row: the named rows in matching order, the
// four extras, which are the entries at positions 3 to 6, then the effects' recordings.
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
    {"hand", "se/hand.wav", 0, 1, QAudioFormat::Int16, false},
    {"round_win", "se/round_win.wav", 0, 1, QAudioFormat::Int16, false},
    {"signal", "se/signal.wav", 0, 1, QAudioFormat::Int16, false},
    {"false_start", "se/false_start.wav", 0, 1, QAudioFormat::Int16, false},
    {"shot", "se/shot.wav", 0, 1, QAudioFormat::Int16, false},
    {"hit", "se/hit.wav", 0, 1, QAudioFormat::Int16, false},
    {"bonus", "se/bonus.wav", 0, 1, QAudioFormat::Int16, false},
    {"bad_target", "se/bad_target.wav", 0, 1, QAudioFormat::Int16, false},
    {"reel_stop", "se/reel_stop.wav", 0, 1, QAudioFormat::Int16, false},
    {"pay", "se/pay.wav", 0, 1, QAudioFormat::Int16, false},
    {"reel_lost", "se/reel_lost.wav", 0, 1, QAudioFormat::Int16, false},
    {"card", "se/card.wav", 0, 1, QAudioFormat::Int16, false},
    {"wrong", "se/wrong.wav", 0, 1, QAudioFormat::Int16, false},
    {"shuffle", "se/shuffle.wav", 0, 1, QAudioFormat::Int16, false},
    {"tick", "se/tick.wav", 0, 1, QAudioFormat::Int16, false},
    {"key", "se/key.wav", 0, 1, QAudioFormat::Int16, false},
    {"cleared", "se/cleared.wav", 0, 1, QAudioFormat::Int16, false},
    {"best", "se/best.wav", 0, 1, QAudioFormat::Int16, false},
    {"result", "se/result.wav", 0, 1, QAudioFormat::Int16, false},
    {"question", "se/question.wav", 0, 1, QAudioFormat::Int16, false},
    {"hover", "se/hover.wav", 0, 1, QAudioFormat::Int16, false},
    {"click", "se/click.wav", 0, 1, QAudioFormat::Int16, false},
    {"locked", "se/locked.wav", 0, 1, QAudioFormat::Int16, false},
};
constexpr int TableRows = int(std::size(Rows));
// A recording without a readable header plays in the extras' format.
constexpr int DefaultEffectRate = 22050;

using Effect = AudioSet::Effect;
struct EffectRow {
    Effect effect;
    int row;
    bool game; // held back while the silent flag is set
};
// Which recording each effect plays, in the order of AudioSet::Effect.
const EffectRow Effects[] = {
    {Effect::JankenHand, AudioSet::Hand, true},
    {Effect::JankenRoundWin, AudioSet::RoundWin, true},
    {Effect::JankenDraw, AudioSet::Draw, true},
    {Effect::JankenLost, AudioSet::Lose, true},
    {Effect::SetsunaSignal, AudioSet::Signal, true},
    {Effect::SetsunaFalseStart, AudioSet::FalseStart, true},
    {Effect::ShotFired, AudioSet::Shot, true},
    {Effect::TargetHit, AudioSet::Hit, true},
    {Effect::ShotMissed, AudioSet::Miss, true},
    {Effect::BonusZone, AudioSet::Bonus, true},
    {Effect::BadTarget, AudioSet::BadTarget, true},
    {Effect::ReelStop, AudioSet::ReelStop, true},
    {Effect::Pay, AudioSet::Pay, true},
    {Effect::ReelLost, AudioSet::ReelLost, true},
    {Effect::CardPlayed, AudioSet::Card, true},
    {Effect::WrongCard, AudioSet::Wrong, true},
    {Effect::CardsDealt, AudioSet::Shuffle, true},
    {Effect::LastSeconds, AudioSet::Tick, true},
    {Effect::RightKey, AudioSet::Key, true},
    {Effect::WrongKey, AudioSet::Wrong, true},
    {Effect::TypingBonus, AudioSet::Bonus, true},
    {Effect::BoardCleared, AudioSet::Cleared, true},
    {Effect::GroupRemovedSmall, AudioSet::Samegame24, true},
    {Effect::GroupRemovedLarge, AudioSet::Samegame5Over, true},
    {Effect::LoneTile, AudioSet::SamegameOtetsuki, true},
    {Effect::ResultNewBest, AudioSet::Best, false},
    {Effect::ResultGentle, AudioSet::Result, false},
    {Effect::QuestionShown, AudioSet::Question, false},
    // The soft slide of a card laid down, for a page of a story.
    {Effect::PageTurned, AudioSet::Card, false},
    {Effect::Hover, AudioSet::Hover, false},
    {Effect::Click, AudioSet::Click, false},
    {Effect::Locked, AudioSet::Locked, false},
};
static_assert(std::size(Effects) == std::size_t(Effect::Count), "one row per effect");

const EffectRow &effectRow(Effect effect)
{
    return Effects[std::size_t(effect)];
}
// Every sound peaks at most 3 dB under full scale, and the system's mix adds an effect to the
// music: both are turned down so that the sum stays 1 dB under full scale (0.708 * (0.8 + 0.45)
// = 0.885), the music by 2 dB only, as it is heard all the time, the effects by 7 dB.
constexpr double MusicGain = 0.8;
constexpr double EffectGain = 0.45;
constexpr int NamedRows = 10;
constexpr int FirstExtraPosition = 3;
constexpr int FirstEffectRow = NamedRows + 4;
// All sounds together decode to about 33 MB; this is far above that and far below what a hostile
// directory may claim.
constexpr std::uint64_t DecodeBudget = 256u << 20;

// The row an entry name fills, or -1. An effect's recording is known by its whole name first,
// so that "se/round_win.wav" does not fill the row of "win.wav".
int rowOfName(const std::string &name)
{
    for (int row = FirstEffectRow; row < TableRows; ++row) {
        if (name == Rows[row].file)
            return row;
    }
    for (int row = 0; row < NamedRows; ++row) {
        if (name.find(Rows[row].file) != std::string::npos)
            return row;
    }
    return -1;
}

// Which entry fills which row, in loading order: every entry that names a row, then the four
// extras by position. A later entry of a row replaces an earlier one, so only the last one of
// each row is decoded.
std::vector<std::pair<std::string, int>> loadingPlan(const Archive &archive)
{
    int lastOfRow[TableRows];
    std::fill(std::begin(lastOfRow), std::end(lastOfRow), -1);
    for (int i = 0; i < archive.entryCount(); ++i) {
        const int row = rowOfName(archive.entry(i)->name);
        if (row >= 0)
            lastOfRow[row] = i;
    }
    std::vector<std::pair<int, int>> byEntry;
    for (int row = 0; row < TableRows; ++row) {
        if (lastOfRow[row] >= 0 && Rows[row].file)
            byEntry.emplace_back(lastOfRow[row], row);
    }
    std::sort(byEntry.begin(), byEntry.end());
    std::vector<std::pair<std::string, int>> plan;
    for (const auto &e : byEntry)
        plan.emplace_back(archive.entryName(e.first), e.second);
    for (int row = NamedRows; row < FirstEffectRow; ++row)
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

// The row's format; for an effect's recording, the one its header gives.
QAudioFormat formatOf(const SoundRow &row, const QByteArray &bytes)
{
    QAudioFormat format;
    format.setSampleRate(row.rate);
    format.setChannelCount(row.channels);
    format.setSampleFormat(row.sampleFormat);
    if (row.rate == 0) {
        int rate = 0, channels = 0, bits = 0;
        const bool known = WavData::findFormat(bytes, &rate, &channels, &bits);
        format.setSampleRate(known ? rate : DefaultEffectRate);
        format.setChannelCount(known ? channels : 1);
        format.setSampleFormat(known && bits == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    }
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
    member->createOutput(formatOf(row, member->bytes()), *factory, QString::fromLatin1(row.member),
                         row.loops ? MusicGain : EffectGain,
                         row.loops ? CrossfadeMilliseconds : FadeDevice::FadeMilliseconds);
    if (row.loops)
        member->setLoop(true);
    applyVolume(f.row);
}

void AudioSet::applyVolume(int row)
{
    if (members[row])
        members[row]->setVolume(muted ? 0.0 : Rows[row].loops ? music : effects);
}

void AudioSet::setMusicVolume(double value)
{
    music = qBound(0.0, value, 1.0);
    for (int row = 0; row < RowCount; ++row)
        applyVolume(row);
}

void AudioSet::setEffectsVolume(double value)
{
    effects = qBound(0.0, value, 1.0);
    for (int row = 0; row < RowCount; ++row)
        applyVolume(row);
}

void AudioSet::setMuted(bool value)
{
    muted = value;
    for (int row = 0; row < RowCount; ++row)
        applyVolume(row);
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
        // The designed sounds are missed aloud; an effect's recording is simply not heard.
        if (!ok && fills[delivered].row < FirstEffectRow)
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
    // An effect while muted is dropped, not kept for the moment the sound comes back; the music
    // plays on silently, so that unmuting finds it where it would be.
    if (muted && !Rows[row].loops)
        return;
    ensure(row);
    if (!members[row])
        return;
    if (Rows[row].loops)
        members[row]->setLead(int(musicFadeHeard.remainingTime()));
    members[row]->play();
}

void AudioSet::stop(int row)
{
    ensure(row);
    if (!members[row])
        return;
    if (Rows[row].loops && members[row]->isPlaying())
        musicFadeHeard.setRemainingTime(members[row]->heldMilliseconds());
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

void AudioSet::play(Effect effect)
{
    const EffectRow &e = effectRow(effect);
    if (e.game && silent)
        return;
    play(e.row);
}

QString AudioSet::memberOf(Effect effect)
{
    return QString::fromLatin1(Rows[effectRow(effect).row].member);
}

bool AudioSet::isGameEffect(Effect effect)
{
    return effectRow(effect).game;
}
