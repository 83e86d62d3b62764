#include "core/zones/ZoneGeometry.h"

#include "core/zones/OutlineClip.h"

#include <QTransform>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace ZoneGeometry {

Polar xyToPolar(int x, int y)
{
    Polar p;
    // The sum is rounded to single precision before the fold.
    p.theta = float(std::atan2(double(y), double(x)) + 2.0 * M_PI);
    if (p.theta >= kThreeHalfPi)
        p.theta -= kTwoPi;
    p.r = float(std::sqrt(double(x) * x + double(y) * y));
    return p;
}

QPoint polarToXY(float r, float theta)
{
    return QPoint(int(std::cos(theta) * r), int(std::sin(theta) * r));
}

Polar wirePolar(int x, int y)
{
    Polar p;
    const float a = float(std::atan2(double(y), double(x)));
    p.theta = float(double(a) + 2.0 * M_PI);
    if (p.theta >= kThreeHalfPi)
        p.theta -= kTwoPi;
    p.r = float(std::sqrt(double(x) * x + double(y) * y));
    return p;
}

QPoint wirePolarToXY(float r, float theta)
{
    return QPoint(int(qFastCos(theta) * r), int(qFastSin(theta) * r));
}

int wireDegrees(const QPoint &p)
{
    return int(wirePolar(p.x(), p.y()).theta * kRadToDeg);
}

int wireRadius(const QPoint &p)
{
    return int(wirePolar(p.x(), p.y()).r);
}

QPoint pointGoingAs(const QPoint &near, int radius, int degrees, bool keepRadius)
{
    const auto fits = [&](const QPoint &p) {
        return wireDegrees(p) == degrees && (!keepRadius || wireRadius(p) == radius);
    };
    if (fits(near))
        return near;
    const double a = degrees * M_PI / 180.0;
    const double ex = radius * std::cos(a), ey = radius * std::sin(a);
    QPoint best = near;
    double bestDistance = std::numeric_limits<double>::max();
    for (int dx = -3; dx <= 3; ++dx) {
        for (int dy = -3; dy <= 3; ++dy) {
            const QPoint p = near + QPoint(dx, dy);
            const double d = std::hypot(p.x() - ex, p.y() - ey);
            if (d < bestDistance && fits(p)) {
                best = p;
                bestDistance = d;
            }
        }
    }
    return best;
}

QMap<float, QPoint> byAngle(const QVector<QPoint> &points, PolarOf polar)
{
    QMap<float, QPoint> map;
    for (const QPoint &p : points)
        map.insert(polar(p.x(), p.y()).theta, p);
    return map;
}

namespace {

// Origin, the points in ascending angle, origin: a zone is always closed
// through the sensor's centre.
QPolygonF starPolygon(const QVector<QPoint> &points)
{
    const QMap<float, QPoint> map = byAngle(points);
    QPolygonF poly;
    poly.reserve(map.size() + 2);
    poly << QPointF(0, 0);
    for (const QPoint &p : map)
        poly << toScene(p);
    poly << QPointF(0, 0);
    return poly;
}

// The band cut of an outline too large for QPainterPath's intersection,
// which takes far more than linear time: each ring on its own.
QPainterPath cutToBand(const QPainterPath &parent, const QRectF &band)
{
    QPainterPath path;
    for (const QPolygonF &ring : parent.toSubpathPolygons()) {
        const QPolygonF cut = OutlineClip::clipRing(ring, band);
        if (cut.size() > 2) {
            path.addPolygon(cut);
            path.closeSubpath();
        }
    }
    return path;
}

QPainterPath arcPie(const QVector<QPoint> &points)
{
    const Polar a = xyToPolar(points[0]);
    const Polar b = xyToPolar(points[1]);
    const float start = std::min(a.theta, b.theta);
    const float end = std::max(a.theta, b.theta);
    const double r = std::max(a.r, b.r);
    QPainterPath path;
    const float startDeg = start * kRadToDeg;
    const float sweepDeg = end * kRadToDeg - startDeg;
    path.arcTo(QRectF(-r, -r, 2 * r, 2 * r), startDeg, sweepDeg);
    return path;
}

} // namespace

Outline buildOutline(int output, int kind, const QVector<QPoint> &points,
                     const QPainterPath &parent, double sceneWidth, double sceneHeight)
{
    Outline o;
    const bool dependentAllowed = output > 0;
    switch (kind) {
    case ShapePolygon:
    case ShapeRectangle: {
        o.draw = Outline::Polygon;
        o.polygon = starPolygon(points);
        QPainterPath path;
        path.addPolygon(o.polygon);
        o.handsOn = true;
        o.handed = path;
        break;
    }
    case ShapeArc:
        if (points.size() != 2)
            break;
        o.draw = Outline::FilledPath;
        o.path = arcPie(points);
        o.handsOn = true;
        o.handed = o.path;
        break;
    case ShapeStraight: {
        if (!dependentAllowed || points.size() != 1)
            break;
        const double y = points[0].y();
        // The full scene width from its bottom edge up to forward distance y.
        const QRectF bandRect(-sceneWidth / 2, sceneHeight / 2, sceneWidth, -y - sceneHeight / 2);
        o.draw = Outline::Path;
        if (parent.elementCount() > kLinearCutFrom) {
            o.path = cutToBand(parent, bandRect.normalized());
        } else {
            QPainterPath band;
            band.addRect(bandRect);
            o.path = parent & band;
        }
        o.handsOn = true;
        o.handed = o.path;
        break;
    }
    case ShapeFan: {
        if (!dependentAllowed || points.size() != 1)
            break;
        const double y = points[0].y();
        o.draw = Outline::Path;
        // A pie of radius y over -45..225 deg: the rear 90 deg are left out.
        const bool large = parent.elementCount() > kLinearCutFrom;
        const QList<QPolygonF> rings = large ? parent.toSubpathPolygons() : QList<QPolygonF>();
        if (y > 0 && rings.size() == 1 && OutlineClip::isStarRing(rings.first())) {
            o.path = OutlineClip::clipStarToPie(rings.first(), y, -45, 225);
        } else {
            QPainterPath pie;
            pie.arcTo(QRectF(-y, -y, 2 * y, 2 * y), -45, 270);
            o.path = parent & pie;
        }
        o.handsOn = true;
        o.handed = o.path;
        break;
    }
    case ShapeRatio: {
        if (!dependentAllowed || points.size() != 1)
            break;
        const double h = parent.boundingRect().height();
        const double y = points[0].y();
        o.draw = Outline::ScaledPath;
        o.path = parent;
        o.scale = h > y ? y / h : 1.0;
        // The next output derives from the unscaled outline.
        o.handsOn = true;
        o.handed = parent;
        break;
    }
    default:
        break;
    }
    return o;
}

std::array<Outline, kOutputCount> buildAreaOutlines(const AreaRecord &area, double sceneWidth,
                                                    double sceneHeight,
                                                    std::array<QPainterPath, 2> &parents)
{
    std::array<Outline, kOutputCount> out;
    const QPainterPath none;
    for (int c = 0; c < kOutputCount; ++c) {
        const QPainterPath &parent = c == 0 ? none : parents[c - 1];
        out[c] = buildOutline(c, area.shape[c], area.points[c], parent, sceneWidth, sceneHeight);
        if (c < 2 && out[c].handsOn)
            parents[c] = out[c].handed;
    }
    return out;
}

std::array<Outline, kOutputCount> buildAreaOutlines(const AreaRecord &area, double sceneWidth,
                                                    double sceneHeight)
{
    std::array<QPainterPath, 2> parents;
    return buildAreaOutlines(area, sceneWidth, sceneHeight, parents);
}

QPainterPath outlinePath(const Outline &outline)
{
    QPainterPath path;
    switch (outline.draw) {
    case Outline::Nothing:
        break;
    case Outline::Polygon:
        path.setFillRule(Qt::WindingFill);
        path.addPolygon(outline.polygon);
        path.closeSubpath();
        break;
    case Outline::FilledPath:
    case Outline::Path:
        path = outline.path;
        break;
    case Outline::ScaledPath:
        path = QTransform::fromScale(outline.scale, outline.scale).map(outline.path);
        break;
    }
    return path;
}

float farthestRadius(const AreaRecord &area)
{
    float r = 0;
    for (const auto &list : area.points)
        for (const QPoint &p : list)
            r = std::max(r, xyToPolar(p).r);
    return r;
}

} // namespace ZoneGeometry
