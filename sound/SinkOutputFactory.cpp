#include "sound/SinkOutputFactory.h"

#include "base/Logging.h"
#include "sound/SinkOutput.h"

#include <QAudioDevice>
#include <QMediaDevices>

AudioOutput *SinkOutputFactory::createOutput(const QAudioFormat &format, const QString &member)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        if (!warned)
            qCWarning(lcSound, "no audio output device: the game plays silently");
        warned = true;
        return nullptr;
    }
    if (!device.isFormatSupported(format))
        qCWarning(lcSound) << "the audio device may not play the format of" << member;
    return new SinkOutput(device, format, member);
}
