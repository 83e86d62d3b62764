#include "sim/SimServer.h"

#include "core/link/AreaCodec.h"
#include "core/link/LinkProtocol.h"
#include "core/sensor/CaseSelection.h"

#include <QDir>
#include <QFile>
#include <QNetworkDatagram>
#include <QPointer>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

bool SimFaults::parse(const QString &spec, QString *error)
{
    for (const QString &part : spec.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString key = part.section(QLatin1Char('='), 0, 0).trimmed();
        const QString value = part.section(QLatin1Char('='), 1).trimmed();
        bool ok = false;
        if (key == QLatin1String("drop"))
            drop = value.toDouble(&ok);
        else if (key == QLatin1String("corrupt"))
            corrupt = value.toDouble(&ok);
        else if (key == QLatin1String("split"))
            split = value.toInt(&ok) != 0;
        else if (key == QLatin1String("delay"))
            delayMs = value.toInt(&ok);
        else if (key == QLatin1String("reject"))
            ok = (reject = value.toInt()) == 1 || reject == 2;
        else if (key == QLatin1String("close-after"))
            ok = (closeAfter = value.toInt()) > 0;
        else if (key == QLatin1String("forget-area"))
            ok = (forgetArea = value.toInt()) >= 0 && forgetArea < 64;
        if (!ok) {
            if (error)
                *error = QStringLiteral("bad fault \"%1\" (drop=P, corrupt=P, split=1, delay=MS, "
                                        "reject=1|2, close-after=N, forget-area=N)")
                             .arg(part);
            return false;
        }
    }
    return true;
}

SimServer::SimServer(const Options &options, QObject *parent)
    : QObject(parent), m_options(options), m_scene(options.seed), m_rng(options.seed)
{
    m_model.rejectStatus = options.faults.reject;
    m_model.forgetArea = options.faults.forgetArea;
    m_model.live = [this] { return live(); };
    m_model.serialScan = [this](bool intensity) { return m_scene.serialScan(intensity); };
    m_model.streamSwitched = [this](bool on) {
        m_streamClient = on ? m_lastClient : nullptr;
        updateStreamTimer();
    };
    m_model.rebooted = [this] {
        m_streamClient = nullptr;
        updateStreamTimer();
    };
    connect(&m_streamTimer, &QTimer::timeout, this, &SimServer::streamTick);
    connect(&m_paceTimer, &QTimer::timeout, this, &SimServer::paceTick);
    m_clock.start();
}

SimServer::~SimServer()
{
    if (m_ptySlave >= 0)
        ::close(m_ptySlave);
    if (m_ptyMaster >= 0)
        ::close(m_ptyMaster);
}

bool SimServer::start(QStringList *endpoints, QString *error)
{
    if (!m_options.stateFile.isEmpty() && QFile::exists(m_options.stateFile)) {
        QFile f(m_options.stateFile);
        if (!f.open(QIODevice::ReadOnly) || !m_model.restoreState(f.readAll())) {
            *error = QStringLiteral("cannot read state file %1").arg(m_options.stateFile);
            return false;
        }
    }

    if (m_options.tcpPort >= 0) {
        m_tcpServer = new QTcpServer(this);
        if (!m_tcpServer->listen(m_options.bind, quint16(m_options.tcpPort))) {
            *error = QStringLiteral("tcp port %1: %2").arg(m_options.tcpPort).arg(m_tcpServer->errorString());
            return false;
        }
        connect(m_tcpServer, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_tcpServer->nextPendingConnection()) {
                auto *c = new Client(Peer::Tcp, this);
                c->tcp = s;
                m_tcpClients.insert(s, c);
                connect(s, &QTcpSocket::readyRead, this, [this, s] {
                    if (Client *c = m_tcpClients.value(s))
                        received(*c, s->readAll());
                });
                // Also emitted from inside a write to the socket (a reset
                // peer), so nothing is deleted at once.
                connect(s, &QTcpSocket::disconnected, this, [this, s] {
                    if (Client *c = m_tcpClients.take(s))
                        forget(c);
                    s->deleteLater();
                });
            }
        });
        *endpoints << QStringLiteral("tcp %1").arg(m_tcpServer->serverPort());
    }

    if (m_options.udpPort >= 0) {
        m_udp = new QUdpSocket(this);
        if (!m_udp->bind(m_options.bind, quint16(m_options.udpPort))) {
            *error = QStringLiteral("udp port %1: %2").arg(m_options.udpPort).arg(m_udp->errorString());
            return false;
        }
        connect(m_udp, &QUdpSocket::readyRead, this, [this] {
            while (m_udp->hasPendingDatagrams()) {
                const QNetworkDatagram d = m_udp->receiveDatagram();
                received(*udpClient(d.senderAddress(), quint16(d.senderPort())), d.data());
            }
        });
        *endpoints << QStringLiteral("udp %1").arg(m_udp->localPort());
    }

    if (m_options.serial) {
        m_ptyMaster = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_ptyMaster < 0 || ::grantpt(m_ptyMaster) != 0 || ::unlockpt(m_ptyMaster) != 0) {
            *error = QStringLiteral("cannot open a pseudo-terminal");
            return false;
        }
        const QString slave = QString::fromLocal8Bit(::ptsname(m_ptyMaster));
        // Keeping the slave open ourselves means a client closing it does not
        // hang up the master; raw mode so no byte is translated.
        m_ptySlave = ::open(::ptsname(m_ptyMaster), O_RDWR | O_NOCTTY);
        termios tio;
        if (m_ptySlave >= 0 && ::tcgetattr(m_ptySlave, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(m_ptySlave, TCSANOW, &tio);
        }
        ::fcntl(m_ptyMaster, F_SETFL, ::fcntl(m_ptyMaster, F_GETFL) | O_NONBLOCK);
        m_serialClient = new Client(Peer::Serial, this);
        m_ptyNotifier = new QSocketNotifier(m_ptyMaster, QSocketNotifier::Read, this);
        connect(m_ptyNotifier, &QSocketNotifier::activated, this, [this] {
            char buf[4096];
            const ssize_t n = ::read(m_ptyMaster, buf, sizeof buf);
            if (n > 0)
                received(*m_serialClient, QByteArray(buf, int(n)));
        });
        *endpoints << QStringLiteral("serial %1").arg(slave);
    }

    if (m_options.discoveryPort >= 0) {
        m_discovery = new QUdpSocket(this);
        if (!m_discovery->bind(m_options.bind, quint16(m_options.discoveryPort),
                               QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
            *error = QStringLiteral("discovery port %1: %2")
                         .arg(m_options.discoveryPort)
                         .arg(m_discovery->errorString());
            return false;
        }
        connect(m_discovery, &QUdpSocket::readyRead, this, [this] {
            while (m_discovery->hasPendingDatagrams()) {
                const QNetworkDatagram d = m_discovery->receiveDatagram();
                if (!d.data().contains("M-SEARCH"))
                    continue;
                const QByteArray answer =
                    "HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=1800\r\n"
                    "ST: urn:corvane-robot-com:device:KD-10:1.0\r\nPORT: "
                    + QByteArray::number(m_udp ? m_udp->localPort()
                                               : (m_tcpServer ? m_tcpServer->serverPort() : 0))
                    + "\r\nMODE: " + m_options.mode.toLatin1() + "\r\n\r\n";
                m_discovery->writeDatagram(answer, d.senderAddress(), quint16(d.senderPort()));
            }
        });
        *endpoints << QStringLiteral("discovery %1").arg(m_discovery->localPort());
    }
    return true;
}

SimServer::Client *SimServer::udpClient(const QHostAddress &address, quint16 port)
{
    const QString key = address.toString() + QLatin1Char(':') + QString::number(port);
    Client *c = m_udpClients.value(key);
    if (!c) {
        if (m_udpClients.size() >= kMaxUdpPeers) {
            // The one heard from least recently goes, unless it is being
            // streamed to.
            Client *quietest = nullptr;
            for (Client *k : qAsConst(m_udpClients))
                if (k != m_streamClient &&
                    (!quietest || k->lastBytes.elapsed() > quietest->lastBytes.elapsed()))
                    quietest = k;
            if (quietest) {
                m_udpClients.remove(m_udpClients.key(quietest));
                forget(quietest);
            }
        }
        c = new Client(Peer::Udp, this);
        c->address = address;
        c->port = port;
        m_udpClients.insert(key, c);
    }
    return c;
}

void SimServer::forget(Client *client)
{
    client->closed = true;
    if (client == m_streamClient) {
        m_streamClient = nullptr;
        updateStreamTimer();
    }
    client->deleteLater();
}

void SimServer::received(Client &client, const QByteArray &bytes)
{
    if (client.closed)
        return;
    if (!client.pending.isEmpty() && client.lastBytes.isValid() &&
        client.lastBytes.elapsed() > kRequestGapMs)
        client.pending.clear();
    client.lastBytes.start();
    m_lastClient = &client;
    const QList<QByteArray> replies = m_model.feed(client.pending, bytes);
    // Frames that changed what the sensor holds are saved at once.
    bool wrote = false;
    for (const QByteArray &r : replies)
        if (r.startsWith("WArea") || r.startsWith("WCase") || r.startsWith("WPara"))
            wrote = true;
    if (wrote && m_options.faults.reject == 0)
        saveState();
    for (const QByteArray &r : replies) {
        if (client.closed)
            return; // reset while a reply went out
        ++client.answered;
        sendReply(client, r);
        if (m_options.faults.closeAfter > 0 && client.answered >= m_options.faults.closeAfter) {
            client.closed = true;
            if (client.tcp)
                client.tcp->disconnectFromHost();
            if (client.kind == Peer::Serial && m_ptyMaster >= 0) {
                delete m_ptyNotifier;
                m_ptyNotifier = nullptr;
            }
            return;
        }
    }
}

void SimServer::sendReply(Client &client, QByteArray reply)
{
    const SimFaults &f = m_options.faults;
    if (f.drop > 0 && m_rng.generateDouble() < f.drop)
        return;
    const bool hasCrc = !reply.startsWith("RScan") && !reply.startsWith("RStre");
    if (f.corrupt > 0 && m_rng.generateDouble() < f.corrupt && hasCrc && reply.size() > 7)
        reply[reply.size() - 1] = char(reply[reply.size() - 1] ^ 0x5A);
    if (f.delayMs > 0) {
        // The client may be gone when the reply is due; another one at the
        // same address is not it.
        QTimer::singleShot(f.delayMs, this, [this, c = QPointer<Client>(&client), reply] {
            if (c)
                writeTo(*c, reply);
        });
        return;
    }
    writeTo(client, reply);
}

void SimServer::writeTo(Client &client, const QByteArray &bytes)
{
    QList<QByteArray> pieces;
    if (m_options.faults.split && client.kind == Peer::Udp && bytes.size() > 1) {
        // Datagrams are cut in two: hundreds of tiny ones would only
        // overrun the receiver's socket buffer.
        const int cut = 1 + int(m_rng.bounded(bytes.size() - 1));
        pieces << bytes.left(cut) << bytes.mid(cut);
    } else if (m_options.faults.split) {
        for (int at = 0; at < bytes.size();) {
            const int n = 1 + int(m_rng.bounded(7));
            pieces << bytes.mid(at, n);
            at += n;
        }
    } else {
        pieces << bytes;
    }
    for (const QByteArray &p : pieces) {
        if (client.closed)
            return; // a flush below found the peer gone
        switch (client.kind) {
        case Peer::Tcp:
            if (!client.tcp)
                return;
            client.tcp->write(p);
            if (m_options.faults.split)
                client.tcp->flush();
            break;
        case Peer::Udp:
            m_udp->writeDatagram(p, client.address, client.port);
            break;
        case Peer::Serial:
            if (m_ptyMaster >= 0) {
                const char *d = p.constData();
                qint64 left = p.size();
                while (left > 0) {
                    const ssize_t n = ::write(m_ptyMaster, d, size_t(left));
                    if (n <= 0)
                        break;
                    d += n;
                    left -= n;
                }
            }
            break;
        }
    }
}

int SimServer::perDegree() const
{
    static const int table[5] = {40, 20, 10, 4, 2};
    const int angle = m_model.parameters().ScanSensorAngle;
    return angle >= 0 && angle < 5 ? table[angle] : 20;
}

void SimServer::updateStreamTimer()
{
    if (!m_streamClient) {
        m_streamTimer.stop();
        return;
    }
    const SensorParameters p = m_model.parameters();
    // 0.025 deg is measured at 10 Hz only.
    const bool fast = p.ScanMotorSpeed == 1 && p.ScanSensorAngle != 0;
    m_streamTimer.setInterval(fast ? 50 : 100);
    if (!m_streamTimer.isActive())
        m_streamTimer.start();
}

void SimServer::streamTick()
{
    if (!m_streamClient || m_streamClient->closed)
        return;
    followClock();
    const int r = perDegree();
    std::vector<std::uint16_t> d, i;
    m_scene.sweep(r * 320, d, i);
    // The sensor sends a sweep as it measures it: packets spread over the
    // sweep period, in slices every 10 ms, not one burst per sweep. Its
    // outputs switch on the sweep when it is complete, as its last packet
    // leaves.
    m_streamQueue += streamPackets(d, i, r);
    ScanEvaluation::Sweep sweep;
    sweep.startDeg = -70.0f;
    sweep.stepDeg = 320.0f / float(r * 320);
    sweep.distances = QVector<std::uint16_t>(d.begin(), d.end());
    m_streamSweeps.push_back({m_packetsQueued + m_streamQueue.size(), sweep});
    m_streamSlices = qMax(1, m_streamTimer.interval() / 10);
    if (!m_paceTimer.isActive())
        m_paceTimer.start(10);
}

void SimServer::paceTick()
{
    if (!m_streamClient || m_streamClient->closed || m_streamQueue.isEmpty()) {
        m_packetsQueued += m_streamQueue.size();
        m_streamQueue.clear();
        m_streamSweeps.clear();
        m_paceTimer.stop();
        return;
    }
    const int n = qMax(1, (m_streamQueue.size() + m_streamSlices - 1) / m_streamSlices);
    // A write may find the client gone, which ends the stream.
    for (int k = 0; k < n && m_streamClient && !m_streamQueue.isEmpty(); ++k) {
        writeTo(*m_streamClient, m_streamQueue.takeFirst());
        ++m_packetsQueued;
        while (!m_streamSweeps.empty() && m_streamSweeps.front().first <= m_packetsQueued) {
            m_streamSweeps.front().second.timeMs = double(m_clock.elapsed());
            evaluate(m_streamSweeps.front().second);
            m_streamSweeps.pop_front();
        }
    }
    m_streamSlices = qMax(1, m_streamSlices - 1);
}

void SimServer::followClock()
{
    // The object walks in real time, whether anyone looks or not.
    m_scene.advance(m_clock.elapsed() / 1000.0 - m_scene.time());
}

int SimServer::areaInForce() const
{
    const QByteArray sim = m_model.simulationBytes();
    const int mode = std::uint8_t(sim[0]);
    // Forced inputs, or the case channel that matches the simulated vehicle,
    // else area 0.
    if (mode == 1)
        return std::uint8_t(sim[1]) & 63;
    if (mode != 2)
        return 0;
    const QByteArray cases = m_model.caseBytes();
    QVector<CaseSelection::Channel> channels(64);
    for (int a = 0; a < 64; ++a) {
        const int b = 10 * a;
        channels[a] = {LinkProtocol::getS16(cases, b), LinkProtocol::getS16(cases, b + 2),
                       LinkProtocol::getS16(cases, b + 4), LinkProtocol::getS16(cases, b + 6),
                       LinkProtocol::getS16(cases, b + 8)};
    }
    return qMax(0, CaseSelection::applies(channels, LinkProtocol::getS16(sim, 2),
                                          LinkProtocol::getS16(sim, 4), LinkProtocol::getS16(sim, 6)));
}

std::uint8_t SimServer::evaluate(const ScanEvaluation::Sweep &sweep)
{
    const int area = areaInForce();
    const QByteArray image = m_model.areaImage(area);
    // The area or its values changed: it starts afresh.
    if (!m_evaluator || image != m_evaluatedArea) {
        AreaRecord record;
        AreaCodec::decode("RArea" + image + QByteArray(2, '\0'), record);
        m_evaluator = std::make_unique<ScanEvaluation::AreaEvaluator>(record, 72000);
        m_evaluatedArea = image;
    }
    return m_evaluator->feed(sweep);
}

SensorModel::Live SimServer::live()
{
    SensorModel::Live l;
    const QByteArray sim = m_model.simulationBytes();
    const bool outputSim = sim[8] != 0;
    const int outputWord = std::uint8_t(sim[9]);
    l.inputs = std::uint8_t(areaInForce());
    const bool fault = sim[10] != 0;
    if (fault) {
        l.outputs = 0; // a faulted sensor drops every output
    } else if (outputSim) {
        l.outputs = std::uint8_t(outputWord & 7);
    } else if (m_streamClient && m_evaluator && m_model.areaImage(l.inputs) == m_evaluatedArea) {
        // While it streams, the sensor switches on the sweeps it sends.
        l.outputs = m_evaluator->outputs();
    } else {
        followClock();
        const std::vector<std::uint16_t> d = m_scene.scanDistances();
        ScanEvaluation::Sweep sweep;
        sweep.timeMs = double(m_clock.elapsed());
        sweep.startDeg = -69.5f;
        sweep.stepDeg = 0.5f;
        sweep.distances = QVector<std::uint16_t>(d.begin(), d.end());
        l.outputs = evaluate(sweep);
    }
    const SensorParameters p = m_model.parameters();
    const double t = m_clock.elapsed() / 1000.0;
    l.temperature = std::int16_t(3650 + int(80 * std::sin(t / 60)));
    l.rotateSpeed = std::uint16_t((p.ScanMotorSpeed == 1 ? 1200 : 600) + int(m_rng.bounded(5)) - 2);
    l.driveVoltage = std::uint16_t(2400 + int(m_rng.bounded(9)) - 4);
    l.sendVoltage = std::uint16_t(1850 + int(m_rng.bounded(7)) - 3);
    l.receiveVoltage = std::uint16_t(12000 + int(m_rng.bounded(21)) - 10);
    return l;
}

void SimServer::saveState()
{
    if (m_options.stateFile.isEmpty())
        return;
    QSaveFile f(m_options.stateFile);
    const QByteArray state = m_model.saveState();
    if (!f.open(QIODevice::WriteOnly) || f.write(state) != state.size() || !f.commit())
        std::fprintf(stderr, "sector-sim: cannot save the state to %s: %s\n",
                     qPrintable(QDir::toNativeSeparators(m_options.stateFile)),
                     qPrintable(f.errorString()));
}
