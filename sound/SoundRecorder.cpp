#include "sound/SoundRecorder.h"

#include "sound/RecordedOutput.h"

AudioOutput *SoundRecorder::createOutput(const QAudioFormat &format, const QString &member)
{
    formats[member] = format;
    auto *output = new RecordedOutput(*this, member);
    outputs[member] = output;
    return output;
}

int SoundRecorder::playCount(const QString &member) const
{
    return int(log.count(QStringLiteral("play ") + member));
}

void SoundRecorder::finish(const QString &member)
{
    if (RecordedOutput *output = outputs.value(member))
        output->finish();
}
