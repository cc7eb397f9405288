#include "games/slide/Game_Slide.h"

#include "base/Shade.h"
#include "base/Game_GlyphCache.h"

#include "base/Clock.h"
#include "base/Random.h"
#include "base/Game_Countdown.h"
#include "games/frame/Game_Score.h"
#include "base/Picture.h"
#include "games/slide/Game_Slide_Board.h"
#include "sound/AudioSet.h"

#include <QDebug>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <cmath>

Game_Slide::Game_Slide()
{
    setName(QStringLiteral("Slide"));
    setPos(-2, -2);
}

Game_Slide::~Game_Slide()
{
    releaseResources();
}

void Game_Slide::releaseResources()
{
    delete background;
    background = nullptr;
    delete foreground;
    foreground = nullptr;
    delete scorePicture;
    scorePicture = nullptr;
    delete timerPicture;
    timerPicture = nullptr;
    delete remaining;
    remaining = nullptr;
    delete boardOrigin;
    boardOrigin = nullptr;
    delete boardSize;
    boardSize = nullptr;
    delete board;
    board = nullptr;
}

void Game_Slide::createResources()
{
    background = new QImage();
    foreground = new QImage();
    scorePicture = new QImage();
    timerPicture = new QImage();
    remaining = new Game_Countdown();
    remaining->start(QTime(0, 1, 0, 0), 0);
    boardOrigin = new QPoint(0, 0);
    boardSize = new QSize(3, 3);
    board = new Game_Slide_Board(boardSize->width(), boardSize->height());
}

void Game_Slide::initGame()
{
    if (!Picture::load(*background, QStringLiteral(":/img/slide/BG")))
        qDebug().noquote() << ":/img/slide/BG";
    if (!Picture::load(*foreground, QStringLiteral(":/img/slide/FG")))
        qDebug().noquote() << ":/img/slide/FG";
    if (!Picture::load(*scorePicture, QStringLiteral(":/img/slide/SCORE")))
        qDebug().noquote() << "imgReadError: /img/slide/SCORE";
    if (!Picture::load(*timerPicture, QStringLiteral(":/img/slide/TIMER")))
        qDebug().noquote() << "imgReadError: /img/slide/TIMER";
    setWidth(Picture::sizeOf(*background).width());
    setHeight(Picture::sizeOf(*background).height());

    const QTime now = Clock::currentTime();
    Random::seed(now.hour() + now.minute() + now.second() + now.msec());

    setAcceptHoverEvents(true);
    getScore()->setScore(0);
    setQuestionShown(false);
    setFocus(Qt::OtherFocusReason);

    remaining->setLastTick(Clock::monotonicMs());
    startFrameTimer();

    *boardOrigin = QPoint(163, 119);
    remaining->start(QTime(0, 1, 0, 0), remaining->getLastTick());
    // The score stays 0 until the first frame's clock step: a placeholder above the largest
    // real score would be reported, and kept as best, by a retry or exit before that frame.
    cleared = false;
    timeUp = false;

    board->reset();
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
    AudioSet *audio = AudioSet::getInstance();
    if (audio)
        audio->setSilent(true);
    board->shuffle();
    if (audio)
        audio->setSilent(false);
}

void Game_Slide::tryMove(int cell)
{
    const Game_Slide_Board::Move result = board->move(cell);
    AudioSet *audio = AudioSet::getInstance();
    if (!audio)
        return;
    if (result == Game_Slide_Board::Move::Moved)
        audio->playMove();
    else if (result == Game_Slide_Board::Move::Missed)
        audio->playMiss();
}

QRect Game_Slide::boardFrame() const
{
    return QRect(boardOrigin->x() - 1, boardOrigin->y() - 1, BoardWidth, BoardHeight);
}

QRect Game_Slide::cellRect(int index) const
{
    const int columns = boardSize->width(), rows = boardSize->height();
    const int w = static_cast<int>(double(BoardWidth) / columns - 1);
    const int h = static_cast<int>(double(BoardHeight) / rows - 1);
    const int c = index % columns, r = index / columns;
    return QRect(boardOrigin->x() + (w + 1) * c, boardOrigin->y() + (h + 1) * r, w, h);
}

int Game_Slide::cellAtPoint(const QPointF &p) const
{
    const double x = std::round(p.x()), y = std::round(p.y());
    const QRect f = boardFrame();
    // Edges included, so every accepted point maps to a cell of the board.
    if (x < f.left() || x > f.left() + f.width() || y < f.top() || y > f.top() + f.height())
        return -1;
    const int columns = boardSize->width(), rows = boardSize->height();
    const int column = static_cast<int>((x - boardOrigin->x()) / BoardWidth * columns);
    const int row = static_cast<int>((y - boardOrigin->y()) / BoardHeight * rows);
    if (column < 0 || column >= columns || row < 0 || row >= rows)
        return -1;
    return column + row * columns;
}

void Game_Slide::playMouseRelease(QGraphicsSceneMouseEvent *event)
{
    const int cell = cellAtPoint(event->scenePos());
    if (cell >= 0)
        tryMove(cell);
    // Runs wherever the click landed, so a board that starts solved is reported on any click.
    if (board->isSolved())
        cleared = true;
}

void Game_Slide::paintGame(QPainter *painter)
{
    if (!board)
        return;
    Picture::drawAtDeviceSize(painter, QPointF(0, 0), *background);
    if (cleared) {
        Shade::draw(painter, boundingRect(), 50);
        drawScorePanel(painter, *scorePicture);
        drawDialog(painter, tr("おめでとう！"), tr("もう一度"), tr("メニューに戻る"));
    } else if (timeUp) {
        Shade::draw(painter, boundingRect(), 200);
        drawScorePanel(painter, *scorePicture);
        drawDialog(painter, tr("残念！"), tr("もう一度"), tr("メニューに戻る"));
    } else {
        drawPlay(painter);
    }
}

void Game_Slide::drawPlay(QPainter *painter)
{
    const QBrush oldBrush = painter->brush();
    const QPen oldPen = painter->pen();
    painter->setPen(Qt::black);
    painter->setBrush(Qt::white);
    painter->drawRect(boardFrame());
    painter->setBrush(oldBrush);

    // Tiles are cut from the background, so the solved board shows the picture itself.
    for (int i = 0; i < board->cellCount(); ++i) {
        const int piece = board->cellAt(i);
        if (piece != Game_Slide_Board::Gap)
            Picture::drawPart(painter, cellRect(i), *background, cellRect(piece));
    }
    for (int i = 0; i < board->cellCount(); ++i)
        painter->drawRect(cellRect(i));
    painter->setPen(oldPen);

    Picture::drawAtDeviceSize(painter, QPointF(0, 0), *foreground);
    drawScorePanel(painter, *scorePicture);
    painter->drawImage(QPointF(120, 10), *timerPicture);
    QFont clockFont = getFont();
    clockFont.setPointSize(50);
    painter->setFont(clockFont);
    stepClock(painter);
}

int Game_Slide::pointsFor(const QTime &left)
{
    return static_cast<int>(15000 - PointsPerSecond * (60 - left.second()));
}

void Game_Slide::stepClock(QPainter *painter)
{
    const qint64 now = Clock::monotonicMs();
    remaining->advance(now);
    if (!timeUp)
        getScore()->setScore(pointsFor(remaining->getRemaining()));
    // Below zero the time of day wraps to 23:59, so a minute field of 2 or more means time up.
    if (remaining->getRemaining().minute() < 2) {
        remaining->setLastTick(now);
        Game_GlyphCache::drawText(painter,
                                  QRectF(180, 30, Picture::sizeOf(*timerPicture).width(),
                                         Picture::sizeOf(*timerPicture).height()),
                                  Qt::AlignLeft | Qt::AlignTop, remaining->text());
        return;
    }
    stopFrameTimer();
    timeUp = true;
    getScore()->setScore(0);
    update();
}

// Every frame starts with the puzzle picture.
QRectF Game_Slide::opaqueRect() const
{
    return board && !background->isNull() ? boundingRect() : QRectF();
}
