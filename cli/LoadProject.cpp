#include "cli/LoadProject.h"

#include "core/sensor/SensorDockValues.h"
#include "core/zones/DeviceType.h"
#include "core/zones/ZoneStore.h"

#include <QFile>
#include <QTextStream>

LoadedProject loadProject(const QString &path, ZoneStore &store)
{
    LoadedProject p;
    // A freshly started tool: detection size 1 everywhere.
    store.setAllDetectionSize(1);
    // A file no reading should go through (a line without end, an output
    // of more points than are read) counts as unreadable, with the reason.
    const ProjectFile::Refusal refusal =
        ProjectFile::screenFile(path, ProjectFile::kToolPointLimit);
    if (refusal.refused()) {
        p.error = refusal.toLine();
        return p;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        p.error = in.errorString();
        return p;
    }
    QTextStream stream(&in);
    p.model = deviceModelFromHeader(stream.readLine());
    if (p.model < 0) {
        p.status = LoadedProject::NotProject;
        return p;
    }
    p.rawDock = ProjectFile::readSensorSection(stream, &p.sensorReport);
    p.dock = SensorDockValues::held(p.rawDock);
    ProjectFile::readAreaSection(stream, store, &p.areaReport);
    p.status = LoadedProject::Ok;
    return p;
}

int loadProjectFor(const char *command, const QString &path, ZoneStore &store, QTextStream &err,
                   LoadedProject &loaded, int model)
{
    loaded = loadProject(path, store);
    if (loaded.status == LoadedProject::Unreadable) {
        err << "sector-cli " << command << ": cannot read " << path << ": " << loaded.error << '\n';
        return 2;
    }
    if (loaded.status == LoadedProject::NotProject || (model >= 0 && loaded.model != model)) {
        err << "FileError\n";
        return 2;
    }
    return 0;
}
