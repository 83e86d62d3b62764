#pragma once

#include <QString>

class QIODevice;
struct ScanRecord;

// The sweep files sector-cli record writes: a header line
// "sweep,step,distance_mm,intensity", then one line per step. The first sweep
// (sweep 0) is read into the scan record as an Ethernet sweep.
namespace SweepCsv {

// False with the reason when the file cannot be read, has no header or holds
// no step of sweep 0. A line longer than any recording's ends the reading.
bool readSweep(QIODevice &in, ScanRecord &scan, QString *why);
bool readSweep(const QString &path, ScanRecord &scan, QString *why);

} // namespace SweepCsv
