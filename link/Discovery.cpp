#include "Discovery.h"

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QUdpSocket>

Discovery::Discovery(QObject *parent) : QObject(parent)
{
    // Tests aim the search at a loopback listener instead of the broadcast
    // address: SECTOR_DISCOVERY_TARGET=ADDR:PORT, SECTOR_DISCOVERY_LOCAL=ADDR.
    const QString target = qEnvironmentVariable("SECTOR_DISCOVERY_TARGET");
    const int colon = target.lastIndexOf(QLatin1Char(':'));
    if (colon > 0)
        setTarget(QHostAddress(target.left(colon)), quint16(target.mid(colon + 1).toUInt()));
    const QString local = qEnvironmentVariable("SECTOR_DISCOVERY_LOCAL");
    if (!local.isEmpty())
        setLocalAddresses({QHostAddress(local)});
}

Discovery::~Discovery()
{
    close();
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

void Discovery::setTarget(const QHostAddress &address, quint16 port)
{
    m_target = address;
    m_port = port;
}

void Discovery::setLocalAddresses(const QList<QHostAddress> &addresses)
{
    m_addresses = addresses;
    m_fixedAddresses = true;
}

QList<QHostAddress> Discovery::localIPv4Addresses()
{
    QList<QHostAddress> out;
    const QHostInfo info = QHostInfo::fromName(QHostInfo::localHostName());
    for (const QHostAddress &a : info.addresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            out << a;
    return out;
}

void Discovery::close()
{
    for (QUdpSocket *s : qAsConst(m_sockets)) {
        disconnect(s, nullptr, this, nullptr);
        delete s;
    }
    m_sockets.clear();
    if (!m_fixedAddresses)
        m_addresses.clear();
}

int Discovery::search()
{
    close();
    if (!m_fixedAddresses)
        m_addresses = localIPv4Addresses();
    quint16 port = 50000;
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
        s->writeDatagram(datagram, m_target, m_port);
    return m_sockets.size();
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
