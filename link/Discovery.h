#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QStringList>

class QUdpSocket;

// The search for sensors on the local network: one UDP socket per IPv4
// address of this computer, bound from port 50000 upwards, each sending the
// search datagram to the broadcast address, port 1900. Every answer names
// its sender and may say whether the sensor serves TCP or UDP.
class Discovery : public QObject
{
    Q_OBJECT
public:
    explicit Discovery(QObject *parent = nullptr);
    ~Discovery() override;

    static QByteArray searchDatagram();
    // "MODE: TCP" or "MODE: UDP" when the answer names one exactly, else empty.
    static QString answerMode(const QByteArray &datagram);

    // Where the search goes; tests point it at a loopback emulator.
    void setTarget(const QHostAddress &address, quint16 port);
    // This computer's IPv4 addresses as the host name resolves; tests may
    // give their own.
    void setLocalAddresses(const QList<QHostAddress> &addresses);
    static QList<QHostAddress> localIPv4Addresses();

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

    QList<QUdpSocket *> m_sockets;
    QList<QHostAddress> m_addresses;
    bool m_fixedAddresses = false;
    QHostAddress m_target = QHostAddress::Broadcast;
    quint16 m_port = 1900;
};
