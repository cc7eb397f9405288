#pragma once
// One sound held in memory with its own playback channel. A well-formed WAV entry plays only its
// "data" chunk; a looping sound wraps inside its device so music repeats without a gap.
#include <QByteArray>
#include <QObject>
#include <QtMultimedia/qaudio.h>
#include <vector>

class AudioOutput;
class AudioOutputFactory;
class QAudioFormat;
class QBuffer;
class LoopDevice;

class WaveFile : public QObject
{
    Q_OBJECT
public:
    explicit WaveFile(const std::vector<unsigned char> &bytes);
    // Takes the bytes over without copying them: a decoded sound is held once, not twice.
    explicit WaveFile(std::vector<unsigned char> &&bytes);
    ~WaveFile() override;

    // Makes the channel once through factory; later calls do nothing.
    void createOutput(const QAudioFormat &format, AudioOutputFactory &factory,
                      const QString &member);
    void setLoop(bool value);

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
};
