#pragma once
// The reaction duel screen: a title with three difficulty buttons, then duels in which the
// player must press a mouse button after the signal and before the opponent. The rules live in
// Game_Setsuna_Duel; this item draws them, advances them once per painted frame and plays the
// win and lose sounds.
#include "games/frame/Game_Base.h"
#include "games/setsuna/Game_Setsuna_Duel.h"

#include <QImage>
#include <QRectF>

#include <array>
#include <optional>

class Game_Setsuna : public Game_Base
{
    Q_OBJECT
public:
    static constexpr int PictureCount = 4;

    Game_Setsuna();

    void releaseResources() override;
    void createResources() override;
    void initGame() override;
    void resumeGame() override;
    QRectF opaqueRect() const override;

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
    void loadPictures();
    void drawTitle(QPainter *painter);
    // The frame's rules before a duel frame is drawn: who stands how, the points of a won duel,
    // and the signal's first showing.
    Game_Setsuna_Duel::Poses stepDuel();
    void drawFalseStartNote(QPainter *painter);
    void drawDuel(QPainter *painter, const Game_Setsuna_Duel::Poses &poses);
    // The waits that ran out since the last frame: the signal, the opponent's shot, the next duel.
    void tick();
    static int buttonAt(const QPointF &scenePos);

    Game_Setsuna_Duel duel;
    struct Pictures {
        // What is drawn first: the title or the duel ground, both decoded once.
        QImage background;
        QImage title;
        QImage ground;
        QImage score;
        QImage cursor;
        QImage signal;
        std::array<QImage, PictureCount> left;
        std::array<QImage, PictureCount> right;
    };
    // Made by createResources(), freed by releaseResources().
    std::optional<Pictures> pictures;
};
