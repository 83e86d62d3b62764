#pragma once

#include "core/link/Payloads.h"
#include "core/sensor/SensorParameters.h"
#include "core/zones/AreaRecord.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <array>
#include <bitset>

class QIODevice;
namespace LinkProtocol {
struct Command;
}
class ZoneStore;
struct DEVICETYPE;
struct ScanRecord;

// The one object that talks to the sensor. It owns no transport: the serial
// port, TCP socket and UDP socket are lent to it, and the scan record says
// which is in use. At most one request is outstanding; a 20 ms tick picks the
// next by a fixed priority; every request is watched by a 2 s reply
// time-out, and the fourth time-out in a row gives up.
//
// It shows nothing itself: the progress of area transfers and every message
// are signals, which the GUI turns into a modal progress dialog and modal
// boxes (connected directly, so a box is open before the link is released)
// and the command-line tool prints.
class SERIAL_COMM : public QObject
{
    Q_OBJECT
public:
    enum MessageIcon { Information = 0, Warning = 1 };

    // Request flags in storage order.
    enum Flag {
        FlagInformation,
        FlagScan,
        FlagIntensity,
        FlagReboot,
        FlagReadAreas,
        FlagWriteAreas,
        FlagReadParameters,
        FlagWriteParameters,
        FlagReadCases,
        FlagWriteCases,
        FlagSimulation,
        FlagControl,
        FlagCount
    };

    SERIAL_COMM(QIODevice *serialPort, ScanRecord *scan, ZoneStore *store,
                SensorParameters *parameters, std::array<int, 5> *control, QIODevice *tcpSocket,
                QIODevice *udpSocket, QObject *parent = nullptr);

    // Stop the reply time-out and reset the time-out counter.
    void StopReplyTimer();
    // Busy code 0, every request flag lowered, both area sequences back at
    // area 0, a read in progress dropped and the progress closed.
    void ClearAllRequests();
    // 1 Chinese, 0 English.
    void SetLanguage(int language);
    void SetMaximumRange(DEVICETYPE *type);
    // Over Ethernet and while idle: switch the scan stream off (RAuto 0).
    void StopStream();

    int maximumRange() const { return m_maximumRange; }
    int busyCode() const { return m_busy; }
    bool flag(Flag f) const { return m_flags[f] != 0; }
    int readAreaIndex() const { return m_readArea; }
    int writeAreaIndex() const { return m_writeArea; }
    int timeoutCount() const { return m_timeouts; }
    // Replies that came for no request outstanding, dropped since construction.
    int droppedReplies() const { return m_dropped; }
    // The areas the last full read has received, each under its own index.
    const std::bitset<64> &areasRead() const { return m_areasRead; }
    const QByteArray &receiveBuffer() const { return m_rx; }
    QTimer *replyTimer() { return &m_replyTimer; }
    QTimer *scanTimer() { return &m_scanTimer; }
    QTimer *simulationTimer() { return &m_simulationTimer; }
    QTimer *intensityTimer() { return &m_intensityTimer; }
    QTimer *sendTick() { return &m_sendTick; }

Q_SIGNALS:
    void IOPortSignals(uint Inport, uint Outport);
    void SelfCheckStatus(short SensorTemper, ushort RotateSpeed, ushort DriveVoltage,
                         ushort SendVoltage, ushort ReceiveVoltage);
    void ReceiveScanfData();
    void ReceiveParameters();
    void ReceiveIntensityData();

    // The area transfer's progress dialog (range 0..64).
    void ProgressShow();
    void ProgressTitle(const QString &title);
    void ProgressValue(int value);
    void ProgressClose();
    // A modal box; the receiver returns once it has been answered.
    void MessageSignal(int icon, const QString &title, const QString &text);

    // The fourth time-out in a row: the warning has been answered.
    void GaveUp();

    // A read for a comparison has brought everything: the sensor's 64 areas
    // (case channels included) and its parameters. Nothing of the design or
    // the parameter record has changed.
    void SensorCopyRead(const QVector<AreaRecord> &areas, const SensorParameters &parameters);
    // The product information asked for with ReadProductInfoSlots.
    void ProductInfoRead(const Payloads::ProductInfo &info);
    // The write's last part has been answered (status 0: everything written).
    void WriteFinished(bool written);
    // Write All was refused before anything was sent: the design cannot
    // travel intact (the reasons have been shown).
    void WriteRefused();

    // Every frame written, and every reply that passed its CRC, for tools
    // that trace or verify the exchange.
    void FrameSent(const QByteArray &frame);
    void FrameReceived(const QByteArray &frame);

public Q_SLOTS:
    void OpenSendReadScanf();
    void CloseSendReadScanf();
    void OpenSendReadIntensity();
    void CloseSendReadIntensity();
    void OpenSendReadSimulation();
    void CloseSendReadSimulation();
    void CloseSerialPortSlots();
    void SensorRebootSlots();
    void ReadSensorAllDataSlots();
    // The same exchanges as a full read, into a copy that is handed on with
    // SensorCopyRead instead of replacing the design. `verifying` titles the
    // progress as the check that follows a write.
    void ReadSensorCopySlots(bool verifying = false);
    void WriteSensorAllDataSlots();
    void SensorInformationSlots();
    // The same request, its answer handed on with ProductInfoRead instead
    // of shown.
    void ReadProductInfoSlots();
    void ReadScanfTime();
    void ReadIntensityTime();
    void ReadSimulationTime();
    void ReadWriteOverTime();
    void SerialPortSendData();
    void SerialPortReceiveData();

private:
    bool ethernet() const;
    QIODevice *selectedTransport() const;
    // Writes the frame to the selected transport, records the busy code and
    // restarts the reply time-out.
    void send(const QByteArray &frame, int busy);
    void finish(Flag f);
    QString text(const char *chinese, const char *english) const;
    // Ends a write that the sensor refused: no further part of it is sent.
    void abandonWrite(int status);
    void message(int icon, const char *zhTitle, const char *zhText, const char *enTitle,
                 const char *enText);
    void writeStatusMessage(int status);

    // True when the reply answers the request outstanding; counts it
    // otherwise.
    bool accepted(const LinkProtocol::Command &reply);
    void handleReply(int parser, const QByteArray &frame);
    // An area sequence reached index after a valid reply.
    void sequenceMoved(int index);
    void handleRBoot(const QByteArray &frame);
    void handleRPrda(const QByteArray &frame);
    void handleRArea(const QByteArray &frame);
    void handleWArea(const QByteArray &frame);
    void handleRPara(const QByteArray &frame);
    void handleWPara(const QByteArray &frame);
    void handleRCase(const QByteArray &frame);
    void handleWCase(const QByteArray &frame);
    void handleWSimu(const QByteArray &frame);
    void handleSCtrl(const QByteArray &frame);

    QByteArray m_rx;
    ScanRecord *m_scan;
    ZoneStore *m_store;
    QIODevice *m_serial;
    SensorParameters *m_parameters;
    std::array<int, 5> *m_control;
    int m_maximumRange = 60000;
    QTimer m_scanTimer;
    QTimer m_intensityTimer;
    QTimer m_simulationTimer;
    QTimer m_replyTimer;
    QTimer m_sendTick;
    QIODevice *m_tcp;
    QIODevice *m_udp;
    int m_readArea = 0;
    int m_writeArea = 0;
    int m_timeouts = 0;
    int m_language = 1;
    int m_busy = 0;
    int m_dropped = 0;
    // The area at which an area sequence last went unanswered; -1 when none.
    int m_stuckAt = -1;
    std::array<char, FlagCount> m_flags{};
    // A full read collects areas and cases here and reaches the zone store
    // only once the parameters, its last part, have arrived: a read cut
    // short leaves the design as it was.
    QVector<AreaRecord> m_readAreas;
    // What the read in progress is for: 0 the design, 1 a comparison, 2 the
    // check after a write.
    int m_readPurpose = 0;
    // The product information asked for is handed on, not shown.
    bool m_productInfoQuiet = false;
    std::bitset<64> m_areasRead;
};
