#include "core/zones/DesignCheck.h"

#include "core/zones/DeviceType.h"
#include "core/zones/ZoneGeometry.h"

#include <QMap>

#include <cmath>

namespace DesignCheck {

QString Finding::toLine() const
{
    if (area < 0)
        return QStringLiteral("file: %1").arg(message);
    if (output < 0)
        return QStringLiteral("area %1: %2").arg(area).arg(message);
    return QStringLiteral("area %1 Out %2: %3").arg(area).arg(output + 1).arg(message);
}

namespace {

constexpr float kArcRadiusSlack = 1.5f;

const char *const kKindNames[] = {"Polygon", "Arc", "Rectangle", "Straight", "Fan", "Ratio"};

QString kindName(int kind)
{
    return kind >= 0 && kind <= 5 ? QString::fromLatin1(kKindNames[kind])
                                  : QStringLiteral("kind %1").arg(kind);
}

// "1 point", "3 points"
QString count(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

struct Collector {
    int area;
    QVector<Finding> findings;
    void add(int output, const QString &message, bool changesSensor = false)
    {
        findings.append({area, output, message, changesSensor});
    }
};

// A value outside min..max is reported; it changes what the sensor holds
// only outside the wire's 16 bits, wireMin..wireMax.
void checkRange(Collector &c, const char *what, int value, int min, int max, int wireMin,
                int wireMax)
{
    if (value < min || value > max)
        c.add(-1, QStringLiteral("%1 %2 outside %3..%4").arg(QLatin1String(what)).arg(value)
                      .arg(min).arg(max),
              value < wireMin || value > wireMax);
}

bool inBlindWedge(const QPoint &p)
{
    if (p.isNull())
        return false;
    const float deg = ZoneGeometry::xyToPolar(p).theta * ZoneGeometry::kRadToDeg;
    // The sensor sees -70 deg up to 250 deg; behind it lies a 40 deg wedge.
    return deg < -70.0f || deg > 250.0f;
}

// Polygon and Rectangle points travel in slots by ascending angle, one per
// angle: a later point at an angle replaces the earlier one, while the
// count stays, so the slot left over reads back as (0, 0). Only an earlier
// point other than the origin is really lost.
void checkSlots(Collector &c, int n, const QVector<QPoint> &pts)
{
    QMap<float, QPoint> kept;
    bool lost = false;
    for (const QPoint &p : pts) {
        const float angle = ZoneGeometry::wirePolar(p.x(), p.y()).theta;
        const auto at = kept.find(angle);
        if (at == kept.end()) {
            kept.insert(angle, p);
            continue;
        }
        lost = lost || !at->isNull();
        *at = p;
    }
    const int distinct = kept.size();
    if (distinct > kMaxPointsPerOutput)
        c.add(n, QStringLiteral("%1 distinct polar angles; the sensor takes at most %2")
                     .arg(distinct)
                     .arg(kMaxPointsPerOutput),
              true);
    if (distinct < pts.size())
        c.add(n, QStringLiteral("%1 a polar angle with a later vertex; only the later one "
                                "reaches the sensor")
                     .arg(count(pts.size() - distinct, "vertex shares", "vertices share")),
              lost);
}

void checkOutput(Collector &c, int n, const AreaRecord &area, int model)
{
    const int kind = area.shape[n];
    const QVector<QPoint> &pts = area.points[n];
    const int maxKind = n == 0 ? ShapeRectangle : ShapeRatio;
    // The sensor takes kinds 0..5 on any output; one outside them it reads
    // as another kind, so the rest of the output means nothing.
    const bool unknownKind = kind < 0 || kind > ShapeRatio;
    if (unknownKind || kind > maxKind) {
        c.add(n, QStringLiteral("shape kind %1 outside 0..%2").arg(kind).arg(maxKind),
              unknownKind);
        if (unknownKind)
            return;
    }

    if (pts.size() > kMaxPointsPerOutput)
        c.add(n, QStringLiteral("%1 points; the sensor takes at most %2")
                     .arg(pts.size())
                     .arg(kMaxPointsPerOutput),
              true);

    // Only Polygon and Rectangle send their coordinates; an Arc sends its
    // angles and radius, a dependent kind its parameter.
    const bool sendsSlots = kind == ShapePolygon || kind == ShapeRectangle;
    int outside16 = 0;
    for (const QPoint &p : pts)
        if (p.x() < -32768 || p.x() > 32767 || p.y() < -32768 || p.y() > 32767)
            ++outside16;
    if (outside16)
        c.add(n, QStringLiteral("%1 with a coordinate outside -32768..32767 mm")
                     .arg(count(outside16, "point", "points")),
              sendsSlots);

    if (const DeviceModelInfo *m = deviceModelInfo(model)) {
        int beyond = 0;
        float farthest = 0;
        for (const QPoint &p : pts) {
            const float r = ZoneGeometry::xyToPolar(p).r;
            if (r > float(m->maximumRange)) {
                ++beyond;
                farthest = std::max(farthest, r);
            }
        }
        if (beyond)
            c.add(n, QStringLiteral("%1 beyond the %2 mm range of %3 (farthest %4 mm)")
                         .arg(count(beyond, "point", "points"))
                         .arg(m->maximumRange)
                         .arg(QLatin1String(m->name))
                         .arg(qRound(farthest)));
    }

    switch (kind) {
    case ShapePolygon: {
        checkSlots(c, n, pts);
        int blind = 0;
        for (const QPoint &p : pts)
            if (inBlindWedge(p))
                ++blind;
        if (blind)
            c.add(n, QStringLiteral("%1 in the blind 40° wedge behind the sensor")
                         .arg(count(blind, "vertex", "vertices")));
        break;
    }
    case ShapeArc:
        if (pts.size() != 2) {
            c.add(n, QStringLiteral("Arc with %1; it needs exactly 2")
                         .arg(count(pts.size(), "point", "points")),
                  true);
        } else {
            const ZoneGeometry::Polar a = ZoneGeometry::xyToPolar(pts[0]);
            const ZoneGeometry::Polar b = ZoneGeometry::xyToPolar(pts[1]);
            // Whole-millimetre corners put two points of one circle up to
            // sqrt(2) mm apart in radius (an arc read back from the sensor
            // looks so): only more than that is a second radius.
            if (std::fabs(a.r - b.r) > kArcRadiusSlack)
                c.add(n, QStringLiteral("Arc points at different radii (%1 mm and %2 mm); the "
                                        "sensor takes the first")
                             .arg(double(a.r), 0, 'g', 6)
                             .arg(double(b.r), 0, 'g', 6),
                      true);
            if (a.r >= 65536.0f)
                c.add(n, QStringLiteral("Arc radius %1 mm; the sensor takes at most 65535")
                             .arg(double(a.r), 0, 'g', 6),
                      true);
            if (a.theta == b.theta)
                c.add(n, QStringLiteral("Arc points at the same angle: the zone is empty"));
        }
        break;
    case ShapeRectangle:
        if (pts.size() != 4) {
            c.add(n, QStringLiteral("Rectangle with %1; it needs exactly 4 corners")
                         .arg(count(pts.size(), "point", "points")));
        } else if (pts[0].x() != pts[1].x() || pts[1].y() != pts[2].y()
                   || pts[2].x() != pts[3].x() || pts[3].y() != pts[0].y()) {
            c.add(n, QStringLiteral("Rectangle corners are not axis-parallel"));
        } else if (pts[0].x() == pts[2].x() || pts[0].y() == pts[2].y()) {
            c.add(n, QStringLiteral("Rectangle has no area"));
        }
        checkSlots(c, n, pts);
        break;
    default: // Straight, Fan, Ratio: one parameter, read back unsigned
        if (pts.size() != 1)
            c.add(n, QStringLiteral("%1 with %2; it needs exactly 1")
                         .arg(kindName(kind), count(pts.size(), "point", "points")),
                  true);
        else if (pts[0].x() != 0)
            c.add(n, QStringLiteral("%1 parameter point has x = %2; it must be 0")
                         .arg(kindName(kind))
                         .arg(pts[0].x()),
                  true);
        else if (pts[0].y() < 0 || pts[0].y() > 65535)
            c.add(n, QStringLiteral("%1 parameter %2 outside 0..65535 mm")
                         .arg(kindName(kind))
                         .arg(pts[0].y()),
                  true);
        break;
    }
}

} // namespace

QVector<Finding> checkArea(int index, const AreaRecord &area, int deviceModel)
{
    Collector c{index, {}};
    // The area frame carries the parameter indexes unsigned, the case
    // frame the case values signed, both in 16 bits.
    const int u16 = 65535, s16min = -32768, s16max = 32767;
    checkRange(c, "on-delay index", area.openDelay, 0, 25, 0, u16);
    checkRange(c, "off-delay index", area.closeDelay, 0, 25, 0, u16);
    checkRange(c, "hysteresis index", area.hysteresis, 0, 10, 0, u16);
    checkRange(c, "detection-size index", area.detectionSize, 0, 9, 0, u16);
    checkRange(c, "steering minimum", area.steerMin, -180, 180, s16min, s16max);
    checkRange(c, "steering maximum", area.steerMax, -180, 180, s16min, s16max);
    checkRange(c, "speed minimum", area.speedMin, -300, 300, s16min, s16max);
    checkRange(c, "speed maximum", area.speedMax, -300, 300, s16min, s16max);
    checkRange(c, "operation-mode index", area.operationMode, 0, 5, s16min, s16max);
    if (area.steerMin > area.steerMax)
        c.add(-1, QStringLiteral("steering minimum %1 above maximum %2")
                      .arg(area.steerMin)
                      .arg(area.steerMax));
    if (area.speedMin > area.speedMax)
        c.add(-1, QStringLiteral("speed minimum %1 above maximum %2")
                      .arg(area.speedMin)
                      .arg(area.speedMax));
    for (int n = 0; n < kOutputCount; ++n)
        checkOutput(c, n, area, deviceModel);
    return c.findings;
}

QVector<Finding> transferFindings(const QVector<AreaRecord> &areas)
{
    QVector<Finding> blocking;
    for (int a = 0; a < areas.size(); ++a)
        for (const Finding &f : checkArea(a, areas[a], -1))
            if (f.changesSensor)
                blocking.append(f);
    return blocking;
}

} // namespace DesignCheck
