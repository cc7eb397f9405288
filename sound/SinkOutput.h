#pragma once
// A playback channel on the default audio device through QAudioSink.
#include "sound/AudioOutput.h"
#include "sound/FadeDevice.h"

#include <QString>
#include <QTimer>
#include <memory>

class QAudioDevice;
class QAudioFormat;
class QAudioSink;

class SinkOutput : public AudioOutput
{
    Q_OBJECT
public:
    // Silence written after a sound's end, longer than the server's buffer: the server starts a
    // stream only once its buffer is full, and the sink goes idle, and is stopped, as soon as it
    // has written the last byte. Without it a short effect is never heard and a longer one loses
    // its last part.
    static constexpr int EndSilenceMilliseconds = 300;

    SinkOutput(const QAudioDevice &device, const QAudioFormat &format, const QString &member);
    ~SinkOutput() override;

    void start(QIODevice *device) override;
    // Fades out: what the sink already holds plays on into the fade, and the sink stops once
    // that has been heard, so a stop never cuts into a wave.
    void stop() override;
    // What the server holds of the sound, by what the sink may not yet write.
    int heldMilliseconds() const override;

protected:
    void applyVolume() override;

private:
    void forwardState(QAudio::State state);

    // Declared before the sink, which reads from it: the sink goes first. Each is also a Qt
    // child, so it can be found; a member leaves its parent as it is destroyed.
    FadeDevice fade{this};
    QTimer stopLater{this};
    std::unique_ptr<QAudioSink> sink;
    QIODevice *source = nullptr;
    QString member;
};
