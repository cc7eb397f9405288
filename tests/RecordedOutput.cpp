#include "RecordedOutput.h"

#include "SoundRecorder.h"

#include <QIODevice>

RecordedOutput::RecordedOutput(SoundRecorder &log, const QString &name)
    : recorder(log), member(name)
{
}

void RecordedOutput::start(QIODevice *device)
{
    recorder.record(QStringLiteral("play ") + member);
    recorder.setFirstBytes(member, device ? device->read(SoundRecorder::HeadLength) : QByteArray());
    emit stateChanged(QAudio::ActiveState);
}

void RecordedOutput::stop()
{
    recorder.record(QStringLiteral("stop ") + member);
    emit stateChanged(QAudio::StoppedState);
}
