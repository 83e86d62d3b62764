#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "TestFiles.h"

namespace {
} // namespace

class TestCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void freshFileConvertsToItself()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("copy");
        const CliRun r = runCli({"convert", TEST_DATA_DIR "/fresh_laser30.ZQ30", out});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(readFile(out), freshLaser30());
        // No suffix is added to the name given.
        QVERIFY(!QFile::exists(out + ".ZQ30"));
    }

    void modelOptionRewritesOnlyTheHeader()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("big.ZQ50");
        const CliRun r = runCli({"convert", TEST_DATA_DIR "/fresh_laser30.ZQ30", out, "--model", "Laser50"});
        QCOMPARE(r.exitCode, 0);
        QByteArray want = freshLaser30();
        want.replace(0, 9, "TRV_ZQ_50");
        QCOMPARE(readFile(out), want);
    }

    void dockValuesPassThroughTheWidgetsLimits()
    {
        QTemporaryDir dir;
        QByteArray in = freshLaser30();
        in.replace(0, 9, "TRV_ZQ_05");
        // The 22 lines after the tag: out-of-list indexes and out-of-range values.
        in.replace("SensorSetting\n0\n0\n0\n0\n127\n0\n0\n0\n127\n0\n0\n1\n1\n0\n0\n1\n2\n0\n192\n168\n1\n88\n",
                   "SensorSetting\n6\n4\n3\n-2\n0\n5\n2\n2\n999\n4\n2\n2\n5\n4\n2\n2\n6\n2\n10\n300\nx\n255\n");
        const QString src = dir.filePath("in.ZQ05");
        writeFile(src, in);
        const QString out = dir.filePath("out.ZQ05");
        QCOMPARE(runCli({"convert", src, out}).exitCode, 0);
        QByteArray want = in;
        want.replace("SensorSetting\n6\n4\n3\n-2\n0\n5\n2\n2\n999\n4\n2\n2\n5\n4\n2\n2\n6\n2\n10\n300\nx\n255\n",
                     "SensorSetting\n-1\n4\n-1\n-1\n1\n-1\n2\n2\n127\n-1\n-1\n-1\n-1\n-1\n-1\n-1\n-1\n-1\n192\n255\n0\n254\n");
        QCOMPARE(readFile(out), want);
    }

    void unknownHeaderIsFileError()
    {
        QTemporaryDir dir;
        QByteArray in = freshLaser30();
        in.replace(0, 9, "TRV_ZQ_40");
        const QString src = dir.filePath("in.ZQ40");
        writeFile(src, in);
        const QString out = dir.filePath("out");
        const CliRun r = runCli({"convert", src, out});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.err.trimmed(), QStringLiteral("FileError"));
        QVERIFY(!QFile::exists(out));
    }

    void unreadableInputNamesIt()
    {
        QTemporaryDir dir;
        const QString src = dir.filePath("missing.ZQ30");
        const QString out = dir.filePath("out");
        const CliRun r = runCli({"convert", src, out});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains(src));
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(!QFile::exists(out));
    }

    void unwritableOutputIsReported()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("no/such/folder/out");
        const CliRun r = runCli({"convert", TEST_DATA_DIR "/fresh_laser30.ZQ30", out});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains(out));
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
