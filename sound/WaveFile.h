#pragma once
// One sound held in memory with its own playback channel. A well-formed WAV entry plays only its
// "data" chunk; a looping sound wraps inside its device so music repeats without a gap.
#include <QByteArray>
#include <QObject>
#include <QtMultimedia/qaudio.h>
#include <memory>
#include <vector>

class ArrivingDevice;
class AudioOutput;
class AudioOutputFactory;
class QAudioFormat;
class QBuffer;
class LoopDevice;
class SoundBytes;

class WaveFile : public QObject
{
    Q_OBJECT
public:
    explicit WaveFile(const std::vector<unsigned char> &bytes);
    // Takes the bytes over without copying them: a decoded sound is held once, not twice.
    explicit WaveFile(std::vector<unsigned char> &&bytes);
    // Shares bytes that may still be arriving: once its header is there the sound can play, a
    // read of samples not yet decoded waiting for them. Sounds filled from one entry share it.
    explicit WaveFile(std::shared_ptr<const SoundBytes> bytes);
    ~WaveFile() override;

    // Makes the channel once through factory; later calls do nothing.
    void createOutput(const QAudioFormat &format, AudioOutputFactory &factory,
                      const QString &member);
    void setLoop(bool value);
    // Once its shared bytes have finished arriving: a sound whose decoding failed or fell short
    // is cut to what arrived (nothing for a failure), as if it had been read so.
    void settle();

    bool hasOutput() const { return output != nullptr; }
    bool isLooping() const { return loop; }
    bool isPlaying() const { return playing; }
    // The entry's bytes exactly as read, and the part of them that reaches the channel.
    const QByteArray &bytes() const { return data; }
    QByteArray samples() const;

public slots:
    void play();
    void stop();
    void finishedPlaying(QAudio::State state);

private:
    void findSamples();
    void takeArrived();
    QIODevice *device() const;

    QByteArray data;
    std::vector<unsigned char> storage; // what data reads from when the bytes were taken over
    QBuffer *buffer = nullptr;
    AudioOutput *output = nullptr;
    bool loop = false;
    LoopDevice *loopDevice = nullptr;
    qsizetype sampleOffset = 0;
    qsizetype sampleLength = 0;
    bool playing = false;
    int frameBytes = 0;
    std::shared_ptr<const SoundBytes> arriving; // what data reads from when the bytes are shared
    bool settled = false;
    ArrivingDevice *gate = nullptr; // in front of the device while the bytes are arriving
};
