#include "core/link/SERIAL_COMM.h"

#include "core/link/AreaCodec.h"
#include "core/link/LinkProtocol.h"
#include "core/link/Payloads.h"
#include "core/link/ReceivePath.h"
#include "core/link/ScanRecord.h"
#include "core/zones/DesignCheck.h"
#include "core/zones/DeviceType.h"
#include "core/zones/ZoneStore.h"

#include <QIODevice>
#include <QNetworkDatagram>
#include <QUdpSocket>

using namespace LinkProtocol;

SERIAL_COMM::SERIAL_COMM(QIODevice *serialPort, ScanRecord *scan, ZoneStore *store,
                         SensorParameters *parameters, std::array<int, 5> *control,
                         QIODevice *tcpSocket, QIODevice *udpSocket, QObject *parent)
    : QObject(parent)
    , m_scan(scan)
    , m_store(store)
    , m_serial(serialPort)
    , m_parameters(parameters)
    , m_control(control)
    , m_tcp(tcpSocket)
    , m_udp(udpSocket)
{
    m_replyTimer.setInterval(2000);
    // A coarse timer may fire up to 5 % early; the sensor gets its full two
    // seconds.
    m_replyTimer.setTimerType(Qt::PreciseTimer);
    m_sendTick.setInterval(20);
    m_sendTick.start();
    connect(&m_scanTimer, &QTimer::timeout, this, &SERIAL_COMM::ReadScanfTime);
    connect(&m_intensityTimer, &QTimer::timeout, this, &SERIAL_COMM::ReadIntensityTime);
    connect(&m_simulationTimer, &QTimer::timeout, this, &SERIAL_COMM::ReadSimulationTime);
    connect(&m_replyTimer, &QTimer::timeout, this, &SERIAL_COMM::ReadWriteOverTime);
    connect(&m_sendTick, &QTimer::timeout, this, &SERIAL_COMM::SerialPortSendData);
    for (QIODevice *t : {m_serial, m_tcp, m_udp})
        if (t)
            connect(t, &QIODevice::readyRead, this, &SERIAL_COMM::SerialPortReceiveData);
}

// ---------------------------------------------------------------- plain operations

void SERIAL_COMM::StopReplyTimer()
{
    m_replyTimer.stop();
    m_timeouts = 0;
    m_stuckAt = -1;
}

void SERIAL_COMM::ClearAllRequests()
{
    m_busy = BusyIdle;
    m_flags.fill(0);
    m_readArea = 0;
    m_writeArea = 0;
    m_stuckAt = -1;
    m_readAreas.clear();
    m_readPurpose = 0;
    m_productInfoQuiet = false;
    Q_EMIT ProgressClose();
}

void SERIAL_COMM::SetLanguage(int language)
{
    m_language = language;
}

void SERIAL_COMM::SetMaximumRange(DEVICETYPE *type)
{
    if (const DeviceModelInfo *m = deviceModelInfo(type ? type->type : -1))
        m_maximumRange = m->maximumRange;
}

void SERIAL_COMM::StopStream()
{
    if (ethernet() && m_busy == BusyIdle)
        send(Payloads::encodeRAuto(false), BusyIdle);
}

bool SERIAL_COMM::ethernet() const
{
    return m_scan->connectionType == 1;
}

QIODevice *SERIAL_COMM::selectedTransport() const
{
    if (m_scan->connectionType == 0)
        return m_serial;
    if (m_scan->connectionType == 1 && m_scan->ethernetMode == 0)
        return m_tcp;
    if (m_scan->connectionType == 1 && m_scan->ethernetMode == 1)
        return m_udp;
    return nullptr;
}

void SERIAL_COMM::send(const QByteArray &frame, int busy)
{
    m_busy = busy;
    m_replyTimer.start();
    if (QIODevice *t = selectedTransport())
        if (t->isOpen())
            t->write(frame);
    Q_EMIT FrameSent(frame);
}


void SERIAL_COMM::finish(Flag f)
{
    m_busy = BusyIdle;
    m_flags[f] = 0;
}

QString SERIAL_COMM::text(const char *chinese, const char *english) const
{
    return QString::fromUtf8(m_language == 1 ? chinese : english);
}

void SERIAL_COMM::message(int icon, const char *zhTitle, const char *zhText, const char *enTitle,
                          const char *enText)
{
    Q_EMIT MessageSignal(icon, text(zhTitle, enTitle), text(zhText, enText));
}

void SERIAL_COMM::writeStatusMessage(int status)
{
    if (status == 1)
        message(Information, "错误", "参数设置异常", "Message", "Parameters Setting Error");
    else if (status == 2)
        message(Information, "错误", "内存写入错误", "Message", "FLASH Write Error");
}

// ---------------------------------------------------------------- slots

void SERIAL_COMM::OpenSendReadScanf()
{
    m_scanTimer.setInterval(ethernet() ? 1000 : 50);
    m_scanTimer.start();
}

void SERIAL_COMM::CloseSendReadScanf()
{
    m_scanTimer.stop();
}

void SERIAL_COMM::OpenSendReadIntensity()
{
    if (ethernet())
        return;
    m_intensityTimer.setInterval(50);
    m_intensityTimer.start();
}

void SERIAL_COMM::CloseSendReadIntensity()
{
    m_intensityTimer.stop();
}

void SERIAL_COMM::OpenSendReadSimulation()
{
    m_simulationTimer.setInterval(200);
    m_simulationTimer.start();
}

void SERIAL_COMM::CloseSendReadSimulation()
{
    m_simulationTimer.stop();
}

void SERIAL_COMM::CloseSerialPortSlots()
{
    m_rx.clear();
    m_scan->ringIndex = 0;
    m_scan->sweepLength = 0;
}

void SERIAL_COMM::SensorRebootSlots()
{
    m_flags[FlagReboot] = 1;
}

void SERIAL_COMM::ReadSensorAllDataSlots()
{
    StopStream();
    // Every read starts at area 0, into a copy of the design.
    m_readArea = 0;
    m_stuckAt = -1;
    m_readAreas = m_store->areas;
    m_areasRead.reset();
    m_readPurpose = 0;
    m_flags[FlagReadAreas] = 1;
    m_flags[FlagReadCases] = 1;
    m_flags[FlagReadParameters] = 1;
}

void SERIAL_COMM::ReadSensorCopySlots(bool verifying)
{
    ReadSensorAllDataSlots();
    m_readPurpose = verifying ? 2 : 1;
}

void SERIAL_COMM::WriteSensorAllDataSlots()
{
    // What would not arrive as the design shows it (a coordinate beyond 16
    // bits, more than 100 points, two vertices at one angle, ...) is refused
    // before anything reaches the sensor.
    const QVector<DesignCheck::Finding> findings = DesignCheck::transferFindings(m_store->areas);
    if (!findings.isEmpty()) {
        QStringList lines;
        const int shown = qMin(findings.size(), 12);
        for (int i = 0; i < shown; ++i)
            lines << findings[i].toLine();
        if (findings.size() > shown)
            lines << (m_language == 1 ? QStringLiteral("……另有 %1 项")
                                      : QStringLiteral("... and %1 more"))
                         .arg(findings.size() - shown);
        Q_EMIT MessageSignal(
            Warning, text("错误", "Error"),
            (m_language == 1 ? QStringLiteral("设计无法完整写入传感器，没有发送任何数据：\n\n")
                             : QStringLiteral("The design cannot reach the sensor as it is; "
                                              "nothing was sent:\n\n"))
                + lines.join(QLatin1Char('\n')));
        Q_EMIT WriteRefused();
        return;
    }
    StopStream();
    // Every write starts at area 0.
    m_writeArea = 0;
    m_stuckAt = -1;
    m_flags[FlagWriteAreas] = 1;
    m_flags[FlagWriteCases] = 1;
    m_flags[FlagWriteParameters] = 1;
}

void SERIAL_COMM::SensorInformationSlots()
{
    m_productInfoQuiet = false;
    m_flags[FlagInformation] = 1;
}

void SERIAL_COMM::ReadProductInfoSlots()
{
    m_productInfoQuiet = true;
    m_flags[FlagInformation] = 1;
}

void SERIAL_COMM::ReadScanfTime()
{
    m_flags[FlagScan] = 1;
}

void SERIAL_COMM::ReadIntensityTime()
{
    m_flags[FlagIntensity] = 1;
}

void SERIAL_COMM::ReadSimulationTime()
{
    m_flags[FlagSimulation] = 1;
    if ((*m_control)[4] != 0)
        m_flags[FlagControl] = 1;
}

void SERIAL_COMM::ReadWriteOverTime()
{
    // Where an area sequence stood when its request went unanswered: the
    // replies that take it back there after the restart may be the late
    // answers to earlier requests, so they do not count as the sensor
    // answering again (below).
    if (m_flags[FlagReadAreas])
        m_stuckAt = m_readArea;
    else if (m_flags[FlagWriteAreas])
        m_stuckAt = m_writeArea;
    m_readArea = 0;
    m_writeArea = 0;
    m_busy = BusyIdle;
    ++m_timeouts;
    if (m_timeouts > 3) {
        m_timeouts = 0;
        m_flags.fill(0);
        m_scanTimer.stop();
        m_intensityTimer.stop();
        m_simulationTimer.stop();
        m_replyTimer.stop();
        m_readAreas.clear();
        m_readPurpose = 0;
        Q_EMIT ProgressClose();
        message(Warning, "警告", "读写参数超时,请检查连接", "Warning",
                "Connect OverTimer, Check Connect");
        Q_EMIT GaveUp();
    }
}

void SERIAL_COMM::SerialPortSendData()
{
    static const Flag order[] = {FlagReboot,      FlagReadAreas,      FlagWriteAreas,
                                 FlagReadCases,   FlagWriteCases,     FlagInformation,
                                 FlagReadParameters, FlagWriteParameters, FlagSimulation,
                                 FlagControl,     FlagScan,           FlagIntensity};
    Flag deciding = FlagCount;
    for (Flag f : order) {
        if (m_flags[f]) {
            deciding = f;
            break;
        }
    }
    if (deciding == FlagCount)
        return;
    // Over Ethernet intensities come with the scan stream.
    if (deciding == FlagIntensity && ethernet()) {
        m_flags[FlagIntensity] = 0;
        return;
    }
    if (m_busy != BusyIdle)
        return;

    switch (deciding) {
    case FlagReboot:
        send(request(RBoot), RBoot.busyCode);
        break;
    case FlagReadAreas:
        if (m_readArea <= 63) {
            send(Payloads::encodeRArea(m_readArea), RArea.busyCode);
            Q_EMIT ProgressShow();
            Q_EMIT ProgressTitle(m_readPurpose == 2 ? text("校验数据", "Verify Data")
                                                    : text("上传数据", "Upload Data"));
        }
        break;
    case FlagWriteAreas:
        if (m_writeArea > 63) {
            m_writeArea = 0;
            break;
        }
        send(AreaCodec::encode("WArea", m_writeArea, m_store->areas[m_writeArea]),
             WArea.busyCode);
        Q_EMIT ProgressShow();
        Q_EMIT ProgressTitle(text("下载数据", "Download Data"));
        break;
    case FlagReadCases:
        send(request(RCase), RCase.busyCode);
        break;
    case FlagWriteCases:
        send(Payloads::encodeWCase(*m_store), WCase.busyCode);
        break;
    case FlagInformation:
        send(request(RPrda), RPrda.busyCode);
        break;
    case FlagReadParameters:
        send(request(RPara), RPara.busyCode);
        break;
    case FlagWriteParameters:
        send(Payloads::encodeWPara(*m_parameters), WPara.busyCode);
        break;
    case FlagSimulation:
        send(Payloads::encodeWSimu(m_store->simulation), WSimu.busyCode);
        break;
    case FlagControl:
        send(Payloads::encodeSCtrl(*m_control), SCtrl.busyCode);
        break;
    case FlagScan:
        if (ethernet()) {
            send(Payloads::encodeRAuto(true), BusyIdle);
            m_flags[FlagScan] = 0;
        } else {
            send(request(RScan), RScan.busyCode);
        }
        break;
    case FlagIntensity:
        send(request(RStre), RStre.busyCode);
        break;
    default:
        break;
    }
}

void SERIAL_COMM::SerialPortReceiveData()
{
    QIODevice *t = selectedTransport();
    if (!t)
        return;
    if (auto *udp = qobject_cast<QUdpSocket *>(t)) {
        while (udp->hasPendingDatagrams())
            m_rx.append(udp->receiveDatagram().data());
    } else {
        m_rx.append(t->readAll());
    }

    if (m_rx.size() >= ReceivePath::kCeiling) {
        ReceivePath::trimOverfull(m_rx);
        return;
    }

    // One pass finds which tokens are in the buffer at all; a parser whose
    // token is absent has nothing to do. Removing a frame can only join two
    // pieces into a new token at the seam, so only the seam is looked at again.
    std::uint32_t present = ReceivePath::presentTokens(m_rx.constData(), m_rx.size());
    const auto removedAt = [this, &present](int at) {
        const int from = qMax(0, at - 4);
        const int to = qMin(m_rx.size(), at + 4);
        present |= ReceivePath::presentTokens(m_rx.constData() + from, to - from);
    };
    QByteArray frame;
    std::array<std::uint16_t, 640> scanValues{};
    for (int t = 0; t < 12; ++t) {
        const Command &c = *ReceivePath::kReplyTokens[t];
        if (t == 2) { // RStre, serial only
            if (!ethernet() && (present & (1u << t))) {
                int at = -1;
                if (ReceivePath::takeSerialScan(m_rx, c, scanValues, m_maximumRange, &at)) {
                    removedAt(at);
                    if (accepted(RStre)) {
                        m_scan->serialIntensities = scanValues;
                        StopReplyTimer();
                        finish(FlagIntensity);
                        Q_EMIT ReceiveIntensityData();
                    }
                    present = ReceivePath::presentTokens(m_rx.constData(), m_rx.size());
                }
            }
            continue;
        }
        if (t == 11) // RScan: the serial reply or the Ethernet stream
            break;
        if (!(present & (1u << t)))
            continue;
        int at = -1;
        const ReceivePath::Take taken = ReceivePath::takeReply(m_rx, c, &frame, &at);
        if (taken == ReceivePath::Take::Frame || taken == ReceivePath::Take::BadCrc)
            removedAt(at);
        if (taken == ReceivePath::Take::Frame && accepted(c)) {
            Q_EMIT FrameReceived(frame);
            handleReply(t, frame);
            // A handler's message box runs a nested event loop, in which more
            // bytes may have arrived: look again.
            present = ReceivePath::presentTokens(m_rx.constData(), m_rx.size());
        }
    }

    if (!ethernet()) {
        if (ReceivePath::takeSerialScan(m_rx, RScan, scanValues, m_maximumRange)
            && accepted(RScan)) {
            m_scan->serialDistances = scanValues;
            StopReplyTimer();
            finish(FlagScan);
            Q_EMIT ReceiveScanfData();
        }
    } else {
        ReceivePath::takeStream(m_rx, *m_scan, m_maximumRange, [this] {
            Q_EMIT ReceiveScanfData();
            Q_EMIT ReceiveIntensityData();
        });
    }
}

bool SERIAL_COMM::accepted(const Command &reply)
{
    // Only the reply to the request outstanding counts: one that comes after
    // its time-out (the request has been sent again, or another one has gone
    // out since) would otherwise be taken for the answer to a later request.
    if (m_busy == reply.busyCode)
        return true;
    ++m_dropped;
    return false;
}

void SERIAL_COMM::handleReply(int parser, const QByteArray &frame)
{
    // The parsers' fixed order, as ReceivePath::kReplyTokens lists them.
    switch (parser) {
    case 0: handleRBoot(frame); break;
    case 1: handleRPrda(frame); break;
    case 3: handleRArea(frame); break;
    case 4: handleWArea(frame); break;
    case 5: handleRPara(frame); break;
    case 6: handleWPara(frame); break;
    case 7: handleRCase(frame); break;
    case 8: handleWCase(frame); break;
    case 9: handleWSimu(frame); break;
    case 10: handleSCtrl(frame); break;
    default: break; // the scan replies are taken apart above
    }
}

// ---------------------------------------------------------------- reply handlers

void SERIAL_COMM::handleRBoot(const QByteArray &)
{
    StopReplyTimer();
    message(Information, "提示", "传感器重新启动完成", "Message", "Sensor Reboot Complete");
    finish(FlagReboot);
}

void SERIAL_COMM::handleRPrda(const QByteArray &frame)
{
    StopReplyTimer();
    const Payloads::ProductInfo info = Payloads::decodeRPrda(frame);
    if (m_productInfoQuiet) {
        m_productInfoQuiet = false;
        finish(FlagInformation);
        Q_EMIT ProductInfoRead(info);
        return;
    }
    Q_EMIT MessageSignal(Information, text("产品信息", "Product Message"),
                         Payloads::productText(info, m_language));
    finish(FlagInformation);
}

void SERIAL_COMM::handleRArea(const QByteArray &frame)
{
    // Only the area asked for counts: a reply for another one would
    // advance the sequence past an area never read.
    const int k = AreaCodec::frameIndex(frame);
    if (k != m_readArea || !m_flags[FlagReadAreas]) {
        ++m_dropped;
        return;
    }
    m_replyTimer.stop();
    if (m_readAreas.size() != kAreaCount)
        m_readAreas = m_store->areas;
    AreaCodec::decode(frame, m_readAreas[k]);
    m_areasRead.set(size_t(k));
    ++m_readArea;
    sequenceMoved(m_readArea);
    Q_EMIT ProgressValue(m_readArea);
    m_busy = BusyIdle;
    if (m_readArea > 63) {
        m_readArea = 0;
        m_flags[FlagReadAreas] = 0;
    }
}

void SERIAL_COMM::abandonWrite(int status)
{
    m_writeArea = 0;
    m_flags[FlagWriteAreas] = 0;
    m_flags[FlagWriteCases] = 0;
    m_flags[FlagWriteParameters] = 0;
    Q_EMIT ProgressClose();
    writeStatusMessage(status);
}

void SERIAL_COMM::sequenceMoved(int index)
{
    // The sensor answers again once the sequence has got two areas past the
    // one that went unanswered; until then four time-outs still end it, so
    // a sensor whose every reply comes late is given up, not asked forever.
    if (m_stuckAt < 0 || index >= m_stuckAt + 2) {
        m_timeouts = 0;
        m_stuckAt = -1;
    }
}

void SERIAL_COMM::handleWArea(const QByteArray &frame)
{
    const int status = Payloads::writeStatus(frame);
    if (status == 0)
        m_replyTimer.stop();
    else
        StopReplyTimer();
    if (status == 0) {
        ++m_writeArea;
        sequenceMoved(m_writeArea);
        Q_EMIT ProgressTitle(text("下载数据", "Download Data"));
        Q_EMIT ProgressValue(m_writeArea);
        if (m_writeArea > 63) {
            m_writeArea = 0;
            m_flags[FlagWriteAreas] = 0;
        }
    } else if (status == 1 || status == 2) {
        // The sensor refused an area: nothing more of this write goes out.
        abandonWrite(status);
    }
    m_busy = BusyIdle;
}

void SERIAL_COMM::handleRPara(const QByteArray &frame)
{
    StopReplyTimer();
    if (m_readPurpose != 0) {
        // A read for a comparison: the copy goes to whoever compares.
        const bool complete = m_readAreas.size() == kAreaCount && m_areasRead.all();
        const QVector<AreaRecord> areas = m_readAreas;
        m_readAreas.clear();
        m_readPurpose = 0;
        Q_EMIT ProgressClose();
        // Whoever compares may open a box: as with the link's own boxes, the
        // link stays busy until it has been answered, so that nothing is
        // asked whose reply could not be read while it is open.
        if (complete)
            Q_EMIT SensorCopyRead(areas, Payloads::decodeRPara(frame));
        else
            message(Warning, "警告", "传感器数据未能完整读取，未作比较", "Warning",
                    "Not everything could be read from the sensor; nothing was compared");
        finish(FlagReadParameters);
        return;
    }
    *m_parameters = Payloads::decodeRPara(frame);
    // The read is complete: only now does the design take what was read.
    if (m_readAreas.size() == kAreaCount && m_areasRead.all()) {
        for (int a = 0; a < kAreaCount; ++a)
            ZoneStore::copyRecord(m_store->areas[a], m_readAreas[a]);
        m_readAreas.clear();
    }
    Q_EMIT ProgressClose();
    message(Information, "参数", "参数读取完成", "Parameters", "Parameters Read OK");
    Q_EMIT ReceiveParameters();
    finish(FlagReadParameters);
}

void SERIAL_COMM::handleWPara(const QByteArray &frame)
{
    StopReplyTimer();
    const int status = Payloads::writeStatus(frame);
    Q_EMIT ProgressClose();
    if (status == 0)
        message(Information, "提示", "参数写入完成", "Message", "Parameters Write Complete");
    else
        writeStatusMessage(status);
    finish(FlagWriteParameters);
    Q_EMIT WriteFinished(status == 0);
}

void SERIAL_COMM::handleRCase(const QByteArray &frame)
{
    StopReplyTimer();
    if (m_readAreas.size() != kAreaCount)
        m_readAreas = m_store->areas;
    Payloads::decodeRCase(frame, m_readAreas);
    finish(FlagReadCases);
}

void SERIAL_COMM::handleWCase(const QByteArray &frame)
{
    StopReplyTimer();
    const int status = Payloads::writeStatus(frame);
    if (status == 1 || status == 2)
        abandonWrite(status);
    finish(FlagWriteCases);
}

void SERIAL_COMM::handleWSimu(const QByteArray &frame)
{
    StopReplyTimer();
    const Payloads::SimuReply r = Payloads::decodeWSimuReply(frame);
    Q_EMIT IOPortSignals(r.inputs, r.outputs);
    Q_EMIT SelfCheckStatus(r.temperature, r.rotateSpeed, r.driveVoltage, r.sendVoltage,
                           r.receiveVoltage);
    finish(FlagSimulation);
}

void SERIAL_COMM::handleSCtrl(const QByteArray &)
{
    finish(FlagControl);
}
