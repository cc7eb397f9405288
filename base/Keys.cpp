#include "base/Keys.h"

#include <QKeyEvent>

QPoint Keys::arrowStep(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return QPoint(-1, 0);
    case Qt::Key_Right:
        return QPoint(1, 0);
    case Qt::Key_Up:
        return QPoint(0, -1);
    case Qt::Key_Down:
        return QPoint(0, 1);
    default:
        return QPoint();
    }
}

bool Keys::isShortcut(const QKeyEvent &event)
{
    return event.modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
}
