#include "sound/SinkOutput.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QIODevice>

Q_LOGGING_CATEGORY(lcSound, "tovira.sound")

SinkOutput::SinkOutput(const QAudioDevice &device, const QAudioFormat &format,
                       const QString &member)
    : sink(new QAudioSink(device, format)), member(member)
{
    connect(sink, &QAudioSink::stateChanged, this, &SinkOutput::forwardState);
}

void SinkOutput::forwardState(QAudio::State state)
{
    // The sink also goes idle when it was not fed in time (a busy or stopped process) while its
    // device still holds data; it plays on by itself once fed. Only idle at the end of the data
    // means the sound ran out: passing an underrun on restarted the menu music at start-up.
    if (state == QAudio::IdleState && source && !source->atEnd())
        return;
    emit stateChanged(state);
}

SinkOutput::~SinkOutput()
{
    sink->stop();
    delete sink;
    sink = nullptr;
}

void SinkOutput::start(QIODevice *device)
{
    qCDebug(lcSound).noquote() << "play" << member;
    source = device;
    sink->start(device);
}

void SinkOutput::stop()
{
    qCDebug(lcSound).noquote() << "stop" << member;
    source = nullptr;
    sink->stop();
}
