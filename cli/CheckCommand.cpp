#include "cli/CheckCommand.h"

#include "cli/CliArgs.h"
#include "cli/LoadProject.h"
#include "core/sensor/CaseSelection.h"
#include "core/sensor/SensorDockValues.h"
#include "core/zones/DesignCheck.h"
#include "core/zones/ZoneStore.h"

#include <QTextStream>

namespace {
const char *const kDockNames[SensorDockValues::kCount] = {
    "control mode",        "RS232 baud rate",   "RS232 parity",        "RS232 stop bits",
    "RS485 address",       "RS485 baud rate",   "RS485 parity",        "RS485 stop bits",
    "CAN address",         "CAN baud rate",     "output logic",        "motor speed",
    "angular resolution",  "filter level",      "mounting direction",  "crosstalk filter",
    "crosstalk number",    "Ethernet mode",     "IP address octet 1",  "IP address octet 2",
    "IP address octet 3",  "IP address octet 4",
};

QVector<DesignCheck::Finding> fileFindings(const LoadedProject &p)
{
    using DesignCheck::Finding;
    QVector<Finding> f;
    auto file = [&f](const QString &m) { f.append({-1, -1, m}); };
    if (!p.sensorReport.tagFound)
        file(QStringLiteral("no SensorSetting section; all 22 sensor values read as 0"));
    for (int i = 0; i < SensorDockValues::kCount; ++i) {
        if (p.rawDock.value(i) == p.dock.value(i))
            continue;
        const SensorDockValues::Limit l = SensorDockValues::limit(i);
        const QString held = p.dock[i] < 0 ? QStringLiteral("no selection")
                                           : QString::number(p.dock[i]);
        file(QStringLiteral("sensor value %1 (%2) is %3, outside %4; it reads as %5")
                 .arg(i + 1)
                 .arg(QLatin1String(kDockNames[i]))
                 .arg(p.rawDock[i])
                 .arg(l.combo ? QStringLiteral("0..%1").arg(l.items - 1)
                              : QStringLiteral("%1..%2").arg(l.min).arg(l.max))
                 .arg(held));
    }
    const ProjectFile::AreaReadReport &a = p.areaReport;
    if (!a.tagFound)
        file(QStringLiteral("no CoordTableData section; no area is read"));
    if (!a.stoppedAtIndex.isNull())
        file(QStringLiteral("area index \"%1\" outside 0..63; reading stopped there")
                 .arg(a.stoppedAtIndex));
    else if (a.tagFound && !a.endTagFound)
        file(QStringLiteral("no CoordTableDataEnd line; the file may be cut short"));
    QVector<int> seen;
    for (int n : a.areasRead) {
        if (seen.contains(n))
            file(QStringLiteral("area %1 occurs more than once; the last block counts").arg(n));
        seen.append(n);
    }
    for (const auto &k : a.refusedKinds)
        f.append({k.area, k.output,
                  QStringLiteral("shape kind %1 outside 0..%2; the area keeps its previous kind")
                      .arg(k.kind)
                      .arg(k.output == 0 ? 2 : 5)});
    for (const auto &u : a.unterminatedPoints)
        f.append({u.first, u.second,
                  QStringLiteral("point list without its end tag; the following lines were "
                                 "read as points")});
    return f;
}
// How the case channels select the areas, once any area in use has one set:
// a design that leaves every channel at zero selects by other means, and
// would otherwise show each area overlapping every other at standstill.
// These are warnings: the sensor may also be switched between areas by its
// inputs, and a narrow channel ahead of a wide one is a common way to give
// it priority, so neither tells for certain that the design is wrong.
QVector<DesignCheck::Finding> coverageFindings(const QVector<AreaRecord> &areas)
{
    using namespace CaseSelection;
    QVector<DesignCheck::Finding> f;
    bool anySet = false;
    for (const AreaRecord &a : areas)
        anySet = anySet || (inUse(a) && channelSet(a));
    if (!anySet)
        return f;
    QVector<ModeGrid> grids;
    for (int m = 0; m < kModes; ++m)
        grids << modeGrid(areas, m);
    const QVector<int> unreachable = coverage(grids).unreachable;
    const QVector<Overlap> pairs = overlaps(areas);
    for (int n = 0; n < areas.size(); ++n) {
        if (unreachable.contains(n)) {
            if (!holdsAnyState(channelOf(areas[n]))) {
                f.append({n, -1,
                          QStringLiteral("warning: unreachable: its case channel holds no state of "
                                         "steering -180..180, speed -300..300, operation mode "
                                         "0..5")});
                continue;
            }
            const QVector<int> instead = appliedInstead(grids, areas, n);
            QStringList names;
            for (int a : instead)
                names << QString::number(a);
            f.append(
                {n, -1,
                 QStringLiteral("warning: unreachable: %1 %2 %3 to every state its case channel "
                                "holds")
                     .arg(instead.size() == 1 ? "area" : "areas", names.join(", "),
                          instead.size() == 1 ? "applies" : "apply")});
            continue;
        }
        for (const Overlap &o : pairs) {
            if (o.later != n)
                continue;
            const Channel &c = o.common;
            f.append(
                {n, -1,
                 QStringLiteral("warning: case channel overlaps that of area %1 at steering "
                                "%2..%3, speed %4..%5, %6; area %1 comes first there")
                     .arg(o.earlier)
                     .arg(c.steerMin)
                     .arg(c.steerMax)
                     .arg(c.speedMin)
                     .arg(c.speedMax)
                     .arg(c.operationMode == 0 ? QStringLiteral("every mode")
                                               : QStringLiteral("mode %1").arg(c.operationMode))});
        }
    }
    return f;
}
} // namespace

void printCheckHelp(QTextStream &out)
{
    out << "Usage: sector-cli check FILE [--model Laser05|Laser10|Laser20|Laser30|Laser50]\n"
           "\n"
           "Reads the project file FILE as convert does and prints one line per finding:\n"
           "  area N Out K: ...   a zone of one output\n"
           "  area N: ...         the area's parameters or case channel\n"
           "  file: ...           the file itself\n"
           "It reports what would not survive a transfer to the sensor or is almost surely\n"
           "a mistake: shapes with the wrong number of points, Arc points at different\n"
           "radii, Rectangles that are not axis-parallel, dependent shapes off the forward\n"
           "axis, more than 100 points or distinct angles, coordinates beyond 16 bits or\n"
           "the model's range (--model checks against another model), vertices sharing an\n"
           "angle or hidden in the blind wedge behind the sensor, indexes outside their\n"
           "lists and minimums above maximums.\n"
           "Once any area in use (one holding a zone or a case channel) has a case\n"
           "channel other than all zero, it also warns how the channels select the\n"
           "areas: the sensor applies the first area, in index order, whose steering and\n"
           "speed ranges hold the vehicle's values and whose operation mode is 0 or the\n"
           "vehicle's. It names each area in use that no state selects and each pair of\n"
           "areas in use whose channels hold common states:\n"
           "  area N: warning: unreachable: area M applies to every state its case\n"
           "  channel holds\n"
           "  area N: warning: case channel overlaps that of area M at steering A..B,\n"
           "  speed C..D, every mode; area M comes first there\n"
           "Warnings leave the exit status as it is: the sensor can also be switched\n"
           "between areas by its inputs, and a narrow channel ahead of a wide one gives\n"
           "it priority. A design that sets no case channel gets none.\n"
           "\n"
           "Exit status: 0 clean or warnings only, 1 findings, 2 bad arguments, FILE\n"
           "unreadable or not a project file.\n";
}

int runCheck(const QStringList &args, QTextStream &out, QTextStream &err)
{
    ModelArgs parsed;
    // Exit 1 means findings: a usage error is 2, as for the link commands.
    if (parseModelArgs(QStringLiteral("check"), args, 1, parsed, err))
        return 2;
    if (parsed.help) {
        printCheckHelp(out);
        return 0;
    }
    const QString name = parsed.files[0];
    ZoneStore store;
    LoadedProject loaded;
    if (const int status = loadProjectFor("check", name, store, err, loaded))
        return status;
    const int model = parsed.model >= 0 ? parsed.model : loaded.model;

    QVector<DesignCheck::Finding> findings = fileFindings(loaded);
    for (int n = 0; n < kAreaCount; ++n)
        findings += DesignCheck::checkArea(n, store.areas[n], model);
    const int errors = findings.size();
    findings += coverageFindings(store.areas);
    for (const DesignCheck::Finding &f : findings)
        out << f.toLine() << '\n';
    return errors == 0 ? 0 : 1;
}
