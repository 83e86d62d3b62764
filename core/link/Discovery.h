#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

class QUdpSocket;

// The search for sensors on the local network: one UDP socket per IPv4
// address of every interface that is up, bound from port 50000 upwards, each
// sending the search datagram to the broadcast address, port 1900. Every
// answer names its sender and may say whether the sensor serves TCP or UDP.
class Discovery : public QObject
{
    Q_OBJECT
public:
    struct Interface {
        bool up = false;
        QList<QHostAddress> addresses;
    };
    using InterfaceList = std::function<QList<Interface>()>;

    static constexpr quint16 kSearchPort = 1900;
    static constexpr quint16 kFirstLocalPort = 50000;

    explicit Discovery(QObject *parent = nullptr);
    ~Discovery() override;

    static QByteArray searchDatagram();
    // "MODE: TCP" or "MODE: UDP" when the answer names one exactly, else empty.
    static QString answerMode(const QByteArray &datagram);

    // The port the search goes to: on the broadcast address from every
    // socket, and on 127.0.0.1 from the loopback ones as well, because a
    // sensor emulator bound to loopback never sees a broadcast.
    void setSearchPort(quint16 port);
    // One destination instead of those; clearTarget() goes back to them.
    void setTarget(const QHostAddress &address, quint16 port);
    void clearTarget();

    // Where the search comes from: the interfaces of this computer unless
    // told otherwise. Fixed addresses count as one interface that is up.
    void setInterfaces(const InterfaceList &list);
    void setLocalAddresses(const QList<QHostAddress> &addresses);
    static QList<Interface> systemInterfaces();
    // The IPv4 addresses of the interfaces that are up, in their order.
    static QList<QHostAddress> searchAddresses(const QList<Interface> &interfaces);

    // Every Discovery created afterwards searches from `locals` to `target`
    // only. Tests and the manual's picture tool call it before building any
    // window, so that nothing they run searches beyond loopback.
    static void setTestTargets(const QList<QHostAddress> &locals, const QHostAddress &target,
                               quint16 port);
    static void clearTestTargets();

    // Closes any earlier search, binds one socket per local address and
    // sends the search from each. Returns how many sockets were bound.
    int search();
    void close();

    const QList<QUdpSocket *> &sockets() const { return m_sockets; }

Q_SIGNALS:
    // The senders of the answers read in one readyRead, in socket order.
    void answersRead(const QStringList &addresses);
    // An answer that named the sensor's mode.
    void modeAnswered(const QString &mode);
    // Each answer with the mode it named (empty when none).
    void answerRead(const QString &address, const QString &mode);

private:
    void readAnswers();
    void send(QUdpSocket *socket, const QByteArray &datagram);

    QList<QUdpSocket *> m_sockets;
    QList<QHostAddress> m_addresses;
    InterfaceList m_interfaces = &Discovery::systemInterfaces;
    quint16 m_searchPort = kSearchPort;
    QHostAddress m_target; // null: the broadcast address (and loopback)
    quint16 m_targetPort = 0;
};
