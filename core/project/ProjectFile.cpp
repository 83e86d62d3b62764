#include "core/project/ProjectFile.h"

#include "core/sensor/SensorDockValues.h"
#include "core/zones/DeviceType.h"
#include "core/zones/ZoneStore.h"

#include <QFile>
#include <QScopeGuard>
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

int lineToInt(QStringView line)
{
    bool ok = false;
    const int v = line.toInt(&ok);
    return ok ? v : 0;
}

namespace {
// The text before the first comma is x, between the first and the second y.
QPoint pointOfLine(const QString &line)
{
    const int first = line.indexOf(QLatin1Char(','));
    if (first < 0)
        return QPoint(lineToInt(line), 0);
    const int second = line.indexOf(QLatin1Char(','), first + 1);
    const int yLength = second < 0 ? -1 : second - first - 1;
    const QStringView view(line);
    return QPoint(lineToInt(view.left(first)), lineToInt(view.mid(first + 1, yLength)));
}
} // namespace

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

void readAreaSection(QTextStream &in, ZoneStore &store, AreaReadReport *report, int pointLimit)
{
    AreaReadReport ignored;
    readAreaSection(in, store.areas, report ? report : &ignored, pointLimit);
}

void readAreaSection(QTextStream &in, QVector<AreaRecord> &areas, AreaReadReport *report,
                     int pointLimit)
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
    // Read into a copy: an output over the limit leaves every area as it was.
    QVector<AreaRecord> read = areas;
    const auto commit = qScopeGuard([&] {
        if (r.overflow.area < 0)
            areas = read;
    });
    for (;;) {
        if (in.atEnd())
            return;
        r.areasRead.append(n);
        AreaRecord &a = read[n];
        for (auto &list : a.points)
            list.clear();
        for (int f = 0; f < 9; ++f)
            a.setIntField(f, lineToInt(in.readLine()));
        int pending[kOutputCount];
        for (int &k : pending)
            k = lineToInt(in.readLine());

        for (int c = 0; c < kOutputCount; ++c) {
            const bool started = skipTo(in, kPointStart[c]);
            qint64 count = 0;
            QString line;
            for (;;) {
                in.readLineInto(&line);
                if (line == kPointEnd[c])
                    break;
                // A point on the very last line is not taken.
                if (in.atEnd()) {
                    if (started)
                        r.unterminatedPoints.append({n, c});
                    break;
                }
                // Past the limit the points are only counted.
                if (pointLimit > 0 && ++count > pointLimit)
                    continue;
                a.points[c].append(pointOfLine(line));
            }
            if (pointLimit > 0 && count > pointLimit) {
                r.overflow = {n, c, count};
                return;
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

QString Refusal::fill(const QString &pattern) const
{
    switch (reason) {
    case LongLine:
        return pattern.arg(line).arg(kMaxLineLength);
    case TooManyPoints:
        return pattern.arg(area).arg(output + 1).arg(count).arg(limit);
    case None:
        break;
    }
    return QString();
}

QString Refusal::text(int language) const
{
    const bool chinese = language == 0;
    if (reason == LongLine)
        return fill(chinese ? QStringLiteral("文件第 %1 行超过 %2 个字符，项目文件中没有这样的行。\n"
                                             "文件未打开，当前设计保持不变。")
                            : QStringLiteral("Line %1 of the file is longer than %2 characters; no "
                                             "project file has such a line.\nThe file is not opened "
                                             "and the design shown is unchanged."));
    return fill(chinese ? QStringLiteral("区域 %1 的 Out%2 有 %3 个点。传感器每个输出最多接受 100 个点，"
                                         "本软件最多打开 %4 个。\n文件未打开，当前设计保持不变。")
                        : QStringLiteral("Area %1, Out%2 holds %3 points. The sensor takes at most 100 "
                                         "points per output and this tool opens at most %4.\nThe file "
                                         "is not opened and the design shown is unchanged."));
}

QString Refusal::toLine() const
{
    if (reason == LongLine)
        return fill(QStringLiteral(
            "line %1 is longer than %2 characters: no project file has such a line"));
    return fill(QStringLiteral(
        "area %1 Out %2 holds %3 points, more than the %4 per output that are read"));
}

namespace {

// Line lengths from the bytes of a file opened unbuffered, a few kilobytes
// at a time, so that a file without line ends is given up early.
class LineScan
{
public:
    explicit LineScan(QFile &file) : m_file(file) {}

    // Scans on until `lines` lines have ended (-1: to the end of the file).
    // Returns the number of the first line longer than kMaxLineLength, or 0.
    qint64 until(qint64 lines)
    {
        for (;;) {
            for (; m_at < m_got; ++m_at) {
                if (m_chunk[m_at] != '\n') {
                    if (++m_length > kMaxLineLength)
                        return m_lines + 1;
                    continue;
                }
                m_length = 0;
                if (++m_lines == lines) {
                    ++m_at;
                    return 0;
                }
            }
            m_got = m_file.read(m_chunk, sizeof m_chunk);
            m_at = 0;
            if (m_got <= 0)
                return 0;
        }
    }
    qint64 lines() const { return m_lines; }

private:
    QFile &m_file;
    char m_chunk[4096];
    qint64 m_got = 0;
    qint64 m_at = 0;
    qint64 m_lines = 0;
    qint64 m_length = 0;
};

} // namespace

Refusal screenFile(const QString &path, int pointLimit)
{
    Refusal refusal;
    // Line lengths from the bytes themselves, unbuffered, so that a file
    // without line ends is refused after its first few kilobytes.
    QFile raw(path);
    if (!raw.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return refusal;
    LineScan scan(raw);
    if (const qint64 at = scan.until(1)) {
        refusal.reason = Refusal::LongLine;
        refusal.line = at;
        return refusal;
    }
    // The header as the window reads it: only a project file is read on.
    QFile text(path);
    if (!text.open(QIODevice::ReadOnly | QIODevice::Text))
        return refusal;
    QTextStream in(&text);
    if (deviceModelFromHeader(in.readLine()) < 0)
        return refusal;
    if (const qint64 at = scan.until(-1)) {
        refusal.reason = Refusal::LongLine;
        refusal.line = at;
        return refusal;
    }
    // Every line is short now: the readers can go through it, keeping no
    // more than the limit of any output.
    readSensorSection(in);
    QVector<AreaRecord> scratch(kAreaCount);
    AreaReadReport report;
    readAreaSection(in, scratch, &report, pointLimit);
    if (report.overflow.area >= 0) {
        refusal.reason = Refusal::TooManyPoints;
        refusal.area = report.overflow.area;
        refusal.output = report.overflow.output;
        refusal.count = report.overflow.count;
        refusal.limit = pointLimit;
    }
    return refusal;
}

SaveResult saveProject(const QString &fileName, int deviceType, const QVector<int> &dockValues,
                       const ZoneStore &store, QString *errorString)
{
    QByteArray bytes;
    {
        QTextStream out(&bytes, QIODevice::WriteOnly);
        writeProject(out, deviceType, dockValues, store);
    }
    return FileWriting::writeWhole(fileName, bytes, errorString);
}

} // namespace ProjectFile
