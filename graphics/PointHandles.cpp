#include "PointHandles.h"

#include <QCursor>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

namespace {
// Fill: the colour (darker when selected), light red under the mouse,
// darker again while pressed.
QColor fillColour(const QColor &colour, const QStyleOptionGraphicsItem *option,
                  QGraphicsItem *item, Qt::CursorShape cursor)
{
    QColor fill = (option->state & QStyle::State_Selected) ? colour.darker(150) : colour;
    if (option->state & QStyle::State_MouseOver) {
        fill = QColor(Qt::red).lighter(125);
        item->setCursor(cursor);
    }
    return (option->state & QStyle::State_Sunken) ? fill.darker(120) : fill.darker(100);
}

void setupHandle(QGraphicsItem *item, int x, int y)
{
    item->setZValue(7);
    item->setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemIsSelectable);
    item->setAcceptHoverEvents(true);
    item->setPos(x, y);
}
} // namespace

// ---------------------------------------------------------------- POINT_POINT

POINT_POINT::POINT_POINT(QColor colour, int x, int y, double *scale)
    : m_colour(colour), m_scale(scale)
{
    setupHandle(this, x, y);
}

double POINT_POINT::scale() const
{
    return m_scale && *m_scale > 0 ? *m_scale : 1.0;
}

QRectF POINT_POINT::boundingRect() const
{
    const double s = scale();
    return QRectF(-kSize * 0.5 / s, -kSize * 0.5 / s, kSize / s, kSize / s);
}

QPainterPath POINT_POINT::shape() const
{
    QPainterPath p;
    p.addRect(boundingRect());
    return p;
}

void POINT_POINT::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    const double s = scale();
    painter->setPen(Qt::NoPen);
    painter->setBrush(fillColour(m_colour, option, this, Qt::SizeAllCursor));
    painter->drawRect(QRect(int(-kSize * 0.5 / s), int(-kSize * 0.5 / s), int(kSize / s),
                            int(kSize / s)));
}

void POINT_POINT::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsItem::mousePressEvent(event);
    update();
}

void POINT_POINT::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    // Shift holds the handle where it is.
    if (event->modifiers() & Qt::ShiftModifier)
        return;
    QGraphicsItem::mouseMoveEvent(event);
}

void POINT_POINT::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsItem::mouseReleaseEvent(event);
}

// ---------------------------------------------------------------- POINT_RATIO

POINT_RATIO::POINT_RATIO(QColor colour, int x, int y, double *scale)
    : m_colour(colour), m_scale(scale)
{
    setupHandle(this, x, y);
}

double POINT_RATIO::scale() const
{
    return m_scale && *m_scale > 0 ? *m_scale : 1.0;
}

QRectF POINT_RATIO::boundingRect() const
{
    const double s = scale();
    return QRectF(-kWidth * 0.5 / s, -kHeight * 0.5 / s, kWidth / s, kHeight / s);
}

QPainterPath POINT_RATIO::shape() const
{
    QPainterPath p;
    p.addRect(boundingRect());
    return p;
}

void POINT_RATIO::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    const double s = scale();
    painter->setPen(Qt::NoPen);
    painter->setBrush(fillColour(m_colour, option, this, Qt::SizeVerCursor));
    painter->drawRect(QRect(int(-kWidth * 0.5 / s), int(-kHeight * 0.5 / s), int(kWidth / s),
                            int(kHeight / s)));
}

void POINT_RATIO::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    event->setScenePos(QPointF(0, event->scenePos().y()));
    m_grabOffset = pos().y() - qMin(0.0, event->scenePos().y());
    QGraphicsItem::mousePressEvent(event);
    update();
}

void POINT_RATIO::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->modifiers() & Qt::ShiftModifier)
        return;
    // Only up and down the forward axis, never below the sensor's X axis.
    const double y = qMin(0.0, event->scenePos().y());
    setPos(0, y + m_grabOffset);
}

void POINT_RATIO::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    event->setScenePos(QPointF(0, event->scenePos().y()));
    QGraphicsItem::mouseReleaseEvent(event);
}
