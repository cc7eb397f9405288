#pragma once
// Stands between a sound's samples and the audio sink: fades in over the first milliseconds after
// a start and, once asked, fades out over the next few and then plays silence, so neither a start
// nor a stop cuts into a wave. Everything between is passed on untouched: a loop's own wrap stays
// seamless.
#include <QAudioFormat>
#include <QByteArray>
#include <QIODevice>

class FadeDevice : public QIODevice
{
    Q_OBJECT
public:
    // The fade of an effect, short enough to keep its attack.
    static constexpr int FadeMilliseconds = 5;

    using QIODevice::QIODevice;

    // Opens on source (already open), fading in over fadeMs from its first frame; every sample
    // is scaled by gain (0..1). A stop fades out over the same length. leadMs of silence come
    // before the source's first frame and, once the source has run out, endSilenceMs after it.
    bool start(QIODevice *source, const QAudioFormat &format, double gain = 1.0,
               int fadeMs = FadeMilliseconds, int endSilenceMs = 0, int leadMs = 0);
    // Takes the fade's length from the source, faded out, then serves only silence. The source
    // is let go: it may be closed at once.
    void fadeOut();

    bool isSequential() const override { return true; }
    bool atEnd() const override;
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *out, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    // Scales the whole frames of data by the gain and the fade: rising from frame `first` of the
    // fade-in (the gain alone past its end), or falling to silence over the fade-out (no gain:
    // the tail has it already).
    void ramp(char *data, qint64 bytes, qint64 first, bool falling) const;
    void silence(char *data, qint64 bytes) const;

    QIODevice *source = nullptr;
    QAudioFormat format;
    qint64 fadeFrames = 0;
    qint64 framesServed = 0;
    qint64 leadFrames = 0; // of silence still to come before the source's first frame
    qint64 endFrames = 0;  // of silence still to follow the source's end
    double level = 1.0;
    QByteArray tail;
    bool fading = false;
};
