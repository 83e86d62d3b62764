#include "core/link/Discovery.h"
#include "gui/dialogs/Create.h"
#include "gui/dialogs/EthnertSetting.h"
#include "gui/dialogs/SettingsDialog.h"
#include "ui_create.h"
#include "ui_ethnertsetting.h"
#include "ui_settingsdialog.h"

#include "tests/gui/GuiTestKit.h"
#include "tests/support/SimProcess.h"

#include <QIntValidator>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QStatusBar>
#include <QUdpSocket>

#include <memory>

// The serial and Ethernet dialogs, the welcome dialog's connection tabs and
// the search for sensors behind them.

Q_DECLARE_METATYPE(QList<Discovery::Interface>)

namespace {
const QByteArray kSearch = QByteArrayList{"M-SEARCH * HTTP/1.1",
                                          "HOST: 239.255.255.250:1900",
                                          "MAN: \"ssdp:discover\"",
                                          "MX: 1",
                                          "ST: urn:corvane-robot-com:device:KD-10:1.0",
                                          ""}
                               .join("\r\n");

const QHostAddress kLoopback(QHostAddress::LocalHost);

// Search datagrams a listener received: "address:port" of each sender.
QStringList searchesFrom(QUdpSocket &listener, int count, int ms)
{
    QStringList from;
    waitFor([&] {
        while (listener.hasPendingDatagrams()) {
            const QNetworkDatagram d = listener.receiveDatagram();
            from << (d.data() == kSearch ? QStringLiteral("%1:%2")
                                                .arg(d.senderAddress().toString())
                                                .arg(d.senderPort())
                                         : QStringLiteral("not a search"));
        }
        return from.size() >= count;
    }, ms);
    return from;
}

void typeInto(QComboBox *box, const QString &text)
{
    box->lineEdit()->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    else
        QTest::keyClicks(box->lineEdit(), text);
}

QStringList entries(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}
} // namespace

class TestDiscovery : public QObject
{
    Q_OBJECT
    PrivateSettings m_settings;

private Q_SLOTS:
    // ---------------------------------------------------------------- serial dialog

    void serialDialogEntries_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("initial");
        QTest::newRow("baud") << "baudRateBox"
                              << QStringList{"576000", "115200", "9600", "19200", "38400", "Custom"}
                              << QVariantList{576000, 115200, 9600, 19200, 38400, QVariant()}
                              << "576000";
        QTest::newRow("data-bits") << "dataBitsBox" << QStringList{"5", "6", "7", "8"}
                                   << QVariantList{5, 6, 7, 8} << "8";
        QTest::newRow("parity") << "parityBox" << QStringList{"None", "Even", "Odd", "Mark", "Space"}
                                << QVariantList{0, 2, 3, 5, 4} << "None";
        QTest::newRow("stop-bits") << "stopBitsBox" << QStringList{"1", "1.5", "2"}
                                   << QVariantList{1, 3, 2} << "1";
        QTest::newRow("flow") << "flowControlBox" << QStringList{"None", "RTS/CTS", "XON/XOFF"}
                              << QVariantList{0, 1, 2} << "None";
    }
    void serialDialogEntries()
    {
        QFETCH(QString, box);
        QFETCH(QStringList, texts);
        QFETCH(QVariantList, values);
        QFETCH(QString, initial);
        SettingsDialog d;
        auto *c = d.findChild<QComboBox *>(box);
        QVERIFY(c);
        QCOMPARE(c->count(), texts.size());
        for (int i = 0; i < texts.size(); ++i) {
            QCOMPARE(c->itemText(i), texts[i]);
            QCOMPARE(c->itemData(i).isValid(), values[i].isValid());
            QCOMPARE(c->itemData(i).toInt(), values[i].toInt());
        }
        QCOMPARE(c->currentText(), initial);
        QCOMPARE(d.settings().baudRate, 576000);
        QCOMPARE(int(d.settings().dataBits), 8);
    }

    void serialDialogBaudRate_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("rate");
        QTest::newRow("38400") << "38400" << "" << 38400;
        QTest::newRow("custom-typed") << "Custom" << "12345" << 12345;
        QTest::newRow("custom-empty") << "Custom" << "" << 0;
        QTest::newRow("custom-letters-refused") << "Custom" << "12a3" << 123;
        QTest::newRow("custom-eighth-digit-refused") << "Custom" << "40000000" << 4000000;
        QTest::newRow("custom-above-limit-refused") << "Custom" << "5000000" << 500000;
    }
    void serialDialogBaudRate()
    {
        QFETCH(QString, entry);
        QFETCH(QString, typed);
        QFETCH(int, rate);
        SettingsDialog d;
        QComboBox *baud = d.form()->baudRateBox;
        baud->setCurrentIndex(baud->findText(entry));
        const bool custom = entry == "Custom";
        QCOMPARE(baud->isEditable(), custom);
        if (custom) {
            QCOMPARE(baud->currentText(), QString());
            const auto *v = qobject_cast<const QIntValidator *>(baud->lineEdit()->validator());
            QVERIFY(v && v->bottom() == 0 && v->top() == 4000000);
            QTest::keyClicks(baud->lineEdit(), typed);
            QTest::keyClick(baud->lineEdit(), Qt::Key_Return);
            QCOMPARE(baud->count(), 6); // typed text never becomes an entry
        }
        d.form()->Enter->click();
        QCOMPARE(d.settings().baudRate, rate);
        QCOMPARE(d.settings().stringBaudRate, QString::number(rate));
        baud->setCurrentIndex(1);
        QVERIFY(!baud->isEditable());
    }

    void serialDialogConfirmEmitsPortAndHides()
    {
        SettingsDialog d;
        Ui::SettingsDialog *ui = d.form();
        QCOMPARE(d.windowModality(), Qt::ApplicationModal);
        const QString firstPort = ui->serialPortInfoListBox->itemText(0);
        ui->dataBitsBox->setCurrentIndex(2);
        ui->parityBox->setCurrentIndex(3);
        ui->stopBitsBox->setCurrentIndex(1);
        ui->flowControlBox->setCurrentIndex(2);
        d.show();
        QSignalSpy open(&d, &SettingsDialog::OpenSerialSignal);
        ui->Enter->click();
        QCOMPARE(open.count(), 1);
        QCOMPARE(open[0][0].toString(), firstPort);
        QVERIFY(d.isHidden());
        const SettingsDialog::Settings s = d.settings();
        QCOMPARE(s.name, firstPort);
        QCOMPARE((QList<int>{s.dataBits, s.parity, s.stopBits, s.flowControl}),
                 (QList<int>{7, 5, 3, 2}));
        QCOMPARE((QStringList{s.stringDataBits, s.stringParity, s.stringStopBits,
                              s.stringFlowControl}),
                 (QStringList{"7", "Mark", "1.5", "XON/XOFF"}));
        // No port at all: an empty name. Cancel only hides.
        ui->serialPortInfoListBox->clear();
        ui->Enter->click();
        QCOMPARE(open.count(), 2);
        QCOMPARE(open[1][0].toString(), QString());
        d.show();
        ui->Cancel->click();
        QVERIFY(d.isHidden());
        QCOMPARE(open.count(), 2);
    }

    // A device the system does not list (the emulator's pseudo-terminal) is
    // typed into the port box; it survives a refresh of the list and is the
    // port the main window opens.
    void typedSerialDeviceIsOpened_data()
    {
        QTest::addColumn<bool>("welcome");
        QTest::newRow("serial-dialog") << false;
        QTest::newRow("welcome-dialog") << true;
    }
    void typedSerialDeviceIsOpened()
    {
        QFETCH(bool, welcome);
        SimProcess sim;
        QVERIFY(sim.ready());
        const QString pty = sim.endpoint("serial");
        Answers ask;
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        Create *w = t.window.welcome();
        QComboBox *box = nullptr;
        QAbstractButton *refresh = nullptr;
        QAbstractButton *confirm = nullptr;
        if (welcome) {
            w->show();
            w->form()->ConnecttabWidget->setCurrentIndex(0);
            box = w->form()->comboBox_Serial;
            refresh = w->form()->Button_Refresh;
            confirm = w->form()->Button_Connect;
        } else {
            ui->SerialConnection->trigger();
            ui->SerialSetting->trigger(); // shows the dialog and lists the ports
            box = t.window.serialSettings()->form()->serialPortInfoListBox;
            confirm = t.window.serialSettings()->form()->Enter;
        }
        QVERIFY(box->isEditable());
        typeInto(box, pty);
        if (refresh)
            refresh->click();
        else
            ui->SerialSetting->trigger();
        QCOMPARE(box->currentText(), pty);
        QTest::mouseClick(confirm, Qt::LeftButton);
        QVERIFY(w->isHidden() && t.window.serialSettings()->isHidden());
        QCOMPARE(t.window.statusBar()->currentMessage(),
                 QStringLiteral("连接到 %1 : 576000, 8, None, 1, None").arg(pty));
        QVERIFY(connected(t));
        QVERIFY(waitFor([&] { return ask.texts().contains("参数读取完成"); }, 10000));
        QCOMPARE(ask.texts(), QStringList{"参数读取完成"});
        t.window.CloseSerialPort();
    }

    void dialogTexts_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QStringList>("serial");
        QTest::addColumn<QStringList>("ethernet");
        QTest::newRow("chinese") << false
                                 << QStringList{"串口设置", "选择串口", "串口号:", "参数设置:",
                                                "波特率:", "数据位:", "奇偶校验:", "停止位:",
                                                "流控制:", "确定", "取消"}
                                 << QStringList{"以太网设置", "确定", "取消"};
        QTest::newRow("english") << true
                                 << QStringList{"Serial Setting", "Serial Select",
                                                "Serial Number:", "Parameters Setting:",
                                                "Baud Rate:", "Data Bits:", "Parity:",
                                                "Stop Bits:", "Flow Control:", "Enter", "Cancel"}
                                 << QStringList{"Ethnert Setting", "OK", "Cancel"};
    }
    void dialogTexts()
    {
        QFETCH(bool, english);
        QFETCH(QStringList, serial);
        QFETCH(QStringList, ethernet);
        SettingsDialog s;
        EthnertSetting e(nullptr, false);
        // Through the other language first, so leftovers of either would show.
        for (bool en : {!english, english}) {
            en ? s.SetEnglishTexts() : s.SetChineseTexts();
            en ? e.SetEnglishTexts() : e.SetChineseTexts();
        }
        Ui::SettingsDialog *u = s.form();
        QCOMPARE((QStringList{s.windowTitle(), u->selectBox->title(), u->SerialLabel->text(),
                              u->parametersBox->title(), u->baudRateLabel->text(),
                              u->dataBitsLabel->text(), u->parityLabel->text(),
                              u->stopBitsLabel->text(), u->flowControlLabel->text(),
                              u->Enter->text(), u->Cancel->text()}),
                 serial);
        QCOMPARE(u->parityBox->itemText(1), QStringLiteral("Even"));
        QCOMPARE((QStringList{e.windowTitle(), e.form()->Enter->text(), e.form()->Cancel->text()}),
                 ethernet);
        QCOMPARE(e.form()->label_IPAddress->text(), QStringLiteral("传感器以太网IP地址"));
    }

    // ---------------------------------------------------------------- the search

    // One socket per IPv4 address of every interface that is up, from port
    // 50000 upwards, every search. The addresses stand in for a computer's
    // interfaces; all of them are on loopback.
    void searchFromEveryInterfaceThatIsUp_data()
    {
        using I = Discovery::Interface;
        const QHostAddress lo(QStringLiteral("127.0.0.1")), lan(QStringLiteral("127.0.0.2")),
            wifi(QStringLiteral("127.0.0.3")), v6(QStringLiteral("::1")),
            linkLocal(QStringLiteral("fe80::1"));
        QTest::addColumn<QList<Discovery::Interface>>("interfaces");
        QTest::addColumn<QStringList>("from");
        QTest::newRow("loopback-and-lan")
            << QList<I>{I{true, {lo, v6}}, I{true, {linkLocal, lan}}}
            << QStringList{"127.0.0.1:50000", "127.0.0.2:50001"};
        QTest::newRow("interface-down-skipped")
            << QList<I>{I{true, {lo}}, I{false, {lan}}, I{true, {wifi}}}
            << QStringList{"127.0.0.1:50000", "127.0.0.3:50001"};
        QTest::newRow("two-addresses-on-one-interface")
            << QList<I>{I{true, {lan, wifi}}} << QStringList{"127.0.0.2:50000", "127.0.0.3:50001"};
        QTest::newRow("ipv6-only") << QList<I>{I{true, {v6, linkLocal}}} << QStringList{};
        QTest::newRow("nothing-up") << QList<I>{I{false, {lo}}} << QStringList{};
    }
    void searchFromEveryInterfaceThatIsUp()
    {
        QFETCH(QList<Discovery::Interface>, interfaces);
        QFETCH(QStringList, from);
        QUdpSocket listener;
        QVERIFY(listener.bind(kLoopback, 0));
        EthnertSetting e(nullptr, false);
        e.discovery()->setInterfaces([interfaces] { return interfaces; });
        e.discovery()->setTarget(kLoopback, listener.localPort());
        for (int search = 0; search < 2; ++search) {
            e.fillPortsInfo();
            QCOMPARE(e.discovery()->sockets().size(), from.size());
            QStringList got = searchesFrom(listener, from.size(), 2000);
            got.sort();
            QCOMPARE(got, from);
        }
        QTest::qWait(50);
        QVERIFY(!listener.hasPendingDatagrams());
        // Confirming without answers names no sensor and drops the sockets.
        QSignalSpy open(&e, &EthnertSetting::OpenEthernetSignal);
        e.form()->Enter->click();
        QCOMPARE(open.count(), 1);
        QCOMPARE(open[0][0].toString(), QString());
        QVERIFY(e.discovery()->sockets().isEmpty());
    }

    // Whatever else this computer has, the search comes from loopback too,
    // where an emulator on the same machine listens.
    void systemSearchIncludesLoopback()
    {
        const QList<QHostAddress> all = Discovery::searchAddresses(Discovery::systemInterfaces());
        QStringList texts;
        for (const QHostAddress &a : all) {
            QCOMPARE(a.protocol(), QAbstractSocket::IPv4Protocol);
            texts << a.toString();
        }
        QVERIFY2(all.contains(kLoopback), qPrintable(texts.join(' ')));
    }

    // The broadcast goes to the search port, and from a loopback socket the
    // same datagram goes straight to 127.0.0.1: a listener on every address
    // hears both, one bound to loopback only the second.
    void searchReachesLoopbackListeners_data()
    {
        QTest::addColumn<bool>("anyAddress");
        QTest::addColumn<int>("searches");
        QTest::newRow("bound-to-any-address") << true << 2;
        QTest::newRow("bound-to-loopback") << false << 1;
    }
    void searchReachesLoopbackListeners()
    {
        QFETCH(bool, anyAddress);
        QFETCH(int, searches);
        QUdpSocket listener;
        QVERIFY(listener.bind(anyAddress ? QHostAddress(QHostAddress::AnyIPv4) : kLoopback, 0));
        Discovery d;
        d.setLocalAddresses({kLoopback});
        d.clearTarget();
        d.setSearchPort(listener.localPort());
        QCOMPARE(d.search(), 1);
        const QString from = "127.0.0.1:" + QString::number(d.sockets().first()->localPort());
        QCOMPARE(searchesFrom(listener, searches, 2000), QVector<QString>(searches, from).toList());
        QTest::qWait(50);
        QVERIFY(!listener.hasPendingDatagrams());
    }

    void answerMode_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("mode");
        QTest::newRow("tcp") << QByteArray("HTTP/1.1 200 OK\r\nMODE: TCP\r\n\r\n") << "MODE: TCP";
        QTest::newRow("udp") << QByteArray("HTTP/1.1 200 OK\r\nMODE: UDP\r\n\r\n") << "MODE: UDP";
        QTest::newRow("tcp-more-letters") << QByteArray("MODE: TCPX") << "MODE: TCP";
        QTest::newRow("no-space") << QByteArray("MODE:TCP\r\n") << "";
        QTest::newRow("lower-case") << QByteArray("mode: udp") << "";
        QTest::newRow("cut-short") << QByteArray("xxMODE: UD") << "";
        QTest::newRow("zero-byte-inside") << QByteArray("MODE: U\0DP", 10) << "";
        QTest::newRow("first-occurrence-only") << QByteArray("MODE: ABC MODE: UDP") << "";
    }
    void answerMode()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, mode);
        QCOMPARE(Discovery::answerMode(answer), mode);
    }

    // ---------------------------------------------------------------- the lists of answers

    void answersOfTheLatestReadOnly()
    {
        Tool t;
        EthnertSetting *e = t.window.ethernetSettings();
        e->fillPortsInfo();
        // Cancelling keeps listening: late answers still fill the list.
        e->show();
        e->form()->Cancel->click();
        QVERIFY(e->isHidden());
        QComboBox *list = e->form()->Eth_ComboBox;
        QUdpSocket a, b;
        QVERIFY(a.bind(QHostAddress("127.0.0.2"), 0));
        QVERIFY(b.bind(QHostAddress("127.0.0.3"), 0));
        // The welcome dialog's own search may hold port 50000.
        QVERIFY(!e->discovery()->sockets().isEmpty());
        const quint16 port = e->discovery()->sockets().first()->localPort();
        const auto answer = [port](QUdpSocket &s, const QByteArray &line) {
            s.writeDatagram("HTTP/1.1 200 OK\r\n" + line + "\r\n", kLoopback, port);
        };
        const auto shows = [list](const QString &address) {
            return list->count() == 1 && list->itemText(0) == address;
        };
        answer(a, "MODE: UDP");
        QVERIFY(waitFor([&] { return shows("127.0.0.2"); }, 2000));
        QCOMPARE(t.scan.ethernetMode, 1);
        // A second sensor in a later read replaces the first; naming no mode,
        // it leaves the mode as it was.
        answer(b, "CACHE-CONTROL: max-age=1800");
        QVERIFY(waitFor([&] { return shows("127.0.0.3"); }, 2000));
        QCOMPARE(t.scan.ethernetMode, 1);
        answer(a, "MODE: TCPX");
        QVERIFY(waitFor([&] { return shows("127.0.0.2"); }, 2000));
        QCOMPARE(t.scan.ethernetMode, 0);
        // The window itself compares the whole text, case and all.
        for (const char *other : {"mode: udp", "MODE: UDPX", ""})
            t.window.CreatEthnertModeSignalSlot(other);
        QCOMPARE(t.scan.ethernetMode, 0);
        t.window.CreatEthnertModeSignalSlot("MODE: UDP");
        QCOMPARE(t.scan.ethernetMode, 1);
    }

    // An address typed into the box stays there, whatever answers arrive,
    // until the user picks one of the answers; the list itself still
    // follows the answers.
    void typedAddressStaysOverAnswers_data()
    {
        QTest::addColumn<bool>("welcome");
        QTest::newRow("ethernet-dialog") << false;
        QTest::newRow("welcome-dialog") << true;
    }
    void typedAddressStaysOverAnswers()
    {
        QFETCH(bool, welcome);
        // Stand-alone dialogs: confirming reaches no main window, so the
        // typed address is never connected to.
        std::unique_ptr<Create> w;
        std::unique_ptr<EthnertSetting> e;
        QComboBox *box = nullptr;
        Discovery *discovery = nullptr;
        if (welcome) {
            w = std::make_unique<Create>();
            w->form()->ConnecttabWidget->setCurrentIndex(1);
            w->show();
            box = w->form()->comboBox_Ethernet;
            discovery = w->discovery();
        } else {
            e = std::make_unique<EthnertSetting>();
            e->show();
            box = e->form()->Eth_ComboBox;
            discovery = e->discovery();
        }
        QVERIFY(!discovery->sockets().isEmpty());
        const quint16 port = discovery->sockets().first()->localPort();
        QUdpSocket a, b;
        QVERIFY(a.bind(QHostAddress("127.0.0.2"), 0));
        QVERIFY(b.bind(QHostAddress("127.0.0.3"), 0));
        // Each answer is read on its own before the next is sent.
        const auto answer = [&](QUdpSocket &s) {
            s.writeDatagram("HTTP/1.1 200 OK\r\nMODE: TCP\r\n", kLoopback, port);
            const QString sender = s.localAddress().toString();
            return waitFor([&] { return entries(box) == QStringList{sender}; }, 2000);
        };

        QVERIFY(answer(a));
        QCOMPARE(box->currentText(), QStringLiteral("127.0.0.2"));
        typeInto(box, "192.168.1.88");
        QVERIFY(answer(b));
        QCOMPARE(box->currentText(), QStringLiteral("192.168.1.88"));
        QVERIFY(answer(a));
        QCOMPARE(box->currentText(), QStringLiteral("192.168.1.88"));
        // Picking the answer ends it: the next answer shows again.
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->currentText(), QStringLiteral("127.0.0.2"));
        QVERIFY(answer(b));
        QCOMPARE(box->currentText(), QStringLiteral("127.0.0.3"));
        // An emptied box is no address: the answers fill it again.
        typeInto(box, "");
        QVERIFY(answer(a));
        QCOMPARE(box->currentText(), QStringLiteral("127.0.0.2"));
        typeInto(box, "10.1.2.3");
        QVERIFY(answer(b));

        const auto opened = welcome ? std::make_unique<QSignalSpy>(w.get(), &Create::OpenEthernetSignal)
                                    : std::make_unique<QSignalSpy>(e.get(), &EthnertSetting::OpenEthernetSignal);
        QTest::mouseClick(welcome ? w->form()->Button_Connect : e->form()->Enter, Qt::LeftButton);
        QCOMPARE(opened->count(), 1);
        QCOMPARE(opened->at(0).at(0).toString(), QStringLiteral("10.1.2.3"));
        QVERIFY(discovery->sockets().isEmpty());
    }

    // The emulator, bound to loopback as ./run.sh --sim starts it, is found
    // by the search as it goes to the sensors (no test target) and is
    // connected to from the list.
    void findTheEmulatorAndConnect_data()
    {
        QTest::addColumn<bool>("welcome");
        QTest::addColumn<QString>("mode");
        QTest::newRow("ethernet-dialog-udp") << false << "UDP";
        QTest::newRow("welcome-dialog-tcp") << true << "TCP";
    }
    void findTheEmulatorAndConnect()
    {
        QFETCH(bool, welcome);
        QFETCH(QString, mode);
        SimProcess sim({"--mode", mode});
        QVERIFY(sim.ready());
        Answers ask;
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        const QString sensorPort = sim.endpoint(mode.toLower());
        t.window.setSensorPort(quint16(sensorPort.toUInt()));
        // The search port is the emulator's; everything else is as shipped.
        Discovery *discovery =
            welcome ? t.window.welcome()->discovery() : t.window.ethernetSettings()->discovery();
        discovery->setLocalAddresses({kLoopback});
        discovery->clearTarget();
        discovery->setSearchPort(quint16(sim.endpoint("discovery").toUInt()));
        QComboBox *box = nullptr;
        if (welcome) {
            Create *w = t.window.welcome();
            w->show();
            w->form()->ConnecttabWidget->setCurrentIndex(1);
            w->form()->Button_Refresh_ETH->click();
            box = w->form()->comboBox_Ethernet;
        } else {
            ui->EthernetConnection->trigger();
            ui->EthnernetSetting->trigger(); // shows the dialog and searches
            box = t.window.ethernetSettings()->form()->Eth_ComboBox;
        }
        QVERIFY(waitFor([&] { return box->currentText() == "127.0.0.1"; }, 3000));
        QCOMPARE(t.scan.ethernetMode, mode == "UDP" ? 1 : 0);
        if (welcome)
            t.window.welcome()->form()->Button_Connect->click();
        else
            ui->Connection->trigger();
        QVERIFY(discovery->sockets().isEmpty());
        QCOMPARE(t.window.statusBar()->currentMessage(), "连接到127.0.0.1:" + sensorPort);
        QVERIFY(waitFor([&] { return ask.texts().contains("参数读取完成"); }, 10000));
        t.window.CloseSerialPort();
        QCOMPARE(t.window.statusBar()->currentMessage(), QStringLiteral("Disconnected"));
    }
};

QTEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
