// The main window's side of the link: choosing serial or Ethernet, opening
// and closing the transport, and the displays the sensor's reports feed.

#include "gui/MainWindow.h"
#include "ui_mainwindow.h"

#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "graphics/ScanItems.h"
#include "gui/Lamps.h"
#include "gui/UiPrompt.h"
#include "gui/dialogs/EthnertSetting.h"
#include "gui/dialogs/SettingsDialog.h"
#include "gui/panels/SENSOR_SETTING.h"

#include <QStatusBar>
#include <QTcpSocket>
#include <QUdpSocket>

void MainWindow::setSerialOnlyWidgetsEnabled(bool serial)
{
    // The sensor settings panel enables its own fields for the connection
    // type; the scan control of the IO simulation belongs to Ethernet too.
    for (QWidget *w : std::initializer_list<QWidget *>{ui->Set_ScanFilterLevel, ui->Set_ScanMotorSpeed,
                                                        ui->Set_ScanSensorAngle, ui->Set_SensorSleepMode,
                                                        ui->ScanGroupBox})
        w->setEnabled(!serial);
}

void MainWindow::ConnectChangeUSARTModeSlot()
{
    ui->SerialConnection->setChecked(true);
    ui->EthernetConnection->setChecked(false);
    ui->SerialSetting->setEnabled(true);
    ui->EthnernetSetting->setEnabled(false);
    m_scan->connectionType = 0;
    m_sensorSetting->SetEthernetMode(false);
    setSerialOnlyWidgetsEnabled(true);
}

void MainWindow::ConnectChangeEthernetModeSlot()
{
    ui->EthernetConnection->setChecked(true);
    ui->SerialConnection->setChecked(false);
    ui->EthnernetSetting->setEnabled(true);
    ui->SerialSetting->setEnabled(false);
    m_scan->connectionType = 1;
    m_sensorSetting->SetEthernetMode(true);
    setSerialOnlyWidgetsEnabled(false);
}

void MainWindow::CreatConnectTypeSignalSlot(int Index)
{
    if (Index == 0)
        ConnectChangeUSARTModeSlot();
    else if (Index == 1)
        ConnectChangeEthernetModeSlot();
}

void MainWindow::CreatEthnertModeSignalSlot(QString Type)
{
    if (Type == QLatin1String("MODE: TCP"))
        m_scan->ethernetMode = 0;
    else if (Type == QLatin1String("MODE: UDP"))
        m_scan->ethernetMode = 1;
}

void MainWindow::OpenSerialPort()
{
    closeReplay();
    if (m_scan->connectionType == 0)
        m_serialSettings->update();
    else if (m_scan->connectionType == 1)
        m_ethernetSettings->update();
}

void MainWindow::setConnectedActions()
{
    for (QAction *a :
         {ui->SerialConnection, ui->EthernetConnection, ui->Connection, ui->SerialSetting})
        a->setEnabled(false);
    for (QAction *a : {ui->DisConnection, ui->ReadAllSetting, ui->WriteAllSetting,
                       ui->CompareWithSensor, ui->SoftReboot, ui->SensorInformation, ui->IOSimulation,
                       ui->SelfCheck})
        a->setEnabled(true);
    recordingLinkChanged();
}

void MainWindow::startConnection()
{
    OpenCloseReadScanf(ui->Distance->isChecked());
    OpenCloseReadIntensity(ui->Intensity->isChecked());
    m_link->OpenSendReadSimulation();
    // Every connection begins by reading everything from the sensor, unless
    // the user chose to keep an unsaved design (or to compare it).
    if (m_compareOnConnect)
        compareWithSensor();
    else if (m_readOnConnect)
        m_link->ReadSensorAllDataSlots();
}

bool MainWindow::askBeforeReading()
{
    m_readOnConnect = true;
    m_compareOnConnect = false;
    if (!m_store->modified)
        return true;
    // The full read would replace a design that exists nowhere else. (Read
    // All asks the same; there Keep reads nothing.)
    const int answer = ask(
        QMessageBox::Warning, tr2("警告", "Warning"),
        tr2("当前设计有未保存的修改。\n"
            "保存：先保存，再读取传感器。\n"
            "替换：改用传感器中的设计。\n"
            "保留：保留当前设计，不读取。\n"
            "比较：保留当前设计，列出它与传感器中数据的不同。",
            "The design has unsaved changes.\n"
            "Save: save it, then read the sensor.\n"
            "Replace: take the sensor's design.\n"
            "Keep: keep it; nothing is read.\n"
            "Compare: keep it and list how it differs from the sensor."),
        QStringList{tr2("保存", "Save"), tr2("替换", "Replace"), tr2("保留", "Keep"),
                    tr2("比较", "Compare")});
    if (answer == 0)
        return saveDesign(); // not saved: no connection, nothing changed
    if (answer != 1)
        m_readOnConnect = false; // Keep, Compare, or the box closed without an answer
    m_compareOnConnect = answer == 3;
    return true;
}

void MainWindow::CreatOpenSerialPort(QString Com)
{
    if (!askBeforeReading())
        return;
    closeReplay();
    ConnectChangeUSARTModeSlot();
    ui->SerialSetting->setEnabled(false);

    const SettingsDialog::Settings p = m_serialSettings->settings();
    m_serialPort->setPortName(Com);
    m_serialPort->setBaudRate(p.baudRate);
    m_serialPort->setDataBits(p.dataBits);
    m_serialPort->setParity(p.parity);
    m_serialPort->setStopBits(p.stopBits);
    m_serialPort->setFlowControl(p.flowControl);
    if (!m_serialPort->open(QIODevice::ReadWrite)) {
        ask(QMessageBox::Critical, tr2("错误", "Error"), tr2("串口打开失败", "Serial Open error"));
        statusBar()->showMessage(tr2("打开错误", "Open error"));
        return;
    }
    setConnectedActions();
    statusBar()->showMessage(
        tr2("连接到 %1 : %2, %3, %4, %5, %6", "Connected to %1 : %2, %3, %4, %5, %6")
            .arg(Com, p.stringBaudRate, p.stringDataBits, p.stringParity, p.stringStopBits,
                 p.stringFlowControl));
    startConnection();
}

void MainWindow::CreatEthernetPort(QString Com)
{
    // An empty address (no sensor answered, nothing typed) fails at once: a
    // socket asked to connect to nothing still reports itself open.
    const bool noAddress = Com.trimmed().isEmpty();
    if (!noAddress && !askBeforeReading())
        return;
    closeReplay();
    ConnectChangeEthernetModeSlot();
    ui->EthnernetSetting->setEnabled(false);

    if (!noAddress) {
        if (m_scan->ethernetMode == 0)
            m_tcpSocket->connectToHost(Com, m_sensorPort, QIODevice::ReadWrite);
        else
            m_udpSocket->connectToHost(Com, m_sensorPort, QIODevice::ReadWrite);
    }
    if (!noAddress && (m_tcpSocket->isOpen() || m_udpSocket->isOpen())) {
        setConnectedActions();
        statusBar()->showMessage(tr2("连接到", "Connect") + Com + QStringLiteral(":") +
                                 QString::number(m_sensorPort));
        startConnection();
        return;
    }
    ask(QMessageBox::Critical, tr2("错误", "Error"), tr2("以太网连接失败", "Ethernet Open error"));
    statusBar()->showMessage(tr2("打开错误", "Open error"));
}

void MainWindow::CloseSerialPort()
{
    // The transports close and every request stops first, so that nothing
    // reaches a sensor that is going away while a box is open.
    m_serialPort->close();
    m_tcpSocket->abort();
    m_tcpSocket->close();
    m_udpSocket->abort();
    m_udpSocket->close();
    m_link->CloseSendReadScanf();
    m_link->CloseSendReadIntensity();
    m_link->CloseSendReadSimulation();
    m_link->ClearAllRequests();
    m_link->StopReplyTimer();
    m_link->CloseSerialPortSlots();
    recordingLinkChanged();
    IOPortDisplayer(0, 0);
    m_inportKnown = false; // the next sensor's first report counts
    ui->Connection->setEnabled(true);
    if (m_scan->connectionType == 0)
        ui->SerialSetting->setEnabled(true);
    else if (m_scan->connectionType == 1)
        ui->EthnernetSetting->setEnabled(true);
    for (QAction *a : {ui->DisConnection, ui->ReadAllSetting, ui->WriteAllSetting,
                       ui->CompareWithSensor, ui->SoftReboot, ui->SensorInformation})
        a->setEnabled(false);
    // A comparison or a write check cut short by the disconnect ends here.
    m_copyRead = CopyRead::None;
    m_verifyWrite = false;
    // A disconnect ends every simulation, as closing the panel does, so the
    // next connection does not go back to forcing the sensor's inputs.
    ui->IOSimulation->setChecked(false);
    ui->IOSimulation->setEnabled(false);
    OpenCloseIOSimulationDock(false);
    ui->SelfCheck->setChecked(false);
    ui->SelfCheck->setEnabled(false);
    ui->SelfCheckDock->hide();
    m_optionScene->outlineItem()->setVisible(false);
    m_optionScene->intensityItem()->setVisible(false);
    statusBar()->showMessage(QStringLiteral("Disconnected"));
    ui->SerialConnection->setEnabled(true);
    ui->EthernetConnection->setEnabled(true);
}

void MainWindow::handleError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ResourceError)
        return;
    // One box per failure: the port reports the error again and again while
    // it stays open, so it is closed, and every request stopped, before the
    // box opens. A port that is not open (a failed open) has its own box.
    if (!m_serialPort->isOpen())
        return;
    const QString why = m_serialPort->errorString();
    CloseSerialPort();
    ask(QMessageBox::Critical, QStringLiteral("Critical Error"), why);
}

void MainWindow::IOPortDisplayer(uint Inport, uint Outport)
{
    ui->InputlcdNum->display(int(Inport));
    QLabel *inputs[6] = {ui->InputPort1, ui->InputPort2, ui->InputPort3,
                         ui->InputPort4, ui->InputPort5, ui->InputPort6};
    for (int i = 0; i < 6; ++i)
        inputs[i]->setPixmap(QPixmap(Lamps::inputPicture(i, (Inport >> i) & 1)));
    QLabel *outputs[3] = {ui->OutputPort1, ui->OutputPort2, ui->OutputPort3};
    for (int i = 0; i < 3; ++i)
        outputs[i]->setPixmap(QPixmap(Lamps::outputPicture(i, (Outport >> i) & 1)));
}

void MainWindow::SelfCheckDisp(short SensorTemper, ushort RotateSpeed, ushort DriveVoltage,
                               ushort SendVoltage, ushort ReceiveVoltage)
{
    ui->SensorTemper->setText(QString::number(SensorTemper / 100.0, 'f', 2) + QStringLiteral("°"));
    ui->RotateSpeed->setText(QString::number(RotateSpeed) + QStringLiteral("r/min"));
    ui->DriveVoltage->setText(QString::number(DriveVoltage / 100.0, 'f', 2) + QStringLiteral("V"));
    ui->SendVoltage->setText(QString::number(SendVoltage / 100.0, 'f', 2) + QStringLiteral("V"));
    ui->ReceiveVoltage->setText(QString::number(ReceiveVoltage / 100.0, 'f', 2) +
                                QStringLiteral("V"));
}
