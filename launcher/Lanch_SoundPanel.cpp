#include "launcher/Lanch_SoundPanel.h"

#include "sound/AudioSet.h"
#include "sound/SoundSettings.h"

#include <QPointF>
#include <qnamespace.h>

QRectF Lanch_SoundPanel::buttonRect()
{
    return QRectF(962, 22, 44, 44);
}

QRectF Lanch_SoundPanel::panelRect()
{
    return QRectF(724, 166, 270, 136);
}

QRectF Lanch_SoundPanel::trackRect(int slider)
{
    const QRectF panel = panelRect();
    return QRectF(panel.left() + 76, panel.top() + 30 + 54 * slider, 156, 24);
}

double Lanch_SoundPanel::value(int slider)
{
    const AudioSet *audio = AudioSet::getInstance();
    if (!audio)
        return 1.0;
    return slider == Music ? audio->musicVolume() : audio->effectsVolume();
}

void Lanch_SoundPanel::setValue(int slider, double value)
{
    AudioSet *audio = AudioSet::getInstance();
    if (!audio)
        return;
    // Whole tenths, so that keys and clicks meet on the same steps.
    value = qBound(0.0, qRound(value * 10) / 10.0, 1.0);
    if (slider == Music)
        audio->setMusicVolume(value);
    else
        audio->setEffectsVolume(value);
    SoundSettings::save(*audio);
}

bool Lanch_SoundPanel::click(const QPointF &p)
{
    if (buttonRect().contains(p)) {
        open = !open;
        return true;
    }
    if (!open)
        return false;
    for (int s = 0; s < SliderCount; ++s) {
        const QRectF track = trackRect(s);
        if (track.contains(p)) {
            focus = s;
            setValue(s, (p.x() - track.left()) / track.width());
            return true;
        }
    }
    if (!panelRect().contains(p))
        open = false;
    return true;
}

bool Lanch_SoundPanel::key(int key)
{
    if (!open)
        return false;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        focus = focus == Music ? Effects : Music;
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        setValue(focus, value(focus) + (key == Qt::Key_Right ? KeyStep : -KeyStep));
        return true;
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        open = false;
        return true;
    default:
        return false;
    }
}
