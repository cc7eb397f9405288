#pragma once
// The reaction duel screen: a title with three difficulty buttons, then duels in which the
// player must press a mouse button after the signal and before the opponent. The rules live in
// Game_Setsuna_Duel; this item draws them, advances them once per painted frame and plays the
// win and lose sounds.
#include "games/frame/Game_Base.h"
#include "games/setsuna/Game_Setsuna_Duel.h"

#include <QRectF>

class QImage;

class Game_Setsuna : public Game_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;
    static constexpr int PictureCount = 4;

    Game_Setsuna();
    ~Game_Setsuna() override;

    void releaseResources() override;
    void createResources() override;
    void initGame() override;
    void resumeGame() override;

    const Game_Setsuna_Duel &getDuel() const { return duel; }
    // Difficulty button i (0..2) in scene coordinates, where hover and clicks are tested.
    static QRectF buttonRect(int i);
    // Where the cursor mark is drawn above button i, in item coordinates.
    QRectF cursorRect(int i) const;
    QRectF leftRect() const;
    QRectF rightRect() const;
    QRectF signalRect() const;

public slots:
    void slot_fight();
    void slot_enemy();
    // Keeps the difficulty, starts over and begins a duel at once.
    void slot_waitUp();

protected:
    void paintGame(QPainter *painter) override;
    bool isPlaying() const override { return !duel.isResultShown(); }
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void playMouseRelease(QGraphicsSceneMouseEvent *event) override;
    void playHoverMove(QGraphicsSceneHoverEvent *event) override;

private:
    void startRound();
    void tick();
    static int buttonAt(const QPointF &scenePos);

    Game_Setsuna_Duel duel;
    // What is drawn first: the title or the duel ground, both decoded once.
    QImage *background = nullptr;
    QImage *titlePicture = nullptr;
    QImage *groundPicture = nullptr;
    QImage *scorePicture = nullptr;
    QImage *cursorPicture = nullptr;
    QImage *signalPicture = nullptr;
    QImage *leftPictures = nullptr;
    QImage *rightPictures = nullptr;
};
