#pragma once
// A playback channel on the default audio device through QAudioSink.
#include "sound/AudioOutput.h"

class QAudioDevice;
class QAudioFormat;
class QAudioSink;

class SinkOutput : public AudioOutput
{
    Q_OBJECT
public:
    SinkOutput(const QAudioDevice &device, const QAudioFormat &format);
    ~SinkOutput() override;

    void start(QIODevice *device) override;
    void stop() override;

private:
    QAudioSink *sink = nullptr;
};
