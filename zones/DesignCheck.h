#pragma once

#include "AreaRecord.h"

#include <QStringList>

// Lints an area before it goes to a vehicle: what would not survive a
// transfer to the sensor, and what is almost surely a mistake.
namespace DesignCheck {

struct Finding {
    int area = -1;   // -1 for a finding about the file
    int output = -1; // 0..2, or -1 for the whole area
    QString message;

    // "area 3 Out 2: ...", "area 3: ..." or "file: ..."
    QString toLine() const;
};

// The sensor takes at most this many points (distinct angles) per output,
// each coordinate a signed 16-bit value.
constexpr int kMaxWirePoints = 100;

QVector<Finding> checkArea(int index, const AreaRecord &area, int deviceModel);

} // namespace DesignCheck
