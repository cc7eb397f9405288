#pragma once
// A playback channel on the default audio device through QAudioSink.
#include "sound/AudioOutput.h"

#include <QLoggingCategory>
#include <QString>

// Our own diagnostics for sound ("tovira.sound"); starts and stops are debug messages.
Q_DECLARE_LOGGING_CATEGORY(lcSound)

class QAudioDevice;
class QAudioFormat;
class QAudioSink;

class SinkOutput : public AudioOutput
{
    Q_OBJECT
public:
    SinkOutput(const QAudioDevice &device, const QAudioFormat &format, const QString &member);
    ~SinkOutput() override;

    void start(QIODevice *device) override;
    void stop() override;

private:
    void forwardState(QAudio::State state);

    QAudioSink *sink = nullptr;
    QIODevice *source = nullptr;
    QString member;
};
