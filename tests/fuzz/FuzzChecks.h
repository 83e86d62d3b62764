#pragma once

#include "core/zones/AreaRecord.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>

// Properties shared by several fuzz targets. Each returns what is wrong, or
// an empty string.
namespace FuzzChecks {

// An area record as the store may hold it: every kind in 0..5 (Out1 up to
// out1MaxKind) and no list longer than maxPoints.
QString storedArea(int index, const AreaRecord &area, int out1MaxKind, int maxPoints);

// Every one of the sensor settings dock's 22 values is one its widget can
// hold (a combo index in its list or -1, a spin value in its range).
QString dockHolds(const QVector<int> &dock);

// The area's WArea frame is whole and, when the design
// check raises nothing that would change the sensor's copy, reads back as
// the design: the same indexes and kinds, the same vertices (the sensor
// keeps them by angle) and the same parameter point. Arcs travel as whole
// degrees and are left out.
QString travelsIntact(int index, const AreaRecord &area);

// Draws the area as the view and the thumbnails do.
void draw(const AreaRecord &area, double sceneSpan);

// Byte i of the input as 0..255; 0 past its end.
inline int byteAt(const QByteArray &bytes, int i)
{
    return i >= 0 && i < bytes.size() ? std::uint8_t(bytes[i]) : 0;
}

// The input cut into pieces by a cursor; reads past the end give zeros.
struct Reader {
    const QByteArray &bytes;
    int at = 0;
    bool atEnd() const { return at >= bytes.size(); }
    int byte() { return byteAt(bytes, at++); }
    QByteArray take(int n)
    {
        const QByteArray out = bytes.mid(at, n);
        at += out.size();
        return out;
    }
};

} // namespace FuzzChecks
