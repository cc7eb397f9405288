#include "app/Game_GameList.h"

#include "games/frame/Game_Base.h"
#include "games/frame/Game_Score.h"

#include <QGraphicsScene>

// ---- Game includes: one line per game -------------------------------------------------------
#include "games/janken/Game_Janken.h"
#include "games/samegame/Game_SameGame.h"
#include "games/setsuna/Game_Setsuna.h"
#include "games/shooting/Game_Shooting.h"
#include "games/slide/Game_Slide.h"
#include "games/slot/Game_Slot.h"
#include "games/speed/Game_Speed.h"
#include "games/typing/Game_Typing.h"
#include "games/updown/Game_UpDown.h"
// ----------------------------------------------------------------------------------------------

namespace
{
// Menu index → the name the game sends with endGame.
const char *const GameNames[Game_GameList::GameCount] = {
    "Setsuna", "SameGame", "Typing", "Shooting", "Slot", "Slide", "UpDown", "Janken", "Speed",
};
} // namespace

void Game_GameList::createGames()
{
    // ---- Game creation: one line per game, in menu index order ------------------------------
    games[0] = std::make_unique<Game_Setsuna>();
    games[1] = std::make_unique<Game_SameGame>();
    games[2] = std::make_unique<Game_Typing>();
    games[3] = std::make_unique<Game_Shooting>();
    games[4] = std::make_unique<Game_Slot>();
    games[5] = std::make_unique<Game_Slide>();
    games[6] = std::make_unique<Game_UpDown>();
    games[7] = std::make_unique<Game_Janken>();
    games[8] = std::make_unique<Game_Speed>();
    // -------------------------------------------------------------------------------------------
}

Game_GameList::Game_GameList()
{
    createGames();
    for (const auto &g : games) {
        if (g)
            connectGame(g.get());
    }
}

Game_GameList::~Game_GameList() = default;

bool Game_GameList::hasGame(int index) const
{
    return game(index) != nullptr;
}

Game_Base *Game_GameList::game(int index) const
{
    if (index < 0 || index >= GameCount)
        return nullptr;
    return games[index].get();
}

int Game_GameList::indexOf(const QString &name)
{
    for (int i = 0; i < GameCount; ++i) {
        if (name == QLatin1String(GameNames[i]))
            return i;
    }
    return -1;
}

void Game_GameList::setGame(int index, Game_Base *game)
{
    std::unique_ptr<Game_Base> owned(game);
    if (index < 0 || index >= GameCount)
        return;
    games[index] = std::move(owned);
    if (game)
        connectGame(game);
}

void Game_GameList::connectGame(Game_Base *game)
{
    connect(game, &Game_Base::endGame, this, &Game_GameList::slot_endGame);
    connect(game, &Game_Base::signal_resultShown, this, &Game_GameList::signal_resultShown);
}

int Game_GameList::shownIndex(const QGraphicsScene *scene) const
{
    for (int i = 0; i < GameCount; ++i) {
        if (games[i] && scene && games[i]->scene() == scene)
            return i;
    }
    return -1;
}

void Game_GameList::startGame(QGraphicsScene *scene, int index, int best)
{
    Game_Base *g = game(index);
    if (!g || !scene)
        return;
    g->releaseResources();
    g->getScore()->setBest(best);
    g->getScore()->resetScore();
    if (g->scene() != scene)
        scene->addItem(g);
    g->createResources();
    g->initGame();
}

void Game_GameList::stopGame(QGraphicsScene *scene, int index)
{
    Game_Base *g = game(index);
    if (!g || !scene)
        return;
    // A game off stage must not keep its 1 ms frame timer running.
    g->stopTimers();
    if (g->scene() == scene)
        scene->removeItem(g);
}

void Game_GameList::slot_endGame(QString name, int score)
{
    const int index = indexOf(name);
    if (index >= 0)
        emit signal_palyLancher(index, score);
}
