// The main window's tool bars and the wiring of every action, button and
// link signal to its slot.

#include "gui/MainWindow.h"
#include "ui_mainwindow.h"

#include "core/link/SERIAL_COMM.h"
#include "graphics/OPTION_SCENE.h"
#include "graphics/ViewWindow.h"
#include "gui/dialogs/About.h"
#include "gui/dialogs/Create.h"
#include "gui/dialogs/EthnertSetting.h"
#include "gui/dialogs/SettingsDialog.h"
#include "gui/editors/AREA_TABLE.h"
#include "gui/editors/COORD_TABLE.h"
#include "gui/editors/EDIT_CONTROL.h"
#include "gui/panels/DATA_TABLE.h"
#include "gui/panels/SENSOR_SETTING.h"

#include <QDockWidget>
#include <QGraphicsItem>
#include <QToolBar>
#include <QToolButton>

void MainWindow::buildToolBars()
{
    // The New button: its arrow opens the model menu, its face does nothing.
    auto *newButton = new QToolButton(this);
    newButton->setObjectName(QStringLiteral("NewToolButton"));
    newButton->setIcon(QIcon(QStringLiteral(":images/newFile")));
    newButton->setIconSize(QSize(24, 24));
    newButton->setMenu(ui->New);
    newButton->setPopupMode(QToolButton::MenuButtonPopup);
    newButton->setToolTip(ui->New->title());
    QAction *first = ui->FileToolBar->actions().value(0);
    if (first)
        ui->FileToolBar->insertWidget(first, newButton);
    else
        ui->FileToolBar->addWidget(newButton);

    auto *editBar = new QToolBar(this);
    editBar->setObjectName(QStringLiteral("EditionDockToolBar"));
    editBar->setIconSize(QSize(20, 20));
    editBar->addActions({ui->Copy, ui->Cut, ui->Paste, ui->Delete, ui->DeleteAll});
    ui->EditionMenuLayout->addWidget(editBar);

    auto *sensorBar = new QToolBar(this);
    sensorBar->setObjectName(QStringLiteral("SensorDockToolBar"));
    sensorBar->setIconSize(QSize(20, 20));
    // Captions under the icons keep the dock narrow.
    sensorBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    sensorBar->addActions({ui->ReadAllSetting, ui->WriteAllSetting});
    ui->SensorMenuLayout->addWidget(sensorBar);
}

void MainWindow::connectActions()
{
    connect(ui->Open, &QAction::triggered, this, &MainWindow::openfile);
    connect(ui->Save, &QAction::triggered, this, &MainWindow::savefile);
    connect(ui->Quit, &QAction::triggered, this, &QWidget::close);
    connect(ui->Laser30, &QAction::triggered, this, &MainWindow::CreateDeviceLaser30);
    connect(ui->Laser50, &QAction::triggered, this, &MainWindow::CreateDeviceLaser50);
    connect(ui->Edition, &QAction::triggered, this, &MainWindow::OpenCloseEditionDock);
    connect(ui->Monitoring, &QAction::triggered, this, &MainWindow::OpenMonitoringMode);
    connect(ui->SensorSetting, &QAction::triggered, this, &MainWindow::OpenCloseSensorDock);
    connect(ui->IOSimulation, &QAction::triggered, this, &MainWindow::OpenCloseIOSimulationDock);
    connect(ui->SelfCheck, &QAction::triggered, this, &MainWindow::OpenCloseSelfCheck);
    connect(ui->Distance, &QAction::triggered, this, &MainWindow::OpenCloseReadScanf);
    connect(ui->Intensity, &QAction::triggered, this, &MainWindow::OpenCloseReadIntensity);
    connect(ui->DataTable, &QAction::triggered, this, &MainWindow::OpenCloseDataTableDock);
    connect(ui->Connection, &QAction::triggered, this, &MainWindow::OpenSerialPort);
    connect(ui->SerialConnection, &QAction::triggered, this,
            &MainWindow::ConnectChangeUSARTModeSlot);
    connect(ui->EthernetConnection, &QAction::triggered, this,
            &MainWindow::ConnectChangeEthernetModeSlot);
    connect(ui->SerialSetting, &QAction::triggered, m_serialSettings, &QWidget::show);
    connect(ui->SerialSetting, &QAction::triggered, m_serialSettings,
            &SettingsDialog::fillPortsInfo);
    connect(ui->EthnernetSetting, &QAction::triggered, m_ethernetSettings, &QWidget::show);
    connect(ui->EthnernetSetting, &QAction::triggered, m_ethernetSettings,
            &EthnertSetting::fillPortsInfo);
    // Reading replaces the design: unsaved changes are asked about first.
    connect(ui->ReadAllSetting, &QAction::triggered, this, [this] {
        if (!askBeforeReading())
            return;
        if (m_compareOnConnect)
            compareWithSensor();
        else if (m_readOnConnect)
            m_link->ReadSensorAllDataSlots();
    });
    connect(ui->WriteAllSetting, &QAction::triggered, this, &MainWindow::writeAllAndVerify);
    connect(ui->SoftReboot, &QAction::triggered, m_link, &SERIAL_COMM::SensorRebootSlots);
    connect(ui->SensorInformation, &QAction::triggered, m_link,
            &SERIAL_COMM::SensorInformationSlots);
    connect(ui->DisConnection, &QAction::triggered, this, &MainWindow::CloseSerialPort);
    connect(ui->DispGraph, &QAction::triggered, this, &MainWindow::OpenDispGraphSlot);
    connect(ui->DispCloud, &QAction::triggered, this, &MainWindow::OpenDispCloudSlot);
    connect(ui->DispLine, &QAction::triggered, this, &MainWindow::OpenDispLineSlot);
    connect(ui->Manual, &QAction::triggered, this, &MainWindow::OpenManualFile);
    connect(ui->About, &QAction::triggered, m_about, &QWidget::show);
    // A dock closed by its own close button unchecks its action and is
    // handled as if the action had been unchecked (the IO simulation stops).
    for (QDockWidget *d : {ui->EditionControlDock, ui->SensorSettingDock, ui->DataTableDock,
                           ui->IOSimulationDock, ui->SelfCheckDock})
        d->installEventFilter(this);

    connect(ui->Chinese, &QAction::triggered, this, &MainWindow::LanguageToChinese);
    connect(ui->English, &QAction::triggered, this, &MainWindow::LanguageToEnglish);

    connect(ui->Undo, &QAction::triggered, m_areaTable, &AREA_TABLE::UndoAreaTableData);
    connect(ui->Redo, &QAction::triggered, m_areaTable, &AREA_TABLE::RedoAreaTableData);
    connect(ui->Copy, &QAction::triggered, m_areaTable, &AREA_TABLE::CopyAreaTableData);
    connect(ui->Cut, &QAction::triggered, m_areaTable, &AREA_TABLE::CutAreaTableData);
    connect(ui->Paste, &QAction::triggered, m_areaTable, &AREA_TABLE::PasteAreaTableData);
    connect(ui->Delete, &QAction::triggered, m_areaTable, &AREA_TABLE::DeleteAreaTableData);
    connect(ui->DeleteAll, &QAction::triggered, m_areaTable, &AREA_TABLE::DeleteAllAreaTableData);

    connect(m_serialPort.get(), &QSerialPort::errorOccurred, this, &MainWindow::handleError);

    OPTION_SCENE *sc = m_optionScene;
    connect(m_link, &SERIAL_COMM::ReceiveParameters, m_sensorSetting,
            &SENSOR_SETTING::UpdateParametersToDock);
    // Beyond the bare transfer: once everything has been read, the editors,
    // the area list and the view show what the sensor holds.
    connect(m_link, &SERIAL_COMM::ReceiveParameters, this, &MainWindow::showReadAreas);
    connect(m_link, &SERIAL_COMM::IOPortSignals, this, &MainWindow::IOPortDisplayer);
    connect(m_link, &SERIAL_COMM::IOPortSignals, this, &MainWindow::MonitorGraphicDisplay);
    connect(m_link, &SERIAL_COMM::SelfCheckStatus, this, &MainWindow::SelfCheckDisp);
    // A sensor that stopped answering: after the warning, back to the
    // disconnected state with the design untouched.
    connect(m_link, &SERIAL_COMM::GaveUp, this, &MainWindow::CloseSerialPort);
    connect(m_welcome, &Create::QuitSignal, this, &QWidget::close);
    connect(m_welcome, &Create::CreateSignal, this, &MainWindow::CreateDeviceType);
    connect(m_welcome, &Create::OpenProjectSignal, this, &MainWindow::OpenProject);
    connect(m_welcome, &Create::OpenSerialSignal, this, &MainWindow::CreatOpenSerialPort);
    connect(m_welcome, &Create::OpenEthernetSignal, this, &MainWindow::CreatEthernetPort);
    connect(m_welcome, &Create::CreateInterface, this, &MainWindow::CreatConnectTypeSignalSlot);
    connect(m_welcome, &Create::OpenEthernetMode, this, &MainWindow::CreatEthnertModeSignalSlot);
    connect(m_serialSettings, &SettingsDialog::OpenSerialSignal, this,
            &MainWindow::CreatOpenSerialPort);
    connect(m_ethernetSettings, &EthnertSetting::OpenEthernetSignal, this,
            &MainWindow::CreatEthernetPort);
    connect(m_ethernetSettings, &EthnertSetting::OpenEthernetMode, this,
            &MainWindow::CreatEthnertModeSignalSlot);

    // Editors follow each other through the store, in this order.
    connect(m_link, &SERIAL_COMM::ReceiveScanfData, m_dataTable,
            &DATA_TABLE::DataTableWidgetDisplay);
    connect(m_link, &SERIAL_COMM::ReceiveScanfData, sc, &OPTION_SCENE::UpdataPaintOutline);
    connect(m_link, &SERIAL_COMM::ReceiveIntensityData, m_dataTable,
            &DATA_TABLE::DataTableWidgetDisplay);
    connect(m_link, &SERIAL_COMM::ReceiveIntensityData, sc, &OPTION_SCENE::UpdataPaintIntensity);
    for (auto signal : {&AREA_TABLE::AreaTableIndexChange, &AREA_TABLE::EditAreaDataSignal}) {
        connect(m_areaTable, signal, m_coordTable, &COORD_TABLE::CoordTableWidgeUpdate);
        connect(m_areaTable, signal, m_editControl, &EDIT_CONTROL::EditControlUpdateEditData);
        connect(m_areaTable, signal, sc, &OPTION_SCENE::UpdataPaintOutline);
        connect(m_areaTable, signal, sc, &OPTION_SCENE::CoordTableUpdatePointItem);
    }
    connect(m_editControl, &EDIT_CONTROL::EditControlShapeChangeSignal, m_coordTable,
            &COORD_TABLE::CoordTableWidgeUpdate);
    connect(m_editControl, &EDIT_CONTROL::EditControlShapeChangeSignal, m_areaTable,
            &AREA_TABLE::SaveUndoAreaTableData);
    connect(m_editControl, &EDIT_CONTROL::EditControlShapeChangeSignal, sc,
            &OPTION_SCENE::UpdataPaintOutline);
    connect(m_editControl, &EDIT_CONTROL::EditControlShapeChangeSignal, sc,
            &OPTION_SCENE::CoordTableUpdatePointItem);
    connect(m_editControl, &EDIT_CONTROL::EditControlParaChangeSignal, m_areaTable,
            &AREA_TABLE::SaveUndoAreaTableData);
    connect(m_coordTable, &COORD_TABLE::CoordTableEditSignal, m_areaTable,
            &AREA_TABLE::SaveUndoAreaTableData);
    connect(m_coordTable, &COORD_TABLE::CoordTableEditSignal, m_areaTable,
            &AREA_TABLE::SetEditAreaTableDisplay);
    connect(m_coordTable, &COORD_TABLE::CoordTableEditSignal, m_areaTable,
            &AREA_TABLE::AreaTableWidgetCurDisplay);
    connect(m_coordTable, &COORD_TABLE::CoordTableEditSignal, sc,
            &OPTION_SCENE::UpdataPaintOutline);
    connect(m_coordTable, &COORD_TABLE::CoordTableEditSignal, sc,
            &OPTION_SCENE::CoordTableUpdatePointItem);
    connect(sc, &OPTION_SCENE::PointItemChannelSignal, m_coordTable,
            &COORD_TABLE::CoordTableWidgeUpdate);
    // The edit controls connected their own channel slot first.
    connect(ui->AreaEditTab, &QTabWidget::currentChanged, sc, &OPTION_SCENE::UpdataPaintOutline);
    connect(ui->AreaEditTab, &QTabWidget::currentChanged, sc,
            &OPTION_SCENE::CoordTableUpdatePointItem);

    // The thumbnails' dependent Out3 fill follows the edited output.
    connect(ui->AreaEditTab, &QTabWidget::currentChanged, m_areaTable,
            &AREA_TABLE::AreaTableWidgetAllDisplay);

    ViewWindow *view = ui->graphicsView;
    connect(view, &ViewWindow::AddCenterPointItem, sc, &OPTION_SCENE::AddCenterPointItemSlots);
    connect(sc, &OPTION_SCENE::HandlesDeleted, view, &ViewWindow::forgetCurrentItem);
    connect(view, &ViewWindow::MovePointItem, sc, &OPTION_SCENE::MovePointItemSlots);
    connect(view, &ViewWindow::DeletePointItem, sc, &OPTION_SCENE::DeletePointItemSlots);
    connect(view, &ViewWindow::MouseReleaseSignal, m_areaTable,
            &AREA_TABLE::AreaTableWidgetCurDisplay);
    connect(view, &ViewWindow::ReleasePointItem, m_areaTable, &AREA_TABLE::SaveUndoAreaTableData);
    // A vertex deleted in the view is an edit like a drag: snapshot and flag.
    connect(sc, &OPTION_SCENE::PointItemDeleted, m_areaTable, &AREA_TABLE::SaveUndoAreaTableData);
    connect(sc, &OPTION_SCENE::PointItemDeleted, m_areaTable, &AREA_TABLE::AreaTableWidgetCurDisplay);
    connect(view, qOverload<double>(&ViewWindow::ChangeSetupMatrix), sc,
            &OPTION_SCENE::ChangeScaleSize);
    connect(view, &ViewWindow::CurrentCoordSignal, this, &MainWindow::BarDisplayCoord);
    connect(ui->ZoomSlider, &QSlider::valueChanged, view,
            qOverload<int>(&ViewWindow::ChangeSetupMatrix));
    connect(view, &ViewWindow::ChangeMatrixSignal, ui->ZoomSlider, &QSlider::setValue);
    connect(ui->ZoomIn, &QAbstractButton::clicked, view, &ViewWindow::ZoomInButtonSlots);
    connect(ui->ZoomOut, &QAbstractButton::clicked, view, &ViewWindow::ZoomOutButtonSlots);

    connect(ui->ScanGroupBox, &QGroupBox::clicked, this, &MainWindow::SensorControlEnableSlot);
    for (QComboBox *c : {ui->Set_SensorSleepMode, ui->Set_ScanMotorSpeed, ui->Set_ScanSensorAngle,
                         ui->Set_ScanFilterLevel})
        connect(c, qOverload<int>(&QComboBox::currentIndexChanged), this,
                &MainWindow::SensorControlChangeSlot);
}
