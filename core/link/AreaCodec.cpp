#include "core/link/AreaCodec.h"

#include "core/link/LinkProtocol.h"
#include "core/zones/ZoneGeometry.h"

#include <QMap>
#include <algorithm>

using LinkProtocol::getS16;
using LinkProtocol::getU16;
using LinkProtocol::put16;

namespace AreaCodec {

namespace {
bool sendsSlots(int kind)
{
    return kind == ShapePolygon || kind == ShapeRectangle;
}

// A point of an Arc read from the sensor. The sensor keeps an Arc as whole
// degrees and a radius; the point straight from them (each coordinate
// truncated) often lies just short of its degree, so that writing it back
// would send the Arc a degree and a millimetre further round: every read and
// write would turn the zone on the sensor without the screen showing it. So
// the point is the one nearest the exact position that goes as the same
// values again (the plain point when it already does).
QPoint arcPointAsKept(int radius, int degrees, bool keepRadius)
{
    const QPoint plain = ZoneGeometry::wirePolarToXY(float(radius), float(degrees) * ZoneGeometry::kDegToRad);
    return ZoneGeometry::pointGoingAs(plain, radius, degrees, keepRadius);
}
} // namespace

int slotCount(const AreaRecord &area, int output)
{
    if (!sendsSlots(area.shape[output]))
        return -1;
    return ZoneGeometry::byAngle(area.points[output], ZoneGeometry::wirePolar).size();
}

int overfullOutput(const AreaRecord &area)
{
    for (int c = 0; c < kOutputCount; ++c)
        if (slotCount(area, c) > kMaxPointsPerOutput)
            return c;
    return -1;
}

QByteArray encode(const char *token, int index, const AreaRecord &area)
{
    QByteArray frame(kFrameLength - 2, '\0');
    frame.replace(0, 5, QByteArray::fromRawData(token, 5));
    frame[5] = char(index);
    put16(frame, 6, area.openDelay);
    put16(frame, 8, area.closeDelay);
    put16(frame, 10, area.hysteresis);
    put16(frame, 12, area.detectionSize);
    for (int c = 0; c < kOutputCount; ++c) {
        const int block = kBlockOffset[c];
        const int kind = area.shape[c];
        const QVector<QPoint> &pts = area.points[c];
        put16(frame, block, kind);
        put16(frame, block + 2, pts.size());
        if (kind == ShapeArc) {
            if (pts.size() == 2) {
                const ZoneGeometry::Polar a = ZoneGeometry::wirePolar(pts[0].x(), pts[0].y());
                const ZoneGeometry::Polar b = ZoneGeometry::wirePolar(pts[1].x(), pts[1].y());
                put16(frame, block + 4, int(std::min(a.theta, b.theta) * ZoneGeometry::kRadToDeg));
                put16(frame, block + 6, int(std::max(a.theta, b.theta) * ZoneGeometry::kRadToDeg));
                put16(frame, block + 8, int(a.r));
            }
        } else if (kind >= ShapeStraight && kind <= ShapeRatio) {
            if (!pts.isEmpty()) {
                put16(frame, block + 10, pts[0].y());
                put16(frame, block + 12, pts[0].y());
                put16(frame, block + 14, pts[0].y());
            }
        } else if (sendsSlots(kind)) {
            int slot = 0;
            for (const QPoint &p : ZoneGeometry::byAngle(pts, ZoneGeometry::wirePolar)) {
                if (slot == kMaxPointsPerOutput)
                    break; // never past the output's region
                put16(frame, kPointOffset[c] + 4 * slot, p.x());
                put16(frame, kPointOffset[c] + 4 * slot + 2, p.y());
                ++slot;
            }
        }
    }
    LinkProtocol::appendCrc(frame);
    return frame;
}

int frameIndex(const QByteArray &frame)
{
    return std::uint8_t(frame[5]);
}

void cornersInEditingOrder(QVector<QPoint> &corners)
{
    if (corners.size() != 4)
        return;
    QVector<int> xs, ys;
    for (const QPoint &p : corners) {
        if (!xs.contains(p.x()))
            xs << p.x();
        if (!ys.contains(p.y()))
            ys << p.y();
    }
    if (xs.size() != 2 || ys.size() != 2)
        return;
    // Every corner of the rectangle exactly once?
    for (int x : xs)
        for (int y : ys)
            if (!corners.contains(QPoint(x, y)))
                return;
    // The sensor keeps the corners in angle order, which need not go round
    // the rectangle; the editors move p1 with p0's x and p3 with its y.
    const QPoint p0 = corners[0];
    const int x2 = xs[0] == p0.x() ? xs[1] : xs[0];
    const int y2 = ys[0] == p0.y() ? ys[1] : ys[0];
    corners = {p0, QPoint(p0.x(), y2), QPoint(x2, y2), QPoint(x2, p0.y())};
}

void decode(const QByteArray &frame, AreaRecord &area)
{
    area.openDelay = getU16(frame, 6);
    area.closeDelay = getU16(frame, 8);
    area.hysteresis = getU16(frame, 10);
    area.detectionSize = getU16(frame, 12);
    for (int c = 0; c < kOutputCount; ++c) {
        const int block = kBlockOffset[c];
        const int kindByte = std::uint8_t(frame[block + 1]);
        if (kindByte <= ShapeRatio)
            area.shape[c] = kindByte;
        QVector<QPoint> &list = area.points[c];
        switch (area.shape[c]) {
        case ShapeArc: {
            list.clear();
            const int r = getU16(frame, block + 8);
            const int start = getS16(frame, block + 4), end = getS16(frame, block + 6);
            // The encoder takes the radius of the first point only; the
            // second keeps it too where it can, so that the two stay on one
            // circle within a millimetre, as the editors keep them.
            list.append(arcPointAsKept(r, start, true));
            QPoint second = arcPointAsKept(r, end, true);
            if (ZoneGeometry::wireDegrees(second) != end)
                second = arcPointAsKept(r, end, false);
            list.append(second);
            break;
        }
        case ShapeStraight:
        case ShapeFan:
        case ShapeRatio:
            list = {QPoint(0, getU16(frame, block + 10 + 2 * (area.shape[c] - ShapeStraight)))};
            break;
        case ShapePolygon:
        case ShapeRectangle: {
            list.clear();
            const int n = getU16(frame, block + 2);
            if (n >= 1 && n <= kMaxPointsPerOutput)
                for (int i = 0; i < n; ++i)
                    list.append(QPoint(getS16(frame, kPointOffset[c] + 4 * i),
                                       getS16(frame, kPointOffset[c] + 4 * i + 2)));
            if (area.shape[c] == ShapeRectangle)
                cornersInEditingOrder(list);
            break;
        }
        default:
            break; // a kind the store holds from elsewhere: the list stays
        }
    }
}

} // namespace AreaCodec
