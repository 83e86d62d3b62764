// The recording reader is private to the render command: this file compiles
// the command in to reach it, and hands it the bytes as a file in memory.
#include "../../cli/RenderCommand.cpp"

#include "FuzzTargets.h"

#include <sys/mman.h>
#include <unistd.h>

namespace FuzzTargets {

QString sweepCsv(const QByteArray &bytes)
{
    static const int fd = memfd_create("sweep.csv", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0
        || pwrite(fd, bytes.constData(), size_t(bytes.size()), 0) != bytes.size())
        return QStringLiteral("no file in memory for the recording");
    ScanRecord scan;
    QString why;
    const bool ok = readSweep(QStringLiteral("/proc/self/fd/%1").arg(fd), scan, &why);
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
