#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/project/ProjectFile.h"
#include "core/sensor/SensorDockValues.h"
#include "core/sensor/SensorParameters.h"
#include "core/zones/ZoneStore.h"
#include "gui/LanguageTexts.h"
#include "gui/MainWindow.h"
#include "gui/UiPrompt.h"
#include "gui/dialogs/About.h"
#include "gui/dialogs/Create.h"
#include "gui/dialogs/EthnertSetting.h"
#include "gui/dialogs/SettingsDialog.h"
#include "gui/editors/AREA_TABLE.h"
#include "gui/panels/SENSOR_SETTING.h"
#include "ui_create.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QTabWidget>
#include <QAbstractButton>
#include <QHeaderView>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QMenu>
#include <QMessageBox>
#include <QtTest>
#include <QRandomGenerator>

#include "tests/support/TestFiles.h"

#include <limits>

namespace {

// A freshly started tool: its own store and scan record.

// Every text a user can read in a window and its dialogs: widget captions,
// tab and tool-box titles, combo items, actions and menus, dock titles and
// table headers, as "objectName: text".
QStringList visibleTexts(const QList<QWidget *> &windows)
{
    QStringList out;
    const auto add = [&out](const QObject *o, const QString &t) {
        if (!t.trimmed().isEmpty())
            out << o->objectName() + QStringLiteral(": ") + t;
    };
    for (QWidget *top : windows) {
        QList<QWidget *> all = top->findChildren<QWidget *>();
        all.prepend(top);
        for (QWidget *w : all) {
            if (auto *l = qobject_cast<QLabel *>(w); l && l->pixmap(Qt::ReturnByValue).isNull())
                add(l, l->text());
            if (auto *b = qobject_cast<QAbstractButton *>(w))
                add(b, b->text());
            if (auto *g = qobject_cast<QGroupBox *>(w))
                add(g, g->title());
            if (auto *d = qobject_cast<QDockWidget *>(w))
                add(d, d->windowTitle());
            if (auto *tw = qobject_cast<QTabWidget *>(w))
                for (int i = 0; i < tw->count(); ++i)
                    add(tw, tw->tabText(i));
            if (auto *c = qobject_cast<QComboBox *>(w))
                for (int i = 0; i < c->count(); ++i)
                    add(c, c->itemText(i));
            if (auto *m = qobject_cast<QMenu *>(w))
                add(m, m->title());
            if (auto *h = qobject_cast<QHeaderView *>(w); h && h->model())
                for (int i = 0; i < h->count(); ++i)
                    add(h, h->model()->headerData(i, h->orientation()).toString());
            for (QAction *a : w->actions())
                if (!a->isSeparator())
                    add(a, a->text());
        }
    }
    out.removeDuplicates();
    return out;
}

bool hasChinese(const QString &t)
{
    for (const QChar c : t)
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
            return true;
    return false;
}

struct Tool {
    ZoneStore store;
    ScanRecord scan;
    MainWindow window{&store, &scan};
    int scanRecordType() const { return scan.connectionType; }
};

// Answers boxes and file dialogs as a person would, and records what was asked.
struct Answers {
    QList<UiPrompt::Box> boxes;
    QList<UiPrompt::FileQuestion> files;
    QList<int> boxAnswers;     // consumed in order; -1 when exhausted
    QStringList fileAnswers;   // consumed in order; "" when exhausted

    Answers()
    {
        UiPrompt::setBoxAnswer([this](const UiPrompt::Box &b) {
            boxes << b;
            return boxAnswers.isEmpty() ? -1 : boxAnswers.takeFirst();
        });
        UiPrompt::setFileAnswer([this](const UiPrompt::FileQuestion &q) {
            files << q;
            return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
        });
    }
    ~Answers()
    {
        UiPrompt::setBoxAnswer(nullptr);
        UiPrompt::setFileAnswer(nullptr);
    }
};


} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir m_settingsDir;

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    }
    void init()
    {
        QSettings("ZoneSensorTool", "Parameters").clear();
    }

    void stateAfterConstruction()
    {
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        QCOMPARE(t.window.windowTitle(), QStringLiteral("Corvane"));
        QCOMPARE(t.window.language(), 0);
        QCOMPARE(t.window.viewMode(), 0);
        QCOMPARE(t.window.deviceType().type, 3);
        for (QAction *a : {ui->ReadAllSetting, ui->WriteAllSetting, ui->DisConnection,
                           ui->SoftReboot, ui->SensorInformation, ui->IOSimulation, ui->SelfCheck,
                           ui->DataTable})
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(!ui->DataTable->isChecked());
        for (QAction *a : {ui->Edition, ui->SensorSetting, ui->Distance, ui->Intensity})
            QVERIFY2(a->isChecked(), qPrintable(a->objectName()));
        QVERIFY(!ui->EditionControlDock->isHidden());
        QVERIFY(!ui->SensorSettingDock->isHidden());
        QVERIFY(ui->DataTableDock->isHidden());
        QVERIFY(ui->IOSimulationDock->isHidden());
        QVERIFY(ui->SelfCheckDock->isHidden());
        QVERIFY(!ui->ArealineText->isEnabled());
        QCOMPARE(ui->ArealineText->alignment(), Qt::AlignCenter);
        QVERIFY(!ui->RegionsLineText->isEnabled());
        for (QWidget *w : {static_cast<QWidget *>(ui->ButtonTeachOut1),
                           static_cast<QWidget *>(ui->ButtonTeachOut2),
                           static_cast<QWidget *>(ui->ButtonTeachOut3)})
            QVERIFY(!w->isEnabled());
        QVERIFY(ui->ZoomIn->autoRepeat());
        QVERIFY(ui->ZoomOut->autoRepeat());
        QCOMPARE(ui->ZoomSlider->minimum(), -55);
        QCOMPARE(ui->ZoomSlider->maximum(), 350);
        QCOMPARE(ui->ZoomSlider->value(), -55);
        QCOMPARE(ui->ZoomSlider->tickPosition(), QSlider::TicksBelow);
        // Display mode 0 with only Graph checkable and checked.
        QCOMPARE(t.scan.displayMode, 0);
        QVERIFY(ui->DispGraph->isCheckable() && ui->DispGraph->isChecked());
        QVERIFY(!ui->DispCloud->isCheckable() && !ui->DispLine->isCheckable());
        // The mounting direction is shown, never editable.
        QVERIFY(!ui->Para_SensorInstallDir->isEnabled());

        // The New button opens the model menu from its arrow.
        auto *newButton = ui->FileToolBar->findChild<QToolButton *>("NewToolButton");
        QVERIFY(newButton);
        QCOMPARE(newButton->popupMode(), QToolButton::MenuButtonPopup);
        QCOMPARE(newButton->menu(), ui->New);
        QCOMPARE(ui->New->actions(), (QList<QAction *>{ui->Laser30, ui->Laser50}));

        // Every area has detection size 1, the edit controls show it, and
        // Undo starts from it (not from an empty seed that would undo it).
        for (int n = 0; n < 64; ++n) {
            QCOMPARE(t.store.areas[n].detectionSize, 1);
            QCOMPARE(t.store.undoHistory[n].size(), 1);
            QCOMPARE(t.store.undoHistory[n][0], t.store.areas[n]);
        }
        QCOMPARE(ui->Area_DetectionSize->currentIndex(), 1);
        QCOMPARE(t.window.link()->maximumRange(), 60000);
        QVERIFY(!t.store.modified);
        QCOMPARE(t.window.sensorSetting()->dockValues(), SensorDockValues::defaults());
        QVERIFY(t.window.sensorParameters() == SensorParameters());
        QCOMPARE(t.window.sensorParameters().SensorIPAddressHigh, 49320);
        QCOMPARE(t.window.sensorParameters().SensorIPAddressLow, 344);
        QCOMPARE(t.window.sensorControl()[4], ui->ScanGroupBox->isChecked() ? 1 : 0);
    }

    void actionsCarryTheirTextsShortcutsAndIcons_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<int>("checkable"); // -1: set by its slot
        QTest::addColumn<QString>("icon");
        QTest::newRow("Open") << "打开文件" << "Ctrl+O" << 0 << "openFile.png";
        QTest::newRow("Save") << "保存文件" << "Ctrl+S" << 0 << "Save.png";
        QTest::newRow("SaveAs") << "另存为" << "Ctrl+Shift+S" << 0 << "Save_as.png";
        QTest::newRow("Quit") << "退出" << "Ctrl+Q" << 0 << "application-exit.png";
        QTest::newRow("Laser30") << "ZQ-30xx" << "" << 0 << "radar.png";
        QTest::newRow("Laser50") << "ZQ-50xx" << "" << 0 << "";
        QTest::newRow("Undo") << "撤销" << "Ctrl+Z" << 0 << "Undo.png";
        QTest::newRow("Redo") << "重做" << "Ctrl+Y" << 0 << "Redot.png";
        QTest::newRow("Copy") << "复制" << "Ctrl+C" << 0 << "copy.png";
        QTest::newRow("Cut") << "剪贴" << "Ctrl+X" << 0 << "cut.png";
        QTest::newRow("Paste") << "粘贴" << "Ctrl+V" << 0 << "paste.png";
        QTest::newRow("Delete") << "删除" << "Ctrl+D" << 0 << "Delete.png";
        QTest::newRow("DeleteAll") << "全部删除" << "" << 0 << "deleteAll.png";
        QTest::newRow("AppSettings") << "应用设置" << "" << 0 << "settings.png";
        QTest::newRow("Edition") << "编辑" << "Ctrl+Alt+E" << 1 << "Edition.png";
        QTest::newRow("Monitoring") << "监控" << "Ctrl+Alt+M" << 0 << "monitor.png";
        QTest::newRow("SensorSetting") << "传感器设定" << "Ctrl+Alt+S" << 1 << "SensorSetting.png";
        QTest::newRow("IOSimulation") << "输入输出仿真" << "Ctrl+Alt+I" << 1 << "Simulation.png";
        QTest::newRow("SelfCheck") << "自检状态" << "" << 1 << "SelfCheck.png";
        QTest::newRow("Distance") << "距离" << "Ctrl+L" << 1 << "distance.png";
        QTest::newRow("Intensity") << "强度" << "Ctrl+I" << 1 << "Intensity.png";
        QTest::newRow("DataTable") << "数据列表" << "Ctrl+T" << 1 << "dataTable.png";
        QTest::newRow("SerialConnection") << "串口" << "" << 1 << "Serial.png";
        QTest::newRow("EthernetConnection") << "以太网" << "" << 1 << "Ethernet.png";
        QTest::newRow("SerialSetting") << "串口设置" << "" << 0 << "Usartsettingt.png";
        QTest::newRow("EthnernetSetting") << "以太网设置" << "" << 0 << "EthernetSetting.png";
        QTest::newRow("Connection") << "连接设备" << "Ctrl+Alt+C" << 0 << "connected.png";
        QTest::newRow("DisConnection") << "断开设备" << "Ctrl+Alt+D" << 0 << "disconnected.png";
        QTest::newRow("ReadAllSetting") << "上传数据" << "Ctrl+Shift+R" << 0 << "upload.png";
        QTest::newRow("WriteAllSetting") << "下载数据" << "Ctrl+Shift+W" << 0 << "download.png";
        QTest::newRow("SoftReboot") << "重启设备" << "Ctrl+Alt+R" << 0 << "reboot.png";
        QTest::newRow("SensorInformation") << "传感器信息" << "Ctrl+Shift+I" << 0 << "information.png";
        QTest::newRow("DispGraph") << "图形显示" << "" << -1 << "DispGraph.png";
        QTest::newRow("DispCloud") << "点云显示" << "" << -1 << "DispCloud.png";
        QTest::newRow("DispLine") << "线条显示" << "" << -1 << "DispLine.png";
        QTest::newRow("Chinese") << "简体中文" << "" << 0 << "China.png";
        QTest::newRow("English") << "English" << "" << 0 << "English.png";
        QTest::newRow("About") << "关于" << "Ctrl+A" << 0 << "about.png";
        QTest::newRow("Manual") << "指南" << "Ctrl+M" << 0 << "Manual.png";
    }
    void actionsCarryTheirTextsShortcutsAndIcons()
    {
        QFETCH(QString, text);
        QFETCH(QString, shortcut);
        QFETCH(int, checkable);
        QFETCH(QString, icon);
        Tool t;
        auto *a = t.window.findChild<QAction *>(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(a);
        QCOMPARE(a->text(), text);
        QCOMPARE(a->shortcut().toString(), shortcut);
        if (checkable >= 0)
            QCOMPARE(a->isCheckable(), checkable == 1);
        if (icon.isEmpty()) {
            QVERIFY(a->icon().isNull());
        } else {
            const QImage want = QIcon(":/images/" + icon).pixmap(24, 24).toImage();
            QVERIFY(!want.isNull());
            QCOMPARE(a->icon().pixmap(24, 24).toImage(), want);
        }
    }

    void menusAndToolBarsInOrder()
    {
        Tool t;
        auto names = [](const QList<QAction *> &actions) {
            QStringList out;
            for (QAction *a : actions)
                out << (a->isSeparator() ? QStringLiteral("-")
                        : a->menu()     ? a->menu()->objectName()
                                        : a->objectName());
            return out;
        };
        Ui::MainWindow *ui = t.window.form();
        QCOMPARE(names(ui->File->actions()), (QStringList{"New", "Open", "Save", "SaveAs", "-", "Quit"}));
        QCOMPARE(names(ui->Edit->actions()),
                 (QStringList{"Undo", "Redo", "-", "Copy", "Cut", "Paste", "-", "Delete",
                              "DeleteAll", "-", "AppSettings"}));
        QCOMPARE(names(ui->View->actions()),
                 (QStringList{"ViewMode", "Distance", "Intensity", "DataTable"}));
        QCOMPARE(names(ui->ViewMode->actions()),
                 (QStringList{"Edition", "Monitoring", "SensorSetting", "IOSimulation", "SelfCheck"}));
        QCOMPARE(names(ui->Setting->actions()),
                 (QStringList{"SerialConnection", "EthernetConnection", "-", "SerialSetting",
                              "EthnernetSetting"}));
        QCOMPARE(names(ui->Connections->actions()),
                 (QStringList{"Interfaces", "-", "Connection", "DisConnection", "-",
                              "ReadAllSetting", "WriteAllSetting", "-", "SoftReboot", "-",
                              "SensorInformation"}));
        QCOMPARE(names(ui->Display->actions()), (QStringList{"DispGraph", "DispCloud", "DispLine"}));
        QCOMPARE(names(ui->Language->actions()), (QStringList{"Chinese", "English"}));
        QCOMPARE(names(ui->Help->actions()), (QStringList{"About", "Manual"}));
        QCOMPARE(ui->File->title(), QStringLiteral("文件"));
        QCOMPARE(ui->Connections->title(), QStringLiteral("连接"));

        QCOMPARE(names(ui->ViewToolBar->actions()),
                 (QStringList{"Distance", "Intensity", "Monitoring", "Edition", "DataTable",
                              "SensorSetting", "IOSimulation", "SelfCheck"}));
        QCOMPARE(names(ui->ConnectToolBar->actions()),
                 (QStringList{"EthnernetSetting", "SerialSetting", "Connection", "DisConnection",
                              "ReadAllSetting", "WriteAllSetting", "SoftReboot", "SensorInformation"}));
        QCOMPARE(names(ui->ConnTypeToolBar->actions()), (QStringList{"EthernetConnection", "SerialConnection"}));
        QCOMPARE(names(ui->DispToolBar->actions()), (QStringList{"DispGraph", "DispCloud", "DispLine"}));
        QCOMPARE(names(ui->FileToolBar->actions()).mid(1), (QStringList{"Open", "Save", "SaveAs"}));
        QStringList bars;
        for (QToolBar *b : t.window.findChildren<QToolBar *>())
            if (t.window.toolBarArea(b) == Qt::TopToolBarArea)
                bars << b->objectName();
        QCOMPARE(bars, (QStringList{"FileToolBar", "EditToolBar", "ViewToolBar", "ConnectToolBar",
                                    "HelpToolBar", "ConnTypeToolBar", "DispToolBar"}));
        QCOMPARE(ui->EditionControlDock->windowTitle(), QStringLiteral("编辑控制"));
        QCOMPARE(ui->SelfCheckDock->windowTitle(), QStringLiteral("自检状态"));
        QCOMPARE(t.window.dockWidgetArea(ui->EditionControlDock), Qt::LeftDockWidgetArea);
        QCOMPARE(t.window.dockWidgetArea(ui->IOSimulationDock), Qt::RightDockWidgetArea);
    }

    void boxesKeepTheirButtonOrder()
    {
        // A real box: the buttons stand in the order given, the first is the
        // default, Escape answers with the last.
        QStringList seen;
        bool defaultFirst = false;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QList<QAbstractButton *> buttons = box->buttons();
            std::sort(buttons.begin(), buttons.end(), [](QAbstractButton *a, QAbstractButton *b) {
                return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
            });
            for (QAbstractButton *b : buttons)
                seen << b->text();
            defaultFirst = box->defaultButton() == buttons.value(0);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        UiPrompt::Box box;
        box.title = "警告";
        box.text = "?";
        box.buttons = QStringList{"保存", "关闭", "取消"};
        QCOMPARE(UiPrompt::show(nullptr, box), 2);
        QCOMPARE(seen, (QStringList{"保存", "关闭", "取消"}));
        QVERIFY(defaultFirst);
    }

    void closeQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        QTest::newRow("save") << 0 << true << true;
        QTest::newRow("close") << 1 << true << false;
        QTest::newRow("cancel") << 2 << false << false;
        QTest::newRow("box-closed") << -1 << false << false;
    }
    void closeQuestion()
    {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        Answers ask;
        ask.boxAnswers = {answer};
        ask.fileAnswers = QStringList{dir.filePath("bye")};
        Tool t;
        t.window.show();
        t.store.areas[4].steerMin = 33;
        t.store.modified = true;
        QCOMPARE(t.window.close(), closes);
        QCOMPARE(ask.boxes.size(), 1);
        QCOMPARE(ask.boxes[0].icon, QMessageBox::Warning);
        QCOMPARE(ask.boxes[0].title, QStringLiteral("警告"));
        QCOMPARE(ask.boxes[0].text, QStringLiteral("关于应用程序\n您修改了数据直接退出而不保存？"));
        QCOMPARE(ask.boxes[0].buttons, (QStringList{"保存", "关闭", "取消"}));
        QCOMPARE(QFile::exists(dir.filePath("bye.ZQ30")), saved);
        QCOMPARE(t.window.isVisible(), !closes);
        QCOMPARE(t.store.areas[4].steerMin, 33);
        // The layout is written whatever the answer.
        QVERIFY(QSettings("ZoneSensorTool", "Parameters").contains("geometry"));
    }

    void closeQuestionInEnglish()
    {
        Answers ask;
        ask.boxAnswers = {2};
        Tool t;
        t.window.show();
        t.window.form()->English->trigger();
        QCOMPARE(t.window.language(), 1);
        t.store.modified = true;
        QVERIFY(!t.window.close());
        QCOMPARE(ask.boxes[0].title, QStringLiteral("Warning"));
        QCOMPARE(ask.boxes[0].text, QStringLiteral("The application\nDo you want to discart your changes?"));
        QCOMPARE(ask.boxes[0].buttons, (QStringList{"Save", "Close", "Cancel"}));
        t.window.form()->Chinese->trigger();
        QCOMPARE(t.window.language(), 0);
    }

    void languageSettingOtherThanOneIsChinese_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("language");
        QTest::newRow("1") << QVariant(1) << 1;
        QTest::newRow("2") << QVariant(2) << 0;
        QTest::newRow("-1") << QVariant(-1) << 0;
        QTest::newRow("text") << QVariant("English") << 0;
    }
    void languageSettingOtherThanOneIsChinese()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, language);
        QSettings("ZoneSensorTool", "Parameters").setValue("Language", stored);
        Tool t;
        QCOMPARE(t.window.language(), language);
    }

    void closingADockUnchecksItsAction()
    {
        Tool t;
        t.window.show();
        Ui::MainWindow *ui = t.window.form();
        ui->IOSimulation->setEnabled(true);
        ui->IOSimulation->trigger();
        QVERIFY(!ui->IOSimulationDock->isHidden());
        ui->InportGrouptBox->setChecked(true);
        ui->IOSimulationDock->close();
        QVERIFY(!ui->IOSimulation->isChecked());
        QVERIFY(!ui->InportGrouptBox->isChecked()); // the simulation stops
        ui->EditionControlDock->close();
        QVERIFY(!ui->Edition->isChecked());
        QCOMPARE(t.window.viewMode(), 1);
    }

    void languageSwitchRetitlesInPlace()
    {
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        QStringList missing;
        QVERIFY(LanguageTexts::checkNames(&t.window, &missing) > 150);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(' ')));
        // Start-up relabels the operation modes.
        QCOMPARE(ui->VehicleOptionMode->itemText(0), QStringLiteral("操作模式0"));
        ui->Para_ControlMode->setCurrentIndex(5);
        ui->VehicleOptionMode->setCurrentIndex(5);
        ui->English->trigger();
        QCOMPARE(ui->File->title(), QStringLiteral("File"));
        QCOMPARE(ui->WriteAllSetting->text(), QStringLiteral("Write All Setting"));
        QCOMPARE(ui->EditionControlDock->windowTitle(), QStringLiteral("Edition Controls"));
        QCOMPARE(ui->AreaEditTab->tabText(1), QStringLiteral("Out 2"));
        QCOMPARE(ui->label_RS485IDAddress->text(), QStringLiteral("RS485 ID(1-127)"));
        QCOMPARE(ui->VehicleOptionMode->itemText(4), QStringLiteral("Type 4"));
        // Items without an English text keep their Chinese one; indexes stay.
        QCOMPARE(ui->VehicleOptionMode->itemText(5), QStringLiteral("操作模式5"));
        QCOMPARE(ui->Para_ControlMode->itemText(5), QStringLiteral("CANOpen协议控制"));
        QCOMPARE(ui->Para_ControlMode->currentIndex(), 5);
        QCOMPARE(ui->VehicleOptionMode->currentIndex(), 5);
        QCOMPARE(ui->Laser30->text(), QStringLiteral("ZQ-30xx"));
        QCOMPARE(t.window.windowTitle(), QStringLiteral("Corvane"));
        ui->Chinese->trigger();
        QCOMPARE(ui->File->title(), QStringLiteral("文件"));
        QCOMPARE(ui->Para_ControlMode->itemText(1), QStringLiteral("RS323通讯控制"));
        QCOMPARE(ui->Para_ControlMode->currentIndex(), 5);
    }

    void languageWalk()
    {
        Tool t;
        const QList<QWidget *> windows{&t.window, t.window.about(), t.window.welcome(),
                                       t.window.serialSettings(), t.window.ethernetSettings()};
        // Texts the English switch has none for keep their Chinese text.
        const QStringList keepChinese{
            QStringLiteral("VehicleOptionMode: 操作模式5"),
            QStringLiteral("Para_ControlMode: CANOpen协议控制"),
            // Language names, the close button and the Ethernet address label
            // read the same in both languages.
            QStringLiteral("Chinese: 简体中文"),
            QStringLiteral("Button_Close: 关闭"),
            QStringLiteral("label_IPAddress: 传感器以太网IP地址"),
            // The scan control items and the lamp group labels have no
            // English texts.
            QStringLiteral("Set_SensorSleepMode: 正常工作"),
            QStringLiteral("Set_SensorSleepMode: 休眠模式"),
            QStringLiteral("Set_ScanFilterLevel: 关闭"),
            QStringLiteral("Set_ScanFilterLevel: 简单"),
            QStringLiteral("Set_ScanFilterLevel: 中等"),
            QStringLiteral("Set_ScanFilterLevel: 严格"),
            QStringLiteral("label_InputPorts: 输入"),
            QStringLiteral("label_OutputPorts: 输出"),
        };
        t.window.form()->English->trigger();
        const QStringList english = visibleTexts(windows);
        QStringList wrong;
        for (const QString &text : english)
            if (hasChinese(text) && !keepChinese.contains(text))
                wrong << text;
        QVERIFY2(wrong.isEmpty(), qPrintable("still Chinese in English:\n" + wrong.join('\n')));

        // Back in Chinese nothing English stays behind, apart from names that
        // are the same in both languages.
        t.window.form()->Chinese->trigger();
        const QStringList chinese = visibleTexts(windows);
        const QRegularExpression sameInBoth(QStringLiteral(
            "^[^:]*: ([-+0-9 .,:/()%A-Z_xX°]*|ZQ-\\d0xx|Chinese|English|Corvane.*|.*(Baud|ID|CAN|RS\\d|IO|Hz|mm|ms|V|deg).*)$"));
        // Widgets whose texts are the same in both languages: the serial line
        // settings, port names, the about dialog's name and address, the
        // range signs.
        const QStringList fixedWidgets{
            QStringLiteral("baudRateBox"), QStringLiteral("parityBox"), QStringLiteral("flowControlBox"),
            QStringLiteral("comboBox_Serial"), QStringLiteral("serialPortInfoListBox"),
            QStringLiteral("label_Title"), QStringLiteral("label_Web"),
            QStringLiteral("label_SteerDgreeTo"), QStringLiteral("label_VehicleSpeedTo")};
        for (const QString &text : chinese)
            if (!hasChinese(text) && english.contains(text) && !sameInBoth.match(text).hasMatch()
                && !fixedWidgets.contains(text.section(QLatin1Char(':'), 0, 0)))
                wrong << text;
        QVERIFY2(wrong.isEmpty(), qPrintable("still English in Chinese:\n" + wrong.join('\n')));
    }

    void closeWithoutChangesAsksNothing()
    {
        Answers ask;
        Tool t;
        t.window.show();
        QVERIFY(t.window.close());
        QVERIFY(ask.boxes.isEmpty());
    }

    void settingsRestored()
    {
        QRect geometry;
        {
            Tool t;
            t.window.show();
            t.window.setGeometry(40, 50, 1000, 650);
            t.window.OpenDispLineSlot();
            QVERIFY(t.window.close());
            geometry = t.window.geometry();
        }
        QSettings s("ZoneSensorTool", "Parameters");
        QCOMPARE(s.value("SaveDispMpde").toInt(), 2);
        QCOMPARE(s.value("Language").toInt(), 0);
        for (const char *key : {"windowState", "splitterSizes", "splitterSizes2"})
            QVERIFY2(s.contains(key), key);

        s.setValue("Language", 1);
        s.sync();
        Tool t;
        QCOMPARE(t.window.language(), 1);
        QCOMPARE(t.scan.displayMode, 2);
        QVERIFY(t.window.form()->DispLine->isChecked());
        QVERIFY(!t.window.form()->DispGraph->isCheckable());
        QCOMPARE(t.window.geometry().size(), geometry.size());
        // The restored layout never brings back the data table dock.
        QVERIFY(t.window.form()->DataTableDock->isHidden());
        QVERIFY(t.window.form()->IOSimulationDock->isHidden());
    }

    void unknownDisplayModeFallsBackToGraph()
    {
        QSettings("ZoneSensorTool", "Parameters").setValue("SaveDispMpde", 7);
        Tool t;
        QCOMPARE(t.scan.displayMode, 0);
        QVERIFY(t.window.form()->DispGraph->isChecked());
    }

    void statusBarShowsSensorFrameAndPolar()
    {
        Tool t;
        t.window.BarDisplayCoord(QPoint(100, -100));
        QCOMPARE(t.window.statusBar()->currentMessage(),
                 QStringLiteral("X: 100 [mm], Y: 100 [mm] | R: 141.421 [mm], Th: 45 [deg]"));
        t.window.BarDisplayCoord(QPoint(-2500, 1200));
        QCOMPARE(t.window.statusBar()->currentMessage(),
                 QStringLiteral("X: -2500 [mm], Y: -1200 [mm] | R: 2773.08 [mm], Th: 205.641 [deg]"));
    }

    void monitoringModeFollowsTheSensorsArea()
    {
        Tool t;
        t.window.MonitorGraphicDisplay(5, 0);
        QCOMPARE(t.store.currentArea, 0); // edition mode ignores reports
        t.window.OpenMonitoringMode();
        QCOMPARE(t.window.viewMode(), 1);
        QVERIFY(t.window.form()->EditionControlDock->isHidden());
        QVERIFY(!t.window.form()->Edition->isChecked());
        t.window.MonitorGraphicDisplay(5, 7);
        QCOMPARE(t.store.currentArea, 5);
        t.store.currentArea = 2;
        t.window.MonitorGraphicDisplay(5, 0);
        QCOMPARE(t.store.currentArea, 2); // same report again: nothing
        t.window.MonitorGraphicDisplay(100, 0);
        QCOMPARE(t.store.currentArea, 63);
        t.window.OpenCloseEditionDock(true);
        QCOMPARE(t.window.viewMode(), 0);
        t.window.MonitorGraphicDisplay(9, 0);
        QCOMPARE(t.store.currentArea, 63);
        // Monitoring again: the sensor's first report counts even when it
        // names the area last reported (the user picked another meanwhile).
        t.store.currentArea = 42;
        t.window.OpenMonitoringMode();
        t.window.MonitorGraphicDisplay(100, 0);
        QCOMPARE(t.store.currentArea, 63);
        t.store.currentArea = 42;
        t.window.OpenCloseEditionDock(true);
        t.window.OpenCloseEditionDock(false);
        t.window.MonitorGraphicDisplay(0, 0);
        QCOMPARE(t.store.currentArea, 0);
    }

    void dockWidgetsAgreeWithTheLimitFunction()
    {
        Tool t;
        SENSOR_SETTING *s = t.window.sensorSetting();
        for (int line = 0; line < SensorDockValues::kCount; ++line) {
            // Around both ends of each widget's range, every index of a
            // combo box, and the extremes.
            const SensorDockValues::Limit l = SensorDockValues::limit(line);
            const int lo = l.combo ? 0 : l.min;
            const int hi = l.combo ? l.items - 1 : l.max;
            QVector<int> probes = {std::numeric_limits<int>::min(), -1000000, 1000000,
                                   std::numeric_limits<int>::max()};
            for (int v = lo - 2; v <= hi + 2; ++v)
                if (l.combo || v <= lo + 2 || v >= hi - 2)
                    probes << v;
            for (int v : qAsConst(probes)) {
                QVector<int> values = s->dockValues();
                values[line] = v;
                s->setDockValues(values);
                QVERIFY2(s->dockValues()[line] == SensorDockValues::held(line, v),
                         qPrintable(QString("line %1 value %2: widget %3, function %4")
                                        .arg(line)
                                        .arg(v)
                                        .arg(s->dockValues()[line])
                                        .arg(SensorDockValues::held(line, v))));
            }
        }
    }

    void sensorDockOverEthernet()
    {
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        SENSOR_SETTING *s = t.window.sensorSetting();
        QVERIFY(!ui->Para_SensorEtherMode->isEnabled());
        QVERIFY(ui->Para_ControlMode->isEnabled());
        // A serial read of a sensor set to 200.1.2.3 over UDP: the dock
        // shows the address although its widgets are disabled.
        SensorParameters read;
        read.SensorEtherMode = 1;
        read.SensorIPAddressHigh = (200 << 8) | 1;
        read.SensorIPAddressLow = (2 << 8) | 3;
        t.window.sensorParameters() = read;
        s->UpdateParametersToDock();
        QCOMPARE(s->dockValues().mid(17), (QVector<int>{1, 200, 1, 2, 3}));

        // Over Ethernet a change elsewhere keeps the address and mode read.
        s->SetEthernetMode(true);
        QVERIFY(ui->Para_SensorEtherMode->isEnabled());
        QVERIFY(!ui->Para_ControlMode->isEnabled());
        QVERIFY(!ui->Para_SensorInstallDir->isEnabled());
        ui->Para_ScanSensorAngle->setCurrentIndex(0); // 0.025 deg: 10 Hz only
        QCOMPARE(ui->Para_ScanMotorSpeed->currentIndex(), 0);
        QCOMPARE(t.window.sensorParameters().ScanMotorSpeed, 0);
        QCOMPARE(t.window.sensorParameters().SensorEtherMode, 1);
        QCOMPARE(t.window.sensorParameters().SensorIPAddressHigh, (200 << 8) | 1);
        QCOMPARE(t.window.sensorParameters().SensorIPAddressLow, (2 << 8) | 3);
        ui->Para_SensorIPAddress4->setValue(99);
        QCOMPARE(t.window.sensorParameters().SensorIPAddressLow, (2 << 8) | 99);
        ui->Para_CrossFilterEnable->setCurrentIndex(0);
        QVERIFY(!ui->Para_CrossFilterNumber->isEnabled());
        ui->Para_CrossFilterEnable->setCurrentIndex(1);
        QVERIFY(ui->Para_CrossFilterNumber->isEnabled());

        // Defaults, in either mode, are shown in full.
        s->SetEthernetMode(false);
        s->RestoreDefaults();
        QCOMPARE(s->dockValues(), SensorDockValues::defaults());
        QVERIFY(t.window.sensorParameters() == SensorParameters());
    }

    void fileThroughTheDockMatchesTheRule_data()
    {
        QTest::addColumn<bool>("ethernet");
        QTest::newRow("serial") << false;
        QTest::newRow("ethernet") << true;
    }
    void fileThroughTheDockMatchesTheRule()
    {
        // The command-line tool computes what the dock does when a file is
        // opened after a read; the dock itself must agree, and must show
        // exactly the record a write would send.
        QFETCH(bool, ethernet);
        QRandomGenerator rng(ethernet ? 5 : 6);
        for (int round = 0; round < 40; ++round) {
            Tool t;
            SENSOR_SETTING *s = t.window.sensorSetting();
            s->SetEthernetMode(ethernet);
            SensorParameters read;
            for (int f = 0; f < SensorParameters::kFieldCount; ++f)
                read.setField(f, rng.bounded(f >= 18 ? 65536 : 8));
            t.window.sensorParameters() = read;
            s->UpdateParametersToDock();
            SensorParameters record = read;
            QVector<int> dock = SensorParameterRules::shownAfterRead(record);
            QCOMPARE(s->dockValues(), dock);
            QVERIFY(t.window.sensorParameters() == record);

            QVector<int> file(22);
            for (int &v : file)
                v = rng.bounded(0, 6);
            file[18] = rng.bounded(180, 230);
            file[4] = rng.bounded(0, 130);
            QString text = QStringLiteral("SensorSetting\n");
            for (int v : qAsConst(file))
                text += QString::number(v) + QLatin1Char('\n');
            QTextStream in(&text);
            s->ReadSection(in);
            dock = SensorParameterRules::applyFile(record, file);
            QCOMPARE(s->dockValues(), dock);
            QVERIFY2(t.window.sensorParameters() == record, qPrintable(QString::number(round)));
            // What is shown is what is held.
            QCOMPARE(SensorDockValues::held(SensorParameterRules::toDockValues(record)), dock);
        }
    }

    void openActionFailureTable()
    {
        QTemporaryDir dir;
        Answers ask;
        Tool t;
        // Cancelled dialog: nothing.
        t.window.openfile();
        QCOMPARE(ask.files.size(), 1);
        QCOMPARE(ask.files[0].caption, QStringLiteral("打开配置文件"));
        QCOMPARE(ask.files[0].filter, QStringLiteral("(*.ZQ30)"));
        QVERIFY(ask.boxes.isEmpty());
        QVERIFY(!t.store.modified);

        // A file that cannot be read.
        ask.fileAnswers = QStringList{dir.filePath("missing.ZQ30")};
        t.window.openfile();
        QCOMPARE(ask.boxes.size(), 1);
        QCOMPARE(ask.boxes[0].title, QStringLiteral("Document"));
        QCOMPARE(ask.boxes[0].text, QStringLiteral("No document"));
        QCOMPARE(ask.boxes[0].buttons, (QStringList{"OK", "Cancel"}));
        QVERIFY(!t.store.modified);

        // Another model's file is refused as damaged, yet the refresh runs.
        QByteArray other = freshLaser30();
        other.replace(0, 9, "TRV_ZQ_50");
        other.replace("CoordTableData\n0\n0\n0\n0\n1\n", "CoordTableData\n0\n9\n0\n0\n1\n");
        writeFile(dir.filePath("other.ZQ50"), other);
        ask.fileAnswers = QStringList{dir.filePath("other.ZQ50")};
        t.window.openfile();
        QCOMPARE(ask.boxes.size(), 2);
        QCOMPARE(ask.boxes[1].title, QStringLiteral("错误"));
        QCOMPARE(ask.boxes[1].text, QStringLiteral("文件损坏"));
        QCOMPARE(ask.boxes[1].buttons, QStringList{"OK"});
        QCOMPARE(t.store.areas[0].openDelay, 0);
        QCOMPARE(t.window.deviceType().type, 3);
        QVERIFY(t.store.modified);
        // Reading starts Undo afresh: nothing from before can come back.
        QCOMPARE(t.store.undoHistory[0].size(), 1);
        QCOMPARE(t.store.undoHistory[0][0], t.store.areas[0]);

        // A good file of the current model.
        QByteArray good = freshLaser30();
        good.replace("CoordTableData\n0\n0\n0\n0\n1\n", "CoordTableData\n0\n4\n0\n0\n1\n");
        good.replace("Out1CoordStr\nOut1CoordEnd\nOut2CoordStr", "Out1CoordStr\n-5,7\nOut1CoordEnd\nOut2CoordStr");
        good.replace("SensorSetting\n0\n", "SensorSetting\n3\n");
        writeFile(dir.filePath("good.ZQ30"), good);
        ask.fileAnswers = QStringList{dir.filePath("good.ZQ30")};
        t.window.openfile();
        QCOMPARE(ask.boxes.size(), 2);
        QCOMPARE(t.store.areas[0].openDelay, 4);
        QCOMPARE(t.store.areas[0].points[0], QVector<QPoint>{QPoint(-5, 7)});
        QCOMPARE(t.window.form()->Para_ControlMode->currentIndex(), 3);
        QCOMPARE(t.window.sensorParameters().ControlMode, 3);
        QCOMPARE(t.store.undoHistory[0].size(), 1);
        QCOMPARE(t.store.undoHistory[0].last().openDelay, 4);
        // Undo right after opening keeps what was read.
        t.window.areaTable()->UndoAreaTableData();
        QCOMPARE(t.store.areas[0].openDelay, 4);
        QCOMPARE(t.store.areas[0].points[0], QVector<QPoint>{QPoint(-5, 7)});
    }

    void openFromWelcomeSwitchesModel()
    {
        QTemporaryDir dir;
        Answers ask;
        Tool t;
        QByteArray big = freshLaser30();
        big.replace(0, 9, "TRV_ZQ_50");
        writeFile(dir.filePath("big"), big);
        ask.fileAnswers = QStringList{dir.filePath("big")};
        t.window.OpenProject();
        QVERIFY(ask.boxes.isEmpty());
        QCOMPARE(ask.files[0].filter, QString());
        QCOMPARE(t.window.deviceType().type, 4);
        QCOMPARE(t.window.form()->ZoomSlider->minimum(), -90);
        QCOMPARE(t.window.form()->ZoomSlider->value(), -90);
        QVERIFY(t.store.modified);

        // None of the five headers: the damaged-file box and nothing else.
        QByteArray bad = freshLaser30();
        bad.replace(0, 9, "TRV_ZQ_60");
        bad.replace("CoordTableData\n0\n0\n", "CoordTableData\n0\n8\n");
        writeFile(dir.filePath("bad"), bad);
        t.store.modified = false;
        ask.fileAnswers = QStringList{dir.filePath("bad")};
        t.window.OpenProject();
        QCOMPARE(ask.boxes.size(), 1);
        QCOMPARE(ask.boxes[0].text, QStringLiteral("文件损坏"));
        QVERIFY(!t.store.modified);
        QCOMPARE(t.store.areas[0].openDelay, 0);
        QCOMPARE(t.window.deviceType().type, 4);

        // A file that cannot be read: silence.
        ask.fileAnswers = QStringList{dir.filePath("missing")};
        t.window.OpenProject();
        QCOMPARE(ask.boxes.size(), 1);
    }

    void saveAppliesSuffixAndClearsModified()
    {
        QTemporaryDir dir;
        Answers ask;
        Tool t;
        t.store.modified = true;
        t.window.savefile(); // cancelled
        QVERIFY(t.store.modified);
        QCOMPARE(ask.files[0].caption, QStringLiteral("保存配置文件"));
        QCOMPARE(ask.files[0].filter, QStringLiteral("(*.ZQ30)"));
        QVERIFY(ask.files[0].save);

        ask.fileAnswers = QStringList{dir.filePath("plant")};
        t.window.savefile();
        QVERIFY(!t.store.modified);
        QCOMPARE(readFile(dir.filePath("plant.ZQ30")), freshLaser30());

        ask.fileAnswers = QStringList{dir.filePath("plant.zq30")};
        t.window.savefile();
        QVERIFY(QFile::exists(dir.filePath("plant.zq30.ZQ30")));

        // A folder that does not exist: nothing written, and the user is
        // told; the design still counts as unsaved.
        t.store.modified = true;
        ask.fileAnswers = QStringList{dir.filePath("none/x")};
        t.window.savefile();
        QVERIFY(t.store.modified);
        QCOMPARE(ask.boxes.size(), 1);
        QCOMPARE(ask.boxes[0].title, QStringLiteral("保存失败"));
        QVERIFY(ask.boxes[0].text.contains(QDir::toNativeSeparators(dir.filePath("none/x.ZQ30"))));
    }

    void cliConvertWritesWhatSaveWrites_data()
    {
        QTest::addColumn<QByteArray>("content");
        const QByteArray base = freshLaser30();
        QTest::newRow("fresh") << base;
        QByteArray l10 = base;
        l10.replace(0, 9, "TRV_ZQ_10");
        l10.replace("Out2CoordStr\nOut2CoordEnd", "Out2CoordStr\n0,1500\nOut2CoordEnd");
        l10.replace("CoordTableData\n0\n0\n0\n0\n1\n0\n0\n0\n0\n0\n0\n0\n0\n",
                    "CoordTableData\n0\n3\n2\n1\n1\n-20\n20\n-100\n100\n2\n1\n5\n7\n");
        QTest::newRow("laser10-design") << l10;
        QByteArray limits = base;
        limits.replace("SensorSetting\n0\n0\n0\n0\n127\n", "SensorSetting\n9\n-1\nx\n2\n500\n");
        limits.replace("\n192\n168\n1\n88\n", "\n10\n168\n1\n0\n");
        QTest::newRow("dock-limits") << limits;
        QByteArray noEnd = base;
        noEnd.replace("Out1CoordStr\nOut1CoordEnd\n", "Out1CoordStr\n1,2,3\nbad\n");
        QTest::newRow("missing-end-tag") << noEnd;
        QByteArray index64 = base;
        index64.replace("Out3CoordEnd\n5\n", "Out3CoordEnd\n64\n");
        QTest::newRow("area-index-64") << index64;
        QByteArray crlf = base;
        crlf.replace("\n", "\r\n");
        QTest::newRow("crlf") << crlf;
        QTest::newRow("no-sensor-section") << QByteArray("TRV_ZQ_20\nCoordTableData\n0\n1\n");
        QTest::newRow("header-only") << QByteArray("TRV_ZQ_05");
        QByteArray areas37 = "TRV_ZQ_30\nSensorSetting\n";
        areas37 += "1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n200\n1\n1\n1\n";
        areas37 += "CoordTableData\n3\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\nOut1CoordStr\n5,5\nOut1CoordEnd\n"
                   "Out2CoordStr\nOut2CoordEnd\nOut3CoordStr\nOut3CoordEnd\n7\n2\n2\n2\n2\n2\n2\n2\n2\n2\n7\n9\n9\n"
                   "Out1CoordStr\nOut1CoordEnd\nOut2CoordStr\nOut2CoordEnd\nOut3CoordStr\n-1,-1\n";
        QTest::newRow("areas-3-and-7-truncated") << areas37;
    }
    void cliConvertWritesWhatSaveWrites()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString in = dir.filePath("in");
        writeFile(in, content);

        QProcess p;
        p.start(SECTOR_CLI_PATH, {"convert", in, dir.filePath("cli.out")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);

        Answers ask;
        Tool t;
        ask.fileAnswers = QStringList{in};
        t.window.OpenProject();
        QVERIFY(ask.boxes.isEmpty());
        const QString suffix = QString::fromLatin1(deviceModelInfo(t.window.deviceType().type)->suffix);
        ask.fileAnswers = QStringList{dir.filePath("gui") + suffix};
        t.window.savefile();
        const QByteArray gui = readFile(dir.filePath("gui") + suffix);
        QVERIFY(!gui.isEmpty());
        QCOMPARE(readFile(dir.filePath("cli.out")), gui);
    }

    void welcomeCreateAppliesTheModelWithoutReset()
    {
        Answers ask;
        Tool t;
        t.window.show();
        Create *w = t.window.welcome();
        w->show();
        t.store.areas[3].points[0] = {QPoint(5, 5)};
        w->form()->LaserSensorType->setCurrentIndex(1);
        w->form()->ConnecttabWidget->setCurrentIndex(1);
        QSignalSpy created(w, &Create::CreateSignal);
        QSignalSpy iface(w, &Create::CreateInterface);
        w->form()->Button_Create->click();
        QCOMPARE(created.count(), 1);
        QCOMPARE(iface.takeFirst().at(0).toInt(), 1);
        QVERIFY(w->isHidden());
        QCOMPARE(t.window.deviceType().type, 4);
        QCOMPARE(t.window.form()->ZoomSlider->minimum(), -90);
        QCOMPARE(t.scanRecordType(), 1);
        // No reset and no question.
        QVERIFY(ask.boxes.isEmpty());
        QCOMPARE(t.store.areas[3].points[0].size(), 1);
        QCOMPARE(t.store.areas[0].detectionSize, 1);
    }

    void welcomeConnectAndQuit()
    {
        Answers ask;
        Tool t;
        t.window.show();
        Create *w = t.window.welcome();
        w->show();
        w->form()->Button_Refresh->click();
        const int ports = w->form()->comboBox_Serial->count();
        w->form()->Button_Refresh->click();
        QCOMPARE(w->form()->comboBox_Serial->count(), ports); // no duplicates
        w->form()->comboBox_Serial->clear();
        QSignalSpy serial(w, &Create::OpenSerialSignal);
        w->form()->ConnecttabWidget->setCurrentIndex(0);
        w->form()->Button_Connect->click();
        QCOMPARE(serial.count(), 1);
        QCOMPARE(serial.first().at(0).toString(), QString());
        QCOMPARE(ask.boxes.last().text, QStringLiteral("串口打开失败"));

        // Quit closes the main window, through its question when modified.
        t.store.modified = true;
        ask.boxAnswers = {2};
        w->show();
        w->form()->Button_Quit->click();
        QVERIFY(t.window.isVisible());
        QCOMPARE(ask.boxes.last().buttons, (QStringList{"保存", "关闭", "取消"}));
        ask.boxAnswers = {1};
        w->show();
        w->form()->Button_Quit->click();
        QVERIFY(!t.window.isVisible());
    }

    void newProjectWithoutChangesAsksNothing()
    {
        Answers ask;
        Tool t;
        t.store.areas[1].points[0] = {QPoint(1, 1)};
        t.window.form()->Laser50->trigger();
        QVERIFY(ask.boxes.isEmpty());
        QCOMPARE(t.window.deviceType().type, 4);
        QVERIFY(t.store.areas[1].points[0].isEmpty());
        t.window.form()->Laser30->trigger();
        QCOMPARE(t.window.deviceType().type, 3);
        QCOMPARE(t.window.form()->ZoomSlider->minimum(), -55);
    }

    void newProjectQuestionAndReset()
    {
        Answers ask;
        Tool t;
        t.store.areas[2].steerMin = -40;
        t.store.areas[2].points[1] = {QPoint(0, 100)};
        t.store.modified = true;
        ask.boxAnswers = {1};
        t.window.CreateDeviceLaser50();
        QCOMPARE(ask.boxes.size(), 1);
        QCOMPARE(ask.boxes[0].buttons, (QStringList{"确定", "取消"}));
        QCOMPARE(t.window.deviceType().type, 3);
        QCOMPARE(t.store.areas[2].points[1].size(), 1);

        ask.boxAnswers = {0};
        t.window.form()->Para_ControlMode->setCurrentIndex(4);
        t.window.CreateDeviceLaser50();
        QCOMPARE(t.window.deviceType().type, 4);
        QVERIFY(!t.store.modified);
        QVERIFY(t.store.areas[2].points[1].isEmpty());
        QCOMPARE(t.store.areas[2].steerMin, -40);
        for (const AreaRecord &a : t.store.areas)
            QCOMPARE(a.detectionSize, 0);
        QCOMPARE(t.window.form()->Para_ControlMode->currentIndex(), 0);
        QCOMPARE(t.window.form()->ZoomSlider->minimum(), -90);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
