#pragma once
// Makes the playback channel of each sound. The game uses the audio-sink factory; tests pass a
// recorder so they can see which sound was played without audio hardware.
#include <QAudioFormat>
#include <QString>
#include <memory>

class AudioOutput;

class AudioOutputFactory
{
public:
    virtual ~AudioOutputFactory() = default;

    // member names the sound ("bgm1", "win", "extra4" ...); null when no channel can be made.
    virtual std::unique_ptr<AudioOutput> createOutput(const QAudioFormat &format,
                                                      const QString &member) = 0;
};
