#include "core/zones/PointEdits.h"

#include "core/zones/ZoneGeometry.h"

#include <QtGlobal>

#include <cfloat>
#include <cmath>

namespace PointEdits {

std::optional<float> parseTyped(const QString &text)
{
    bool ok = false;
    const double d = text.toDouble(&ok);
    // An overflowing number is refused with an infinity; "inf" and "nan"
    // are accepted as such. Only the first is a number.
    if (ok ? !std::isfinite(d) : !std::isinf(d))
        return std::nullopt;
    return float(qBound(double(-FLT_MAX), d, double(FLT_MAX)));
}

namespace {
float clampCoord(float v)
{
    return qBound(float(kMinCoord), v, float(kMaxCoord));
}
} // namespace

int roundTyped(float v)
{
    v = clampCoord(v);
    const float t = std::trunc(v);
    return int(t) + (v - t >= 0.5f ? 1 : 0);
}

QPoint polarToStored(float r, float theta)
{
    return QPoint(int(clampCoord(std::cos(theta) * r)), int(clampCoord(std::sin(theta) * r)));
}

namespace {
// A point within this of a whole degree is taken to mean that degree, or
// within this many millimetres along its circle: whole millimetres cannot
// do better near the sensor.
constexpr float kOnDegree = 0.05f;
constexpr float kOnDegreeMm = 1.5f;

bool onWholeDegree(const QPoint &p)
{
    const ZoneGeometry::Polar w = ZoneGeometry::wirePolar(p.x(), p.y());
    const float off = std::fabs(w.theta * ZoneGeometry::kRadToDeg - float(ZoneGeometry::wireDegrees(p)));
    return off < kOnDegree || off * ZoneGeometry::kDegToRad * w.r < kOnDegreeMm;
}
} // namespace

QPoint arcPartner(const QPoint &edited, const QPoint &other, bool otherIsFirst)
{
    const ZoneGeometry::Polar e = ZoneGeometry::xyToPolar(edited);
    const ZoneGeometry::Polar o = ZoneGeometry::xyToPolar(other);
    const QPoint moved = ZoneGeometry::polarToXY(e.r, o.theta);
    if (!onWholeDegree(other))
        return moved;
    return ZoneGeometry::pointGoingAs(moved, int(e.r), ZoneGeometry::wireDegrees(other), otherIsFirst);
}

void applyShapeConstraint(AreaRecord &area, int output, int row)
{
    QVector<QPoint> &p = area.points[output];
    const int kind = area.shape[output];
    if (kind == ShapeArc && p.size() == 2 && (row == 0 || row == 1)) {
        const int other = 1 - row;
        p[other] = arcPartner(p[row], p[other], other == 0);
    } else if (kind == ShapeRectangle && p.size() == 4 && row >= 0 && row < 4) {
        // Which neighbour takes the edited corner's x, which its y.
        static const int takesX[4] = {1, 0, 3, 2};
        static const int takesY[4] = {3, 2, 1, 0};
        p[takesX[row]].setX(p[row].x());
        p[takesY[row]].setY(p[row].y());
    }
}

void applyDependentRule(AreaRecord &area)
{
    for (int n = 1; n < kOutputCount; ++n) {
        const int kind = area.shape[n];
        if (area.points[n].size() == 1 && kind >= ShapeStraight && kind <= ShapeRatio)
            area.points[n][0].setX(0);
    }
}

namespace {
void afterPointEdit(AreaRecord &area, int output, int row)
{
    applyShapeConstraint(area, output, row);
    if (output > 0)
        applyDependentRule(area);
}
} // namespace

void editXY(AreaRecord &area, int output, int row, int column, float value)
{
    if (!std::isfinite(value))
        return;
    QVector<QPoint> &p = area.points[output];
    const int k = roundTyped(value);
    if (row >= 0 && row < p.size()) {
        if (column == 1)
            p[row].setX(k);
        else if (column == 2)
            p[row].setY(k);
        afterPointEdit(area, output, row);
    } else if (row == p.size() && area.shape[output] == ShapePolygon) {
        if (value == 0.0f)
            return;
        QPoint added(0, 0);
        if (column == 1)
            added.setX(k);
        else if (column == 2)
            added.setY(k);
        p.append(added);
    }
}

void editPolar(AreaRecord &area, int output, int row, int column, float value)
{
    if (!std::isfinite(value))
        return;
    QVector<QPoint> &p = area.points[output];
    const float distance = clampCoord(value);
    if (row >= 0 && row < p.size()) {
        ZoneGeometry::Polar polar = ZoneGeometry::xyToPolar(p[row]);
        // The sensor keeps an Arc's angles in whole degrees: a whole degree
        // typed, or a whole degree kept while the distance changes, must go
        // as that degree (the truncated point often lies just short of it).
        int degrees = 0;
        bool whole = false;
        if (area.shape[output] == ShapeArc && p.size() == 2) {
            if (column == 1) {
                whole = onWholeDegree(p[row]);
                degrees = ZoneGeometry::wireDegrees(p[row]);
            } else if (column == 2) {
                float d = std::fmod(value, 360.0f);
                if (d >= 270.0f)
                    d -= 360.0f;
                else if (d < -90.0f)
                    d += 360.0f;
                whole = std::fabs(d - std::round(d)) < 1e-4f;
                degrees = int(std::round(d));
            }
        }
        if (column == 1)
            polar.r = distance;
        else if (column == 2)
            polar.theta = value * ZoneGeometry::kDegToRad;
        p[row] = polarToStored(polar.r, polar.theta);
        // Both points keep the distance: the first carries it on the wire,
        // and the first moves onto the second's circle.
        if (whole)
            p[row] = ZoneGeometry::pointGoingAs(p[row], int(polar.r), degrees, true);
        afterPointEdit(area, output, row);
    } else if (row == p.size() && area.shape[output] == ShapePolygon) {
        if (value == 0.0f)
            return;
        if (column == 1)
            p.append(polarToStored(distance, 0.0f));
        else if (column == 2)
            p.append(polarToStored(20.0f, value * ZoneGeometry::kDegToRad));
    }
}

bool deleteRow(AreaRecord &area, int output, int row)
{
    if (area.shape[output] != ShapePolygon)
        return false;
    QVector<QPoint> &p = area.points[output];
    if (row >= p.size() || (output == 0 && p.isEmpty()))
        return false;
    if (row >= 0)
        p.removeAt(row);
    return true;
}

} // namespace PointEdits
