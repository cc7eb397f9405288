#pragma once
// The recorder's channel: plays nothing, logs its starts and stops with its sound's member name.
#include "sound/AudioOutput.h"

#include <QString>

class SoundRecorder;

class RecordedOutput : public AudioOutput
{
    Q_OBJECT
public:
    RecordedOutput(SoundRecorder &recorder, const QString &member);

    void start(QIODevice *device) override;
    void stop() override;
    // Reports that the device ran dry, as a sink does at the end of its data.
    void finish() { emit stateChanged(QAudio::IdleState); }
    // Reports that the channel was lost, as a sink does when its audio server goes away.
    void fail() { emit failed(); }
    // What the channel claims to hold beyond a stop, as a sink with a buffer does.
    void setHeld(int milliseconds) { held = milliseconds; }
    int heldMilliseconds() const override { return held; }

private:
    SoundRecorder &recorder;
    QString member;
    int held = 0;
};
