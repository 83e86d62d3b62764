#include "cli/CoverageCommand.h"

#include "cli/LoadProject.h"
#include "core/sensor/CaseSelection.h"
#include "core/zones/ZoneStore.h"

#include "core/project/FileWriting.h"
#include "graphics/CoverageChart.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QTextStream>

namespace {

// The picture is made in memory and written whole, as a project is.
int writeMap(const ZoneStore &store, const QString &map, bool svg, const QSize &size, bool chinese,
             QTextStream &err)
{
    QBuffer target;
    target.open(QIODevice::WriteOnly);
    const QRectF page(QPointF(0, 0), size);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&target);
        generator.setSize(size);
        generator.setViewBox(page);
        generator.setTitle(chinese ? QStringLiteral("工况覆盖") : QStringLiteral("Case Coverage"));
        QPainter p(&generator);
        CoverageChart::paintAllModes(p, page, store.areas, chinese);
    } else {
        QImage image(size, QImage::Format_RGB32);
        {
            QPainter p(&image);
            CoverageChart::paintAllModes(p, page, store.areas, chinese);
        }
        if (!image.save(&target, "PNG")) {
            err << "sector-cli coverage: cannot write " << map << '\n';
            return 2;
        }
    }
    QString why;
    if (FileWriting::writeWhole(map, target.data(), &why) != FileWriting::Outcome::Saved) {
        err << "sector-cli coverage: cannot write " << map << ": " << why << '\n';
        return 2;
    }
    return 0;
}

} // namespace

void printCoverageHelp(QTextStream &out)
{
    out << "Usage: sector-cli coverage FILE [--at STEER SPEED MODE]\n"
           "       sector-cli coverage FILE -o MAP.png|MAP.svg [--size WxH] [--chinese]\n"
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
           "-o draws the map of all six modes instead, as the Case Coverage window\n"
           "shows them: steering across, speed up, each state in the colour of the area\n"
           "that applies (its number where there is room), gaps hatched grey, overlaps\n"
           "hatched dark, and the unreachable areas on the last line. The suffix picks\n"
           "PNG or SVG; --size sets the picture (default 1500x1000), --chinese the\n"
           "language of its texts.\n"
           "Exit status 0, 1 for bad arguments, 2 when FILE cannot be read or MAP\n"
           "cannot be written.\n";
}

int runCoverage(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString file, map;
    bool at = false, ok = true, chinese = false;
    QSize size(1500, 1000);
    int state[3] = {0, 0, 0};
    for (int i = 0; i < args.size() && ok; ++i) {
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
        } else if (a == QLatin1String("-o") && map.isEmpty() && i + 1 < args.size()) {
            map = args[++i];
        } else if (a == QLatin1String("--size") && i + 1 < args.size()) {
            const QStringList wh = args[++i].toLower().split(QLatin1Char('x'));
            size = QSize(wh.value(0).toInt(), wh.value(1).toInt());
            ok = wh.size() == 2 && size.width() >= 300 && size.height() >= 200 &&
                 size.width() <= 8000 && size.height() <= 8000;
        } else if (a == QLatin1String("--chinese")) {
            chinese = true;
        } else if (file.isEmpty() && !a.startsWith(QLatin1String("-"))) {
            file = a;
        } else {
            ok = false;
        }
    }
    if (!ok || file.isEmpty() || (at && !map.isEmpty())) {
        err << "sector-cli coverage: expected FILE [--at STEER SPEED MODE | -o MAP] (see "
               "sector-cli coverage --help)\n";
        return 1;
    }
    const bool svg = map.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
    if (!map.isEmpty() && !svg && !map.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
        err << "sector-cli coverage: " << map << ": the map must end in .png or .svg\n";
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
    if (!map.isEmpty())
        return writeMap(store, map, svg, size, chinese, err);
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
