#pragma once
// Makes QAudioSink channels on the default output device. Without an audio device every sound
// is silent: one warning, no channels.
#include "sound/AudioOutputFactory.h"

class SinkOutputFactory : public AudioOutputFactory
{
public:
    std::unique_ptr<AudioOutput> createOutput(const QAudioFormat &format,
                                              const QString &member) override;

private:
    bool warned = false;
};
