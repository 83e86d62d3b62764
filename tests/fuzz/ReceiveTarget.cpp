#include "tests/fuzz/FuzzChecks.h"
#include "tests/fuzz/FuzzTargets.h"

#include "core/link/LinkProtocol.h"
#include "core/link/ReceivePath.h"
#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/zones/DeviceType.h"
#include "core/zones/ZoneStore.h"

#include "tests/support/FakeTransport.h"

// The input drives a link controller over fake transports:
//   byte 0   bit 0 Ethernet (else the serial port), bit 1 UDP (else TCP),
//            bits 2-4 the device model (5..7: none, the widest clamp),
//            bit 5 control enabled (SCtrl goes out with the simulation poll)
// then records of [op][arg], by op % 8:
//   0, 1     one read of ((op >> 3) << 8 | arg) bytes; 0 takes all that is left
//   2        one read of a reply with a valid CRC; [len] and len bytes begin
//            its payload, zeros fill the rest. arg bit 7 set: the reply to
//            the request outstanding (an RArea reply names the area asked
//            for); else the reply of kReplyTokens[arg % 12]
//   3        a request (arg % 8: information, reboot, read all, write all,
//            scan, intensity, simulation, none), then one send tick
//   4        one send tick
//   5        the reply time-out
//   6        one read of 8192 bytes of the value arg, to reach the ceiling
//   7        the link closed: buffer emptied, requests dropped

namespace FuzzTargets {

namespace {
using namespace LinkProtocol;

QByteArray replyFrame(const Command &c, const QByteArray &start)
{
    const bool scan = c.crcOver == 0;
    QByteArray f(scan ? kSerialScanLength : c.crcOver, '\0');
    f.replace(0, 5, QByteArray::fromRawData(c.token, 5));
    f.replace(5, qMin(start.size(), f.size() - 5), start.constData(), qMin(start.size(), f.size() - 5));
    if (!scan)
        appendCrc(f);
    return f;
}

const Command *outstanding(int busy)
{
    for (const Command *c : ReceivePath::kReplyTokens)
        if (c->busyCode == busy)
            return c;
    return nullptr;
}

bool validBusy(int busy)
{
    return busy == BusyIdle || outstanding(busy);
}

struct Link {
    ZoneStore store;
    ScanRecord scan;
    SensorParameters parameters;
    std::array<int, 5> control{{0, 1, 1, 0, 0}};
    FakeTransport serial, tcp, udp;
    SERIAL_COMM link{&serial, &scan, &store, &parameters, &control, &tcp, &udp};
    int messages = 0;

    Link() { QObject::connect(&link, &SERIAL_COMM::MessageSignal, [this] { ++messages; }); }

    FakeTransport &selected()
    {
        if (scan.connectionType == 0)
            return serial;
        return scan.ethernetMode == 0 ? tcp : udp;
    }

    // One read, and what must hold after it.
    QString read(const QByteArray &bytes)
    {
        selected().feedNow(bytes);
        const int size = link.receiveBuffer().size();
        if (size >= ReceivePath::kCeiling)
            return QStringLiteral("%1 bytes left in the receive buffer after a read of %2")
                .arg(size)
                .arg(bytes.size());
        return state();
    }

    QString state() const
    {
        if (!validBusy(link.busyCode()))
            return QStringLiteral("busy code %1").arg(link.busyCode());
        if (link.readAreaIndex() < 0 || link.readAreaIndex() > 63)
            return QStringLiteral("read area index %1").arg(link.readAreaIndex());
        if (link.writeAreaIndex() < 0 || link.writeAreaIndex() > 64)
            return QStringLiteral("write area index %1").arg(link.writeAreaIndex());
        if (scan.ringIndex < 0 || scan.ringIndex >= ScanRecord::kRingSize)
            return QStringLiteral("ring index %1").arg(scan.ringIndex);
        if (scan.sweepLength < 0 || scan.sweepLength > ScanRecord::kRingSize)
            return QStringLiteral("sweep length %1").arg(scan.sweepLength);
        return QString();
    }

    void request(int what)
    {
        switch (what % 8) {
        case 0: link.SensorInformationSlots(); break;
        case 1: link.SensorRebootSlots(); break;
        case 2: link.ReadSensorAllDataSlots(); break;
        case 3: link.WriteSensorAllDataSlots(); break;
        case 4: link.ReadScanfTime(); break;
        case 5: link.ReadIntensityTime(); break;
        case 6: link.ReadSimulationTime(); break;
        default: break;
        }
        link.SerialPortSendData();
    }

    // Whatever came before, an information request answered by a whole
    // reply is taken, unless a token that parses ahead of it is still
    // waiting for its frame. One reply may be lost to the ceiling.
    QString recovers()
    {
        const QByteArray &rx = link.receiveBuffer();
        if (rx.contains(RBoot.token) || rx.contains(RPrda.token))
            return QString();
        link.StopReplyTimer();
        link.ClearAllRequests();
        link.SensorInformationSlots();
        link.SerialPortSendData();
        if (link.busyCode() != RPrda.busyCode)
            return QStringLiteral("the information request did not go out");
        const int before = messages;
        for (int attempt = 0; attempt < 2 && messages == before; ++attempt) {
            const QString wrong = read(replyFrame(RPrda, QByteArray()));
            if (!wrong.isEmpty())
                return wrong;
        }
        return messages == before ? QStringLiteral("a valid reply after the input was not taken")
                                  : QString();
    }

    QString values() const
    {
        const int max = link.maximumRange();
        for (int i = 0; i < ScanRecord::kRingSize; ++i)
            if (scan.distanceRing[size_t(i)] > max || scan.intensityRing[size_t(i)] > max)
                return QStringLiteral("ring entry %1 above the maximum range %2").arg(i).arg(max);
        for (int i = 0; i < ScanRecord::kSerialPoints; ++i)
            if (scan.serialDistances[size_t(i)] > max || scan.serialIntensities[size_t(i)] > max)
                return QStringLiteral("serial value %1 above the maximum range %2").arg(i).arg(max);
        for (int a = 0; a < kAreaCount; ++a) {
            const QString wrong = FuzzChecks::storedArea(a, store.areas[a], ShapeRatio, 100);
            if (!wrong.isEmpty())
                return wrong;
        }
        return QString();
    }
};
} // namespace

QString receivePath(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QString();
    FuzzChecks::Reader in{bytes};
    Link l;
    const int setup = in.byte();
    l.scan.connectionType = setup & 1;
    l.scan.ethernetMode = (setup >> 1) & 1;
    DEVICETYPE type;
    type.type = (setup >> 2) & 7;
    l.link.SetMaximumRange(&type);
    l.control[4] = (setup >> 5) & 1;

    while (!in.atEnd()) {
        const int op = in.byte();
        const int arg = in.byte();
        QString wrong;
        switch (op % 8) {
        case 0:
        case 1: {
            const int n = ((op >> 3) << 8) | arg;
            wrong = l.read(in.take(n ? n : bytes.size()));
            break;
        }
        case 2: {
            const Command *c = (arg & 0x80) ? outstanding(l.link.busyCode())
                                            : ReceivePath::kReplyTokens[arg % 12];
            QByteArray start = in.take(in.byte());
            if (!c)
                break;
            if ((arg & 0x80) && c == &RArea)
                start = char(l.link.readAreaIndex()) + start.mid(1);
            wrong = l.read(replyFrame(*c, start));
            break;
        }
        case 3: l.request(arg); break;
        case 4: l.link.SerialPortSendData(); break;
        case 5: l.link.ReadWriteOverTime(); break;
        case 6: wrong = l.read(QByteArray(8192, char(arg))); break;
        default:
            l.link.CloseSerialPortSlots();
            l.link.StopReplyTimer();
            l.link.ClearAllRequests();
            break;
        }
        if (wrong.isEmpty())
            wrong = l.state();
        if (!wrong.isEmpty())
            return QStringLiteral("op %1 at byte %2: ").arg(op % 8).arg(in.at) + wrong;
    }
    QString wrong = l.values();
    if (wrong.isEmpty())
        wrong = l.recovers();
    return wrong;
}

namespace ReceiveInput {

QByteArray reads(const QByteArray &bytes, int piece)
{
    QByteArray out;
    const int step = piece > 0 ? piece : 0x1FFF;
    for (int at = 0; at < bytes.size(); at += step) {
        const int n = qMin(step, bytes.size() - at);
        out += char((n >> 8) << 3);
        out += char(n & 0xFF);
        out += bytes.mid(at, n);
    }
    return out;
}

QByteArray answer(const QByteArray &start)
{
    const QByteArray s = start.left(255);
    return QByteArray(1, 2) + char(0x80) + char(s.size()) + s;
}

QByteArray request(Request what)
{
    return QByteArray(1, 3) + char(what);
}

QByteArray tick()
{
    return QByteArray(1, 4) + char(0);
}

QByteArray timeout()
{
    return QByteArray(1, 5) + char(0);
}

} // namespace ReceiveInput

} // namespace FuzzTargets
