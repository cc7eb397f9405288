#pragma once
// One sound's playback channel: the real audio sink or a test double. A WaveFile starts it on the
// device that holds its samples and stops it; the channel reports its state like QAudioSink does.
#include <QObject>
#include <QtMultimedia/qaudio.h>

class QIODevice;

class AudioOutput : public QObject
{
    Q_OBJECT
public:
    ~AudioOutput() override = default;

    // Pulls samples from device until stopped or until the device runs dry.
    virtual void start(QIODevice *device) = 0;
    virtual void stop() = 0;

signals:
    void stateChanged(QAudio::State state);
};
