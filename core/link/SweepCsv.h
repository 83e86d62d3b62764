#pragma once

#include <QString>

class QIODevice;
struct ScanRecord;

// The first sweep of a recording, into the scan record: a scan recording, its
// CSV form ("time_ms,sweep,angle_deg,distance_mm,intensity,inputs,outputs",
// one line per step) or the older "sweep,step,distance_mm,intensity" files.
// A CSV sweep is taken as an Ethernet sweep.
namespace SweepCsv {

// False with the reason when the file cannot be read, has no header or holds
// no step of sweep 0. A line longer than any recording's ends the reading.
bool readSweep(QIODevice &in, ScanRecord &scan, QString *why);
bool readSweep(const QString &path, ScanRecord &scan, QString *why);

} // namespace SweepCsv
