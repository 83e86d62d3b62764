#pragma once

#include "core/zones/AreaRecord.h"

#include <QStringList>

// Lints an area before it goes to a vehicle: what would not survive a
// transfer to the sensor, and what is almost surely a mistake.
namespace DesignCheck {

struct Finding {
    int area = -1;   // -1 for a finding about the file
    int output = -1; // 0..2, or -1 for the whole area
    QString message;
    // Writing the area would leave the sensor holding something else than
    // the design (a value wrapped, points dropped or moved): Write All
    // refuses such a design. Findings without it travel as they are.
    bool changesSensor = false;

    // "area 3 Out 2: ...", "area 3: ..." or "file: ..."
    QString toLine() const;
};

QVector<Finding> checkArea(int index, const AreaRecord &area, int deviceModel);

// The findings of all areas (index i is area i) that a transfer would not
// carry intact, in area order: nothing is to be sent while there are any.
// Most name an output; a parameter or case value that would wrap names the
// area only.
QVector<Finding> transferFindings(const QVector<AreaRecord> &areas);

} // namespace DesignCheck
