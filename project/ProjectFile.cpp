#include "ProjectFile.h"

#include "DeviceType.h"
#include "SensorDockValues.h"
#include "ZoneStore.h"

#include <QSaveFile>
#include <QTextStream>

namespace ProjectFile {

namespace {
const QString kSensorTag = QStringLiteral("SensorSetting");
const QString kAreaTag = QStringLiteral("CoordTableData");
const QString kAreaEndTag = QStringLiteral("CoordTableDataEnd");
const QString kPointStart[kOutputCount] = {QStringLiteral("Out1CoordStr"),
                                           QStringLiteral("Out2CoordStr"),
                                           QStringLiteral("Out3CoordStr")};
const QString kPointEnd[kOutputCount] = {QStringLiteral("Out1CoordEnd"),
                                         QStringLiteral("Out2CoordEnd"),
                                         QStringLiteral("Out3CoordEnd")};

bool skipTo(QTextStream &in, const QString &tag)
{
    while (!in.atEnd()) {
        if (in.readLine() == tag)
            return true;
    }
    return false;
}

bool isAreaIndex(int n) { return n >= 0 && n < kAreaCount; }

// Highest shape kind a file may set for each output.
const int kMaxShape[kOutputCount] = {ShapeRectangle, ShapeRatio, ShapeRatio};
} // namespace

int lineToInt(const QString &line)
{
    bool ok = false;
    const int v = line.toInt(&ok);
    return ok ? v : 0;
}

void writeSensorSection(QTextStream &out, const QVector<int> &dockValues)
{
    out << kSensorTag << '\n';
    for (int i = 0; i < SensorDockValues::kCount; ++i)
        out << (i < dockValues.size() ? dockValues[i] : 0) << '\n';
}

QVector<int> readSensorSection(QTextStream &in, SensorReadReport *report)
{
    SensorReadReport ignored;
    SensorReadReport &r = report ? *report : ignored;
    r.tagFound = skipTo(in, kSensorTag);
    QVector<int> values(SensorDockValues::kCount, 0);
    for (int &v : values)
        v = lineToInt(in.readLine());
    return values;
}

void writeAreaSection(QTextStream &out, const ZoneStore &store)
{
    out << kAreaTag << '\n';
    for (int n = 0; n < kAreaCount; ++n) {
        const AreaRecord &a = store.areas[n];
        out << n << '\n';
        for (int f = 0; f < 12; ++f)
            out << a.intField(f) << '\n';
        for (int c = 0; c < kOutputCount; ++c) {
            out << kPointStart[c] << '\n';
            for (const QPoint &p : a.points[c])
                out << p.x() << ',' << p.y() << '\n';
            out << kPointEnd[c] << '\n';
        }
    }
    out << kAreaEndTag << '\n';
}

void readAreaSection(QTextStream &in, ZoneStore &store, AreaReadReport *report)
{
    AreaReadReport ignored;
    AreaReadReport &r = report ? *report : ignored;
    r.tagFound = skipTo(in, kAreaTag);
    QString indexLine = in.readLine();
    int n = lineToInt(indexLine);
    if (!isAreaIndex(n)) {
        r.stoppedAtIndex = indexLine;
        return;
    }
    for (;;) {
        if (in.atEnd())
            return;
        r.areasRead.append(n);
        AreaRecord &a = store.areas[n];
        for (auto &list : a.points)
            list.clear();
        for (int f = 0; f < 9; ++f)
            a.setIntField(f, lineToInt(in.readLine()));
        int pending[kOutputCount];
        for (int &k : pending)
            k = lineToInt(in.readLine());

        for (int c = 0; c < kOutputCount; ++c) {
            const bool started = skipTo(in, kPointStart[c]);
            for (;;) {
                const QString line = in.readLine();
                if (line == kPointEnd[c])
                    break;
                // A point on the very last line is not taken.
                if (in.atEnd()) {
                    if (started)
                        r.unterminatedPoints.append({n, c});
                    break;
                }
                a.points[c].append(QPoint(lineToInt(line.section(QLatin1Char(','), 0, 0)),
                                          lineToInt(line.section(QLatin1Char(','), 1, 1))));
            }
        }

        const QString next = in.readLine();
        // Kinds outside what the output allows leave the previous kind.
        for (int c = 0; c < kOutputCount; ++c) {
            if (pending[c] >= 0 && pending[c] <= kMaxShape[c])
                a.shape[c] = pending[c];
            else
                r.refusedKinds.append({n, c, pending[c]});
        }

        if (next == kAreaEndTag) {
            r.endTagFound = true;
            return;
        }
        if (in.atEnd())
            return;
        n = lineToInt(next);
        if (!isAreaIndex(n)) {
            r.stoppedAtIndex = next;
            return;
        }
    }
}

void writeProject(QTextStream &out, int deviceType, const QVector<int> &dockValues,
                  const ZoneStore &store)
{
    const DeviceModelInfo *m = deviceModelInfo(deviceType);
    out << (m ? QLatin1String(m->header) : QLatin1String("")) << '\n';
    writeSensorSection(out, dockValues);
    writeAreaSection(out, store);
}

SaveResult saveProject(const QString &fileName, int deviceType, const QVector<int> &dockValues,
                       const ZoneStore &store, QString *errorString)
{
    QSaveFile file(fileName);
    // Where no file can be created next to the target (a folder that is not
    // writable, but a file that is) write in place rather than not at all.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (errorString)
            *errorString = file.errorString();
        return SaveResult::OpenFailed;
    }
    QTextStream out(&file);
    writeProject(out, deviceType, dockValues, store);
    out.flush();
    if (out.status() != QTextStream::Ok)
        file.cancelWriting();
    if (!file.commit()) {
        if (errorString)
            *errorString = file.errorString();
        return SaveResult::WriteFailed;
    }
    return SaveResult::Saved;
}

} // namespace ProjectFile
