#include "sound/RecordedOutput.h"

#include "sound/SoundRecorder.h"

#include <QIODevice>

RecordedOutput::RecordedOutput(SoundRecorder &recorder, const QString &member)
    : recorder(recorder), member(member)
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
