#include "core/project/ProjectFile.h"
#include "core/sensor/SensorDockValues.h"
#include "core/sensor/SensorParameters.h"
#include "core/zones/DeviceType.h"
#include "core/zones/ZoneStore.h"

#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/support/PointText.h"
#include "tests/support/ProjectText.h"
#include "tests/support/TestFiles.h"

#include <csignal>
#include <sys/resource.h>

namespace {

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

const QList<int> kZeros = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

const QString kDockSection =
    "SensorSetting\n1\n2\n1\n2\n5\n4\n2\n1\n99\n3\n1\n0\n4\n3\n1\n0\n5\n1\n200\n10\n20\n30\n";

// Area blocks in a whole area section after the sensor section.
void readAreas(const QString &blocks, ZoneStore &store)
{
    readSections(kDockSection + "CoordTableData\n" + blocks + "CoordTableDataEnd\n", store);
}

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
        const QStringList got = QString(projectBytes(s)).split('\n');
        const QStringList want = QString(freshLaser30()).split('\n');
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
        const QVector<int> dock = readSections(
            "CoordTableData\n" + areaBlock(0, {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0}, {}) +
                "CoordTableDataEnd\n",
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
        readAreas(
            areaBlock(3, {1, 2, 3, 4, -5, 6, -7, 8, 2, 7, 9, 9}, {"120,-45,8", "abc", "-1,-2"}) +
                areaBlock(7, {0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 5, 3}, {}, {"x,5"}, {"0,300"}),
            s);

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

    // Area sections cut short, damaged or odd, and what each area holds
    // after them: "N: on-delay kinds [Out1] [Out2] [Out3]".
    void areaSections_data()
    {
        QTest::addColumn<bool>("marked");     // every area starts as marked()
        QTest::addColumn<QString>("section"); // after the sensor section
        QTest::addColumn<QStringList>("want");
        const QString tag = "CoordTableData\n", end = "CoordTableDataEnd\n";
        const auto row = [](const char *name, bool marked, const QString &section,
                            const QStringList &want) {
            QTest::newRow(name) << marked << section << want;
        };
        row("out1-kinds-outside-0..2-refused", true,
            tag + areaBlock(0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 3, -1, 6}) + end, {"0: 0 154 [] [] []"});
        row("no-area-tag-changes-nothing", true, areaBlock(0, {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0}),
            {"0: 11 154 [7,7 8,8] [] []"});
        // An index outside 0..63 stops the reading; letters read as 0, a
        // valid index, and the reading goes on.
        const QString five = areaBlock(5, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {"5,5"});
        const QString six = areaBlock(6, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {"6,6"});
        const QString nines = areaBlock(0, {9, 9, 9, 9, 9, 9, 9, 9, 9, 0, 0, 0}, {"1,1"}).mid(1);
        const QStringList stopped = {"5: 1 000 [5,5] [] []", "0: 0 000 [] [] []",
                                     "6: 0 000 [] [] []"};
        row("index-64-stops", false, tag + five + "64" + nines + six + end, stopped);
        row("index--1-stops", false, tag + five + "-1" + nines + six + end, stopped);
        row("letters-read-as-0-are-valid", false, tag + five + "zz" + nines + six + end,
            {"5: 1 000 [5,5] [] []", "0: 9 000 [1,1] [] []", "6: 1 000 [6,6] [] []"});
        row("repeated-area-replaces-earlier-block", false,
            tag + areaBlock(5, {1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0}, {"1,1", "2,2"}) +
                areaBlock(5, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {"3,3"}) + end,
            {"5: 2 000 [3,3] [] []"});
        // Out1 takes "1,1", the Out2 and Out3 tags (as origins), "2,2" and
        // the end tags; the last line ends the loop and is not taken.
        row("missing-end-tag-swallows-all-but-the-last-line", false,
            tag + areaBlock(2, kZeros, {"1,1"}, {"2,2"}).remove("Out1CoordEnd\n") + end,
            {"2: 0 000 [1,1 0,0 2,2 0,0 0,0 0,0] [] []"});
        // With or without a final line break, the last point line is the
        // last line.
        const QString cut =
            tag + "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\nOut1CoordStr\n10,10\n20,20";
        row("point-on-the-very-last-line-is-not-taken", false, cut, {"0: 0 000 [10,10] [] []"});
        row("last-point-line-with-line-break", false, cut + '\n', {"0: 0 000 [10,10] [] []"});
        // The kinds apply when the file ends after the block's last line,
        // with or without a final line break, or without the Out3 end tag.
        const QString ends =
            tag + "4\n0\n0\n0\n0\n0\n0\n0\n0\n0\n1\n5\n4\nOut1CoordStr\n1,1\n2,2\nOut1CoordEnd\n"
                  "Out2CoordStr\nOut2CoordEnd\nOut3CoordStr\n";
        row("kinds-apply-at-the-end-after-out3-tag", false, ends + "Out3CoordEnd\n",
            {"4: 0 154 [1,1 2,2] [] []"});
        row("kinds-apply-at-the-end-without-line-break", false, ends + "Out3CoordEnd",
            {"4: 0 154 [1,1 2,2] [] []"});
        row("kinds-apply-at-the-end-out3-tag-missing", false, ends, {"4: 0 154 [1,1 2,2] [] []"});
        // The text before the first comma is x, between the first and the
        // second y; what is no number reads as 0.
        const auto point = [&](const char *name, const QString &line, const QString &xy) {
            row(name, false, tag + areaBlock(0, kZeros, {line}) + end,
                {"0: 0 000 [" + xy + "] [] []"});
        };
        point("point-x-only", "5", "5,0");
        point("point-y-only", ",7", "0,7");
        point("point-empty-y", "3,", "3,0");
        point("point-four-numbers", "1,2,3,4", "1,2");
        point("point-spaces-and-signs", " 4 , -5 ", "4,-5");
        point("point-hex-and-exponent", "0x10,1e3", "0,0");
        point("point-beyond-32-bits", "2147483648,-2147483648", "0,-2147483648");
    }
    void areaSections()
    {
        QFETCH(bool, marked);
        QFETCH(QString, section);
        QFETCH(QStringList, want);
        ZoneStore s;
        if (marked)
            for (AreaRecord &a : s.areas)
                a = ::marked();
        readSections(kDockSection + section, s);
        for (const QString &w : want) {
            const AreaRecord &a = s.areas[w.section(':', 0, 0).toInt()];
            QCOMPARE(QStringLiteral("%1: %2 %3%4%5 [%6] [%7] [%8]")
                         .arg(w.section(':', 0, 0))
                         .arg(a.openDelay)
                         .arg(a.shape[0])
                         .arg(a.shape[1])
                         .arg(a.shape[2])
                         .arg(str(a.points[0]), str(a.points[1]), str(a.points[2])),
                     w);
        }
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

    // Odd seeds with CR LF line ends: both read alike from a file opened
    // in text mode, as the Open action opens it.
    void randomDesignsRoundTrip()
    {
        QTemporaryDir dir;
        for (quint32 seed = 1; seed <= 20; ++seed) {
            const ZoneStore original = randomStore(seed);
            QVector<int> dock = SensorDockValues::defaults();
            dock[4] = int(seed);
            QByteArray text = projectBytes(original, int(seed % 5), dock);
            if (seed % 2)
                text.replace("\n", "\r\n");
            writeFile(dir.filePath("design"), text);
            QFile f(dir.filePath("design"));
            QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
            QTextStream in(&f);
            QCOMPARE(deviceModelFromHeader(in.readLine()), int(seed % 5));
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
        QCOMPARE(readFile(path), projectBytes(s));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plant.ZQ30"});
    }

    void interruptedSaveKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("plant.ZQ30");
        const ZoneStore small;
        QCOMPARE(ProjectFile::saveProject(path, 3, SensorDockValues::defaults(), small),
                 ProjectFile::SaveResult::Saved);
        const QByteArray before = readFile(path);
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
        QCOMPARE(readFile(path), before);
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
        const QString text = "CoordTableData\n" +
                             areaBlock(2, {1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}, {"1,1"}) +
                             areaBlock(5, kZeros, {}, many.mid(0, 5), many) +
                             areaBlock(9, kZeros, {"2,2"}) + "CoordTableDataEnd\n";
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
