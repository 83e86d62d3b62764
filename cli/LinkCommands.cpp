#include "cli/LinkCommands.h"

#include "cli/CliArgs.h"

#include "cli/LoadProject.h"

#include "cli/LinkSession.h"
#include "core/link/AreaCodec.h"
#include "core/link/Discovery.h"
#include "core/link/LinkProtocol.h"
#include "core/link/Payloads.h"
#include "core/project/ProjectFile.h"
#include "core/sensor/DesignCompare.h"
#include "core/sensor/Replay.h"
#include "core/sensor/ScanRecorder.h"
#include "core/sensor/SensorDockValues.h"
#include "core/sensor/SensorParameters.h"
#include "core/zones/DesignCheck.h"
#include "core/zones/DeviceType.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

namespace {

constexpr int kUsage = 2;
constexpr int kLinkFailure = 3;

// Connect and read everything, as the GUI does on every connection.
bool readAll(LinkSession &s)
{
    s.link.ReadSensorAllDataSlots();
    return s.runUntil([&s] {
        return !s.link.flag(SERIAL_COMM::FlagReadAreas) && !s.link.flag(SERIAL_COMM::FlagReadCases)
               && !s.link.flag(SERIAL_COMM::FlagReadParameters) && s.link.busyCode() == 0;
    });
}

// The dock right after the read, over this connection.
QVector<int> dockAfterRead(LinkSession &s, bool ethernet)
{
    Q_UNUSED(ethernet);
    return SensorParameterRules::shownAfterRead(s.parameters);
}

enum class Applied { Ok, Unreadable, FileError };

// The user opens FILE with the Open action after connecting: its header must
// be that of the model; the sensor section goes through the dock, the area
// section into the store.
Applied applyProject(const QString &path, int model, ZoneStore &store, SensorParameters &record,
                     QVector<int> &dock, bool ethernet, QString *why)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *why = f.errorString();
        return Applied::Unreadable;
    }
    QTextStream in(&f);
    if (in.readLine() != QLatin1String(deviceModelInfo(model)->header))
        return Applied::FileError;
    Q_UNUSED(ethernet);
    dock = SensorParameterRules::applyFile(record, ProjectFile::readSensorSection(in));
    ProjectFile::readAreaSection(in, store);
    return Applied::Ok;
}

// Checks FILE before anything is sent: its header, and that the sensor
// would hold the design as it is (no coordinate wrapped, no point dropped).
int checkProject(const char *command, const QString &path, int model, QTextStream &err)
{
    ZoneStore store;
    LoadedProject loaded;
    if (const int status = loadProjectFor(command, path, store, err, loaded, model))
        return status;
    const QVector<DesignCheck::Finding> findings = DesignCheck::transferFindings(store.areas);
    for (const DesignCheck::Finding &finding : findings)
        err << "sector-cli " << command << ": " << path << ": " << finding.toLine() << '\n';
    return findings.isEmpty() ? 0 : kUsage;
}

// Prints each difference between what was meant for the sensor and what it
// holds; true when there is none.
bool printDifferences(const QVector<DesignCompare::Difference> &diffs, QTextStream &out)
{
    for (const DesignCompare::Difference &d : diffs)
        out << d.toLine() << '\n';
    return diffs.isEmpty();
}

} // namespace

void printLinkHelp(QTextStream &out);

namespace {
// The start every sensor command shares: --help, then the connection
// options. -1 to go on, else the exit status.
int prepare(const char *command, QStringList &args, LinkOptions &o, QTextStream &out,
            QTextStream &err)
{
    if (isHelp(args)) {
        printLinkHelp(out);
        return 0;
    }
    if (const int status = parseLinkOptions(QString::fromLatin1(command), args, o, err))
        return status;
    return -1;
}
} // namespace

void printLinkHelp(QTextStream &out)
{
    out << "Sensor commands; each needs one of --tcp HOST[:PORT], --udp HOST[:PORT] or\n"
           "--serial DEVICE [--baud N] (port 8080 and 576000 bit/s unless given), and takes\n"
           "--model Laser05|Laser10|Laser20|Laser30|Laser50 (default Laser30):\n"
           "  read ... -o FILE        read all areas, cases and parameters; write FILE as\n"
           "                          Save would right after connecting\n"
           "  write ... FILE [--no-verify]\n"
           "                          connect (reading everything), open FILE, Write All,\n"
           "                          then read everything back and compare it with what\n"
           "                          was sent (each difference on stdout, exit 1);\n"
           "                          refused before connecting when the sensor could not\n"
           "                          hold FILE as it is (the lines name area and output)\n"
           "  verify ... FILE         read everything and compare it with what write would\n"
           "                          send, as the sensor holds it; one line per difference:\n"
           "                          area 2 Out3: design Fan, 1 point (20); sensor Polygon,\n"
           "                          4 points (1200,0) ...; exit 1 on a difference\n"
           "  info ...                print the product information\n"
           "  reboot ...              restart the sensor\n"
           "  record ... --sweeps N|--seconds S -o FILE.scanrec|FILE.csv\n"
           "                          record the live scan: each sweep with its time, angles,\n"
           "                          distances, intensities and the IO words reported\n"
           "                          (.csv: time_ms,sweep,angle_deg,distance_mm,intensity,\n"
           "                          inputs,outputs, one line per step)\n"
           "  discover [--timeout S]  search the local network for sensors\n"
           "Exit status: 0 done, 1 verify found differences, 2 usage or file error or a\n"
           "refused design, 3 link failure (the sensor's message on stderr).\n";
}

int runRead(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    LinkOptions o;
    if (const int status = prepare("read", args, o, out, err); status >= 0)
        return status;
    const QString file = takeOutput(args);
    if (file.isEmpty() || !args.isEmpty()) {
        err << "sector-cli read: expected -o FILE (see sector-cli help)\n";
        return kUsage;
    }
    LinkSession s(o, err);
    if (!s.open() || !readAll(s))
        return kLinkFailure;
    // Nothing is saved unless every area came under its own index.
    QStringList missing;
    for (int a = 0; a < kAreaCount; ++a)
        if (!s.link.areasRead().test(size_t(a)))
            missing << QString::number(a);
    if (!missing.isEmpty()) {
        err << "sector-cli read: " << o.describe() << ": no reply for area "
            << missing.join(QLatin1String(", ")) << "; nothing saved\n";
        return kLinkFailure;
    }
    const QVector<int> dock = dockAfterRead(s, o.ethernet());
    s.close();
    QString why;
    const auto saved = ProjectFile::saveProject(file, o.model, dock, s.store, &why);
    if (saved != ProjectFile::SaveResult::Saved) {
        err << "sector-cli read: cannot write " << file << ": " << why << "; "
            << FileWriting::consequence(saved) << '\n';
        return kUsage;
    }
    return 0;
}

int runWrite(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    LinkOptions o;
    if (const int status = prepare("write", args, o, out, err); status >= 0)
        return status;
    const bool verify = !args.removeAll(QStringLiteral("--no-verify"));
    if (args.size() != 1) {
        err << "sector-cli write: expected one project FILE\n";
        return kUsage;
    }
    const QString file = args[0];
    if (const int status = checkProject("write", file, o.model, err))
        return status;

    LinkSession s(o, err);
    if (!s.open() || !readAll(s))
        return kLinkFailure;
    QVector<int> dock = dockAfterRead(s, o.ethernet());
    QString why;
    if (applyProject(file, o.model, s.store, s.parameters, dock, o.ethernet(), &why) != Applied::Ok) {
        err << "sector-cli write: cannot read " << file << '\n';
        return kUsage;
    }
    const int before = s.messages().size();
    s.link.WriteSensorAllDataSlots();
    const bool done = s.runUntil([&s] {
        return !s.link.flag(SERIAL_COMM::FlagWriteAreas) && !s.link.flag(SERIAL_COMM::FlagWriteCases)
               && !s.link.flag(SERIAL_COMM::FlagWriteParameters) && s.link.busyCode() == 0;
    });
    if (!done) {
        s.close();
        return kLinkFailure;
    }
    for (const QString &m : s.messages().mid(before))
        if (m != QLatin1String("Parameters Write Complete")) {
            s.close();
            return kLinkFailure;
        }
    if (!verify) {
        s.close();
        return 0;
    }
    // Read everything back and hold it against what was sent.
    const QVector<AreaRecord> sent = s.store.areas;
    const SensorParameters sentParameters = s.parameters;
    err << "verifying\n";
    const bool readBack = readAll(s) && s.link.areasRead().all();
    s.close();
    if (!readBack) {
        err << "sector-cli write: " << o.describe() << ": the read-back did not complete\n";
        return kLinkFailure;
    }
    if (!printDifferences(DesignCompare::compare(sent, sentParameters, s.store.areas,
                                                 Payloads::decodeRPara(s.parameterFrame)),
                          out))
        return 1;
    err << "written and verified\n";
    return 0;
}

int verifyAgainstSensor(const char *command, const QString &file, const LinkOptions &o,
                        bool withProduct, QTextStream &err, SensorVerification &result)
{
    if (const int status = checkProject(command, file, o.model, err))
        return status;
    LinkSession s(o, err);
    if (!s.open() || !readAll(s) || !s.link.areasRead().all())
        return kLinkFailure;
    if (withProduct) {
        // Asked quietly: the answer comes as a value, not as a message.
        bool answered = false;
        QObject::connect(&s.link, &SERIAL_COMM::ProductInfoRead,
                         [&](const Payloads::ProductInfo &info) {
                             result.product = info;
                             answered = true;
                         });
        s.link.ReadProductInfoSlots();
        if (!s.runUntil([&answered] { return answered; }))
            return kLinkFailure;
    }
    s.close();

    // The sensor's side, before the file changes anything.
    result.sensorAreas = s.store.areas;
    result.sensorParameters = Payloads::decodeRPara(s.parameterFrame);
    // What write would send: the state just read with FILE applied.
    QVector<int> dock = dockAfterRead(s, o.ethernet());
    result.designParameters = s.parameters;
    QString why;
    applyProject(file, o.model, s.store, result.designParameters, dock, o.ethernet(), &why);
    result.designAreas = s.store.areas;
    result.differences = DesignCompare::compare(result.designAreas, result.designParameters,
                                                result.sensorAreas, result.sensorParameters);
    return 0;
}

int runVerify(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    LinkOptions o;
    if (const int status = prepare("verify", args, o, out, err); status >= 0)
        return status;
    if (args.size() != 1) {
        err << "sector-cli verify: expected one project FILE\n";
        return kUsage;
    }
    SensorVerification v;
    if (const int status = verifyAgainstSensor("verify", args[0], o, false, err, v))
        return status;
    return printDifferences(v.differences, out) ? 0 : 1;
}

int runInfo(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    LinkOptions o;
    if (const int status = prepare("info", args, o, out, err); status >= 0)
        return status;
    LinkSession s(o, err);
    s.quietTitles << QStringLiteral("Product Message");
    QString text;
    QObject::connect(&s.link, &SERIAL_COMM::MessageSignal,
                     [&text](int, const QString &title, const QString &t) {
                         if (title == QLatin1String("Product Message"))
                             text = t;
                     });
    if (!s.open())
        return kLinkFailure;
    s.link.SensorInformationSlots();
    const bool done = s.runUntil([&text] { return !text.isEmpty(); });
    s.close();
    if (!done)
        return kLinkFailure;
    out << text << '\n';
    return 0;
}

int runReboot(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    LinkOptions o;
    if (const int status = prepare("reboot", args, o, out, err); status >= 0)
        return status;
    LinkSession s(o, err);
    if (!s.open())
        return kLinkFailure;
    s.link.SensorRebootSlots();
    const bool done = s.runUntil([&s] { return s.messages().contains(QStringLiteral("Sensor Reboot Complete")); });
    s.close();
    return done ? 0 : kLinkFailure;
}

int runRecord(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    LinkOptions o;
    if (const int status = prepare("record", args, o, out, err); status >= 0)
        return status;
    const QString file = takeOutput(args);
    int sweeps = 0;
    double seconds = 0;
    sweeps = takeOption(args, "--sweeps").toInt();
    seconds = takeOption(args, "--seconds").toDouble();
    if (file.isEmpty() || (sweeps <= 0 && seconds <= 0) || !args.isEmpty()) {
        err << "sector-cli record: expected --sweeps N or --seconds S, and -o FILE\n";
        return kUsage;
    }

    LinkSession s(o, err);
    ScanRecorder recorder(&s.link, &s.scan);
    QString why;
    // A file that cannot be written is known before any sensor is asked;
    // one that is there already stays as it is until the sweeps come.
    const bool existed = QFileInfo::exists(file);
    {
        QFile probe(file);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Append)) {
            err << "sector-cli record: cannot write " << file << ": " << probe.errorString() << '\n';
            return kUsage;
        }
    }
    if (!existed)
        QFile::remove(file);
    const auto enough = [&] {
        return (sweeps > 0 && recorder.sweeps() >= sweeps)
               || (seconds > 0 && recorder.elapsedMs() >= qint64(seconds * 1000));
    };
    QObject::connect(&recorder, &ScanRecorder::sweepRecorded, [&](int count) {
        if (sweeps > 0)
            err << "\rsweeps " << count << '/' << sweeps;
        else
            err << "\r" << Replay::seconds(std::uint32_t(recorder.elapsedMs())) << ", sweeps " << count;
        err.flush();
    });
    if (!s.open())
        return kLinkFailure;
    // The IO words come with the simulation read, as in the window.
    s.link.OpenSendReadSimulation();
    s.link.OpenSendReadScanf();
    s.link.OpenSendReadIntensity();
    if (!recorder.start(file, o.ethernet(), true, &why)) {
        err << "sector-cli record: cannot write " << file << ": " << why << '\n';
        s.close();
        return kUsage;
    }
    // A sensor that never streams would keep the link alive for ever: the
    // sweeps have a generous deadline of their own.
    const int deadline = sweeps > 0 ? 10 + 2 * sweeps : 10 + int(seconds);
    const bool done = s.runUntil([&] { return enough() || !recorder.recording(); }, deadline)
                      && recorder.recording();
    const bool written = recorder.stop(&why);
    err << '\n';
    s.link.CloseSendReadScanf();
    s.link.CloseSendReadIntensity();
    s.link.CloseSendReadSimulation();
    if (o.ethernet()) {
        // Switch the stream off before leaving.
        s.runUntil([&s] { return s.link.busyCode() == 0; });
        s.link.StopStream();
    }
    s.close();
    if (!written) {
        err << "sector-cli record: cannot write " << file << ": " << why << '\n';
        return kUsage;
    }
    out << recorder.sweeps() << " sweeps, " << Replay::seconds(std::uint32_t(recorder.elapsedMs()))
        << ", " << recorder.bytes() << " bytes: " << file << '\n';
    return done ? 0 : kLinkFailure;
}

int runDiscover(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    if (isHelp(args)) {
        printLinkHelp(out);
        return 0;
    }
    double timeout = 2.0;
    Discovery discovery;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--timeout") && i + 1 < args.size()) {
            bool ok = false;
            timeout = args[++i].toDouble(&ok);
            if (!ok || timeout <= 0) {
                err << "sector-cli discover: --timeout takes seconds\n";
                return kUsage;
            }
        } else if (args[i] == QLatin1String("--target") && i + 1 < args.size()) {
            // For tests: search one address instead of broadcasting.
            const QString t = args[++i];
            const int colon = t.lastIndexOf(QLatin1Char(':'));
            discovery.setTarget(QHostAddress(t.left(colon)), quint16(t.mid(colon + 1).toUInt()));
        } else if (args[i] == QLatin1String("--local") && i + 1 < args.size()) {
            discovery.setLocalAddresses({QHostAddress(args[++i])});
        } else {
            err << "sector-cli discover: unknown argument " << args[i] << '\n';
            return kUsage;
        }
    }
    QStringList seen;
    QObject::connect(&discovery, &Discovery::answerRead, [&](const QString &address, const QString &mode) {
        if (seen.contains(address))
            return;
        seen << address;
        out << address << ' ' << (mode.isEmpty() ? QStringLiteral("-") : mode.mid(6)) << '\n';
        out.flush();
    });
    if (discovery.search() == 0) {
        err << "sector-cli discover: no IPv4 address to search from\n";
        return kLinkFailure;
    }
    QEventLoop loop;
    QTimer::singleShot(int(timeout * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    return 0;
}
