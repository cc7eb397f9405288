// The reaction duel: its rules on a driven monotonic clock, and the duel screen played through
// real mouse and key events on a view, rendered frame by frame.
#include "FlatPictures.h"
#include "GameHarness.h"
#include "InkOffPaper.h"
#include "SoundRecorder.h"
#include "TestFiles.h"
#include "base/ArchiveWords.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "games/frame/Game_Score.h"
#include "games/setsuna/Game_Setsuna.h"
#include "games/setsuna/Game_Setsuna_Duel.h"
#include "sound/Archive.h"
#include "sound/ArchiveBuffer.h"
#include "sound/AudioSet.h"

#include <QFontDatabase>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace
{
using Sound = Game_Setsuna_Duel::Sound;

// An archive holding the two duel sounds, so the recorder has channels to log.
bool writeDuelSounds(const QString &path)
{
    return writeSilentArchive(
        path, {"se/win.wav", "se/lose.wav", "bgm/BGM_1.wav", "e3", "e4", "e5", "e6"});
}

qint64 nowMs = 0;

// A duel at difficulty d whose signal has just come.
Game_Setsuna_Duel duelAtSignal(int d)
{
    Game_Setsuna_Duel duel;
    duel.reset();
    duel.setDifficulty(d);
    duel.startRound();
    nowMs += duel.getWaitDelay() + 1;
    duel.fight();
    return duel;
}
} // namespace

class TestSetsuna : public QObject, GameView
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    std::shared_ptr<SoundRecorder> recorder;
    Game_Setsuna *game = nullptr;
    std::unique_ptr<FlatPictures> flat;

    // One painted frame: the game draws and advances itself by one step.
    QImage frame() { return GameHarness::paint(*game, QSize(), Qt::black); }
    // Frames 16 ms apart until done() holds; false if it never did within limitMs.
    template <typename F> bool playUntil(F done, int limitMs = 10000)
    {
        for (int t = 0; t < limitMs; t += 16) {
            nowMs += 16;
            frame();
            if (done())
                return true;
        }
        return false;
    }
    // The difficulty buttons: 50 x 50 from (390, 305), (485, 305) and (580, 305).
    static QPointF buttonCentre(int i) { return QPointF(415 + 95 * i, 330); }
    // The frame tests its dialog buttons against the scene position.
    QPointF leftDialogButton() const { return game->leftButtonRect().center(); }

    // Wins one duel from the wait: the signal, a shot, then the pause before the next duel.
    void winDuel()
    {
        QVERIFY(playUntil([&] { return game->getDuel().isSignalShown(); }));
        press(QPointF(500, 500));
        release(QPointF(500, 500));
        QVERIFY(game->getDuel().hasPlayerWon());
        frame();
        QVERIFY(playUntil([&] { return game->getDuel().isWaiting(); }, 1000));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(GameHarness::loadArt());
        flat = std::make_unique<FlatPictures>();
        QVERIFY(flat->ok);
        QVERIFY(writeDuelSounds(dir.filePath("duel.fka")));
        QVERIFY(recorder = GameHarness::recordSounds(dir.filePath("duel.fka")));
        Clock::setMonotonicSource([] { return nowMs; });
        Clock::setTimeSource([] { return QTime(10, 59, 59, 990); });
    }
    void cleanupTestCase()
    {
        AudioSet::destroyInstance();
        Clock::reset();
    }
    void init()
    {
        nowMs = 1000000;
        recorder->clear();
        game = new Game_Setsuna();
        QVERIFY(open(game));
    }
    void cleanup()
    {
        close();
        game = nullptr;
    }

    // The opponent fires trunc(0.9 × (b + r)) ms after the signal, r < b: 900–1799, 450–899 and
    // 180–359 ms, both ends reached; the wait before the signal is 1000–3999 ms.
    void opponentDelaysStayInTheirRangesForEveryDifficulty()
    {
        const int low[3] = {900, 450, 180}, high[3] = {1799, 899, 359};
        for (int d = 0; d < 3; ++d) {
            int seen[2] = {INT_MAX, INT_MIN};
            int waitMin = INT_MAX, waitMax = INT_MIN;
            for (unsigned seed = 0; seed < 20000; ++seed) {
                Random::seed(seed);
                const Game_Setsuna_Duel duel = duelAtSignal(d);
                seen[0] = qMin(seen[0], duel.getOpponentDelay());
                seen[1] = qMax(seen[1], duel.getOpponentDelay());
                waitMin = qMin(waitMin, duel.getWaitDelay());
                waitMax = qMax(waitMax, duel.getWaitDelay());
            }
            QCOMPARE(seen[0], low[d]);
            QCOMPARE(seen[1], high[d]);
            QCOMPARE(waitMin, 1000);
            QCOMPARE(waitMax, 3999);
        }
    }

    // A wait is over only when strictly more than its delay has passed on the monotonic clock,
    // whatever the time of day does meanwhile (here it stands still across the hour).
    void waitsEndStrictlyAfterTheirDelayOnTheMonotonicClock()
    {
        Game_Setsuna_Duel duel;
        duel.reset();
        duel.setDifficulty(2);
        duel.startRound();
        nowMs += duel.getWaitDelay();
        QVERIFY(!duel.waitIsOver());
        nowMs += 1;
        QVERIFY(duel.waitIsOver());
        duel.clearWait();
        duel.fight();
        // The opponent's time starts only once a frame shows the signal.
        nowMs += 1000;
        QVERIFY(!duel.opponentIsDue());
        duel.signalDrawn();
        nowMs += duel.getOpponentDelay();
        QVERIFY(!duel.opponentIsDue());
        nowMs += 1;
        QVERIFY(duel.opponentIsDue());
        QVERIFY(!duel.waitIsOver());
    }

    // A press during the wait is a false start: the signal never comes afterwards, and the
    // release of that same press may not act on the question while the next one may.
    void aPressDuringTheWaitIsAFalseStart()
    {
        Game_Setsuna_Duel duel;
        duel.reset();
        duel.setDifficulty(0);
        duel.startRound();
        QCOMPARE(duel.press(), Sound::None);
        QVERIFY(duel.isFalseStart());
        QVERIFY(!duel.releaseReachesDialog());
        duel.endRelease();
        QVERIFY(duel.releaseReachesDialog());
        duel.fight();
        QVERIFY(!duel.isSignalShown());
        const Game_Setsuna_Duel::Poses poses = duel.posesAndSettle();
        QCOMPARE(poses.left, 2);
        QCOMPARE(poses.right, 0);
        QVERIFY(duel.isRoundOver());
    }

    // A press on the title or after a lost duel is no shot; after a win every press replays
    // the win but the duel is scored once and the opponent's later shot no longer counts.
    void shotsCountOnlyAfterTheSignalAndScoreOnce()
    {
        Game_Setsuna_Duel duel;
        duel.reset();
        QCOMPARE(duel.press(), Sound::None);
        QVERIFY(!duel.isFalseStart());
        duel = duelAtSignal(1);
        QCOMPARE(duel.enemy(), Sound::Lose);
        duel.posesAndSettle();
        QCOMPARE(duel.press(), Sound::None);
        QVERIFY(!duel.hasPlayerWon() && !duel.isFalseStart());

        duel = duelAtSignal(1);
        QCOMPARE(duel.press(), Sound::Win);
        QCOMPARE(duel.press(), Sound::Win);
        QCOMPARE(duel.takeWinPoints(), 500);
        QCOMPARE(duel.takeWinPoints(), 0);
        QCOMPARE(duel.enemy(), Sound::None);
        QVERIFY(!duel.hasOpponentWon());
    }

    // A whole run at normal difficulty, frame by frame: the hovered button is marked, three
    // wins give 1,500, each next duel skips the title and keeps the difficulty; the fourth is lost
    // to the opponent, and "もう一度" goes back to the title with the best at 1,500 and the score
    // at 0.
    void threeWinsAtNormalThenALossPlayedFrameByFrame()
    {
        QCOMPARE(game->boundingRect(), QRectF(0, 0, 1024, 576));
        const QImage plain = frame();
        moveTo(buttonCentre(1));
        const QRect cursor = game->cursorRect(1).toRect();
        QVERIFY(plain.copy(cursor) != frame().copy(cursor));
        moveTo(QPointF(100, 100));
        QCOMPARE(game->getDuel().getDifficulty(), -1);
        pointAndClick(buttonCentre(1));
        for (int round = 1; round <= 3; ++round) {
            winDuel();
            QCOMPARE(game->getScore()->getScore(), 500 * round);
            QVERIFY(!game->getDuel().isTitleMode());
            QCOMPARE(game->getDuel().getDifficulty(), 1);
        }
        QCOMPARE(recorder->playCount("win"), 3);

        const QImage waiting = frame();
        QVERIFY(playUntil([&] { return game->getDuel().isSignalShown(); }));
        const QImage signal = frame();
        const QRect mark = game->signalRect().toRect();
        QVERIFY(waiting.copy(mark) != signal.copy(mark));
        QVERIFY(playUntil([&] { return game->getDuel().isRoundOver(); }, 1000));
        QCOMPARE(recorder->playCount("lose"), 1);
        QVERIFY(game->getDuel().hasOpponentWon());

        const QImage result = frame();
        // a lost duel is no false start: its result says only "残念！"
        QVERIFY(!FlatPictures::texts(*game).contains("フライング！"));
        // The loser's dim veil is over the whole field.
        QVERIFY(qGray(result.pixel(1000, 560)) < qGray(signal.pixel(1000, 560)));
        moveTo(leftDialogButton());
        QVERIFY(game->isHoverLeft());
        pointAndClick(leftDialogButton());
        QVERIFY(game->getDuel().isTitleMode());
        QCOMPARE(game->getScore()->getScore(), 0);
        QCOMPARE(game->getScore()->getBest(), 1500);
    }

    // A false start through real events: the press shows "残念！" and, under it, "フライング！";
    // its own release does not act on the button left highlighted by the last result screen,
    // the next click does.
    void aFalseStartsOwnReleaseDoesNotHitTheButton()
    {
        pointAndClick(buttonCentre(0));
        pointAndClick(QPointF(600, 500));
        frame();
        pointAndClick(leftDialogButton());
        QVERIFY(game->getDuel().isTitleMode());
        QVERIFY(game->isHoverLeft());

        pointAndClick(buttonCentre(0));
        press(QPointF(600, 500));
        QVERIFY(game->getDuel().isFalseStart());
        release(QPointF(600, 500));
        QVERIFY(!game->getDuel().isTitleMode());
        frame();
        QVERIFY(game->getDuel().isRoundOver());
        const QStringList said = FlatPictures::texts(*game);
        QVERIFY2(said.indexOf("フライング！") > said.indexOf("残念！") && said.contains("残念！"),
                 qPrintable(said.join('|')));
        nowMs += 5000;
        frame();
        QVERIFY(!game->getDuel().isSignalShown());
        pointAndClick(leftDialogButton());
        QVERIFY(game->getDuel().isTitleMode());
        QCOMPARE(recorder->playCount("win") + recorder->playCount("lose"), 0);
        // the "残念！" screen offers Space for "もう一度", and Space does it
        pointAndClick(buttonCentre(0));
        pointAndClick(QPointF(600, 500));
        frame();
        key(Qt::Key_Space);
        QVERIFY(game->getDuel().isTitleMode());
    }

    // Escape asks before leaving; the wait is held while asked, "いいえ" starts the duel again
    // with a new wait, and Escape then Space leaves with the best score.
    void escapePausesTheDuelAndSpaceLeavesWithTheBest()
    {
        QSignalSpy ended(game, &Game_Base::endGame);
        pointAndClick(buttonCentre(1));
        const int delay = game->getDuel().getWaitDelay();
        key(Qt::Key_Escape);
        QVERIFY(game->isQuestionShown());
        nowMs += delay + 100;
        frame();
        QVERIFY(!game->getDuel().isSignalShown());
        // a press while asked is no false start
        press(QPointF(600, 500));
        release(QPointF(600, 500));
        QVERIFY(!game->getDuel().isFalseStart());
        pointAndClick(game->rightButtonRect().center());
        QVERIFY(!game->isQuestionShown());
        frame();
        QVERIFY(game->getDuel().isWaiting() && !game->getDuel().isSignalShown());
        QVERIFY(playUntil([&] { return game->getDuel().isSignalShown(); }));
        press(QPointF(600, 500));
        release(QPointF(600, 500));
        frame();
        QCOMPARE(game->getScore()->getScore(), 500);
        key(Qt::Key_Escape);
        key(Qt::Key_Space);
        GameHarness::verifyEnded(ended, "Setsuna", 500);
    }

    // At hard, the opponent fires strictly after its delay counted from the first frame that
    // shows the signal; asked after the signal and answered "いいえ" past that delay, nobody
    // has lost: the duel starts again with a new wait.
    void theOpponentRunsFromTheShownSignalAndTheQuestionDecidesNothing()
    {
        pointAndClick(buttonCentre(2));
        QVERIFY(playUntil([&] { return game->getDuel().isSignalShown(); }));
        const int delay = game->getDuel().getOpponentDelay();
        nowMs += 16;
        frame(); // the first frame that shows the signal
        nowMs += delay;
        frame();
        QVERIFY(!game->getDuel().hasOpponentWon());
        nowMs += 1;
        frame();
        QVERIFY(game->getDuel().hasOpponentWon());
        pointAndClick(leftDialogButton());
        pointAndClick(buttonCentre(2));

        QVERIFY(playUntil([&] { return game->getDuel().isSignalShown(); }));
        frame();
        key(Qt::Key_Escape);
        nowMs += 5000;
        frame();
        pointAndClick(game->rightButtonRect().center());
        frame();
        QVERIFY(!game->getDuel().hasOpponentWon() && !game->getDuel().isResultShown());
        QVERIFY(game->getDuel().isWaiting() && !game->getDuel().isSignalShown());
        QCOMPARE(recorder->playCount("lose"), 1);
        winDuel();
        QCOMPARE(game->getScore()->getScore(), 1000);
    }

    // Easy, normal and hard win 200, 500 and 1000 points; the next duel starts 500 ms after
    // the frame that scored. A start seeds with hour + minute + second + millisecond.
    void eachDifficultyScoresItsPointsAndTheNextDuelWaitsHalfASecond_data()
    {
        QTest::addColumn<int>("difficulty");
        QTest::addColumn<int>("points");
        QTest::addColumn<QTime>("start");
        QTest::newRow("easy") << 0 << 200 << QTime(0, 0, 0, 7);
        QTest::newRow("normal") << 1 << 500 << QTime(10, 59, 59, 990);
        QTest::newRow("hard") << 2 << 1000 << QTime(23, 1, 2, 3);
    }
    void eachDifficultyScoresItsPointsAndTheNextDuelWaitsHalfASecond()
    {
        QFETCH(int, difficulty);
        QFETCH(int, points);
        QFETCH(QTime, start);
        Clock::setTimeSource([start] { return start; });
        game->initGame();
        QCOMPARE(
            Random::draw(),
            FlatPictures::draw(start.hour() + start.minute() + start.second() + start.msec(), 1));
        Clock::setTimeSource([] { return QTime(10, 59, 59, 990); });
        pointAndClick(buttonCentre(difficulty));
        QVERIFY(playUntil([&] { return game->getDuel().isSignalShown(); }));
        press(QPointF(500, 500));
        release(QPointF(500, 500));
        frame();
        QCOMPARE(game->getScore()->getScore(), points);
        const qint64 scored = nowMs;
        QVERIFY(playUntil([&] { return game->getDuel().isWaiting(); }, 1000));
        QVERIFY2(nowMs - scored >= 500 && nowMs - scored < 516,
                 qPrintable(QString::number(nowMs - scored)));
    }

    // Which picture shows where (1024 x 576, centre (512, 288)): TITLE alone, with the cursor
    // (34 x 40) at (495, 260) over "normal"; in a duel BG, KOHRU (300 x 400) 250 px left of the
    // middle, TOVIRA 250 px right, ICON (140 x 140) centred, the panel at (0, 10); the poses of
    // the win, the loss and the false start, the last two dimmed by half.
    void thePicturesLieWhereTheScreensPutThem_data()
    {
        const QString k = "img/setsuna/KOHRU", t = "img/setsuna/TOVIRA";
        // clang-format off
        FlatPictures::table(
            {{0, {1020, 572}, "img/setsuna/TITLE"}, {0, {2, 12}, "img/setsuna/TITLE"},
             {0, {496, 261}, "img/setsuna/CURSOR"}, {0, {528, 298}, "img/setsuna/CURSOR"},
             {0, {494, 261}, "img/setsuna/TITLE"}, {0, {530, 300}, "img/setsuna/TITLE"},
             {7, {400, 260}, "img/setsuna/CURSOR"}, {7, {399, 260}, "img/setsuna/TITLE"},
             {1, {1020, 572}, "#383838"}, {3, {1020, 572}, "img/setsuna/BG"},
             {3, {140, 90}, k + "0"}, {3, {410, 486}, k + "0"}, {3, {110, 300}, "img/setsuna/BG"}, {3, {0, 300}, "img/setsuna/BG"}, {3, {500, 0}, "img/setsuna/BG"},
             {3, {260, 86}, "img/setsuna/BG"}, {3, {614, 90}, t + "0"}, {3, {910, 486}, t + "0"},
             {3, {914, 300}, "img/setsuna/BG"}, {3, {512, 288}, "img/setsuna/BG"},
             {3, {612, 88}, t + "0"}, {3, {911, 487}, t + "0"}, {3, {612, 87}, "img/setsuna/BG"},
             {3, {912, 487}, "img/setsuna/BG"}, {3, {411, 487}, k + "0"},
             {3, {411, 488}, "img/setsuna/BG"}, {4, {442, 218}, "img/setsuna/ICON"},
             {4, {581, 357}, "img/setsuna/ICON"}, {4, {442, 217}, "img/setsuna/BG"},
             {3, {2, 12}, "img/setsuna/SCORE"}, {3, {117, 117}, "img/setsuna/SCORE"},
             {4, {444, 220}, "img/setsuna/ICON"}, {4, {580, 356}, "img/setsuna/ICON"},
             {4, {440, 288}, "img/setsuna/BG"}, {5, {140, 90}, k + "1"}, {5, {910, 486}, t + "2"},
             {2, {140, 90}, k + "2@128"}, {2, {910, 486}, t + "1@128"},
             {2, {1020, 572}, "img/setsuna/BG@128"}, {6, {140, 90}, k + "2@128"},
             {6, {910, 486}, t + "0@128"}});
        // clang-format on
    }
    void thePicturesLieWhereTheScreensPutThem()
    {
        // Screens: 0 title, 1 question, 2 lost, 3 wait, 4 signal, 5 won, 6 early, 7 title with
        // "easy" pointed at.
        const auto [screen, at, shows] = FlatPictures::row();
        moveTo(QPointF(100, 100)); // a move from elsewhere, or no hover event is sent
        moveTo(buttonCentre(screen == 7 ? 0 : 1));
        if (screen == 1)
            key(Qt::Key_Escape);
        if (screen >= 2 && screen < 7)
            pointAndClick(buttonCentre(1));
        if (screen == 2 || screen == 4 || screen == 5)
            QVERIFY(playUntil([&] { return game->getDuel().isSignalShown(); }));
        if (screen == 2)
            QVERIFY(playUntil([&] { return game->getDuel().isRoundOver(); }, 2000));
        if (screen == 5 || screen == 6)
            press(QPointF(500, 500));
        const QImage shown = FlatPictures::paint(*game);
        if (screen == 2 || screen == 6)
            QVERIFY(FlatPictures::texts(*game).contains("残念！"));
        moveTo(QPointF(100, 100));
        QVERIFY(FlatPictures::shows(shown, at, shows));
    }

    // A score beyond any play (won duels have no ceiling) inks only on the panel's paper.
    void theWidestScoreStaysOnItsPanel()
    {
        const FlatPictures::Lift real(flat, [this] {
            cleanup();
            init();
        });
        pointAndClick(buttonCentre(2));
        showOnScorePanel(*game->getScore(), 99999999);
        frame();
        VERIFY_INK_ON_PANELS(*game, {{{0, 0, 140, 110},
                                      ":/img/setsuna/SCORE",
                                      {0, 10},
                                      scorePanelTexts(99999999, 99999999)}});
    }
};

QTEST_MAIN(TestSetsuna)
#include "tst_setsuna.moc"
