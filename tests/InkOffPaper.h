#pragma once
// Texts on their panels: two frames of the same play that differ only in the colour of the texts
// differ exactly in the texts' ink, which must lie on the cream field of the panel picture drawn
// for it and inside the window.
#include "games/frame/Game_Base.h"
#include "games/frame/Game_Score.h"

#include <QGraphicsItem>
#include <QImage>
#include <QList>
#include <QStringList>
#include <QTransform>
#include <initializer_list>

// Both lines of the score panel show v, and go on showing it while the play earns nothing.
void showOnScorePanel(Game_Score &score, int v);

// A text where the screen's description puts it: the game font at this point size, drawn in
// `rect` with these alignment flags.
struct InkText {
    int pointSize;
    QRectF rect;
    int flags;
    QString text;
};
// The texts drawn as described, in white on a transparent page of `size`, through `toPage`.
QImage drawnAsDescribed(const QGraphicsItem &game, QSize size, const QList<InkText> &texts,
                        const QTransform &toPage = QTransform());

// The two lines of the score panel, centred in (20, 40, 90, 20) and (20, 70, 90, 20) at 12 points.
QList<InkText> scorePanelTexts(int best, int score);

// Says where the ink in which a and b differ inside `area` leaves the paper of the panel picture
// drawn at `at`, or the 1020 x 572 window; empty when it stays on it. Given the texts, the ink must
// also cover what they cover when drawn as described, to 2 px.
QString inkOffPaper(const QGraphicsItem &game, const QImage &a, const QImage &b, const QRect &area,
                    const QString &panel, QPoint at, const QList<InkText> &texts = {});

// A panel whose texts are checked: the part of the frame they may change, its picture and place,
// and where its texts belong.
struct InkPanel {
    QRect area;
    QString picture;
    QPoint at;
    QList<InkText> texts = {};
};

// Where the dialog with these three texts, drawn alone on black, writes white inside `area`,
// `shown` must be at least `light` by `level`: the number of such pixels, or -1 at the first that
// is darker.
int dialogInkShown(Game_Base &game, const QImage &shown, const QStringList &texts,
                   const QRect &area, int light, int (*level)(QRgb));

// Where the texts the item draws in colours of their own (not in the painter's pen) leave ink, on
// a page of `size` with the item drawn through `toPage`: each pixel holds the number of its line
// (from 1; runs on one baseline in one size are one line), 0 where none inks.
QImage ownColourTextLines(QGraphicsItem &item, const QTransform &toPage, QSize size);

// Paints the play with its texts in black, then in white; says which panel's texts leave it.
QString inkOffPanels(QGraphicsItem &game, std::initializer_list<InkPanel> panels);
// The test fails, naming the panel, where a panel's texts leave it.
#define VERIFY_INK_ON_PANELS(game, ...)                                                            \
    do {                                                                                           \
        const QString why = inkOffPanels(game, __VA_ARGS__);                                       \
        QVERIFY2(why.isEmpty(), qPrintable(why));                                                  \
    } while (false)
