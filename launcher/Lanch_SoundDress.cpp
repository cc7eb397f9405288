#include "launcher/Lanch_SoundDress.h"

#include "launcher/Lanch_LanguageButton.h"
#include "launcher/Lanch_SoundPanel.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace
{
const QColor Ink(0x2b, 0x1d, 0x2e);
const QColor Gold(0xff, 0xd2, 0x3f);
const QColor PlumTop(0x5a, 0x34, 0x78);
const QColor PlumBottom(0x3a, 0x20, 0x50);
const QColor RedTop(0xd8, 0x33, 0x4d);
const QColor RedBottom(0xa0, 0x18, 0x2e);

// A rounded slab as the dialogs draw theirs: ink shadow, top-to-bottom fill, ink outline.
void slab(QPainter *p, const QRectF &r, qreal radius, const QColor &top, const QColor &bottom)
{
    p->setPen(Qt::NoPen);
    p->setBrush(QColor(Ink.red(), Ink.green(), Ink.blue(), 115));
    p->drawRoundedRect(r.translated(3, 4), radius, radius);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p->setBrush(fill);
    p->setPen(QPen(Ink, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p->drawRoundedRect(r, radius, radius);
}

// A quaver: the music slider's mark.
void drawNote(QPainter *p, const QRectF &r)
{
    p->setPen(QPen(Qt::white, r.width() * 0.09, Qt::SolidLine, Qt::RoundCap));
    const QPointF stem(r.left() + r.width() * 0.62, r.top() + r.height() * 0.12);
    p->drawLine(stem, QPointF(stem.x(), r.top() + r.height() * 0.72));
    p->drawLine(stem, QPointF(r.left() + r.width() * 0.9, r.top() + r.height() * 0.32));
    p->setPen(Qt::NoPen);
    p->setBrush(Qt::white);
    p->drawEllipse(QRectF(r.left() + r.width() * 0.28, r.top() + r.height() * 0.6, r.width() * 0.38,
                          r.height() * 0.28));
}

void drawSlider(QPainter *p, const QRectF &track, double value, bool focused)
{
    if (focused) {
        p->setPen(QPen(Gold, 3));
        p->setBrush(Qt::NoBrush);
        p->drawRoundedRect(track.adjusted(-5, -5, 5, 5), track.height() / 2 + 5,
                           track.height() / 2 + 5);
    }
    slab(p, track, track.height() / 2, PlumBottom.darker(130), PlumBottom);
    const QRectF filled(track.left(), track.top(), track.width() * value, track.height());
    p->setPen(Qt::NoPen);
    p->setBrush(Gold);
    if (value > 0)
        p->drawRoundedRect(filled.adjusted(3, 3, -3, -3), track.height() / 2 - 3,
                           track.height() / 2 - 3);
    const QPointF knob(track.left() + track.width() * value, track.center().y());
    p->setPen(QPen(Ink, 3));
    p->setBrush(focused ? RedTop : QColor(Qt::white));
    p->drawEllipse(knob, track.height() / 2 + 3, track.height() / 2 + 3);
}
} // namespace

void Lanch_SoundDress::drawSpeaker(QPainter *p, const QRectF &r, bool muted)
{
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    const qreal w = r.width(), h = r.height();
    QPainterPath body;
    body.moveTo(r.left() + w * 0.1, r.top() + h * 0.38);
    body.lineTo(r.left() + w * 0.3, r.top() + h * 0.38);
    body.lineTo(r.left() + w * 0.55, r.top() + h * 0.15);
    body.lineTo(r.left() + w * 0.55, r.top() + h * 0.85);
    body.lineTo(r.left() + w * 0.3, r.top() + h * 0.62);
    body.lineTo(r.left() + w * 0.1, r.top() + h * 0.62);
    body.closeSubpath();
    p->setPen(Qt::NoPen);
    p->setBrush(Qt::white);
    p->drawPath(body);
    p->setBrush(Qt::NoBrush);
    if (muted) {
        p->setPen(QPen(Gold, w * 0.09, Qt::SolidLine, Qt::RoundCap));
        p->drawLine(QPointF(r.left() + w * 0.66, r.top() + h * 0.34),
                    QPointF(r.left() + w * 0.92, r.top() + h * 0.66));
        p->drawLine(QPointF(r.left() + w * 0.92, r.top() + h * 0.34),
                    QPointF(r.left() + w * 0.66, r.top() + h * 0.66));
    } else {
        p->setPen(QPen(Gold, w * 0.07, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 2; ++i) {
            const qreal reach = w * (0.18 + 0.16 * i);
            const QRectF arc(r.left() + w * 0.55 - reach, r.center().y() - reach, 2 * reach,
                             2 * reach);
            p->drawArc(arc, -45 * 16, 90 * 16);
        }
    }
    p->restore();
}

void Lanch_SoundDress::drawBadge(QPainter *p, const QRectF &r, bool muted)
{
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    slab(p, r, r.height() / 2, PlumTop, PlumBottom);
    p->setPen(QPen(Gold, 2));
    p->setBrush(Qt::NoBrush);
    p->drawEllipse(r.adjusted(5, 5, -5, -5));
    drawSpeaker(p,
                r.adjusted(r.width() * 0.2, r.height() * 0.2, -r.width() * 0.2, -r.height() * 0.2),
                muted);
    p->restore();
}

void Lanch_SoundDress::draw(QPainter *p, const Lanch_SoundPanel &panel, bool muted)
{
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    const QRectF button = Lanch_SoundPanel::buttonRect();
    if (panel.isOpen())
        slab(p, button, button.height() / 2, RedTop, RedBottom);
    else
        slab(p, button, button.height() / 2, PlumTop, PlumBottom);
    p->setPen(QPen(Gold, 2));
    p->setBrush(Qt::NoBrush);
    p->drawEllipse(button.adjusted(4, 4, -4, -4));
    drawSpeaker(p, button.adjusted(9, 9, -9, -9), muted);
    if (panel.isOpen()) {
        const QRectF card = Lanch_SoundPanel::panelRect();
        slab(p, card, 20, PlumTop, PlumBottom);
        p->setPen(QPen(Gold, 2));
        p->setBrush(Qt::NoBrush);
        p->drawRoundedRect(card.adjusted(6, 6, -6, -6), 14, 14);
        for (int s = 0; s < Lanch_SoundPanel::SliderCount; ++s) {
            const QRectF track = Lanch_SoundPanel::trackRect(s);
            const QRectF mark(card.left() + 24, track.center().y() - 18, 36, 36);
            if (s == Lanch_SoundPanel::Music)
                drawNote(p, mark);
            else
                drawSpeaker(p, mark, false);
            drawSlider(p, track, Lanch_SoundPanel::value(s), panel.focusedSlider() == s);
        }
    }
    p->restore();
}

void Lanch_SoundDress::drawLanguageButton(QPainter *p, const QFont &font)
{
    // Drawn once per label and device scale and copied on later frames: its soft slab and
    // text cost more than the rest of the menu's corner together.
    const qreal scale =
        (p->device() ? p->device()->devicePixelRatioF() : 1.0) * p->transform().m11();
    const QString label = Lanch_LanguageButton::label();
    const QRectF button = Lanch_LanguageButton::rect();
    const qreal m = 6; // room for the slab's shadow
    const QRectF area = button.adjusted(-m, -m, m, m);
    static QImage drawn;
    static QString drawnLabel;
    static qreal drawnScale = 0;
    if (drawn.isNull() || drawnLabel != label || drawnScale != scale) {
        drawn = QImage((area.size() * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
        drawn.setDevicePixelRatio(scale);
        drawn.fill(Qt::transparent);
        QPainter q(&drawn);
        q.translate(-area.topLeft());
        paintLanguageButton(&q, font, label);
        drawnLabel = label;
        drawnScale = scale;
    }
    p->drawImage(area.topLeft(), drawn);
}

void Lanch_SoundDress::paintLanguageButton(QPainter *p, const QFont &font, const QString &label)
{
    p->setRenderHint(QPainter::Antialiasing);
    const QRectF button = Lanch_LanguageButton::rect();
    slab(p, button, 12, PlumTop, PlumBottom);
    p->setPen(QPen(Gold, 2));
    p->setBrush(Qt::NoBrush);
    p->drawRoundedRect(button.adjusted(3, 3, -3, -3), 9, 9);
    const QRectF room = button.adjusted(4, 3, -4, -3);
    QFont f = font;
    // The largest size up to 12 points whose line fits inside the gold ring.
    for (int size = 12; size > 6; --size) {
        f.setPointSize(size);
        if (QFontMetricsF(f).horizontalAdvance(label) <= room.width())
            break;
    }
    p->setFont(f);
    p->setPen(Qt::white);
    p->drawText(room, Qt::AlignCenter, label);
}
