#pragma once
// A card game on a real, active graphics view for the tests: the wall clock is the test's, the
// frames are painted by the test, and clicks and keys go through the view as real events.
#include "FlatPictures.h"
#include "GameHarness.h"
#include "InkOffPaper.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "games/frame/Game_Score.h"

#include <QPainter>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

// The generator's next n draws after seeding with s; it is left seeded with s again, so a rule
// run next takes the same draws.
inline QVector<int> drawsAfter(unsigned s, int n)
{
    Random::seed(s);
    QVector<int> d(n);
    for (int &v : d)
        v = Random::draw();
    Random::seed(s);
    return d;
}

// The seeds that the draw-by-draw tests run with, as rows of a "seed" column.
inline void seedRows()
{
    QTest::addColumn<unsigned>("seed");
    for (unsigned seed : {1u, 2u, 77u, 4242u})
        QTest::addRow("seed %u", seed) << seed;
}

template <class Game> class CardTable : public GameView
{
public:
    static inline QTime now;

    static bool setUpOnce()
    {
        GameHarness::followClock(now);
        return GameHarness::loadArt() && GameHarness::loadFont();
    }

    explicit CardTable(const QTime &start)
    {
        now = start;
        game = new Game();
        active = open(game);
    }

    // Points at a dialog button (the hit test takes the scene position) and clicks it.
    void clickButton(const QRectF &button) { pointAndClick(button.center()); }

    // One painted frame, the wall clock moving on by ms first; texts drawn in the painter's pen
    // come out in `pen`.
    QImage frame(int ms = 16, const QColor &pen = Qt::black)
    {
        now = now.addMSecs(ms);
        return GameHarness::paint(*game, QSize(), Qt::white, pen);
    }

    // What a result screen with this title looks like: black, the score panel, the dialog.
    QImage result(const QString &scorePanel, const QString &title)
    {
        QImage image(game->getWidth(), game->getHeight(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.fillRect(game->boundingRect(), Qt::black);
        game->drawScorePanel(
            &painter, QImage(scorePanel).convertToFormat(QImage::Format_ARGB32_Premultiplied));
        game->drawDialog(&painter, title, QStringLiteral("もう一度"),
                         QStringLiteral("メニューに戻る"));
        return image;
    }

    Game *game = nullptr;
    bool active = false;
};

// What a card game's test case holds: the flat pictures in place of the real ones, and the
// table dealt afresh for each test.
template <class Game> struct CardTest {
    std::unique_ptr<CardTable<Game>> table;
    Game *game = nullptr;
    std::unique_ptr<FlatPictures> flat;

    bool setUpOnce()
    {
        if (!CardTable<Game>::setUpOnce())
            return false;
        flat = std::make_unique<FlatPictures>();
        return flat->ok;
    }
    // A fresh table whose wall clock starts at `start`; false if its view never became active.
    bool deal(const QTime &start)
    {
        table = std::make_unique<CardTable<Game>>(start);
        game = table->game;
        return table->active;
    }
    // A retried play with this best score, left through Escape and Space, sends the game's name
    // and the best to the menu as the spy's second signal.
    void verifyEscapeSpaceLeaves(const QSignalSpy &ended, const QString &name, int best)
    {
        game->getScore()->setBest(best);
        game->retryGame();
        table->key(Qt::Key_Escape);
        table->key(Qt::Key_Space);
        QCOMPARE(ended.count(), 2);
        QCOMPARE(ended.at(1).at(0).toString(), name);
        QCOMPARE(ended.at(1).at(1).toInt(), best);
    }
};
