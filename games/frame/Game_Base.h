#pragma once
// The frame every mini-game shares: the life cycle through which the game list starts the same
// game object again and again, the game's name, score record and text font, and the dialog used
// for the return-to-menu question and for every result screen.
//
// For game classes:
// - Construct the frame with the game's name (Game_Base(name), placed at (-2, -2)).
// - releaseResources() frees what createResources() made; createResources() makes it (a struct
//   of pictures held by value, made and dropped whole, needs nothing in the destructor);
//   initGame() starts a fresh play, takes the keyboard focus and starts the frame timer
//   (startFrameTimer()), whose ticks repaint the item.
// - A result screen dims the play its own way, then drawResult() draws the panel and dialog;
//   playSound(), playEffect() and setSoundSilent() reach the sound manager when there is one.
//   The frame itself sounds the question, the result title and the dialog's hover and clicks.
// - The frame routes input: while the question is shown or isPlaying() is false (a result
//   screen) key, mouse-release and hover events go to the dialog; during play Escape calls
//   pauseGame() and the rest goes to playKeyRelease(), playMouseRelease() and playHoverMove(),
//   after which the item is repainted. paint() draws the question while it is shown and
//   paintGame() otherwise.
// - The common life cycle: retryGame() folds the score into the best and runs initGame() again,
//   pauseGame() shows the question, resumeGame() hides it, exitGame() emits
//   endGame(getName(), max(best, score)); the game is off the scene when the emit returns. A
//   game overrides them only for what is its own and calls the base version for the rest.
// - Escape's question lets a countdown run on under it: the first frame after "いいえ" takes the
//   time the question was up. A question asked because the window was left or minimised
//   (pauseForLeftWindow()) costs no play time: on "いいえ" the countdown of getCountdown() skips
//   the time the question was up. Games whose elapsed clocks skip it on every resume need no more.
// - When the game list takes the game off the scene it calls stopTimers(). The base version
//   stops every QTimer whose Qt parent is the game, the frame timer among them; a game that
//   keeps timers elsewhere overrides it. The next start runs releaseResources(),
//   createResources() and initGame() as usual.
#include "games/frame/Game_Backdrop.h"
#include "launcher/Item_Base.h"
#include "sound/AudioSet.h"

#include <QFont>
#include <QPoint>
#include <QRectF>
#include <QString>

#include <memory>

class Game_Countdown;
class Game_Score;
class QImage;
class QTimer;

class Game_Base : public Item_Base
{
    Q_OBJECT
public:
    Game_Base();
    ~Game_Base() override;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    virtual void releaseResources() = 0;
    virtual void createResources() {}
    virtual void initGame() {}
    virtual void retryGame();
    virtual void pauseGame();
    virtual void exitGame();
    virtual void resumeGame();
    // The window was left or minimised during play: the game gets the Escape its own keys handle,
    // so it pauses as Escape does, but the question it shows then costs no countdown time. A
    // question already shown stays Escape's.
    void pauseForLeftWindow();
    // The countdown of a timed game, which decides its time up; null in the other games.
    virtual Game_Countdown *getCountdown() { return nullptr; }
    // Called when the game leaves the scene, so no timer keeps firing while it is off stage.
    virtual void stopTimers();
    // The return-to-menu question is drawn see-through over nothing, so it hides nothing.
    QPainterPath opaqueArea() const override;

    Game_Score *getScore() const { return score.get(); }
    // What leaving now keeps of this visit: the best, or the play's score when it is higher.
    int keptScore() const;
    QString getName() const { return gameName; }
    void setName(const QString &name) { gameName = name; }
    bool isQuestionShown() const { return questionShown; }
    void setQuestionShown(bool shown) { questionShown = shown; }
    bool isHoverLeft() const { return hoverLeft; }
    bool isHoverRight() const { return hoverRight; }
    QFont getFont() const { return font; }
    bool isFrameTimerActive() const;

    // Dialog geometry around the centre of the bounding rectangle.
    QRectF titleRect() const;
    QRectF leftButtonRect() const;
    QRectF rightButtonRect() const;
    QRectF hintRect() const;
    // The line of a result screen that tells the play's score and the best, under the title.
    QRectF resultScoreRect() const;

    // Title, the two button texts and the Space hint for the left one, in white, on the
    // dialog's card and plates.
    void drawDialog(QPainter *painter, const QString &title, const QString &left,
                    const QString &right);
    // The score panel picture at the score record's position with the best and current score.
    void drawScorePanel(QPainter *painter, const QImage &panel);
    // A result screen's panel and dialog over the dimmed play: the score panel, then the dialog
    // with title, "もう一度" and "メニューに戻る".
    void drawResult(QPainter *painter, const QImage &panel, const QString &title);

signals:
    void endGame(QString name, int score);
    // The first frame of a result screen has been painted: the panel now shows a best that no
    // way of ending the program may lose.
    void signal_resultShown();

public slots:
    virtual void slot_update();

protected:
    // For a game's constructor: the name sent with endGame and the item's place, (-2, -2) for
    // every game but SameGame.
    explicit Game_Base(const QString &name, const QPointF &position = QPointF(-2, -2));

    // The sound manager's operations, for games; nothing happens while there is no manager
    // (tests without sound).
    static void playSound(void (AudioSet::*sound)());
    static void playEffect(AudioSet::Effect effect);
    static void setSoundSilent(bool silent);

    // True while the play is on, so input goes to the play hooks rather than to the dialog. The
    // frame has no play of its own: by default every event goes to the dialog.
    virtual bool isPlaying() const { return false; }
    // Play-time input, once the frame has routed it; the item is repainted afterwards.
    virtual void playKeyRelease(QKeyEvent *) {}
    virtual void playMouseRelease(QGraphicsSceneMouseEvent *) {}
    virtual void playHoverMove(QGraphicsSceneHoverEvent *) {}
    // What the game shows while the question is not up: its play field or its result screen.
    virtual void paintGame(QPainter *) {}

    // The 1 ms frame timer that drives slot_update() while a play runs.
    void startFrameTimer();
    void stopFrameTimer();

    void keyReleaseEvent(QKeyEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
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
    void drawResultScore(QPainter *painter);
    // The first frame of a result screen is up: its title sounds, then the frame tells.
    void announceResult();
    // The dialog's light (pointer or keys) and its two choices.
    void light(bool left, bool right);
    void takeLeft();
    void takeRight();
    // The dialog's handling of the three events: Space, the two buttons and their hover.
    void dialogKeyRelease(QKeyEvent *event);
    void dialogMouseRelease(QGraphicsSceneMouseEvent *event);
    void dialogHoverMove(QGraphicsSceneHoverEvent *event);

    std::unique_ptr<Game_Score> score;
    QString gameName;
    QFont font;
    bool questionShown = false;
    // The question on screen was asked because the window was left, not by Escape.
    bool leftWindowQuestion = false;
    bool hoverLeft = false;
    bool hoverRight = false;
    bool resultPainted = false;
    // Parented to the game, so stopTimers() stops it with the game's other timers.
    QTimer *frameTimer = nullptr;
    // The panel with its two numbers, painted again only when a number changes.
    Game_Backdrop scorePanelPicture;
};
