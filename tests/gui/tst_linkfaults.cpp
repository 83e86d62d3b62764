#include "gui/dialogs/SettingsDialog.h"
#include "gui/panels/IO_SIMULATION.h"
#include "ui_settingsdialog.h"

#include "tests/gui/GuiTestKit.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TestFiles.h"

#include <QProgressDialog>
#include <QStatusBar>

#include <memory>

namespace {

// Every frame the link writes, by token.
struct Sent {
    QList<QByteArray> frames;
    explicit Sent(SERIAL_COMM *link)
    {
        QObject::connect(link, &SERIAL_COMM::FrameSent, [this](const QByteArray &f) { frames << f; });
    }
    QList<QByteArray> of(const char *token) const
    {
        QList<QByteArray> out;
        for (const QByteArray &f : frames)
            if (f.startsWith(token))
                out << f;
        return out;
    }
    int count(const char *token) const { return of(token).size(); }
    QByteArray first(const char *token) const { return of(token).value(0); }
    QByteArray last(const char *token) const { return of(token).value(count(token) - 1); }
};

} // namespace

// The link against the emulator when things go wrong: a design with unsaved
// changes, a sensor that goes away, an address that is not there.
class TestLinkFaults : public QObject
{
    Q_OBJECT
    PrivateSettings m_settings;
    QTemporaryDir m_dir;

private Q_SLOTS:
    void connectingAsksBeforeReplacingUnsavedWork_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("answer"); // 0 save, 1 replace, 2 keep
        QTest::addColumn<QString>("file"); // save dialog answer
        QTest::addColumn<bool>("connects");
        QTest::addColumn<bool>("reads");
        QTest::newRow("unchanged-design-reads") << false << -1 << "" << true << true;
        QTest::newRow("keep") << true << 2 << "" << true << false;
        QTest::newRow("replace") << true << 1 << "" << true << true;
        QTest::newRow("save-then-read") << true << 0 << "kept" << true << true;
        QTest::newRow("save-cancelled") << true << 0 << "" << false << false;
        QTest::newRow("save-failed") << true << 0 << "none/kept" << false << false;
    }
    void connectingAsksBeforeReplacingUnsavedWork()
    {
        QFETCH(bool, modified);
        QFETCH(int, answer);
        QFETCH(QString, file);
        QFETCH(bool, connects);
        QFETCH(bool, reads);
        SimProcess sim;
        QVERIFY(sim.ready());
        Answers ask;
        Tool t;
        Sent sent(t.window.link());
        putDesign(t.store);
        t.store.modified = modified;
        const QVector<AreaRecord> before = t.store.areas;
        if (answer >= 0)
            ask.boxAnswers = {answer, 0};
        if (!file.isEmpty())
            ask.fileAnswers = QStringList{m_dir.filePath(file)};
        connectTo(t, sim.endpoint("tcp"));
        if (modified) {
            QVERIFY(!ask.boxes.isEmpty());
            QCOMPARE(ask.boxes[0].title, QStringLiteral("警告"));
            QCOMPARE(ask.boxes[0].buttons, (QStringList{"保存", "替换", "保留", "比较"}));
        }
        QCOMPARE(connected(t), connects);
        if (reads) {
            QVERIFY(waitFor([&] { return ask.texts().contains("参数读取完成"); }, 10000));
            QVERIFY(t.store.areas[3] != before[3]); // the sensor's areas now
            QCOMPARE(sent.first("RArea").mid(5, 1), QByteArray(1, '\0'));
        } else {
            QTest::qWait(400);
            QCOMPARE(sent.count("RArea") + sent.count("RCase") + sent.count("RPara"), 0);
            QVERIFY(t.store.areas == before);
            QVERIFY(t.store.modified);
        }
        if (answer == 0 && connects)
            QVERIFY(readFile(m_dir.filePath(file + ".ZQ30")).contains("800,0\n0,800\n-800,0"));
        if (connects)
            t.window.CloseSerialPort();
    }

    void readAllAsksBeforeReplacingUnsavedWork()
    {
        SimProcess sim;
        QVERIFY(sim.ready());
        Answers ask;
        Tool t;
        Sent sent(t.window.link());
        connectTo(t, sim.endpoint("tcp"));
        QVERIFY(waitFor([&] { return ask.texts().contains("参数读取完成"); }, 10000));
        putDesign(t.store);
        t.store.modified = true;
        const QVector<AreaRecord> edited = t.store.areas;
        sent.frames.clear();
        ask.boxes.clear();
        ask.boxAnswers = {2}; // keep
        t.window.form()->ReadAllSetting->trigger();
        QCOMPARE(ask.boxes.size(), 1);
        QCOMPARE(ask.boxes[0].buttons, (QStringList{"保存", "替换", "保留", "比较"}));
        QTest::qWait(300);
        QCOMPARE(sent.count("RArea"), 0);
        QVERIFY(t.store.areas == edited);
        ask.boxAnswers = {1}; // replace
        t.window.form()->ReadAllSetting->trigger();
        QVERIFY(waitFor([&] { return ask.texts().count("参数读取完成") == 1; }, 10000));
        QCOMPARE(sent.count("RArea"), 64);
        QVERIFY(t.store.areas[3] != edited[3]);
        t.window.CloseSerialPort();
    }

    // The serial device goes away under the open port, after the read on
    // connecting or in the middle of it. The boxes open for real; the port's
    // errors arrive inside their event loops. One box for the failure, a cut
    // read leaves the design untouched, and the next connection reads from
    // area 0.
    void serialDeviceVanishes_data()
    {
        QTest::addColumn<bool>("duringRead");
        QTest::addColumn<bool>("english");
        QTest::newRow("after-the-read") << false << false;
        QTest::newRow("after-the-read-english") << false << true;
        QTest::newRow("during-the-read") << true << false;
    }
    void serialDeviceVanishes()
    {
        QFETCH(bool, duringRead);
        QFETCH(bool, english);
        auto sim = std::make_unique<SimProcess>(duringRead ? QStringList{"--fault", "delay=30"}
                                                           : QStringList());
        QVERIFY(sim->ready());
        const QString pty = sim->endpoint("serial");
        ModalCloser closer;
        Tool t;
        if (english)
            t.window.LanguageToEnglish();
        Sent sent(t.window.link());
        putDesign(t.store);
        const QVector<AreaRecord> before = t.store.areas;
        int progress = 0;
        connect(t.window.link(), &SERIAL_COMM::ProgressValue, [&](int v) { progress = v; });
        t.window.serialSettings()->form()->baudRateBox->setCurrentIndex(1);
        t.window.CreatOpenSerialPort(pty);
        QCOMPARE(t.window.statusBar()->currentMessage(),
                 QString(english ? "Connected to %1 : 115200, 8, None, 1, None"
                                 : "连接到 %1 : 115200, 8, None, 1, None")
                     .arg(pty));
        QVERIFY(connected(t));
        const QStringList read{english ? "Parameters Read OK" : "参数读取完成"};
        // Mid-read, or once the read's own box has been closed.
        QVERIFY(waitFor(
            [&] {
                return duringRead ? progress >= 6
                                  : closer.texts() == read && !QApplication::activeModalWidget();
            },
            10000));
        const int boxes = closer.seen.size();
        sim.reset();
        QVERIFY(waitFor([&] { return closer.seen.size() > boxes; }, 5000));
        QTest::qWait(duringRead ? 1500 : 300);
        QCOMPARE(closer.titles().mid(boxes), QStringList{"Critical Error"});
        QCOMPARE(closer.seen.last().icon, QMessageBox::Critical);
        QVERIFY(closedForGood(t));
        QVERIFY(t.window.form()->SerialSetting->isEnabled());
        auto *dialog = t.window.findChild<QProgressDialog *>();
        QVERIFY(dialog && !dialog->isVisible());
        if (!duringRead)
            return;
        QVERIFY(t.store.areas == before);

        SimProcess again;
        QVERIFY(again.ready());
        sent.frames.clear();
        t.window.CreatOpenSerialPort(again.endpoint("serial"));
        QVERIFY(waitFor([&] { return closer.texts().contains("参数读取完成"); }, 10000));
        QCOMPARE(sent.first("RArea").mid(5, 1), QByteArray(1, '\0'));
        QCOMPARE(sent.count("RArea"), 64);
        QVERIFY(t.store.areas[3] != before[3]);
        t.window.CloseSerialPort();
    }

    void disconnectEndsEverySimulation()
    {
        SimProcess sim;
        QVERIFY(sim.ready());
        Answers ask;
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        Sent sent(t.window.link());
        t.window.show();
        connectTo(t, sim.endpoint("tcp"));
        QVERIFY(waitFor([&] { return ask.texts().contains("参数读取完成"); }, 10000));
        ui->IOSimulation->trigger();
        QTest::keyClick(ui->InportGrouptBox, Qt::Key_Space);
        ui->InputButton3->click();
        QTest::keyClick(ui->OutportGrouptBox, Qt::Key_Space);
        QTest::keyClick(ui->FaultGroupBox, Qt::Key_Space);
        QVERIFY(waitFor([&] { return sent.last("WSimu").mid(5, 2) == QByteArray("\x01\x04", 2); }, 2000));
        t.window.CloseSerialPort();
        const SimulationRequest &r = t.store.simulation;
        QCOMPARE(int(r.inputOn) + int(r.outputOn) + int(r.faultOn) + int(r.caseOn), 0);
        for (QGroupBox *g : {ui->InportGrouptBox, ui->OutportGrouptBox, ui->FaultGroupBox,
                             ui->CaseSimulationBox})
            QVERIFY(!g->isChecked());
        QVERIFY(!ui->IOSimulation->isChecked());

        // The next connection forces nothing.
        sent.frames.clear();
        connectTo(t, sim.endpoint("tcp"));
        QVERIFY(waitFor([&] { return sent.count("WSimu") >= 2; }, 10000));
        const QByteArray w = sent.last("WSimu");
        QCOMPARE(int(w[5]), 0);  // inputs and case channel not simulated
        QCOMPARE(int(w[13]), 0); // outputs not simulated
        QCOMPARE(int(w[15]), 0); // no fault
        t.window.CloseSerialPort();
    }

    void writeProgressIsTitledAtOnceAndClosedByDisconnect()
    {
        SimProcess sim({"--fault", "delay=300"});
        QVERIFY(sim.ready());
        Answers ask;
        Tool t;
        auto *dialog = t.window.findChild<QProgressDialog *>();
        t.store.modified = true;
        ask.boxAnswers = {2}; // keep the design: nothing is read
        connectTo(t, sim.endpoint("tcp"));
        QVERIFY(connected(t));
        QVERIFY(!dialog->isVisible());
        t.window.form()->WriteAllSetting->trigger();
        QVERIFY(waitFor([&] { return dialog->isVisible(); }, 2000));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("下载数据"));
        t.window.CloseSerialPort();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(t.window.link()->writeAreaIndex(), 0);
    }
};

QTEST_MAIN(TestLinkFaults)
#include "tst_linkfaults.moc"
