#pragma once
// Test double for the audio device: gives every sound a channel that plays nothing and logs each
// start and stop as "play win" / "stop bgm1", so tests can check which sound a call played.
// Use: auto rec = std::make_shared<SoundRecorder>();
//      AudioSet::createInstance(rec, TOVIRA_GAME_DIR "/Tovira.fka");
#include "sound/AudioOutputFactory.h"

#include <QByteArray>
#include <QHash>
#include <QPointer>
#include <QStringList>

class RecordedOutput;

class SoundRecorder : public AudioOutputFactory
{
public:
    static constexpr int HeadLength = 16;

    std::unique_ptr<AudioOutput> createOutput(const QAudioFormat &format,
                                              const QString &member) override;

    // Every start and stop so far, oldest first.
    QStringList events() const { return log; }
    // How often member's channel was started.
    int playCount(const QString &member) const;
    // The format member's channel was made with (default-constructed when it has none).
    QAudioFormat format(const QString &member) const { return formats.value(member); }
    // The first bytes member's channel read at its last start: what the listener hears first.
    QByteArray firstBytes(const QString &member) const { return heads.value(member); }
    // Makes member's channel report the end of its data, as a real sink does.
    void finish(const QString &member);
    // Makes member's channel report that it was lost, as a sink does when its server goes away.
    void fail(const QString &member);
    // How many channels were made for member, and the gain, fade and volume its latest one
    // plays at.
    int madeCount(const QString &member) const { return made.value(member); }
    double gain(const QString &member) const;
    int fadeMilliseconds(const QString &member) const;
    // The silence member's latest channel starts with, and what it claims to hold beyond a stop.
    int leadMilliseconds(const QString &member) const;
    void setHeld(const QString &member, int milliseconds);
    double volume(const QString &member) const;
    // The members started so far, each once, in the order of their first start.
    QStringList playedMembers() const;
    void clear() { log.clear(); }

    // Called by the recorder's channels.
    void record(const QString &event) { log << event; }
    void setFirstBytes(const QString &member, const QByteArray &bytes) { heads[member] = bytes; }

private:
    QStringList log;
    QHash<QString, QAudioFormat> formats;
    QHash<QString, QByteArray> heads;
    QHash<QString, QPointer<RecordedOutput>> outputs;
    QHash<QString, int> made;
};
