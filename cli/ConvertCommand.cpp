#include "ConvertCommand.h"

#include "DeviceType.h"
#include "ProjectFile.h"
#include "SensorDockValues.h"
#include "ZoneStore.h"

#include <QFile>
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
    QStringList positional;
    QString modelName;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            printConvertHelp(out);
            return 0;
        }
        if (a == QLatin1String("--model")) {
            if (i + 1 >= args.size()) {
                err << "sector-cli convert: --model needs a model name\n";
                return 1;
            }
            modelName = args[++i];
        } else if (a.startsWith(QLatin1String("--model="))) {
            modelName = a.mid(8);
        } else if (a.startsWith(QLatin1String("--"))) {
            err << "sector-cli convert: unknown option " << a << '\n';
            return 1;
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2) {
        err << "sector-cli convert: expected IN and OUT (see sector-cli convert --help)\n";
        return 1;
    }
    int forcedModel = -1;
    if (!modelName.isEmpty()) {
        forcedModel = deviceModelFromName(modelName);
        if (forcedModel < 0) {
            err << "sector-cli convert: unknown model " << modelName
                << " (Laser05, Laser10, Laser20, Laser30 or Laser50)\n";
            return 1;
        }
    }
    const QString inName = positional[0];
    const QString outName = positional[1];

    // The state of a freshly started tool.
    ZoneStore store;
    store.setAllDetectionSize(1);

    QFile in(inName);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        err << "sector-cli convert: cannot read " << inName << ": " << in.errorString() << '\n';
        return 2;
    }
    QTextStream stream(&in);
    const int model = deviceModelFromHeader(stream.readLine());
    if (model < 0) {
        err << "FileError\n";
        return 2;
    }
    const QVector<int> dock = SensorDockValues::held(ProjectFile::readSensorSection(stream));
    ProjectFile::readAreaSection(stream, store);

    QString why;
    const auto result = ProjectFile::saveProject(outName, forcedModel >= 0 ? forcedModel : model,
                                                 dock, store, &why);
    if (result != ProjectFile::SaveResult::Saved) {
        err << "sector-cli convert: cannot write " << outName << ": " << why << '\n';
        return 2;
    }
    return 0;
}
