// Feeds the link controller's real receive path with the scan stream at its
// finest resolution (12800 points per sweep, packets as the emulator sends
// them) mixed with command replies, in chunks of the sizes a network stack
// delivers, and checks that every sweep and reply comes out. Then times a
// full read and a full write against sector-sim over loopback TCP.
//
// Last line: "ingest MB/s: X".

#include "core/link/LinkProtocol.h"
#include "core/link/Payloads.h"
#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/zones/ZoneStore.h"
#include "sim/SimScene.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QIODevice>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>

#include <cstdio>

namespace {

class FeedDevice : public QIODevice
{
public:
    FeedDevice() { open(QIODevice::ReadWrite); }
    void push(const char *data, int n)
    {
        m_in = QByteArray::fromRawData(data, n);
        Q_EMIT readyRead();
        m_in.clear();
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_in.size(); }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        const qint64 n = qMin<qint64>(max, m_in.size());
        memcpy(data, m_in.constData(), size_t(n));
        m_in = m_in.mid(int(n));
        return n;
    }
    qint64 writeData(const char *, qint64 len) override { return len; }

private:
    QByteArray m_in;
};

QByteArray simuReply(int inputs)
{
    QByteArray body("WSimu");
    body.append(QByteArray(16, '\0'));
    body[5] = char(inputs);
    LinkProtocol::appendCrc(body);
    return body;
}

bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    QEventLoop loop;
    while (!done() && t.elapsed() < ms)
        loop.processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// A full read or write against the emulator, in seconds; -1 on failure.
double timeTransfer(quint16 port, bool write)
{
    ZoneStore store;
    ScanRecord scan;
    scan.connectionType = 1;
    SensorParameters params;
    std::array<int, 5> control{};
    QTcpSocket tcp;
    QUdpSocket udp;
    FeedDevice serial;
    SERIAL_COMM link(&serial, &scan, &store, &params, &control, &tcp, &udp);
    link.SetLanguage(0);
    bool done = false;
    QObject::connect(&link, &SERIAL_COMM::MessageSignal, [&](int, const QString &, const QString &t) {
        done = t == QLatin1String("Parameters Read OK") || t == QLatin1String("Parameters Write Complete");
    });
    tcp.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!tcp.waitForConnected(3000))
        return -1;
    QElapsedTimer t;
    t.start();
    if (write)
        link.WriteSensorAllDataSlots();
    else
        link.ReadSensorAllDataSlots();
    if (!waitFor([&] { return done; }, 20000))
        return -1;
    return t.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    // The stream: 12800 points per sweep (0.025 deg), with a WSimu reply
    // between packets now and then, as while the live view and the IO
    // polling run together.
    SimScene scene(3);
    constexpr int kSweeps = 300;
    QByteArray wire;
    int replies = 0;
    for (int s = 0; s < kSweeps; ++s) {
        std::vector<std::uint16_t> d, i;
        scene.advance(0.1);
        scene.sweep(12800, d, i);
        int n = 0;
        for (const QByteArray &p : streamPackets(d, i, 40)) {
            wire += p;
            if (++n % 20 == 0) {
                wire += simuReply(replies % 64);
                ++replies;
            }
        }
    }

    ZoneStore store;
    ScanRecord scan;
    scan.connectionType = 1;
    scan.ethernetMode = 0;
    SensorParameters params;
    std::array<int, 5> control{};
    FeedDevice serial, tcp, udp;
    SERIAL_COMM link(&serial, &scan, &store, &params, &control, &tcp, &udp);
    int sweeps = 0, io = 0;
    long long points = 0;
    bool ok = true;
    QObject::connect(&link, &SERIAL_COMM::ReceiveScanfData, [&] {
        ++sweeps;
        points += scan.sweepLength;
        ok = ok && scan.sweepLength == 12800;
    });
    QObject::connect(&link, &SERIAL_COMM::IOPortSignals, [&](uint in, uint) {
        ok = ok && int(in) == io % 64;
        ++io;
    });

    // Chunks from one TCP segment up to twenty: what one readyRead brings
    // while the stream runs (a read of 50000 bytes or more is dropped by the
    // link on purpose).
    QRandomGenerator rng(11);
    QElapsedTimer t;
    t.start();
    for (int at = 0; at < wire.size();) {
        const int n = qMin(wire.size() - at, 1460 * (1 + int(rng.bounded(20))));
        // The link takes a reply only to the request outstanding: whenever
        // it is idle, it asks for the simulation state, as its 200 ms poll
        // does. (The reply time-out would fire between reads on a real link;
        // the benchmark measures parsing, so no event loop runs here.)
        if (link.busyCode() == 0) {
            link.ReadSimulationTime();
            link.SerialPortSendData();
        }
        tcp.push(wire.constData() + at, n);
        at += n;
    }
    const double seconds = t.nsecsElapsed() / 1e9;

    // The first sweep only sets the resolution.
    if (!ok || sweeps != kSweeps - 1 || io != replies) {
        std::printf("FAILED: %d of %d sweeps, %d of %d replies\n", sweeps, kSweeps - 1, io, replies);
        return 1;
    }

    double readSeconds = -1, writeSeconds = -1;
    QProcess sim;
    sim.start(QStringLiteral(SECTOR_SIM_PATH),
              {"--bind", "127.0.0.1", "--tcp", "0", "--no-udp", "--no-discovery"});
    if (sim.waitForStarted(3000) && sim.waitForReadyRead(3000)) {
        const quint16 port = quint16(QString::fromLatin1(sim.readLine()).section(' ', 1).trimmed().toUInt());
        readSeconds = timeTransfer(port, false);
        writeSeconds = timeTransfer(port, true);
    }
    sim.terminate();
    sim.waitForFinished(3000);

    const double mb = wire.size() / 1e6;
    std::printf("bytes: %d in %.3f s\n", int(wire.size()), seconds);
    std::printf("sweeps: %d, replies: %d\n", sweeps, io);
    std::printf("full read s: %.3f (bound 1.32)\n", readSeconds);
    std::printf("full write s: %.3f (bound 1.32)\n", writeSeconds);
    std::printf("points/s: %.0f\n", points / seconds);
    std::printf("ingest MB/s: %.1f\n", mb / seconds);
    return 0;
}
