#include "core/link/AreaCodec.h"
#include "core/sensor/DesignCompare.h"

#include <QtTest>

using DesignCompare::Difference;
using DesignCompare::Kind;

namespace {

QVector<AreaRecord> emptyAreas()
{
    return QVector<AreaRecord>(kAreaCount);
}

QStringList lines(const QVector<Difference> &diffs)
{
    QStringList out;
    for (const Difference &d : diffs)
        out << d.toLine();
    return out;
}

} // namespace

class TestDesignCompare : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // One change on the design's side against an empty sensor, and the line
    // it gives; an empty expectation means the sensor would hold the same.
    void oneChange_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<QString>("line");
        QTest::newRow("polygon") << 0 << "area 3 Out1: design Polygon, 3 points (1000,0) (0,1000) "
                                         "(-1000,0); sensor empty";
        QTest::newRow("fan-parameter-only") << 1 << "area 3 Out2: design Fan, 1 point (20); sensor empty";
        QTest::newRow("long-list-cut") << 2 << "area 3 Out1: design Polygon, 8 points (1,0) (2,0) (3,0) "
                                               "(4,0) (5,0) (6,0) …; sensor empty";
        QTest::newRow("on-delay") << 3 << "area 3 On Delay: design 40ms; sensor 0ms";
        QTest::newRow("detection-size") << 4 << "area 3 Detection Size: design 1.0°; sensor 0.5°";
        QTest::newRow("hysteresis") << 5 << "area 3 Hysteresis: design 4%; sensor Close";
        QTest::newRow("steering") << 6 << "area 3 Steering Min: design -30; sensor 0";
        QTest::newRow("mode") << 7 << "area 3 Operation Mode: design 2; sensor 0";
        QTest::newRow("address") << 8 << "parameter SensorIPAddressHigh: design 10.0; sensor 192.168";
        QTest::newRow("control-mode") << 9 << "parameter ControlMode: design 1; sensor 0";
        // The sensor keeps a polygon by angle: another order is the same zone.
        QTest::newRow("vertex-order") << 10 << "";
        // A case value travels as a 16-bit word.
        QTest::newRow("case-word-wraps") << 11 << "";
        // The sensor holds exactly the Arc sent; read back, its points
        // encode to other whole degrees (-19.98 deg went as -19, comes back
        // as (755,-260) and would go as -18): no difference.
        QTest::newRow("arc-as-read-back") << 12 << "";
        // An Arc the sensor holds a degree further on is a difference.
        QTest::newRow("arc-a-degree-on") << 13
                                         << "area 3 Out1: design Arc, 2 points (751,-273) (-751,-273); "
                                            "sensor Arc, 2 points (760,-247) (-760,-247)";
    }
    void oneChange()
    {
        QFETCH(int, change);
        QFETCH(QString, line);
        QVector<AreaRecord> design = emptyAreas(), sensor = emptyAreas();
        SensorParameters dp, sp;
        AreaRecord &a = design[3];
        switch (change) {
        case 0: a.points[0] = {{1000, 0}, {0, 1000}, {-1000, 0}}; break;
        case 1: a.shape[1] = ShapeFan; a.points[1] = {{0, 20}}; break;
        case 2: for (int i = 1; i <= 8; ++i) a.points[0] << QPoint(i, 0); break;
        case 3: a.openDelay = 2; break;
        case 4: a.detectionSize = 1; break;
        case 5: a.hysteresis = 4; break;
        case 6: a.steerMin = -30; break;
        case 7: a.operationMode = 2; break;
        case 8: dp.SensorIPAddressHigh = 10 << 8; break;
        case 9: dp.ControlMode = 1; break;
        case 10:
            a.points[0] = {{-1000, 0}, {1000, 0}, {0, 1000}};
            sensor[3].points[0] = {{1000, 0}, {0, 1000}, {-1000, 0}};
            break;
        case 11: a.speedMin = -300; sensor[3].speedMin = 65536 - 300; break;
        case 12:
        case 13: {
            a.shape[0] = ShapeArc;
            a.points[0] = {{751, -273}, {-751, -273}};
            QByteArray sent = AreaCodec::encode("WArea", 3, a);
            if (change == 13) { // start and end one degree on (the low bytes: high byte first)
                sent[AreaCodec::kBlockOffset[0] + 5] = char(sent[AreaCodec::kBlockOffset[0] + 5] + 1);
                sent[AreaCodec::kBlockOffset[0] + 7] = char(sent[AreaCodec::kBlockOffset[0] + 7] - 1);
            }
            AreaCodec::decode(sent, sensor[3]);
            break;
        }
        }
        QCOMPARE(lines(DesignCompare::compare(design, dp, sensor, sp)).join('\n'), line);
    }

    void chineseTextsNameTheSameValues()
    {
        QVector<AreaRecord> design = emptyAreas(), sensor = emptyAreas();
        design[0].hysteresis = 0;
        sensor[0].hysteresis = 10;
        sensor[0].shape[2] = ShapeRatio;
        sensor[0].points[2] = {{0, 150}};
        const QVector<Difference> d = DesignCompare::compare(design, {}, sensor, {});
        QCOMPARE(d.size(), 2);
        QCOMPARE(d[0].itemName(true), QStringLiteral("Out3"));
        QCOMPARE(d[0].design[1], QStringLiteral("空"));
        QCOMPARE(d[0].sensor[1], QStringLiteral("比例，1 个点 (150)"));
        QCOMPARE(d[1].itemName(true), QStringLiteral("关闭滞后比例"));
        QCOMPARE(d[1].design[1], QStringLiteral("关闭"));
        QCOMPARE(d[1].sensor[1], QStringLiteral("10%"));
    }

    // Taking items one by one, in an order of its own, converges on the
    // sensor's design, and each take removes exactly the item taken.
    void takingEveryItemLeavesNoDifference()
    {
        QVector<AreaRecord> design = emptyAreas(), sensor = emptyAreas();
        SensorParameters dp, sp;
        for (int a = 0; a < kAreaCount; a += 7) {
            sensor[a].points[0] = {{500 + a, 0}, {0, 500}};
            sensor[a].shape[0] = ShapeArc;
            sensor[a].shape[1] = ShapeStraight;
            sensor[a].points[1] = {{0, 30}};
            sensor[a].closeDelay = a % 26;
            sensor[a].steerMax = a;
            design[a].points[2] = {{1, 1}, {2, 2}, {3, 1}};
        }
        sp.CANIDAddress = 5;
        sp.SensorIPAddressLow = (2 << 8) | 7;
        QVector<Difference> left = DesignCompare::compare(design, dp, sensor, sp);
        QVERIFY(left.size() > 30);
        while (!left.isEmpty()) {
            const Difference taken = left[left.size() / 2];
            DesignCompare::take(taken, design, dp, sensor, sp);
            const QVector<Difference> now = DesignCompare::compare(design, dp, sensor, sp);
            QCOMPARE(now.size(), left.size() - 1);
            for (const Difference &d : now)
                QVERIFY(!(d.kind == taken.kind && d.area == taken.area && d.item == taken.item));
            left = now;
        }
        QCOMPARE(design, sensor);
        QCOMPARE(dp, sp);
    }
};

QTEST_GUILESS_MAIN(TestDesignCompare)
#include "tst_designcompare.moc"
