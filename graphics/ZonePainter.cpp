#include "graphics/ZonePainter.h"

#include "graphics/ScreenDrawing.h"

#include <QPainter>

namespace ZonePainter {

QColor zoneColor(int output, int alpha)
{
    switch (output) {
    case 0: return QColor(255, 255, 128, alpha);
    case 1: return QColor(255, 128, 0, alpha);
    default: return QColor(255, 0, 0, alpha);
    }
}

QPen outlinePen()
{
    return QPen(QBrush(Qt::white), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin);
}

namespace {

// An outline of thousands of vertices: clipped, thinned and drawn in strips,
// so that it costs what the screen shows of it. Zones are star-shaped
// around the sensor, which is what the thinning looks from.
void paintLarge(QPainter *painter, const ZoneGeometry::Outline &outline, const QColor &fill)
{
    using ZoneGeometry::Outline;
    const QPointF sensor(0, 0);
    if (outline.draw == Outline::Polygon) {
        ScreenDrawing::drawRings(painter, {outline.polygon}, Qt::WindingFill, fill, outlinePen(),
                                 sensor);
        return;
    }
    const QVector<QPolygonF> rings = outline.path.toSubpathPolygons().toVector();
    const QPen pen = outline.draw == Outline::FilledPath ? QPen(Qt::NoPen) : outlinePen();
    const bool scaled = outline.draw == Outline::ScaledPath;
    if (scaled) {
        painter->save();
        painter->scale(outline.scale, outline.scale);
    }
    ScreenDrawing::drawRings(painter, rings, outline.path.fillRule(), fill, pen, sensor);
    if (scaled)
        painter->restore();
}

} // namespace

bool isLarge(const ZoneGeometry::Outline &outline)
{
    using ZoneGeometry::Outline;
    const int vertices = outline.draw == Outline::Polygon ? outline.polygon.size()
                                                          : outline.path.elementCount();
    return outline.draw != Outline::Nothing && vertices > ScreenDrawing::kDirectLimit;
}

void paint(QPainter *painter, const ZoneGeometry::Outline &outline, const QColor &fill)
{
    using ZoneGeometry::Outline;
    if (isLarge(outline)) {
        paintLarge(painter, outline, fill);
        return;
    }
    switch (outline.draw) {
    case Outline::Nothing:
        return;
    case Outline::Polygon:
        painter->setPen(outlinePen());
        painter->setBrush(fill);
        painter->drawPolygon(outline.polygon, Qt::WindingFill);
        return;
    case Outline::FilledPath:
        painter->fillPath(outline.path, fill);
        return;
    case Outline::Path:
        painter->setPen(outlinePen());
        painter->setBrush(fill);
        painter->drawPath(outline.path);
        return;
    case Outline::ScaledPath:
        painter->save();
        painter->scale(outline.scale, outline.scale);
        painter->setPen(outlinePen());
        painter->setBrush(fill);
        painter->drawPath(outline.path);
        painter->restore();
        return;
    }
}

} // namespace ZonePainter
