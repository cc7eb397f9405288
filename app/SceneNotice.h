#pragma once
// A notice drawn on the stage in the game's own look: the scene dimmed under the dialog dress, the
// message on its red band and one button. A click on the button, Space, Return, Enter or Escape
// closes it; until then it takes every pointer event and key, so the menu beneath waits.
#include <QFont>
#include <QGraphicsObject>
#include <QString>

class SceneNotice : public QGraphicsObject
{
    Q_OBJECT
public:
    SceneNotice(const QString &text, const QRectF &stage);

    QRectF boundingRect() const override { return stage; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    QRectF messageRect() const;
    QRectF buttonRect() const;
    static QString buttonText();

signals:
    void closed();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override;

private:
    void close();

    QString text;
    QRectF stage;
    QFont font;
    bool buttonLit = false;
};
