#include "app/MuteToggle.h"

#include "sound/AudioSet.h"
#include "sound/SoundSettings.h"

MuteToggle::MuteToggle()
{
    badgeTimer.setSingleShot(true);
    connect(&badgeTimer, &QTimer::timeout, this, [this] { emit badgeChanged(badgeRect()); });
}

QRectF MuteToggle::badgeRect()
{
    return QRectF(956, 14, 52, 52);
}

bool MuteToggle::isMuted() const
{
    const AudioSet *audio = AudioSet::getInstance();
    return audio && audio->isMuted();
}

void MuteToggle::toggle()
{
    AudioSet *audio = AudioSet::getInstance();
    if (!audio)
        return;
    audio->setMuted(!audio->isMuted());
    SoundSettings::save(*audio);
    badgeTimer.start(BadgeMilliseconds);
    emit badgeChanged(badgeRect());
}
