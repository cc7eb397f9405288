#pragma once
// The frame every mini-game shares: the life cycle through which the game list starts the same
// game object again and again, the game's name, score record and text font, and the dialog used
// for the return-to-menu question and for every result screen.
//
// For game classes:
// - releaseResources() frees what createResources() made (call it from your destructor too);
//   createResources() makes it; initGame() starts a fresh play and takes the keyboard focus.
// - While isQuestionShown() (or on your result screen) hand key, mouse-release and hover events
//   to the Game_Base handlers; paint only Game_Base::paint while the question is shown.
// - exitGame() emits endGame(getName(), max(best, score)); the game is off the scene when the
//   emit returns.
// - When the game list takes the game off the scene it calls stopTimers(). The base version
//   stops every QTimer whose Qt parent is the game; a game that keeps timers elsewhere overrides
//   it. The next start runs releaseResources(), createResources() and initGame() as usual.
#include "games/frame/Game_Backdrop.h"
#include "launcher/Item_Base.h"

#include <QFont>
#include <QRectF>
#include <QString>

class Game_Score;
class QImage;

class Game_Base : public Item_Base
{
    Q_OBJECT
public:
    Game_Base();
    ~Game_Base() override;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget) override;

    virtual void releaseResources() = 0;
    virtual void createResources() {}
    virtual void initGame() {}
    virtual void retryGame() {}
    virtual void pauseGame() {}
    virtual void exitGame() {}
    virtual void resumeGame() {}
    // Called when the game leaves the scene, so no timer keeps firing while it is off stage.
    virtual void stopTimers();
    // The return-to-menu question is drawn see-through over nothing, so it hides nothing.
    QPainterPath opaqueArea() const override;

    Game_Score *getScore() const { return score; }
    QString getName() const { return *gameName; }
    void setName(const QString &name) { *gameName = name; }
    bool isQuestionShown() const { return questionShown; }
    void setQuestionShown(bool shown) { questionShown = shown; }
    bool isHoverLeft() const { return hoverLeft; }
    bool isHoverRight() const { return hoverRight; }
    QFont getFont() const { return *font; }

    // Dialog geometry around the centre of the bounding rectangle.
    QRectF titleRect() const;
    QRectF leftButtonRect() const;
    QRectF rightButtonRect() const;
    QRectF hintRect() const;

    // Title, the two button texts and the Space hint for the left one, in white, on the
    // dialog's card and plates.
    void drawDialog(QPainter *painter, const QString &title, const QString &left,
                    const QString &right);
    // The score panel picture at the score record's position with the best and current score.
    void drawScorePanel(QPainter *painter, const QImage &panel);

signals:
    void endGame(QString name, int score);

public slots:
    virtual void slot_update();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    // Accepts the press, so the release comes to this item, and repaints; games that act on the
    // press itself override it.
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override;
    // A click on a result screen: the button under the click itself plays again or leaves (the
    // hover flags are taken from the click, not from the last pointer move). False when the
    // click is on neither button.
    bool clickResultButtons(QGraphicsSceneMouseEvent *event);

private:
    Game_Score *score = nullptr;
    QString *gameName = nullptr;
    QFont *font = nullptr;
    bool questionShown = false;
    bool hoverLeft = false;
    bool hoverRight = false;
    // The panel with its two numbers, painted again only when a number changes.
    Game_Backdrop scorePanelPicture;
};
