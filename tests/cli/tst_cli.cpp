#include <QDir>
#include <QImage>
#include <QXmlStreamReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "core/project/ProjectFile.h"
#include "core/sensor/SensorDockValues.h"
#include "core/zones/ZoneStore.h"
#include "tests/support/TestFiles.h"

namespace {

// A project holding `perOutput` points in each output of every area.
QByteArray projectWithPoints(int perOutput)
{
    QByteArray file = freshLaser30();
    for (int area = 0; area < 64; ++area)
        for (int o = 1; o <= 3; ++o) {
            QByteArray points;
            for (int i = 0; i < perOutput; ++i)
                points += QByteArray::number(1000 + area * 10 + i) + "," + QByteArray::number(-500 - i) + "\n";
            file = withPoints(file, area, o, points);
        }
    return file;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // convert IN OUT: what it writes, or the error and what the message names
    // ("IN", "OUT", or the whole message).
    void convert_data()
    {
        QTest::addColumn<QByteArray>("in"); // empty: no such file
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("written"); // empty: no file
        QTest::addColumn<QString>("err");
        const QByteArray fresh = freshLaser30();
        const auto withHeader = [&fresh](const char *header) {
            return QByteArray(fresh).replace(0, 9, header);
        };
        // The 22 lines after the tag: out-of-list indexes and out-of-range
        // values come out as the widgets hold them.
        const QByteArray dock = "SensorSetting\n0\n0\n0\n0\n127\n0\n0\n0\n127\n0\n0\n1\n1\n0\n0\n1\n2\n0\n192\n168\n1\n88\n";
        const QByteArray odd = "SensorSetting\n6\n4\n3\n-2\n0\n5\n2\n2\n999\n4\n2\n2\n5\n4\n2\n2\n6\n2\n10\n300\nx\n255\n";
        const QByteArray held = "SensorSetting\n-1\n4\n-1\n-1\n1\n-1\n2\n2\n127\n-1\n-1\n-1\n-1\n-1\n-1\n-1\n-1\n-1\n192\n255\n0\n254\n";
        const QByteArray oddIn = withHeader("TRV_ZQ_05").replace(dock, odd);
        QTest::newRow("fresh-file-to-itself") << fresh << QStringList{} << "copy" << 0 << fresh << "";
        QTest::newRow("model-rewrites-only-the-header")
            << fresh << QStringList{"--model", "Laser50"} << "big.ZQ50" << 0 << withHeader("TRV_ZQ_50") << "";
        QTest::newRow("dock-values-through-the-widgets-limits")
            << oddIn << QStringList{} << "out.ZQ05" << 0 << QByteArray(oddIn).replace(odd, held) << "";
        QTest::newRow("unknown-header") << withHeader("TRV_ZQ_40") << QStringList{} << "out" << 2
                                        << QByteArray() << "FileError";
        QTest::newRow("missing-input") << QByteArray() << QStringList{} << "out" << 2 << QByteArray() << "IN";
        QTest::newRow("unwritable-output")
            << fresh << QStringList{} << "no/such/folder/out" << 2 << QByteArray() << "OUT";
    }
    void convert()
    {
        QFETCH(QByteArray, in);
        QFETCH(QStringList, options);
        QFETCH(QString, out);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, written);
        QFETCH(QString, err);
        QTemporaryDir dir;
        const QString src = dir.filePath("in"), dst = dir.filePath(out);
        if (!in.isEmpty())
            writeFile(src, in);
        const CliRun r = runCli(QStringList{"convert", src, dst} + options);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(readFile(dst), written);
        QVERIFY(!QFile::exists(dst + ".ZQ30")); // no suffix is added to the name given
        if (err == "IN")
            QVERIFY(r.err.contains(src) && r.err.count('\n') == 1);
        else if (err == "OUT")
            QVERIFY(r.err.contains(dst));
        else
            QCOMPARE(r.err.trimmed(), err);
    }

    // The target on a small file system of its own (a mount namespace of
    // the test's), in a folder the tool may write into, or in a folder it may
    // not (the file then is written in place): a full disk is reported with
    // the system's reason and the previous file keeps every byte; with room,
    // the file in place is exactly the new one, however much shorter.
    void fullDiskKeepsThePreviousFile_data()
    {
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<bool>("full");
        QTest::newRow("beside-full") << false << true;
        QTest::newRow("in-place-full") << true << true;
        QTest::newRow("in-place-with-room") << true << false;
    }
    void fullDiskKeepsThePreviousFile()
    {
        QFETCH(bool, inPlace);
        QFETCH(bool, full);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("mnt"));
        // A fresh design fills two pages of the disk, in part.
        const QByteArray previous = full ? freshLaser30() : projectWithPoints(20);
        const QByteArray next = full ? projectWithPoints(20) : freshLaser30();
        writeFile(dir.filePath("previous"), previous);
        writeFile(dir.filePath("next.ZQ30"), next);
        // Without CAP_DAC_OVERRIDE even root honours the folder's mode.
        const QString script = QStringLiteral(
            "set -e; m=$1; mount -t tmpfs -o size=64k tmpfs \"$m/mnt\"; mkdir \"$m/mnt/plant\";"
            "cp \"$m/previous\" \"$m/mnt/plant/design.ZQ30\";"
            "if [ $2 = 1 ]; then chmod 555 \"$m/mnt/plant\"; fi;"
            "if [ $3 = 1 ]; then dd if=/dev/zero of=\"$m/mnt/fill\" bs=4k 2>/dev/null || true; fi;"
            "set +e; setpriv --bounding-set -dac_override,-dac_read_search \"$4\" convert \"$m/next.ZQ30\" "
            "\"$m/mnt/plant/design.ZQ30\"; echo \"exit=$?\"; cp \"$m/mnt/plant/design.ZQ30\" \"$m/after\";"
            "ls \"$m/mnt/plant\" | wc -l");
        QProcess p;
        p.start("unshare", {"-rm", "sh", "-c", script, "sh", dir.path(), inPlace ? "1" : "0",
                            full ? "1" : "0", SECTOR_CLI_PATH});
        QVERIFY(p.waitForFinished(30000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        if (err.contains("mount:") || err.contains("unshare:"))
            QSKIP(qPrintable("no mount namespace here: " + err));
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(1), QStringLiteral("1")); // no scratch file left behind
        if (!full) {
            QCOMPARE(lines.value(0), QStringLiteral("exit=0"));
            QCOMPARE(readFile(dir.filePath("after")), next);
            return;
        }
        QCOMPARE(lines.value(0), QStringLiteral("exit=2"));
        QVERIFY2(err.contains("No space left on device"), qPrintable(err));
        QVERIFY2(err.contains("the previous file is unchanged"), qPrintable(err));
        QCOMPARE(readFile(dir.filePath("after")), previous);
    }

    // Three areas with zones: 0 and 2 hold steering -30..30 at speed
    // 0..100 in every mode (2 is shadowed everywhere by 0), 1 holds 0..60 at
    // 50..150 in mode 2 only. A chart has 361 x 601 = 216961 states per mode:
    // 61 x 101 = 6161 held by 0 and 2, in mode 2 another 6161 - 31 x 51 by 1.
    void coverage_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QString>("printed");
        const QString summary = QStringLiteral(
            "mode 0: gaps 210800 cells, overlaps 6161 cells\n"
            "mode 1: gaps 210800 cells, overlaps 6161 cells\n"
            "mode 2: gaps 206220 cells, overlaps 6161 cells\n"
            "mode 3: gaps 210800 cells, overlaps 6161 cells\n"
            "mode 4: gaps 210800 cells, overlaps 6161 cells\n"
            "mode 5: gaps 210800 cells, overlaps 6161 cells\n"
            "unreachable areas: 2\n");
        QTest::newRow("summary") << QStringList() << summary;
        QTest::newRow("held-by-three") << QStringList{"--at", "10", "60", "2"}
                                       << "applies: 0; holds: 0 1 2\n";
        QTest::newRow("bounds-included") << QStringList{"--at", "60", "150", "2"}
                                         << "applies: 1; holds: 1\n";
        QTest::newRow("other-mode") << QStringList{"--at", "40", "120", "1"} << "applies: none\n";
        QTest::newRow("negative-values") << QStringList{"--at", "-30", "0", "4"}
                                         << "applies: 0; holds: 0 2\n";
        // The untouched areas hold the standing vehicle too.
        QTest::newRow("standing") << QStringList{"--at", "0", "0", "3"}
                                  << "applies: 0; holds: 0 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 "
                                     "17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 32 33 34 35 36 "
                                     "37 38 39 40 41 42 43 44 45 46 47 48 49 50 51 52 53 54 55 56 "
                                     "57 58 59 60 61 62 63\n";
    }
    void coverage()
    {
        QFETCH(QStringList, extra);
        QFETCH(QString, printed);
        QTemporaryDir dir;
        ZoneStore store;
        for (int a : {0, 1, 2}) {
            AreaRecord &r = store.areas[a];
            r.points[0] = {QPoint(-500, 1000), QPoint(500, 1000)};
            r.steerMin = a == 1 ? 0 : -30;
            r.steerMax = a == 1 ? 60 : 30;
            r.speedMin = a == 1 ? 50 : 0;
            r.speedMax = a == 1 ? 150 : 100;
            r.operationMode = a == 1 ? 2 : 0;
        }
        const QString file = dir.filePath("cases.ZQ30");
        QCOMPARE(ProjectFile::saveProject(file, 3, SensorDockValues::defaults(), store),
                 ProjectFile::SaveResult::Saved);
        const CliRun r = runCli(QStringList{"coverage", file} + extra);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, printed);
        // A state whose last value is missing, or a mode no channel can
        // name, is a usage error.
        QCOMPARE(runCli({"coverage", file, "--at", "1", "2"}).exitCode, 1);
        QCOMPARE(runCli({"coverage", file, "--at", "0", "0", "6"}).exitCode, 1);
    }

    // coverage -o: the six-mode map as PNG (of the size asked) or SVG (an
    // XML document whose root is svg), written whole; anything else is
    // refused in one line before a byte is written.
    void coverageMap_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QSize>("pngSize");
        QTest::newRow("png") << QStringList{"-o", "map.png"} << 0 << QSize(1500, 1000);
        QTest::newRow("png-sized-chinese")
            << QStringList{"-o", "map.PNG", "--size", "900x600", "--chinese"} << 0 << QSize(900, 600);
        QTest::newRow("svg") << QStringList{"-o", "map.svg"} << 0 << QSize();
        QTest::newRow("svg-chinese") << QStringList{"--chinese", "-o", "map.svg"} << 0 << QSize();
        QTest::newRow("unknown-suffix") << QStringList{"-o", "map.jpg"} << 1 << QSize();
        QTest::newRow("no-name") << QStringList{"-o"} << 1 << QSize();
        QTest::newRow("tiny-size") << QStringList{"-o", "map.png", "--size", "20x20"} << 1 << QSize();
        QTest::newRow("with-at") << QStringList{"-o", "map.png", "--at", "0", "0", "0"} << 1 << QSize();
        QTest::newRow("unwritable") << QStringList{"-o", "missing/map.png"} << 2 << QSize();
    }
    void coverageMap()
    {
        QFETCH(QStringList, extra);
        QFETCH(int, exitCode);
        QFETCH(QSize, pngSize);
        QTemporaryDir dir;
        ZoneStore store;
        store.areas[0].steerMin = -30;
        store.areas[0].steerMax = 30;
        store.areas[0].speedMax = 100;
        const QString file = dir.filePath("cases.ZQ30");
        QCOMPARE(ProjectFile::saveProject(file, 3, SensorDockValues::defaults(), store),
                 ProjectFile::SaveResult::Saved);
        for (QString &a : extra)
            if (a.startsWith("map") || a.startsWith("missing"))
                a = dir.filePath(a);
        const CliRun r = runCli(QStringList{"coverage", file} + extra);
        QCOMPARE(r.exitCode, exitCode);
        const QString map = extra.value(extra.indexOf("-o") + 1);
        if (exitCode != 0) {
            // One line of ours (Qt may add its own about the environment).
            QCOMPARE(r.err.count("sector-cli coverage: "), 1);
            QVERIFY(r.err.endsWith('\n'));
            QVERIFY(!QFile::exists(map) || map.isEmpty());
            return;
        }
        QVERIFY(r.out.isEmpty());
        if (pngSize.isValid()) {
            const QImage image(map);
            QCOMPARE(image.size(), pngSize);
            return;
        }
        QFile svg(map);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&svg);
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name().toString(), QString("svg"));
        int elements = 0;
        while (!xml.atEnd())
            elements += xml.readNext() == QXmlStreamReader::StartElement ? 1 : 0;
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(elements > 50);
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("no-command") << QStringList{} << 1;
        QTest::newRow("unknown-command") << QStringList{"frobnicate"} << 1;
        QTest::newRow("convert-one-arg") << QStringList{"convert", "a"} << 1;
        QTest::newRow("unknown-model") << QStringList{"convert", "a", "b", "--model", "Laser40"} << 1;
        QTest::newRow("model-without-name") << QStringList{"convert", "a", "b", "--model"} << 1;
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("convert-help") << QStringList{"convert", "--help"} << 0;
    }
    void usage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        const CliRun r = runCli(args);
        QCOMPARE(r.exitCode, exitCode);
        if (exitCode == 0)
            QVERIFY(r.out.contains("convert IN OUT"));
        else
            QVERIFY(!r.err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
