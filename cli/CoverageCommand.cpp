#include "cli/CoverageCommand.h"

#include "cli/LoadProject.h"
#include "core/sensor/CaseSelection.h"
#include "core/zones/ZoneStore.h"

#include <QTextStream>

void printCoverageHelp(QTextStream &out)
{
    out << "Usage: sector-cli coverage FILE [--at STEER SPEED MODE]\n"
           "\n"
           "How the case channels of a design cover the states of the vehicle. The\n"
           "sensor applies the first area, in index order, whose steering and speed\n"
           "ranges hold the values (bounds included) and whose operation mode is 0 or\n"
           "the vehicle's. Over every whole steering angle -180..180 and speed\n"
           "-300..300, for each operation mode 0..5, it prints\n"
           "  mode M: gaps N cells, overlaps N cells\n"
           "(a gap: no area in use applies; an overlap: more than one area in use holds\n"
           "the state, the later ones shadowed), then the areas in use that no state\n"
           "selects: unreachable areas: ... An area is in use when it holds a zone or\n"
           "its case channel is not all zero.\n"
           "--at prints the area that applies to one state and every area that holds\n"
           "it: applies: 5; holds: 5 9   or   applies: none. MODE is 0..5; negative\n"
           "values are plain arguments (--at -60 -300 1).\n"
           "Exit status 0, 1 for bad arguments, 2 when FILE cannot be read.\n";
}

int runCoverage(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString file;
    bool at = false, ok = true;
    int state[3] = {0, 0, 0};
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            printCoverageHelp(out);
            return 0;
        }
        if (a == QLatin1String("--at")) {
            if (at || i + 3 >= args.size()) {
                ok = false;
                break;
            }
            for (int k = 0; k < 3 && ok; ++k)
                state[k] = args[i + 1 + k].toInt(&ok);
            ok = ok && state[2] >= 0 && state[2] < CaseSelection::kModes;
            at = true;
            i += 3;
        } else if (file.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            file = a;
        } else {
            ok = false;
        }
    }
    if (!ok || file.isEmpty()) {
        err << "sector-cli coverage: expected FILE [--at STEER SPEED MODE] (see sector-cli "
               "coverage --help)\n";
        return 1;
    }
    ZoneStore store;
    LoadedProject loaded;
    if (const int status = loadProjectFor("coverage", file, store, err, loaded))
        return status;
    if (at) {
        QVector<CaseSelection::Channel> channels;
        for (const AreaRecord &area : store.areas)
            channels << CaseSelection::channelOf(area);
        const int applies = CaseSelection::applies(channels, state[0], state[1], state[2]);
        if (applies < 0) {
            out << "applies: none\n";
            return 0;
        }
        out << "applies: " << applies << "; holds:";
        for (int a : CaseSelection::holders(channels, state[0], state[1], state[2]))
            out << ' ' << a;
        out << '\n';
        return 0;
    }
    const CaseSelection::Coverage c = CaseSelection::coverage(store.areas);
    for (int m = 0; m < CaseSelection::kModes; ++m)
        out << "mode " << m << ": gaps " << c.modes[m].gaps << " cells, overlaps "
            << c.modes[m].overlaps << " cells\n";
    out << "unreachable areas:";
    if (c.unreachable.isEmpty())
        out << " none";
    for (int i = 0; i < c.unreachable.size(); ++i)
        out << (i ? ", " : " ") << c.unreachable[i];
    out << '\n';
    return 0;
}
