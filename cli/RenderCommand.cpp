#include "cli/RenderCommand.h"

#include "cli/LoadProject.h"
#include "core/link/ScanRecord.h"
#include "core/link/SweepCsv.h"
#include "core/project/FileWriting.h"
#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "graphics/StandaloneView.h"
#include "graphics/ViewWindow.h"

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
    LoadedProject loaded;
    if (const int status = loadProjectFor("render", file, store, err, loaded))
        return status;
    ScanRecord scan;
    scan.connectionType = 1; // no sweep: nothing drawn
    scan.displayMode = display == QLatin1String("cloud") ? 1 : display == QLatin1String("line") ? 2 : 0;
    QString why;
    if (!scanFile.isEmpty() && !SweepCsv::readSweep(scanFile, scan, &why))
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
