#include "ZoneItems.h"

#include "ZonePainter.h"
#include "ZoneStore.h"

#include <QPainter>

ZoneItem::ZoneItem(int output, double sceneWidth, double sceneHeight, ZoneStore *store)
    : m_output(output), m_width(sceneWidth), m_height(sceneHeight), m_store(store)
{
    setZValue(output + 1.0);
    setFlag(QGraphicsItem::ItemIsSelectable);
}

QRectF ZoneItem::boundingRect() const
{
    return QRectF(-m_width / 2, -m_height / 2, m_width, m_height);
}

QPainterPath ZoneItem::shape() const
{
    QPainterPath p;
    p.addRect(boundingRect());
    return p;
}

void ZoneItem::setSceneSpan(double width, double height)
{
    prepareGeometryChange();
    m_width = width;
    m_height = height;
}

void ZoneItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    // The edited output is drawn more opaque.
    const int alpha = m_store->currentChannel == m_output ? 200 : 125;
    ZonePainter::paint(painter, m_outline, ZonePainter::zoneColor(m_output, alpha));
}
