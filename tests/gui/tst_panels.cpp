#include "gui/dialogs/SettingsDialog.h"
#include "gui/panels/SENSOR_SETTING.h"
#include "ui_settingsdialog.h"

#include "tests/gui/GuiTestKit.h"
#include "tests/support/SimProcess.h"

#include <QProgressDialog>
#include <QStatusBar>

#include <memory>

namespace {
bool iconIs(const QAbstractButton *b, const QString &name)
{
    return b->icon().pixmap(32, 32).toImage()
           == QIcon(":/images/" + name + ".png").pixmap(32, 32).toImage();
}

void typeInto(QSpinBox *s, const QString &text)
{
    s->selectAll();
    QTest::keyClicks(s, text);
}

void setValue(QWidget *w, int v)
{
    if (auto *c = qobject_cast<QComboBox *>(w))
        c->setCurrentIndex(v);
    else
        qobject_cast<QSpinBox *>(w)->setValue(v);
}

} // namespace

class TestPanels : public QObject
{
    Q_OBJECT
    PrivateSettings m_settings;
    QList<UiPrompt::Box> m_boxes;

    QStringList boxTexts() const
    {
        return textsOf(m_boxes, [](const UiPrompt::Box &b) { return b.text; });
    }

private Q_SLOTS:
    void initTestCase()
    {
        UiPrompt::setBoxAnswer([this](const UiPrompt::Box &b) {
            m_boxes << b;
            return 0;
        });
    }
    void init() { m_boxes.clear(); }

    // ---------------------------------------------------------------- connection management

    void connectionTypeEnableTable_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<bool>("fromWelcome");
        QTest::newRow("serial-action") << true << false;
        QTest::newRow("serial-welcome") << true << true;
        QTest::newRow("ethernet-action") << false << false;
        QTest::newRow("ethernet-welcome") << false << true;
    }
    void connectionTypeEnableTable()
    {
        QFETCH(bool, serial);
        QFETCH(bool, fromWelcome);
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        t.window.CreatConnectTypeSignalSlot(serial ? 1 : 0); // from the other type
        if (fromWelcome)
            t.window.CreatConnectTypeSignalSlot(serial ? 0 : 1);
        else
            (serial ? ui->SerialConnection : ui->EthernetConnection)->trigger();
        t.window.CreatConnectTypeSignalSlot(2); // no such type: nothing

        QCOMPARE(t.scan.connectionType, serial ? 0 : 1);
        QCOMPARE(ui->SerialConnection->isChecked(), serial);
        QCOMPARE(ui->EthernetConnection->isChecked(), !serial);
        QCOMPARE(ui->SerialSetting->isEnabled(), serial);
        QCOMPARE(ui->EthnernetSetting->isEnabled(), !serial);
        for (QWidget *w : std::initializer_list<QWidget *>{
                 ui->Para_ControlMode, ui->Para_RS232BaudRate, ui->Para_RS232CommVerify,
                 ui->Para_RS232StopBit, ui->Para_RS485IDAddress, ui->Para_RS485BaudRate,
                 ui->Para_RS485CommVerify, ui->Para_RS485StopBit, ui->Para_CANBaudRate,
                 ui->Para_CANIDAddress})
            QVERIFY2(w->isEnabled() == serial, qPrintable(w->objectName()));
        // The sensor control boxes also follow their group's tick.
        if (!serial)
            clickGroup(ui->ScanGroupBox);
        for (QWidget *w : std::initializer_list<QWidget *>{
                 ui->Para_SensorEtherMode, ui->Para_SensorIPAddress1, ui->Para_SensorIPAddress2,
                 ui->Para_SensorIPAddress3, ui->Para_SensorIPAddress4, ui->Para_ScanSensorAngle,
                 ui->Para_ScanMotorSpeed, ui->Set_ScanFilterLevel, ui->Set_ScanMotorSpeed,
                 ui->Set_ScanSensorAngle, ui->Set_SensorSleepMode, ui->ScanGroupBox,
                 ui->Para_CrossFilterEnable, ui->Para_CrossFilterNumber})
            QVERIFY2(w->isEnabled() == !serial, qPrintable(w->objectName()));
        QVERIFY(ui->Para_SensorOutputLogic->isEnabled() && ui->Para_ScanFilterLevel->isEnabled());
        QVERIFY(!ui->Para_SensorInstallDir->isEnabled()); // never editable
    }

    void ethernetStatusTextsAndErrors_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("chinese") << false << "连接到";
        QTest::newRow("english") << true << "Connect";
    }
    void ethernetStatusTextsAndErrors()
    {
        QFETCH(bool, english);
        QFETCH(QString, prefix);
        QTcpServer sensor; // accepts and never answers; closed before the first time-out
        QVERIFY(sensor.listen(QHostAddress::LocalHost, 0));
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        if (english)
            t.window.LanguageToEnglish();
        connectTo(t, sensor.serverPort());
        QCOMPARE(t.window.statusBar()->currentMessage(),
                 prefix + "127.0.0.1:" + QString::number(sensor.serverPort()));
        QVERIFY(connected(t));
        for (QAction *a : {ui->SerialConnection, ui->EthernetConnection, ui->SerialSetting,
                           ui->EthnernetSetting})
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        for (QAction *a : {ui->ReadAllSetting, ui->WriteAllSetting, ui->SoftReboot,
                           ui->SensorInformation, ui->IOSimulation, ui->SelfCheck})
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(t.window.link()->simulationTimer()->isActive());
        // Serial port errors other than a vanished device are ignored.
        const QString status = t.window.statusBar()->currentMessage();
        for (auto e : {QSerialPort::NoError, QSerialPort::DeviceNotFoundError,
                       QSerialPort::PermissionError, QSerialPort::OpenError,
                       QSerialPort::WriteError, QSerialPort::ReadError,
                       QSerialPort::UnsupportedOperationError, QSerialPort::UnknownError,
                       QSerialPort::TimeoutError, QSerialPort::NotOpenError})
            t.window.handleError(e);
        QVERIFY(m_boxes.isEmpty());
        QVERIFY(connected(t));
        QCOMPARE(t.window.statusBar()->currentMessage(), status);
        // Even a resource error of the serial port, which is not open, is
        // no failure of this link.
        t.window.handleError(QSerialPort::ResourceError);
        QVERIFY(m_boxes.isEmpty());
        QVERIFY(connected(t));
        t.window.CloseSerialPort();
        QVERIFY(closedForGood(t));
        QVERIFY(ui->EthnernetSetting->isEnabled() && !ui->SerialSetting->isEnabled());
        QVERIFY(!ui->IOSimulation->isEnabled() && !ui->SelfCheck->isEnabled());
    }

    // A port that cannot be opened: one box, the status says so, nothing is
    // sent and the link stays closed.
    void openFailure_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("port"); // a serial device, or "eth:" and an address
        QTest::addColumn<QStringList>("texts"); // title, text, status
        const QStringList zh{"错误", "串口打开失败", "打开错误"};
        QTest::newRow("chinese") << false << "/dev/does-not-exist" << zh;
        QTest::newRow("english") << true << "/dev/does-not-exist"
                                 << QStringList{"Error", "Serial Open error", "Open error"};
        QTest::newRow("no-port-chosen") << false << "" << zh;
        QTest::newRow("empty-ethernet-address")
            << false << "eth:" << QStringList{"错误", "以太网连接失败", "打开错误"};
        QTest::newRow("blank-ethernet-address-english")
            << true << "eth:  " << QStringList{"Error", "Ethernet Open error", "Open error"};
    }
    void openFailure()
    {
        QFETCH(bool, english);
        QFETCH(QString, port);
        QFETCH(QStringList, texts);
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        int sent = 0;
        connect(t.window.link(), &SERIAL_COMM::FrameSent, [&sent] { ++sent; });
        if (english)
            t.window.LanguageToEnglish();
        const bool ethernet = port.startsWith("eth:");
        if (ethernet) {
            t.store.modified = true; // nothing to ask about: there is no connection
            t.window.CreatEthernetPort(port.mid(4));
        } else if (port.isEmpty()) { // the dialog confirmed with an empty port list
            t.window.CreatConnectTypeSignalSlot(1);
            t.window.serialSettings()->form()->serialPortInfoListBox->clear();
            t.window.serialSettings()->update();
        } else {
            t.window.CreatConnectTypeSignalSlot(1);
            t.window.CreatOpenSerialPort(port);
        }
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].icon, QMessageBox::Critical);
        QCOMPARE(said(m_boxes[0]), texts.mid(0, 2) << "OK");
        QCOMPARE(t.window.statusBar()->currentMessage(), texts[2]);
        QCOMPARE(t.scan.connectionType, ethernet ? 1 : 0);
        QVERIFY((ethernet ? ui->EthernetConnection : ui->SerialConnection)->isChecked());
        if (!ethernet) // the settings actions stay disabled
            QVERIFY(!ui->SerialSetting->isEnabled() && !ui->EthnernetSetting->isEnabled());
        QVERIFY(ui->Connection->isEnabled() && !ui->DisConnection->isEnabled());
        QVERIFY(!t.window.link()->simulationTimer()->isActive());
        if (ethernet)
            QTest::qWait(100);
        QCOMPARE(sent, 0);
        auto *progress = t.window.findChild<QProgressDialog *>();
        QVERIFY(progress && !progress->isVisible());
    }

    // ---------------------------------------------------------------- failures against the emulator

    // Four time-outs in a row close the link with one box: at a port nothing
    // listens on (not before 4 x 2 s) and when the emulator dies during the
    // read on connecting. Nothing of the read reaches the design, not even
    // the areas read, and after the emulator died a fresh one is read
    // completely.
    void linkGivesUpAfterFourTimeOuts_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::newRow("refused-tcp-connection") << false;
        QTest::newRow("emulator-killed-during-full-read") << true;
    }
    void linkGivesUpAfterFourTimeOuts()
    {
        QFETCH(bool, killed);
        std::unique_ptr<SimProcess> sim;
        Tool t;
        putDesign(t.store);
        const QVector<AreaRecord> before = t.store.areas;
        const SensorParameters parameters = t.window.sensorParameters();
        int progress = 0;
        connect(t.window.link(), &SERIAL_COMM::ProgressValue, [&](int v) { progress = v; });
        QElapsedTimer clock;
        clock.start();
        if (killed) {
            sim = std::make_unique<SimProcess>(QStringList{"--fault", "delay=30"});
            QVERIFY(sim->ready());
            connectTo(t, sim->endpoint("tcp"));
            QVERIFY(waitFor([&] { return progress >= 5; }, 5000));
            QVERIFY(progress < 60);
            sim.reset();
            clock.start();
        } else {
            connectTo(t, deadPort());
            QVERIFY(connected(t)); // the request counts as open
        }
        QVERIFY(waitFor([&] { return !m_boxes.isEmpty(); }, 12000));
        const qint64 ms = clock.elapsed();
        QVERIFY2(killed ? ms < 10000 : ms >= 7500, qPrintable(QString::number(ms)));
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].icon, QMessageBox::Warning);
        QCOMPARE((QStringList{m_boxes[0].title, m_boxes[0].text}),
                 (QStringList{"警告", "读写参数超时,请检查连接"}));
        QVERIFY(closedForGood(t));
        QVERIFY(t.window.form()->EthnernetSetting->isEnabled());
        auto *dialog = t.window.findChild<QProgressDialog *>();
        QVERIFY(dialog && !dialog->isVisible());
        QVERIFY(t.store.areas == before);
        QVERIFY(t.window.sensorParameters() == parameters);
        if (!killed)
            return;
        SimProcess again;
        QVERIFY(again.ready());
        m_boxes.clear();
        connectTo(t, again.endpoint("tcp"));
        QVERIFY(waitFor([&] { return boxTexts().contains("参数读取完成"); }, 10000));
        QVERIFY(t.store.areas[63] != before[63]);
        t.window.CloseSerialPort();
    }

    void rejectedWriteAll_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("english");
        QTest::addColumn<QStringList>("box"); // title, text
        QTest::newRow("setting-error") << "1" << false << QStringList{"错误", "参数设置异常"};
        QTest::newRow("flash-error-english") << "2" << true << QStringList{"Message", "FLASH Write Error"};
    }
    void rejectedWriteAll()
    {
        QFETCH(QString, status);
        QFETCH(bool, english);
        QFETCH(QStringList, box);
        SimProcess sim({"--fault", "reject=" + status});
        QVERIFY(sim.ready());
        Tool t;
        if (english)
            t.window.LanguageToEnglish();
        connectTo(t, sim.endpoint("tcp"));
        const QString read = english ? "Parameters Read OK" : "参数读取完成";
        QVERIFY(waitFor([&] { return boxTexts() == QStringList{read}; }, 10000));
        m_boxes.clear();
        auto *progress = t.window.findChild<QProgressDialog *>();
        bool progressOpenAtBox = true;
        int busyAtBox = 0;
        UiPrompt::setBoxAnswer([&](const UiPrompt::Box &b) {
            m_boxes << b;
            progressOpenAtBox = progress->isVisible();
            busyAtBox = t.window.link()->busyCode();
            return 0;
        });
        t.window.form()->WriteAllSetting->trigger();
        // The first area is refused: one box, and nothing more is written.
        QVERIFY(waitFor([&] { return !m_boxes.isEmpty(); }, 6000));
        QTest::qWait(300);
        initTestCase(); // the usual answers again
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE((QStringList{m_boxes[0].title, m_boxes[0].text}), box);
        // The progress closes before the box opens; the box opens before
        // the link lets the request go.
        QVERIFY(!progressOpenAtBox);
        QVERIFY(busyAtBox != 0);
        QVERIFY(!progress->isVisible());
        QCOMPARE(t.window.link()->writeAreaIndex(), 0);
        for (auto f : {SERIAL_COMM::FlagWriteAreas, SERIAL_COMM::FlagWriteCases,
                       SERIAL_COMM::FlagWriteParameters})
            QVERIFY(!t.window.link()->flag(f));
        QVERIFY(connected(t));
        t.window.CloseSerialPort();
    }

    // ---------------------------------------------------------------- IO simulation

    void ioButtonsAndSpinBoxes()
    {
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        t.window.show();
        t.window.OpenCloseIOSimulationDock(true);
        const SimulationRequest &r = t.store.simulation;
        QAbstractButton *in[6] = {ui->InputButton1, ui->InputButton2, ui->InputButton3,
                                  ui->InputButton4, ui->InputButton5, ui->InputButton6};
        QAbstractButton *out[3] = {ui->OutputButton1, ui->OutputButton2, ui->OutputButton3};
        const QStringList lit = {"Yellow1", "Orange2", "Red3"};
        const auto shows = [&](QAbstractButton **b, int n, QSpinBox *spin, unsigned word) {
            for (int i = 0; i < n; ++i) {
                const bool on = (word >> i) & 1;
                const QString name = !on ? QString("Gray%1").arg(i + 1)
                                         : n == 6 ? QString("Green%1").arg(i + 1) : lit[i];
                if (b[i]->isChecked() != on || !iconIs(b[i], name))
                    return false;
            }
            return spin->value() == int(word);
        };
        clickGroup(ui->InportGrouptBox);
        QCOMPARE(int(r.inputOn), 1);
        ui->InputButton3->click();
        ui->InputButton5->click();
        QCOMPARE(r.inputWord, 20u);
        QVERIFY(shows(in, 6, ui->InputspinBox, 20));
        ui->InputButton3->click();
        QCOMPARE(r.inputWord, 16u);
        QVERIFY(shows(in, 6, ui->InputspinBox, 16));
        typeInto(ui->InputspinBox, "63");
        QCOMPARE(r.inputWord, 63u);
        QVERIFY(shows(in, 6, ui->InputspinBox, 63));
        clickGroup(ui->InportGrouptBox); // off keeps the word
        QCOMPARE(int(r.inputOn), 0);
        QCOMPARE(r.inputWord, 63u);

        clickGroup(ui->OutportGrouptBox);
        ui->OutputButton1->click();
        ui->OutputButton3->click();
        QCOMPARE(int(r.outputOn), 1);
        QCOMPARE(r.outputWord, 5u);
        QVERIFY(shows(out, 3, ui->OutputspinBox, 5));
        typeInto(ui->OutputspinBox, "2");
        QCOMPARE(r.outputWord, 2u);
        QVERIFY(shows(out, 3, ui->OutputspinBox, 2));
    }

    void ioGroupsAndHidingTheDock()
    {
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        t.window.show();
        t.window.OpenCloseIOSimulationDock(true);
        const SimulationRequest &r = t.store.simulation;
        // Input and case simulation exclude each other; the last one checked wins.
        clickGroup(ui->InportGrouptBox);
        ui->InputButton2->click();
        clickGroup(ui->CaseSimulationBox);
        QCOMPARE(int(r.caseOn), 1);
        QCOMPARE(int(r.inputOn), 0);
        QVERIFY(!ui->InportGrouptBox->isChecked());
        clickGroup(ui->InportGrouptBox);
        QCOMPARE(int(r.inputOn), 1);
        QCOMPARE(int(r.caseOn), 0);
        QVERIFY(!ui->CaseSimulationBox->isChecked());
        // The fault button changes its picture at once, the request only
        // while its group is checked.
        QVERIFY(iconIs(ui->FaultSimuButton, "GrayFault"));
        ui->FaultSimuButton->click();
        QVERIFY(iconIs(ui->FaultSimuButton, "GreenFault"));
        QCOMPARE(int(r.faultOn) + int(r.faultState), 0);
        clickGroup(ui->FaultGroupBox);
        QCOMPARE(int(r.faultOn), 1);
        QCOMPARE(int(r.faultState), 1);
        clickGroup(ui->OutportGrouptBox);
        clickGroup(ui->CaseSimulationBox);
        QCOMPARE(int(r.outputOn) + int(r.faultOn) + int(r.caseOn), 3);
        // Hiding the dock switches every simulation off.
        t.window.OpenCloseIOSimulationDock(false);
        QVERIFY(ui->IOSimulationDock->isHidden());
        QCOMPARE((QList<int>{r.inputOn, r.outputOn, r.faultOn, r.caseOn, r.faultState}),
                 (QList<int>{0, 0, 0, 0, 0}));
        for (QGroupBox *g : {ui->InportGrouptBox, ui->OutportGrouptBox, ui->FaultGroupBox,
                             ui->CaseSimulationBox})
            QVERIFY2(!g->isChecked(), qPrintable(g->objectName()));
        // Switched on again, it resumes with the same states.
        t.window.OpenCloseIOSimulationDock(true);
        clickGroup(ui->InportGrouptBox);
        clickGroup(ui->FaultGroupBox);
        QCOMPARE(r.inputWord, 2u);
        QCOMPARE(int(r.faultState), 1);
        // Case-channel values: spin box and slider stay equal, within their ranges.
        ui->SimSpeedSlider->setValue(-120);
        QCOMPARE(ui->SimSpeedSpinBox->value(), -120);
        QCOMPARE(r.vehicleSpeed, -120);
        ui->SimDgreeSpinBox->setValue(200);
        QCOMPARE(ui->SimDgreeSlider->value(), 180);
        QCOMPARE(r.steeringAngle, 180);
        ui->SimSpeedSpinBox->setValue(-400);
        QCOMPARE(ui->SimSpeedSlider->value(), -300);
        QCOMPARE(r.vehicleSpeed, -300);
        ui->SimOptionMode->setCurrentIndex(3);
        QCOMPARE(r.operationMode, 3);
    }

    // ---------------------------------------------------------------- monitoring displays

    void ioLamps_data()
    {
        QTest::addColumn<uint>("inport");
        QTest::addColumn<uint>("outport");
        QTest::addColumn<QStringList>("pictures"); // InputPort1..6, OutputPort1..3
        QTest::newRow("41-6") << 41u << 6u
                              << QStringList{"Green1", "Gray2", "Gray3", "Green4", "Gray5",
                                             "Green6", "Gray1", "Orange2", "Red3"};
        QTest::newRow("all") << 63u << 7u
                             << QStringList{"Green1", "Green2", "Green3", "Green4", "Green5",
                                            "Green6", "Yellow1", "Orange2", "Red3"};
        QTest::newRow("high-bits") << 0xC2u << 0x109u
                                   << QStringList{"Gray1", "Green2", "Gray3", "Gray4", "Gray5",
                                                  "Gray6", "Yellow1", "Gray2", "Gray3"};
    }
    void ioLamps()
    {
        QFETCH(uint, inport);
        QFETCH(uint, outport);
        QFETCH(QStringList, pictures);
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        Q_EMIT t.window.link()->IOPortSignals(inport, outport);
        const QLabel *lamps[9] = {ui->InputPort1,  ui->InputPort2,  ui->InputPort3,
                                  ui->InputPort4,  ui->InputPort5,  ui->InputPort6,
                                  ui->OutputPort1, ui->OutputPort2, ui->OutputPort3};
        for (int i = 0; i < 9; ++i) {
            QVERIFY2(!picture(pictures[i]).isNull(), qPrintable(pictures[i]));
            QVERIFY2(lamp(lamps[i]) == picture(pictures[i]),
                     qPrintable(lamps[i]->objectName() + " is not " + pictures[i]));
        }
        QCOMPARE(ui->InputlcdNum->intValue(), int(inport));
    }

    void selfCheckFormats_data()
    {
        QTest::addColumn<QList<int>>("values"); // temperature, speed, three voltages
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("negative") << QList<int>{-512, 600, 1234, 5, 40000}
                                  << QStringList{"-5.12°", "600r/min", "12.34V", "0.05V", "400.00V"};
        QTest::newRow("typical") << QList<int>{3650, 1200, 2400, 1850, 12000}
                                 << QStringList{"36.50°", "1200r/min", "24.00V", "18.50V", "120.00V"};
        QTest::newRow("extremes") << QList<int>{-32768, 65535, 65535, 0, 1}
                                  << QStringList{"-327.68°", "65535r/min", "655.35V", "0.00V", "0.01V"};
        QTest::newRow("just-below-zero") << QList<int>{-1, 0, 99, 100, 101}
                                         << QStringList{"-0.01°", "0r/min", "0.99V", "1.00V", "1.01V"};
    }
    void selfCheckFormats()
    {
        QFETCH(QList<int>, values);
        QFETCH(QStringList, texts);
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        Q_EMIT t.window.link()->SelfCheckStatus(short(values[0]), ushort(values[1]),
                                                ushort(values[2]), ushort(values[3]),
                                                ushort(values[4]));
        QCOMPARE((QStringList{ui->SensorTemper->text(), ui->RotateSpeed->text(),
                              ui->DriveVoltage->text(), ui->SendVoltage->text(),
                              ui->ReceiveVoltage->text()}),
                 texts);
    }

    void dataTableListsTheLatestScan()
    {
        Tool t;
        QTableWidget *table = t.window.form()->DataTableWidget;
        QCOMPARE(table->rowCount(), 540);
        QCOMPARE(table->columnCount(), 3);
        QStringList headers;
        for (int c = 0; c < 3; ++c)
            headers << table->horizontalHeaderItem(c)->text();
        QCOMPARE(headers, QStringList({"角度", "距离[mm]", "反光强度"}));
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("1"));
        QCOMPARE(table->item(539, 0)->text(), QStringLiteral("540"));
        for (int i = 0; i < 640; ++i) {
            t.scan.serialDistances[size_t(i)] = quint16(1000 + i);
            t.scan.serialIntensities[size_t(i)] = quint16(i * 7);
        }
        Q_EMIT t.window.link()->ReceiveScanfData();
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("1000"));
        QCOMPARE(table->item(539, 1)->text(), QStringLiteral("1539"));
        QCOMPARE(table->item(539, 2)->text(), QStringLiteral("3773"));
        t.scan.serialIntensities[3] = 65535;
        Q_EMIT t.window.link()->ReceiveIntensityData();
        QCOMPARE(table->item(3, 2)->text(), QStringLiteral("65535"));
        QCOMPARE(table->item(3, 0)->text(), QStringLiteral("4"));
        for (int row : {0, 539})
            QCOMPARE(table->rowHeight(row), 22);
    }

    // ---------------------------------------------------------------- sensor settings dock

    void receivedRecordIsCorrected_data()
    {
        QTest::addColumn<bool>("ethernet");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("received");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("stored");
        QTest::newRow("motor-2-serial") << false << 11 << 2 << 0 << 0;
        QTest::newRow("motor-2-ethernet") << true << 11 << 2 << 0 << 0;
        QTest::newRow("angle-7-ethernet") << true << 12 << 7 << 1 << 1;
        QTest::newRow("angle-4-ethernet") << true << 12 << 4 << 4 << 4;
        // Corrected in either mode: the dock shows what a write sends.
        QTest::newRow("angle-7-serial") << false << 12 << 7 << 1 << 1;
        QTest::newRow("filter-4") << false << 13 << 4 << 0 << 0;
        QTest::newRow("install-dir-2") << true << 14 << 2 << 0 << 0;
        QTest::newRow("cross-number-9-as-it-comes") << true << 16 << 9 << -1 << 9;
    }
    void receivedRecordIsCorrected()
    {
        QFETCH(bool, ethernet);
        QFETCH(int, field);
        QFETCH(int, received);
        QFETCH(int, shown);
        QFETCH(int, stored);
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        t.window.CreatConnectTypeSignalSlot(ethernet ? 1 : 0);
        QComboBox *widgets[6] = {ui->Para_ScanMotorSpeed,   ui->Para_ScanSensorAngle,
                                 ui->Para_ScanFilterLevel,  ui->Para_SensorInstallDir,
                                 ui->Para_CrossFilterEnable, ui->Para_CrossFilterNumber};
        t.window.sensorParameters().setField(field, received);
        Q_EMIT t.window.link()->ReceiveParameters();
        QCOMPARE(widgets[field - 11]->currentIndex(), shown);
        QCOMPARE(t.window.sensorParameters().field(field), stored);
        QVERIFY(!ui->Para_SensorInstallDir->isEnabled());
    }

    void serialModeKeepsEthernetFields_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<int>("value");
        QTest::newRow("angle-0.025") << "Para_ScanSensorAngle" << 0;
        QTest::newRow("ether-mode") << "Para_SensorEtherMode" << 1;
        QTest::newRow("octet-1") << "Para_SensorIPAddress1" << 210;
        QTest::newRow("octet-4") << "Para_SensorIPAddress4" << 5;
        QTest::newRow("rs232-baud") << "Para_RS232BaudRate" << 3;
        QTest::newRow("motor-speed") << "Para_ScanMotorSpeed" << 0;
    }
    void serialModeKeepsEthernetFields()
    {
        QFETCH(QString, widget);
        QFETCH(int, value);
        Tool t;
        t.window.CreatConnectTypeSignalSlot(0);
        SensorParameters &p = t.window.sensorParameters();
        p.ScanSensorAngle = 3;
        p.SensorEtherMode = 1;
        p.SensorIPAddressHigh = (200 << 8) | 10;
        p.SensorIPAddressLow = (20 << 8) | 30;
        QWidget *w = t.window.findChild<QWidget *>(widget);
        QVERIFY(w);
        setValue(w, value);
        QCOMPARE((QList<int>{p.ScanSensorAngle, p.SensorEtherMode, p.SensorIPAddressHigh,
                             p.SensorIPAddressLow}),
                 (QList<int>{3, 1, (200 << 8) | 10, (20 << 8) | 30}));
        // The other fields did follow the change.
        QCOMPARE(p.RS232BaudRate, widget == "Para_RS232BaudRate" ? 3 : 0);
        QCOMPARE(p.ScanMotorSpeed, widget == "Para_ScanMotorSpeed" ? 0 : 1);
    }
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
