#include "core/link/AreaCodec.h"
#include "core/link/LinkProtocol.h"
#include "core/link/Payloads.h"
#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/zones/DeviceType.h"
#include "core/zones/ZoneStore.h"
#include "sim/SensorModel.h"

#include "tests/support/FakeTransport.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

struct Message {
    int icon;
    QString title;
    QString text;
    int busyWhileOpen;
};

// The link over a fake serial port, answered by the emulated sensor.
struct Rig {
    ZoneStore store;
    ScanRecord scan;
    SensorParameters parameters;
    std::array<int, 5> control{{0, 1, 1, 0, 0}};
    FakeTransport serial;
    FakeTransport tcp;
    FakeTransport udp;
    SensorModel sensor;
    SERIAL_COMM link{&serial, &scan, &store, &parameters, &control, &tcp, &udp};
    QList<Message> messages;
    QList<int> progress;
    bool silent = false;

    Rig()
    {
        link.SetLanguage(0);
        serial.responder = [this](const QByteArray &f) {
            if (silent)
                return QByteArray();
            const QList<QByteArray> replies = sensor.feed(f);
            return replies.isEmpty() ? QByteArray() : replies.join();
        };
        QObject::connect(&link, &SERIAL_COMM::MessageSignal,
                         [this](int icon, const QString &t, const QString &x) {
                             messages << Message{icon, t, x, link.busyCode()};
                         });
        QObject::connect(&link, &SERIAL_COMM::ProgressValue, [this](int v) { progress << v; });
    }

    QStringList tokens() const
    {
        QStringList out;
        for (const QByteArray &f : serial.written)
            out << QString::fromLatin1(f.left(5));
        return out;
    }
};

} // namespace

class TestLink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readAllRunsAreasCasesParameters()
    {
        Rig r;
        // What the sensor holds: area 9 with an arc, cases, parameters.
        AreaRecord a;
        a.shape[0] = ShapeArc;
        a.points[0] = {QPoint(1000, 0), QPoint(0, 1000)};
        a.openDelay = 4;
        r.sensor.feed(AreaCodec::encode("WArea", 9, a));
        ZoneStore cases;
        cases.areas[9].steerMin = -30;
        r.sensor.feed(Payloads::encodeWCase(cases));
        SensorParameters p;
        p.ControlMode = 3;
        r.sensor.feed(Payloads::encodeWPara(p));

        QSignalSpy params(&r.link, &SERIAL_COMM::ReceiveParameters);
        QSignalSpy closed(&r.link, &SERIAL_COMM::ProgressClose);
        r.link.ReadSensorAllDataSlots();
        QVERIFY(QTest::qWaitFor([&] { return params.count() == 1; }, 10000));

        QStringList want;
        for (int i = 0; i < 64; ++i)
            want << "RArea";
        want << "RCase" << "RPara";
        QCOMPARE(r.tokens(), want);
        QCOMPARE(r.progress.size(), 64);
        QCOMPARE(r.progress.last(), 64);
        QCOMPARE(r.store.areas[9].openDelay, 4);
        QCOMPARE(r.store.areas[9].points[0], (QVector<QPoint>{QPoint(1000, 0), QPoint(17, 1000)}));
        QCOMPARE(r.store.areas[9].steerMin, -30);
        QCOMPARE(r.parameters.ControlMode, 3);
        QCOMPARE(r.messages.size(), 1);
        QCOMPARE(r.messages[0].title, QStringLiteral("Parameters"));
        QCOMPARE(r.messages[0].text, QStringLiteral("Parameters Read OK"));
        // The box is open while the link still holds the request.
        QCOMPARE(r.messages[0].busyWhileOpen, int(LinkProtocol::BusyRPara));
        QCOMPARE(closed.count(), 1);
        QCOMPARE(r.link.busyCode(), 0);
        QVERIFY(!r.link.flag(SERIAL_COMM::FlagReadAreas));
    }

    void writeAllRunsAreasCasesParameters()
    {
        Rig r;
        r.link.SetLanguage(1);
        r.store.areas[63].shape[1] = ShapeStraight;
        r.store.areas[63].points[1] = {QPoint(0, 1500)};
        r.store.areas[0].steerMax = 90;
        r.parameters.CANIDAddress = 5;
        QSignalSpy closed(&r.link, &SERIAL_COMM::ProgressClose);
        QSignalSpy titles(&r.link, &SERIAL_COMM::ProgressTitle);
        r.link.WriteSensorAllDataSlots();
        QVERIFY(QTest::qWaitFor([&] { return !r.messages.isEmpty(); }, 10000));
        QCOMPARE(r.tokens().count("WArea"), 64);
        QCOMPARE(r.tokens().mid(64), (QStringList{"WCase", "WPara"}));
        QCOMPARE(r.messages[0].title, QStringLiteral("提示"));
        QCOMPARE(r.messages[0].text, QStringLiteral("参数写入完成"));
        QCOMPARE(titles.last().at(0).toString(), QStringLiteral("下载数据"));
        QVERIFY(closed.count() >= 1);
        QCOMPARE(r.sensor.areaImage(63), AreaCodec::encode("WArea", 63, r.store.areas[63]).mid(5, 1257));
        QCOMPARE(r.sensor.parameters().CANIDAddress, 5);
        QCOMPARE(LinkProtocol::getS16(r.sensor.caseBytes(), 2), 90);
    }

    void designThatCannotTravelIsRefusedBeforeSending_data()
    {
        QTest::addColumn<int>("output");
        QTest::addColumn<QVector<QPoint>>("points");
        QTest::addColumn<QString>("says");
        QVector<QPoint> many;
        for (int i = 0; i < 101; ++i)
            many << QPoint(1000, 5 * i);
        QTest::newRow("101-points") << 1 << many << "101";
        // Sent as 16 bits, (1000, 40000) would come back as (1000, -25536).
        QTest::newRow("coordinate-40000")
            << 0 << QVector<QPoint>{QPoint(1000, 40000), QPoint(-1000, 500), QPoint(1000, 500)}
            << "32767";
        QTest::newRow("two-vertices-one-angle")
            << 2 << QVector<QPoint>{QPoint(100, 100), QPoint(200, 200), QPoint(-300, 50)} << "angle";
    }
    void designThatCannotTravelIsRefusedBeforeSending()
    {
        QFETCH(int, output);
        QFETCH(QVector<QPoint>, points);
        QFETCH(QString, says);
        Rig r;
        r.store.areas[12].points[output] = points;
        QSignalSpy refused(&r.link, &SERIAL_COMM::WriteRefused);
        r.link.WriteSensorAllDataSlots();
        QTest::qWait(100);
        QVERIFY(r.serial.written.isEmpty());
        QCOMPARE(refused.count(), 1);
        QCOMPARE(r.messages.size(), 1);
        QVERIFY2(r.messages[0].text.contains(QStringLiteral("area 12 Out %1").arg(output + 1)),
                 qPrintable(r.messages[0].text));
        QVERIFY(r.messages[0].text.contains(says));
        QVERIFY(r.messages[0].text.contains("nothing was sent"));
        QVERIFY(!r.link.flag(SERIAL_COMM::FlagWriteAreas));
    }

    void interruptedTransfersStartAgainAtAreaZero()
    {
        // A disconnect (a vanished port) clears the requests in the middle
        // of a read or a write: the next one starts at area 0 again.
        Rig r;
        r.link.ReadSensorAllDataSlots();
        QVERIFY(QTest::qWaitFor([&] { return r.link.readAreaIndex() >= 6; }, 5000));
        r.link.ClearAllRequests();
        QCOMPARE(r.link.readAreaIndex(), 0);
        r.serial.written.clear();
        r.link.ReadSensorAllDataSlots();
        QVERIFY(QTest::qWaitFor([&] { return !r.serial.written.isEmpty(); }, 1000));
        QCOMPARE(r.serial.written[0].left(6), QByteArray("RArea\0", 6));

        r.link.WriteSensorAllDataSlots();
        QVERIFY(QTest::qWaitFor([&] { return r.link.writeAreaIndex() >= 6; }, 8000));
        r.link.ClearAllRequests();
        QCOMPARE(r.link.writeAreaIndex(), 0);
        r.serial.written.clear();
        QSignalSpy titles(&r.link, &SERIAL_COMM::ProgressTitle);
        r.silent = true;
        r.link.WriteSensorAllDataSlots();
        QVERIFY(QTest::qWaitFor([&] { return !r.serial.written.isEmpty(); }, 1000));
        QCOMPARE(r.serial.written[0].left(6), QByteArray("WArea\0", 6));
        // Titled when it starts, not when the first area is accepted.
        QCOMPARE(titles.count(), 1);
        QCOMPARE(titles[0].at(0).toString(), QStringLiteral("Download Data"));
        r.link.ClearAllRequests();
    }

    void readLandsOnlyWhenComplete()
    {
        Rig r;
        AreaRecord a;
        a.openDelay = 9;
        a.points[0] = {QPoint(100, 900), QPoint(-100, 900), QPoint(0, 2000)};
        for (int i = 0; i < 64; ++i)
            r.sensor.feed(AreaCodec::encode("WArea", i, a));
        r.store.areas[2].points[0] = {QPoint(5, 5)};
        const QVector<AreaRecord> before = r.store.areas;
        // Cut short after ten areas: nothing of the read reaches the design.
        r.link.ReadSensorAllDataSlots();
        QVERIFY(QTest::qWaitFor([&] { return r.link.readAreaIndex() >= 10; }, 5000));
        r.link.ClearAllRequests();
        QTest::qWait(100);
        QVERIFY(r.store.areas == before);
        // A whole read replaces every area at once, after the parameters.
        QSignalSpy params(&r.link, &SERIAL_COMM::ReceiveParameters);
        QVector<AreaRecord> atRCase;
        QObject::connect(&r.link, &SERIAL_COMM::FrameSent, [&](const QByteArray &f) {
            if (f.startsWith("RPara"))
                atRCase = r.store.areas;
        });
        r.link.ReadSensorAllDataSlots();
        QVERIFY(QTest::qWaitFor([&] { return params.count() == 1; }, 10000));
        QVERIFY(atRCase == before);
        for (int i = 0; i < 64; ++i)
            QCOMPARE(r.store.areas[i].openDelay, 9);
    }

    void replyForNoOutstandingRequestIsDropped_data()
    {
        QTest::addColumn<QString>("outstanding"); // what the link waits for
        QTest::addColumn<QByteArray>("request");  // whose late reply arrives
        QTest::newRow("RPara-during-WArea") << "write" << LinkProtocol::request(LinkProtocol::RPara);
        QTest::newRow("WSimu-during-RArea") << "read" << Payloads::encodeWSimu(SimulationRequest());
        QTest::newRow("RScan-during-WArea") << "write" << LinkProtocol::request(LinkProtocol::RScan);
        QTest::newRow("RCase-during-RArea") << "read" << LinkProtocol::request(LinkProtocol::RCase);
        QTest::newRow("WPara-status-during-RArea") << "read" << Payloads::encodeWPara(SensorParameters());
    }
    void replyForNoOutstandingRequestIsDropped()
    {
        QFETCH(QString, outstanding);
        QFETCH(QByteArray, request);
        Rig r;
        // What the sensor would say, with values the design does not hold.
        SensorParameters sensorValues;
        sensorValues.CANIDAddress = 9;
        r.sensor.feed(Payloads::encodeWPara(sensorValues));
        ZoneStore cases;
        cases.areas[0].steerMin = -99;
        r.sensor.feed(Payloads::encodeWCase(cases));
        const QByteArray late = r.sensor.answer(request);
        QVERIFY(!late.isEmpty());
        r.parameters.CANIDAddress = 5;
        const SensorParameters parameters = r.parameters;
        const QVector<AreaRecord> areas = r.store.areas;
        r.silent = true;
        if (outstanding == "write")
            r.link.WriteSensorAllDataSlots();
        else
            r.link.ReadSensorAllDataSlots();
        QVERIFY(QTest::qWaitFor([&] { return r.link.busyCode() != 0; }, 1000));
        const int busy = r.link.busyCode();
        QSignalSpy params(&r.link, &SERIAL_COMM::ReceiveParameters);
        QSignalSpy scans(&r.link, &SERIAL_COMM::ReceiveScanfData);
        r.serial.feedNow(late);
        QCOMPARE(r.link.droppedReplies(), 1);
        QCOMPARE(r.link.busyCode(), busy);
        QVERIFY(r.parameters == parameters);
        QVERIFY(r.store.areas == areas);
        QCOMPARE(params.count() + scans.count(), 0);
        QVERIFY(r.messages.isEmpty());
        r.link.ClearAllRequests();
    }

    void lateRepliesDoNotAdvanceASequence()
    {
        // A reply to an earlier request (the sensor answered after the
        // time-out restarted the read) must not count for the area now
        // asked for.
        Rig r;
        r.silent = true;
        r.link.ReadSensorAllDataSlots();
        QVERIFY(QTest::qWaitFor([&] { return !r.serial.written.isEmpty(); }, 1000));
        AreaRecord five;
        five.openDelay = 5;
        r.serial.feedNow(AreaCodec::encode("RArea", 5, five));
        QCOMPARE(r.link.readAreaIndex(), 0);
        QCOMPARE(r.link.busyCode(), int(LinkProtocol::RArea.busyCode));
        // The right one does.
        r.serial.feedNow(AreaCodec::encode("RArea", 0, five));
        QCOMPARE(r.link.readAreaIndex(), 1);
        // A status reply nobody waits for changes no write index.
        r.link.ClearAllRequests();
        r.serial.feedNow(r.sensor.answer(AreaCodec::encode("WArea", 0, five)));
        QCOMPARE(r.link.writeAreaIndex(), 0);
    }

    void rebootWaitsForTheOutstandingRequestThenGoesFirst()
    {
        Rig r;
        r.silent = true;
        r.link.ReadSimulationTime();
        QVERIFY(QTest::qWaitFor([&] { return r.serial.written.size() == 1; }, 1000));
        QCOMPARE(r.tokens(), QStringList{"WSimu"});
        r.link.SensorRebootSlots();
        r.link.SensorInformationSlots();
        QTest::qWait(100); // five ticks: busy, nothing goes
        QCOMPARE(r.serial.written.size(), 1);
        r.silent = false;
        r.serial.feedNow(r.sensor.answer(r.serial.written.first()));
        QCOMPARE(r.link.busyCode(), 0);
        QVERIFY(QTest::qWaitFor([&] { return r.serial.written.size() == 2; }, 1000));
        QCOMPARE(r.tokens().last(), QStringLiteral("RBoot"));
        QVERIFY(QTest::qWaitFor([&] { return r.messages.size() == 2; }, 2000));
        QCOMPARE(r.messages[0].text, QStringLiteral("Sensor Reboot Complete"));
        QVERIFY(r.messages[1].text.startsWith("Product Name:  ZQxxxx-ETH\nFirmware:  1.05"));
    }

    void fourthTimeoutGivesUp()
    {
        Rig r;
        r.silent = true;
        QElapsedTimer t;
        QObject::connect(&r.link, &SERIAL_COMM::FrameSent, [&t] {
            if (!t.isValid())
                t.start();
        });
        r.link.OpenSendReadSimulation();
        r.link.ReadSensorAllDataSlots();
        QVERIFY(QTest::qWaitFor([&] { return !r.messages.isEmpty(); }, 14000));
        // Four time-outs of two seconds, the first after the first send; a
        // reply timer never fires early, however busy the machine.
        QVERIFY2(t.elapsed() >= 8000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(r.messages.size(), 1);
        QCOMPARE(r.messages[0].icon, int(SERIAL_COMM::Warning));
        QCOMPARE(r.messages[0].title, QStringLiteral("Warning"));
        QCOMPARE(r.messages[0].text, QStringLiteral("Connect OverTimer, Check Connect"));
        QCOMPARE(r.tokens(), (QStringList{"RArea", "RArea", "RArea", "RArea"}));
        QVERIFY(!r.link.simulationTimer()->isActive());
        QVERIFY(!r.link.replyTimer()->isActive());
        for (int f = 0; f < SERIAL_COMM::FlagCount; ++f)
            QVERIFY(!r.link.flag(SERIAL_COMM::Flag(f)));
        QTest::qWait(300);
        QCOMPARE(r.serial.written.size(), 4); // nothing more goes out
    }

    void validReplyResetsTheTimeoutCount()
    {
        Rig r;
        r.silent = true;
        r.link.SensorInformationSlots();
        QVERIFY(QTest::qWaitFor(
            [&] { return r.link.timeoutCount() == 3 && r.link.busyCode() != 0; }, 7000));
        r.silent = false;
        r.serial.feedNow(r.sensor.answer(r.serial.written.last()));
        QCOMPARE(r.link.timeoutCount(), 0);
        QVERIFY(!r.link.replyTimer()->isActive());
        QCOMPARE(r.messages.size(), 1);
        QVERIFY(r.messages[0].title == "Product Message");
    }

    void timeoutRestartsTheReadAtAreaZero()
    {
        Rig r;
        int answered = 0;
        r.serial.responder = [&](const QByteArray &f) {
            // Area 10 goes unanswered once.
            if (f.startsWith("RArea") && f[5] == 10 && answered++ == 0)
                return QByteArray();
            return r.sensor.feed(f).join();
        };
        QSignalSpy params(&r.link, &SERIAL_COMM::ReceiveParameters);
        r.link.ReadSensorAllDataSlots();
        QVERIFY(QTest::qWaitFor([&] { return params.count() == 1; }, 12000));
        const QStringList t = r.tokens();
        QCOMPARE(t.count("RArea"), 11 + 64);
        QCOMPARE(int(std::uint8_t(r.serial.written[11][5])), 0);
    }

    void ethernetScanAndIntensity()
    {
        Rig r;
        r.scan.connectionType = 1;
        r.scan.ethernetMode = 0;
        r.link.ReadIntensityTime();
        r.link.ReadScanfTime();
        QVERIFY(QTest::qWaitFor([&] { return r.tcp.written.size() == 1; }, 1000));
        QTest::qWait(60);
        // The intensity flag went without a frame; the scan sent RAuto 1 and
        // left the link idle, with the reply time-out running.
        QCOMPARE(r.tcp.written.size(), 1);
        QCOMPARE(r.tcp.written[0].toHex(), QByteArray("524175746f018780"));
        QVERIFY(r.serial.written.isEmpty());
        QVERIFY(!r.link.flag(SERIAL_COMM::FlagIntensity));
        QVERIFY(!r.link.flag(SERIAL_COMM::FlagScan));
        QCOMPARE(r.link.busyCode(), 0);
        QVERIFY(r.link.replyTimer()->isActive());
        // Read all over Ethernet first stops the stream.
        r.link.ReadSensorAllDataSlots();
        QCOMPARE(r.tcp.written.last().toHex(), QByteArray("524175746f004640"));
    }

    void serialScanArrivesReversed()
    {
        Rig r;
        DEVICETYPE t;
        t.type = 1;
        r.link.SetMaximumRange(&t);
        QCOMPARE(r.link.maximumRange(), 12000);
        t.type = 2;
        r.link.SetMaximumRange(&t);
        QCOMPARE(r.link.maximumRange(), 24000);
        t.type = 7;
        r.link.SetMaximumRange(&t);
        QCOMPARE(r.link.maximumRange(), 24000);
        r.sensor.serialScan = [](bool intensity) {
            std::array<std::uint16_t, 640> v{};
            for (int i = 0; i < 640; ++i)
                v[size_t(i)] = std::uint16_t(intensity ? 7 : 100 * i);
            return v;
        };
        QSignalSpy scans(&r.link, &SERIAL_COMM::ReceiveScanfData);
        QSignalSpy intensities(&r.link, &SERIAL_COMM::ReceiveIntensityData);
        r.link.ReadScanfTime();
        r.link.ReadIntensityTime();
        QVERIFY(
            QTest::qWaitFor([&] { return scans.count() == 1 && intensities.count() == 1; }, 1000));
        QCOMPARE(int(r.scan.serialDistances[639]), 0);
        QCOMPARE(int(r.scan.serialDistances[638]), 100);
        QCOMPARE(int(r.scan.serialDistances[0]), 24000); // 63900 clamped
        QCOMPARE(int(r.scan.serialIntensities[5]), 7);
        // Intensities are clamped to the range too, here the Laser05's.
        t.type = 0;
        r.link.SetMaximumRange(&t);
        r.sensor.serialScan = [](bool) {
            std::array<std::uint16_t, 640> v{};
            v.fill(65000);
            return v;
        };
        r.link.ReadIntensityTime();
        QVERIFY(QTest::qWaitFor([&] { return intensities.count() == 2; }, 1000));
        QCOMPARE(int(r.scan.serialIntensities[0]), 6000);
    }

    void frameJoinedAtASeamWaitsForTheNextRead()
    {
        // The RPrda reply split around a WSimu reply nobody asked for: the
        // RPrda parser runs first and finds no whole frame; the WSimu frame is
        // removed (and dropped), the two halves meet, and the next arrival of
        // bytes hands RPrda over.
        Rig r;
        r.silent = true;
        r.link.SensorInformationSlots();
        QVERIFY(QTest::qWaitFor(
            [&] { return r.link.busyCode() == int(LinkProtocol::RPrda.busyCode); }, 1000));
        const QByteArray info = r.sensor.answer(LinkProtocol::request(LinkProtocol::RPrda));
        const QByteArray simu = r.sensor.answer(Payloads::encodeWSimu(SimulationRequest()));
        QSignalSpy io(&r.link, &SERIAL_COMM::IOPortSignals);
        r.serial.feedNow(info.left(3) + simu + info.mid(3));
        QCOMPARE(io.count(), 0);
        QCOMPARE(r.link.droppedReplies(), 1);
        QCOMPARE(r.messages.size(), 0);
        r.serial.feedNow(QByteArray());
        QCOMPARE(r.messages.size(), 1);
        QCOMPARE(r.messages[0].title, QStringLiteral("Product Message"));
        QVERIFY(r.link.receiveBuffer().isEmpty());
    }

    void ceilingStopsParsingAtFiftyThousandBytes()
    {
        Rig r;
        r.silent = true;
        const auto awaitSimulation = [&r] {
            r.link.ReadSimulationTime();
            QVERIFY(QTest::qWaitFor(
                [&] { return r.link.busyCode() == int(LinkProtocol::WSimu.busyCode); }, 1000));
        };
        QSignalSpy io(&r.link, &SERIAL_COMM::IOPortSignals);
        const QByteArray simu = r.sensor.answer(Payloads::encodeWSimu(SimulationRequest()));
        // 49999 bytes with a reply inside: parsed.
        awaitSimulation();
        r.serial.feedNow(QByteArray(49999 - simu.size(), 'x') + simu);
        QCOMPARE(io.count(), 1);
        r.link.CloseSerialPortSlots();
        awaitSimulation();
        // 50000: nothing parsed, the buffer without a stream magic emptied.
        r.serial.feedNow(QByteArray(50000 - simu.size(), 'x') + simu);
        QCOMPARE(io.count(), 1);
        QVERIFY(r.link.receiveBuffer().isEmpty());
    }

    void controlGoesWithTheSimulationWhileEnabled()
    {
        Rig r;
        r.link.ReadSimulationTime();
        QVERIFY(!r.link.flag(SERIAL_COMM::FlagControl));
        QVERIFY(QTest::qWaitFor(
            [&] { return r.link.busyCode() == 0 && !r.link.flag(SERIAL_COMM::FlagSimulation); },
            1000));
        r.control[4] = 1;
        r.control[0] = 1;
        r.link.ReadSimulationTime();
        QVERIFY(r.link.flag(SERIAL_COMM::FlagControl));
        QVERIFY(QTest::qWaitFor([&] { return !r.link.flag(SERIAL_COMM::FlagControl); }, 1000));
        QCOMPARE(r.tokens(), (QStringList{"WSimu", "WSimu", "SCtrl"}));
        QCOMPARE(r.serial.written.last().mid(5, 5).toHex(), QByteArray("0100010100"));
        // The SCtrl reply leaves the reply time-out alone.
        QVERIFY(r.link.replyTimer()->isActive());
    }

    void closedTransportStillTimesOut()
    {
        Rig r;
        r.serial.close();
        r.link.SensorInformationSlots();
        QTest::qWait(60);
        QVERIFY(r.serial.written.isEmpty());
        QCOMPARE(r.link.busyCode(), int(LinkProtocol::BusyPrda));
        QVERIFY(r.link.replyTimer()->isActive());
        r.link.StopReplyTimer();
        r.link.ClearAllRequests();
        QCOMPARE(r.link.busyCode(), 0);
        QVERIFY(!r.link.flag(SERIAL_COMM::FlagInformation));
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
