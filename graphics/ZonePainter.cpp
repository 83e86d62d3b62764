#include "ZonePainter.h"

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

void paint(QPainter *painter, const ZoneGeometry::Outline &outline, const QColor &fill)
{
    using ZoneGeometry::Outline;
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
