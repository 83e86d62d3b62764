#include "graphics/PointHandles.h"

#include <QCursor>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

// ---------------------------------------------------------------- HandleItem

HandleItem::HandleItem(QColor colour, int x, int y, double *scale, double width, double height,
                       Qt::CursorShape cursor)
    : m_colour(colour)
    , m_scale(scale)
    , m_width(width)
    , m_height(height)
    , m_cursor(cursor)
{
    setZValue(7);
    setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemIsSelectable);
    setAcceptHoverEvents(true);
    setPos(x, y);
}

double HandleItem::scale() const
{
    return m_scale && *m_scale > 0 ? *m_scale : 1.0;
}

QRectF HandleItem::boundingRect() const
{
    const double s = scale();
    return QRectF(-m_width * 0.5 / s, -m_height * 0.5 / s, m_width / s, m_height / s);
}

QPainterPath HandleItem::shape() const
{
    QPainterPath p;
    p.addRect(boundingRect());
    return p;
}

void HandleItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    // The colour, darker when selected; light red under the mouse; darker
    // again while pressed.
    QColor fill = (option->state & QStyle::State_Selected) ? m_colour.darker(150) : m_colour;
    if (option->state & QStyle::State_MouseOver) {
        fill = QColor(Qt::red).lighter(125);
        setCursor(m_cursor);
    }
    fill = (option->state & QStyle::State_Sunken) ? fill.darker(120) : fill.darker(100);
    const double s = scale();
    painter->setPen(Qt::NoPen);
    painter->setBrush(fill);
    painter->drawRect(QRect(int(-m_width * 0.5 / s), int(-m_height * 0.5 / s), int(m_width / s),
                            int(m_height / s)));
}

void HandleItem::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsItem::mousePressEvent(event);
    update();
}

// ---------------------------------------------------------------- POINT_POINT

POINT_POINT::POINT_POINT(QColor colour, int x, int y, double *scale)
    : HandleItem(colour, x, y, scale, kSize, kSize, Qt::SizeAllCursor)
{
}

void POINT_POINT::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    // Shift holds the handle where it is.
    if (event->modifiers() & Qt::ShiftModifier)
        return;
    QGraphicsItem::mouseMoveEvent(event);
}

// ---------------------------------------------------------------- POINT_RATIO

POINT_RATIO::POINT_RATIO(QColor colour, int x, int y, double *scale)
    : HandleItem(colour, x, y, scale, kWidth, kHeight, Qt::SizeVerCursor)
{
}

void POINT_RATIO::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    event->setScenePos(QPointF(0, event->scenePos().y()));
    m_grabOffset = pos().y() - qMin(0.0, event->scenePos().y());
    HandleItem::mousePressEvent(event);
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
