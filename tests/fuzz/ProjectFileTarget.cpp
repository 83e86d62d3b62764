#include "tests/fuzz/FuzzChecks.h"
#include "tests/fuzz/FuzzTargets.h"

#include "core/project/ProjectFile.h"
#include "core/sensor/SensorParameters.h"
#include "core/zones/DeviceType.h"
#include "core/zones/ZoneStore.h"

#include <QIODevice>
#include <QTextStream>

namespace FuzzTargets {

QString projectFile(const QByteArray &bytes)
{
    ZoneStore store;
    store.setAllDetectionSize(1);
    QTextStream in(bytes, QIODevice::ReadOnly);
    const int model = deviceModelFromHeader(in.readLine());
    if (model < 0)
        return QString(); // refused as a damaged file: nothing is read
    ProjectFile::SensorReadReport sensorReport;
    const QVector<int> raw = ProjectFile::readSensorSection(in, &sensorReport);
    SensorParameters parameters;
    const QVector<int> dock = SensorParameterRules::applyFile(parameters, raw);
    ProjectFile::AreaReadReport areaReport;
    ProjectFile::readAreaSection(in, store, &areaReport);

    const QString dockWrong = FuzzChecks::dockHolds(dock);
    if (!dockWrong.isEmpty())
        return dockWrong;

    // Every point came from a line of its own.
    const int lines = bytes.count('\n') + bytes.count('\r') + 1;
    int points = 0;
    for (int a = 0; a < kAreaCount; ++a) {
        const QString wrong = FuzzChecks::storedArea(a, store.areas[a], ShapeRectangle, lines);
        if (!wrong.isEmpty())
            return wrong;
        for (const auto &list : store.areas[a].points)
            points += list.size();
    }
    if (points > lines)
        return QStringLiteral("%1 points from %2 lines").arg(points).arg(lines);

    // What was read saves and reads back unchanged.
    QByteArray saved;
    {
        QTextStream out(&saved, QIODevice::WriteOnly);
        ProjectFile::writeProject(out, model, dock, store);
    }
    ZoneStore again;
    QTextStream back(saved, QIODevice::ReadOnly);
    if (deviceModelFromHeader(back.readLine()) != model)
        return QStringLiteral("the saved header names another model");
    if (ProjectFile::readSensorSection(back) != dock)
        return QStringLiteral("the sensor section did not read back");
    ProjectFile::readAreaSection(back, again);
    for (int a = 0; a < kAreaCount; ++a)
        if (again.areas[a] != store.areas[a])
            return QStringLiteral("area %1 did not read back as saved").arg(a);

    // The design goes on to the sensor and to the screen.
    const double span = deviceModelInfo(model)->sceneSpan;
    QVector<AreaRecord> checked; // most areas of a file are alike: each kind of area once
    for (int a : qAsConst(areaReport.areasRead)) {
        if (checked.contains(store.areas[a]))
            continue;
        checked.append(store.areas[a]);
        const QString wrong = FuzzChecks::travelsIntact(a, store.areas[a]);
        if (!wrong.isEmpty())
            return wrong;
        FuzzChecks::draw(store.areas[a], span);
    }
    return QString();
}

} // namespace FuzzTargets
