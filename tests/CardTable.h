#pragma once
// A card game on a real, active graphics view for the tests: the wall clock is the test's, the
// frames are painted by the test, and clicks and keys go through the view as real events.
#include "InkOffPaper.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "games/frame/Game_Score.h"

#include <QFontDatabase>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPainter>
#include <QResource>
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

template <class Game> class CardTable
{
public:
    static inline QTime now;

    static bool setUpOnce()
    {
        Clock::setTimeSource([] { return now; });
        // The game clocks run on the monotonic clock; here it follows the test's time of day.
        Clock::setMonotonicSource([] { return qint64(QTime(0, 0).msecsTo(now)); });
        if (!QResource::registerResource(QStringLiteral(TOVIRA_GAME_DIR "/resuorce.rcc")))
            return false;
        return QFontDatabase::addApplicationFont(QStringLiteral(":/font/tanuki")) >= 0;
    }

    explicit CardTable(const QTime &start)
    {
        now = start;
        scene = std::make_unique<QGraphicsScene>(0, 0, 1020, 572);
        view = std::make_unique<QGraphicsView>(scene.get());
        view->setFixedSize(1024, 576);
        view->show();
        active = QTest::qWaitForWindowActive(view.get());
        game = new Game();
        scene->addItem(game);
        game->getScore()->setBest(0);
        game->getScore()->resetScore();
        game->createResources();
        game->initGame();
        game->stopTimers(); // the test paints the frames itself
    }

    void click(QPointF scenePoint)
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(scenePoint));
    }
    // Points at a dialog button (the hit test takes the scene position) and clicks it.
    void clickButton(const QRectF &button)
    {
        const QPoint p = view->mapFromScene(button.center());
        QTest::mouseMove(view->viewport(), p);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, p);
    }
    void key(Qt::Key k) { QTest::keyClick(view.get(), k); }

    // One painted frame, the wall clock moving on by ms first; texts drawn in the painter's pen
    // come out in `pen`.
    QImage frame(int ms = 16, const QColor &pen = Qt::black)
    {
        now = now.addMSecs(ms);
        QImage image(game->getWidth(), game->getHeight(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(pen);
        game->paint(&painter, nullptr, nullptr);
        return image;
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

    std::unique_ptr<QGraphicsScene> scene;
    std::unique_ptr<QGraphicsView> view;
    Game *game = nullptr;
    bool active = false;
};
