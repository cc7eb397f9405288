#include "story/Adv_Base.h"

#include "base/Keys.h"
#include "base/Picture.h"
#include "base/Shade.h"
#include "sound/AudioSet.h"

#include <QDebug>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPainter>

#include <QPainterPath>

#include <algorithm>

namespace
{
// The small red "next" arrow in the bottom-right corner of the text box, shown once a page
// can be turned.
void drawNextMark(QPainter *painter, const QRectF &page)
{
    const QPointF tip(page.width() * 0.93, page.height() * 0.925);
    QPainterPath arrow;
    arrow.moveTo(tip);
    arrow.lineTo(tip + QPointF(-11, -14));
    arrow.lineTo(tip + QPointF(11, -14));
    arrow.closeSubpath();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(
        QPen(QColor(0x2b, 0x1d, 0x2e), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->setBrush(QColor(0xd2, 0x30, 0x4a));
    painter->drawPath(arrow);
    painter->restore();
}
} // namespace

Adv_Base::Row Adv_Base::story(int index)
{
    static const Row stories[] = {{QStringLiteral(":/OP/IMG"), 10, 0},
                                  {QStringLiteral(":/ED1/IMG"), 7, 1},
                                  {QStringLiteral(":/ED2/IMG"), 7, 2},
                                  {QStringLiteral(":/ED3/IMG"), 10, 3}};
    return stories[index];
}

Adv_Base::Adv_Base(int x, int y, const Row &story) : Item_Base(x, y, nullptr), row(story)
{
    stopStory();
    // Two pixels up and left hide the view's frame margin behind the page.
    setPos(-2, -2);
}

Adv_Base::~Adv_Base()
{
    releasePages();
}

void Adv_Base::releasePages()
{
    pages.reset();
    frameTimer.reset();
}

void Adv_Base::stopStory()
{
    releasePages();
    setFlag(ItemIsMovable, false);
    pageCount = row.pageCount;
}

void Adv_Base::startStory()
{
    // A start without a stop in between must not leave the old timer running.
    releasePages();
    pageCount = row.pageCount;
    pages = std::make_unique<QImage[]>(pageCount);
    frameTimer = std::make_unique<QTimer>();

    // Double-size pages are four times the pixels: then only the page shown is held, and the
    // next one is decoded as it is turned to.
    pagesOnDemand = Picture::isDoubleSize();
    for (int i = 0; i < (pagesOnDemand ? std::min(pageCount, 1) : pageCount); ++i)
        loadPage(i);

    const bool firstShown = pageCount > 0 && !pages[0].isNull();
    prepareGeometryChange();
    setWidth(firstShown ? Picture::sizeOf(pages[0]).width() : FallbackWidth);
    setHeight(firstShown ? Picture::sizeOf(pages[0]).height() : FallbackHeight);

    page = 0;
    fade = 1.0;

    connect(frameTimer.get(), &QTimer::timeout, this, &Adv_Base::slot_update);
    frameTimer->start(1);
    setFocus(Qt::OtherFocusReason);
}

void Adv_Base::loadPage(int i)
{
    const QString path = row.prefix + QString::number(i);
    if (!Picture::load(pages[i], path))
        qDebug() << "ImageReadError:" << path;
}

QImage Adv_Base::pageImage(int i) const
{
    if (!pages || i < 0 || i >= pageCount)
        return QImage();
    return pages[i];
}

void Adv_Base::slot_update()
{
    update();
}

void Adv_Base::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    // Past the last page (the scene is taking the item away) or before a start there is no page.
    if (!pages || page < 0 || page >= pageCount)
        return;

    const QRectF rect = boundingRect();
    painter->drawImage(rect, pages[page]);
    Shade::draw(painter, rect, fade);
    if (fade == 0)
        drawNextMark(painter, rect);
    stepFade();
}

void Adv_Base::stepFade()
{
    // The veil lifts one step per painted frame: about a hundred frames until a click turns.
    fade -= 0.01;
    if (fade < 0)
        fade = 0;
}

void Adv_Base::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // The item is not movable, so the default would keep only a left press (for selection).
    event->accept();
}

void Adv_Base::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    event->accept();
    turnPage();
}

void Adv_Base::keyReleaseEvent(QKeyEvent *event)
{
    // Alt+Enter is the full-screen switch, not a turn of the page.
    if (Keys::isShortcut(*event)) {
        event->ignore();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Right:
        if (!event->isAutoRepeat())
            turnPage();
        break;
    default:
        event->ignore();
    }
}

void Adv_Base::turnPage()
{
    // Turns while the veil lifts are ignored; so are turns after the story has ended.
    if (pages && fade == 0 && page < pageCount) {
        ++page;
        if (pagesOnDemand) {
            pages[page - 1] = QImage();
            if (page < pageCount)
                loadPage(page);
        }
        if (page < pageCount) {
            if (AudioSet *audio = AudioSet::getInstance())
                audio->play(AudioSet::Effect::PageTurned);
        } else {
            // Nothing is shown any more; the timer would only wake the process for nothing.
            frameTimer->stop();
            // The scene takes the item away before this returns.
            emit playLancher(row.lancherIndex);
        }
    }
    update();
}

// A page is a whole picture, with the fade drawn over it.
QRectF Adv_Base::opaqueRect() const
{
    return pages && page >= 0 && page < pageCount && !pages[page].isNull() ? boundingRect()
                                                                           : QRectF();
}
