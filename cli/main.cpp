#include "cli/CheckCommand.h"
#include "cli/ConvertCommand.h"
#include "cli/CoverageCommand.h"
#include "cli/LinkCommands.h"
#include "cli/RenderCommand.h"
#include "cli/ReplayCommand.h"
#include "cli/ReportCommand.h"

#include <QApplication>
#include <memory>

#include <QCoreApplication>
#include <QHash>
#include <QTextStream>

#include <cstdio>

namespace {
void printHelp(QTextStream &out)
{
    out << "sector-cli - command-line companion of Sector Studio\n"
           "\n"
           "Usage: sector-cli COMMAND [ARGS]\n"
           "\n"
           "Commands:\n"
           "  convert IN OUT [--model NAME]   read a project file and write it as Save\n"
           "                                  would, optionally for another model\n"
           "  check FILE [--model NAME]       list what in a design would not survive a\n"
           "                                  transfer or is almost surely a mistake\n"
           "  render FILE -o OUT.png|OUT.svg  draw an area as the view shows it\n"
           "  coverage FILE [--at S V M]      how the case channels cover the vehicle's\n"
           "                                  states, or which area applies to one state\n"
           "  coverage FILE -o MAP.png|.svg   draw that coverage for all six modes\n"
           "  report FILE [LINK] -o OUT.pdf   the commissioning report (A4 PDF), with a\n"
           "                                  sensor's identity and verify when LINK given\n"
           "\n";
    printLinkHelp(out);
    out << "\nRecordings:\n";
    printReplayHelp(out);
    out << "\nsector-cli COMMAND --help explains a command.\n";
}
} // namespace

int main(int argc, char *argv[])
{
    // Rendering draws with the view's own widgets, off screen; so do the
    // report's pictures, and the coverage map needs the fonts of a GUI
    // application too.
    bool render = argc > 1 && (qstrcmp(argv[1], "render") == 0 || qstrcmp(argv[1], "report") == 0);
    if (argc > 1 && qstrcmp(argv[1], "coverage") == 0)
        for (int i = 2; i < argc; ++i)
            render = render || qstrcmp(argv[i], "-o") == 0;
    if (render && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application(render ? new QApplication(argc, argv)
                                                         : new QCoreApplication(argc, argv));
    QCoreApplication::setApplicationName(QStringLiteral("sector-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        printHelp(err);
        return 1;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h")
        || command == QLatin1String("help")) {
        printHelp(out);
        if (!args.isEmpty() && args.first() == QLatin1String("convert"))
            printConvertHelp(out);
        if (!args.isEmpty() && args.first() == QLatin1String("check"))
            printCheckHelp(out);
        if (!args.isEmpty() && args.first() == QLatin1String("coverage"))
            printCoverageHelp(out);
        if (!args.isEmpty() && args.first() == QLatin1String("report"))
            printReportHelp(out);
        return 0;
    }
    if (command == QLatin1String("convert"))
        return runConvert(args, out, err);
    if (command == QLatin1String("check"))
        return runCheck(args, out, err);
    if (command == QLatin1String("render"))
        return runRender(args, out, err);
    if (command == QLatin1String("coverage"))
        return runCoverage(args, out, err);
    if (command == QLatin1String("report"))
        return runReport(args, out, err);
    if (command == QLatin1String("replay"))
        return runReplay(args, out, err);
    if (command == QLatin1String("export"))
        return runExport(args, out, err);
    using Runner = int (*)(const QStringList &, QTextStream &, QTextStream &);
    const QHash<QString, Runner> link = {
        {QStringLiteral("read"), runRead},       {QStringLiteral("write"), runWrite},
        {QStringLiteral("verify"), runVerify},   {QStringLiteral("info"), runInfo},
        {QStringLiteral("reboot"), runReboot},   {QStringLiteral("record"), runRecord},
        {QStringLiteral("discover"), runDiscover},
    };
    if (Runner r = link.value(command))
        return r(args, out, err);

    err << "sector-cli: unknown command " << command << " (see sector-cli --help)\n";
    return 1;
}
