#include "SoundRecorder.h"

#include "RecordedOutput.h"

std::unique_ptr<AudioOutput> SoundRecorder::createOutput(const QAudioFormat &format,
                                                         const QString &member)
{
    formats[member] = format;
    auto output = std::make_unique<RecordedOutput>(*this, member);
    outputs[member] = output.get();
    ++made[member];
    return output;
}

int SoundRecorder::fadeMilliseconds(const QString &member) const
{
    const RecordedOutput *output = outputs.value(member);
    return output ? output->fadeMilliseconds() : 0;
}

int SoundRecorder::leadMilliseconds(const QString &member) const
{
    const RecordedOutput *output = outputs.value(member);
    return output ? output->leadMilliseconds() : 0;
}

void SoundRecorder::setHeld(const QString &member, int milliseconds)
{
    if (RecordedOutput *output = outputs.value(member))
        output->setHeld(milliseconds);
}

double SoundRecorder::volume(const QString &member) const
{
    const RecordedOutput *output = outputs.value(member);
    return output ? output->volume() : 0.0;
}

QStringList SoundRecorder::playedMembers() const
{
    QStringList members;
    for (const QString &event : log) {
        if (event.startsWith(QLatin1String("play ")) && !members.contains(event.mid(5)))
            members << event.mid(5);
    }
    return members;
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
