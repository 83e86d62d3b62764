#include "RenderCommand.h"

#include "FileWriting.h"
#include "LoadProject.h"
#include "OPTION_SCENE.h"
#include "ScanRecord.h"
#include "StandaloneView.h"
#include "ViewWindow.h"
#include "ZoneStore.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QSvgGenerator>
#include <QTextStream>

void printRenderHelp(QTextStream &out)
{
    out << "Usage: sector-cli render FILE -o OUT.png|OUT.svg [--area N] [--output K]\n"
           "                          [--size WxH] [--zoom LEVEL] [--scan CSV]\n"
           "                          [--display graph|cloud|line]\n"
           "\n"
           "Draws what the view window shows for area N (0..63, default 0) of the project\n"
           "file, with output K (1..3, default 1) as the edited output: grid, rings, axes,\n"
           "blind region, labels in metres and the three zones, no handles. --size sets\n"
           "the picture (default 1190x715), --zoom the view's zoom level (default the\n"
           "model's minimum), --scan the first complete sweep of a file written by\n"
           "sector-cli record, drawn in the given display mode (default graph).\n";
}

namespace {
// A recording's lines are a few numbers each: a longer one ends the reading
// (a file without line ends costs a few kilobytes, not all of it).
constexpr int kLongestLine = 256;

bool readLine(QTextStream &in, QString &line)
{
    return in.readLineInto(&line, kLongestLine + 1) && line.size() <= kLongestLine;
}

bool readSweep(const QString &path, ScanRecord &scan, QString *why)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *why = f.errorString();
        return false;
    }
    QTextStream in(&f);
    QString line;
    if (!readLine(in, line)
        || line.trimmed() != QLatin1String("sweep,step,distance_mm,intensity")) {
        *why = QStringLiteral("not a recording (no sweep,step,distance_mm,intensity header)");
        return false;
    }
    int n = 0;
    while (n < ScanRecord::kRingSize && readLine(in, line)) {
        const QStringList f = line.split(QLatin1Char(','));
        if (f.size() != 4 || f[0].toInt() != 0)
            break;
        scan.distanceRing[size_t(n)] = std::uint16_t(f[2].toUInt());
        scan.intensityRing[size_t(n)] = std::uint16_t(f[3].toUInt());
        ++n;
    }
    if (n == 0) {
        *why = QStringLiteral("no sweep in it");
        return false;
    }
    scan.connectionType = 1;
    scan.sweepLength = n;
    return true;
}
} // namespace

int runRender(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString file, output;
    int area = 0, channel = 1, zoom = INT_MIN;
    QSize size(1190, 715);
    QString scanFile, display = QStringLiteral("graph");
    const auto bad = [&err](const QString &what) {
        err << "sector-cli render: " << what << '\n';
        return 2;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            printRenderHelp(out);
            return 0;
        }
        const bool takes = a == QLatin1String("-o") || a.startsWith(QLatin1String("--"));
        if (!takes) {
            if (!file.isEmpty())
                return bad(QStringLiteral("one project FILE only"));
            file = a;
            continue;
        }
        if (i + 1 >= args.size())
            return bad(a + QStringLiteral(" needs a value"));
        const QString v = args[++i];
        bool ok = true;
        if (a == QLatin1String("-o"))
            output = v;
        else if (a == QLatin1String("--area"))
            ok = (area = v.toInt(&ok), ok) && area >= 0 && area <= 63;
        else if (a == QLatin1String("--output"))
            ok = (channel = v.toInt(&ok), ok) && channel >= 1 && channel <= 3;
        else if (a == QLatin1String("--zoom"))
            zoom = v.toInt(&ok);
        else if (a == QLatin1String("--size")) {
            const QStringList wh = v.toLower().split(QLatin1Char('x'));
            const int w = wh.value(0).toInt(), h = wh.value(1).toInt();
            ok = wh.size() == 2 && w >= 16 && h >= 16 && w <= 8000 && h <= 8000;
            size = QSize(w, h);
        } else if (a == QLatin1String("--scan"))
            scanFile = v;
        else if (a == QLatin1String("--display"))
            ok = (display = v) == QLatin1String("graph") || v == QLatin1String("cloud")
                 || v == QLatin1String("line");
        else
            return bad(QStringLiteral("unknown option ") + a);
        if (!ok)
            return bad(QStringLiteral("bad value for %1: %2").arg(a, v));
    }
    if (file.isEmpty() || output.isEmpty())
        return bad(QStringLiteral("expected FILE and -o OUT (see sector-cli render --help)"));
    const bool svg = output.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
    if (!svg && !output.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return bad(QStringLiteral("%1: the picture must end in .png or .svg").arg(output));

    ZoneStore store;
    const LoadedProject loaded = loadProject(file, store);
    if (loaded.status == LoadedProject::Unreadable)
        return bad(QStringLiteral("cannot read %1: %2").arg(file, loaded.error));
    if (loaded.status == LoadedProject::NotProject) {
        err << "FileError\n";
        return 2;
    }
    ScanRecord scan;
    scan.connectionType = 1; // no sweep: nothing drawn
    scan.displayMode = display == QLatin1String("cloud") ? 1 : display == QLatin1String("line") ? 2 : 0;
    QString why;
    if (!scanFile.isEmpty() && !readSweep(scanFile, scan, &why))
        return bad(QStringLiteral("%1: %2").arg(scanFile, why));

    StandaloneView view(&store, &scan, loaded.model, size);
    if (zoom != INT_MIN)
        view.setZoom(zoom);
    view.showPicture(area, channel - 1);

    // The picture is made in memory and written whole, as a project is.
    QBuffer target;
    target.open(QIODevice::WriteOnly);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&target);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(QStringLiteral("Area %1").arg(area));
        QPainter p(&generator);
        p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        view.render(&p);
    } else if (!view.grab().save(&target, "PNG")) {
        return bad(QStringLiteral("cannot write %1").arg(output));
    }
    if (FileWriting::writeWhole(output, target.data(), &why) != FileWriting::Outcome::Saved)
        return bad(QStringLiteral("cannot write %1: %2").arg(output, why));
    return 0;
}
