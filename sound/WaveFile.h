#pragma once
// One sound held in memory with its own playback channel. A well-formed WAV entry plays only its
// "data" chunk; a looping sound wraps inside its device so music repeats without a gap.
#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QtMultimedia/qaudio.h>
#include <memory>
#include <vector>

class ArrivingDevice;
class AudioOutput;
class AudioOutputFactory;
class QBuffer;
class QTimer;
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

    // How long a playing loop whose channel was lost waits before making it anew.
    static constexpr int RetryMilliseconds = 1000;

    // Makes the channel once through factory, playing at gain; later calls do nothing. A channel
    // that is lost (or could not be made) is made again through factory at the next play, so
    // factory must outlive the sound.
    void createOutput(const QAudioFormat &format, AudioOutputFactory &factory,
                      const QString &member, double gain = 1.0, int fadeMs = 5);
    // The player's volume (0..1), heard at once on a playing channel and kept for new ones.
    void setVolume(double value);
    void setLoop(bool value);
    // Silence before the first sample of the next starts (ms), and how long what the channel
    // has handed on plays before a stop is heard.
    void setLead(int milliseconds);
    int heldMilliseconds() const;
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
    void makeOutput();
    void lost();
    void findSamples();
    void takeArrived();
    QIODevice *device() const;
    void dropDevices();

    QByteArray data;
    std::vector<unsigned char> storage; // what data reads from when the bytes were taken over
    AudioOutputFactory *factory = nullptr;
    QAudioFormat format;
    QString member;
    double gain = 1.0;
    int fadeMs = 5;
    int leadMs = 0;
    double volume = 1.0;
    bool broken = false; // the channel was lost: made anew at the next play
    bool loop = false;
    qsizetype sampleOffset = 0;
    qsizetype sampleLength = 0;
    bool playing = false;
    int frameBytes = 0;
    std::shared_ptr<const SoundBytes> arriving; // what data reads from when the bytes are shared
    bool settled = false;
    // The devices come before the channel that reads them, so the channel is destroyed first:
    // the other order crashes inside the sink.
    std::unique_ptr<QBuffer> buffer;
    std::unique_ptr<LoopDevice> loopDevice;
    std::unique_ptr<ArrivingDevice> gate; // in front of the device while the bytes are arriving
    std::unique_ptr<QTimer> retry;        // brings a lost loop back once its server has returned
    std::unique_ptr<AudioOutput> output;
};
