#include "games/slide/Game_Slide.h"

#include "base/Game_GlyphCache.h"
#include "base/Keys.h"
#include "base/Shade.h"

#include "base/Clock.h"
#include "base/Picture.h"
#include "base/Random.h"
#include "games/frame/Game_Score.h"
#include "sound/AudioSet.h"

#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <cmath>

Game_Slide::Game_Slide() : Game_Base(QStringLiteral("Slide")) {}

void Game_Slide::releaseResources()
{
    pictures.reset();
}

void Game_Slide::createResources()
{
    pictures.emplace();
    remaining.start(0);
    boardOrigin = QPoint(0, 0);
    boardSize = QSize(3, 3);
    board = Game_Slide_Board(boardSize.width(), boardSize.height());
}

void Game_Slide::loadPictures()
{
    Picture::load(pictures->background, QStringLiteral(":/img/slide/BG"),
                  QStringLiteral(":/img/slide/BG"));
    Picture::load(pictures->foreground, QStringLiteral(":/img/slide/FG"),
                  QStringLiteral(":/img/slide/FG"));
    Picture::load(pictures->score, QStringLiteral(":/img/slide/SCORE"),
                  QStringLiteral("imgReadError: /img/slide/SCORE"));
    Picture::load(pictures->timer, QStringLiteral(":/img/slide/TIMER"),
                  QStringLiteral("imgReadError: /img/slide/TIMER"));
}

void Game_Slide::initGame()
{
    loadPictures();
    setWidth(Picture::sizeOf(pictures->background).width());
    setHeight(Picture::sizeOf(pictures->background).height());

    const QTime now = Clock::currentTime();
    Random::seed(now.hour() + now.minute() + now.second() + now.msec());

    getScore()->setScore(0);
    setQuestionShown(false);
    setFocus(Qt::OtherFocusReason);

    remaining.start(Clock::monotonicMs());
    startFrameTimer();

    boardOrigin = QPoint(163, 119);
    // The score stays 0 until the first frame's clock step: a placeholder above the largest
    // real score would be reported, and kept as best, by a retry or exit before that frame.
    cleared = false;
    timeUp = false;

    board.reset();
    shuffle();
    update();
}

void Game_Slide::exitGame()
{
    // Only a solved puzzle earns its points; leaving an unsolved one (or running out) scores 0,
    // so quitting never pays more than solving.
    if (!cleared)
        getScore()->setScore(0);
    Game_Base::exitGame();
}

bool Game_Slide::isTimerRunning() const
{
    return isFrameTimerActive();
}

void Game_Slide::shuffle()
{
    setSoundSilent(true);
    board.shuffle();
    setSoundSilent(false);
}

void Game_Slide::tryMove(int cell)
{
    const Game_Slide_Board::Move result = board.move(cell);
    if (result == Game_Slide_Board::Move::Moved)
        playSound(&AudioSet::playMove);
    else if (result == Game_Slide_Board::Move::Missed)
        playSound(&AudioSet::playMiss);
}

QRect Game_Slide::boardFrame() const
{
    return QRect(boardOrigin.x() - 1, boardOrigin.y() - 1, BoardWidth, BoardHeight);
}

QRect Game_Slide::cellRect(int index) const
{
    const int columns = boardSize.width(), rows = boardSize.height();
    const int w = static_cast<int>(double(BoardWidth) / columns - 1);
    const int h = static_cast<int>(double(BoardHeight) / rows - 1);
    const int c = index % columns, r = index / columns;
    return QRect(boardOrigin.x() + (w + 1) * c, boardOrigin.y() + (h + 1) * r, w, h);
}

int Game_Slide::cellAtPoint(const QPointF &p) const
{
    const double x = std::round(p.x()), y = std::round(p.y());
    const QRect f = boardFrame();
    // Edges included, so every accepted point maps to a cell of the board.
    if (x < f.left() || x > f.left() + f.width() || y < f.top() || y > f.top() + f.height())
        return -1;
    const int columns = boardSize.width(), rows = boardSize.height();
    const int column = static_cast<int>((x - boardOrigin.x()) / BoardWidth * columns);
    const int row = static_cast<int>((y - boardOrigin.y()) / BoardHeight * rows);
    if (column < 0 || column >= columns || row < 0 || row >= rows)
        return -1;
    return column + row * columns;
}

void Game_Slide::playKeyRelease(QKeyEvent *event)
{
    const QPoint step = Keys::arrowStep(event->key());
    const int gap = board.gapIndex(), columns = board.getColumns();
    // The tile that moves lies on the far side of the gap from where the arrow points.
    const int column = gap % columns - step.x(), row = gap / columns - step.y();
    if (step.isNull())
        return;
    if (column >= 0 && column < columns && row >= 0 && row < board.getRows())
        tryMove(row * columns + column);
    if (board.isSolved())
        cleared = true;
}

void Game_Slide::playMouseRelease(QGraphicsSceneMouseEvent *event)
{
    const int cell = cellAtPoint(event->scenePos());
    if (cell >= 0)
        tryMove(cell);
    // Runs wherever the click landed, so a board that starts solved is reported on any click.
    if (board.isSolved())
        cleared = true;
}

void Game_Slide::paintGame(QPainter *painter)
{
    if (!pictures)
        return;
    Picture::drawAtDeviceSize(painter, QPointF(0, 0), pictures->background);
    if (!cleared && !timeUp) {
        paintPlay(painter);
        return;
    }
    // The completed picture shows through a light dim; time up darkens it.
    Shade::draw(painter, boundingRect(), cleared ? 50 : 200);
    drawResult(painter, pictures->score, cleared ? tr("おめでとう！") : Game_Base::tr("残念！"));
}

void Game_Slide::paintPlay(QPainter *painter)
{
    drawBoard(painter);
    drawPanels(painter);
    if (stepClock())
        drawClock(painter);
}

void Game_Slide::drawBoard(QPainter *painter)
{
    const QBrush oldBrush = painter->brush();
    const QPen oldPen = painter->pen();
    painter->setPen(Qt::black);
    painter->setBrush(Qt::white);
    painter->drawRect(boardFrame());
    painter->setBrush(oldBrush);

    // Tiles are cut from the background, so the solved board shows the picture itself.
    for (int i = 0; i < board.cellCount(); ++i) {
        const int piece = board.cellAt(i);
        if (piece != Game_Slide_Board::Gap)
            Picture::drawPart(painter, cellRect(i), pictures->background, cellRect(piece));
    }
    for (int i = 0; i < board.cellCount(); ++i)
        painter->drawRect(cellRect(i));
    painter->setPen(oldPen);
}

void Game_Slide::drawPanels(QPainter *painter)
{
    Picture::drawAtDeviceSize(painter, QPointF(0, 0), pictures->foreground);
    drawScorePanel(painter, pictures->score);
    painter->drawImage(QPointF(120, 10), pictures->timer);
    QFont clockFont = getFont();
    clockFont.setPointSize(50);
    painter->setFont(clockFont);
}

bool Game_Slide::stepClock()
{
    const bool running = remaining.step(Clock::monotonicMs());
    getScore()->setScore(remaining.points());
    if (running)
        return true;
    stopFrameTimer();
    timeUp = true;
    getScore()->setScore(0);
    update();
    return false;
}

void Game_Slide::drawClock(QPainter *painter)
{
    const QSize size = Picture::sizeOf(pictures->timer);
    Game_GlyphCache::drawText(painter, QRectF(180, 30, size.width(), size.height()),
                              Qt::AlignLeft | Qt::AlignTop, remaining.getCountdown().text());
}

// Every frame starts with the puzzle picture.
QRectF Game_Slide::opaqueRect() const
{
    return pictures && !pictures->background.isNull() ? boundingRect() : QRectF();
}
