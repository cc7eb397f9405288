#pragma once
// The menu's sound button and the two volume sliders it opens (music, effects): where they lie,
// which slider has the keys, and what a click or an arrow key does to the sound manager's
// volumes, which are stored at once. Drawing is Lanch_SoundDress's job.
#include <QRectF>

class QPointF;

class Lanch_SoundPanel
{
public:
    enum Slider { Music, Effects, SliderCount };
    // One arrow key moves a slider by this much of its range.
    static constexpr double KeyStep = 0.1;

    // In the free corner right of the score board, clear of every entry.
    static QRectF buttonRect();
    // Over the information picture while open.
    static QRectF panelRect();
    // The track of a slider: a click on it sets the volume by its place along it.
    static QRectF trackRect(int slider);

    bool isOpen() const { return open; }
    int focusedSlider() const { return focus; }
    // The volume a slider shows (0..1); full when there is no sound manager.
    static double value(int slider);

    // A click at p (launcher coordinates). True when the button or the open panel took it: the
    // button opens and closes the panel, a track sets its volume, a click beside the open panel
    // closes it.
    bool click(const QPointF &p);
    // A released key while the panel is open: Up and Down choose the slider, Left and Right move
    // it, Escape and Enter close the panel. True when taken.
    bool key(int key);

private:
    static void setValue(int slider, double value);

    bool open = false;
    int focus = Music;
};
