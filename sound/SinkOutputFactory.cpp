#include "sound/SinkOutputFactory.h"

#include "base/Logging.h"
#include "sound/SinkOutput.h"

#include <QAudioDevice>
#include <QMediaDevices>

std::unique_ptr<AudioOutput> SinkOutputFactory::createOutput(const QAudioFormat &format,
                                                             const QString &member)
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
    return std::make_unique<SinkOutput>(device, format, member);
}
