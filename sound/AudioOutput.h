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
    // Scales every sample (0..1) from the next start on, so that music and an effect together
    // stay below full scale.
    void setGain(double value) { level = value; }
    double gain() const { return level; }
    // How long a start fades in and a stop fades out: music crossfades, effects only avoid a
    // click.
    void setFadeMilliseconds(int value) { fadeLength = value; }
    int fadeMilliseconds() const { return fadeLength; }
    // Silence before the first sample of each start: a track coming in waits for the fade of
    // the one going out to be heard.
    void setLeadMilliseconds(int value) { leadLength = value; }
    int leadMilliseconds() const { return leadLength; }
    // How long what the channel has already handed on plays before a stop's fade is heard.
    virtual int heldMilliseconds() const { return 0; }
    // The player's volume (0..1, 0 when muted), taken at once by a channel already playing.
    void setVolume(double value)
    {
        playerVolume = value;
        applyVolume();
    }
    double volume() const { return playerVolume; }

signals:
    void stateChanged(QAudio::State state);
    // The channel can no longer play (its audio server went away): it is to be made anew.
    void failed();

protected:
    virtual void applyVolume() {}

private:
    double level = 1.0;
    int fadeLength = 5;
    int leadLength = 0;
    double playerVolume = 1.0;
};
