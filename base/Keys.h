#pragma once
// What a key means to every screen: the step of an arrow, and whether a key is part of a
// shortcut (Alt+Enter switches full screen) rather than a key of the screen's own.
#include <QPoint>

class QKeyEvent;

class Keys
{
public:
    // The step of an arrow key on a grid (x to the right, y downwards), or (0, 0) for another key.
    static QPoint arrowStep(int key);
    // Alt, Ctrl or Meta is held: the key belongs to a shortcut, not to the screen.
    static bool isShortcut(const QKeyEvent &event);
};
