// The playing-card sheet "code:trump": 9 columns x 6 rows of 113 x 170 cells. Cell
// 4 * (12 - rank) + suit holds a face (highest rank first), cell 52 the joker, cell 53 the back.
// Suits 0 spade, 1 heart, 2 club, 3 diamond; ranks 0..12 read A, 2..10, J, Q, K. Each card is
// written as SVG (pips, indices, frame) and rendered with the shared cast; court figures are
// double-headed busts of the cast wearing crowns, the joker is Tovira as a jester. Indices are set
// in a plain bold sans (font/cards.ttf): in the handwritten face a 9 reads as a q.
#include "Drawers.h"

#include <QFontDatabase>
#include <QPainter>
#include <QTransform>

namespace
{

constexpr int CardW = 113;
constexpr int CardH = 170;
const char *const Ink = "#2b1d2e";
const char *const Red = "#e8384f";
const char *const Paper = "#fff8e8";
const char *const Gold = "#ffd23f";

bool isRed(int suit)
{
    return suit == 1 || suit == 3;
}

QString suitColour(int suit)
{
    return QLatin1String(isRed(suit) ? Red : Ink);
}

// Suit shapes in a box of -50..50 around (0, 0).
QString suitPath(int suit)
{
    switch (suit) {
    case 0: // spade
        return QStringLiteral(
            "M0,-50 C12,-30 50,-12 50,12 C50,32 30,40 14,34 C8,31 4,27 3,23 C5,34 10,43 20,50 "
            "L-20,50 C-10,43 -5,34 -3,23 C-4,27 -8,31 -14,34 C-30,40 -50,32 -50,12 "
            "C-50,-12 -12,-30 0,-50 Z");
    case 1: // heart
        return QStringLiteral(
            "M0,46 C-12,32 -50,10 -50,-16 C-50,-38 -30,-48 -16,-46 C-8,-45 -2,-38 0,-30 "
            "C2,-38 8,-45 16,-46 C30,-48 50,-38 50,-16 C50,10 12,32 0,46 Z");
    case 2: // club: three leaves and a stem
        return QStringLiteral("M-20,-24 a20,20 0 1,0 40,0 a20,20 0 1,0 -40,0 Z "
                              "M-46,10 a20,20 0 1,0 40,0 a20,20 0 1,0 -40,0 Z "
                              "M6,10 a20,20 0 1,0 40,0 a20,20 0 1,0 -40,0 Z "
                              "M-12,4 a12,12 0 1,0 24,0 a12,12 0 1,0 -24,0 Z "
                              "M-4,8 C-4,28 -10,42 -20,50 L20,50 C10,42 4,28 4,8 Z");
    default: // diamond
        return QStringLiteral("M0,-50 C10,-30 24,-12 38,0 C24,12 10,30 0,50 C-10,30 -24,12 -38,0 "
                              "C-24,-12 -10,-30 0,-50 Z");
    }
}

QString pip(int suit, double x, double y, double size, bool upsideDown)
{
    const double s = size / 100.0;
    return QStringLiteral("<path d=\"%1\" fill=\"%2\" stroke=\"%3\" stroke-width=\"%4\" "
                          "transform=\"translate(%5 %6) rotate(%7) scale(%8)\"/>\n")
        .arg(suitPath(suit), suitColour(suit), QLatin1String(Ink))
        .arg(suit == 0 || suit == 2 ? 0.0 : 2.5)
        .arg(x)
        .arg(y)
        .arg(upsideDown ? 180 : 0)
        .arg(s);
}

QString rankLabel(int rank)
{
    static const char *const labels[13] = {"A", "2", "3",  "4", "5", "6", "7",
                                           "8", "9", "10", "J", "Q", "K"};
    return QLatin1String(labels[rank]);
}

QString svgOpen()
{
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" "
                          "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"%1\" height=\"%2\" "
                          "viewBox=\"0 0 %1 %2\">\n")
        .arg(CardW)
        .arg(CardH);
}

QString cardFrame(const QString &fill)
{
    return QStringLiteral("<rect x=\"0.8\" y=\"0.8\" width=\"111.4\" height=\"168.4\" rx=\"8\" "
                          "fill=\"%1\" stroke=\"%2\" stroke-width=\"1.6\"/>\n")
        .arg(fill, QLatin1String(Ink));
}

// The family of the card indices' face, registered once; empty when it cannot be read.
QString indexFamily(const DrawContext &ctx)
{
    static const QString family = [&ctx] {
        const int id = QFontDatabase::addApplicationFont(ctx.assetsDir + "/font/cards.ttf");
        return id < 0 ? QString() : QFontDatabase::applicationFontFamilies(id).value(0);
    }();
    return family;
}

// Rank and suit in the top-left corner, and the same turned round in the bottom-right one. The
// two digits of 10 are narrowed to the width of one wide letter.
QString cornerIndices(int suit, int rank, const QString &family)
{
    const QString label = rankLabel(rank);
    const bool wide = label.size() > 1;
    QString corner = QStringLiteral("<text x=\"11.5\" y=\"22\" font-family=\"%1\" font-size=\"20\" "
                                    "text-anchor=\"middle\" fill=\"%2\" %3>%4</text>\n")
                         .arg(family, suitColour(suit))
                         .arg(wide ? QStringLiteral("transform=\"translate(11.5 0) scale(0.74 1) "
                                                    "translate(-11.5 0)\" letter-spacing=\"-1\"")
                                   : QString())
                         .arg(label);
    corner += pip(suit, 11.5, 33, 13, false);
    return corner + QStringLiteral("<g transform=\"rotate(180 56.5 85)\">\n") + corner +
           QStringLiteral("</g>\n");
}

QString numberPips(int suit, int rank)
{
    const double L = 36, M = 56.5, R = 77;
    const double T = 30, B = 140, C = 85;
    const double q1 = T + (B - T) / 3, q2 = T + 2 * (B - T) / 3;
    QList<QPointF> at;
    switch (rank + 1) {
    case 2:
        at = {{M, T}, {M, B}};
        break;
    case 3:
        at = {{M, T}, {M, C}, {M, B}};
        break;
    case 4:
        at = {{L, T}, {R, T}, {L, B}, {R, B}};
        break;
    case 5:
        at = {{L, T}, {R, T}, {M, C}, {L, B}, {R, B}};
        break;
    case 6:
        at = {{L, T}, {R, T}, {L, C}, {R, C}, {L, B}, {R, B}};
        break;
    case 7:
        at = {{L, T}, {R, T}, {M, (T + C) / 2}, {L, C}, {R, C}, {L, B}, {R, B}};
        break;
    case 8:
        at = {{L, T}, {R, T}, {M, (T + C) / 2}, {L, C}, {R, C}, {M, (C + B) / 2}, {L, B}, {R, B}};
        break;
    case 9:
        at = {{L, T}, {R, T}, {L, q1}, {R, q1}, {M, C}, {L, q2}, {R, q2}, {L, B}, {R, B}};
        break;
    case 10:
        at = {{L, T},  {R, T},  {M, (T + q1) / 2}, {L, q1}, {R, q1},
              {L, q2}, {R, q2}, {M, (q2 + B) / 2}, {L, B},  {R, B}};
        break;
    default:
        break;
    }
    QString out;
    for (const QPointF &p : at)
        out += pip(suit, p.x(), p.y(), 21, p.y() > C + 0.5);
    return out;
}

QString acePip(int suit)
{
    QString out;
    if (suit == 0) {
        // The ace of spades gets the traditional ornament: a gold ring behind the big pip.
        out += QStringLiteral("<circle cx=\"56.5\" cy=\"85\" r=\"34\" fill=\"none\" stroke=\"%1\" "
                              "stroke-width=\"3\"/>\n<circle cx=\"56.5\" cy=\"85\" r=\"38\" "
                              "fill=\"none\" stroke=\"%2\" stroke-width=\"1\"/>\n")
                   .arg(QLatin1String(Gold), QLatin1String(Ink));
    }
    return out + pip(suit, 56.5, 85, suit == 0 ? 50 : 46, false);
}

// A gold crown in the character's own units, its band centred on (cx, baseY), width w.
QString crown(double cx, double baseY, double w)
{
    const double h = w * 0.62;
    const double l = cx - w / 2, r = cx + w / 2, t = baseY - h;
    const QString d = QStringLiteral("M%1,%2 L%1,%3 L%4,%5 L%6,%3 L%7,%8 L%9,%3 L%10,%5 L%11,%3 "
                                     "L%11,%2 Z")
                          .arg(l)
                          .arg(baseY)
                          .arg(t + h * 0.25)
                          .arg(l + w * 0.22)
                          .arg(t + h * 0.58)
                          .arg(l + w * 0.36)
                          .arg(cx)
                          .arg(t)
                          .arg(r - w * 0.36)
                          .arg(r - w * 0.22)
                          .arg(r);
    QString out = QStringLiteral("<path d=\"%1\" fill=\"url(#look_grad_gold)\" stroke=\"%2\" "
                                 "stroke-width=\"5\" stroke-linejoin=\"round\"/>\n")
                      .arg(d, QLatin1String(Ink));
    out += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\" "
                          "stroke=\"%6\" stroke-width=\"4\"/>\n")
               .arg(l - 3)
               .arg(baseY - h * 0.22)
               .arg(w + 6)
               .arg(h * 0.26)
               .arg(QLatin1String(Gold), QLatin1String(Ink));
    const double jr = w * 0.06;
    out += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\" stroke=\"%5\" "
                          "stroke-width=\"3\"/>\n")
               .arg(cx)
               .arg(baseY - h * 0.09)
               .arg(jr)
               .arg(QLatin1String(Red), QLatin1String(Ink));
    for (double x : {l + w * 0.22, r - w * 0.22})
        out += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"#4d9de0\" "
                              "stroke=\"%4\" stroke-width=\"3\"/>\n")
                   .arg(x)
                   .arg(baseY - h * 0.09)
                   .arg(jr * 0.8)
                   .arg(QLatin1String(Ink));
    for (double x : {l, l + w * 0.22, cx, r - w * 0.22, r}) {
        const double y = (x == cx) ? t : (x == l || x == r) ? t + h * 0.25 : t + h * 0.58;
        out += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"#fff8e8\" "
                              "stroke=\"%4\" stroke-width=\"3\"/>\n")
                   .arg(x)
                   .arg(y)
                   .arg(w * 0.05)
                   .arg(QLatin1String(Ink));
    }
    return out;
}

// The court figure of a rank: who wears the crown, how the bust is framed, where the crown sits.
struct Court {
    const char *who;
    double cropTop;    // character units shown at the top of the half picture
    double cropHeight; // character units shown over the half picture's height
    double crownX, crownY, crownW;
};

const Court Courts[3] = {
    {"tavel", 30, 250, 150, 112, 110}, // J
    {"luneta", 40, 250, 150, 118, 78}, // Q
    {"kohru", -40, 270, 150, 48, 120}, // K
};

const char *const Moods[4] = {"happy", "neutral", "surprised", "happy"};

// One half of a court picture: the crowned bust on the suit's tint, with a small suit pip.
QImage courtHalf(int suit, int rank, const QSize &size, const DrawContext &ctx)
{
    const Court &c = Courts[rank - 10];
    const double s = size.height() / c.cropHeight;
    const double tx = size.width() / 2.0 - 150 * s;
    const double ty = -c.cropTop * s;
    QString svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" "
                                 "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"%1\" "
                                 "height=\"%2\" viewBox=\"0 0 %1 %2\">\n")
                      .arg(size.width())
                      .arg(size.height());
    svg += QStringLiteral("<rect x=\"0\" y=\"0\" width=\"%1\" height=\"%2\" fill=\"%3\"/>\n")
               .arg(size.width())
               .arg(size.height())
               .arg(QLatin1String(isRed(suit) ? "#ffe1e4" : "#e4e2f4"));
    // Rays behind the figure, in the suit's colour.
    for (int i = 0; i < 12; ++i) {
        svg += QStringLiteral("<path d=\"M%1,%2 L%3,%4 L%5,%6 Z\" fill=\"%7\" opacity=\"0.12\"/>\n")
                   .arg(size.width() / 2.0)
                   .arg(size.height() * 0.6)
                   .arg(size.width() / 2.0 + 90 * qCos((i * 30 - 4) * M_PI / 180))
                   .arg(size.height() * 0.6 + 90 * qSin((i * 30 - 4) * M_PI / 180))
                   .arg(size.width() / 2.0 + 90 * qCos((i * 30 + 8) * M_PI / 180))
                   .arg(size.height() * 0.6 + 90 * qSin((i * 30 + 8) * M_PI / 180))
                   .arg(suitColour(suit));
    }
    svg += QStringLiteral("<g transform=\"translate(%1 %2) scale(%3)\">\n").arg(tx).arg(ty).arg(s);
    svg += QStringLiteral("<use xlink:href=\"#%1_%2\"/>\n")
               .arg(QLatin1String(c.who), QLatin1String(Moods[suit]));
    svg += crown(c.crownX, c.crownY, c.crownW);
    svg += QStringLiteral("</g>\n");
    svg += pip(suit, 8.5, 9.5, 11, false);
    svg += QStringLiteral("</svg>\n");
    return renderSvgText(svg, size, ctx);
}

QImage faceCard(int suit, int rank, const DrawContext &ctx)
{
    QString svg = svgOpen() + cardFrame(QLatin1String(Paper));
    const bool court = rank >= 10;
    if (court) {
        svg += QStringLiteral("<rect x=\"19.5\" y=\"22.5\" width=\"74\" height=\"125\" fill=\"%1\" "
                              "stroke=\"%2\" stroke-width=\"1.5\"/>\n")
                   .arg(QLatin1String(Paper), suitColour(suit));
    } else if (rank == 0) {
        svg += acePip(suit);
    } else {
        svg += numberPips(suit, rank);
    }
    svg += cornerIndices(suit, rank, indexFamily(ctx));
    svg += QStringLiteral("</svg>\n");
    QImage card = renderSvgText(svg, QSize(CardW, CardH), ctx);
    if (card.isNull() || !court)
        return card;

    // Double-headed picture: the lower half is the upper one turned round.
    const QRect upper(21, 24, 71, 61);
    const QImage half = courtHalf(suit, rank, upper.size(), ctx);
    if (half.isNull())
        return QImage();
    QPainter p(&card);
    p.drawImage(upper.topLeft(), half);
    p.drawImage(QPoint(upper.left(), 85), half.transformed(QTransform().rotate(180)));
    p.setPen(QPen(QColor(suitColour(suit)), 1.2));
    p.drawLine(QPointF(21, 85), QPointF(92, 85));
    return card;
}

QImage jokerCard(const DrawContext &ctx)
{
    QString svg = svgOpen() + cardFrame(QLatin1String(Paper));
    // A jester's hat and ruff put on Tovira, in the character's own units (300 x 400 box).
    const QString jester = QStringLiteral(
        "<g stroke=\"#2b1d2e\" stroke-width=\"6\" stroke-linejoin=\"round\">\n"
        "<path d=\"M96,118 Q60,40 6,60 Q40,70 58,124 Z\" fill=\"#e8384f\"/>\n"
        "<path d=\"M204,118 Q240,40 294,60 Q260,70 242,124 Z\" fill=\"#4d9de0\"/>\n"
        "<path d=\"M92,122 Q112,30 150,-6 Q188,30 208,122 Z\" fill=\"#ffd23f\"/>\n"
        "<path d=\"M150,-6 Q172,40 176,122 L208,122 Q188,30 150,-6 Z\" fill=\"#e8384f\"/>\n"
        "<path d=\"M64,128 Q150,92 236,128 L232,146 Q150,112 68,146 Z\" fill=\"#3bceac\"/>\n"
        "<circle cx=\"6\" cy=\"60\" r=\"14\" fill=\"#ffd23f\"/>\n"
        "<circle cx=\"294\" cy=\"60\" r=\"14\" fill=\"#ffd23f\"/>\n"
        "<circle cx=\"150\" cy=\"-6\" r=\"14\" fill=\"#ffd23f\"/>\n"
        "<path d=\"M96,262 L112,286 L130,262 L150,288 L170,262 L188,286 L204,262 "
        "L214,272 Q150,300 86,272 Z\" fill=\"#fff8e8\" stroke-width=\"4\"/>\n"
        "<circle cx=\"112\" cy=\"286\" r=\"7\" fill=\"#ffd23f\" stroke-width=\"3\"/>\n"
        "<circle cx=\"150\" cy=\"288\" r=\"7\" fill=\"#e8384f\" stroke-width=\"3\"/>\n"
        "<circle cx=\"188\" cy=\"286\" r=\"7\" fill=\"#ffd23f\" stroke-width=\"3\"/>\n"
        "</g>\n");
    svg += QStringLiteral("<rect x=\"19.5\" y=\"14.5\" width=\"74\" height=\"141\" rx=\"4\" "
                          "fill=\"#fff1d6\" stroke=\"%1\" stroke-width=\"1.2\"/>\n")
               .arg(QLatin1String(Gold));
    for (const QPointF &star :
         {QPointF(30, 30), QPointF(84, 40), QPointF(28, 128), QPointF(86, 140), QPointF(56, 150)})
        svg += QStringLiteral("<use xlink:href=\"#mark_star\" transform=\"translate(%1 %2) "
                              "scale(0.22)\"/>\n")
                   .arg(star.x())
                   .arg(star.y());
    svg += QStringLiteral("<g transform=\"translate(15.5 34) scale(0.273)\">\n"
                          "<use xlink:href=\"#tovira_happy\"/>\n%1</g>\n")
               .arg(jester);
    // "JOKER" down both corners.
    const QString letters = QStringLiteral("JOKER");
    QString corner;
    for (int i = 0; i < letters.size(); ++i)
        corner += QStringLiteral("<text x=\"10\" y=\"%1\" font-family=\"%2\" font-size=\"11\" "
                                 "text-anchor=\"middle\" fill=\"%3\">%4</text>\n")
                      .arg(16 + i * 11)
                      .arg(indexFamily(ctx))
                      .arg(QLatin1String(i % 2 ? Ink : Red))
                      .arg(letters.at(i));
    svg += corner + QStringLiteral("<g transform=\"rotate(180 56.5 85)\">\n") + corner +
           QStringLiteral("</g>\n</svg>\n");
    return renderSvgText(svg, QSize(CardW, CardH), ctx);
}

QImage backCard(const DrawContext &ctx)
{
    QString svg = svgOpen() + cardFrame(QLatin1String(Paper));
    svg += QStringLiteral("<rect x=\"7\" y=\"7\" width=\"99\" height=\"156\" rx=\"5\" "
                          "fill=\"#3a2050\" stroke=\"%1\" stroke-width=\"1.5\"/>\n")
               .arg(QLatin1String(Gold));
    // A diamond lattice in the plum field.
    for (int k = -8; k <= 16; ++k) {
        const double x = 7 + k * 14;
        svg += QStringLiteral("<path d=\"M%1,8 L%2,162\" stroke=\"#5a3478\" stroke-width=\"3\"/>\n")
                   .arg(x)
                   .arg(x + 100);
        svg += QStringLiteral("<path d=\"M%1,8 L%2,162\" stroke=\"#5a3478\" stroke-width=\"3\"/>\n")
                   .arg(x + 100)
                   .arg(x);
    }
    // Cover the lattice overflow at the sides with the white margin again.
    svg += QStringLiteral("<path d=\"M0,0 H113 V170 H0 Z M7,12 Q7,7 12,7 H101 Q106,7 106,12 V158 "
                          "Q106,163 101,163 H12 Q7,163 7,158 Z\" fill=\"%1\" "
                          "fill-rule=\"evenodd\"/>\n")
               .arg(QLatin1String(Paper));
    svg += cardFrame(QStringLiteral("none"));
    svg +=
        QStringLiteral("<rect x=\"7\" y=\"7\" width=\"99\" height=\"156\" rx=\"5\" fill=\"none\" "
                       "stroke=\"%1\" stroke-width=\"1.5\"/>\n")
            .arg(QLatin1String(Gold));
    svg += QStringLiteral("<circle cx=\"56.5\" cy=\"85\" r=\"27\" fill=\"#3a2050\" stroke=\"%1\" "
                          "stroke-width=\"3\"/>\n<use xlink:href=\"#mark_star\" "
                          "transform=\"translate(56.5 86) scale(0.95)\"/>\n")
               .arg(QLatin1String(Gold));
    svg += QStringLiteral("</svg>\n");
    return renderSvgText(svg, QSize(CardW, CardH), ctx);
}

QImage drawSheet(const QSize &size, const QString &, const DrawContext &ctx)
{
    if (indexFamily(ctx).isEmpty())
        return QImage();
    QImage sheet(size * ctx.scale, QImage::Format_ARGB32_Premultiplied);
    sheet.setDevicePixelRatio(ctx.scale);
    sheet.fill(Qt::transparent);
    QPainter p(&sheet);
    auto place = [&](int cell, const QImage &card) {
        if (card.isNull())
            return false;
        p.drawImage(QPoint((cell % 9) * CardW, (cell / 9) * CardH), card);
        return true;
    };
    for (int rank = 12; rank >= 0; --rank) {
        for (int suit = 0; suit < 4; ++suit) {
            if (!place(4 * (12 - rank) + suit, faceCard(suit, rank, ctx)))
                return QImage();
        }
    }
    if (!place(52, jokerCard(ctx)) || !place(53, backCard(ctx)))
        return QImage();
    return sheet;
}

DrawerRegistration registration(QStringLiteral("trump"), drawSheet);

} // namespace
