#include "core/link/Discovery.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>

namespace {
struct TestTargets {
    bool set = false;
    QList<QHostAddress> locals;
    QHostAddress target;
    quint16 port = 0;
};

TestTargets &testTargets()
{
    static TestTargets pinned;
    return pinned;
}
} // namespace

Discovery::Discovery(QObject *parent) : QObject(parent)
{
    const TestTargets &pinned = testTargets();
    if (pinned.set) {
        setLocalAddresses(pinned.locals);
        setTarget(pinned.target, pinned.port);
    }
}

Discovery::~Discovery()
{
    close();
}

void Discovery::setTestTargets(const QList<QHostAddress> &locals, const QHostAddress &target,
                               quint16 port)
{
    testTargets() = TestTargets{true, locals, target, port};
}

void Discovery::clearTestTargets()
{
    testTargets() = TestTargets();
}

QByteArray Discovery::searchDatagram()
{
    return QByteArrayLiteral("M-SEARCH * HTTP/1.1\r\n"
                             "HOST: 239.255.255.250:1900\r\n"
                             "MAN: \"ssdp:discover\"\r\n"
                             "MX: 1\r\n"
                             "ST: urn:corvane-robot-com:device:KD-10:1.0\r\n");
}

QString Discovery::answerMode(const QByteArray &datagram)
{
    const int at = datagram.indexOf("MODE:");
    if (at < 0)
        return QString();
    QByteArray nine = datagram.mid(at, 9);
    const int zero = nine.indexOf('\0');
    if (zero >= 0)
        nine.truncate(zero);
    if (nine == "MODE: TCP" || nine == "MODE: UDP")
        return QString::fromLatin1(nine);
    return QString();
}

void Discovery::setSearchPort(quint16 port)
{
    m_searchPort = port;
}

void Discovery::setTarget(const QHostAddress &address, quint16 port)
{
    m_target = address;
    m_targetPort = port;
}

void Discovery::clearTarget()
{
    setTarget(QHostAddress(), 0);
}

void Discovery::setInterfaces(const InterfaceList &list)
{
    m_interfaces = list;
}

void Discovery::setLocalAddresses(const QList<QHostAddress> &addresses)
{
    setInterfaces([addresses] { return QList<Interface>{Interface{true, addresses}}; });
}

QList<Discovery::Interface> Discovery::systemInterfaces()
{
    QList<Interface> out;
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &i : all) {
        Interface entry;
        entry.up = i.flags().testFlag(QNetworkInterface::IsUp);
        for (const QNetworkAddressEntry &e : i.addressEntries())
            entry.addresses << e.ip();
        out << entry;
    }
    return out;
}

QList<QHostAddress> Discovery::searchAddresses(const QList<Interface> &interfaces)
{
    QList<QHostAddress> out;
    for (const Interface &i : interfaces) {
        if (!i.up)
            continue;
        for (const QHostAddress &a : i.addresses)
            if (a.protocol() == QAbstractSocket::IPv4Protocol && !out.contains(a))
                out << a;
    }
    return out;
}

void Discovery::close()
{
    for (QUdpSocket *s : qAsConst(m_sockets)) {
        disconnect(s, nullptr, this, nullptr);
        delete s;
    }
    m_sockets.clear();
    m_addresses.clear();
}

int Discovery::search()
{
    close();
    m_addresses = searchAddresses(m_interfaces());
    quint16 port = kFirstLocalPort;
    for (const QHostAddress &a : qAsConst(m_addresses)) {
        auto *s = new QUdpSocket(this);
        // Another search (the welcome dialog's, say) may hold a port:
        // the next free one serves as well.
        bool bound = false;
        for (int tries = 0; tries < 100 && !bound; ++tries, ++port)
            bound = s->bind(a, port);
        if (!bound) {
            delete s;
            continue;
        }
        connect(s, &QUdpSocket::readyRead, this, &Discovery::readAnswers);
        m_sockets << s;
    }
    const QByteArray datagram = searchDatagram();
    for (QUdpSocket *s : qAsConst(m_sockets))
        send(s, datagram);
    return m_sockets.size();
}

void Discovery::send(QUdpSocket *socket, const QByteArray &datagram)
{
    if (!m_target.isNull()) {
        socket->writeDatagram(datagram, m_target, m_targetPort);
        return;
    }
    socket->writeDatagram(datagram, QHostAddress::Broadcast, m_searchPort);
    if (socket->localAddress().isLoopback())
        socket->writeDatagram(datagram, QHostAddress::LocalHost, m_searchPort);
}

void Discovery::readAnswers()
{
    QStringList addresses;
    for (QUdpSocket *s : qAsConst(m_sockets)) {
        if (!s->hasPendingDatagrams())
            continue;
        const QNetworkDatagram d = s->receiveDatagram();
        const QString address = QHostAddress(d.senderAddress().toIPv4Address()).toString();
        addresses << address;
        const QString mode = answerMode(d.data());
        Q_EMIT answerRead(address, mode);
        if (!mode.isEmpty())
            Q_EMIT modeAnswered(mode);
    }
    Q_EMIT answersRead(addresses);
}
