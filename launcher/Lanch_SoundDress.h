#pragma once
// Draws the menu's corner buttons (sound, with its slider panel, and language) and the speaker
// mark in the look of the game's dialogs: plum slabs with an ink outline and shadow, gold rings
// and fills. Only draws.
#include <QRectF>

class QFont;
class QPainter;
class Lanch_SoundPanel;

class Lanch_SoundDress
{
public:
    // The button (lit while its panel is open) and, when open, the panel with its two sliders.
    static void draw(QPainter *painter, const Lanch_SoundPanel &panel, bool muted);
    // A speaker in the rectangle, with sound waves, or crossed out when muted.
    static void drawSpeaker(QPainter *painter, const QRectF &rect, bool muted);
    // The language button with its label (Lanch_LanguageButton) in white on the plum slab, in
    // font at the size that fits.
    static void drawLanguageButton(QPainter *painter, const QFont &font);
    // A round plum badge with a gold ring holding the speaker: the mute mark.
    static void drawBadge(QPainter *painter, const QRectF &rect, bool muted);

private:
    static void paintLanguageButton(QPainter *painter, const QFont &font, const QString &label);
};
