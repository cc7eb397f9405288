// Every game sounds what happens in it: one table row per game with a scripted round that must
// be heard as at least two different effects, and with the game's effects that the silent flag
// holds back while the pointer is over the question's buttons. The menu sounds its hover and
// clicks.
#include "GameHarness.h"
#include "SceneInput.h"
#include "games/frame/Game_LastSeconds.h"
#include "games/frame/Game_Score.h"
#include "games/janken/Game_Janken.h"
#include "games/samegame/Game_SameGame.h"
#include "games/samegame/Game_SameGame_Mass.h"
#include "games/setsuna/Game_Setsuna.h"
#include "games/shooting/Game_Shooting.h"
#include "games/slide/Game_Slide.h"
#include "games/slide/Game_Slide_Board.h"
#include "games/slot/Game_Slot.h"
#include "games/speed/Game_Speed.h"
#include "games/speed/Game_Speed_Table.h"
#include "games/typing/Game_Typing.h"
#include "games/typing/Game_Typing_Train.h"
#include "games/updown/Game_UpDown.h"
#include "launcher/Item_Lancher.h"
#include "launcher/Lanch_SoundPanel.h"

#include <QPainter>
#include <QtTest>
#include <functional>

namespace
{
QTime now;
using Effect = AudioSet::Effect;

// What a scripted round may do with the game on its scene.
struct Round {
    QGraphicsScene &scene;
    Game_Base *game;
    std::function<void(int)> frame; // advances the clock by ms and paints one frame

    void click(QPointF scenePoint) { SceneInput::click(scene, scenePoint); }
    void press(QPointF scenePoint)
    {
        SceneInput::mouse(scene, QEvent::GraphicsSceneMousePress, scenePoint, Qt::LeftButton);
        SceneInput::mouse(scene, QEvent::GraphicsSceneMouseRelease, scenePoint, Qt::NoButton);
    }
    void key(int k) { SceneInput::key(scene, k); }
};

template <typename G> G *as(Round &r)
{
    return static_cast<G *>(r.game);
}

void janken(Round &r)
{
    static const int handKeys[3] = {Qt::Key_Up, Qt::Key_Right, Qt::Key_Left};
    const Game_Janken_Duel &duel = *as<Game_Janken>(r)->getDuel();
    for (int i = 0; i < 3000 && duel.getThrowsWon() == 0 && !duel.isFinished(); ++i) {
        r.frame(16);
        if (duel.isOpponentDrawn())
            r.key(handKeys[(duel.getOpponentHand() + 1) % 3]);
    }
}

void sameGame(Round &r)
{
    const Game_SameGame_Mass &board = *as<Game_SameGame>(r)->getBoard();
    const auto cellCentre = [](int c, int row) {
        return QPointF(Game_SameGame::BoardX + Game_SameGame::CellSize * c + 30,
                       Game_SameGame::BoardY + Game_SameGame::CellSize * row + 30);
    };
    // A lone tile first, then a group.
    for (const bool removable : {false, true}) {
        for (int i = 0; i < board.cellCount(); ++i) {
            const int c = i % board.getColumns(), row = i / board.getColumns();
            if (board.cellAt(c, row) != Game_SameGame_Mass::Empty &&
                board.isRemovable(c, row) == removable) {
                r.click(cellCentre(c, row));
                break;
            }
        }
    }
}

void setsuna(Round &r)
{
    const Game_Setsuna_Duel &duel = as<Game_Setsuna>(r)->getDuel();
    r.click(Game_Setsuna::buttonRect(0).center());
    for (int i = 0; i < 400 && !duel.isSignalShown(); ++i)
        r.frame(16);
    r.press(QPointF(500, 300));
}

void shooting(Round &r)
{
    // Nothing to hit yet: a shot into the empty gallery.
    r.press(QPointF(500, 150));
}

void slide(Round &r)
{
    Game_Slide *game = as<Game_Slide>(r);
    const Game_Slide_Board &board = *game->getBoard();
    const int gap = board.gapIndex(), columns = board.getColumns();
    for (int i = 0; i < board.cellCount(); ++i) {
        if (i % columns != gap % columns && i / columns != gap / columns) {
            r.click(game->mapToScene(game->cellRect(i).center())); // a miss
            break;
        }
    }
    const int beside = gap % columns > 0 ? gap - 1 : gap + 1;
    r.click(game->mapToScene(game->cellRect(beside).center()));
}

void slot(Round &r)
{
    r.frame(16);
    r.press(QPointF(500, 300));
}

void upDown(Round &r)
{
    Game_UpDown *game = as<Game_UpDown>(r);
    r.frame(16);
    r.click(game->mapToScene(game->placeRect(0).center()));
}

void speed(Round &r)
{
    r.frame(16);
    r.click(Game_Speed_Table::tableRect(0).center());
}

void typing(Round &r)
{
    static const int keys[4] = {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up};
    const Game_Typing_Train &train = *as<Game_Typing>(r)->getTrain();
    for (int i = 0; i < 500 && train.getTiles().size() < 2; ++i)
        r.frame(16);
    r.key(keys[train.getTiles().front()->getDirection()]);
    r.frame(16);
    // A key is judged only while a second tile follows the first.
    for (int i = 0; i < 500 && train.getTiles().size() < 2; ++i)
        r.frame(16);
    r.key(keys[(train.getTiles().front()->getDirection() + 1) % 4]);
    r.frame(16);
}

struct GameRow {
    const char *name;
    std::function<Game_Base *()> make;
    std::function<void(Round &)> play;
    // The game's own effects: held back over the question's buttons.
    QList<Effect> effects;
};

const GameRow Games[] = {
    {"Janken",
     [] { return new Game_Janken; },
     janken,
     {Effect::JankenHand, Effect::JankenRoundWin, Effect::JankenDraw, Effect::JankenLost}},
    {"SameGame",
     [] { return new Game_SameGame; },
     sameGame,
     {Effect::GroupRemovedSmall, Effect::GroupRemovedLarge, Effect::LoneTile, Effect::BoardCleared,
      Effect::LastSeconds}},
    {"Setsuna",
     [] { return new Game_Setsuna; },
     setsuna,
     {Effect::SetsunaSignal, Effect::SetsunaFalseStart}},
    {"Shooting",
     [] { return new Game_Shooting; },
     shooting,
     {Effect::ShotFired, Effect::TargetHit, Effect::ShotMissed, Effect::BonusZone,
      Effect::BadTarget, Effect::LastSeconds}},
    {"Slide", [] { return new Game_Slide; }, slide, {}},
    {"Slot", [] { return new Game_Slot; }, slot, {Effect::ReelStop, Effect::Pay, Effect::ReelLost}},
    {"UpDown",
     [] { return new Game_UpDown; },
     upDown,
     {Effect::CardPlayed, Effect::WrongCard, Effect::CardsDealt, Effect::LastSeconds}},
    {"Speed",
     [] { return new Game_Speed; },
     speed,
     {Effect::CardPlayed, Effect::WrongCard, Effect::CardsDealt, Effect::LastSeconds}},
    {"Typing",
     [] { return new Game_Typing; },
     typing,
     {Effect::RightKey, Effect::WrongKey, Effect::TypingBonus}},
};
} // namespace

class TestGameSounds : public QObject, GameScene
{
    Q_OBJECT
private:
    std::shared_ptr<SoundRecorder> recorder;
    Game_Base *game = nullptr;

    Round round()
    {
        return {*scene, game, [this](int ms) {
                    now = now.addMSecs(ms);
                    QPainter painter(&image);
                    game->paint(&painter, nullptr, nullptr);
                }};
    }
    // The sounds heard, each once, the music left out.
    QStringList effectsHeard() const
    {
        QStringList heard = recorder->playedMembers();
        heard.removeIf([](const QString &m) { return m.startsWith(QLatin1String("bgm")); });
        return heard;
    }
    void openGame(int row)
    {
        now = QTime(10, 0);
        recorder->clear();
        open(game = Games[row].make(), 0);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(setUpFlat(now));
        QVERIFY(recorder = GameHarness::recordEverySound());
    }
    void cleanup()
    {
        close();
        AudioSet::getInstance()->setSilent(false);
    }
    void cleanupTestCase() { AudioSet::destroyInstance(); }

    void aScriptedRoundIsHeardAsTwoEffectsOrMore_data()
    {
        QTest::addColumn<int>("row");
        for (int r = 0; r < int(std::size(Games)); ++r)
            QTest::newRow(Games[r].name) << r;
    }
    void aScriptedRoundIsHeardAsTwoEffectsOrMore()
    {
        QFETCH(int, row);
        openGame(row);
        Round r = round();
        Games[row].play(r);
        const QStringList heard = effectsHeard();
        QVERIFY2(heard.size() >= 2, qPrintable(heard.join(", ")));
    }

    // Over either of the question's buttons the game's effects are held back (the dialog's own
    // hover still sounds); after "いいえ" the game is heard again.
    void theQuestionsButtonsSilenceTheGame_data()
    {
        aScriptedRoundIsHeardAsTwoEffectsOrMore_data();
    }
    void theQuestionsButtonsSilenceTheGame()
    {
        QFETCH(int, row);
        openGame(row);
        AudioSet *audio = AudioSet::getInstance();
        SceneInput::key(*scene, Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        QVERIFY(recorder->playedMembers().contains("question"));
        for (const QRectF &button : {game->leftButtonRect(), game->rightButtonRect()}) {
            recorder->clear();
            SceneInput::hover(*scene, button.center());
            QCOMPARE(recorder->playedMembers(), QStringList{"hover"});
            recorder->clear();
            for (Effect e : Games[row].effects)
                audio->play(e);
            audio->playMove();
            QVERIFY2(recorder->events().isEmpty(), qPrintable(recorder->events().join(", ")));
        }
        SceneInput::click(*scene, game->rightButtonRect().center());
        QVERIFY(!game->isQuestionShown());
        recorder->clear();
        for (Effect e : Games[row].effects)
            audio->play(e);
        QCOMPARE(recorder->events().filter("play ").size(), Games[row].effects.size());
        recorder->clear();
        Round r = round();
        Games[row].play(r);
        QVERIFY(!effectsHeard().isEmpty());
    }

    // A result title sounds once: the best sound when the play beat the best, the gentle one
    // otherwise.
    void theResultTitleSoundsByTheBest_data()
    {
        QTest::addColumn<int>("best");
        QTest::addColumn<QString>("heard");
        QTest::newRow("beaten") << 0 << "best";
        QTest::newRow("not beaten") << 1000000 << "result";
    }
    void theResultTitleSoundsByTheBest()
    {
        QFETCH(int, best);
        QFETCH(QString, heard);
        now = QTime(10, 0);
        open(game = new Game_Janken, best);
        Round r = round();
        // Two seconds or so on the clock, then a losing hand.
        const Game_Janken_Duel &duel = *as<Game_Janken>(r)->getDuel();
        static const int handKeys[3] = {Qt::Key_Up, Qt::Key_Right, Qt::Key_Left};
        for (int i = 0; i < 3000 && !duel.isFinished(); ++i) {
            r.frame(16);
            if (duel.isOpponentDrawn())
                r.key(handKeys[(duel.getOpponentHand() + 2) % 3]);
        }
        QVERIFY(game->getScore()->getScore() > 0);
        recorder->clear();
        r.frame(16);
        QCoreApplication::processEvents();
        r.frame(16);
        QCoreApplication::processEvents();
        QCOMPARE(recorder->playedMembers(), QStringList{heard});
    }

    // A running-out clock ticks once in each of its last five seconds, never per frame; time
    // given back lets the seconds tick again, and a clock wrapped below midnight is over.
    void theLastSecondsTickOnceEach()
    {
        Game_LastSeconds last;
        QStringList ticks;
        for (qint64 ms : {7000, 5200, 5000, 4990, 4100, 3999, 2500, 1200, 800, 1, 0})
            ticks << (last.pass(ms) ? QString::number(ms) : QString());
        ticks.removeAll(QString());
        QCOMPARE(ticks, (QStringList{"5000", "3999", "2500", "1200", "800"}));
        QVERIFY(!last.pass(900));  // still the last second
        QVERIFY(!last.pass(6000)); // given back
        QVERIFY(last.pass(4500));  // and running out again
        QVERIFY(!last.pass(QTime(23, 59, 59, 500)));
        last.reset();
        QVERIFY(last.pass(QTime(0, 0, 3)));
        // The gallery's clock ticks so in its last five seconds, as the card games' do.
        openGame(3);
        Round r = round();
        for (int i = 0; i < 60 * 4; ++i)
            r.frame(250);
        QCOMPARE(recorder->playCount("tick"), Game_LastSeconds::Count);
    }

    // Pointing at a new entry of the menu sounds once, a click sounds, a locked ending sounds
    // locked and the sound button clicks.
    void theMenuSoundsHoverAndClicks()
    {
        scene = GameHarness::activeScene();
        auto *launcher = new Item_Lancher(0, 0);
        launcher->setPos(0, 0);
        scene->addItem(launcher);
        const int scores[Item_Lancher::GameCount] = {};
        launcher->setScores(scores);
        recorder->clear();
        SceneInput::hover(*scene, launcher->gameRect(0).center());
        SceneInput::hover(*scene, launcher->gameRect(0).center() + QPointF(2, 2));
        SceneInput::hover(*scene, launcher->gameRect(1).center());
        QCOMPARE(recorder->playCount("hover"), 2);
        SceneInput::click(*scene, launcher->storyRect(1).center());
        QCOMPARE(recorder->playCount("locked"), 1);
        SceneInput::click(*scene, Lanch_SoundPanel::buttonRect().center());
        QCOMPARE(recorder->playCount("click"), 1);
        QVERIFY(launcher->getSoundPanel().isOpen());
    }
};

QTEST_MAIN(TestGameSounds)
#include "tst_gamesounds.moc"
