#include "app/FramePacer.h"

#include <QGraphicsScene>
#include <QWidget>

FramePacer::FramePacer(QGraphicsScene *scene, QWidget *paintedWidget, QObject *parent)
    : QObject(parent), viewport(paintedWidget)
{
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &FramePacer::tick);
    // Connecting to changed() makes the scene report every repaint request it gathers.
    connect(scene, &QGraphicsScene::changed, this, &FramePacer::requestFrame);
    clock.start();
}

int FramePacer::delayToNextFrame(qint64 elapsedMs)
{
    // Frame k starts at the whole millisecond ceil(k * 1000 / 60); the pacer aims at the first
    // frame start after now, so over any second exactly 60 frames fall due.
    const int rate = static_cast<int>(FrameRate);
    auto frameStart = [rate](qint64 k) { return (k * 1000 + rate - 1) / rate; };
    qint64 k = elapsedMs * rate / 1000 + 1;
    while (frameStart(k) <= elapsedMs)
        ++k;
    return static_cast<int>(frameStart(k) - elapsedMs);
}

void FramePacer::requestFrame()
{
    dirty = true;
    if (!timer.isActive())
        arm();
}

void FramePacer::arm()
{
    timer.start(delayToNextFrame(clock.elapsed()));
}

void FramePacer::tick()
{
    if (!dirty)
        return;
    dirty = false;
    ++frames;
    viewport->update();
    // Keep ticking while requests come in; an idle scene lets the timer stop.
    arm();
}
