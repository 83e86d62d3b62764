#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "TestFiles.h"

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

// One area block; fields are the twelve integers of the record.
QString block(int n, const QList<int> &fields, const QVector<QPoint> &out1,
              const QVector<QPoint> &out2 = {}, const QVector<QPoint> &out3 = {})
{
    QStringList lines{QString::number(n)};
    for (int f : fields)
        lines << QString::number(f);
    const QVector<QPoint> outs[3] = {out1, out2, out3};
    for (int c = 0; c < 3; ++c) {
        lines << QString("Out%1CoordStr").arg(c + 1);
        for (const QPoint &p : outs[c])
            lines << QString("%1,%2").arg(p.x()).arg(p.y());
        lines << QString("Out%1CoordEnd").arg(c + 1);
    }
    return lines.join('\n') + '\n';
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

// A clean design: every kind used as it should be.
QString cleanBlocks()
{
    return block(0, kinds(0, 3, 4), {QPoint(2000, 0), QPoint(2000, 3000), QPoint(-2000, 3000),
                                     QPoint(-2000, 0)},
                 {QPoint(0, 2000)}, {QPoint(0, 1000)})
           + block(1, kinds(1, 5, 0), {QPoint(3000, 0), QPoint(0, 3000)}, {QPoint(0, 500)})
           + block(2, kinds(2),
                   {QPoint(1000, 500), QPoint(1000, 2000), QPoint(-1000, 2000),
                    QPoint(-1000, 500)})
           + block(3, {25, 25, 10, 9, -180, 180, -300, 300, 5, 0, 0, 0}, {QPoint(0, 10000)});
}

} // namespace

class TestCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanDesignHasNoFindings()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("clean.ZQ30"), project("TRV_ZQ_30", cleanBlocks()).toLatin1());
        const Run r = check({dir.filePath("clean.ZQ30")});
        QCOMPARE(r.lines, QStringList());
        QCOMPARE(r.exitCode, 0);
        // The freshly started tool's file is clean too.
        QCOMPARE(check({TEST_DATA_DIR "/fresh_laser30.ZQ30"}).exitCode, 0);
    }

    void modelOptionChecksAnotherRange()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("clean"), project("TRV_ZQ_30", cleanBlocks()).toLatin1());
        const Run r = check({dir.filePath("clean"), "--model", "Laser05"});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.lines, QStringList{
                              "area 3 Out 1: 1 point beyond the 6000 mm range of Laser05 "
                              "(farthest 10000 mm)"});
    }

    void everyFindingIsReported()
    {
        QVector<QPoint> many;
        for (int i = 0; i <= 100; ++i) // 101 vertices at 101 angles
            many << QPoint(1000 + i, 10 * i);
        QString blocks;
        blocks += block(1, kinds(1), {QPoint(1000, 0), QPoint(0, 1000), QPoint(500, 500)});
        blocks += block(2, kinds(1), {QPoint(1000, 0), QPoint(0, 2000)});
        blocks += block(3, kinds(2), {QPoint(0, 0), QPoint(0, 100), QPoint(100, 120), QPoint(100, 0)});
        blocks += block(4, kinds(0, 3, 4), {QPoint(1000, 1000), QPoint(-1000, 1000)},
                        {QPoint(5, 100)}, {QPoint(0, 1), QPoint(0, 2)});
        blocks += block(5, kinds(3, 9, 0), {}, {QPoint(0, 1)});
        blocks += block(6, kinds(0), many);
        blocks += block(7, kinds(0), {QPoint(40000, 0), QPoint(0, 1000)});
        blocks += block(8, kinds(0), {QPoint(100, 100), QPoint(200, 200), QPoint(0, 500)});
        blocks += block(9, kinds(0), {QPoint(1000, 1000), QPoint(100, -1000), QPoint(-1000, 1000)});
        blocks += block(10, {30, 0, 0, 1, 50, 10, 100, -100, 0, 0, 0, 0}, {});
        blocks += block(11, kinds(2), QVector<QPoint>(4, QPoint(20, 0)));
        const QString dock = "9\n0\n0\n0\n127\n0\n0\n0\n127\n0\n0\n1\n1\n0\n0\n1\n2\n0\n"
                             "192\n168\n1\n88\n";
        QTemporaryDir dir;
        writeFile(dir.filePath("bad.ZQ30"), project("TRV_ZQ_30", blocks, dock).toLatin1());

        const Run r = check({dir.filePath("bad.ZQ30")});
        const QStringList want = {
            "file: sensor value 1 (control mode) is 9, outside 0..5; it reads as no selection",
            "area 5 Out 1: shape kind 3 outside 0..2; the area keeps its previous kind",
            "area 5 Out 2: shape kind 9 outside 0..5; the area keeps its previous kind",
            "area 1 Out 1: Arc with 3 points; it needs exactly 2",
            "area 2 Out 1: Arc points at different radii (1000 mm and 2000 mm); the sensor takes "
            "the first",
            "area 3 Out 1: Rectangle corners are not axis-parallel",
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
        };
        QCOMPARE(r.lines, want);
        QCOMPARE(r.exitCode, 1);
    }

    void damagedStructureIsReported()
    {
        QTemporaryDir dir;
        QString text = "TRV_ZQ_10\n" + block(0, kinds(0), {QPoint(1, 1)});
        writeFile(dir.filePath("a"), text.toLatin1());
        Run r = check({dir.filePath("a")});
        QCOMPARE(r.lines, (QStringList{"file: no SensorSetting section; all 22 sensor values read as 0",
                                       "file: sensor value 5 (RS485 address) is 0, outside 1..127; it reads as 1",
                                       "file: sensor value 9 (CAN address) is 0, outside 1..127; it reads as 1",
                                       "file: sensor value 19 (IP address octet 1) is 0, outside 192..223; it reads as 192",
                                       "file: sensor value 22 (IP address octet 4) is 0, outside 1..254; it reads as 1",
                                       "file: no CoordTableData section; no area is read"}));
        QCOMPARE(r.exitCode, 1);

        // An index of 64, a repeated area, and a point list cut short.
        QString blocks = block(2, kinds(0), {QPoint(5, 5)}) + block(2, kinds(0), {QPoint(6, 6)})
                         + block(64, kinds(0), {});
        writeFile(dir.filePath("b"), project("TRV_ZQ_30", blocks).toLatin1());
        r = check({dir.filePath("b")});
        QCOMPARE(r.lines, (QStringList{"file: area index \"64\" outside 0..63; reading stopped there",
                                       "file: area 2 occurs more than once; the last block counts"}));
        const QString cut = "TRV_ZQ_30\nSensorSetting\n0\n0\n0\n0\n127\n0\n0\n0\n127\n0\n0\n1\n1\n0\n0\n1\n2\n0\n192\n168\n1\n88\n"
                            "CoordTableData\n0\n0\n0\n0\n1\n0\n0\n0\n0\n0\n0\n0\n0\nOut1CoordStr\n1,1\n2,2\n";
        writeFile(dir.filePath("c"), cut.toLatin1());
        r = check({dir.filePath("c")});
        QCOMPARE(r.lines, (QStringList{"file: no CoordTableDataEnd line; the file may be cut short",
                                       "area 0 Out 1: point list without its end tag; the following lines were read as points"}));
    }

    void unreadableOrForeignFiles()
    {
        QTemporaryDir dir;
        Run r = check({dir.filePath("missing.ZQ30")});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("missing.ZQ30"));
        writeFile(dir.filePath("x"), QByteArray("hello\n"));
        r = check({dir.filePath("x")});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.err.trimmed(), QStringLiteral("FileError"));
        QCOMPARE(check({}).exitCode, 1);
        QCOMPARE(check({"--help"}).exitCode, 0);
    }
};

QTEST_APPLESS_MAIN(TestCheck)
#include "tst_check.moc"
