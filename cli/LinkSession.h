#pragma once

#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/sensor/SensorParameters.h"
#include "core/zones/ZoneStore.h"

#include <QSerialPort>
#include <QStringList>
#include <QTcpSocket>
#include <QUdpSocket>
#include <functional>

class QTextStream;

// How the command-line tool reaches a sensor.
struct LinkOptions {
    enum Kind { None, Tcp, Udp, Serial };
    Kind kind = None;
    QString host;
    quint16 port = 8080;
    QString device;
    int baud = 576000;
    int model = 3; // Laser30

    bool ethernet() const { return kind == Tcp || kind == Udp; }
    QString describe() const;
};

// Takes the connection options out of args (what is left stays in args).
// Returns 0, or the exit status after a message on err.
int parseLinkOptions(const QString &command, QStringList &args, LinkOptions &out, QTextStream &err);

// A freshly started tool's link: the zone store, records and transports the
// main window would own, and the unchanged link controller driving them.
// Progress goes to stderr; messages are collected and printed there too.
class LinkSession : public QObject
{
    Q_OBJECT
public:
    LinkSession(const LinkOptions &options, QTextStream &err);

    // Opens the transport. False with the message already printed.
    bool open();
    // Runs the event loop until done() holds, the link gives up, the
    // transport fails, the exchange makes no progress for kStallSeconds (a
    // sensor that keeps answering in a way that never ends it) or `seconds`
    // pass. True when done() held.
    static constexpr int kStallSeconds = 12;
    bool runUntil(const std::function<bool()> &done, int seconds = 120);
    void close();

    bool gaveUp() const { return m_gaveUp; }
    bool failed() const { return m_failed; }
    const QStringList &messages() const { return m_messages; }
    // Messages with these titles are collected but not printed.
    QStringList quietTitles;

    ZoneStore store;
    ScanRecord scan;
    SensorParameters parameters;
    std::array<int, 5> control{};
    QSerialPort serialPort;
    QTcpSocket tcpSocket;
    QUdpSocket udpSocket;
    SERIAL_COMM link;

    // Replies that passed their CRC, by token, last one kept.
    QList<QByteArray> areaFrames; // 64, by index
    QByteArray caseFrame;
    QByteArray parameterFrame;

private:
    void fail(const QString &why);

    LinkOptions m_options;
    QTextStream &m_err;
    QStringList m_messages;
    QString m_progressTitle;
    bool m_interactive = false;
    bool m_gaveUp = false;
    bool m_failed = false;
};
