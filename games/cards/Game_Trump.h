#pragma once
// The playing-card sheet shared by the card games: loads ":/img/TRUMP" once per instance, cuts
// single cards out of it and offers the two random draws (rank, suit) the games use.
#include <QImage>
#include <QRect>
#include <QRectF>

class QPainter;

class Game_Trump
{
public:
    static constexpr int CardWidth = 113;
    static constexpr int CardHeight = 170;
    static constexpr int Columns = 9;
    static constexpr int JokerCell = 52;
    static constexpr int BackCell = 53;

    // Loads the sheet, then seeds the generator from the time of day ("mmssszzz").
    Game_Trump();
    virtual ~Game_Trump();

    Game_Trump(const Game_Trump &) = delete;
    Game_Trump &operator=(const Game_Trump &) = delete;

    // A copy of the card's cell; null when suit is outside 0..3 or rank outside 0..12.
    QImage cardImage(int suit, int rank) const;
    QImage jokerImage() const;
    // (0, 0, 113, 170): the size every game lays its cards out with.
    QRect cardRect() const;

    // rand() times the millisecond field read right after it, reduced to 0..12 or 0..3.
    int randomRank() const;
    int randomSuit() const;

    // Draws the card (or the joker) straight from the sheet into target, scaled if needed,
    // without copying a picture per card.
    void drawCard(QPainter *painter, const QRectF &target, int suit, int rank) const;
    void drawJoker(QPainter *painter, const QRectF &target) const;
    // The part of a face drawn one to one at target that is wholly opaque: what it hides. Empty
    // when the face would not be drawn.
    QRect solidPart(const QRect &target, int suit, int rank) const;

    // Sheet arithmetic: the cell of a face (-1 when out of range) and the rectangle of a cell.
    static int cellOf(int suit, int rank);
    static QRect cellRect(int cell);
    // The seed value of the time of day: its "mmssszzz" text read as a decimal number.
    static unsigned int timeSeed(const QTime &time);

private:
    // A copy of the decoded sheet, sharing its pixels.
    QImage sheet;
};
