#pragma once
// Draws the menu's sound button, its slider panel and the speaker mark in the look of the game's
// dialogs: plum slabs with an ink outline and shadow, gold rings and fills. Only draws.
#include <QRectF>

class QPainter;
class Lanch_SoundPanel;

class Lanch_SoundDress
{
public:
    // The button (lit while its panel is open) and, when open, the panel with its two sliders.
    static void draw(QPainter *painter, const Lanch_SoundPanel &panel, bool muted);
    // A speaker in the rectangle, with sound waves, or crossed out when muted.
    static void drawSpeaker(QPainter *painter, const QRectF &rect, bool muted);
    // A round plum badge with a gold ring holding the speaker: the mute mark.
    static void drawBadge(QPainter *painter, const QRectF &rect, bool muted);
};
