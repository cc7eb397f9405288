#pragma once
// Every picture of the art contract replaced by a flat colour of its own at its contract size,
// packed at test time into a resource file that the games load instead of resuorce.rcc. A screen
// painted with it says which picture shows at a point, whatever the art looks like. Overlays
// (".../FG", Shooting's BG02) keep only a 16 px frame inside their outermost pixel, so what lies
// under them still shows.
#include "games/frame/Game_Base.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QResource>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTransform>
#include <QtTest>
#include <functional>
#include <memory>
#include <tuple>

class FlatPictures
{
public:
    // Puts the flat set in place of the real pictures while it lives; pictures load afresh.
    // Every picture is there, so no screen may report one missing while the set is in place.
    FlatPictures();
    ~FlatPictures();
    FlatPictures(const FlatPictures &) = delete;
    // Lifts a test case's flat set for one test that needs the real pictures (their paper,
    // their ink) and puts it back when the test ends, however it ends; `restart` then sets the
    // test up again with the real pictures.
    struct Lift {
        std::unique_ptr<FlatPictures> &set;
        template <class Restart>
        Lift(std::unique_ptr<FlatPictures> &flat, Restart restart) : set(flat)
        {
            set.reset();
            restart();
        }
        ~Lift() { set = std::make_unique<FlatPictures>(); }
    };
    FlatPictures &operator=(const FlatPictures &) = delete;
    bool ok = false;
    static QtMessageHandler &previous();
    static QStringList &complaints();

    // The colour of a picture, by its resource path without ":/" ("img/updown/UP").
    static QRgb colour(const QString &path) { return colours().value(path); }
    // The picture whose colour is at p (under black of alpha dim, if given), or the pixel as
    // "#rrggbb" when none is.
    static QString at(const QImage &screen, QPoint p, int dim = 0);

    // A table of what shows where: the screen (0 play, 1 question, 2 result), the point, and
    // the picture (a prefix of its path) or the colour expected there.
    using Row = std::tuple<int, QPoint, QString>;
    static void table(const QList<Row> &rows);
    // The current row of the table: its screen, point and what must show there.
    struct Expected {
        int screen;
        QPoint at;
        QString shows;
    };
    static Expected row();
    // The game's pictures loaded again (from the set now in place) and a new play started.
    static void reload(Game_Base &game);
    // The picture is a pattern matched at the start of the path; "path@alpha" asks for the picture
    // under black of that alpha, "a&b" for a drawn at half opacity over b.
    static bool shows(const QImage &screen, QPoint p, const QString &picture);
    // The n-th draw (from 1) of the generator after seed: state * 214013 + 2531011, bits 16..30.
    static int draw(unsigned int seed, int n);
    // One text run a paint draws: where (through `transform`, from its baseline point `at`),
    // in which font and pen.
    struct DrawnText {
        QTransform transform;
        QPointF at;
        QFont font;
        QString text;
        QColor pen;
    };
    // The text runs `paint` draws, in order, on a device of the window's size that records
    // them; the painter's pen starts as `pen`.
    static QList<DrawnText> drawnTexts(const std::function<void(QPainter &)> &paint,
                                       const QColor &pen = Qt::black);
    // The texts an item draws in one paint, in order: no font needed to tell them apart.
    template <class Item> static QStringList texts(Item &item)
    {
        QStringList seen;
        for (const DrawnText &t :
             drawnTexts([&item](QPainter &painter) { item.paint(&painter, nullptr, nullptr); }))
            seen << t.text;
        return seen;
    }
    // The item painted on a white page, scaled as a full screen twice the window's size would.
    template <class Item> static QImage paint(Item &item, int scale = 1)
    {
        QImage page(1024 * scale, 576 * scale, QImage::Format_ARGB32_Premultiplied);
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.scale(scale, scale);
        item.paint(&painter, nullptr, nullptr);
        return page;
    }
    // The pixel of a page painted at twice the size that lies within the window's pixel p.
    static QPoint doubled(QPoint p) { return p * 2 + QPoint(1, 1); }

private:
    static QString real();
    static bool swap(const QString &out, const QString &in);
    static QHash<QString, QRgb> &colours();
    // Reads the contract, paints the pictures, and packs them once per run.
    static QString flatFile();
};
