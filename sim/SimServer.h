#pragma once

#include "SensorModel.h"
#include "SimScene.h"

#include <QHash>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;
class QUdpSocket;

// Faults injected for tests, named after protocol steps.
struct SimFaults {
    double drop = 0;    // fraction of replies not sent
    double corrupt = 0; // fraction of replies with a broken CRC
    bool split = false; // replies written in small pieces
    int delayMs = 0;    // every reply this much later
    int reject = 0;     // write commands answered with status 1 or 2
    int closeAfter = 0; // connection closed after this many answered frames

    // "drop=0.1,corrupt=0.05,split=1,delay=20,reject=1,close-after=30";
    // false and a reason for anything else.
    bool parse(const QString &spec, QString *error);
};

// sector-sim's serving side: the protocol over TCP, UDP and a pseudo-
// terminal, the scan stream, discovery answers, persisted state.
class SimServer : public QObject
{
    Q_OBJECT
public:
    struct Options {
        QHostAddress bind = QHostAddress::AnyIPv4;
        int tcpPort = 8080;  // -1: not served
        int udpPort = 8080;  // -1: not served
        int discoveryPort = 1900; // -1: not served
        bool serial = false;
        QString mode = QStringLiteral("TCP");
        QString stateFile;
        quint32 seed = 1;
        SimFaults faults;
    };

    explicit SimServer(const Options &options, QObject *parent = nullptr);
    ~SimServer() override;

    // Opens every endpoint; on failure says why. The lines to print, one per
    // endpoint ("tcp 8080"), are returned in `endpoints`.
    bool start(QStringList *endpoints, QString *error);

    SensorModel &model() { return m_model; }

private:
    enum class Peer { Tcp, Udp, Serial };
    struct Client {
        Peer kind;
        QTcpSocket *tcp = nullptr;
        QHostAddress address;
        quint16 port = 0;
        QByteArray pending;
        int answered = 0;
        bool closed = false;
    };

    void received(Client &client, const QByteArray &bytes);
    void sendReply(Client &client, QByteArray reply);
    void writeTo(Client &client, const QByteArray &bytes);
    void streamTick();
    void paceTick();
    void updateStreamTimer();
    void saveState();
    SensorModel::Live live();
    int perDegree() const;

    Options m_options;
    SensorModel m_model;
    SimScene m_scene;
    QRandomGenerator m_rng;
    QTcpServer *m_tcpServer = nullptr;
    QUdpSocket *m_udp = nullptr;
    QUdpSocket *m_discovery = nullptr;
    int m_ptyMaster = -1;
    int m_ptySlave = -1;
    QSocketNotifier *m_ptyNotifier = nullptr;
    QHash<QObject *, Client *> m_tcpClients;
    QHash<QString, Client *> m_udpClients;
    Client *m_serialClient = nullptr;
    Client *m_streamClient = nullptr;
    Client *m_lastClient = nullptr;
    QTimer m_streamTimer;
    QTimer m_paceTimer;
    QList<QByteArray> m_streamQueue;
    int m_streamSlices = 1;
    QElapsedTimer m_clock;
};
