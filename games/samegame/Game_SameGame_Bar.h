#pragma once
// The SameGame time bar: a child item of the game that fills from the top down on its own
// 100 ms timer and emits gameOver() once it is full.
#include "launcher/Item_Base.h"

#include <QImage>
#include <QRectF>

class Game_SameGame_BarLevel;
class QTimer;

class Game_SameGame_Bar : public Item_Base
{
    Q_OBJECT
public:
    static constexpr int TickMs = 100;

    Game_SameGame_Bar(int x, int y, QGraphicsItem *parent);
    ~Game_SameGame_Bar() override;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    void addPenalty();
    void halve();
    void addStep(int n);
    void resetLevel();
    // Stops the timer and keeps a tick already queued from arriving.
    void pause();
    void resume();

    bool isRunning() const;
    double getLevel() const;
    double getStep() const;
    // The filled part of the bar picture that is drawn.
    QRectF getFillRect() const { return *fillRect; }

signals:
    void gameOver();

public slots:
    void slot_barTimeOut();

private:
    QImage *barBase = nullptr;
    QImage *barPicture = nullptr;
    QTimer *barTimer = nullptr;
    QRectF *fillRect = nullptr;
    Game_SameGame_BarLevel *gauge = nullptr;
};
