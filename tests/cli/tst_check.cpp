#include "core/link/AreaCodec.h"
#include "core/link/LinkProtocol.h"
#include "core/link/Payloads.h"
#include "core/project/ProjectFile.h"
#include "core/zones/DesignCheck.h"
#include "core/zones/ZoneGeometry.h"
#include "core/zones/ZoneStore.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include "tests/support/PointText.h"
#include "tests/support/ProjectText.h"
#include "tests/support/TestFiles.h"

namespace {

struct Run {
    int exitCode;
    QStringList lines;
    QString err;
};

Run check(const QStringList &args)
{
    const CliRun r = runCli(QStringList{"check"} + args);
    return {r.exitCode, r.lines(), r.err};
}

// check run on a file that holds the text.
Run checkText(const QString &text, const QStringList &options = {})
{
    QTemporaryDir dir;
    writeFile(dir.filePath("design.ZQ30"), text.toLatin1());
    return check(QStringList{dir.filePath("design.ZQ30")} + options);
}

// One area block with each output's points as "x,y x,y ...".
QString block(int n, const QList<int> &fields, const QString &out1 = {}, const QString &out2 = {},
              const QString &out3 = {})
{
    return areaBlock(n, fields, out1.split(' ', Qt::SkipEmptyParts),
                     out2.split(' ', Qt::SkipEmptyParts), out3.split(' ', Qt::SkipEmptyParts));
}

QString project(const QString &header, const QString &blocks,
                const QString &dock = "0\n0\n0\n0\n127\n0\n0\n0\n127\n0\n0\n1\n1\n0\n0\n1\n2\n0\n"
                                      "192\n168\n1\n88\n")
{
    return header + "\nSensorSetting\n" + dock + "CoordTableData\n" + blocks
           + "CoordTableDataEnd\n";
}

QList<int> kinds(int k1, int k2 = 0, int k3 = 0)
{
    return {0, 0, 0, 1, 0, 0, 0, 0, 0, k1, k2, k3};
}

// The fields of kinds() with a case channel over the whole chart in one mode.
QList<int> kindsInMode(int mode, int k1, int k2 = 0, int k3 = 0)
{
    return {0, 0, 0, 1, -180, 180, -300, 300, mode, k1, k2, k3};
}

// A clean design: every kind used as it should be, each area selected in an
// operation mode of its own.
QString cleanBlocks()
{
    return block(0, kindsInMode(1, 0, 3, 4), "2000,0 2000,3000 -2000,3000 -2000,0", "0,2000",
                 "0,1000") +
           block(1, kindsInMode(2, 1, 5, 0), "3000,0 0,3000", "0,500") +
           block(2, kindsInMode(3, 2), "1000,500 1000,2000 -1000,2000 -1000,500") +
           block(3, {25, 25, 10, 9, -180, 180, -300, 300, 5, 0, 0, 0}, "0,10000");
}

// "x,y x,y ...", or "many:N" for N vertices at N distinct angles.
QVector<QPoint> points(const QString &text)
{
    if (!text.startsWith("many:"))
        return pts(text);
    QVector<QPoint> list;
    for (int i = 0; i < text.mid(5).toInt(); ++i)
        list << QPoint(1000 + i, 10 * i);
    return list;
}

// Slots carry no order the design can keep: compare as multisets.
QVector<QPoint> sorted(QVector<QPoint> list)
{
    std::sort(list.begin(), list.end(), [](const QPoint &a, const QPoint &b) {
        return a.x() != b.x() ? a.x() < b.x() : a.y() < b.y();
    });
    return list;
}

// The sensor keeps an arc as two whole degrees and one whole millimetre
// radius, and the way back truncates each coordinate: the same arc to
// within that.
bool sameArc(const QVector<QPoint> &a, const QVector<QPoint> &b)
{
    if (a.size() != 2 || b.size() != 2)
        return false;
    QVector<ZoneGeometry::Polar> pa, pb;
    for (const QPoint &p : a)
        pa << ZoneGeometry::xyToPolar(p);
    for (const QPoint &p : b)
        pb << ZoneGeometry::xyToPolar(p);
    const auto byAngle = [](const ZoneGeometry::Polar &l, const ZoneGeometry::Polar &r) {
        return l.theta < r.theta;
    };
    std::sort(pa.begin(), pa.end(), byAngle);
    std::sort(pb.begin(), pb.end(), byAngle);
    for (int i = 0; i < 2; ++i)
        if (std::fabs(pa[i].r - pb[i].r) > 3.0f
            || std::fabs(pa[i].theta - pb[i].theta) * ZoneGeometry::kRadToDeg > 1.0f)
            return false;
    return true;
}

// Does the sensor hold, after WArea and WCase, what the design says? Read
// back as the link would read it, into a fresh record.
bool arrivesIntact(const AreaRecord &design)
{
    AreaRecord back;
    AreaCodec::decode(AreaCodec::encode("WArea", 0, design), back);
    ZoneStore sent;
    sent.areas[0] = design;
    QVector<AreaRecord> read(kAreaCount);
    Payloads::decodeRCase(Payloads::encodeWCase(sent), read);
    for (int f = 4; f < 9; ++f)
        back.setIntField(f, read[0].intField(f));
    for (int f = 0; f < 9; ++f)
        if (back.intField(f) != design.intField(f))
            return false;
    for (int n = 0; n < 3; ++n) {
        if (back.shape[n] != design.shape[n])
            return false;
        const QVector<QPoint> &was = design.points[n], &is = back.points[n];
        switch (design.shape[n]) {
        case ShapePolygon:
        case ShapeRectangle:
            if (sorted(was) != sorted(is))
                return false;
            break;
        case ShapeArc:
            if (!sameArc(was, is))
                return false;
            break;
        default:
            if (was != is)
                return false;
        }
    }
    return true;
}

} // namespace

class TestCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanDesignHasNoFindings()
    {
        const Run r = checkText(project("TRV_ZQ_30", cleanBlocks()));
        QCOMPARE(r.lines, QStringList());
        QCOMPARE(r.exitCode, 0);
        // The freshly started tool's file is clean too.
        QCOMPARE(check({TEST_DATA_DIR "/fresh_laser30.ZQ30"}).exitCode, 0);
    }

    // Areas 0 (steering -30..30, speed 0..100, every mode) and 5 (0..60,
    // 50..300, mode 2) share steering 0..30 at speed 50..100 in mode 2;
    // area 7 lies within area 0, and area 9 has a zone but no channel, so it
    // holds the standing vehicle only, which area 0 takes. Warnings: the
    // exit status stays 0, and the design converts and travels as it is.
    void caseChannelsAreLookedAtOnceOneIsSet()
    {
        const QString zone = "1000,1000 -1000,1000";
        QString blocks = block(0, {0, 0, 0, 1, -30, 30, 0, 100, 0, 0, 0, 0}, zone)
                         + block(5, {0, 0, 0, 1, 0, 60, 50, 300, 2, 0, 0, 0}, zone)
                         + block(7, {0, 0, 0, 1, -10, 10, 20, 40, 3, 0, 0, 0}, zone)
                         + block(9, kinds(0), zone);
        QTemporaryDir dir;
        const QString file = dir.filePath("cases.ZQ30");
        writeFile(file, project("TRV_ZQ_30", blocks).toLatin1());
        Run r = check({file});
        QCOMPARE(r.lines, (QStringList{
                              "area 5: warning: case channel overlaps that of area 0 at steering "
                              "0..30, speed 50..100, mode 2; area 0 comes first there",
                              "area 7: warning: unreachable: area 0 applies to every state its "
                              "case channel holds",
                              "area 9: warning: unreachable: area 0 applies to every state its "
                              "case channel holds"}));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(runCli({"convert", file, dir.filePath("copy.ZQ30")}).exitCode, 0);
        // Write All refuses only what would not arrive: none of this.
        QVector<AreaRecord> areas(kAreaCount);
        QByteArray text = project("TRV_ZQ_30", blocks).toLatin1();
        QTextStream in(&text);
        ProjectFile::readAreaSection(in, areas, nullptr);
        QCOMPARE(areas[5].operationMode, 2);
        QCOMPARE(DesignCheck::transferFindings(areas).size(), 0);

        // A catch-all behind them overlaps each area in use; areas 7 and 9
        // stay unreachable, and the overlaps name the mode they share.
        blocks += block(20, {0, 0, 0, 1, -180, 180, -300, 300, 0, 0, 0, 0}, zone);
        r = checkText(project("TRV_ZQ_30", blocks));
        QCOMPARE(r.lines.mid(3), (QStringList{
                                     "area 20: warning: case channel overlaps that of area 0 at "
                                     "steering -30..30, speed 0..100, every mode; area 0 comes "
                                     "first there",
                                     "area 20: warning: case channel overlaps that of area 5 at "
                                     "steering 0..60, speed 50..300, mode 2; area 5 comes first "
                                     "there",
                                     "area 20: warning: case channel overlaps that of area 7 at "
                                     "steering -10..10, speed 20..40, mode 3; area 7 comes first "
                                     "there",
                                     "area 20: warning: case channel overlaps that of area 9 at "
                                     "steering 0..0, speed 0..0, every mode; area 9 comes first "
                                     "there"}));

        // Zones in every area but no channel set: nothing about the channels,
        // though all of them hold the standing vehicle.
        blocks.clear();
        for (int n = 0; n < 64; ++n)
            blocks += block(n, kinds(0), zone);
        r = checkText(project("TRV_ZQ_30", blocks));
        QCOMPARE(r.lines, QStringList());
        QCOMPARE(r.exitCode, 0);
    }

    void modelOptionChecksAnotherRange()
    {
        const Run r = checkText(project("TRV_ZQ_30", cleanBlocks()), {"--model", "Laser05"});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.lines, QStringList{
                              "area 3 Out 1: 1 point beyond the 6000 mm range of Laser05 "
                              "(farthest 10000 mm)"});
    }

    void everyFindingIsReported()
    {
        QString blocks;
        blocks += block(1, kinds(1), "1000,0 0,1000 500,500");
        blocks += block(2, kinds(1), "1000,0 0,2000");
        blocks += block(3, kinds(2), "0,0 0,100 100,120 100,0");
        blocks += block(4, kinds(0, 3, 4), "1000,1000 -1000,1000", "5,100", "0,1 0,2");
        blocks += block(5, kinds(3, 9, 0), {}, "0,1");
        blocks += block(6, kinds(0), str(points("many:101"))); // 101 vertices at 101 angles
        blocks += block(7, kinds(0), "40000,0 0,1000");
        blocks += block(8, kinds(0), "100,100 200,200 0,500");
        blocks += block(9, kinds(0), "1000,1000 100,-1000 -1000,1000");
        blocks += block(10, {30, 0, 0, 1, 50, 10, 100, -100, 0, 0, 0, 0}, {});
        blocks += block(11, kinds(2), "20,0 20,0 20,0 20,0");
        const QString dock = "9\n0\n0\n0\n127\n0\n0\n0\n127\n0\n0\n1\n1\n0\n0\n1\n2\n0\n"
                             "192\n168\n1\n88\n";
        const Run r = checkText(project("TRV_ZQ_30", blocks, dock));
        QStringList want = {
            "file: sensor value 1 (control mode) is 9, outside 0..5; it reads as no selection",
            "area 5 Out 1: shape kind 3 outside 0..2; the area keeps its previous kind",
            "area 5 Out 2: shape kind 9 outside 0..5; the area keeps its previous kind",
            "area 1 Out 1: Arc with 3 points; it needs exactly 2",
            "area 2 Out 1: Arc points at different radii (1000 mm and 2000 mm); the sensor takes "
            "the first",
            "area 3 Out 1: Rectangle corners are not axis-parallel",
            "area 3 Out 1: 1 vertex shares a polar angle with a later vertex; only the later one "
            "reaches the sensor",
            "area 4 Out 2: Straight parameter point has x = 5; it must be 0",
            "area 4 Out 3: Fan with 2 points; it needs exactly 1",
            "area 6 Out 1: 101 points; the sensor takes at most 100",
            "area 6 Out 1: 101 distinct polar angles; the sensor takes at most 100",
            "area 7 Out 1: 1 point with a coordinate outside -32768..32767 mm",
            "area 7 Out 1: 1 point beyond the 36000 mm range of Laser30 (farthest 40000 mm)",
            "area 8 Out 1: 1 vertex shares a polar angle with a later vertex; only the later one "
            "reaches the sensor",
            "area 9 Out 1: 1 vertex in the blind 40° wedge behind the sensor",
            "area 10: on-delay index 30 outside 0..25",
            "area 10: steering minimum 50 above maximum 10",
            "area 10: speed minimum 100 above maximum -100",
            "area 11 Out 1: Rectangle has no area",
            "area 11 Out 1: 3 vertices share a polar angle with a later vertex; only the later "
            "one reaches the sensor",
        };
        // Area 10 sets a case channel, so the channels are looked at: the
        // untouched area 0 takes the standing vehicle, the one state the
        // all-zero channels of the other areas hold.
        for (int n = 1; n <= 11; ++n)
            want << (n == 10 ? QString("area 10: warning: unreachable: its case channel holds no "
                                       "state of steering -180..180, speed -300..300, operation "
                                       "mode 0..5")
                             : QString("area %1: warning: unreachable: area 0 applies to every "
                                       "state its case channel holds").arg(n));
        QCOMPARE(r.lines, want);
        QCOMPARE(r.exitCode, 1);
    }

    // Write All refuses exactly what would not arrive as designed: each row
    // is sent through the area and case frames and read back.
    void transferFindingsAreWhatChangesOnTheWay_data()
    {
        QTest::addColumn<int>("output");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("points");
        QTest::addColumn<int>("field"); // an integer field set to value, -1 for none
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("blocked");
        QTest::addColumn<bool>("linted"); // check reports it all the same
        QTest::newRow("polygon") << 0 << 0 << "1000,0 0,1000 -1000,0" << -1 << 0 << false << false;
        QTest::newRow("polygon-drawn-out-of-angle-order") << 0 << 0 << "0,1000 -1000,0 1000,0" << -1 << 0 << false << false;
        QTest::newRow("empty-polygon") << 2 << 0 << "" << -1 << 0 << false << false;
        QTest::newRow("100-points") << 0 << 0 << "many:100" << -1 << 0 << false << false;
        QTest::newRow("101-points") << 1 << 0 << "many:101" << -1 << 0 << true << true;
        QTest::newRow("coordinate-40000-wraps") << 0 << 0 << "1000,40000 2000,0" << -1 << 0 << true << true;
        QTest::newRow("coordinates-at-16-bit-limits") << 0 << 0 << "32767,-32768 -32768,32767" << -1 << 0 << false << false;
        QTest::newRow("vertices-share-an-angle") << 0 << 0 << "100,100 200,200 0,500" << -1 << 0 << true << true;
        QTest::newRow("origin-then-vertex-at-its-angle") << 0 << 0 << "0,0 100,0 0,100" << -1 << 0 << false << true;
        QTest::newRow("vertex-then-origin-at-its-angle") << 0 << 0 << "100,0 0,0 0,100" << -1 << 0 << true << true;
        QTest::newRow("blind-wedge") << 0 << 0 << "1000,1000 100,-1000" << -1 << 0 << false << true;
        QTest::newRow("rectangle") << 0 << 2 << "1000,500 1000,2000 -1000,2000 -1000,500" << -1 << 0 << false << false;
        QTest::newRow("rectangle-on-the-diagonal") << 0 << 2 << "100,100 100,200 200,200 200,100" << -1 << 0 << true << true;
        QTest::newRow("rectangle-not-axis-parallel") << 1 << 2 << "1000,500 1200,2000 -1000,2000 -1000,500" << -1 << 0 << false << true;
        QTest::newRow("rectangle-coordinate-40000") << 0 << 2 << "1000,500 1000,40000 -1000,40000 -1000,500" << -1 << 0 << true << true;
        QTest::newRow("arc") << 0 << 1 << "1000,0 0,1000" << -1 << 0 << false << false;
        QTest::newRow("arc-larger-angle-first") << 2 << 1 << "0,1000 1000,0" << -1 << 0 << false << false;
        QTest::newRow("arc-at-one-angle") << 0 << 1 << "1000,0 1000,0" << -1 << 0 << false << true;
        QTest::newRow("arc-coordinates-beyond-16-bits") << 0 << 1 << "40000,0 0,40000" << -1 << 0 << false << true;
        QTest::newRow("arc-radius-beyond-16-bits") << 0 << 1 << "70000,0 0,70000" << -1 << 0 << true << true;
        QTest::newRow("arc-different-radii") << 0 << 1 << "1000,0 0,2000" << -1 << 0 << true << true;
        QTest::newRow("arc-3-points") << 0 << 1 << "1000,0 0,1000 -1000,0" << -1 << 0 << true << true;
        QTest::newRow("straight") << 1 << 3 << "0,1500" << -1 << 0 << false << false;
        QTest::newRow("straight-off-axis") << 1 << 3 << "5,1500" << -1 << 0 << true << true;
        QTest::newRow("fan-2-points") << 2 << 4 << "0,1 0,2" << -1 << 0 << true << true;
        QTest::newRow("ratio-no-point") << 2 << 5 << "" << -1 << 0 << true << true;
        QTest::newRow("parameter-40000-unsigned") << 1 << 3 << "0,40000" << -1 << 0 << false << true;
        QTest::newRow("parameter-negative") << 1 << 4 << "0,-5" << -1 << 0 << true << true;
        QTest::newRow("parameter-70000") << 2 << 5 << "0,70000" << -1 << 0 << true << true;
        QTest::newRow("dependent-kind-on-out1") << 0 << 3 << "0,500" << -1 << 0 << false << true;
        QTest::newRow("kind-6") << 1 << 6 << "0,500" << -1 << 0 << true << true;
        QTest::newRow("kind-minus-1") << 0 << -1 << "100,100" << -1 << 0 << true << true;
        QTest::newRow("kind-256") << 2 << 256 << "100,100" << -1 << 0 << true << true;
        QTest::newRow("on-delay-index-30") << 0 << 0 << "" << 0 << 30 << false << true;
        QTest::newRow("on-delay-index-minus-1") << 0 << 0 << "" << 0 << -1 << true << true;
        QTest::newRow("detection-index-70000") << 0 << 0 << "" << 3 << 70000 << true << true;
        QTest::newRow("steering-200") << 0 << 0 << "" << 5 << 200 << false << true;
        QTest::newRow("speed-40000") << 0 << 0 << "" << 7 << 40000 << true << true;
    }
    void arcsReadFromTheSensorTravelAgain()
    {
        // The sensor keeps an arc as a radius and two whole-degree angles;
        // the points read back lie on whole millimetres, up to about 1.4 mm
        // apart in radius. Such an arc must be written back as it is.
        for (int r : {900, 4492, 9135, 17154, 30000})
            for (int start = -60; start <= 240; start += 37) {
                QByteArray f(AreaCodec::kFrameLength, '\0');
                AreaRecord arc;
                arc.shape[0] = ShapeArc;
                arc.points[0] = {ZoneGeometry::polarToXY(float(r), 0.0f), QPoint(0, r)};
                f = AreaCodec::encode("RArea", 0, arc);
                LinkProtocol::put16(f, 14 + 4, start);
                LinkProtocol::put16(f, 14 + 6, start + 23);
                AreaRecord read;
                AreaCodec::decode(f, read);
                QVector<AreaRecord> areas(kAreaCount);
                areas[0] = read;
                QVERIFY2(DesignCheck::transferFindings(areas).isEmpty(),
                         qPrintable(QStringLiteral("r %1 from %2").arg(r).arg(start)));
            }
    }

    void transferFindingsAreWhatChangesOnTheWay()
    {
        QFETCH(int, output);
        QFETCH(int, kind);
        QFETCH(QString, points);
        QFETCH(int, field);
        QFETCH(int, value);
        QFETCH(bool, blocked);
        QFETCH(bool, linted);
        AreaRecord a;
        a.detectionSize = 1;
        a.shape[output] = kind;
        a.points[output] = ::points(points);
        if (field >= 0)
            a.setIntField(field, value);
        QCOMPARE(!arrivesIntact(a), blocked);

        QVector<AreaRecord> areas(kAreaCount);
        areas[5] = a;
        const QVector<DesignCheck::Finding> found = DesignCheck::transferFindings(areas);
        QStringList lines;
        for (const DesignCheck::Finding &f : found)
            lines << f.toLine();
        QVERIFY2(found.isEmpty() != blocked, qPrintable(lines.join('\n')));
        for (const DesignCheck::Finding &f : found) {
            QCOMPARE(f.area, 5);
            QCOMPARE(f.output, field >= 0 ? -1 : output);
        }
        QCOMPARE(!DesignCheck::checkArea(5, a, -1).isEmpty(), linted);
    }

    void damagedStructureIsReported()
    {
        Run r = checkText("TRV_ZQ_10\n" + block(0, kinds(0), "1,1"));
        QCOMPARE(r.lines, (QStringList{"file: no SensorSetting section; all 22 sensor values read as 0",
                                       "file: sensor value 5 (RS485 address) is 0, outside 1..127; it reads as 1",
                                       "file: sensor value 9 (CAN address) is 0, outside 1..127; it reads as 1",
                                       "file: sensor value 19 (IP address octet 1) is 0, outside 192..223; it reads as 192",
                                       "file: sensor value 22 (IP address octet 4) is 0, outside 1..254; it reads as 1",
                                       "file: no CoordTableData section; no area is read"}));
        QCOMPARE(r.exitCode, 1);

        // An index of 64, a repeated area, and a point list cut short.
        r = checkText(project("TRV_ZQ_30", block(2, kinds(0), "5,5") + block(2, kinds(0), "6,6") +
                                               block(64, kinds(0))));
        QCOMPARE(r.lines, (QStringList{"file: area index \"64\" outside 0..63; reading stopped there",
                                       "file: area 2 occurs more than once; the last block counts"}));
        r = checkText(
            project("TRV_ZQ_30", "0\n0\n0\n0\n1\n0\n0\n0\n0\n0\n0\n0\n0\nOut1CoordStr\n1,1\n2,2\n")
                .remove("CoordTableDataEnd\n"));
        QCOMPARE(r.lines, (QStringList{"file: no CoordTableDataEnd line; the file may be cut short",
                                       "area 0 Out 1: point list without its end tag; the following lines were read as points"}));
    }

    void unreadableOrForeignFiles()
    {
        Run r = check({"/nonexistent/missing.ZQ30"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("missing.ZQ30"));
        r = checkText("hello\n");
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.err.trimmed(), QStringLiteral("FileError"));
        // Usage errors are 2 (1 means findings).
        QCOMPARE(check({}).exitCode, 2);
        QCOMPARE(check({"a.ZQ30", "--frobnicate"}).exitCode, 2);
        QCOMPARE(check({"a.ZQ30", "--model", "Laser99"}).exitCode, 2);
        QCOMPARE(check({"--help"}).exitCode, 0);
    }
};

QTEST_APPLESS_MAIN(TestCheck)
#include "tst_check.moc"
