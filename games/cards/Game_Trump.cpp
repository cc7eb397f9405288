#include "games/cards/Game_Trump.h"

#include "base/Clock.h"
#include "base/Picture.h"
#include "base/Random.h"

#include <QDebug>
#include <QHash>
#include <QPainter>
#include <QTime>
#include <cmath>
#include <vector>

namespace
{
// The sheet as first decoded. Every instance takes a copy, which shares its pixels (nothing
// writes to a sheet), so a new instance costs no decoding: the slot machine makes one per reel
// in the middle of a play, where decoding took several frames.
QImage &decodedSheet()
{
    // The double-size sheet, once in use, and another language's are kept apart from the one
    // decoded before.
    static QHash<QString, QImage> sheets;
    return sheets[Picture::currentSet()];
}
// A cell's rectangle in the sheet's own pixels.
QRect pixelRect(const QImage &sheet, int cell)
{
    const int ratio = qRound(sheet.devicePixelRatio());
    const QRect r = Game_Trump::cellRect(cell);
    return QRect(r.topLeft() * ratio, r.size() * ratio);
}
// Each cell of the sheet as a picture of its own, cut once per sheet: drawn at a scale, a card is
// kept at its size on the device under the same picture from frame to frame.
const QImage &cellPicture(const QImage &sheet, int cell)
{
    static qint64 cutFrom = 0;
    static QImage cells[Game_Trump::BackCell + 1];
    if (cutFrom != sheet.cacheKey()) {
        for (QImage &picture : cells)
            picture = QImage();
        cutFrom = sheet.cacheKey();
    }
    if (cells[cell].isNull())
        cells[cell] = sheet.copy(pixelRect(sheet, cell));
    return cells[cell];
}
// The rows that are opaque from edge to edge in every face of the decoded sheet: the faces are
// drawn alike, so only the rounded corners' rows are left out.
QRect faceMiddle(const QImage &sheet)
{
    static qint64 measuredFor = 0;
    static QRect middle;
    if (measuredFor == sheet.cacheKey())
        return middle;
    const int ratio = qRound(sheet.devicePixelRatio());
    const int height = Game_Trump::CardHeight * ratio;
    std::vector<char> rowClear(height);
    for (int suit = 0; suit < 4; ++suit)
        for (int rank = 0; rank < 13; ++rank) {
            const QRect cell = pixelRect(sheet, Game_Trump::cellOf(suit, rank));
            for (int y = 0; y < cell.height(); ++y) {
                const QRgb *row =
                    reinterpret_cast<const QRgb *>(sheet.constScanLine(cell.top() + y)) +
                    cell.left();
                for (int x = 0; x < cell.width() && !rowClear[y]; ++x)
                    rowClear[y] = qAlpha(row[x]) != 255;
            }
        }
    // The longest run of opaque rows.
    int bestTop = 0, bestRows = 0;
    for (int y = 0; y < height;) {
        if (rowClear[y]) {
            ++y;
            continue;
        }
        const int top = y;
        while (y < height && !rowClear[y])
            ++y;
        if (y - top > bestRows) {
            bestTop = top;
            bestRows = y - top;
        }
    }
    // In the scene's units, only whole rows that are opaque throughout.
    const int top = (bestTop + ratio - 1) / ratio, bottom = (bestTop + bestRows) / ratio;
    middle = bottom > top ? QRect(0, top, Game_Trump::CardWidth, bottom - top) : QRect();
    measuredFor = sheet.cacheKey();
    return middle;
}
} // namespace

Game_Trump::Game_Trump()
{
    QImage &decoded = decodedSheet();
    if (decoded.isNull() && !Picture::load(decoded, QStringLiteral(":/img/TRUMP")))
        qDebug() << "imageReaderror: /img/TRUMP";
    sheet = decoded;
    Random::seed(timeSeed(Clock::currentTime()));
}

Game_Trump::~Game_Trump() = default;

unsigned int Game_Trump::timeSeed(const QTime &time)
{
    return time.toString(QStringLiteral("mmssszzz")).toUInt();
}

int Game_Trump::cellOf(int suit, int rank)
{
    if (suit < 0 || suit > 3 || rank < 0 || rank > 12)
        return -1;
    return 4 * (12 - rank) + suit;
}

QRect Game_Trump::cellRect(int cell)
{
    const int x = int(std::lround(double(cell % Columns) * CardWidth));
    const int y = int(std::lround(double(cell / Columns) * CardHeight));
    return QRect(x, y, CardWidth, CardHeight);
}

QImage Game_Trump::cardImage(int suit, int rank) const
{
    const int cell = cellOf(suit, rank);
    if (cell < 0)
        return QImage();
    return sheet.copy(pixelRect(sheet, cell));
}

QImage Game_Trump::jokerImage() const
{
    return sheet.copy(pixelRect(sheet, JokerCell));
}

QRect Game_Trump::cardRect() const
{
    return QRect(0, 0, CardWidth, CardHeight);
}

int Game_Trump::randomRank() const
{
    return Random::drawTimes(Clock::currentTime().msec(), 13);
}

int Game_Trump::randomSuit() const
{
    return Random::drawTimes(Clock::currentTime().msec(), 4);
}

void Game_Trump::drawCard(QPainter *painter, const QRectF &target, int suit, int rank) const
{
    const int cell = cellOf(suit, rank);
    if (cell < 0 || sheet.isNull())
        return;
    // Scaled to the device (full screen, a high-density screen), the card is kept at its size
    // there; one to one it is copied straight from the sheet.
    if (target.size() == QSizeF(cardRect().size()) &&
        painter->deviceTransform().type() == QTransform::TxScale)
        Picture::drawAtDeviceSize(painter, target.topLeft(), cellPicture(sheet, cell));
    else
        painter->drawImage(target, sheet, pixelRect(sheet, cell));
}

QRect Game_Trump::solidPart(const QRect &target, int suit, int rank) const
{
    if (cellOf(suit, rank) < 0 || sheet.isNull() || target.size() != cardRect().size())
        return QRect();
    const QRect middle = faceMiddle(sheet);
    return middle.isEmpty() ? QRect() : middle.translated(target.topLeft());
}

void Game_Trump::drawJoker(QPainter *painter, const QRectF &target) const
{
    if (!sheet.isNull())
        painter->drawImage(target, sheet, pixelRect(sheet, JokerCell));
}
