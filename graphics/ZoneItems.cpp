#include "graphics/ZoneItems.h"

#include "core/zones/ZoneStore.h"
#include "graphics/ScreenDrawing.h"
#include "graphics/ZonePainter.h"

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
    const QColor fill = ZonePainter::zoneColor(m_output, alpha);
    if (!ZonePainter::isLarge(m_outline) || !ScreenDrawing::isRasterPainter(painter)) {
        ZonePainter::paint(painter, m_outline, fill);
        return;
    }
    const QTransform toDevice = painter->worldTransform();
    const QRect viewport = painter->viewport();
    const qreal ratio = painter->device()->devicePixelRatioF();
    if (m_picture.isNull() || toDevice != m_pictureTransform || viewport != m_pictureViewport
        || fill != m_pictureFill || ratio != m_picture.devicePixelRatio()) {
        m_picture = QImage(viewport.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        m_picture.setDevicePixelRatio(ratio);
        m_picture.fill(Qt::transparent);
        QPainter picture(&m_picture);
        picture.setRenderHints(painter->renderHints());
        picture.setWorldTransform(toDevice
                                  * QTransform::fromTranslate(-viewport.x(), -viewport.y()));
        ZonePainter::paint(&picture, m_outline, fill);
        m_pictureTransform = toDevice;
        m_pictureViewport = viewport;
        m_pictureFill = fill;
    }
    painter->save();
    painter->setWorldTransform(QTransform());
    painter->drawImage(viewport.topLeft(), m_picture);
    painter->restore();
}
