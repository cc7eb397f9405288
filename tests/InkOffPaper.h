#pragma once
// Texts on their panels: two frames of the same play that differ only in the colour of the texts
// differ exactly in the texts' ink, which must lie on the cream field of the panel picture drawn
// for it and inside the window.
#include "games/frame/Game_Base.h"
#include "games/frame/Game_Score.h"

#include <QGraphicsItem>
#include <QImage>
#include <QStringList>
#include <initializer_list>

// Both lines of the score panel show v, and go on showing it while the play earns nothing.
void showOnScorePanel(Game_Score &score, int v);

// Says where the ink in which a and b differ inside `area` leaves the paper of the panel picture
// drawn at `at`, or the 1020 x 572 window; empty when it stays on it.
QString inkOffPaper(const QGraphicsItem &game, const QImage &a, const QImage &b, const QRect &area,
                    const QString &panel, QPoint at);

// A panel whose texts are checked: the part of the frame they may change, its picture and place.
struct InkPanel {
    QRect area;
    QString picture;
    QPoint at;
};

// Where the dialog with these three texts, drawn alone on black, writes white inside `area`,
// `shown` must be at least `light` by `level`: the number of such pixels, or -1 at the first that
// is darker.
int dialogInkShown(Game_Base &game, const QImage &shown, const QStringList &texts,
                   const QRect &area, int light, int (*level)(QRgb));

// Paints the play with its texts in black, then in white; says which panel's texts leave it.
QString inkOffPanels(QGraphicsItem &game, std::initializer_list<InkPanel> panels);
// The test fails, naming the panel, where a panel's texts leave it.
#define VERIFY_INK_ON_PANELS(game, ...)                                                            \
    do {                                                                                           \
        const QString why = inkOffPanels(game, __VA_ARGS__);                                       \
        QVERIFY2(why.isEmpty(), qPrintable(why));                                                  \
    } while (false)
