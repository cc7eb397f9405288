#pragma once
// Paints the view at a steady 60 frames a second. Items ask for repaints as often as they like
// (the games' timers fire every millisecond); the scene collects the requests and this pacer
// repaints the viewport once per frame, on frame boundaries measured from one monotonic clock,
// and only when something asked for it, so an idle screen costs nothing.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QGraphicsScene;
class QWidget;

class FramePacer : public QObject
{
    Q_OBJECT
public:
    static constexpr double FrameRate = 60.0;

    FramePacer(QGraphicsScene *scene, QWidget *viewport, QObject *parent = nullptr);

    // Delay in whole milliseconds from elapsedMs to the next frame boundary (never 0, so a
    // boundary that is due now waits for the next one rather than painting twice).
    static int delayToNextFrame(qint64 elapsedMs);

    qint64 framesPainted() const { return frames; }

public slots:
    void requestFrame();

private slots:
    void tick();

private:
    void arm();

    QWidget *viewport;
    QTimer timer;
    QElapsedTimer clock;
    bool dirty = false;
    qint64 frames = 0;
};
