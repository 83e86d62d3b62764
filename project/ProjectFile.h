#pragma once

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
};

// Section writers and readers working on an open text stream. Writers end
// every line with a line break; readers accept LF and CR LF.
void writeSensorSection(QTextStream &out, const QVector<int> &dockValues);
// Skips to the "SensorSetting" tag and reads 22 lines as integers; a line
// that is not a number or is missing gives 0. Values are returned raw: the
// dock's widgets apply their own limits when given them.
QVector<int> readSensorSection(QTextStream &in, SensorReadReport *report = nullptr);

void writeAreaSection(QTextStream &out, const ZoneStore &store);
// Reads area blocks after the "CoordTableData" tag into the store. Areas
// absent from the file keep their records.
void readAreaSection(QTextStream &in, ZoneStore &store, AreaReadReport *report = nullptr);

// Header, sensor section and area section.
void writeProject(QTextStream &out, int deviceType, const QVector<int> &dockValues,
                  const ZoneStore &store);

enum class SaveResult { Saved, OpenFailed, WriteFailed };

// Writes the whole project to fileName through a QSaveFile: the file is
// replaced only once everything has been written, so a failed or interrupted
// save leaves the previous file as it was. errorString receives the reason.
SaveResult saveProject(const QString &fileName, int deviceType, const QVector<int> &dockValues,
                       const ZoneStore &store, QString *errorString = nullptr);

// A line converted to an integer, 0 when it is not a number.
int lineToInt(const QString &line);

} // namespace ProjectFile
