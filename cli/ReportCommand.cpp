#include "cli/ReportCommand.h"

#include "cli/LinkCommands.h"
#include "cli/LinkSession.h"
#include "cli/LoadProject.h"
#include "core/zones/DeviceType.h"
#include "core/zones/ZoneStore.h"
#include "graphics/CommissioningReport.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

void printReportHelp(QTextStream &out)
{
    out << "Usage: sector-cli report FILE [--tcp HOST[:PORT]|--udp HOST[:PORT]|\n"
           "                          --serial DEVICE [--baud N]] [--model NAME]\n"
           "                          [--language zh|en] -o REPORT.pdf\n"
           "\n"
           "Writes the commissioning report of a project file as an A4 PDF: the file's\n"
           "name and SHA-256, date and time, the tool's version, the sensor parameters,\n"
           "a picture and the values of every area in use, the case channels and a\n"
           "sign-off block. With a sensor connection it also gives the sensor's product\n"
           "type, firmware, serial number and production date and the result of verify\n"
           "against FILE. --model defaults to the file's model, --language to English.\n"
           "Exit status: 0 written, 1 written but the sensor does not hold FILE, 2 usage\n"
           "or file error, 3 link failure.\n";
}

namespace {
bool takesValue(const QString &a)
{
    return a == QLatin1String("-o") || a == QLatin1String("--language") ||
           a == QLatin1String("--tcp") || a == QLatin1String("--udp") ||
           a == QLatin1String("--serial") || a == QLatin1String("--baud") ||
           a == QLatin1String("--model");
}
} // namespace

int runReport(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const auto usage = [&err](const QString &why) {
        err << "sector-cli report: " << why << '\n';
        return 2;
    };
    QString output, language = QStringLiteral("en"), modelName;
    QStringList files, link;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            printReportHelp(out);
            return 0;
        }
        if (!takesValue(a)) {
            if (a.startsWith(QLatin1Char('-')))
                return usage(QStringLiteral("unknown option ") + a);
            files << a;
            continue;
        }
        if (i + 1 >= args.size())
            return usage(a + QStringLiteral(" needs a value"));
        const QString v = args[++i];
        if (a == QLatin1String("-o"))
            output = v;
        else if (a == QLatin1String("--language"))
            language = v;
        else if (a == QLatin1String("--model"))
            modelName = v;
        else
            link << a << v;
    }
    if (files.size() != 1 || output.isEmpty())
        return usage(
            QStringLiteral("expected FILE and -o REPORT.pdf (see sector-cli report --help)"));
    if (language != QLatin1String("en") && language != QLatin1String("zh"))
        return usage(QStringLiteral("--language takes zh or en, not ") + language);
    int model = -1;
    if (!modelName.isEmpty() && (model = deviceModelFromName(modelName)) < 0)
        return usage(
            QStringLiteral("unknown model %1 (Laser05, Laser10, Laser20, Laser30 or Laser50)")
                .arg(modelName));

    const QString file = files.first();
    ZoneStore store;
    LoadedProject loaded;
    if (const int status = loadProjectFor("report", file, store, err, loaded, model))
        return status;
    QFile raw(file);
    if (!raw.open(QIODevice::ReadOnly))
        return usage(QStringLiteral("cannot read %1: %2").arg(file, raw.errorString()));

    ReportInput in;
    in.chinese = language == QLatin1String("zh");
    in.projectName = QFileInfo(file).fileName();
    in.projectBytes = raw.readAll();
    in.fileState = ReportInput::FileState::AsRead;
    in.model = loaded.model;
    in.when = QDateTime::currentDateTime();
    in.version = studioVersion();
    // What a write of the file would send: the dock as the file sets it.
    SensorParameterRules::applyFile(in.parameters, loaded.rawDock);
    in.areas = store.areas;

    bool differs = false;
    if (!link.isEmpty()) {
        LinkOptions o;
        if (const int status = parseLinkOptions(QStringLiteral("report"), link, o, err))
            return status;
        o.model = loaded.model;
        SensorVerification v;
        if (const int status = verifyAgainstSensor("report", file, o, true, err, v))
            return status;
        in.sensor.present = true;
        in.sensor.product = v.product;
        in.sensor.connection = o.describe();
        in.sensor.compared = true;
        in.sensor.differences = v.differences;
        // The design as write would send it over this connection.
        in.parameters = v.designParameters;
        in.areas = v.designAreas;
        differs = !v.differences.isEmpty();
    }

    QString why;
    if (!writeCommissioningReport(output, in, &why))
        return usage(QStringLiteral("cannot write %1: %2").arg(output, why));
    return differs ? 1 : 0;
}
