#include "core/link/AreaCodec.h"
#include "core/link/LinkProtocol.h"
#include "core/link/Payloads.h"
#include "core/zones/ZoneStore.h"
#include "core/zones/AreaRecord.h"

#include "tests/support/SimProcess.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// sector-sim as the tool's peer sees it: requests cut short, bytes that are
// no request, connections reset in the middle of a stream, clients that come
// and go.
namespace {

QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

// Requests and replies written out from the command table.
const QByteArray kRPrda = hex("5250726461c7ff");
const QByteArray kRBoot = hex("52426f6f74947e");
const QByteArray kRBootReply = hex("52426f6f74007faf");
const QByteArray kSCtrl = hex("534374726c010002030466f5"); // answered with its own bytes
const QByteArray kRAutoOn = hex("524175746f018780");
const QByteArray kWParaOk = hex("5750617261005b87");
// Product type 9, firmware 105, serial 1, 2026-01-01: the emulator's default.
const QByteArray kRPrdaHead = hex("525072646100090069000107ea00010001");

// One client of the emulator over one of its transports, collecting all it
// receives.
struct Peer {
    QString kind;
    QTcpSocket tcp;
    QUdpSocket udp;
    QSerialPort serial;
    QByteArray got;

    bool open(const SimProcess &sim, const QString &how)
    {
        kind = how;
        if (kind == QLatin1String("serial")) {
            serial.setPortName(sim.endpoint("serial"));
            QObject::connect(&serial, &QIODevice::readyRead, [this] { got += serial.readAll(); });
            return serial.open(QIODevice::ReadWrite);
        }
        const quint16 port = quint16(sim.endpoint(kind).toUInt());
        if (kind == QLatin1String("udp")) {
            QObject::connect(&udp, &QIODevice::readyRead, [this] {
                while (udp.hasPendingDatagrams())
                    got += udp.receiveDatagram().data();
            });
            udp.connectToHost(QHostAddress::LocalHost, port);
            return udp.waitForConnected(2000);
        }
        QObject::connect(&tcp, &QIODevice::readyRead, [this] { got += tcp.readAll(); });
        tcp.connectToHost(QHostAddress::LocalHost, port);
        return tcp.waitForConnected(2000);
    }
    void send(const QByteArray &bytes)
    {
        QIODevice *d = kind == QLatin1String("serial") ? static_cast<QIODevice *>(&serial)
                       : kind == QLatin1String("udp")  ? static_cast<QIODevice *>(&udp)
                                                       : static_cast<QIODevice *>(&tcp);
        d->write(bytes);
    }
};

QByteArray areaRequest(int index)
{
    AreaRecord a;
    a.openDelay = 3;
    a.points[0] = {QPoint(1000, 0), QPoint(0, 1000), QPoint(-1000, 0)};
    return AreaCodec::encode("WArea", index, a);
}

} // namespace

class TestSim : public QObject
{
    Q_OBJECT

    // The outputs the emulator reports to the next simulation request.
    static int outputsNow(Peer &p)
    {
        p.got.clear();
        p.send(Payloads::encodeWSimu(SimulationRequest{}));
        if (!QTest::qWaitFor([&p] { return p.got.size() >= LinkProtocol::WSimu.replyLength; }, 3000))
            return -1;
        return int(Payloads::decodeWSimuReply(p.got).outputs);
    }
    static bool writeArea(Peer &p, const AreaRecord &a)
    {
        p.got.clear();
        p.send(AreaCodec::encode("WArea", 0, a));
        return QTest::qWaitFor([&p] { return p.got.size() >= 8; }, 3000);
    }

private Q_SLOTS:
    // The outputs switch with the area's own delays: an Out1 over the whole
    // hall ahead sees the walls at once, but with a 500 ms on delay reports
    // them only half a second after the area arrived.
    void outputsFollowTheAreasDelays()
    {
        SimProcess sim;
        QVERIFY(sim.ready());
        Peer p;
        QVERIFY(p.open(sim, "tcp"));
        AreaRecord hall;
        hall.points[0] = {{-20000, 1}, {20000, 1}, {20000, 20000}, {-20000, 20000}};
        hall.openDelay = 25;
        QVERIFY(writeArea(p, hall));
        QElapsedTimer since;
        since.start();
        QCOMPARE(outputsNow(p), 0);
        QVERIFY(since.elapsed() < 400); // else the delay may have run out
        QTest::qWait(700);
        QCOMPARE(outputsNow(p), 1);
        // New values start afresh: without a delay, on at the first look.
        hall.openDelay = 0;
        QVERIFY(writeArea(p, hall));
        QCOMPARE(outputsNow(p), 1);
    }

    void transports_data()
    {
        QTest::addColumn<QString>("transport");
        QTest::newRow("tcp") << "tcp";
        QTest::newRow("udp") << "udp";
        QTest::newRow("serial") << "serial";
    }

    // A request cut short and followed by silence is forgotten, as the
    // sensor's receiver does after an idle gap, so the tool's next try is
    // answered; a request that merely arrives in pieces is still whole.
    void cutRequestIsForgottenAfterSilence_data() { transports_data(); }
    void cutRequestIsForgottenAfterSilence()
    {
        QFETCH(QString, transport);
        SimProcess sim;
        QVERIFY(sim.ready());
        Peer peer;
        QVERIFY(peer.open(sim, transport));

        for (int at = 0; at < kRPrda.size(); at += 3) {
            peer.send(kRPrda.mid(at, 3));
            QTest::qWait(30);
        }
        QTRY_COMPARE_WITH_TIMEOUT(peer.got.size(), 509, 2000);
        QCOMPARE(peer.got.left(17), kRPrdaHead);
        peer.got.clear();

        peer.send(areaRequest(5).left(300));
        QTest::qWait(700);
        peer.send(kRPrda);
        QTRY_VERIFY2_WITH_TIMEOUT(peer.got.size() >= 509, "the cut request swallowed the next one",
                                  1500);
        QCOMPARE(peer.got.size(), 509);
        QCOMPARE(peer.got.left(17), kRPrdaHead);
    }

    // Bytes that fail as a request are searched again from the next byte:
    // requests inside them are found and answered.
    void badRequestIsSearchedFromTheNextByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("answer");
        const QByteArray cut = areaRequest(0).left(300);
        QTest::newRow("cut-area-then-requests")
            << cut + kSCtrl.repeated(100) << kSCtrl.repeated(100);
        QByteArray para = "WPara" + QByteArray(62, '\0');
        para.replace(10, kRBoot.size(), kRBoot); // inside, and the CRC is wrong
        QTest::newRow("broken-request-holding-one") << para << kRBootReply;
    }
    void badRequestIsSearchedFromTheNextByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, answer);
        SimProcess sim;
        QVERIFY(sim.ready());
        Peer peer;
        QVERIFY(peer.open(sim, "tcp"));
        peer.send(bytes);
        QTRY_COMPARE_WITH_TIMEOUT(peer.got.toHex(), answer.toHex(), 2000);
        QTest::qWait(100); // and nothing more comes
        QCOMPARE(peer.got.toHex(), answer.toHex());
    }

    void failedStateSaveIsReported_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing-folder") << "none/sensor.state"
                                        << "No such file or directory";
        QTest::newRow("folder-is-a-file") << "file/sensor.state"
                                          << "Not a directory";
    }
    void failedStateSaveIsReported()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QFile(dir.filePath("file")).open(QIODevice::WriteOnly);
        const QString state = dir.filePath(path);
        ChildProcess sim;
        sim.start(SECTOR_SIM_PATH, {"--bind", "127.0.0.1", "--tcp", "0", "--no-udp",
                                    "--no-discovery", "--state", state});
        QVERIFY(sim.waitForReadyRead(5000));
        const QString port = QString::fromLatin1(sim.readLine()).section(' ', 1).trimmed();
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, quint16(port.toUInt()));
        QVERIFY(s.waitForConnected(2000));
        s.write(LinkProtocol::request(LinkProtocol::WPara));
        QTRY_VERIFY_WITH_TIMEOUT(s.bytesAvailable() >= 8, 2000);
        QCOMPARE(s.readAll(), kWParaOk); // the sensor took it; only the file failed
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += sim.readAllStandardError()).contains('\n'), 2000);
        QTest::qWait(100);
        err += sim.readAllStandardError();
        QCOMPARE(
            QString::fromLocal8Bit(err),
            QStringLiteral("sector-sim: cannot save the state to %1: %2\n").arg(state, reason));
    }

    // Streaming clients that reset their connection while the stream goes
    // out in pieces: the emulator forgets each and serves the next one.
    void streamingClientResetUnderSplit()
    {
        // The finest resolution: the most packets in flight at each reset.
        SimProcess sim({"--fault", "split=1", "--scan-angle", "0"});
        QVERIFY(sim.ready());
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(quint16(sim.endpoint("tcp").toUInt()));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int round = 0; round < 40; ++round) {
            // A plain socket, so that it is closed at once with the stream
            // still coming in.
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            const timeval patience{3, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
            const bool connected = ::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0;
            ssize_t got = 0;
            if (connected && ::send(fd, kRAutoOn.constData(), size_t(kRAutoOn.size()), 0) == 8) {
                char buf[65536];
                for (ssize_t n = 1; got < 4000 && n > 0; got += n)
                    n = ::recv(fd, buf, sizeof buf, 0);
            }
            const linger hard{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            ::close(fd);
            QVERIFY2(connected, qPrintable(QString("round %1: the emulator is gone").arg(round)));
            QVERIFY2(got >= 4000, qPrintable(QString("round %1: no stream").arg(round)));
            QTest::qWait(20);
        }
        Peer last;
        QVERIFY(last.open(sim, "tcp"));
        last.send(kRBoot);
        QTRY_COMPARE_WITH_TIMEOUT(last.got.toHex(), kRBootReply.toHex(), 2000);
    }

    // A client that asks and leaves before its delayed reply is due, and
    // another that comes at once, likely where the first one was: the reply
    // goes nowhere, not to the newcomer.
    void delayedRepliesOutliveTheirClients()
    {
        SimProcess sim({"--fault", "delay=60"});
        QVERIFY(sim.ready());
        for (int round = 0; round < 15; ++round) {
            auto gone = std::make_unique<Peer>();
            QVERIFY2(gone->open(sim, "tcp"),
                     qPrintable(QString("round %1: the emulator is gone").arg(round)));
            gone->send(kRPrda);
            QTest::qWait(5);
            gone.reset();
            Peer next;
            QVERIFY2(next.open(sim, "tcp"),
                     qPrintable(QString("round %1: the emulator is gone").arg(round)));
            QTest::qWait(120);
            QVERIFY2(next.got.isEmpty(),
                     qPrintable(QString("round %1: another's reply").arg(round)));
            if (round == 14) {
                next.send(kRBoot);
                QTRY_COMPARE_WITH_TIMEOUT(next.got.toHex(), kRBootReply.toHex(), 2000);
            }
        }
    }

    // The emulator keeps a bounded number of UDP peers: a peer it closed
    // (close-after) is forgotten once enough others have come, and is
    // then answered as a new one.
    void udpPeersAreBounded()
    {
        SimProcess sim({"--fault", "close-after=1"});
        QVERIFY(sim.ready());
        const quint16 port = quint16(sim.endpoint("udp").toUInt());
        Peer first;
        QVERIFY(first.open(sim, "udp"));
        first.send(kRBoot);
        QTRY_COMPARE_WITH_TIMEOUT(first.got.size(), 8, 2000);
        first.send(kRBoot);
        QTest::qWait(200);
        QCOMPARE(first.got.size(), 8); // closed for it

        // All kept open, so no port comes back as a peer the emulator closed.
        std::vector<std::unique_ptr<QUdpSocket>> others;
        for (int i = 0; i < 100; ++i) {
            others.push_back(std::make_unique<QUdpSocket>());
            QUdpSocket &other = *others.back();
            QVERIFY(other.bind(QHostAddress::LocalHost, 0));
            other.writeDatagram(kRBoot, QHostAddress::LocalHost, port);
            QVERIFY2(other.waitForReadyRead(2000), qPrintable(QString("peer %1").arg(i)));
            QCOMPARE(other.receiveDatagram().data().toHex(), kRBootReply.toHex());
        }
        first.send(kRBoot);
        QTRY_VERIFY2_WITH_TIMEOUT(first.got.size() >= 16, "the closed peer is still remembered",
                                  2000);
        QCOMPARE(first.got.mid(8).toHex(), kRBootReply.toHex());
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
