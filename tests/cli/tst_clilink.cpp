#include "core/project/ProjectFile.h"
#include "core/sensor/SensorDockValues.h"
#include "core/zones/ZoneGeometry.h"
#include "core/zones/ZoneStore.h"

#include "tests/support/ProjectText.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TestFiles.h"

#include "sim/SensorModel.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray areaSectionOf(const QByteArray &text)
{
    return text.mid(text.indexOf("CoordTableData\n"));
}

// A random design that survives the trip to the sensor unchanged: polygon
// vertices at distinct angles in the order the sensor keeps them, dependent
// parameters ahead of the sensor.
QByteArray wireStableDesign(quint32 seed)
{
    QRandomGenerator rng(seed);
    ZoneStore s;
    s.setAllDetectionSize(1);
    for (AreaRecord &a : s.areas) {
        a.openDelay = rng.bounded(26);
        a.closeDelay = rng.bounded(26);
        a.hysteresis = rng.bounded(11);
        a.detectionSize = rng.bounded(10);
        a.steerMin = rng.bounded(-180, 0);
        a.steerMax = rng.bounded(0, 181);
        a.speedMin = rng.bounded(-300, 0);
        a.speedMax = rng.bounded(0, 301);
        a.operationMode = rng.bounded(6);
        QMap<float, QPoint> byAngle;
        for (int i = rng.bounded(0, 40); i > 0; --i) {
            const QPoint p(rng.bounded(-30000, 30001), rng.bounded(-30000, 30001));
            byAngle.insert(ZoneGeometry::wirePolar(p.x(), p.y()).theta, p);
        }
        a.points[0] = byAngle.values().toVector();
        a.shape[1] = rng.bounded(3, 6);
        a.points[1] = {QPoint(0, rng.bounded(0, 30000))};
        a.shape[2] = rng.bounded(3, 6);
        a.points[2] = {QPoint(0, rng.bounded(0, 30000))};
    }
    return projectBytes(s);
}

} // namespace

class TestCliLink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writeReadVerify_data()
    {
        QTest::addColumn<QString>("transport");
        QTest::newRow("tcp") << "tcp";
        QTest::newRow("udp") << "udp";
        QTest::newRow("serial") << "serial";
    }
    void writeReadVerify()
    {
        QFETCH(QString, transport);
        SimProcess sim;
        QVERIFY(sim.ready());
        QTemporaryDir dir;
        const QByteArray design = wireStableDesign(qHash(transport));
        writeFile(dir.filePath("design.ZQ30"), design);

        CliRun r = runCli(QStringList{"write"} + sim.link(transport) + QStringList{dir.filePath("design.ZQ30")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.err.contains("Parameters Write Complete"));
        QVERIFY(r.err.contains("written and verified"));

        r = runCli(QStringList{"verify"} + sim.link(transport) + QStringList{dir.filePath("design.ZQ30")});
        QCOMPARE(r.out, QString());
        QCOMPARE(r.exitCode, 0);

        r = runCli(QStringList{"read"} + sim.link(transport) + QStringList{"-o", dir.filePath("back.ZQ30")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(areaSectionOf(readFile(dir.filePath("back.ZQ30"))), areaSectionOf(design));

        // Another design differs from what the sensor now holds.
        r = runCli(QStringList{"verify"} + sim.link(transport) + QStringList{TEST_DATA_DIR "/fresh_laser30.ZQ30"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(QRegularExpression("^area 0 (On|Off) Delay: design \\d+ms; sensor \\d+ms$",
                                    QRegularExpression::MultilineOption)
                     .match(r.out)
                     .hasMatch(),
                 qPrintable(r.out));
    }

    void writeReadsBackWhatTheSensorKept()
    {
        // The sensor acknowledges area 2 but keeps what it had: only the
        // read-back shows it, naming the values on both sides.
        SimProcess sim({"--fault", "forget-area=2"});
        QVERIFY(sim.ready());
        QTemporaryDir dir;
        QByteArray design = freshLaser30();
        const int area2 = design.indexOf("Out3CoordEnd\n2\n");
        QVERIFY(area2 > 0);
        design.insert(design.indexOf("Out1CoordStr\n", area2) + 13, "1000,0\n0,1000\n-1000,0\n");
        writeFile(dir.filePath("d.ZQ30"), design);
        CliRun r = runCli(QStringList{"write"} + sim.link("tcp") + QStringList{dir.filePath("d.ZQ30")});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, QString("area 2 Out1: design Polygon, 3 points (1000,0) (0,1000) (-1000,0); "
                                "sensor empty\n"
                                "area 2 Detection Size: design 1.0°; sensor 0.5°\n"));
        QVERIFY(!r.err.contains("written and verified"));

        r = runCli(QStringList{"write"} + sim.link("tcp") + QStringList{"--no-verify", dir.filePath("d.ZQ30")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QString());
        QVERIFY(!r.err.contains("verifying"));

    }

    void readOfAFreshSensorIsTheFreshFile()
    {
        // The emulator starts with empty areas, zero case values and the
        // default parameters: what a freshly started tool would save, but
        // with detection size 0 as the sensor holds it.
        SimProcess sim;
        QVERIFY(sim.ready());
        QTemporaryDir dir;
        const CliRun r = runCli(QStringList{"read"} + sim.link("tcp") + QStringList{"-o", dir.filePath("r")});
        QCOMPARE(r.exitCode, 0);
        QByteArray want = freshLaser30();
        want.replace("\n0\n0\n0\n1\n0\n0\n0\n0\n0\n0\n0\n0\nOut1CoordStr", "\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\nOut1CoordStr");
        QCOMPARE(readFile(dir.filePath("r")), want);
    }

    void wrongHeaderIsRefusedBeforeConnecting()
    {
        QTemporaryDir dir;
        QByteArray other = freshLaser30();
        other.replace(0, 9, "TRV_ZQ_50");
        writeFile(dir.filePath("x.ZQ50"), other);
        // Nothing listens on port 1: the file is checked first.
        const CliRun r = runCli({"write", "--tcp", "127.0.0.1:1", dir.filePath("x.ZQ50")});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.err.trimmed(), QStringLiteral("FileError"));
        QCOMPARE(runCli({"write", "--tcp", "127.0.0.1:1", dir.filePath("x.ZQ50"), "--model", "Laser50"}).exitCode, 3);
        // A line that never ends is refused after a few kilobytes, by both
        // commands that send or compare a file.
        for (const char *command : {"write", "verify"}) {
            const CliRun endless = runCli({command, "--tcp", "127.0.0.1:1", "/dev/zero"});
            QCOMPARE(endless.exitCode, 2);
            QVERIFY2(endless.err.contains("longer than"), qPrintable(endless.err));
        }
    }

    // One command against an emulator with faults: its exit status, a text
    // on standard error, what it printed, and for a read the file's lines
    // (-1: no file left behind).
    void oneCommand_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("lines");
        const auto row = [](const char *name, const QStringList &sim, const char *transport,
                            const QStringList &command, int exitCode, const char *err,
                            const char *out = "", int lines = 0) {
            QTest::newRow(name) << sim << transport << command << exitCode << err << out << lines;
        };
        const QStringList write = {"write", TEST_DATA_DIR "/fresh_laser30.ZQ30"};
        row("write-rejected-status-1", {"--fault", "reject=1"}, "tcp", write, 3,
            "Message: Parameters Setting Error");
        row("write-rejected-status-2", {"--fault", "reject=2"}, "tcp", write, 3,
            "Message: FLASH Write Error");
        // With this seed the lost or broken replies are resent and the read
        // completes.
        for (const QStringList &f :
             {QStringList{"split=1"}, QStringList{"delay=15"},
              QStringList{"drop=0.01", "--seed", "5"}, QStringList{"corrupt=0.01", "--seed", "5"}})
            for (const QString transport : {"tcp", "serial", "udp"})
                if (f[0] == "split=1" || transport == "tcp")
                    row(qPrintable("read-" + transport + '-' + f[0].section('=', 0, 0)),
                        QStringList{"--fault"} + f, qPrintable(transport), {"read"}, 0, "", "",
                        1242);
        row("read-connection-closed", {"--fault", "close-after=10"}, "tcp", {"read"}, 3, "closed",
            "", -1);
        row("info",
            {"--product-type", "9", "--firmware", "250", "--serial-number", "1234",
             "--production-date", "2019-06-03"},
            "udp", {"info"}, 0, "",
            "Product Name:  ZQxxxx-ETH\nFirmware:  2.50\nSerialNumber:  1234.000000\n"
            "Production:  2019 - 6 - 3\n");
        row("reboot", {}, "serial", {"reboot"}, 0, "Sensor Reboot Complete");
    }
    void oneCommand()
    {
        QFETCH(QStringList, sim);
        QFETCH(QString, transport);
        QFETCH(QStringList, command);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        QFETCH(QString, out);
        QFETCH(int, lines);
        SimProcess emulator(sim);
        QVERIFY(emulator.ready());
        QTemporaryDir dir;
        if (command[0] == "read")
            command << "-o" << dir.filePath("r");
        const CliRun r =
            runCli(command.mid(0, 1) + emulator.link(transport) + command.mid(1), 120000);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(err), qPrintable(r.err));
        if (!out.isEmpty())
            QCOMPARE(r.out, out);
        if (lines > 0)
            QCOMPARE(readFile(dir.filePath("r")).count('\n'), lines);
        if (lines < 0)
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    }

    void sensorThatNeverEndsAWriteIsGivenUp()
    {
        // Every write answered with a status the link does not know: it
        // sends the same area again and again. The tool gives up after a
        // stretch without progress and says what it waited for.
        SensorModel sensor;
        sensor.rejectStatus = 3;
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, [&] {
            QTcpSocket *c = server.nextPendingConnection();
            QObject::connect(c, &QTcpSocket::readyRead, c, [c, &sensor] {
                for (const QByteArray &reply : sensor.feed(c->readAll()))
                    c->write(reply);
            });
        });
        QProcess cli;
        cli.start(QStringLiteral(SECTOR_CLI_PATH),
                  {"write", "--tcp", "127.0.0.1:" + QString::number(server.serverPort()),
                   TEST_DATA_DIR "/fresh_laser30.ZQ30"});
        QElapsedTimer clock;
        clock.start();
        QVERIFY(cli.waitForStarted(5000));
        while (cli.state() != QProcess::NotRunning && clock.elapsed() < 60000)
            QTest::qWait(20);
        QCOMPARE(cli.state(), QProcess::NotRunning);
        QVERIFY2(clock.elapsed() < 40000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(cli.exitCode(), 3);
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY2(err.contains("no progress") && err.contains("WArea"), qPrintable(err));
    }

    // A design the sensor would not hold as it is (a coordinate that wraps,
    // a list the sensor empties) is refused before anything is sent.
    void designTheSensorCannotHoldIsRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("area");
        QTest::addColumn<int>("output");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("finding");
        const QString wraps = "area 3 Out 2: 1 point with a coordinate outside -32768..32767 mm";
        QTest::newRow("write-coordinate-40000") << "write" << 3 << 2 << "1000,40000 2000,0" << wraps;
        QTest::newRow("verify-coordinate-40000") << "verify" << 3 << 2 << "1000,40000 2000,0" << wraps;
        QTest::newRow("write-101-points") << "write" << 0 << 1 << "many"
                                          << "area 0 Out 1: 101 points; the sensor takes at most 100";
        QTest::newRow("write-vertices-at-one-angle") << "write" << 63 << 3 << "100,100 200,200"
            << "area 63 Out 3: 1 vertex shares a polar angle with a later vertex; only the later one "
               "reaches the sensor";
    }
    void designTheSensorCannotHoldIsRefused()
    {
        QFETCH(QString, command);
        QFETCH(int, area);
        QFETCH(int, output);
        QFETCH(QString, points);
        QFETCH(QString, finding);
        QTemporaryDir dir;
        const QString state = dir.filePath("sensor.state");
        SimProcess sim({"--state", state});
        QVERIFY(sim.ready());
        QByteArray list;
        if (points == "many") {
            for (int i = 0; i < 101; ++i)
                list += QByteArray::number(1000) + ',' + QByteArray::number(10 * i) + '\n';
        } else {
            for (const QString &p : points.split(' '))
                list += p.toLatin1() + '\n';
        }
        const QString file = dir.filePath("design.ZQ30");
        writeFile(file, withPoints(freshLaser30(), area, output, list));

        CliRun r = runCli(QStringList{command} + sim.link("tcp") + QStringList{file});
        QCOMPARE(r.exitCode, 2);
        const QString prefix = QStringLiteral("sector-cli %1: %2: ").arg(command, file);
        QVERIFY2(r.err.contains(prefix + finding + '\n'), qPrintable(r.err));
        for (const QString &line : r.err.split('\n', Qt::SkipEmptyParts))
            QVERIFY2(line.startsWith(prefix), qPrintable(line));
        QCOMPARE(r.out, QString());
        // The emulator keeps its state file from the first frame that
        // changes what it holds: none came.
        QVERIFY(!QFile::exists(state));
        r = runCli(QStringList{"write"} + sim.link("tcp") + QStringList{TEST_DATA_DIR "/fresh_laser30.ZQ30"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(QFile::exists(state));
    }

    // Over Ethernet step i looks at -70 + 320 / n * i degrees, over the
    // serial port at 250 - i / 2 (shown between -180 and 180).
    void recordWritesCompleteSweeps_data()
    {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("firstAngle");
        QTest::addColumn<QString>("lastAngle");
        QTest::newRow("tcp") << "tcp" << 6400 << "-70.000" << "-110.050"; // 0.05 deg by default
        QTest::newRow("serial") << "serial" << 640 << "-110.000" << "-69.500";
    }
    void recordWritesCompleteSweeps()
    {
        QFETCH(QString, transport);
        QFETCH(int, steps);
        QFETCH(QString, firstAngle);
        QFETCH(QString, lastAngle);
        SimProcess sim;
        QVERIFY(sim.ready());
        QTemporaryDir dir;
        const CliRun r = runCli(QStringList{"record"} + sim.link(transport)
                          + QStringList{"--sweeps", "2", "-o", dir.filePath("s.csv")});
        QCOMPARE(r.exitCode, 0);
        const QStringList lines = QString::fromLatin1(readFile(dir.filePath("s.csv"))).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1 + 2 * steps);
        QCOMPARE(lines[0], QStringLiteral("time_ms,sweep,angle_deg,distance_mm,intensity,inputs,outputs"));
        QCOMPARE(lines[1].section(',', 1, 2), "0," + firstAngle);
        QCOMPARE(lines.last().section(',', 1, 2), "1," + lastAngle);
        // The hall is 6 to 20 m away everywhere: no step reads 0.
        for (const QString &l : lines.mid(1))
            QVERIFY2(l.section(',', 3, 3).toInt() > 300, qPrintable(l));
    }

    void discoverFindsTheEmulator()
    {
        SimProcess sim({"--mode", "UDP"});
        QVERIFY(sim.ready());
        const CliRun r = runCli({"discover", "--timeout", "1", "--target", "127.0.0.1:" + sim.endpoint("discovery"),
                           "--local", "127.0.0.1"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QStringLiteral("127.0.0.1 UDP\n"));
    }

    void refusedConnection()
    {
        const CliRun r = runCli({"read", "--tcp", "127.0.0.1:1", "-o", "/nonexistent/x"});
        QCOMPARE(r.exitCode, 3);
        QVERIFY(r.err.contains("refused"));
        const CliRun s = runCli({"info", "--serial", "/dev/does-not-exist"});
        QCOMPARE(s.exitCode, 3);
        QVERIFY(s.err.contains("Serial Open error"));
        QCOMPARE(runCli({"read", "-o", "x"}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestCliLink)
#include "tst_clilink.moc"
