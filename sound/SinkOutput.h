#pragma once
// A playback channel on the default audio device through QAudioSink.
#include "sound/AudioOutput.h"

#include <QString>

class FadeDevice;
class QAudioDevice;
class QAudioFormat;
class QAudioSink;
class QTimer;

class SinkOutput : public AudioOutput
{
    Q_OBJECT
public:
    SinkOutput(const QAudioDevice &device, const QAudioFormat &format, const QString &member);
    ~SinkOutput() override;

    void start(QIODevice *device) override;
    // Fades out: what the sink already holds plays on into a few milliseconds of fade, and the
    // sink stops once that has been heard, so a stop never cuts into a wave.
    void stop() override;

private:
    void forwardState(QAudio::State state);

    QAudioSink *sink = nullptr;
    QIODevice *source = nullptr;
    FadeDevice *fade = nullptr;
    QTimer *stopLater = nullptr;
    QString member;
};
