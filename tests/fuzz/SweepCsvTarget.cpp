#include "tests/fuzz/FuzzTargets.h"

#include "core/link/ScanRecord.h"
#include "core/link/SweepCsv.h"

#include <QBuffer>

namespace FuzzTargets {

QString sweepCsv(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer file(&copy);
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    ScanRecord scan;
    QString why;
    const bool ok = SweepCsv::readSweep(file, scan, &why);
    if (!ok)
        return why.isEmpty() || scan.sweepLength != 0
                   ? QStringLiteral("refused without a reason, or with a sweep")
                   : QString();
    const int lines = bytes.count('\n') + bytes.count('\r');
    if (scan.sweepLength < 1 || scan.sweepLength > ScanRecord::kRingSize
        || scan.sweepLength > lines)
        return QStringLiteral("a sweep of %1 points from %2 lines").arg(scan.sweepLength).arg(lines);
    if (scan.connectionType != 1)
        return QStringLiteral("a sweep that is not drawn as an Ethernet sweep");
    return QString();
}

} // namespace FuzzTargets
