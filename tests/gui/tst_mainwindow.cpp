// The main window as a whole: what construction leaves, menus and tool
// bars, the close question, the persisted layout, the docks and the
// monitoring mode.

#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/sensor/SensorDockValues.h"
#include "core/sensor/SensorParameters.h"
#include "core/zones/ZoneStore.h"
#include "gui/MainWindow.h"
#include "gui/UiPrompt.h"
#include "gui/dialogs/CaseCoverage.h"
#include "gui/editors/AREA_TABLE.h"
#include "gui/editors/COORD_TABLE.h"
#include "gui/panels/SENSOR_SETTING.h"
#include "tests/gui/GuiTestKit.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <limits>

namespace {

// The width a tab asks for, read through its public face.
struct TabHint : QTabBar {
    using QTabBar::tabSizeHint;
};
int tabWanted(const QTabBar *bar, int i)
{
    QSize (QTabBar::*hint)(int) const = &TabHint::tabSizeHint;
    return (bar->*hint)(i).width();
}

// What a person would call cut off in a dock at its current size: a
// horizontal scroll bar, a combo box narrower than its longest item, a label
// or button narrower than its text, an elided tab, a shortened dock caption.
QStringList clippedIn(QWidget *dock)
{
    QStringList out;
    const auto visible = [dock](QWidget *w) { return w->isVisibleTo(dock) && w->isVisible(); };
    const auto narrow = [&out](QWidget *w, int need, const char *what = "") {
        if (w->width() < need)
            out << QString("%1%2 %3 < %4").arg(w->objectName(), what).arg(w->width()).arg(need);
    };
    for (auto *a : dock->findChildren<QAbstractScrollArea *>())
        if (visible(a) && a->horizontalScrollBar()->isVisible())
            out << a->objectName() + " scrolls sideways";
    for (auto *c : dock->findChildren<QComboBox *>()) {
        int text = 0;
        for (int i = 0; i < c->count(); ++i)
            text = qMax(text, c->fontMetrics().horizontalAdvance(c->itemText(i)));
        // The label is drawn one pixel inside the edit field on each side.
        // (Measured there rather than against the combo's own size: Qt 5
        // sizes a combo by the texts' advance, Qt 6 by their ink.)
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        const QRect field =
            c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
        if (visible(c) && field.width() - 2 < text)
            out << QString("%1 %2 < %3").arg(c->objectName()).arg(field.width() - 2).arg(text);
    }
    for (auto *l : dock->findChildren<QLabel *>())
        if (visible(l) && !l->wordWrap() && l->pixmap(Qt::ReturnByValue).isNull())
            narrow(l, l->fontMetrics().horizontalAdvance(l->text()));
    for (auto *b : dock->findChildren<QAbstractButton *>()) {
        auto *tool = qobject_cast<QToolButton *>(b);
        if (visible(b) && !b->text().isEmpty() &&
            !(tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly))
            narrow(b, b->fontMetrics().horizontalAdvance(b->text()) + 8);
    }
    for (auto *g : dock->findChildren<QGroupBox *>())
        if (visible(g))
            narrow(g, g->fontMetrics().horizontalAdvance(g->title()) + 16, " title");
    for (auto *bar : dock->findChildren<QToolBar *>())
        if (visible(bar))
            narrow(bar, bar->sizeHint().width(), " hides commands");
    for (auto *bar : dock->findChildren<QTabBar *>())
        if (visible(bar))
            for (int i = 0; i < bar->count(); ++i)
                if (bar->tabRect(i).width() < tabWanted(bar, i) ||
                    !bar->rect().contains(bar->tabRect(i)))
                    out << QString("%1 tab %2").arg(bar->parentWidget()->objectName()).arg(i);
    // Caption, then the float and close buttons.
    if (auto *d = qobject_cast<QDockWidget *>(dock))
        narrow(d, d->fontMetrics().horizontalAdvance(d->windowTitle()) + 2 * 16 + 16, " caption");
    return out;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
    PrivateSettings m_settings;

private Q_SLOTS:
    void init() { m_settings.clear(); }

    void stateAfterConstruction()
    {
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        QCOMPARE(t.window.windowTitle(), QStringLiteral("Corvane"));
        QCOMPARE(t.window.language(), 0);
        QCOMPARE(t.window.viewMode(), 0);
        QCOMPARE(t.window.deviceType().type, 3);
        for (QAction *a :
             {ui->ReadAllSetting, ui->WriteAllSetting, ui->DisConnection, ui->SoftReboot,
              ui->SensorInformation, ui->IOSimulation, ui->SelfCheck, ui->DataTable})
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(!ui->DataTable->isChecked());
        for (QAction *a : {ui->Edition, ui->SensorSetting, ui->Distance, ui->Intensity})
            QVERIFY2(a->isChecked(), qPrintable(a->objectName()));
        // Edition and sensor setting shown; data table, IO and self-check hidden.
        QCOMPARE((QList<bool>{ui->EditionControlDock->isHidden(), ui->SensorSettingDock->isHidden(),
                              ui->DataTableDock->isHidden(), ui->IOSimulationDock->isHidden(),
                              ui->SelfCheckDock->isHidden()}),
                 (QList<bool>{false, false, true, true, true}));
        for (QWidget *w : std::initializer_list<QWidget *>{ui->ArealineText, ui->RegionsLineText,
                                                           ui->ButtonTeachOut1, ui->ButtonTeachOut2,
                                                           ui->ButtonTeachOut3})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QCOMPARE(ui->ArealineText->alignment(), Qt::AlignCenter);
        QVERIFY(ui->ZoomIn->autoRepeat() && ui->ZoomOut->autoRepeat());
        QCOMPARE((QList<int>{ui->ZoomSlider->minimum(), ui->ZoomSlider->maximum(),
                             ui->ZoomSlider->value()}),
                 (QList<int>{-55, 350, -55}));
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
        QCOMPARE(t.window.sensorParameters().SensorIPAddressHigh, (192 << 8) | 168);
        QCOMPARE(t.window.sensorParameters().SensorIPAddressLow, (1 << 8) | 88);
        QCOMPARE(t.window.sensorControl()[4], ui->ScanGroupBox->isChecked() ? 1 : 0);
    }

    void actionsCarryTheirTextsShortcutsAndIcons_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<int>("checkable"); // -1: set by its slot
        QTest::addColumn<QString>("icon");
        const auto row = [](const char *action, const char *text, const char *keys, int checkable,
                            const char *icon) {
            QTest::newRow(action) << QString(text) << QString(keys) << checkable << QString(icon);
        };
        // clang-format off
        row("Open", "打开文件", "Ctrl+O", 0, "openFile.png");
        row("Save", "保存文件", "Ctrl+S", 0, "Save.png");
        row("SaveAs", "另存为", "Ctrl+Shift+S", 0, "Save_as.png");
        row("Quit", "退出", "Ctrl+Q", 0, "application-exit.png");
        row("Laser30", "ZQ-30xx", "", 0, "radar.png");
        row("Laser50", "ZQ-50xx", "", 0, "");
        row("Undo", "撤销", "Ctrl+Z", 0, "Undo.png");
        row("Redo", "重做", "Ctrl+Y", 0, "Redot.png");
        row("Copy", "复制", "Ctrl+C", 0, "copy.png");
        row("Cut", "剪贴", "Ctrl+X", 0, "cut.png");
        row("Paste", "粘贴", "Ctrl+V", 0, "paste.png");
        row("Delete", "删除", "Ctrl+D", 0, "Delete.png");
        row("DeleteAll", "全部删除", "", 0, "deleteAll.png");
        row("AppSettings", "应用设置", "", 0, "settings.png");
        row("Edition", "编辑", "Ctrl+Alt+E", 1, "Edition.png");
        row("Monitoring", "监控", "Ctrl+Alt+M", 0, "monitor.png");
        row("SensorSetting", "传感器设定", "Ctrl+Alt+S", 1, "SensorSetting.png");
        row("IOSimulation", "输入输出仿真", "Ctrl+Alt+I", 1, "Simulation.png");
        row("SelfCheck", "自检状态", "", 1, "SelfCheck.png");
        row("Distance", "距离", "Ctrl+L", 1, "distance.png");
        row("Intensity", "强度", "Ctrl+I", 1, "Intensity.png");
        row("DataTable", "数据列表", "Ctrl+T", 1, "dataTable.png");
        row("SerialConnection", "串口", "", 1, "Serial.png");
        row("EthernetConnection", "以太网", "", 1, "Ethernet.png");
        row("SerialSetting", "串口设置", "", 0, "Usartsettingt.png");
        row("EthnernetSetting", "以太网设置", "", 0, "EthernetSetting.png");
        row("Connection", "连接设备", "Ctrl+Alt+C", 0, "connected.png");
        row("DisConnection", "断开设备", "Ctrl+Alt+D", 0, "disconnected.png");
        row("ReadAllSetting", "上传数据", "Ctrl+Shift+R", 0, "upload.png");
        row("WriteAllSetting", "下载数据", "Ctrl+Shift+W", 0, "download.png");
        row("SoftReboot", "重启设备", "Ctrl+Alt+R", 0, "reboot.png");
        row("SensorInformation", "传感器信息", "Ctrl+Shift+I", 0, "information.png");
        row("DispGraph", "图形显示", "", -1, "DispGraph.png");
        row("DispCloud", "点云显示", "", -1, "DispCloud.png");
        row("DispLine", "线条显示", "", -1, "DispLine.png");
        row("Chinese", "简体中文", "", 0, "China.png");
        row("English", "English", "", 0, "English.png");
        row("About", "关于", "Ctrl+A", 0, "about.png");
        row("Manual", "指南", "Ctrl+M", 0, "Manual.png");
        // clang-format on
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

    // The case-coverage window from the View menu: a steering range typed in
    // the edit controls shows at once, and a state clicked in the chart
    // selects its area in the list and the editors.
    void caseCoverageFollowsTheEditors()
    {
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        t.window.show();
        auto *action = t.window.findChild<QAction *>("CaseCoverage");
        action->trigger();
        CaseCoverage *coverage = t.window.caseCoverage();
        QVERIFY(coverage->isVisible());
        QCOMPARE(coverage->windowTitle(), QStringLiteral("工况覆盖"));
        ui->SteerMaxDgree->setValue(60);
        QTest::keyClick(ui->SteerMaxDgree, Qt::Key_Return);
        ui->VehicleMaxSpeed->setValue(100);
        QTest::keyClick(ui->VehicleMaxSpeed, Qt::Key_Return);
        // Once per turn of the event loop, however many editors took part.
        QTRY_COMPARE(coverage->shownGrid().appliesAt(60, 100), 0);
        QCOMPARE(coverage->shownGrid().gaps, 361 * 601 - 61 * 101);

        t.store.areas[7].steerMin = -90;
        t.store.areas[7].steerMax = -10;
        t.store.areas[7].speedMax = 50;
        coverage->designChanged();
        QTest::mouseClick(coverage->chartView(), Qt::LeftButton, {}, coverage->chartPoint(-50, 20));
        QCOMPARE(t.store.currentArea, 7);
        QCOMPARE(ui->SteerMinDgree->value(), -90);
        QCOMPARE(ui->AreaTableWidget->currentRow(), 7);
        ui->English->trigger();
        QCOMPARE(action->text(), QStringLiteral("Case Coverage"));
        QCOMPARE(coverage->windowTitle(), QStringLiteral("Case Coverage"));
    }

    void menusAndToolBarsInOrder()
    {
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        // Each menu's and tool bar's actions in order: "-" a separator, a
        // sub-menu by its own name, a tool button by the button's.
        for (const QString line : {
                 "File: New Open Save SaveAs CommissioningReport RecentProjects - Quit",
                 "Edit: Undo Redo - Copy Cut Paste - Delete DeleteAll - AppSettings",
                 "View: ViewMode Distance Intensity DataTable CaseCoverage",
                 "ViewMode: Edition Monitoring SensorSetting IOSimulation SelfCheck",
                 "Setting: SerialConnection EthernetConnection - SerialSetting EthnernetSetting",
                 "Connections: Interfaces - Connection DisConnection - ReadAllSetting "
                 "WriteAllSetting CompareWithSensor - SoftReboot - SensorInformation",
                 "Display: DispGraph DispCloud DispLine - RecordScan StopRecording OpenRecording",
                 "Language: Chinese English",
                 "Help: About Manual",
                 "ViewToolBar: Distance Intensity Monitoring Edition DataTable SensorSetting "
                 "IOSimulation SelfCheck",
                 "ConnectToolBar: EthnernetSetting SerialSetting Connection DisConnection "
                 "ReadAllSetting WriteAllSetting CompareWithSensor SoftReboot SensorInformation",
                 "ConnTypeToolBar: EthernetConnection SerialConnection",
                 "DispToolBar: DispGraph DispCloud DispLine - RecordScan StopRecording",
                 "FileToolBar: NewToolButton Open Save SaveAs"}) {
            auto *w = t.window.findChild<QWidget *>(line.section(':', 0, 0));
            QVERIFY2(w, qPrintable(line));
            auto *bar = qobject_cast<QToolBar *>(w);
            QStringList names;
            for (QAction *a : w->actions())
                names << (a->isSeparator() ? QStringLiteral("-")
                          : a->menu()      ? a->menu()->objectName()
                          : a->objectName().isEmpty() && bar ? bar->widgetForAction(a)->objectName()
                                                             : a->objectName());
            QCOMPARE(w->objectName() + ": " + names.join(' '), line);
        }
        QCOMPARE(ui->File->title(), QStringLiteral("文件"));
        QCOMPARE(ui->Connections->title(), QStringLiteral("连接"));
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

    void closeQuestion_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("english");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        QTest::newRow("save") << true << false << 0 << true << true;
        QTest::newRow("close") << true << false << 1 << true << false;
        QTest::newRow("cancel") << true << false << 2 << false << false;
        QTest::newRow("box-closed") << true << false << -1 << false << false;
        QTest::newRow("cancel-english") << true << true << 2 << false << false;
        QTest::newRow("unchanged-asks-nothing") << false << false << 2 << true << false;
    }
    void closeQuestion()
    {
        QFETCH(bool, modified);
        QFETCH(bool, english);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        Answers ask;
        ask.boxAnswers = {answer};
        ask.fileAnswers = QStringList{dir.filePath("bye")};
        Tool t;
        t.window.show();
        if (english)
            t.window.form()->English->trigger();
        QCOMPARE(t.window.language(), english ? 1 : 0);
        t.store.areas[4].steerMin = 33;
        t.store.modified = modified;
        QCOMPARE(t.window.close(), closes);
        QCOMPARE(ask.boxes.size(), modified ? 1 : 0);
        if (modified) {
            QCOMPARE(ask.boxes[0].icon, QMessageBox::Warning);
            const QStringList want =
                english ? QStringList{"Warning", "The application\nDo you want to discart your "
                                                 "changes?", "Save", "Close", "Cancel"}
                        : QStringList{"警告", "关于应用程序\n您修改了数据直接退出而不保存？",
                                      "保存", "关闭", "取消"};
            QCOMPARE(said(ask.boxes[0]), want);
        }
        QCOMPARE(QFile::exists(dir.filePath("bye.ZQ30")), saved);
        QCOMPARE(t.window.isVisible(), !closes);
        QCOMPARE(t.store.areas[4].steerMin, 33);
        // The layout is written whatever the answer.
        QVERIFY(QSettings("ZoneSensorTool", "Parameters").contains("geometry"));
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
        QCOMPARE(
            t.window.statusBar()->currentMessage(),
            QStringLiteral("X: -2500 [mm], Y: -1200 [mm] | R: 2773.08 [mm], Th: 205.641 [deg]"));
    }

    void firstStartLayout_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("chinese") << 0;
        QTest::newRow("english") << 1;
    }
    void firstStartLayout()
    {
        QFETCH(int, language);
        QSettings("ZoneSensorTool", "Parameters").setValue("Language", language);
        // A desktop's 9 pt rather than the 12 pt of Qt's offscreen platform.
        const QFont before = QApplication::font();
        QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9));
        const auto restore = qScopeGuard([&before] { QApplication::setFont(before); });
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        // A design with more points than the tables show at once.
        for (int i = 0; i < 12; ++i)
            t.store.areas[0].points[0] << QPoint(-3000 + 500 * i, 1000 + 100 * i);
        t.window.areaTable()->AreaTableWidgetAllDisplay();
        t.window.coordTable()->CoordTableWidgeUpdate();
        t.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        QTest::qWait(50);
        QCOMPARE(t.window.size(), QSize(1190, 715));
        QWidget *view = ui->graphicsView;
        QStringList clipped;
        for (QDockWidget *d : {ui->EditionControlDock, ui->SensorSettingDock})
            clipped << clippedIn(d);
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join('\n')));
        // The view gets the room the docks leave, and the sensor sits in
        // its middle.
        QVERIFY2(view->width() >= 480, qPrintable(QString::number(view->width())));
        const QPoint sensor = ui->graphicsView->mapFromScene(QPointF(0, 0));
        const QPoint middle = ui->graphicsView->viewport()->rect().center();
        QVERIFY2((sensor - middle).manhattanLength() <= 4,
                 qPrintable(QString("sensor at %1,%2, middle %3,%4")
                                .arg(sensor.x())
                                .arg(sensor.y())
                                .arg(middle.x())
                                .arg(middle.y())));
        // The sensor's panels, once opened, share the right side as tabs
        // that are not shortened either.
        for (QAction *a : {ui->IOSimulation, ui->SelfCheck}) {
            a->setEnabled(true);
            a->trigger();
        }
        QTest::qWait(50);
        for (QDockWidget *d : {ui->IOSimulationDock, ui->SelfCheckDock}) {
            d->raise();
            QTest::qWait(20);
            clipped << clippedIn(d);
        }
        for (QTabBar *bar : t.window.findChildren<QTabBar *>(QString(), Qt::FindDirectChildrenOnly))
            if (bar->isVisible())
                for (int i = 0; i < bar->count(); ++i)
                    if (bar->tabRect(i).width() < tabWanted(bar, i))
                        clipped << "dock tab " + bar->tabText(i);
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join('\n')));
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

    // The sensor's input word, as the link reports it, names the area.
    void monitoringModeFollowsTheSensorsArea()
    {
        Tool t;
        const auto report = [&t](uint in, uint out) {
            Q_EMIT t.window.link()->IOPortSignals(in, out);
        };
        report(5, 0);
        QCOMPARE(t.store.currentArea, 0); // edition mode ignores reports
        t.window.OpenMonitoringMode();
        QCOMPARE(t.window.viewMode(), 1);
        QVERIFY(t.window.form()->EditionControlDock->isHidden());
        QVERIFY(!t.window.form()->Edition->isChecked());
        report(5, 7);
        QCOMPARE(t.store.currentArea, 5);
        t.store.currentArea = 2;
        report(5, 0);
        QCOMPARE(t.store.currentArea, 2); // same inputs again: nothing
        report(0xFFFFFF80u, 0); // a widened byte with bit 7 set: no area
        QCOMPARE(t.store.currentArea, 2);
        report(100, 0);
        QCOMPARE(t.store.currentArea, 63);
        t.window.OpenCloseEditionDock(true);
        QCOMPARE(t.window.viewMode(), 0);
        report(9, 0);
        QCOMPARE(t.store.currentArea, 63);
        // Monitoring again: the sensor's first report counts even when it
        // names the area last reported (the user picked another meanwhile).
        t.store.currentArea = 42;
        t.window.OpenMonitoringMode();
        report(100, 0);
        QCOMPARE(t.store.currentArea, 63);
        t.store.currentArea = 42;
        t.window.OpenCloseEditionDock(true);
        t.window.OpenCloseEditionDock(false);
        report(0, 0);
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
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
