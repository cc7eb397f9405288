#include "games/samegame/Game_SameGame_Bar.h"

#include "base/Picture.h"
#include "games/samegame/Game_SameGame_BarLevel.h"

#include <QDebug>
#include <QPainter>
#include <QTimer>

Game_SameGame_Bar::Game_SameGame_Bar(int x, int y, QGraphicsItem *parent) : Item_Base(x, y, parent)
{
    setFlag(ItemIsMovable, false);
    barBase = new QImage();
    if (!Picture::load(*barBase, QStringLiteral(":/img/samegame/BAR_BASE")))
        qDebug().noquote() << "readError: :/img/samegame/BAR_BASE";
    setWidth(Picture::sizeOf(*barBase).width());
    setHeight(Picture::sizeOf(*barBase).height());
    barPicture = new QImage();
    if (!Picture::load(*barPicture, QStringLiteral(":/img/samegame/BAR")))
        qDebug().noquote() << "readError: :/img/samegame/BAR";
    fillRect = new QRectF(0, 0, Picture::sizeOf(*barPicture).width(), 0);
    gauge = new Game_SameGame_BarLevel(Picture::sizeOf(*barPicture).height());
    barTimer = new QTimer();
    barTimer->start(TickMs);
    connect(barTimer, &QTimer::timeout, this, &Game_SameGame_Bar::slot_barTimeOut);
}

Game_SameGame_Bar::~Game_SameGame_Bar()
{
    delete barBase;
    barBase = nullptr;
    delete barPicture;
    barPicture = nullptr;
    delete fillRect;
    fillRect = nullptr;
    delete barTimer;
    barTimer = nullptr;
    delete gauge;
    gauge = nullptr;
}

void Game_SameGame_Bar::slot_barTimeOut()
{
    const bool over = gauge->tick();
    fillRect->setHeight(gauge->getDrawnHeight());
    if (over) {
        emit gameOver();
        barTimer->stop();
    }
    update();
}

void Game_SameGame_Bar::addPenalty()
{
    // No signal here: the next tick finds the bar full and ends the game.
    gauge->addPenalty();
    fillRect->setHeight(gauge->getDrawnHeight());
    update();
}

void Game_SameGame_Bar::halve()
{
    gauge->halve();
}

void Game_SameGame_Bar::addStep(int n)
{
    gauge->addStep(n);
}

void Game_SameGame_Bar::resetLevel()
{
    gauge->resetLevel();
    fillRect->setHeight(0);
}

void Game_SameGame_Bar::pause()
{
    barTimer->blockSignals(true);
    barTimer->stop();
}

void Game_SameGame_Bar::resume()
{
    barTimer->blockSignals(false);
    barTimer->start(TickMs);
}

bool Game_SameGame_Bar::isRunning() const
{
    return barTimer->isActive() && !barTimer->signalsBlocked();
}

double Game_SameGame_Bar::getLevel() const
{
    return gauge->getLevel();
}

double Game_SameGame_Bar::getStep() const
{
    return gauge->getStep();
}

void Game_SameGame_Bar::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->drawImage(boundingRect(), *barBase);
    const QRect fill = fillRect->toRect() & QRect(QPoint(), Picture::sizeOf(*barPicture));
    if (!fill.isEmpty())
        Picture::drawPart(painter, QRectF(21, 4, fillRect->width(), fillRect->height()),
                          *barPicture, fill);
}
