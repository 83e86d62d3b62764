#include "core/link/AreaCodec.h"
#include "core/link/LinkProtocol.h"
#include "core/link/Payloads.h"
#include "core/link/ReceivePath.h"
#include "core/link/ScanRecord.h"
#include "core/zones/ZoneStore.h"

#include <QtTest>

#include "tests/support/Frames.h"

using namespace LinkProtocol;

namespace {
QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}
} // namespace

class TestFrames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void crc()
    {
        QCOMPARE(crc16(QByteArray("123456789")), std::uint16_t(0x4B37));
        QVERIFY(CheckFrameCrc(hex("313233343536373839374b"), 9));
        QVERIFY(!CheckFrameCrc(hex("313233343536373839374c"), 9));
        // Nothing covered: the CRC of nothing is FFFF.
        QVERIFY(CheckFrameCrc(hex("ffff"), 0));
        QVERIFY(!CheckFrameCrc(hex("ff"), 0));
    }

    void requestFrames_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("want");
        // CRCs worked out separately from this code.
        QTest::newRow("RBoot") << request(RBoot) << hex("52426f6f74947e");
        QTest::newRow("RPrda") << request(RPrda) << hex("5250726461c7ff");
        QTest::newRow("RPara") << request(RPara) << hex("5250617261385a");
        QTest::newRow("RCase") << request(RCase) << hex("52436173653c8d");
        QTest::newRow("RScan") << request(RScan) << hex("525363616ed4ea");
        QTest::newRow("RStre") << request(RStre) << hex("52537472652819");
        QTest::newRow("RArea-5") << Payloads::encodeRArea(5) << hex("524172656105181397");
        QTest::newRow("RAuto-1") << Payloads::encodeRAuto(true) << hex("524175746f018780");
        QTest::newRow("RAuto-0") << Payloads::encodeRAuto(false) << hex("524175746f004640");
        QTest::newRow("SCtrl")
            << Payloads::encodeSCtrl({1, 1, 2, 3, 1}) << hex("534374726c0100010203d6a7");
        SimulationRequest s;
        s.inputOn = 1;
        s.caseOn = 1; // input simulation wins: mode 1
        s.inputWord = 0x12A;
        s.steeringAngle = -30;
        s.vehicleSpeed = 100;
        s.operationMode = 3;
        s.outputOn = 1;
        s.outputWord = 5;
        s.faultState = 1;
        QTest::newRow("WSimu") << Payloads::encodeWSimu(s)
                               << hex("5753696d75012affe20064000301050111d7");
    }
    void requestFrames()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, want);
        QCOMPARE(frame.toHex(), want.toHex());
    }

    void simulationModes()
    {
        SimulationRequest s;
        QCOMPARE(int(Payloads::encodeWSimu(s)[5]), 0);
        s.caseOn = 1; // with the input simulation too: the WSimu row of requestFrames
        QCOMPARE(int(Payloads::encodeWSimu(s)[5]), 2);
    }

    void arcTravelsAsWholeDegrees()
    {
        AreaRecord a;
        a.shape[0] = ShapeArc;
        a.points[0] = {QPoint(1000, 0), QPoint(0, 1000)};
        const QByteArray f = AreaCodec::encode("WArea", 3, a);
        QCOMPARE(f.size(), 1264);
        QCOMPARE(f.left(6), QByteArray("WArea\x03", 6));
        QCOMPARE(getU16(f, 14), 1);     // kind
        QCOMPARE(getU16(f, 16), 2);     // count
        QCOMPARE(getS16(f, 18), 0);     // start
        QCOMPARE(getS16(f, 20), 89);    // end: just below 90 degrees
        QCOMPARE(getU16(f, 22), 1000);  // radius
        QVERIFY(CheckFrameCrc(f, 1262));
        // Read back from the same bytes.
        QByteArray back = f;
        back.replace(0, 5, "RArea");
        AreaRecord r;
        AreaCodec::decode(back, r);
        // The second point keeps the first one's radius: (17,999) would lie
        // 999 mm out.
        QCOMPARE(r.points[0], (QVector<QPoint>{QPoint(1000, 0), QPoint(17, 1000)}));
        // Three points: angles and radius stay 0.
        a.points[0].append(QPoint(5, 5));
        const QByteArray three = AreaCodec::encode("WArea", 3, a);
        QCOMPARE(three.mid(18, 6), QByteArray(6, '\0'));
        QCOMPARE(getU16(three, 16), 3);
    }

    void polygonTravelsByAngle()
    {
        AreaRecord a;
        a.openDelay = 25;
        a.detectionSize = 9;
        a.points[1] = {QPoint(100, 0), QPoint(0, 100), QPoint(-100, 0), QPoint(0, -100)};
        a.points[2] = {QPoint(100, 100), QPoint(200, 200)};
        const QByteArray f = AreaCodec::encode("WArea", 63, a);
        QCOMPARE(getU16(f, 6), 25);
        QCOMPARE(getU16(f, 12), 9);
        // Out2 slots from 462: (0,-100), (100,0), (0,100), (-100,0).
        QCOMPARE(f.mid(462, 16).toHex(), QByteArray("0000ff9c0064000000000064ff9c0000"));
        QCOMPARE(getU16(f, 32), 4);
        // Equal angles: only (200, 200) in the slot, yet a count of 2.
        QCOMPARE(getU16(f, 48), 2);
        QCOMPARE(f.mid(862, 8).toHex(), QByteArray("00c800c800000000"));
    }

    void rectangleComesBackInEditingOrder_data()
    {
        QTest::addColumn<QVector<QPoint>>("corners");
        QTest::addColumn<QVector<QPoint>>("back");
        // Beside the sensor the angle order is not the order round the
        // rectangle: (3000,100) 1.9, (1000,100) 5.7, (3000,1000) 18.4,
        // (1000,1000) 45 degrees.
        QTest::newRow("beside-the-sensor")
            << QVector<QPoint>{QPoint(1000, 100), QPoint(1000, 1000), QPoint(3000, 1000),
                               QPoint(3000, 100)}
            << QVector<QPoint>{QPoint(3000, 100), QPoint(3000, 1000), QPoint(1000, 1000),
                               QPoint(1000, 100)};
        // Round the sensor: -45 (p3), 45 (p2), 135 (p1), 225 (p0) degrees.
        QTest::newRow("round-the-sensor")
            << QVector<QPoint>{QPoint(-500, -500), QPoint(-500, 500), QPoint(500, 500),
                               QPoint(500, -500)}
            << QVector<QPoint>{QPoint(500, -500), QPoint(500, 500), QPoint(-500, 500),
                               QPoint(-500, -500)};
        // Not a rectangle: left in the sensor's order.
        QTest::newRow("not-axis-parallel")
            << QVector<QPoint>{QPoint(1000, 0), QPoint(0, 1000), QPoint(-1000, 0), QPoint(0, -1000)}
            << QVector<QPoint>{QPoint(0, -1000), QPoint(1000, 0), QPoint(0, 1000), QPoint(-1000, 0)};
    }
    void rectangleComesBackInEditingOrder()
    {
        QFETCH(QVector<QPoint>, corners);
        QFETCH(QVector<QPoint>, back);
        AreaRecord a;
        a.shape[0] = ShapeRectangle;
        a.points[0] = corners;
        QByteArray f = AreaCodec::encode("WArea", 0, a);
        f.replace(0, 5, "RArea");
        AreaRecord read;
        AreaCodec::decode(f, read);
        QCOMPARE(read.shape[0], int(ShapeRectangle));
        QCOMPARE(read.points[0], back);
    }

    void dependentParameterInThreeFields()
    {
        AreaRecord a;
        a.shape[1] = ShapeStraight;
        a.points[1] = {QPoint(0, 1500)};
        const QByteArray f = AreaCodec::encode("WArea", 0, a);
        QCOMPARE(f.mid(30, 16).toHex(), QByteArray("00030001000000000000" "05dc05dc05dc"));
        QByteArray back = f;
        AreaRecord r;
        AreaCodec::decode(back, r);
        QCOMPARE(r.shape[1], int(ShapeStraight));
        QCOMPARE(r.points[1], QVector<QPoint>{QPoint(0, 1500)});
        // Fan and Ratio take their own field.
        back[31] = char(ShapeRatio);
        put16(back, 44, 700);
        AreaCodec::decode(back, r);
        QCOMPARE(r.points[1], QVector<QPoint>{QPoint(0, 700)});
    }

    void readingRules()
    {
        AreaRecord r;
        r.shape[1] = ShapeFan;
        r.points[1] = {QPoint(3, 3)};
        r.steerMin = -45;
        QByteArray f = AreaCodec::encode("RArea", 1, AreaRecord());
        f[31] = 9; // Out2 kind 9: the kind stays Fan, the list follows Fan
        put16(f, 42, 250);
        put16(f, 16, 101); // Out1 polygon count above 100: empty list
        AreaCodec::decode(f, r);
        QCOMPARE(r.shape[1], int(ShapeFan));
        QCOMPARE(r.points[1], QVector<QPoint>{QPoint(0, 250)});
        QVERIFY(r.points[0].isEmpty());
        QCOMPARE(r.steerMin, -45); // the case channel travels elsewhere
        put16(f, 16, 2);
        put16(f, 62, -5);
        put16(f, 64, 7);
        AreaCodec::decode(f, r);
        QCOMPARE(r.points[0], (QVector<QPoint>{QPoint(-5, 7), QPoint(0, 0)}));
    }

    void overfullOutputNeverWritesPastItsRegion()
    {
        AreaRecord a;
        for (int i = 0; i < 150; ++i)
            a.points[2] << QPoint(1000, i * 10); // 150 distinct angles
        QCOMPARE(AreaCodec::slotCount(a, 2), 150);
        QCOMPARE(AreaCodec::overfullOutput(a), 2);
        const QByteArray f = AreaCodec::encode("WArea", 0, a);
        QCOMPARE(f.size(), 1264);
        QVERIFY(CheckFrameCrc(f, 1262));
        // The hundredth slot holds the 100th smallest angle.
        QCOMPARE(getS16(f, 862 + 4 * 99 + 2), 990);
        a.points[2].resize(100);
        QCOMPARE(AreaCodec::overfullOutput(a), -1);
    }

    void caseValues()
    {
        ZoneStore s;
        s.areas[0].steerMin = -30;
        s.areas[63].operationMode = 5;
        s.areas[7].speedMax = -300;
        const QByteArray f = Payloads::encodeWCase(s);
        QCOMPARE(f.size(), 647);
        QCOMPARE(f.mid(5, 2).toHex(), QByteArray("ffe2"));
        QCOMPARE(getS16(f, 5 + 630 + 8), 5);
        QByteArray back = f;
        back.replace(0, 5, "RCase");
        ZoneStore t;
        Payloads::decodeRCase(back, t.areas);
        QCOMPARE(t.areas[0].steerMin, -30);
        QCOMPARE(t.areas[7].speedMax, -300);
        QCOMPARE(t.areas[63].operationMode, 5);
    }

    void parameters()
    {
        // Offset 41 of the frame: fields 18 and 19.
        const QByteArray payload = QByteArray(36, '\0') + hex("c0a80158");
        const SensorParameters p = Payloads::decodeRPara(replyFrame(RPara, payload));
        QCOMPARE(p.SensorIPAddressHigh, 49320);
        QCOMPARE(p.SensorIPAddressLow, 344);
        QCOMPARE(p.ControlMode, 0);
        SensorParameters q;
        q.ControlMode = 0x10005; // only the low 16 bits travel
        const QByteArray w = Payloads::encodeWPara(q);
        QCOMPARE(w.size(), 67);
        QCOMPARE(w.mid(5, 2).toHex(), QByteArray("0005"));
        QCOMPARE(w.mid(41, 4).toHex(), QByteArray("c0a80158"));
        QCOMPARE(w.mid(45, 20), QByteArray(20, '\0'));
    }

    void simulationReply()
    {
        // Inputs 41, outputs 5, -2.5 degrees, 1200 r/min.
        QByteArray payload = hex("290005000000ff0604b0").leftJustified(16, '\0');
        const Payloads::SimuReply r = Payloads::decodeWSimuReply(replyFrame(WSimu, payload));
        QCOMPARE((QList<int>{int(r.inputs), int(r.outputs), r.temperature, r.rotateSpeed}),
                 (QList<int>{41, 5, -250, 1200}));
        payload[0] = char(0x80);
        QCOMPARE(Payloads::decodeWSimuReply(replyFrame(WSimu, payload)).inputs, 4294967168u);
    }

    void productInformation()
    {
        // Type 9, firmware 250, serial 1234, made 2019-6-3.
        const QByteArray payload = hex("000900fa04d207e300060003");
        const Payloads::ProductInfo i = Payloads::decodeRPrda(replyFrame(RPrda, payload));
        QCOMPARE(Payloads::productText(i, 0),
                 QStringLiteral("Product Name:  ZQxxxx-ETH\nFirmware:  2.50\nSerialNumber:  "
                                "1234.000000\nProduction:  2019 - 6 - 3"));
        QCOMPARE(Payloads::productText(i, 1),
                 QStringLiteral("产品型号:  ZQxxxx-ETH\n固件版本:  2.50\n串行编号:  1234.000000\n"
                                "生产日期:  2019年6月3日"));
        Payloads::ProductInfo unknown = i;
        unknown.type = 7;
        QVERIFY(Payloads::productText(unknown, 0).startsWith("Product Name:  \n"));
    }

    // ---------------------------------------------------------------- receive path

    void replyWaitsForItsLastByte()
    {
        const QByteArray f = replyFrame(WSimu);
        QByteArray buf = "xx" + f.left(10);
        QByteArray got;
        QCOMPARE(ReceivePath::takeReply(buf, WSimu, &got), ReceivePath::Take::Incomplete);
        QCOMPARE(buf.size(), 12);
        buf += f.mid(10) + "yy";
        QCOMPARE(ReceivePath::takeReply(buf, WSimu, &got), ReceivePath::Take::Frame);
        QCOMPARE(got, f);
        QCOMPARE(buf, QByteArray("xxyy")); // only the frame is removed
        // Of two copies, the second waits for the next call.
        buf = f + f;
        QCOMPARE(ReceivePath::takeReply(buf, WSimu, nullptr), ReceivePath::Take::Frame);
        QCOMPARE(buf, f);
        // A bad CRC: the frame is removed and nothing handed over.
        QByteArray bad = replyFrame(RPara);
        bad[20] = char(bad[20] ^ 1);
        got.clear();
        QCOMPARE(ReceivePath::takeReply(bad, RPara, &got), ReceivePath::Take::BadCrc);
        QVERIFY(bad.isEmpty() && got.isEmpty());
    }

    void ceilingRule()
    {
        QByteArray buf(50000, 'x');
        buf.replace(100, 4, "CRVN");
        buf.replace(40000, 4, "CRVN");
        ReceivePath::trimOverfull(buf);
        QCOMPARE(buf.size(), 10000);
        QVERIFY(buf.startsWith("CRVN"));
        QByteArray none(50000, 'x');
        ReceivePath::trimOverfull(none);
        QVERIFY(none.isEmpty());
    }

    void serialScanIsReversedAndClamped()
    {
        // 4660, 12001, zeros, 7.
        const QByteArray payload = hex("12342ee1") + QByteArray(1274, '\0') + hex("0007");
        QByteArray buf = "RScan" + payload;
        std::array<std::uint16_t, 640> values{};
        QVERIFY(!ReceivePath::takeSerialScan(buf = buf.left(1000), RScan, values, 12000));
        buf = "zz" + QByteArray("RScan") + payload;
        QVERIFY(ReceivePath::takeSerialScan(buf, RScan, values, 12000));
        QCOMPARE(int(values[639]), 4660);
        QCOMPARE(int(values[638]), 12000);
        QCOMPARE(int(values[0]), 7);
        QCOMPARE(buf, QByteArray("zz"));
    }

    void streamClosesSweeps()
    {
        ScanRecord scan;
        // One point per degree, a sweep in two sectors of 160 degrees.
        auto sweep = [](int d1, int d2) {
            return streamPacket(20, 180, 160, 0, 160, 160, d1, 40)
                   + streamPacket(180, 340, 160, 160, 160, 160, d2, 41);
        };
        // The first sweep's resolution is new: it restarts, nothing closes.
        QByteArray buf = sweep(800, 900);
        int seen = 0;
        QCOMPARE(ReceivePath::takeStream(buf, scan, 36000, [&] { ++seen; }), 0);
        QVERIFY(buf.isEmpty());
        QCOMPARE(scan.sweepLength, 0);
        QCOMPARE(scan.resolutionChanged, 0);
        QCOMPARE(scan.pointsPerDegree, 1);
        // The next one closes: 320 entries, distances clamped to the range.
        buf = sweep(40000, 900);
        QCOMPARE(ReceivePath::takeStream(buf, scan, 36000, [&] { ++seen; }), 1);
        QCOMPARE(seen, 1);
        QCOMPARE(scan.sweepLength, 320);
        QCOMPARE(scan.ringIndex, 0);
        QCOMPARE(int(scan.distanceRing[0]), 36000);
        QCOMPARE(int(scan.distanceRing[319]), 900);
        QCOMPARE(int(scan.intensityRing[319]), 41);
        // Two sweeps in one chunk: each announced while the rings hold it.
        buf = sweep(1, 2) + sweep(3, 4);
        QList<int> firstDistances;
        ReceivePath::takeStream(buf, scan, 36000,
                                [&] { firstDistances << scan.distanceRing[0]; });
        QCOMPARE(firstDistances, (QList<int>{1, 3}));
        // The single-packet sweep of the edge case: 20..340, 320 points.
        ScanRecord one;
        one.pointsPerDegree = 1;
        one.ringIndex = 0;
        buf = streamPacket(20, 340, 320, 320, 320, 320);
        QCOMPARE(ReceivePath::takeStream(buf, one, 36000), 1);
        QCOMPARE(one.sweepLength, 320);
    }

    void resolutionChangeRestartsTheSweep()
    {
        ScanRecord scan;
        scan.pointsPerDegree = 1;
        scan.ringIndex = 100;
        QByteArray buf = streamPacket(20, 340, 640, 640, 640, 640);
        QCOMPARE(ReceivePath::takeStream(buf, scan, 36000), 0); // r = 2: flag raised, then lowered
        QCOMPARE(scan.pointsPerDegree, 2);
        QCOMPARE(scan.resolutionChanged, 0);
        QCOMPARE(scan.sweepLength, 0);
        buf = streamPacket(20, 340, 640, 640, 640, 640);
        QCOMPARE(ReceivePath::takeStream(buf, scan, 36000), 1);
        QCOMPARE(scan.sweepLength, 640);
    }

    // Stream packets among other bytes: what is left in the buffer and
    // where the ring stands after them.
    void streamPackets_data()
    {
        QTest::addColumn<int>("pointsPerDegree");
        QTest::addColumn<int>("ringIndex");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("left");
        QTest::addColumn<int>("ringAfter");
        const QByteArray p = streamPacket(20, 100, 80, 0, 80, 80),
                         four = streamPacket(20, 24, 4, 0, 4, 4);
        // The resolution changes from 0 to 1 after the points: they restart.
        QTest::newRow("garbage-kept-whole-packets-taken")
            << 0 << 0 << "ab" + p + "cd" + p.left(30) << "abcd" + p.left(30) << 0;
        QTest::newRow("packet-carrying-fewer-points-than-its-sector")
            << 1 << 0 << streamPacket(100, 180, 10, 0, 80, 10) << QByteArray() << 10;
        // "CR" + packet + "VN...": removing the packet spells a new magic.
        QTest::newRow("magic-joined-at-a-seam")
            << 1 << 0 << "CR" + four + four.mid(2) << QByteArray() << 8;
        QTest::newRow("zero-width-sector-dropped")
            << 1 << 7 << streamPacket(50, 50, 4, 0, 4, 4) + four << QByteArray() << 11;
    }
    void streamPackets()
    {
        QFETCH(int, pointsPerDegree);
        QFETCH(int, ringIndex);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, left);
        QFETCH(int, ringAfter);
        ScanRecord scan;
        scan.pointsPerDegree = pointsPerDegree;
        scan.ringIndex = ringIndex;
        ReceivePath::takeStream(bytes, scan, 36000);
        QCOMPARE(bytes, left);
        QCOMPARE(scan.ringIndex, ringAfter);
    }

    void tokenPresenceMatchesASearchForEachToken()
    {
        QRandomGenerator rng(3);
        for (int round = 0; round < 300; ++round) {
            QByteArray buf;
            for (int i = rng.bounded(1, 40); i > 0; --i) {
                if (rng.bounded(4) == 0)
                    buf += ReceivePath::kReplyTokens[rng.bounded(12)]->token;
                else
                    buf += char("RWSxa\0"[rng.bounded(6)]);
            }
            const std::uint32_t present = ReceivePath::presentTokens(buf.constData(), buf.size());
            for (int t = 0; t < 12; ++t)
                QCOMPARE(bool(present & (1u << t)),
                         buf.contains(QByteArray(ReceivePath::kReplyTokens[t]->token, 5)));
        }
    }
};

QTEST_APPLESS_MAIN(TestFrames)
#include "tst_frames.moc"
