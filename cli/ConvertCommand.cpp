#include "cli/ConvertCommand.h"

#include "cli/CliArgs.h"
#include "cli/LoadProject.h"
#include "core/project/ProjectFile.h"
#include "core/zones/ZoneStore.h"

#include <QTextStream>

void printConvertHelp(QTextStream &out)
{
    out << "Usage: sector-cli convert IN OUT [--model Laser05|Laser10|Laser20|Laser30|Laser50]\n"
           "\n"
           "Reads the project file IN as the welcome dialog's Open does (its header line\n"
           "picks the model; the 22 sensor values pass through the settings dock's limits)\n"
           "and writes OUT exactly as Save writes it. With --model the file is written for\n"
           "that model instead, so a design can be reused on another model. OUT is written\n"
           "under the name given, no suffix added, and replaced only when it is complete.\n"
           "\n"
           "Exit status: 0 written, 1 bad arguments, 2 IN unreadable or damaged, OUT not\n"
           "written.\n";
}

int runConvert(const QStringList &args, QTextStream &out, QTextStream &err)
{
    ModelArgs parsed;
    if (const int status = parseModelArgs(QStringLiteral("convert"), args, 2, parsed, err))
        return status;
    if (parsed.help) {
        printConvertHelp(out);
        return 0;
    }
    const int forcedModel = parsed.model;
    const QString inName = parsed.files[0];
    const QString outName = parsed.files[1];

    ZoneStore store;
    LoadedProject loaded;
    if (const int status = loadProjectFor("convert", inName, store, err, loaded))
        return status;
    const int model = loaded.model;
    const QVector<int> &dock = loaded.dock;

    QString why;
    const auto result = ProjectFile::saveProject(outName, forcedModel >= 0 ? forcedModel : model,
                                                 dock, store, &why);
    if (result != ProjectFile::SaveResult::Saved) {
        err << "sector-cli convert: cannot write " << outName << ": " << why << "; "
            << FileWriting::consequence(result) << '\n';
        return 2;
    }
    return 0;
}
