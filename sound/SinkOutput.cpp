#include "sound/SinkOutput.h"

#include <QAudioDevice>
#include <QAudioSink>

Q_LOGGING_CATEGORY(lcSound, "tovira.sound")

SinkOutput::SinkOutput(const QAudioDevice &device, const QAudioFormat &format,
                       const QString &member)
    : sink(new QAudioSink(device, format)), member(member)
{
    connect(sink, &QAudioSink::stateChanged, this, &AudioOutput::stateChanged);
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
    sink->start(device);
}

void SinkOutput::stop()
{
    qCDebug(lcSound).noquote() << "stop" << member;
    sink->stop();
}
