#pragma once
// Owns the nine mini-games, starts and stops them by menu index, and turns a game's end signal
// (which names the game) into the scene's switch back to the launcher (which needs the index).
#include <QObject>
#include <QString>

#include <array>
#include <memory>

class Game_Base;
class QGraphicsScene;

class Game_GameList : public QObject
{
    Q_OBJECT
public:
    static constexpr int GameCount = 9;

    Game_GameList();
    ~Game_GameList() override;

    Game_GameList(const Game_GameList &) = delete;
    Game_GameList &operator=(const Game_GameList &) = delete;

    // Shows game index in scene with best as the best score so far. An index outside 0..8, or
    // one whose game does not exist, does nothing.
    void startGame(QGraphicsScene *scene, int index, int best);
    // Takes game index out of scene and stops its timers; its pictures and score stay.
    void stopGame(QGraphicsScene *scene, int index);

    // Whether index names a game that can be started.
    bool hasGame(int index) const;
    Game_Base *game(int index) const;
    // Menu index of the game shown in scene, or -1 when none is.
    int shownIndex(const QGraphicsScene *scene) const;
    // Menu index of a game name ("Setsuna" .. "Speed"), or -1.
    static int indexOf(const QString &name);

    // Test seam: puts game at index (the list owns it from now on, deleting any previous one).
    void setGame(int index, Game_Base *game);

signals:
    void signal_palyLancher(int index, int score);
    // A game on stage has shown its result screen.
    void signal_resultShown();

public slots:
    void slot_endGame(QString name, int score);

private:
    void createGames();
    void connectGame(Game_Base *game);

    std::array<std::unique_ptr<Game_Base>, GameCount> games;
};
