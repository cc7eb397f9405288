#pragma once
// The stage of the whole program: owns every screen and the best-score table, paints the common
// background and switches screens when one asks for it. Exactly one screen is shown at a time.
#include "app/MuteToggle.h"
#include "app/SceneNotice.h"

#include <QGraphicsScene>
#include <QImage>
#include <QPointer>
#include <QString>

#include <memory>

class Adv_Base;
class Adv_ED1;
class Adv_ED2;
class Adv_ED3;
class Adv_OP;
class Game_GameList;
class Item_Lancher;

class ScoreFile;

class Scene : public QGraphicsScene
{
    Q_OBJECT
public:
    static constexpr int ScoreCount = 10;
    static constexpr int SiblingIndex = 9;
    static constexpr int StoryCount = 4;

    Scene(QObject *parent, int width, int height);
    ~Scene() override;

    // Loads the background picture again, from the double-size set once the game is enlarged.
    void reloadBackground();

    void readScores();
    // False when the file could not be written. Each entry of the table becomes the larger of
    // its own and the file's, so a second copy of the game never loses a best to this one.
    bool writeScores();
    void loadScores();

    const int *getScores() const { return scores; }
    const MuteToggle &getMuteToggle() const { return muteToggle; }
    Item_Lancher *getLauncher() const { return launcher.get(); }
    Game_GameList *getGameList() const { return gameList.get(); }
    // The story scene of a story index (0 opening, 1..3 endings), or null for any other index.
    Adv_Base *getStory(int index) const;
    // The notice on the stage, or null when none is shown.
    SceneNotice *getNotice() const { return notice; }

public slots:
    void slot_playGame(int index);
    void slot_playAdv(int index);
    void slot_playLancher(int index, int score);
    void slot_playLancher(int index);
    // Saves the table with the score the game on stage would keep if left now: for its result
    // screen, a closed window, a signal to end and the end of the desktop session.
    void slot_keepScores();
    // The menu's language button: the other language from now on, remembered for the next run;
    // the menu shows its pictures at once, and each game and story loads its own at its start.
    void slot_switchLanguage();

protected:
    // M mutes and unmutes every sound on any screen; the other keys go to the screen.
    void keyPressEvent(QKeyEvent *event) override;
    void drawBackground(QPainter *painter, const QRectF &rect) override;
    // Blackens whatever a view shows beyond the scene rectangle (the bars of full screen).
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    void startSibling();
    // Draws a notice over the screen on stage; it closes itself.
    void showNotice(const QString &text);
    void loadBackground();

    MuteToggle muteToggle;
    QString configPath;
    QImage background;
    bool backgroundLoaded = false;
    // The screens leave the scene when they are destroyed, before the scene itself goes.
    std::unique_ptr<Item_Lancher> launcher;
    std::unique_ptr<Game_GameList> gameList;
    std::unique_ptr<Adv_OP> advOP;
    std::unique_ptr<Adv_ED1> advED1;
    std::unique_ptr<Adv_ED2> advED2;
    std::unique_ptr<Adv_ED3> advED3;
    int scores[ScoreCount] = {};
    // Owned by the scene while shown; it deletes itself when closed.
    QPointer<SceneNotice> notice;
};
