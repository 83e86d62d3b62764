#include "cli/ReplayCommand.h"

#include "cli/CliArgs.h"
#include "cli/LoadProject.h"
#include "core/sensor/Replay.h"
#include "core/sensor/ScanRecording.h"
#include "core/zones/DeviceType.h"
#include "core/zones/ZoneStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace {
constexpr int kUsage = 2;

QString outputName(int o)
{
    return QStringLiteral("Out%1").arg(o + 1);
}

QString onOff(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}
} // namespace

void printReplayHelp(QTextStream &out)
{
    out << "  replay RECORDING FILE [--area N]\n"
           "                          the outputs FILE's design would have given over a\n"
           "                          recording (sector-cli record), each area with its\n"
           "                          detection size, delays and hysteresis: the switching\n"
           "                          (12.350 s Out1 on), each output's time on, the sweeps\n"
           "                          where they differ from the outputs the sensor\n"
           "                          reported, and last 'differences from recorded\n"
           "                          outputs: N'. The area is N, or the one the recorded\n"
           "                          inputs selected.\n"
           "  export RECORDING -o FILE.csv\n"
           "                          a recording as text, one line per step:\n"
           "                          "
           "time_ms,sweep,angle_deg,distance_mm,intensity,inputs,outputs\n";
}

int runReplay(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    if (isHelp(args)) {
        printReplayHelp(out);
        return 0;
    }
    Replay::Options options;
    if (args.contains(QLatin1String("--area"))) {
        bool ok = false;
        options.area = takeOption(args, "--area").toInt(&ok);
        if (!ok || options.area < 0 || options.area >= kAreaCount) {
            err << "sector-cli replay: --area takes 0 to 63\n";
            return kUsage;
        }
    }
    if (args.size() != 2) {
        err << "sector-cli replay: expected RECORDING FILE [--area N]\n";
        return kUsage;
    }
    ScanRecording::Reader reader;
    QString why;
    if (!reader.open(args[0], &why)) {
        err << "sector-cli replay: cannot read " << args[0] << ": " << why << '\n';
        return kUsage;
    }
    ZoneStore store;
    LoadedProject loaded;
    if (const int status = loadProjectFor("replay", args[1], store, err, loaded))
        return status;
    options.sceneSpan = deviceModelInfo(loaded.model)->sceneSpan;

    int unreadable = -1;
    const Replay::Result r = Replay::evaluate(
        reader.count(),
        [&](int k, ScanRecording::Sweep &s) {
            const bool ok = reader.sweep(k, s, false);
            if (!ok)
                unreadable = k;
            return ok;
        },
        store.areas, options);
    if (reader.damaged() || unreadable >= 0)
        err << "sector-cli replay: " << args[0] << " is damaged after sweep " << r.timeMs.size()
            << "; the sweeps before it are replayed\n";

    for (const Replay::Event &e : r.events)
        out << Replay::seconds(e.timeMs) << ' ' << outputName(e.output) << ' ' << onOff(e.on)
            << '\n';
    for (int o = 0; o < kOutputCount; ++o)
        out << outputName(o) << " on " << Replay::seconds(r.onMs[size_t(o)]) << '\n';
    for (int k = 0; k < r.differs.size(); ++k) {
        if (!r.differs[k])
            continue;
        out << Replay::seconds(r.timeMs[k]) << " sweep " << k << ':';
        for (int o = 0; o < kOutputCount; ++o)
            if ((r.differs[k] >> o) & 1)
                out << ' ' << outputName(o) << " design " << onOff((r.design[k] >> o) & 1)
                    << ", recorded " << onOff((r.recorded[k] >> o) & 1) << ';';
        out << '\n';
    }
    out << "differences from recorded outputs: " << r.differences << '\n';
    return 0;
}

int runExport(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    if (isHelp(args)) {
        printReplayHelp(out);
        return 0;
    }
    const QString file = takeOutput(args);
    if (file.isEmpty() || args.size() != 1) {
        err << "sector-cli export: expected RECORDING -o FILE.csv\n";
        return kUsage;
    }
    ScanRecording::Reader reader;
    QString why;
    if (!reader.open(args[0], &why)) {
        err << "sector-cli export: cannot read " << args[0] << ": " << why << '\n';
        return kUsage;
    }
    if (QFileInfo(file).canonicalFilePath() == QFileInfo(args[0]).canonicalFilePath()) {
        err << "sector-cli export: " << file << " is the recording itself\n";
        return kUsage;
    }
    // Written aside and put in place at the end: an export over the
    // recording itself (read through the handle already open) or one that
    // fails leaves the file named as it was.
    QSaveFile csv(file);
    if (!csv.open(QIODevice::WriteOnly | QIODevice::Text)) {
        err << "sector-cli export: cannot write " << file << ": " << csv.errorString() << '\n';
        return kUsage;
    }
    QTextStream lines(&csv);
    ScanRecording::writeCsvHeader(lines);
    ScanRecording::Sweep s;
    int k = 0;
    for (; k < reader.count() && reader.sweep(k, s); ++k)
        ScanRecording::writeCsv(lines, s, k);
    if (reader.damaged() || k < reader.count())
        err << "sector-cli export: " << args[0] << " is damaged after sweep " << k
            << "; the sweeps before it are exported\n";
    lines.flush();
    if (lines.status() != QTextStream::Ok || !csv.commit()) {
        err << "sector-cli export: cannot write " << file << ": " << csv.errorString() << '\n';
        return kUsage;
    }
    return 0;
}
