#include "games/samegame/Game_SameGame.h"

#include "base/Shade.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "games/frame/Game_Score.h"
#include "base/Picture.h"
#include "games/samegame/Game_SameGame_Bar.h"
#include "games/samegame/Game_SameGame_Mass.h"

#include <QDebug>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QTime>
#include <QVector>

namespace
{
const char *const TilePaths[Game_SameGame::TileCount] = {
    ":/img/samegame/KOHRU0",  ":/img/samegame/TOVIRA0", ":/img/samegame/TAVEL0",
    ":/img/samegame/LUNETA0", ":/img/samegame/KOHRU1",  ":/img/samegame/TOVIRA1",
    ":/img/samegame/TAVEL1",  ":/img/samegame/LUNETA1",
};
} // namespace

Game_SameGame::Game_SameGame()
{
    setName(QStringLiteral("SameGame"));
    setPos(0, 0);
}

Game_SameGame::~Game_SameGame()
{
    releaseResources();
}

void Game_SameGame::releaseResources()
{
    delete background;
    background = nullptr;
    delete scorePicture;
    scorePicture = nullptr;
    delete timeBar;
    timeBar = nullptr;
    delete board;
    board = nullptr;
    delete[] tileImages;
    tileImages = nullptr;
    delete hoverCell;
    hoverCell = nullptr;
}

void Game_SameGame::createResources()
{
    background = new QImage();
    scorePicture = new QImage();
    timeBar = new Game_SameGame_Bar(10, 120, this);
    board = new Game_SameGame_Mass();
    tileImages = new QImage[TileCount];
    hoverCell = new QPoint(-1, -1);
}

void Game_SameGame::initGame()
{
    if (!Picture::load(*background, QStringLiteral(":/img/samegame/BG")))
        qDebug().noquote() << ":/img/samegame/BG";
    setWidth(Picture::sizeOf(*background).width());
    setHeight(Picture::sizeOf(*background).height());
    if (!Picture::load(*scorePicture, QStringLiteral(":/img/samegame/SCORE")))
        qDebug().noquote() << "imageLoadError/samegame/SCORE";

    timeBar->pause();
    connect(timeBar, &Game_SameGame_Bar::gameOver, this, &Game_SameGame::gameOver,
            Qt::UniqueConnection);
    setFocus(Qt::OtherFocusReason);

    const QTime now = Clock::currentTime();
    Random::seed(now.hour() + now.minute() + now.second() + now.msec());

    for (int i = 0; i < TileCount; ++i) {
        const QString path = QLatin1String(TilePaths[i]);
        if (!Picture::load(tileImages[i], path))
            qDebug().noquote() << "imageError:" + path;
    }

    getScore()->setScore(0);
    stageClear = false;
    timeOver = false;
    setAcceptHoverEvents(true);
    timeBar->setVisible(true);
    timeBar->resume();
    update();
}

void Game_SameGame::retryGame()
{
    board->regenerate();
    timeBar->resume();
    if (stageClear)
        timeBar->addStep(2);
    else if (timeOver)
        getScore()->resetScore();
    timeBar->resetLevel();
    stageClear = false;
    timeOver = false;
    update();
}

void Game_SameGame::pauseGame()
{
    timeBar->pause();
    timeBar->setVisible(false);
    Game_Base::pauseGame();
    update();
}

void Game_SameGame::resumeGame()
{
    timeBar->resume();
    timeBar->setVisible(true);
    Game_Base::resumeGame();
    update();
}

void Game_SameGame::exitGame()
{
    setQuestionShown(false);
    Game_Base::exitGame();
}

void Game_SameGame::stopTimers()
{
    Game_Base::stopTimers();
    if (timeBar)
        timeBar->pause();
}

void Game_SameGame::gameOver()
{
    timeOver = true;
    update();
}

QPoint Game_SameGame::cellAtPoint(const QPointF &p) const
{
    // An empty tile picture would make the cell size zero; the drawn cell size stands in.
    const QImage &tile = tileImages ? tileImages[0] : QImage();
    const int w = Picture::sizeOf(tile).width() > 0 ? Picture::sizeOf(tile).width() : CellSize;
    const int h = Picture::sizeOf(tile).height() > 0 ? Picture::sizeOf(tile).height() : CellSize;
    // Truncation toward zero: a point just left of or above the board maps to column or row 0.
    return QPoint(static_cast<int>((p.x() - PointerOriginX) / w),
                  static_cast<int>((p.y() - BoardY) / h));
}

QRectF Game_SameGame::drawnCellRect(int column, int row) const
{
    return QRectF(BoardX + CellSize * column, BoardY + CellSize * row, CellSize, CellSize);
}

void Game_SameGame::playMouseRelease(QGraphicsSceneMouseEvent *event)
{
    const QPoint cell = cellAtPoint(event->scenePos());
    // Outside the 15 x 8 grid (the score panel, the window edge) nothing is read or punished.
    if (!board->contains(cell.x(), cell.y()))
        return;
    clickCell(cell.x(), cell.y());
}

void Game_SameGame::clickCell(int column, int row)
{
    if (!board->isRemovable(column, row)) {
        timeBar->addPenalty();
        return;
    }
    const int removed = board->removeGroup(column, row);
    getScore()->addBaseScore(Game_SameGame_Mass::pointsFor(removed));
    getScore()->setScore(0);

    board->collapse();
    const int state = board->checkState();
    if (state != 2) {
        // The clear bonus counts at once, so leaving or running out right after a clear keeps it.
        if (state == 0) {
            getScore()->addBaseScore(1000);
            getScore()->setScore(0);
        }
        stageClear = true;
        retryGame();
    }
    if (removed > 4)
        timeBar->halve();
    update();
}

void Game_SameGame::playHoverMove(QGraphicsSceneHoverEvent *event)
{
    const QPoint cell = cellAtPoint(event->scenePos());
    if (cell.x() >= 0 && cell.x() < board->getColumns())
        hoverCell->setX(cell.x());
    if (cell.y() >= 0 && cell.y() < board->getRows())
        hoverCell->setY(cell.y());
}

void Game_SameGame::hoverLeaveEvent(QGraphicsSceneHoverEvent *)
{
    if (hoverCell)
        *hoverCell = QPoint(-1, -1);
}

void Game_SameGame::paintGame(QPainter *painter)
{
    if (!board)
        return;
    // The board only changes when a click takes tiles away: it is drawn once into a picture
    // that every frame copies, dimmed once more for the retry question.
    const QRectF screen(-2, -2, getWidth() + 2, getHeight() + 2);
    if (timeOver) {
        backdrop.draw(painter, screen, qHashMulti(boardKey(), timeOver), [this](QPainter *p) {
            drawBoard(p);
            Shade::draw(p, boundingRect(), 200);
        });
        drawDialog(painter, tr("やり直しますか？"), tr("はい"), tr("メニューに戻る"));
    } else {
        backdrop.draw(painter, screen, boardKey(), [this](QPainter *p) { drawBoard(p); });
        if (hoverCell->x() >= 0 && hoverCell->y() >= 0) {
            const int kind = board->cellAt(hoverCell->x(), hoverCell->y());
            if (kind != Game_SameGame_Mass::Empty) {
                QVector<QPoint> group;
                board->collectGroup(hoverCell->x(), hoverCell->y(), group);
                for (const QPoint &p : group)
                    painter->drawImage(drawnCellRect(p.x(), p.y()), tileImages[kind + 4]);
            }
        }
    }
    drawScorePanel(painter, *scorePicture);
}

void Game_SameGame::drawBoard(QPainter *painter) const
{
    painter->drawImage(QPointF(-2, -2), *background);
    for (int i = 0; i < board->cellCount(); ++i) {
        const int kind = board->cellAt(i);
        if (kind != Game_SameGame_Mass::Empty)
            painter->drawImage(drawnCellRect(i % board->getColumns(), i / board->getColumns()),
                               tileImages[kind]);
    }
}

size_t Game_SameGame::boardKey() const
{
    size_t key = qHash(background->cacheKey());
    for (int i = 0; i < board->cellCount(); ++i)
        key = qHashMulti(key, board->cellAt(i));
    return key;
}

// Every frame starts with the board picture, drawn two pixels up and left.
QRectF Game_SameGame::opaqueRect() const
{
    return board && !background->isNull()
               ? QRectF(QPointF(-2, -2), Picture::sizeOf(*background)).intersected(boundingRect())
               : QRectF();
}
