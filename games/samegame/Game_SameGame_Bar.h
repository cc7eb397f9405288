#pragma once
// The SameGame time bar: a child item of the game that shows how full the play's bar level is
// and ticks it on its own 100 ms timer, emitting gameOver() once it is full.
#include "launcher/Item_Base.h"

#include <QImage>
#include <QRectF>
#include <QTimer>

class Game_SameGame_BarLevel;

class Game_SameGame_Bar : public Item_Base
{
    Q_OBJECT
public:
    static constexpr int TickMs = 100;

    // The level's capacity becomes the height of the bar picture.
    Game_SameGame_Bar(int x, int y, QGraphicsItem *parent, Game_SameGame_BarLevel &level);
    ~Game_SameGame_Bar() override;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    void resetLevel();
    // Stops the timer and keeps a tick already queued from arriving.
    void pause();
    void resume();

    bool isRunning() const;
    double getLevel() const;
    double getStep() const;
    // The filled part of the bar picture that is drawn.
    QRectF getFillRect() const;

signals:
    void gameOver();
    // The level rose by one tick.
    void ticked();

public slots:
    void slot_barTimeOut();

private:
    QImage barBase;
    QImage barPicture;
    QTimer barTimer;
    Game_SameGame_BarLevel &gauge;
};
