#include "sound/SoundSettings.h"

#include "sound/AudioSet.h"

#include <QSettings>
#include <QStandardPaths>

namespace
{
const char *const MusicKey = "sound/musicVolume";
const char *const EffectsKey = "sound/effectsVolume";
const char *const MutedKey = "sound/muted";
} // namespace

QString SoundSettings::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) +
           QStringLiteral("/tovira-parade/tovira-parade.ini");
}

void SoundSettings::load(AudioSet &audio)
{
    QSettings settings(filePath(), QSettings::IniFormat);
    audio.setMusicVolume(settings.value(QLatin1String(MusicKey), 1.0).toDouble());
    audio.setEffectsVolume(settings.value(QLatin1String(EffectsKey), 1.0).toDouble());
    audio.setMuted(settings.value(QLatin1String(MutedKey), false).toBool());
}

void SoundSettings::save(const AudioSet &audio)
{
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.setValue(QLatin1String(MusicKey), audio.musicVolume());
    settings.setValue(QLatin1String(EffectsKey), audio.effectsVolume());
    settings.setValue(QLatin1String(MutedKey), audio.isMuted());
}
