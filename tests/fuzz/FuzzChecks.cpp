#include "tests/fuzz/FuzzChecks.h"

#include "core/link/AreaCodec.h"
#include "core/sensor/SensorDockValues.h"
#include "core/zones/DesignCheck.h"
#include "core/zones/ZoneGeometry.h"

#include <algorithm>

namespace FuzzChecks {

namespace {
QVector<QPoint> sortedUnique(QVector<QPoint> points)
{
    std::sort(points.begin(), points.end(), [](const QPoint &a, const QPoint &b) {
        return a.x() != b.x() ? a.x() < b.x() : a.y() < b.y();
    });
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

QString where(int index, int output)
{
    return QStringLiteral("area %1 Out%2").arg(index).arg(output + 1);
}
} // namespace

QString storedArea(int index, const AreaRecord &area, int out1MaxKind, int maxPoints)
{
    for (int c = 0; c < kOutputCount; ++c) {
        const int kind = area.shape[c];
        if (kind < 0 || kind > (c == 0 ? out1MaxKind : int(ShapeRatio)))
            return where(index, c) + QStringLiteral(": kind %1").arg(kind);
        if (area.points[c].size() > maxPoints)
            return where(index, c) + QStringLiteral(": %1 points").arg(area.points[c].size());
    }
    return QString();
}

QString dockHolds(const QVector<int> &dock)
{
    if (dock.size() != SensorDockValues::kCount)
        return QStringLiteral("the dock got %1 values").arg(dock.size());
    for (int i = 0; i < dock.size(); ++i)
        if (SensorDockValues::held(i, dock[i]) != dock[i])
            return QStringLiteral("dock line %1 shows %2, which its widget cannot hold")
                .arg(i + 1)
                .arg(dock[i]);
    return QString();
}

QString travelsIntact(int index, const AreaRecord &area)
{
    const QByteArray frame = AreaCodec::encode("WArea", index, area);
    if (frame.size() != AreaCodec::kFrameLength)
        return QStringLiteral("area %1: WArea frame of %2 bytes").arg(index).arg(frame.size());
    for (const DesignCheck::Finding &f : DesignCheck::checkArea(index, area, -1))
        if (f.changesSensor)
            return QString();

    AreaRecord back;
    AreaCodec::decode(frame, back);
    for (int f = 0; f < 4; ++f)
        if (back.intField(f) != area.intField(f))
            return QStringLiteral("area %1: parameter %2 sent as %3 came back as %4")
                .arg(index).arg(f).arg(area.intField(f)).arg(back.intField(f));
    for (int c = 0; c < kOutputCount; ++c) {
        if (back.shape[c] != area.shape[c])
            return where(index, c)
                   + QStringLiteral(": kind %1 came back as %2").arg(area.shape[c]).arg(back.shape[c]);
        const int kind = area.shape[c];
        if (kind == ShapeArc)
            continue;
        const bool inSlots = kind == ShapePolygon || kind == ShapeRectangle;
        const QVector<QPoint> &sent = area.points[c];
        const QVector<QPoint> &got = back.points[c];
        if (inSlots ? sortedUnique(sent) != sortedUnique(got) : sent != got)
            return where(index, c) + QStringLiteral(": %1 points sent, %2 came back differently")
                                         .arg(sent.size())
                                         .arg(got.size());
    }
    return QString();
}

void draw(const AreaRecord &area, double sceneSpan)
{
    ZoneGeometry::buildAreaOutlines(area, sceneSpan, sceneSpan);
    ZoneGeometry::farthestRadius(area);
}

} // namespace FuzzChecks
