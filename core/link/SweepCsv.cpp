#include "core/link/SweepCsv.h"

#include "core/link/ScanRecord.h"
#include "core/sensor/ScanRecorder.h"
#include "core/sensor/ScanRecording.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>

namespace SweepCsv {

namespace {
// A recording's lines are a few numbers each: a longer one ends the reading
// (a file without line ends costs a few kilobytes, not all of it).
constexpr int kLongestLine = 256;
const char kOldHeader[] = "sweep,step,distance_mm,intensity";

bool readLine(QTextStream &in, QString &line)
{
    return in.readLineInto(&line, kLongestLine + 1) && line.size() <= kLongestLine;
}
} // namespace

bool readSweep(const QString &path, ScanRecord &scan, QString *why)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *why = f.errorString();
        return false;
    }
    return readSweep(f, scan, why);
}

bool readSweep(QIODevice &device, ScanRecord &scan, QString *why)
{
    if (ScanRecording::isRecording(device)) {
        ScanRecording::Reader reader;
        ScanRecording::Sweep first;
        if (!reader.open(&device, why))
            return false;
        if (!reader.sweep(0, first)) {
            *why = QStringLiteral("no sweep in it");
            return false;
        }
        ScanRecorder::restore(first, scan);
        return true;
    }
    QTextStream in(&device);
    QString line;
    const bool read = readLine(in, line);
    const QString header = line.trimmed();
    // Earlier versions wrote sweep,step,...; now time and angle lead.
    const bool old = header == QLatin1String(kOldHeader);
    if (!read || (!old && header != QLatin1String(ScanRecording::kCsvHeader))) {
        *why = QStringLiteral("not a recording (no %1 header)").arg(QLatin1String(ScanRecording::kCsvHeader));
        return false;
    }
    const int columns = old ? 4 : 7, sweepColumn = old ? 0 : 1, distanceColumn = old ? 2 : 3;
    int n = 0;
    while (n < ScanRecord::kRingSize && readLine(in, line)) {
        const QStringList f = line.split(QLatin1Char(','));
        if (f.size() != columns || f[sweepColumn].toInt() != 0)
            break;
        scan.distanceRing[size_t(n)] = std::uint16_t(f[distanceColumn].toUInt());
        scan.intensityRing[size_t(n)] = std::uint16_t(f[distanceColumn + 1].toUInt());
        ++n;
    }
    if (n == 0) {
        *why = QStringLiteral("no sweep in it");
        return false;
    }
    scan.connectionType = 1;
    scan.sweepLength = n;
    return true;
}

} // namespace SweepCsv
