#include "core/zones/DeviceType.h"
#include "core/zones/ZoneStore.h"

#include <QtTest>

namespace {
AreaRecord sampleRecord()
{
    AreaRecord r;
    r.openDelay = 3;
    r.closeDelay = 25;
    r.hysteresis = 10;
    r.detectionSize = 9;
    r.steerMin = -180;
    r.steerMax = 45;
    r.speedMin = -300;
    r.speedMax = 120;
    r.operationMode = 5;
    r.shape[0] = ShapeArc;
    r.shape[1] = ShapeRatio;
    r.shape[2] = ShapeStraight;
    r.points[0] = {QPoint(1000, 0), QPoint(0, 1000)};
    r.points[1] = {QPoint(0, 500)};
    r.points[2] = {QPoint(0, -1)};
    return r;
}
} // namespace

class TestZoneStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void constructionState()
    {
        ZoneStore s;
        QVERIFY(!s.modified);
        QCOMPARE(s.areas.size(), 64);
        const AreaRecord empty;
        for (const AreaRecord &a : s.areas)
            QVERIFY(a == empty);
        QVERIFY(s.clipboard == empty);
        QVERIFY(s.emptyRecord == empty);
        QCOMPARE(s.undoHistory.size(), 64);
        for (int n = 0; n < 64; ++n) {
            QCOMPARE(s.undoPos[n], 0);
            QCOMPARE(s.undoHistory[n].size(), 1);
            QVERIFY(s.undoHistory[n].first() == empty);
        }
    }

    void detectionSizeAfterStartLeavesHistoriesAlone()
    {
        ZoneStore s;
        s.setAllDetectionSize(1);
        for (int n = 0; n < 64; ++n) {
            QCOMPARE(s.areas[n].detectionSize, 1);
            QCOMPARE(s.undoHistory[n].first().detectionSize, 0);
        }
    }

    void intFieldsFollowFileOrder()
    {
        const AreaRecord r = sampleRecord();
        const int expected[12] = {3, 25, 10, 9, -180, 45, -300, 120, 5, 1, 5, 3};
        for (int i = 0; i < 12; ++i)
            QCOMPARE(r.intField(i), expected[i]);
        AreaRecord w;
        for (int i = 0; i < 12; ++i)
            w.setIntField(i, expected[i]);
        w.points[0] = r.points[0];
        w.points[1] = r.points[1];
        w.points[2] = r.points[2];
        QVERIFY(w == r);
    }

    void copiesAreDeep()
    {
        ZoneStore s;
        s.areas[7] = sampleRecord();
        s.clipboard = s.areas[7];
        s.areas[7].points[0][0] = QPoint(-5, -5);
        s.areas[7].points[1].append(QPoint(9, 9));
        s.areas[7].steerMax = 1;
        QCOMPARE(s.clipboard.points[0][0], QPoint(1000, 0));
        QCOMPARE(s.clipboard.points[1].size(), 1);
        QCOMPARE(s.clipboard.steerMax, 45);

        ZoneStore::copyRecord(s.areas[8], s.clipboard);
        QVERIFY(s.areas[8] == s.clipboard);
        s.clipboard.points[2].clear();
        QCOMPARE(s.areas[8].points[2].size(), 1);
        ZoneStore::copyRecord(s.areas[8], s.areas[8]);
        QCOMPARE(s.areas[8].points[0].size(), 2);
    }

    void currentAreaIsClampedAndWrittenBack_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("expected");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("63") << 63 << 63;
        QTest::newRow("64") << 64 << 63;
        QTest::newRow("monitoring-report-100") << 100 << 63;
    }
    void currentAreaIsClampedAndWrittenBack()
    {
        QFETCH(int, index);
        QFETCH(int, expected);
        ZoneStore s;
        s.areas[63].steerMin = 17;
        s.currentArea = index;
        AreaRecord &r = s.currentRecord();
        QCOMPARE(s.currentArea, expected);
        QCOMPARE(&r, &s.areas[expected]);
    }

    void newProjectResetKeepsCaseChannelAndUndo()
    {
        ZoneStore s;
        s.setAllDetectionSize(1);
        for (int n = 0; n < 64; ++n)
            s.areas[n] = sampleRecord();
        s.clipboard = sampleRecord();
        s.saveUndo(4);
        s.currentArea = 12;
        s.currentChannel = 2;
        s.modified = true;

        s.resetForNewProject();

        QVERIFY(!s.modified);
        // Shapes, points and parameters cleared; the case channel kept.
        AreaRecord want;
        for (int f = 4; f < 9; ++f)
            want.setIntField(f, sampleRecord().intField(f));
        for (const AreaRecord &a : s.areas)
            QVERIFY(a == want);
        QVERIFY(s.clipboard == sampleRecord());
        QCOMPARE(s.undoHistory[4].size(), 2);
        QCOMPARE(s.undoPos[4], 1);
        QCOMPARE(s.currentArea, 12);
        QCOMPARE(s.currentChannel, 2);
    }

    void undoSnapshotsDiscardRedoBranchAndKeepHundred()
    {
        ZoneStore s;
        for (int i = 1; i <= 5; ++i) {
            s.areas[2].steerMin = i;
            s.saveUndo(2);
        }
        QVERIFY(s.modified);
        QCOMPARE(s.undoHistory[2].size(), 6);
        QCOMPARE(s.undoPos[2], 5);

        // Two steps back, then a new edit: the two newer entries are gone.
        s.undoPos[2] = 3;
        s.areas[2].steerMin = 99;
        s.saveUndo(2);
        QCOMPARE(s.undoHistory[2].size(), 5);
        QCOMPARE(s.undoHistory[2].last().steerMin, 99);
        QCOMPARE(s.undoHistory[2][3].steerMin, 3);
        QCOMPARE(s.undoPos[2], 4);

        for (int i = 0; i < 200; ++i) {
            s.areas[2].steerMax = i;
            s.saveUndo(2);
        }
        QCOMPARE(s.undoHistory[2].size(), 100);
        QCOMPARE(s.undoPos[2], 99);
        QCOMPARE(s.undoHistory[2].last().steerMax, 199);
        QCOMPARE(s.undoHistory[2].first().steerMax, 100);
        // Other areas keep their own single seed entry.
        QCOMPARE(s.undoHistory[3].size(), 1);
    }

    void saveAllUndoAppendsEveryArea()
    {
        ZoneStore s;
        s.areas[9].hysteresis = 4;
        s.saveAllUndo();
        QVERIFY(s.modified);
        for (int n = 0; n < 64; ++n) {
            QCOMPARE(s.undoHistory[n].size(), 2);
            QCOMPARE(s.undoPos[n], 1);
        }
        QCOMPARE(s.undoHistory[9][1].hysteresis, 4);
        QCOMPARE(s.undoHistory[9][0].hysteresis, 0);
    }

    void deviceTable()
    {
        QCOMPARE(deviceModelFromHeader(QStringLiteral("TRV_ZQ_05")), 0);
        QCOMPARE(deviceModelFromHeader(QStringLiteral("TRV_ZQ_50")), 4);
        QCOMPARE(deviceModelFromHeader(QStringLiteral("TRV_ZQ_50 ")), -1);
        QCOMPARE(deviceModelFromHeader(QStringLiteral("trv_zq_30")), -1);
        QCOMPARE(deviceModelFromName(QStringLiteral("Laser20")), 2);
        QCOMPARE(deviceModelFromName(QStringLiteral("Laser40")), -1);
        QCOMPARE(deviceModelFilter(3), QStringLiteral("(*.ZQ30)"));
        QVERIFY(deviceModelInfo(5) == nullptr);
        QVERIFY(deviceModelInfo(-1) == nullptr);
        QCOMPARE(deviceModelInfo(4)->sceneSpan, 120000.0);
    }

    void suffixRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("expected");
        QTest::newRow("kept") << "/tmp/a.ZQ30" << 3 << "/tmp/a.ZQ30";
        QTest::newRow("added") << "/tmp/a" << 3 << "/tmp/a.ZQ30";
        QTest::newRow("lower-case-gets-suffix") << "/tmp/a.zq30" << 3 << "/tmp/a.zq30.ZQ30";
        QTest::newRow("other-model") << "/tmp/a.ZQ30" << 1 << "/tmp/a.ZQ30.ZQ10";
        QTest::newRow("laser10-no-suffix") << "plant" << 1 << "plant.ZQ10";
    }
    void suffixRule()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        QFETCH(QString, expected);
        QCOMPARE(withDeviceSuffix(name, type), expected);
    }
};

QTEST_APPLESS_MAIN(TestZoneStore)
#include "tst_zonestore.moc"
