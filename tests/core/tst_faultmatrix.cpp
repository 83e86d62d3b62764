#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/sensor/SensorParameters.h"
#include "core/zones/DeviceType.h"
#include "core/zones/ZoneStore.h"

#include "tests/support/SimProcess.h"

#include <QHostAddress>
#include <QSerialPort>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QtTest>

#include <memory>

// Every fault sector-sim can inject against every transfer the window starts,
// over TCP, UDP and the pseudo-terminal, through the window's own link
// controller. Each cell must end the way the link's rules say, in bounded
// time, with the progress closed and the design untouched unless a read
// completed.
namespace {

// The reply time-out is cut from 2 s to this for the matrix: a cell that has
// to run out of tries then ends after four of these instead of eight
// seconds. The emulator's delays stay far below it, but for the rows about
// replies that come too late.
constexpr int kReplyTimeoutMs = 400;
// Room for the slowest cell (a full read with delayed replies) on a loaded
// machine; every other cell ends in a few tries.
constexpr int kLongCellMs = 30000;
constexpr int kShortCellMs = 6000;

enum class Transfer { Read, Write, Info, Reboot, Scan };
enum class End {
    Done,    // completed at the first try
    Retried, // completed after at least one time-out
    GaveUp,  // four tries without a valid reply, then the warning
    Refused, // the sensor refused a write: one box, nothing more sent
};

const char *const kTransports[] = {"tcp", "udp", "serial"};

// One fault set-up against every transfer: how each ends, by transfer
// (read, write, info, reboot, scan), over Ethernet and over the serial port:
// D done, R retried, G gave up, X refused, - not run.
struct Cell {
    const char *fault;
    QStringList simArgs;
    const char *ends;
    const char *only = nullptr; // one transport, where the others add nothing
    const char *bug = nullptr;  // a known fault of the link: the row fails until fixed
};

// With this seed the emulator's first draw is below 0.5 and its second above:
// the first reply is lost (or broken), the retry's reply arrives.
QStringList loseFirst(const char *fault)
{
    return {"--fault", QString::fromLatin1(fault) + "=0.5", "--seed", "10"};
}
QStringList fault(const char *spec)
{
    return {"--fault", QString::fromLatin1(spec)};
}

const QList<Cell> &cells()
{
    static const QList<Cell> table = {
        // Only replies are dropped; the scan stream has none.
        {"drop", fault("drop=1"), "GG GG -- -- --"},
        {"drop", loseFirst("drop"), "-- -- RR RR DR"},
        // Neither the stream nor a serial scan carries a CRC.
        {"corrupt", fault("corrupt=1"), "GG GG -- -- DD"},
        {"corrupt", loseFirst("corrupt"), "-- -- RR RR --"},
        {"split", fault("split=1"), "DD DD DD DD DD"},
        {"delay", fault("delay=25"), "DD DD DD DD DD"},
        // Replies that come after the reply time-out, when the request has
        // been sent again: the link's handling of them does not depend on
        // the transport. Four tries without a timely reply end an area
        // transfer; a single exchange takes the late reply as its retry's.
        // Not here yet: Write All with every reply late. A status reply
        // carries no area index, so a late one counts for the next area and
        // the write may creep on or give up, depending on the timing.
        {"late", fault("delay=600"), "GG -- -- -- --", "tcp"},
        {"late", fault("delay=600"), "-- -- RR RR DR"},
        {"reject1", fault("reject=1"), "DD XX DD DD DD"},
        {"reject2", fault("reject=2"), "DD XX DD DD DD"},
        // The connection ends after the first reply: transfers of one
        // exchange are over by then, the scan stream has no replies to count.
        {"close-after", fault("close-after=1"), "GG GG DD DD DD"},
    };
    return table;
}

// Each transfer's name, the request each of its tries sends (over Ethernet
// and the serial port), and the box it ends with when it completes.
struct TransferInfo {
    const char *name, *token, *serialToken, *done;
};
const TransferInfo kTransfers[] = {
    {"read", "RArea", "RArea", "Parameters Read OK"},
    {"write", "WArea", "WArea", "Parameters Write Complete"},
    // The emulator's default product.
    {"info", "RPrda", "RPrda",
     "Product Name:  ZQxxxx-ETH\nFirmware:  1.05\nSerialNumber:  1.000000\n"
     "Production:  2026 - 1 - 1"},
    {"reboot", "RBoot", "RBoot", "Sensor Reboot Complete"},
    {"scan", "RAuto", "RScan", nullptr},
};

// A design unlike the emulator's empty one, that Write All accepts.
void fillDesign(ZoneStore &store, SensorParameters &parameters)
{
    store.setAllDetectionSize(1);
    for (int a = 0; a < kAreaCount; ++a) {
        AreaRecord &r = store.areas[a];
        r.openDelay = 1 + a % 25;
        r.steerMin = -a;
        r.operationMode = a % 6;
        r.points[0] = {QPoint(1000 + a, 0), QPoint(0, 2000), QPoint(-1500, 0)};
        r.shape[1] = ShapeStraight;
        r.points[1] = {QPoint(0, 900)};
    }
    parameters.ScanFilterLevel = 2;
    parameters.RS485IDAddress = 5;
}

// A freshly started tool's link with the transports the window lends it.
struct Rig {
    ZoneStore store;
    ScanRecord scan;
    SensorParameters parameters;
    std::array<int, 5> control{};
    QSerialPort serialPort;
    QTcpSocket tcpSocket;
    QUdpSocket udpSocket;
    SERIAL_COMM link{&serialPort, &scan, &store, &parameters, &control, &tcpSocket, &udpSocket};

    QStringList messages;
    QStringList progress;      // "show" and "close" in order
    QList<QByteArray> traffic; // ">TOKEN" sent, "<TOKEN" received with a good CRC
    int timeouts = 0;
    int sweeps = 0;

    Rig()
    {
        link.SetLanguage(0);
        DEVICETYPE type;
        link.SetMaximumRange(&type);
        link.replyTimer()->setInterval(kReplyTimeoutMs);
        QObject::connect(&link, &SERIAL_COMM::MessageSignal,
                         [this](int, const QString &, const QString &text) { messages << text; });
        QObject::connect(&link, &SERIAL_COMM::ProgressShow, [this] { progress << "show"; });
        QObject::connect(&link, &SERIAL_COMM::ProgressClose, [this] { progress << "close"; });
        QObject::connect(&link, &SERIAL_COMM::FrameSent,
                         [this](const QByteArray &f) { traffic << ">" + f.left(5); });
        QObject::connect(&link, &SERIAL_COMM::FrameReceived,
                         [this](const QByteArray &f) { traffic << "<" + f.left(5); });
        QObject::connect(link.replyTimer(), &QTimer::timeout, [this] { ++timeouts; });
        QObject::connect(&link, &SERIAL_COMM::ReceiveScanfData, [this] { ++sweeps; });
    }

    bool open(const SimProcess &sim, const QString &transport)
    {
        scan.connectionType = transport == QLatin1String("serial") ? 0 : 1;
        scan.ethernetMode = transport == QLatin1String("udp") ? 1 : 0;
        if (transport == QLatin1String("serial")) {
            serialPort.setPortName(sim.endpoint("serial"));
            return serialPort.open(QIODevice::ReadWrite);
        }
        QAbstractSocket &s = transport == QLatin1String("udp")
                                 ? static_cast<QAbstractSocket &>(udpSocket)
                                 : static_cast<QAbstractSocket &>(tcpSocket);
        s.connectToHost(QHostAddress::LocalHost, quint16(sim.endpoint(transport).toUInt()));
        return s.waitForConnected(3000);
    }

    void start(Transfer t)
    {
        switch (t) {
        case Transfer::Read: link.ReadSensorAllDataSlots(); break;
        case Transfer::Write: link.WriteSensorAllDataSlots(); break;
        case Transfer::Info: link.SensorInformationSlots(); break;
        case Transfer::Reboot: link.SensorRebootSlots(); break;
        case Transfer::Scan:
            // The live view: the scan poll, and its first request at once.
            link.OpenSendReadScanf();
            link.ReadScanfTime();
            break;
        }
    }

    int sent(const QByteArray &token, int from = 0) const
    {
        int n = 0;
        for (int i = from; i < traffic.size(); ++i)
            n += traffic[i] == ">" + token;
        return n;
    }
    int lastReceived() const
    {
        for (int i = traffic.size() - 1; i >= 0; --i)
            if (traffic[i].startsWith('<'))
                return i;
        return -1;
    }
};

} // namespace

class TestFaultMatrix : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void matrix_data()
    {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("transfer");
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("bug");
        for (const Cell &c : cells())
            for (int t = 0; t < 5; ++t)
                for (const char *transport : kTransports) {
                    const QByteArray ends = QByteArray(c.ends).split(' ')[t];
                    const bool serial = qstrcmp(transport, "serial") == 0;
                    const int end = QByteArray("DRGX").indexOf(ends[serial ? 1 : 0]);
                    if (end < 0 || (c.only && qstrcmp(c.only, transport) != 0))
                        continue;
                    QTest::addRow("%s-%s-%s", c.fault, kTransfers[t].name, transport)
                        << QString::fromLatin1(transport) << t << c.simArgs << end
                        << QString::fromLatin1(c.bug);
                }
    }

    void matrix()
    {
        QFETCH(QString, transport);
        QFETCH(int, transfer);
        QFETCH(QStringList, simArgs);
        QFETCH(int, end);
        QFETCH(QString, bug);
        const Transfer t = Transfer(transfer);
        const End want = End(end);
        const bool ethernet = transport != QLatin1String("serial");
        const bool areas = t == Transfer::Read || t == Transfer::Write;
        const int limitMs =
            areas && (want == End::Done || want == End::Retried) ? kLongCellMs : kShortCellMs;

        SimProcess sim(simArgs);
        QVERIFY(sim.ready());
        auto rig = std::make_unique<Rig>();
        fillDesign(rig->store, rig->parameters);
        const QVector<AreaRecord> design = rig->store.areas;
        const SensorParameters parameters = rig->parameters;
        QVERIFY(rig->open(sim, transport));

        QElapsedTimer clock;
        clock.start();
        rig->start(t);
        const auto ended = [&] {
            return !rig->messages.isEmpty() || (t == Transfer::Scan && rig->sweeps > 0);
        };
        while (!ended() && clock.elapsed() < limitMs)
            QTest::qWait(5);
        if (!bug.isEmpty())
            QEXPECT_FAIL("", qPrintable(bug), Abort);
        QVERIFY2(ended(), qPrintable(QString("no end within %1 ms").arg(limitMs)));
        // Whatever a cell does after its end shows here: a second box, a
        // request that should not have gone out, a late reply taken.
        rig->link.CloseSendReadScanf();
        const QString delay = simArgs.filter("delay=").value(0).section('=', 1);
        QTest::qWait(100 + delay.toInt());

        QStringList messages;
        switch (want) {
        case End::Done:
        case End::Retried:
            if (kTransfers[transfer].done)
                messages << kTransfers[transfer].done;
            break;
        case End::GaveUp: messages << "Connect OverTimer, Check Connect"; break;
        case End::Refused:
            messages << (simArgs.contains("reject=2") ? "FLASH Write Error"
                                                      : "Parameters Setting Error");
            break;
        }
        QCOMPARE(rig->messages, messages);

        const QByteArray token =
            ethernet ? kTransfers[transfer].token : kTransfers[transfer].serialToken;
        if (want == End::Retried) {
            QVERIFY2(rig->timeouts >= 1, "completed without the retry the fault forces");
            QVERIFY(rig->sent(token) >= 2);
        }
        // Four tries after the last reply; where every reply comes late the
        // replies keep arriving, and four time-outs came without the
        // sequence getting past where it stood.
        if (want == End::GaveUp && delay.isEmpty())
            QCOMPARE(rig->sent(token, rig->lastReceived() + 1), 4);
        if (want == End::GaveUp && !delay.isEmpty())
            QVERIFY(rig->timeouts >= 4);
        if (want == End::Refused) {
            // The first refused area ends the whole write.
            QCOMPARE(rig->sent("WArea"), 1);
            QCOMPARE(rig->sent("WCase") + rig->sent("WPara"), 0);
        }
        if (t == Transfer::Write && want == End::Done) {
            QVERIFY(rig->sent("WArea") >= 64);
            QCOMPARE(rig->traffic.mid(rig->traffic.size() - 4),
                     (QList<QByteArray>{">WCase", "<WCase", ">WPara", "<WPara"}));
        }

        // A transfer that showed progress closed it last.
        if (areas)
            QVERIFY(rig->progress.contains("show"));
        if (rig->progress.contains("show"))
            QVERIFY2(rig->progress.lastIndexOf("close") > rig->progress.lastIndexOf("show"),
                     qPrintable(rig->progress.join(' ')));

        // Only a completed read changes the design, into the emulator's.
        const bool read = t == Transfer::Read && (want == End::Done || want == End::Retried);
        for (int a = 0; a < kAreaCount; ++a)
            QVERIFY2(rig->store.areas[a] == (read ? AreaRecord() : design[a]),
                     qPrintable(QString("area %1").arg(a)));
        QVERIFY(rig->parameters == (read ? SensorParameters() : parameters));
    }
};

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
