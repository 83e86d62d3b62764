#include "core/link/SweepCsv.h"

#include "core/link/ScanRecord.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>

namespace SweepCsv {

namespace {
// A recording's lines are a few numbers each: a longer one ends the reading
// (a file without line ends costs a few kilobytes, not all of it).
constexpr int kLongestLine = 256;

bool readLine(QTextStream &in, QString &line)
{
    return in.readLineInto(&line, kLongestLine + 1) && line.size() <= kLongestLine;
}
} // namespace

bool readSweep(const QString &path, ScanRecord &scan, QString *why)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *why = f.errorString();
        return false;
    }
    return readSweep(f, scan, why);
}

bool readSweep(QIODevice &device, ScanRecord &scan, QString *why)
{
    QTextStream in(&device);
    QString line;
    if (!readLine(in, line)
        || line.trimmed() != QLatin1String("sweep,step,distance_mm,intensity")) {
        *why = QStringLiteral("not a recording (no sweep,step,distance_mm,intensity header)");
        return false;
    }
    int n = 0;
    while (n < ScanRecord::kRingSize && readLine(in, line)) {
        const QStringList f = line.split(QLatin1Char(','));
        if (f.size() != 4 || f[0].toInt() != 0)
            break;
        scan.distanceRing[size_t(n)] = std::uint16_t(f[2].toUInt());
        scan.intensityRing[size_t(n)] = std::uint16_t(f[3].toUInt());
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
