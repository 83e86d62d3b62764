#pragma once

#include "core/project/FileWriting.h"
#include "core/zones/AreaRecord.h"

#include <QPair>
#include <QString>
#include <QVector>

class QTextStream;
class ZoneStore;

// The line-oriented project file: a header line naming the model, the 22
// values of the sensor settings dock, then all 64 areas.
namespace ProjectFile {

// What a reader met on its way, for tools that lint a file. Reading itself
// never stops for any of it.
struct SensorReadReport {
    bool tagFound = false;
};

struct AreaReadReport {
    struct RefusedKind {
        int area;
        int output;
        int kind;
    };
    bool tagFound = false;
    bool endTagFound = false;
    QVector<int> areasRead;       // in file order
    QString stoppedAtIndex;       // the index line outside 0..63 that ended reading
    QVector<RefusedKind> refusedKinds;
    QVector<QPair<int, int>> unterminatedPoints; // (area, output) without end tag
    // The first output that held more points than the reader was allowed to
    // take (area -1: none). Its points are counted, not kept.
    struct Overflow {
        int area = -1;
        int output = -1;
        qint64 count = 0;
    };
    Overflow overflow;
};

// What the window opens: a hundred times the points an output of the sensor
// takes. Far beyond any design meant for a sensor, and small enough that the
// coordinate tables and one handle per point stay quick.
constexpr int kOpenPointLimit = 10000;
// sector-cli keeps no tables or handles and draws bounded by the picture.
constexpr int kToolPointLimit = 100000;
// The writer's longest line is a point of two 11-character numbers; a line
// longer than this is no project file's.
constexpr int kMaxLineLength = 1024;

// Why a file is not opened, for a message that names what is wrong.
struct Refusal {
    enum Reason { None, LongLine, TooManyPoints };
    Reason reason = None;
    qint64 line = 0; // LongLine: the line's number, from 1
    int area = -1;   // TooManyPoints: the first output over the limit
    int output = -1; // 0..2
    qint64 count = 0;
    int limit = 0;

    bool refused() const { return reason != None; }
    // For the window's message box: language 0 Chinese, 1 English.
    QString text(int language) const;
    // For sector-cli: one line.
    QString toLine() const;

private:
    QString fill(const QString &pattern) const;
};

// Reads the file once, keeping nothing, to tell whether it may be opened:
// no line longer than kMaxLineLength (a first line that never ends is
// refused within a few kilobytes) and, when the first line is a project
// header, no output of more than `pointLimit` points. A file that cannot be
// opened or is no project file is not refused here: the caller reports it
// as it always has, reading no more than the first line.
Refusal screenFile(const QString &path, int pointLimit = kOpenPointLimit);

// Section writers and readers working on an open text stream. Writers end
// every line with a line break; readers accept LF and CR LF.
void writeSensorSection(QTextStream &out, const QVector<int> &dockValues);
// Skips to the "SensorSetting" tag and reads 22 lines as integers; a line
// that is not a number or is missing gives 0. Values are returned raw: the
// dock's widgets apply their own limits when given them.
QVector<int> readSensorSection(QTextStream &in, SensorReadReport *report = nullptr);

void writeAreaSection(QTextStream &out, const ZoneStore &store);
// Reads area blocks after the "CoordTableData" tag into the store. Areas
// absent from the file keep their records. With a pointLimit above 0, an
// output of more points stops the reading and leaves every area as it was;
// the report names it.
void readAreaSection(QTextStream &in, ZoneStore &store, AreaReadReport *report = nullptr,
                     int pointLimit = 0);
void readAreaSection(QTextStream &in, QVector<AreaRecord> &areas, AreaReadReport *report,
                     int pointLimit = 0);

// Header, sensor section and area section.
void writeProject(QTextStream &out, int deviceType, const QVector<int> &dockValues,
                  const ZoneStore &store);

using SaveResult = FileWriting::Outcome;

// Writes the whole project to fileName (FileWriting::writeWhole): a failed or
// interrupted save never passes for one and leaves the previous file as it
// was. errorString receives the reason.
SaveResult saveProject(const QString &fileName, int deviceType, const QVector<int> &dockValues,
                       const ZoneStore &store, QString *errorString = nullptr);

// A line converted to an integer, 0 when it is not a number.
int lineToInt(QStringView line);

} // namespace ProjectFile
