#include "core/project/ProjectFile.h"
#include "core/sensor/SensorDockValues.h"
#include "core/sensor/SensorParameters.h"
#include "core/zones/ZoneStore.h"

#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/support/TestFiles.h"

#include <csignal>
#include <sys/resource.h>

namespace {

QString readAll(const QString &path)
{
    return QString::fromLatin1(readFile(path));
}

// Runs the two section readers over text as a project file opened in text
// mode would feed them (the header already consumed by the caller's text).
QVector<int> readSections(const QString &text, ZoneStore &store)
{
    QString copy = text;
    QTextStream in(&copy);
    const QVector<int> dock = ProjectFile::readSensorSection(in);
    ProjectFile::readAreaSection(in, store);
    return dock;
}

// What the writer saves for a design.
QString projectText(const ZoneStore &s, int device = 3,
                    const QVector<int> &dock = SensorDockValues::defaults())
{
    QString text;
    QTextStream out(&text);
    ProjectFile::writeProject(out, device, dock, s);
    out.flush();
    return text;
}

// One area block as the writer lays it out.
QString block(int n, const QList<int> &fields, const QStringList &out1,
              const QStringList &out2 = {}, const QStringList &out3 = {})
{
    QStringList lines;
    lines << QString::number(n);
    for (int f : fields)
        lines << QString::number(f);
    lines << "Out1CoordStr" << out1 << "Out1CoordEnd";
    lines << "Out2CoordStr" << out2 << "Out2CoordEnd";
    lines << "Out3CoordStr" << out3 << "Out3CoordEnd";
    return lines.join('\n') + '\n';
}

const QString kDockSection =
    "SensorSetting\n1\n2\n1\n2\n5\n4\n2\n1\n99\n3\n1\n0\n4\n3\n1\n0\n5\n1\n200\n10\n20\n30\n";

AreaRecord marked()
{
    AreaRecord r;
    r.openDelay = 11;
    r.shape[0] = ShapeArc;
    r.shape[1] = ShapeRatio;
    r.shape[2] = ShapeFan;
    r.points[0] = {QPoint(7, 7), QPoint(8, 8)};
    return r;
}

ZoneStore randomStore(quint32 seed)
{
    QRandomGenerator rng(seed);
    ZoneStore s;
    for (AreaRecord &a : s.areas) {
        a.openDelay = rng.bounded(26);
        a.closeDelay = rng.bounded(26);
        a.hysteresis = rng.bounded(11);
        a.detectionSize = rng.bounded(10);
        a.steerMin = rng.bounded(-180, 181);
        a.steerMax = rng.bounded(-180, 181);
        a.speedMin = rng.bounded(-300, 301);
        a.speedMax = rng.bounded(-300, 301);
        a.operationMode = rng.bounded(6);
        a.shape[0] = rng.bounded(3);
        a.shape[1] = rng.bounded(6);
        a.shape[2] = rng.bounded(6);
        for (auto &list : a.points) {
            const int count = rng.bounded(4) == 0 ? 0 : rng.bounded(1, 120);
            for (int i = 0; i < count; ++i)
                list.append(QPoint(rng.bounded(-70000, 70001), rng.bounded(-70000, 70001)));
        }
    }
    return s;
}

} // namespace

class TestProjectFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void freshLaser30MatchesHandWrittenFile()
    {
        ZoneStore s;
        s.setAllDetectionSize(1);
        const QStringList got = projectText(s).split('\n');
        const QStringList want = readAll(TEST_DATA_DIR "/fresh_laser30.ZQ30").split('\n');
        QCOMPARE(want.size(), 1243); // 1242 lines, each ending in a line break
        QCOMPARE(got.size(), want.size());
        for (int i = 0; i < want.size(); ++i)
            QVERIFY2(got[i] == want[i], qPrintable(QString("line %1: got '%2', want '%3'")
                                                       .arg(i + 1)
                                                       .arg(got[i], want[i])));
    }

    void sensorSectionReadsRawValues()
    {
        ZoneStore s;
        const QVector<int> dock = readSections("junk\n" + kDockSection, s);
        const QVector<int> want = {1, 2, 1, 2, 5, 4, 2, 1, 99, 3, 1,
                                   0, 4, 3, 1, 0, 5, 1, 200, 10, 20, 30};
        QCOMPARE(dock, want);
    }

    void sensorSectionMissingGivesZeros()
    {
        ZoneStore s;
        s.areas[0] = marked();
        const QVector<int> dock =
            readSections("CoordTableData\n" + block(0, {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0}, {})
                             + "CoordTableDataEnd\n",
                         s);
        QCOMPARE(dock, QVector<int>(22, 0));
        // The sensor reader ran to the end: the area reader finds nothing.
        QVERIFY(s.areas[0] == marked());
    }

    void sensorSectionShortAndNonNumeric()
    {
        ZoneStore s;
        const QVector<int> dock = readSections("SensorSetting\n5\nabc\n-3\n", s);
        QVector<int> want(22, 0);
        want[0] = 5;
        want[2] = -3;
        QCOMPARE(dock, want);
    }

    void areaReaderRules()
    {
        ZoneStore s;
        for (AreaRecord &a : s.areas)
            a = marked();
        const QString text =
            kDockSection + "CoordTableData\n"
            + block(3, {1, 2, 3, 4, -5, 6, -7, 8, 2, 7, 9, 9}, {"120,-45,8", "abc", "-1,-2"})
            + block(7, {0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 5, 3}, {}, {"x,5"}, {"0,300"})
            + "CoordTableDataEnd\n";
        readSections(text, s);

        const AreaRecord &a3 = s.areas[3];
        QCOMPARE(a3.openDelay, 1);
        QCOMPARE(a3.detectionSize, 4);
        QCOMPARE(a3.steerMin, -5);
        QCOMPARE(a3.speedMin, -7);
        QCOMPARE(a3.operationMode, 2);
        // 7, 9, 9 are no kinds of these outputs: the old kinds stay.
        QCOMPARE(a3.shape[0], int(ShapeArc));
        QCOMPARE(a3.shape[1], int(ShapeRatio));
        QCOMPARE(a3.shape[2], int(ShapeFan));
        // A third number is ignored, letters give the origin.
        QCOMPARE(a3.points[0], (QVector<QPoint>{QPoint(120, -45), QPoint(0, 0), QPoint(-1, -2)}));
        QVERIFY(a3.points[1].isEmpty());
        QVERIFY(a3.points[2].isEmpty());

        const AreaRecord &a7 = s.areas[7];
        QCOMPARE(a7.shape[0], int(ShapeRectangle));
        QCOMPARE(a7.shape[1], int(ShapeRatio));
        QCOMPARE(a7.shape[2], int(ShapeStraight));
        QCOMPARE(a7.points[0].size(), 0);
        QCOMPARE(a7.points[1], QVector<QPoint>{QPoint(0, 5)});
        QCOMPARE(a7.points[2], QVector<QPoint>{QPoint(0, 300)});

        // Only the two areas in the file changed.
        for (int n = 0; n < 64; ++n)
            if (n != 3 && n != 7)
                QVERIFY2(s.areas[n] == marked(), qPrintable(QString::number(n)));
    }

    void out1KindsOutsideZeroToTwoAreRefused()
    {
        ZoneStore s;
        s.areas[0] = marked();
        readSections(kDockSection + "CoordTableData\n"
                         + block(0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 3, -1, 6}, {})
                         + "CoordTableDataEnd\n",
                     s);
        QCOMPARE(s.areas[0].shape[0], int(ShapeArc));
        QCOMPARE(s.areas[0].shape[1], int(ShapeRatio));
        QCOMPARE(s.areas[0].shape[2], int(ShapeFan));
    }

    void areaIndexOutsideRangeStops_data()
    {
        QTest::addColumn<QString>("index");
        QTest::newRow("64") << "64";
        QTest::newRow("-1") << "-1";
        QTest::newRow("letters-read-as-0-are-valid") << "zz";
    }
    void areaIndexOutsideRangeStops()
    {
        QFETCH(QString, index);
        ZoneStore s;
        QString second = block(0, {9, 9, 9, 9, 9, 9, 9, 9, 9, 0, 0, 0}, {"1,1"});
        second.replace(0, 1, index); // the block's index line
        readSections(kDockSection + "CoordTableData\n"
                         + block(5, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {"5,5"}) + second
                         + block(6, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {"6,6"})
                         + "CoordTableDataEnd\n",
                     s);
        QCOMPARE(s.areas[5].openDelay, 1);
        if (index == "zz") {
            // A non-number is 0, a valid index: the block is read and so is 6.
            QCOMPARE(s.areas[0].openDelay, 9);
            QCOMPARE(s.areas[6].openDelay, 1);
        } else {
            QCOMPARE(s.areas[0].openDelay, 0);
            QCOMPARE(s.areas[6].openDelay, 0);
        }
    }

    void repeatedAreaReplacesEarlierBlock()
    {
        ZoneStore s;
        readSections(kDockSection + "CoordTableData\n"
                         + block(5, {1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0}, {"1,1", "2,2"})
                         + block(5, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {"3,3"})
                         + "CoordTableDataEnd\n",
                     s);
        QCOMPARE(s.areas[5].openDelay, 2);
        QCOMPARE(s.areas[5].points[0], QVector<QPoint>{QPoint(3, 3)});
        QCOMPARE(s.areas[5].shape[0], int(ShapePolygon));
    }

    void missingEndTagSwallowsAllButTheLastLine()
    {
        ZoneStore s;
        QString b = block(2, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {"1,1"}, {"2,2"});
        b.remove("Out1CoordEnd\n");
        readSections(kDockSection + "CoordTableData\n" + b + "CoordTableDataEnd\n", s);
        // Out1 took "1,1", the Out2 and Out3 tags (as origins), "2,2" and
        // the end tags; the last line ends the loop and is not taken.
        const QVector<QPoint> want = {QPoint(1, 1), QPoint(), QPoint(2, 2), QPoint(), QPoint(),
                                      QPoint()};
        QCOMPARE(s.areas[2].points[0], want);
        QVERIFY(s.areas[2].points[1].isEmpty());
    }

    void pointOnTheVeryLastLineIsNotTaken()
    {
        ZoneStore s;
        readSections(kDockSection
                         + "CoordTableData\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n"
                           "Out1CoordStr\n10,10\n20,20",
                     s);
        QCOMPARE(s.areas[0].points[0], QVector<QPoint>{QPoint(10, 10)});
        // With a final line break the last point line is still the last line.
        ZoneStore t;
        readSections(kDockSection
                         + "CoordTableData\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n"
                           "Out1CoordStr\n10,10\n20,20\n",
                     t);
        QCOMPARE(t.areas[0].points[0], QVector<QPoint>{QPoint(10, 10)});
    }

    void kindsApplyWhenTheFileEndsAfterABlock_data()
    {
        QTest::addColumn<QString>("tail");
        // The block's last line is the end of the file, with or without a
        // final line break, or the Out3 end tag is missing altogether.
        QTest::newRow("ends-after-out3-tag") << "Out3CoordEnd\n";
        QTest::newRow("ends-without-line-break") << "Out3CoordEnd";
        QTest::newRow("out3-tag-missing") << "";
    }
    void kindsApplyWhenTheFileEndsAfterABlock()
    {
        QFETCH(QString, tail);
        ZoneStore s;
        readSections(kDockSection
                         + "CoordTableData\n4\n0\n0\n0\n0\n0\n0\n0\n0\n0\n1\n5\n4\n"
                           "Out1CoordStr\n1,1\n2,2\nOut1CoordEnd\nOut2CoordStr\nOut2CoordEnd\n"
                           "Out3CoordStr\n"
                         + tail,
                     s);
        QCOMPARE(s.areas[4].shape[0], int(ShapeArc));
        QCOMPARE(s.areas[4].shape[1], int(ShapeRatio));
        QCOMPARE(s.areas[4].shape[2], int(ShapeFan));
        QCOMPARE(s.areas[4].points[0].size(), 2);
    }

    void sensorRulesCorrectWhatIsShown()
    {
        SensorParameters p;
        p.ScanMotorSpeed = 2;
        p.ScanFilterLevel = 4;
        p.SensorInstallDir = 3;
        p.ScanSensorAngle = 7;
        SensorParameterRules::correctForDisplay(p);
        QCOMPARE(p.ScanMotorSpeed, 0);
        QCOMPARE(p.ScanFilterLevel, 0);
        QCOMPARE(p.SensorInstallDir, 0);
        QCOMPARE(p.ScanSensorAngle, 1);
    }

    void sensorRulesSplitTheAddress()
    {
        SensorParameters p; // 192.168.1.88
        QCOMPARE(p.SensorIPAddressHigh, 49320);
        QCOMPARE(p.SensorIPAddressLow, 344);
        const QVector<int> dock = SensorParameterRules::toDockValues(p);
        QCOMPARE(dock.mid(17), (QVector<int>{0, 192, 168, 1, 88}));
        QCOMPARE(dock.mid(0, 17),
                 (QVector<int>{0, 0, 0, 0, 127, 0, 0, 0, 127, 0, 0, 1, 1, 0, 0, 1, 2}));
        p.SensorIPAddressHigh = (200 << 8) | 1;
        p.SensorIPAddressLow = (2 << 8) | 3;
        QCOMPARE(SensorParameterRules::toDockValues(p).mid(18), (QVector<int>{200, 1, 2, 3}));
    }

    void sensorRulesFromTheDock()
    {
        const SensorParameters before;
        QVector<int> dock = {1, 2, 1, 2, 5, 4, 2, 1, 99, 3, 1, 1, 0, 3, 1, 0, 5, 1, 10, 0, 0, 1};
        // Serial: the resolution, Ethernet mode and address keep their values.
        const SensorParameters serial = SensorParameterRules::fromDockValues(dock, false, before);
        QCOMPARE(serial.ControlMode, 1);
        QCOMPARE(serial.RS485IDAddress, 5);
        QCOMPARE(serial.CANIDAddress, 99);
        QCOMPARE(serial.ScanMotorSpeed, 1);
        QCOMPARE(serial.CrossFilterNumber, 5);
        QCOMPARE(serial.ScanSensorAngle, before.ScanSensorAngle);
        QCOMPARE(serial.SensorEtherMode, before.SensorEtherMode);
        QCOMPARE(serial.SensorIPAddressHigh, 49320);
        QCOMPARE(serial.SensorIPAddressLow, 344);
        // Ethernet: 0.025 deg is 10 Hz only, and 10.0.0.1 packs into two halves.
        const SensorParameters eth = SensorParameterRules::fromDockValues(dock, true, before);
        QCOMPARE(eth.ScanSensorAngle, 0);
        QCOMPARE(eth.ScanMotorSpeed, 0);
        QCOMPARE(eth.SensorEtherMode, 1);
        QCOMPARE(eth.SensorIPAddressHigh, 10 << 8);
        QCOMPARE(eth.SensorIPAddressLow, 1);
        dock[12] = 2;
        QCOMPARE(SensorParameterRules::fromDockValues(dock, true, before).ScanMotorSpeed, 1);
    }

    void missingAreaTagChangesNothing()
    {
        ZoneStore s;
        s.areas[0] = marked();
        readSections(kDockSection + block(0, {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0}, {}), s);
        QVERIFY(s.areas[0] == marked());
    }

    void crlfAndLfReadAlike()
    {
        QTemporaryDir dir;
        const ZoneStore original = randomStore(7);
        QString crlf = projectText(original);
        crlf.replace("\n", "\r\n");
        const QString path = dir.filePath("crlf.ZQ30");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(crlf.toLatin1());
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        QTextStream in(&f);
        QCOMPARE(in.readLine(), QStringLiteral("TRV_ZQ_30"));
        ZoneStore s;
        QCOMPARE(ProjectFile::readSensorSection(in), SensorDockValues::defaults());
        ProjectFile::readAreaSection(in, s);
        QVERIFY(s.areas == original.areas);
    }

    void randomDesignsRoundTrip()
    {
        for (quint32 seed = 1; seed <= 20; ++seed) {
            const ZoneStore original = randomStore(seed);
            QVector<int> dock = SensorDockValues::defaults();
            dock[4] = int(seed);
            QString text = projectText(original, int(seed % 5), dock);

            QTextStream in(&text);
            in.readLine();
            ZoneStore s;
            QCOMPARE(ProjectFile::readSensorSection(in), dock);
            ProjectFile::readAreaSection(in, s);
            for (int n = 0; n < 64; ++n)
                QVERIFY2(s.areas[n] == original.areas[n],
                         qPrintable(QString("seed %1 area %2").arg(seed).arg(n)));
        }
    }

    void saveReplacesFileAtomically()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("plant.ZQ30");
        ZoneStore s = randomStore(3);
        QCOMPARE(ProjectFile::saveProject(path, 3, SensorDockValues::defaults(), s),
                 ProjectFile::SaveResult::Saved);
        QCOMPARE(readAll(path), projectText(s));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plant.ZQ30"});
    }

    void interruptedSaveKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("plant.ZQ30");
        const ZoneStore small;
        QCOMPARE(ProjectFile::saveProject(path, 3, SensorDockValues::defaults(), small),
                 ProjectFile::SaveResult::Saved);
        const QString before = readAll(path);
        QVERIFY(before.size() > 3000);

        // Let the process write no more than 8 KiB per file: a large design
        // then fails half-way, as on a full disk.
        const ZoneStore big = randomStore(11);
        struct rlimit old;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = old;
        limited.rlim_cur = 8192;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        QString why;
        const auto result =
            ProjectFile::saveProject(path, 3, SensorDockValues::defaults(), big, &why);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(result, ProjectFile::SaveResult::WriteFailed);
        QVERIFY(!why.isEmpty());
        QCOMPARE(readAll(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plant.ZQ30"});
    }

    void saveIntoMissingFolderFailsToOpen()
    {
        QTemporaryDir dir;
        const ZoneStore s;
        QCOMPARE(ProjectFile::saveProject(dir.filePath("no/such/dir/x.ZQ30"), 3,
                                          SensorDockValues::defaults(), s),
                 ProjectFile::SaveResult::OpenFailed);
    }

    void dockLimits_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("held");
        QTest::newRow("control-mode-5") << 0 << 5 << 5;
        QTest::newRow("control-mode-6") << 0 << 6 << -1;
        QTest::newRow("control-mode--1") << 0 << -1 << -1;
        QTest::newRow("can-baud-3") << 9 << 3 << 3;
        QTest::newRow("can-baud-4") << 9 << 4 << -1;
        QTest::newRow("cross-number-5") << 16 << 5 << 5;
        QTest::newRow("cross-number-6") << 16 << 6 << -1;
        QTest::newRow("rs485-0") << 4 << 0 << 1;
        QTest::newRow("rs485-128") << 4 << 128 << 127;
        QTest::newRow("can-id-200") << 8 << 200 << 127;
        QTest::newRow("ip1-10") << 18 << 10 << 192;
        QTest::newRow("ip1-224") << 18 << 224 << 223;
        QTest::newRow("ip2--4") << 19 << -4 << 0;
        QTest::newRow("ip3-256") << 20 << 256 << 255;
        QTest::newRow("ip4-0") << 21 << 0 << 1;
        QTest::newRow("ip4-255") << 21 << 255 << 254;
    }
    void dockLimits()
    {
        QFETCH(int, line);
        QFETCH(int, value);
        QFETCH(int, held);
        QCOMPARE(SensorDockValues::held(line, value), held);
    }

    // The text before the first comma is x, between the first and the
    // second y; what is no number reads as 0.
    void pointLinesParse_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QPoint>("point");
        QTest::newRow("x only") << "5" << QPoint(5, 0);
        QTest::newRow("y only") << ",7" << QPoint(0, 7);
        QTest::newRow("empty y") << "3," << QPoint(3, 0);
        QTest::newRow("four numbers") << "1,2,3,4" << QPoint(1, 2);
        QTest::newRow("spaces and signs") << " 4 , -5 " << QPoint(4, -5);
        QTest::newRow("hex and exponent") << "0x10,1e3" << QPoint(0, 0);
        QTest::newRow("beyond 32 bits") << "2147483648,-2147483648" << QPoint(0, -2147483647 - 1);
    }
    void pointLinesParse()
    {
        QFETCH(QString, line);
        QFETCH(QPoint, point);
        ZoneStore s;
        readSections(kDockSection + "CoordTableData\n"
                         + block(0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {line})
                         + "CoordTableDataEnd\n",
                     s);
        QCOMPARE(s.areas[0].points[0], QVector<QPoint>{point});
    }

    // With a limit, an output of more points stops the reading and leaves
    // every area as it was, those read before included; the report names
    // the output and how many points it holds.
    void pointLimitLeavesTheDesignAlone()
    {
        ZoneStore s;
        for (AreaRecord &a : s.areas)
            a = marked();
        QStringList many;
        for (int i = 0; i < 7; ++i)
            many << QString("%1,%2").arg(i).arg(-i);
        const QString text = "CoordTableData\n"
                             + block(2, {1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}, {"1,1"})
                             + block(5, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {}, many.mid(0, 5),
                                     many)
                             + block(9, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {"2,2"})
                             + "CoordTableDataEnd\n";
        QString copy = text;
        QTextStream in(&copy);
        ProjectFile::AreaReadReport report;
        ProjectFile::readAreaSection(in, s, &report, 5);
        for (int n = 0; n < kAreaCount; ++n)
            QVERIFY2(s.areas[n] == marked(), qPrintable(QString::number(n)));
        QCOMPARE(report.overflow.area, 5);
        QCOMPARE(report.overflow.output, 2);
        QCOMPARE(report.overflow.count, qint64(7));
        // At the limit itself everything is read.
        QString again = text;
        QTextStream in2(&again);
        ProjectFile::AreaReadReport fits;
        ProjectFile::readAreaSection(in2, s, &fits, 7);
        QCOMPARE(fits.overflow.area, -1);
        QCOMPARE(s.areas[5].points[2].size(), 7);
        QCOMPARE(s.areas[9].points[0], QVector<QPoint>{QPoint(2, 2)});
    }

    // What the window checks before it opens a file: no line without end,
    // no output beyond the limit; anything else is left to the caller.
    void screenFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("reason"); // Refusal::Reason
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("area");
        QTest::addColumn<int>("output");
        QTest::addColumn<int>("count");
        const QByteArray fresh = freshLaser30();
        const QByteArray six = "1,1\n2,2\n3,3\n4,4\n5,5\n6,6\n";
        const QByteArray over = withPoints(fresh, 9, 2, six), at = withPoints(fresh, 9, 2, six.mid(4));
        const QByteArray crlf = QByteArray(over).replace("\n", "\r\n");
        const QByteArray longBody = withPoints(fresh, 0, 1, QByteArray(1100, '7') + '\n');
        using R = ProjectFile::Refusal;
        QTest::newRow("output over the limit") << over << int(R::TooManyPoints) << 0 << 9 << 1 << 6;
        QTest::newRow("output at the limit") << at << int(R::None) << 0 << -1 << -1 << 0;
        QTest::newRow("over the limit, CR LF") << crlf << int(R::TooManyPoints) << 0 << 9 << 1 << 6;
        QTest::newRow("long point line") << longBody << int(R::LongLine) << 40 << -1 << -1 << 0;
        QTest::newRow("first line without end")
            << QByteArray(5000, 'T') << int(R::LongLine) << 1 << -1 << -1 << 0;
        QTest::newRow("no project: not read on")
            << "hello\n" + QByteArray(2000, 'x') << int(R::None) << 0 << -1 << -1 << 0;
    }
    void screenFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, reason);
        QFETCH(int, line);
        QFETCH(int, area);
        QFETCH(int, output);
        QFETCH(int, count);
        QTemporaryDir dir;
        const QString path = dir.filePath("screened.ZQ30");
        writeFile(path, content);
        const ProjectFile::Refusal r = ProjectFile::screenFile(path, 5);
        QCOMPARE(int(r.reason), reason);
        if (reason == ProjectFile::Refusal::LongLine)
            QCOMPARE(r.line, qint64(line));
        QCOMPARE(r.area, area);
        QCOMPARE(r.output, output);
        QCOMPARE(r.count, qint64(count));
        // The message names what is wrong, in either language.
        if (r.refused()) {
            for (int language : {0, 1}) {
                const QString text = r.text(language);
                const int named = reason == ProjectFile::Refusal::LongLine ? line : count;
                QVERIFY(text.contains(QString::number(named)));
                if (area >= 0)
                    QVERIFY(text.contains(QString("Out%1").arg(output + 1)));
            }
        }
    }

    // A first line that never ends costs a few kilobytes, not the file.
    void endlessFileIsRefusedEarly()
    {
        const auto bytesRead = [] {
            QFile io("/proc/self/io");
            if (!io.open(QIODevice::ReadOnly))
                return qint64(-1);
            for (const QByteArray &l : io.readAll().split('\n'))
                if (l.startsWith("rchar:"))
                    return l.mid(6).trimmed().toLongLong();
            return qint64(-1);
        };
        const qint64 before = bytesRead();
        const ProjectFile::Refusal r = ProjectFile::screenFile("/dev/zero");
        const qint64 read = bytesRead() - before;
        QCOMPARE(int(r.reason), int(ProjectFile::Refusal::LongLine));
        QCOMPARE(r.line, qint64(1));
        QVERIFY2(before < 0 || read < 16384, qPrintable(QString::number(read)));
    }
};

QTEST_APPLESS_MAIN(TestProjectFile)
#include "tst_projectfile.moc"
