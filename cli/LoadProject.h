#pragma once

#include "core/project/ProjectFile.h"

#include <QString>
#include <QVector>

class QTextStream;
class ZoneStore;

// Reads a project file as the welcome dialog's Open does, into a store that
// starts as a freshly started tool's. A file refused by
// ProjectFile::screenFile (at the command line's point limit) is Unreadable,
// with the reason as its error.
struct LoadedProject {
    enum Status { Ok, Unreadable, NotProject };
    Status status = Unreadable;
    QString error;           // why the file could not be read
    int model = -1;          // from the header line
    QVector<int> rawDock;    // the 22 sensor values as written
    QVector<int> dock;       // as the settings dock holds them
    ProjectFile::SensorReadReport sensorReport;
    ProjectFile::AreaReadReport areaReport;
};

LoadedProject loadProject(const QString &path, ZoneStore &store);

// loadProject for a command: when the file cannot be read (or is refused)
// prints "sector-cli COMMAND: cannot read FILE: WHY", when it is no project
// file, or not one of `model` where a model is given, prints "FileError";
// either way returns 2. 0 when the project was read.
int loadProjectFor(const char *command, const QString &path, ZoneStore &store, QTextStream &err,
                   LoadedProject &loaded, int model = -1);
