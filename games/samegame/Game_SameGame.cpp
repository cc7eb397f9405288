#include "games/samegame/Game_SameGame.h"

#include "base/Clock.h"
#include "base/Keys.h"
#include "base/Picture.h"
#include "base/Random.h"
#include "base/Shade.h"
#include "games/samegame/Game_SameGame_Bar.h"
#include "games/samegame/Game_SameGame_Mass.h"
#include "games/samegame/Game_SameGame_Rules.h"

#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
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

Game_SameGame::Game_SameGame() : Game_Base(QStringLiteral("SameGame"), QPointF(0, 0)) {}

Game_SameGame::~Game_SameGame() = default;

void Game_SameGame::releaseResources()
{
    pictures = Pictures();
    timeBar.reset();
    rules.reset();
    hoverCell = QPoint(-1, -1);
}

void Game_SameGame::createResources()
{
    // The play deals its first board here, seeding the generator.
    rules = std::make_unique<Game_SameGame_Rules>(*getScore());
    timeBar = std::make_unique<Game_SameGame_Bar>(10, 120, this, rules->getLevel());
    hoverCell = QPoint(-1, -1);
}

void Game_SameGame::initGame()
{
    Picture::load(pictures.background, QStringLiteral(":/img/samegame/BG"),
                  QStringLiteral(":/img/samegame/BG"));
    setWidth(Picture::sizeOf(pictures.background).width());
    setHeight(Picture::sizeOf(pictures.background).height());
    Picture::load(pictures.scorePicture, QStringLiteral(":/img/samegame/SCORE"),
                  QStringLiteral("imageLoadError/samegame/SCORE"));

    timeBar->pause();
    connect(timeBar.get(), &Game_SameGame_Bar::gameOver, this, &Game_SameGame::gameOver,
            Qt::UniqueConnection);
    connect(timeBar.get(), &Game_SameGame_Bar::ticked, this, &Game_SameGame::barTicked,
            Qt::UniqueConnection);
    lastSeconds.reset();
    setFocus(Qt::OtherFocusReason);

    const QTime now = Clock::currentTime();
    Random::seed(now.hour() + now.minute() + now.second() + now.msec());
    loadTiles();

    rules->start();
    timeBar->setVisible(true);
    timeBar->resume();
    update();
}

void Game_SameGame::loadTiles()
{
    for (int i = 0; i < TileCount; ++i) {
        const QString path = QLatin1String(TilePaths[i]);
        Picture::load(pictures.tiles[i], path, QStringLiteral("imageError:") + path);
    }
}

void Game_SameGame::retryGame()
{
    lastSeconds.reset();
    rules->nextBoard();
    timeBar->resume();
    timeBar->update();
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

void Game_SameGame::barTicked()
{
    if (rules && lastSeconds.pass(rules->getLevel().msLeft(Game_SameGame_Bar::TickMs)))
        playEffect(AudioSet::Effect::LastSeconds);
}

void Game_SameGame::gameOver()
{
    rules->setTimeOver();
    update();
}

Game_SameGame_Mass *Game_SameGame::getBoard() const
{
    return rules ? &rules->getBoard() : nullptr;
}

bool Game_SameGame::isTimeOver() const
{
    return rules && rules->isTimeOver();
}

bool Game_SameGame::isPlaying() const
{
    return !rules || rules->isPlaying();
}

QPoint Game_SameGame::cellAtPoint(const QPointF &p) const
{
    // An empty tile picture would make the cell size zero; the drawn cell size stands in.
    const QImage &tile = pictures.tiles[0];
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
    if (!rules->getBoard().contains(cell.x(), cell.y()))
        return;
    clickCell(cell.x(), cell.y());
}

void Game_SameGame::clickCell(int column, int row)
{
    // A finished board is replaced within the click, with no question between the boards.
    const Game_SameGame_Rules::Click click = rules->click(column, row);
    if (click.penalty)
        playEffect(AudioSet::Effect::LoneTile);
    else if (click.removed > 4)
        playEffect(AudioSet::Effect::GroupRemovedLarge);
    else if (click.removed > 0)
        playEffect(AudioSet::Effect::GroupRemovedSmall);
    if (click.newBoard) {
        playEffect(AudioSet::Effect::BoardCleared);
        lastSeconds.reset();
        timeBar->resume();
    }
    timeBar->update();
    update();
}

void Game_SameGame::playKeyRelease(QKeyEvent *event)
{
    const QPoint step = Keys::arrowStep(event->key());
    if (!step.isNull()) {
        // The first arrow puts the cursor on the top-left tile.
        const QPoint moved =
            hoverCell.x() < 0 || hoverCell.y() < 0 ? QPoint(0, 0) : hoverCell + step;
        hoverCell = QPoint(qBound(0, moved.x(), Game_SameGame_Mass::Columns - 1),
                           qBound(0, moved.y(), Game_SameGame_Mass::Rows - 1));
        keyCursor = true;
        update();
        return;
    }
    const bool take = (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
                       event->key() == Qt::Key_Enter) &&
                      !Keys::isShortcut(*event);
    if (take && rules->getBoard().contains(hoverCell.x(), hoverCell.y()))
        clickCell(hoverCell.x(), hoverCell.y());
}

void Game_SameGame::playHoverMove(QGraphicsSceneHoverEvent *event)
{
    keyCursor = false;
    const QPoint cell = cellAtPoint(event->scenePos());
    if (cell.x() >= 0 && cell.x() < Game_SameGame_Mass::Columns)
        hoverCell.setX(cell.x());
    if (cell.y() >= 0 && cell.y() < Game_SameGame_Mass::Rows)
        hoverCell.setY(cell.y());
}

void Game_SameGame::hoverLeaveEvent(QGraphicsSceneHoverEvent *)
{
    hoverCell = QPoint(-1, -1);
}

void Game_SameGame::paintGame(QPainter *painter)
{
    if (!rules)
        return;
    // The board only changes when a click takes tiles away: it is drawn once into a picture
    // that every frame copies, dimmed once more for the retry question.
    const QRectF screen(-2, -2, getWidth() + 2, getHeight() + 2);
    if (rules->isTimeOver()) {
        backdrop.draw(painter, screen, qHashMulti(boardKey(), true), [this](QPainter *p) {
            drawBoard(p);
            Shade::draw(p, boundingRect(), 200);
        });
        drawDialog(painter, tr("やり直しますか？"), Game_Base::tr("はい"),
                   Game_Base::tr("メニューに戻る"));
    } else {
        backdrop.draw(painter, screen, boardKey(), [this](QPainter *p) { drawBoard(p); });
        drawHoveredGroup(painter);
        drawKeyCursor(painter);
    }
    drawScorePanel(painter, pictures.scorePicture);
}

void Game_SameGame::drawHoveredGroup(QPainter *painter) const
{
    if (hoverCell.x() < 0 || hoverCell.y() < 0)
        return;
    const Game_SameGame_Mass &board = rules->getBoard();
    const int kind = board.cellAt(hoverCell.x(), hoverCell.y());
    if (kind == Game_SameGame_Mass::Empty)
        return;
    QVector<QPoint> group;
    board.collectGroup(hoverCell.x(), hoverCell.y(), group);
    for (const QPoint &p : group)
        painter->drawImage(drawnCellRect(p.x(), p.y()), pictures.tiles[kind + 4]);
}

void Game_SameGame::drawKeyCursor(QPainter *painter) const
{
    if (!keyCursor || hoverCell.x() < 0 || hoverCell.y() < 0)
        return;
    // A gold frame with a dark edge reads over every tile and over an empty cell.
    const QRectF cell = drawnCellRect(hoverCell.x(), hoverCell.y()).adjusted(3, 3, -3, -3);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(QColor(0x2b, 0x1d, 0x2e), 7));
    painter->drawRoundedRect(cell, 8, 8);
    painter->setPen(QPen(QColor(0xff, 0xd2, 0x3f), 4));
    painter->drawRoundedRect(cell, 8, 8);
    painter->restore();
}

void Game_SameGame::drawBoard(QPainter *painter) const
{
    const Game_SameGame_Mass &board = rules->getBoard();
    painter->drawImage(QPointF(-2, -2), pictures.background);
    for (int i = 0; i < board.cellCount(); ++i) {
        const int kind = board.cellAt(i);
        if (kind != Game_SameGame_Mass::Empty)
            painter->drawImage(drawnCellRect(i % board.getColumns(), i / board.getColumns()),
                               pictures.tiles[kind]);
    }
}

size_t Game_SameGame::boardKey() const
{
    const Game_SameGame_Mass &board = rules->getBoard();
    size_t key = qHash(pictures.background.cacheKey());
    for (int i = 0; i < board.cellCount(); ++i)
        key = qHashMulti(key, board.cellAt(i));
    return key;
}

// Every frame starts with the board picture, drawn two pixels up and left.
QRectF Game_SameGame::opaqueRect() const
{
    return rules && !pictures.background.isNull()
               ? QRectF(QPointF(-2, -2), Picture::sizeOf(pictures.background))
                     .intersected(boundingRect())
               : QRectF();
}
