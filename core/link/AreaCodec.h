#pragma once

#include "core/zones/AreaRecord.h"

#include <QByteArray>
#include <QString>

// The 1264-byte image of one area in WArea requests and RArea replies: four
// parameter indexes, a 16-byte block per output and 100 point slots per
// output. Case-channel fields travel separately (RCase/WCase).
namespace AreaCodec {

constexpr int kFrameLength = 1264;
constexpr int kBlockOffset[kOutputCount] = {14, 30, 46};
constexpr int kPointOffset[kOutputCount] = {62, 462, 862};

// The number of distinct polar angles of the output whose points would go
// into the slots; -1 for kinds that send no slots.
int slotCount(const AreaRecord &area, int output);

// Output (0..2) of the area that does not fit its 100 slots, or -1.
int overfullOutput(const AreaRecord &area);

// A complete frame with CRC under the given token ("WArea" for requests,
// "RArea" for the emulator's replies). An output with more than 100
// distinct angles is cut to its first 100 slots here: callers refuse such
// areas before sending (overfullOutput).
QByteArray encode(const char *token, int index, const AreaRecord &area);

// Area index of a frame (byte 5).
int frameIndex(const QByteArray &frame);

// Four corners of an axis-parallel rectangle put in the order the editors
// keep them: p0 and p1 share x, p1 and p2 share y, p2 and p3 share x, p3 and
// p0 share y, starting from the first corner. Anything else stays as it is.
void cornersInEditingOrder(QVector<QPoint> &corners);

// Applies an RArea reply to an area record: parameter indexes, kinds (a
// kind above 5 keeps the old one) and the point lists rebuilt by kind.
// A Rectangle's four corners come back in editing order (the sensor keeps
// them by angle). Case-channel fields are not touched.
void decode(const QByteArray &frame, AreaRecord &area);

} // namespace AreaCodec
