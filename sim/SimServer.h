#pragma once

#include "core/sensor/ScanEvaluation.h"

#include <deque>
#include <utility>
#include "sim/SensorModel.h"
#include "sim/SimScene.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QRandomGenerator>
#include <QTimer>

#include <memory>

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
    int forgetArea = -1; // a write of this area acknowledged but not kept

    // "drop=0.1,corrupt=0.05,split=1,delay=20,reject=1,close-after=30,forget-area=5";
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
    // One peer of the emulated sensor. A client that goes away is deleted
    // later, never under a write to it, and whatever outlives it (a delayed
    // reply, the stream) holds it by QPointer.
    struct Client : QObject {
        Client(Peer k, QObject *parent)
            : QObject(parent)
            , kind(k)
        {
        }
        Peer kind;
        QPointer<QTcpSocket> tcp;
        QHostAddress address;
        quint16 port = 0;
        QByteArray pending; // a request not yet complete
        QElapsedTimer lastBytes;
        int answered = 0;
        bool closed = false;
    };
    // A partial request older than this is dropped, as the sensor's receiver
    // does: well below the tool's 2 s reply time-out, so its next try is
    // answered.
    static constexpr int kRequestGapMs = 200;
    // UDP has no connection to end: the peers heard from least recently are
    // forgotten beyond this many.
    static constexpr int kMaxUdpPeers = 64;

    void received(Client &client, const QByteArray &bytes);
    void sendReply(Client &client, QByteArray reply);
    void writeTo(Client &client, const QByteArray &bytes);
    void streamTick();
    void paceTick();
    void updateStreamTimer();
    Client *udpClient(const QHostAddress &address, quint16 port);
    void forget(Client *client);
    void saveState();
    SensorModel::Live live();
    int areaInForce() const;
    void followClock();
    // Feeds the sweep to the evaluation of the area in force.
    std::uint8_t evaluate(const ScanEvaluation::Sweep &sweep);
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
    QPointer<Client> m_streamClient;
    QPointer<Client> m_lastClient;
    QTimer m_streamTimer;
    QTimer m_paceTimer;
    QList<QByteArray> m_streamQueue;
    // Packets taken off the queue so far, and the sweeps waiting to be
    // evaluated when the packet count reaches their last one.
    qint64 m_packetsQueued = 0;
    std::deque<std::pair<qint64, ScanEvaluation::Sweep>> m_streamSweeps;
    int m_streamSlices = 1;
    QElapsedTimer m_clock;
    // The outputs follow the area in force with its delays, hysteresis and
    // detection size; a new area, or new values for it, start afresh.
    std::unique_ptr<ScanEvaluation::AreaEvaluator> m_evaluator;
    QByteArray m_evaluatedArea;
};
