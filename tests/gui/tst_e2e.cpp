#include "gui/panels/SENSOR_SETTING.h"

#include "tests/gui/GuiTestKit.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TestFiles.h"

#include <QProgressDialog>
#include <QStatusBar>

// The real main window against the emulator, over loopback.
class TestEndToEnd : public QObject
{
    Q_OBJECT
    PrivateSettings m_settings;
    QStringList m_boxes;

private Q_SLOTS:
    void initTestCase()
    {
        UiPrompt::setBoxAnswer([this](const UiPrompt::Box &b) {
            m_boxes << b.text;
            return 0;
        });
    }
    void init() { m_boxes.clear(); }

    // Through each transport, also when the emulator splits or delays its
    // replies: the read on connecting, a write, forced inputs and outputs
    // back from the sensor to the lamps, monitoring, disconnecting.
    void connectReadWriteSimulateDisconnect_data()
    {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("fault");
        QTest::newRow("tcp") << "tcp" << "";
        QTest::newRow("udp") << "udp" << "";
        QTest::newRow("serial") << "serial" << "";
        QTest::newRow("tcp-split") << "tcp" << "split=1";
        QTest::newRow("udp-split") << "udp" << "split=1";
        QTest::newRow("tcp-delay") << "tcp" << "delay=20";
    }
    void connectReadWriteSimulateDisconnect()
    {
        QFETCH(QString, transport);
        QFETCH(QString, fault);
        SimProcess sim(QStringList{"--product-type", "9"} +
                       (fault.isEmpty() ? QStringList() : QStringList{"--fault", fault}));
        QVERIFY(sim.ready());
        Tool t;
        t.window.show();
        Ui::MainWindow *ui = t.window.form();
        QList<int> progress, all;
        connect(t.window.link(), &SERIAL_COMM::ProgressValue, [&](int v) { progress << v; });
        QSignalSpy params(t.window.link(), &SERIAL_COMM::ReceiveParameters);

        if (transport == "serial") {
            t.window.CreatOpenSerialPort(sim.endpoint("serial"));
        } else {
            connectTo(t, quint16(sim.endpoint(transport).toUInt()),
                      transport == "tcp" ? "MODE: TCP" : "MODE: UDP");
            QCOMPARE(t.window.statusBar()->currentMessage(),
                     "连接到127.0.0.1:" + sim.endpoint(transport));
        }
        QVERIFY(waitFor([&] { return params.count() == 1; }, 10000));
        // All 64 areas, one by one, came before the parameters.
        for (int i = 1; i <= 64; ++i)
            all << i;
        QCOMPARE(progress, all);
        QCOMPARE(m_boxes, QStringList{"参数读取完成"});
        QVERIFY(ui->ReadAllSetting->isEnabled() && connected(t));
        // The dock shows the emulator's record: defaults, so 20 Hz.
        QCOMPARE(ui->Para_ScanMotorSpeed->currentIndex(), 1);

        // Write a design and find it in the emulator.
        t.store.areas[5].points[0] = {QPoint(1000, 0), QPoint(0, 1000), QPoint(-1000, 0)};
        t.store.areas[5].openDelay = 7;
        if (fault.isEmpty()) {
            t.window.form()->WriteAllSetting->trigger();
            QVERIFY(waitFor([&] { return m_boxes.contains("参数写入完成"); }, 10000));
            QTemporaryDir dir;
            // Read back over TCP: the window still holds the serial port.
            const CliRun back = runCli(QStringList{"read"} + sim.link("tcp") +
                                       QStringList{"-o", dir.filePath("b")});
            QCOMPARE(back.exitCode, 0);
            QVERIFY(readFile(dir.filePath("b")).contains("CoordTableData\n0\n"));
            QVERIFY(readFile(dir.filePath("b")).contains("\n5\n7\n"));
        }

        // Forced inputs and outputs come back in the IO reports to the lamps.
        ui->IOSimulation->trigger();
        clickGroup(ui->InportGrouptBox);
        ui->InputButton3->click();
        ui->InputButton5->click();
        QCOMPARE(t.store.simulation.inputWord, 20u);
        QCOMPARE(ui->InputspinBox->value(), 20);
        clickGroup(ui->OutportGrouptBox);
        ui->OutputButton1->click();
        ui->OutputButton3->click();
        QVERIFY(waitFor([&] { return ui->InputlcdNum->intValue() == 20
                                     && lamp(ui->OutputPort3) == picture("Red3"); }, 3000));
        QCOMPARE((QList<QImage>{lamp(ui->InputPort3), lamp(ui->InputPort4), lamp(ui->OutputPort1),
                                lamp(ui->OutputPort2)}),
                 (QList<QImage>{picture("Green3"), picture("Gray4"), picture("Yellow1"),
                                picture("Gray2")}));
        // Monitoring follows the sensor's inputs.
        t.window.OpenMonitoringMode();
        QVERIFY(waitFor([&] { return t.store.currentArea == 20; }, 3000));

        t.window.CloseSerialPort();
        QCOMPARE(t.window.statusBar()->currentMessage(), QStringLiteral("Disconnected"));
        QVERIFY(disconnected(t));
        QVERIFY(ui->IOSimulationDock->isHidden());
        QCOMPARE(ui->InputlcdNum->intValue(), 0);
        QCOMPARE(lamp(ui->InputPort3), picture("Gray3"));
        QCOMPARE(t.store.areas[5].openDelay, 7); // the design stays
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
