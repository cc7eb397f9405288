#include "app/SceneNotice.h"

#include "base/Shade.h"
#include "games/frame/Game_DialogDress.h"

#include <QGraphicsScene>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPainter>

SceneNotice::SceneNotice(const QString &message, const QRectF &area) : text(message), stage(area)
{
    font.setFamily(QStringLiteral("Tanuki Permanent Marker"));
    setAcceptHoverEvents(true);
    setFlag(ItemIsFocusable);
    // Over every screen.
    setZValue(1000);
}

QString SceneNotice::buttonText()
{
    return tr("メニューに戻る");
}

// The frame's dialog layout around the stage's centre, the band widened for a longer line and
// one button in the middle.
QRectF SceneNotice::messageRect() const
{
    const QPointF c = stage.center();
    return QRectF(c.x() - 300, c.y() - 75, 600, 50);
}

QRectF SceneNotice::buttonRect() const
{
    const QPointF c = stage.center();
    return QRectF(c.x() - 125, c.y() + 25, 250, 50);
}

void SceneNotice::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    Shade::draw(painter, stage, 160);
    const QPointF c = stage.center();
    const QRectF hint(c.x() - 250, c.y() + 75, 500, 50);
    Game_DialogDress::draw(painter, {messageRect(), buttonRect(), QRectF(), hint},
                           buttonLit ? Game_DialogDress::Lit::Left : Game_DialogDress::Lit::None);
    painter->save();
    painter->setPen(Qt::white);
    QFont f = font;
    f.setPointSize(12);
    painter->setFont(f);
    //: The hint under the notice: the Space key takes the button, named as %1.
    painter->drawText(hint, tr("スペースキーで\"%1\"").arg(buttonText()));
    f.setPointSize(20);
    painter->setFont(f);
    painter->drawText(messageRect(), Qt::AlignCenter, text);
    f.setPointSize(24);
    f.setWeight(buttonLit ? QFont::Bold : QFont::Normal);
    painter->setFont(f);
    painter->drawText(buttonRect(), Qt::AlignCenter, buttonText());
    painter->restore();
}

void SceneNotice::keyReleaseEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        close();
        break;
    default:
        break;
    }
}

void SceneNotice::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // Accepted, so the release comes here and nothing beneath sees the click.
    event->accept();
}

void SceneNotice::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (buttonRect().contains(event->pos()))
        close();
}

void SceneNotice::hoverMoveEvent(QGraphicsSceneHoverEvent *event)
{
    const bool lit = buttonRect().contains(event->pos());
    if (lit != buttonLit) {
        buttonLit = lit;
        update();
    }
}

void SceneNotice::close()
{
    if (QGraphicsScene *s = scene())
        s->removeItem(this);
    emit closed();
    deleteLater();
}
