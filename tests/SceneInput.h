#pragma once
// Real input for items in a scene without a view: key releases go to the focus item, mouse
// events through the scene's grabbing and hover dispatch, as a view would send them.
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>

namespace SceneInput
{
inline void activate(QGraphicsScene &scene)
{
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&scene, &activate);
}

inline void key(QGraphicsScene &scene, int key)
{
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&scene, &release);
}

inline void mouse(QGraphicsScene &scene, QEvent::Type type, QPointF at, Qt::MouseButtons buttons)
{
    QGraphicsSceneMouseEvent e(type);
    e.setScenePos(at);
    e.setButton(type == QEvent::GraphicsSceneMouseMove ? Qt::NoButton : Qt::LeftButton);
    e.setButtons(buttons);
    e.setButtonDownScenePos(Qt::LeftButton, at);
    QCoreApplication::sendEvent(&scene, &e);
}

// A pointer move, which drives hover.
inline void hover(QGraphicsScene &scene, QPointF at)
{
    mouse(scene, QEvent::GraphicsSceneMouseMove, at, Qt::NoButton);
}

// A pointer move and a left click.
inline void click(QGraphicsScene &scene, QPointF at)
{
    hover(scene, at);
    mouse(scene, QEvent::GraphicsSceneMousePress, at, Qt::LeftButton);
    mouse(scene, QEvent::GraphicsSceneMouseRelease, at, Qt::NoButton);
}
} // namespace SceneInput
