#include "cli/CliArgs.h"

#include "core/zones/DeviceType.h"

#include <QTextStream>

int parseModelArgs(const QString &command, const QStringList &args, int count, ModelArgs &out,
                   QTextStream &err)
{
    QString modelName;
    bool modelGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out.help = true;
            return 0;
        }
        if (a == QLatin1String("--model")) {
            if (i + 1 >= args.size()) {
                err << "sector-cli " << command << ": --model needs a model name\n";
                return 1;
            }
            modelName = args[++i];
            modelGiven = true;
        } else if (a.startsWith(QLatin1String("--model="))) {
            modelName = a.mid(8);
            modelGiven = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            err << "sector-cli " << command << ": unknown option " << a << '\n';
            return 1;
        } else {
            out.files << a;
        }
    }
    if (out.files.size() != count) {
        err << "sector-cli " << command << ": expected " << (count == 1 ? "FILE" : "IN and OUT")
            << " (see sector-cli " << command << " --help)\n";
        return 1;
    }
    if (modelGiven) {
        out.model = deviceModelFromName(modelName);
        if (out.model < 0) {
            err << "sector-cli " << command << ": unknown model " << modelName
                << " (Laser05, Laser10, Laser20, Laser30 or Laser50)\n";
            return 1;
        }
    }
    return 0;
}

bool isHelp(const QStringList &args)
{
    return args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"));
}

QString takeOption(QStringList &args, const char *option)
{
    const int at = args.indexOf(QLatin1String(option));
    if (at < 0 || at + 1 >= args.size())
        return QString();
    const QString value = args[at + 1];
    args.removeAt(at);
    args.removeAt(at);
    return value;
}
