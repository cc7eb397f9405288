#include "sound/SinkOutput.h"

#include <QAudioDevice>
#include <QAudioSink>

SinkOutput::SinkOutput(const QAudioDevice &device, const QAudioFormat &format)
    : sink(new QAudioSink(device, format))
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
    sink->start(device);
}

void SinkOutput::stop()
{
    sink->stop();
}
