#include "sound/SoundRecorder.h"

#include "sound/RecordedOutput.h"

AudioOutput *SoundRecorder::createOutput(const QAudioFormat &format, const QString &member)
{
    formats[member] = format;
    auto *output = new RecordedOutput(*this, member);
    outputs[member] = output;
    ++made[member];
    return output;
}

double SoundRecorder::gain(const QString &member) const
{
    const RecordedOutput *output = outputs.value(member);
    return output ? output->gain() : 0.0;
}

void SoundRecorder::fail(const QString &member)
{
    if (RecordedOutput *output = outputs.value(member))
        output->fail();
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
