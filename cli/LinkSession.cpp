#include "cli/LinkSession.h"

#include "core/link/LinkProtocol.h"

#include "core/zones/DeviceType.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>

#include <unistd.h>

QString LinkOptions::describe() const
{
    switch (kind) {
    case Tcp: return QStringLiteral("%1:%2 (TCP)").arg(host).arg(port);
    case Udp: return QStringLiteral("%1:%2 (UDP)").arg(host).arg(port);
    case Serial: return QStringLiteral("%1 at %2 bit/s").arg(device).arg(baud);
    default: return QString();
    }
}

namespace {
bool hostPort(const QString &text, LinkOptions &out)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    out.host = colon >= 0 ? text.left(colon) : text;
    if (colon >= 0) {
        bool ok = false;
        const int port = text.mid(colon + 1).toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            return false;
        out.port = quint16(port);
    }
    return !out.host.isEmpty();
}
} // namespace

int parseLinkOptions(const QString &command, QStringList &args, LinkOptions &out, QTextStream &err)
{
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool takes = a == QLatin1String("--tcp") || a == QLatin1String("--udp")
                           || a == QLatin1String("--serial") || a == QLatin1String("--baud")
                           || a == QLatin1String("--model");
        if (!takes) {
            rest << a;
            continue;
        }
        if (i + 1 >= args.size()) {
            err << "sector-cli " << command << ": " << a << " needs a value\n";
            return 2;
        }
        const QString v = args[++i];
        if (a == QLatin1String("--tcp") || a == QLatin1String("--udp")) {
            out.kind = a == QLatin1String("--tcp") ? LinkOptions::Tcp : LinkOptions::Udp;
            if (!hostPort(v, out)) {
                err << "sector-cli " << command << ": not HOST[:PORT]: " << v << '\n';
                return 2;
            }
        } else if (a == QLatin1String("--serial")) {
            out.kind = LinkOptions::Serial;
            out.device = v;
        } else if (a == QLatin1String("--baud")) {
            bool ok = false;
            out.baud = v.toInt(&ok);
            if (!ok || out.baud <= 0) {
                err << "sector-cli " << command << ": not a baud rate: " << v << '\n';
                return 2;
            }
        } else {
            out.model = deviceModelFromName(v);
            if (out.model < 0) {
                err << "sector-cli " << command << ": unknown model " << v
                    << " (Laser05, Laser10, Laser20, Laser30 or Laser50)\n";
                return 2;
            }
        }
    }
    if (out.kind == LinkOptions::None) {
        err << "sector-cli " << command
            << ": say how to reach the sensor: --tcp HOST[:PORT], --udp HOST[:PORT] or "
               "--serial DEVICE\n";
        return 2;
    }
    args = rest;
    return 0;
}

LinkSession::LinkSession(const LinkOptions &options, QTextStream &err)
    : link(&serialPort, &scan, &store, &parameters, &control, &tcpSocket, &udpSocket),
      m_options(options), m_err(err), m_interactive(::isatty(2))
{
    store.setAllDetectionSize(1);
    for (int i = 0; i < kAreaCount; ++i)
        areaFrames << QByteArray();
    link.SetLanguage(0);
    DEVICETYPE type;
    type.type = options.model;
    link.SetMaximumRange(&type);
    scan.connectionType = options.ethernet() ? 1 : 0;
    scan.ethernetMode = options.kind == LinkOptions::Udp ? 1 : 0;

    connect(&link, &SERIAL_COMM::MessageSignal, this,
            [this](int icon, const QString &title, const QString &text) {
                m_messages << text;
                if (quietTitles.contains(title))
                    return;
                if (icon == SERIAL_COMM::Warning && text == QLatin1String("Connect OverTimer, Check Connect"))
                    m_gaveUp = true;
                m_err << title << ": " << text << '\n';
                m_err.flush();
            });
    connect(&link, &SERIAL_COMM::ProgressTitle, this, [this](const QString &t) { m_progressTitle = t; });
    connect(&link, &SERIAL_COMM::ProgressValue, this, [this](int v) {
        // A terminal sees the count move; a log gets one line per transfer.
        if (m_interactive)
            m_err << '\r' << m_progressTitle << ' ' << v << "/64" << (v == 64 ? "\n" : "");
        else if (v == 64)
            m_err << m_progressTitle << " 64/64\n";
        m_err.flush();
    });
    connect(&link, &SERIAL_COMM::FrameReceived, this, [this](const QByteArray &f) {
        if (f.startsWith("RArea")) {
            const int k = std::uint8_t(f[5]);
            if (k < kAreaCount)
                areaFrames[k] = f;
        } else if (f.startsWith("RCase")) {
            caseFrame = f;
        } else if (f.startsWith("RPara")) {
            parameterFrame = f;
        }
    });
    const auto socketError = [this](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::ConnectionRefusedError || e == QAbstractSocket::HostNotFoundError
            || e == QAbstractSocket::RemoteHostClosedError || e == QAbstractSocket::NetworkError) {
            QAbstractSocket *s = qobject_cast<QAbstractSocket *>(sender());
            fail(QStringLiteral("%1: %2").arg(m_options.describe(), s ? s->errorString() : QString()));
        }
    };
    connect(&tcpSocket, &QAbstractSocket::errorOccurred, this, socketError);
    connect(&udpSocket, &QAbstractSocket::errorOccurred, this, socketError);
    connect(&serialPort, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError)
            fail(QStringLiteral("Critical Error: %1").arg(serialPort.errorString()));
    });
}

void LinkSession::fail(const QString &why)
{
    if (m_failed)
        return;
    m_failed = true;
    m_err << "sector-cli: " << why << '\n';
    m_err.flush();
}

bool LinkSession::open()
{
    switch (m_options.kind) {
    case LinkOptions::Serial:
        serialPort.setPortName(m_options.device);
        serialPort.setBaudRate(m_options.baud);
        serialPort.setDataBits(QSerialPort::Data8);
        serialPort.setParity(QSerialPort::NoParity);
        serialPort.setStopBits(QSerialPort::OneStop);
        serialPort.setFlowControl(QSerialPort::NoFlowControl);
        if (!serialPort.open(QIODevice::ReadWrite)) {
            m_err << "Error: Serial Open error (" << m_options.device << ": "
                  << serialPort.errorString() << ")\n";
            m_failed = true;
            return false;
        }
        break;
    case LinkOptions::Tcp:
        tcpSocket.connectToHost(m_options.host, m_options.port, QIODevice::ReadWrite);
        // Unlike the window, which starts at once and lets the reply time-out
        // speak, a script is better told straight away that nobody answers.
        if (!tcpSocket.waitForConnected(5000)) {
            fail(QStringLiteral("%1: %2").arg(m_options.describe(), tcpSocket.errorString()));
            return false;
        }
        break;
    case LinkOptions::Udp:
        udpSocket.connectToHost(m_options.host, m_options.port, QIODevice::ReadWrite);
        break;
    case LinkOptions::None:
        return false;
    }
    if (m_options.ethernet() && !tcpSocket.isOpen() && !udpSocket.isOpen()) {
        m_err << "Error: Ethernet Open error (" << m_options.describe() << ")\n";
        m_failed = true;
        return false;
    }
    return true;
}

namespace {
// What the link is waiting for, by its busy code.
const char *awaited(int busy)
{
    using namespace LinkProtocol;
    for (const Command *c : {&RBoot, &RPrda, &RPara, &WPara, &RArea, &WArea, &RCase, &WCase,
                             &WSimu, &SCtrl, &RScan, &RStre})
        if (c->busyCode == busy)
            return c->token;
    return nullptr;
}
} // namespace

bool LinkSession::runUntil(const std::function<bool()> &done, int seconds)
{
    QEventLoop loop;
    QTimer check;
    check.setInterval(5);
    QElapsedTimer clock, still;
    clock.start();
    still.start();
    bool late = false;
    bool stalled = false;
    // Where the exchange stands: an area sequence moving on or a request
    // done is progress; a sensor answering the same request over and over
    // in a way that never ends it (an unknown status) is not.
    const auto position = [this] {
        QByteArray p;
        p.append(char(link.readAreaIndex())).append(char(link.writeAreaIndex()));
        for (int f = 0; f < SERIAL_COMM::FlagCount; ++f)
            p.append(link.flag(SERIAL_COMM::Flag(f)) ? '1' : '0');
        return p;
    };
    QByteArray last = position();
    int lastBusy = 0; // the request last seen outstanding
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        late = clock.elapsed() > seconds * 1000LL;
        if (link.busyCode())
            lastBusy = link.busyCode();
        const QByteArray now = position();
        if (now != last) {
            last = now;
            still.restart();
        }
        stalled = still.elapsed() > kStallSeconds * 1000LL;
        if (done() || m_gaveUp || m_failed || late || stalled)
            loop.quit();
    });
    check.start();
    if (!done() && !m_gaveUp && !m_failed)
        loop.exec();
    if (stalled && !done() && !m_gaveUp && !m_failed) {
        const char *token = awaited(lastBusy);
        fail(QStringLiteral("%1: no progress for %2 s while waiting for %3")
                 .arg(m_options.describe())
                 .arg(kStallSeconds)
                 .arg(token ? QStringLiteral("the reply to %1").arg(QLatin1String(token))
                            : QStringLiteral("the sensor")));
    } else if (late && !done() && !m_gaveUp && !m_failed) {
        fail(QStringLiteral("%1: the exchange did not end within %2 s").arg(m_options.describe()).arg(seconds));
    }
    return done() && !m_gaveUp && !m_failed;
}

void LinkSession::close()
{
    link.CloseSendReadScanf();
    link.CloseSendReadIntensity();
    link.CloseSendReadSimulation();
    link.ClearAllRequests();
    link.StopReplyTimer();
    if (tcpSocket.state() == QAbstractSocket::ConnectedState)
        tcpSocket.waitForBytesWritten(1000);
    serialPort.close();
    tcpSocket.close();
    udpSocket.close();
    link.CloseSerialPortSlots();
}
