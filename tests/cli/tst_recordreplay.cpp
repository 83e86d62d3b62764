#include "core/project/ProjectFile.h"
#include "core/sensor/ScanRecording.h"
#include "core/sensor/SensorDockValues.h"
#include "core/zones/ZoneStore.h"

#include "../support/SimProcess.h"
#include "../support/TestFiles.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

// The emulator's object (350 mm round) walks 3 m ahead at 1 m/s, from
// x = -6 m at its start to +6 m and back. Out1 below, a polygon of
// (2000, 4000) and (4000, 4000) mm, encloses with the sensor the triangle
// between 45 and 63.4 degrees up to 4 m ahead. With the detection size of
// half a degree it sees the object (ray-cast by hand at the emulator's 0.05
// degree steps) while the object's centre is between x = 1140 and 3440 mm:
// from 7.140 to 9.440 s after the emulator started on the way out, from
// 14.560 to 16.860 s on the way back.
constexpr double kPasses[2][2] = {{7.140, 9.440}, {14.560, 16.860}};

QString design(const QDir &dir, const QString &name, int onDelay, int offDelay)
{
    ZoneStore store;
    AreaRecord &a = store.areas[0];
    a.points[0] = {{2000, 4000}, {4000, 4000}};
    a.openDelay = onDelay;
    a.closeDelay = offDelay;
    const QString file = dir.filePath(name);
    if (ProjectFile::saveProject(file, 3, SensorDockValues::defaults(), store) !=
        ProjectFile::SaveResult::Saved)
        return QString();
    return file;
}

struct Switch {
    double seconds;
    bool on;
};

// The "12.350 s Out1 on" lines of a replay.
QVector<Switch> out1Switches(const QStringList &lines)
{
    static const QRegularExpression re(QStringLiteral("^(\\d+\\.\\d{3}) s Out1 (on|off)$"));
    QVector<Switch> s;
    for (const QString &line : lines)
        if (const auto m = re.match(line); m.hasMatch())
            s.append({m.captured(1).toDouble(), m.captured(2) == QLatin1String("on")});
    return s;
}

int differences(const QStringList &lines)
{
    const QString last = lines.value(lines.size() - 1);
    return last.startsWith(QLatin1String("differences from recorded outputs: "))
               ? last.section(QLatin1Char(' '), -1).toInt()
               : -1;
}

} // namespace

class TestRecordReplay : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Recorded from the emulator and replayed against the design it holds:
    // Out1 switches on an on delay after the object entered the zone and off
    // an off delay after it left, as the sensor switched it (no difference).
    // A longer on delay at the desk switches later, and differs.
    void walkingObjectThroughAZone()
    {
        QElapsedTimer uptime;
        uptime.start();
        SimProcess sim;
        QVERIFY(sim.ready());
        QTemporaryDir dir;
        const QString file = design(dir.path(), "d.ZQ30", 5, 10); // 100 ms on, 200 ms off
        QVERIFY(!file.isEmpty());
        const CliRun write =
            runCli(QStringList{"write"} + sim.link("tcp") + QStringList{file, "--no-verify"});
        QCOMPARE(write.exitCode, 0);

        // Record until both passes are over; the recording starts at most a
        // connection's time after the command does.
        const double startedAt = uptime.elapsed() / 1000.0;
        QVERIFY2(startedAt < kPasses[0][0] - 0.5, "the emulator ran too long before recording");
        const QString recording = dir.filePath("r.scanrec");
        const CliRun record =
            runCli(QStringList{"record"} + sim.link("tcp") +
                   QStringList{"--seconds", QString::number(17.4 - startedAt), "-o", recording});
        QCOMPARE(record.exitCode, 0);
        QVERIFY2(record.out.contains(QLatin1String(" sweeps, ")), qPrintable(record.out));

        const CliRun replay = runCli({"replay", recording, file});
        QCOMPARE(replay.exitCode, 0);
        const QStringList lines = replay.lines();
        QVERIFY2(differences(lines) == 0, qPrintable(replay.out));
        const QVector<Switch> s = out1Switches(lines);
        QVERIFY2(s.size() == 4, qPrintable(replay.out));
        for (int pass = 0; pass < 2; ++pass) {
            const Switch on = s[2 * pass], off = s[2 * pass + 1];
            QVERIFY(on.on && !off.on);
            // On 100 ms after the object came, off 200 ms after it left:
            // within a sweep (50 ms) and the timing of a loaded machine.
            const double expectedOn = kPasses[pass][0] + 0.100;
            const double expectedOff = kPasses[pass][1] + 0.200;
            QVERIFY2(qAbs((off.seconds - on.seconds) - (expectedOff - expectedOn)) < 0.15,
                     qPrintable(replay.out));
            // The recording's time 0 lies between the command's start and a
            // connection later.
            const double onUptime = on.seconds + startedAt;
            QVERIFY2(onUptime > expectedOn - 0.15 && onUptime < expectedOn + 0.8,
                     qPrintable(QStringLiteral("on at %1 s of the emulator's time, expected %2")
                                    .arg(onUptime)
                                    .arg(expectedOn)));
        }
        QVERIFY(lines.contains(QStringLiteral("Out2 on 0.000 s")));

        // At the desk: 500 ms on delay. Out1 comes 400 ms later each pass,
        // and the sweeps where the sensor had it on already differ.
        const QString later = design(dir.path(), "later.ZQ30", 25, 10);
        const CliRun whatIf = runCli({"replay", recording, later});
        QCOMPARE(whatIf.exitCode, 0);
        const QVector<Switch> w = out1Switches(whatIf.lines());
        QCOMPARE(w.size(), 4);
        QVERIFY(qAbs(w[0].seconds - s[0].seconds - 0.4) < 0.11);
        QVERIFY(qAbs(w[2].seconds - s[2].seconds - 0.4) < 0.11);
        QVERIFY2(differences(whatIf.lines()) >= 2, qPrintable(whatIf.out));

        // The same recording as text: one line per step under its header.
        const QString csv = dir.filePath("r.csv");
        QCOMPARE(runCli({"export", recording, "-o", csv}).exitCode, 0);
        QFile text(csv);
        QVERIFY(text.open(QIODevice::ReadOnly));
        QCOMPARE(text.readLine(),
                 QByteArray("time_ms,sweep,angle_deg,distance_mm,intensity,inputs,outputs\n"));
        QVERIFY(text.readLine().contains(",0,-70.000,"));
    }

    // A sensor that cannot be reached leaves an earlier recording of the
    // same name as it was.
    void linkFailureKeepsAnEarlierRecording()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("r.scanrec");
        const QByteArray earlier = QByteArray(ScanRecording::kHeader) + QByteArray(64, 'x');
        writeFile(file, earlier);
        // Nothing listens on port 1.
        const CliRun r = runCli({"record", "--tcp", "127.0.0.1:1", "--sweeps", "3", "-o", file});
        QCOMPARE(r.exitCode, 3);
        QVERIFY(QFile::exists(file));
        QCOMPARE(readFile(file), earlier);
    }

    // export -o naming the recording itself must not empty it.
    void exportOverItsOwnRecording()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("r.scanrec");
        ScanRecording::Writer w;
        QVERIFY(w.open(file));
        ScanRecording::Sweep s;
        s.distances = QVector<std::uint16_t>(640, 1000);
        QVERIFY(w.add(s));
        QVERIFY(w.close());
        const QByteArray before = readFile(file);
        const CliRun r = runCli({"export", file, "-o", file});
        QCOMPARE(readFile(file), before);
        QCOMPARE(r.exitCode, 2);
    }

    // What replay refuses, before reading anything else.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("no-design") << QStringList{"replay", "r"} << "expected RECORDING FILE";
        QTest::newRow("area-out-of-range")
            << QStringList{"replay", "r", "d", "--area", "64"} << "--area takes 0 to 63";
        QTest::newRow("not-a-recording")
            << QStringList{"replay", TEST_DATA_DIR "/fresh_laser30.ZQ30", "d"}
            << "not a scan recording";
        QTest::newRow("export-without-output")
            << QStringList{"export", "r"} << "expected RECORDING -o";
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const CliRun r = runCli(args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestRecordReplay)
#include "tst_recordreplay.moc"
