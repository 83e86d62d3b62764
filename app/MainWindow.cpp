#include "MainWindow.h"
#include "ui_mainwindow.h"

#include "AREA_TABLE.h"
#include "About.h"
#include "LanguageTexts.h"
#include "Create.h"
#include "COORD_TABLE.h"
#include "DATA_TABLE.h"
#include "EDIT_CONTROL.h"
#include "EthnertSetting.h"
#include "IO_SIMULATION.h"
#include "LinkPresenter.h"
#include "OPTION_SCENE.h"
#include "ProjectFile.h"
#include "SENSOR_SETTING.h"
#include "SERIAL_COMM.h"
#include "ScanItems.h"
#include "ScanRecord.h"
#include "SettingsDialog.h"
#include "UiPrompt.h"
#include "ViewWindow.h"
#include "ZoneGeometry.h"
#include "ZoneStore.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QGLFormat>
#include <QGLWidget>
#include <QGraphicsScene>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTcpSocket>
#include <QTextStream>
#include <QToolBar>
#include <QToolButton>
#include <QUdpSocket>
#include <QUrl>

namespace {
const char kOrganisation[] = "ZoneSensorTool";
const char kApplication[] = "Parameters";
} // namespace

MainWindow::MainWindow(ZoneStore *store, ScanRecord *scan, QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_store(store)
    , m_scan(scan)
{
    // 1. The form: widgets, actions, menus, docks and tool bars.
    ui->setupUi(this);

    // 2. The Ethernet settings dialog (the about and welcome dialogs join
    // here), each without parent.
    m_about = new About;
    m_welcome = new Create;
    m_ethernetSettings = new EthnertSetting;

    // 3. A blank design for the 72 m model.
    m_deviceType.type = Laser30;

    // 4. The scene; the sensor parameter and control records are members.
    scene = new QGraphicsScene(this);

    // 5. The view shows the scene centred on the sensor.
    ui->graphicsView->setScene(scene);
    ui->graphicsView->centerOn(0, 0);
    ui->graphicsView->SetDeviceType(&m_deviceType);
    if (qEnvironmentVariableIntValue("SECTOR_STUDIO_OPENGL") == 1) {
        // The same picture through OpenGL with multisampling.
        QGLFormat format = QGLFormat::defaultFormat();
        format.setSampleBuffers(true);
        ui->graphicsView->setViewport(new QGLWidget(format));
        ui->graphicsView->setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
        ui->graphicsView->setMouseTracking(true);
    }

    // 6. The scene controller, with the zone and scan items.
    m_optionScene = new OPTION_SCENE(&m_deviceType, scene, m_store, m_scan,
                                     ui->graphicsView->backgroundItems(), this);

    // 7. The transports the link borrows.
    m_serialPort = std::make_unique<QSerialPort>();
    m_tcpSocket = std::make_unique<QTcpSocket>();
    m_udpSocket = std::make_unique<QUdpSocket>();

    // 8. The serial settings dialog.
    m_serialSettings = new SettingsDialog;

    // 9. The link controller.
    m_link = new SERIAL_COMM(m_serialPort.get(), m_scan, m_store, &m_sensorParameters,
                             &m_sensorControl, m_tcpSocket.get(), m_udpSocket.get(), this);
    // The link clamps distances at 60000 mm until a model is chosen.
    m_linkPresenter = new LinkPresenter(m_link, this);

    // 10. The data list.
    m_dataTable = new DATA_TABLE(m_scan, ui->DataTableWidget, this);

    // 11. The area list with its thumbnails and the area commands.
    m_areaTable = new AREA_TABLE(m_store, ui->AreaTableWidget, ui->Copy, ui->Cut, ui->Paste,
                                 ui->Delete, this);

    // 12. The coordinate tables.
    m_coordTable = new COORD_TABLE(m_store,
                                   {ui->CoordTableWidgetOut1, ui->CoordTableWidgetOut2,
                                    ui->CoordTableWidgetOut3, ui->PolarTableWidgeOut1,
                                    ui->PolarTableWidgeOut2, ui->PolarTableWidgeOut3},
                                   this);

    // 13. The edit controls.
    m_editControl = new EDIT_CONTROL(
        m_store, ui->AreaEditTab, ui->Area_OpenDelay, ui->Area_CloseDelay, ui->Area_Hysteresis,
        ui->Area_DetectionSize, ui->SteerMinDgree, ui->SteerMaxDgree, ui->VehicleMinSpeed,
        ui->VehicleMaxSpeed, ui->VehicleOptionMode,
        {ui->ButtonPolygonOut1, ui->ButtonArcOut1, ui->ButtonRectangleOut1, ui->ButtonStraightOut1,
         ui->ButtonFanOut1, ui->ButtonRatioOut1},
        {ui->ButtonPolygonOut2, ui->ButtonArcOut2, ui->ButtonRectangleOut2, ui->ButtonStraightOut2,
         ui->ButtonFanOut2, ui->ButtonRatioOut2},
        {ui->ButtonPolygonOut3, ui->ButtonArcOut3, ui->ButtonRectangleOut3, ui->ButtonStraightOut3,
         ui->ButtonFanOut3, ui->ButtonRatioOut3},
        this);

    // 14. The sensor settings dock, which resets the record to its defaults.
    m_sensorSetting = new SENSOR_SETTING(
        &m_sensorParameters,
        {ui->Para_ControlMode,       ui->Para_RS232BaudRate,     ui->Para_RS232CommVerify,
         ui->Para_RS232StopBit,      ui->Para_RS485IDAddress,    ui->Para_RS485BaudRate,
         ui->Para_RS485CommVerify,   ui->Para_RS485StopBit,      ui->Para_CANIDAddress,
         ui->Para_CANBaudRate,       ui->Para_SensorOutputLogic, ui->Para_ScanMotorSpeed,
         ui->Para_ScanSensorAngle,   ui->Para_ScanFilterLevel,   ui->Para_SensorInstallDir,
         ui->Para_CrossFilterEnable, ui->Para_CrossFilterNumber, ui->Para_SensorEtherMode,
         ui->Para_SensorIPAddress1,  ui->Para_SensorIPAddress2,  ui->Para_SensorIPAddress3,
         ui->Para_SensorIPAddress4},
        this);

    // 15. The IO simulation panel.
    m_ioSimulation = new IO_SIMULATION(m_store,
                                       {ui->InportGrouptBox,
                                        {ui->InputButton1, ui->InputButton2, ui->InputButton3,
                                         ui->InputButton4, ui->InputButton5, ui->InputButton6},
                                        ui->InputspinBox,
                                        ui->OutportGrouptBox,
                                        {ui->OutputButton1, ui->OutputButton2, ui->OutputButton3},
                                        ui->OutputspinBox,
                                        ui->FaultGroupBox,
                                        ui->FaultSimuButton,
                                        ui->CaseSimulationBox,
                                        ui->SimDgreeSpinBox,
                                        ui->SimDgreeSlider,
                                        ui->SimSpeedSpinBox,
                                        ui->SimSpeedSlider,
                                        ui->SimOptionMode},
                                       this);

    // 16. Initial widget state.
    ui->ArealineText->setEnabled(false);
    ui->ArealineText->setAlignment(Qt::AlignCenter);
    ui->RegionsLineText->setEnabled(false);
    ui->RegionsLineText->setAlignment(Qt::AlignCenter);
    for (QAction *a : {ui->ReadAllSetting, ui->WriteAllSetting, ui->DisConnection, ui->SoftReboot,
                       ui->SensorInformation, ui->IOSimulation, ui->SelfCheck, ui->DataTable})
        a->setEnabled(false);
    ui->DataTable->setChecked(false);
    ui->DataTableDock->hide();
    for (QAction *a : {ui->Edition, ui->SensorSetting, ui->Distance, ui->Intensity})
        a->setChecked(true);
    ui->EditionControlDock->show();
    ui->SensorSettingDock->show();

    // 17. Tool bars inside the docks, the New button, the zoom controls.
    buildToolBars();
    ui->ZoomIn->setAutoRepeat(true);
    ui->ZoomOut->setAutoRepeat(true);
    setUpZoomSlider();

    // 18. Connections.
    connectActions();

    // Room for the thumbnails and the coordinate tables before any stored
    // layout is applied.
    polishLayout();

    // 19. Persisted layout and language.
    readSettings();

    // 20. The simulation and self-check docks start hidden.
    ui->IOSimulationDock->hide();
    ui->SelfCheckDock->hide();

    // 21. Hand the initial scale to whoever listens.
    ui->graphicsView->ApplyZoom();

    // 22. Teach-in is not offered.
    ui->ButtonTeachOut1->setEnabled(false);
    ui->ButtonTeachOut2->setEnabled(false);
    ui->ButtonTeachOut3->setEnabled(false);

    // 23. The sensor control record follows its widgets.
    SensorControlEnableSlot();
    SensorControlChangeSlot();

    // 24. The maker's name in both languages.
    setWindowTitle(QStringLiteral("Corvane"));

    // 25. Detection size 1.0 deg in every area, shown by the edit controls
    // and the state Undo starts from.
    m_store->setAllDetectionSize(1);
    m_store->resetUndo();
    m_editControl->EditControlUpdateEditData();
}

MainWindow::~MainWindow()
{
    delete m_about;
    delete m_welcome;
    delete m_serialSettings;
    delete m_ethernetSettings;
}

QString MainWindow::tr2(const char *chinese, const char *english) const
{
    return m_language == 1 ? QString::fromUtf8(english) : QString::fromUtf8(chinese);
}

int MainWindow::ask(QMessageBox::Icon icon, const QString &title, const QString &text,
                    const QStringList &buttons)
{
    UiPrompt::Box box;
    box.icon = icon;
    box.title = title;
    box.text = text;
    box.buttons = buttons;
    return UiPrompt::show(this, box);
}

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
    sensorBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    sensorBar->addActions({ui->ReadAllSetting, ui->WriteAllSetting});
    ui->SensorMenuLayout->addWidget(sensorBar);

    // The sensor dock is as wide as its longest item texts, so no combo box
    // clips its value.
    for (QComboBox *c : ui->SensorSettingContents->findChildren<QComboBox *>()) {
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        c->setMinimumWidth(c->sizeHint().width());
    }
    ui->SensorSettingScrollArea->setMinimumWidth(
        ui->SensorSettingContents->minimumSizeHint().width() +
        ui->SensorSettingScrollArea->verticalScrollBar()->sizeHint().width() +
        2 * ui->SensorSettingScrollArea->frameWidth());
}

void MainWindow::polishLayout()
{
    // Number, marker and a thumbnail of about 100 pixels.
    const int listWidth = 40 + 10 + 100 +
                          ui->AreaTableWidget->verticalScrollBar()->sizeHint().width() +
                          2 * ui->AreaTableWidget->frameWidth();
    ui->AreaTableWidget->setMinimumWidth(listWidth);
    ui->ArealineText->setMinimumWidth(listWidth);
    ui->splitter->setStretchFactor(0, 0);
    ui->splitter->setStretchFactor(1, 1);
    // The edit panel is wide enough for the English shape and tab captions.
    ui->splitter->setSizes({listWidth, 300});
    // The parameters stay compact; the tables get the height.
    ui->ParametersEditTab->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    ui->splitter_2->setStretchFactor(0, 0);
    ui->splitter_2->setStretchFactor(1, 1);
    ui->splitter_2->setSizes({ui->ParametersEditTab->sizeHint().height(), 600});
    // Shape buttons may be narrower than a dialog button, so that the window
    // fits its initial 1190 pixels with both docks open.
    for (QPushButton *b : ui->AreaEditTab->findChildren<QPushButton *>())
        b->setMinimumWidth(56);
    ui->PortLampLayout->setSpacing(2);
    // The sensor's own panels share one place on the right, as tabs; the
    // data list keeps its own above them.
    tabifyDockWidget(ui->SensorSettingDock, ui->IOSimulationDock);
    tabifyDockWidget(ui->IOSimulationDock, ui->SelfCheckDock);
    for (QLabel *l : {ui->label_SteerDgree, ui->label_VehicleSpeed, ui->label_VehicleOptionMode})
        l->setWordWrap(true);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_defaultDockWidths)
        return;
    m_defaultDockWidths = false;
    // Without a remembered layout: the list and the edit panel side by side
    // on the left, the sensor panels on the right no wider than they need,
    // the view takes the rest.
    QTimer::singleShot(0, this, [this] {
        resizeDocks({ui->EditionControlDock, ui->SensorSettingDock},
                    {ui->AreaTableWidget->minimumWidth() + 300 + 12, 300}, Qt::Horizontal);
    });
}

void MainWindow::setUpZoomSlider()
{
    const DeviceModelInfo *m = deviceModelInfo(m_deviceType.type);
    if (!m)
        return;
    ui->ZoomSlider->setMaximum(kZoomSliderMaximum);
    ui->ZoomSlider->setMinimum(m->zoomMinimum);
    ui->ZoomSlider->setValue(m->zoomMinimum);
    ui->ZoomSlider->setTickPosition(QSlider::TicksBelow);
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
        if (askBeforeReading() && m_readOnConnect)
            m_link->ReadSensorAllDataSlots();
    });
    connect(ui->WriteAllSetting, &QAction::triggered, m_link,
            &SERIAL_COMM::WriteSensorAllDataSlots);
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

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close) {
        const struct {
            QDockWidget *dock;
            QAction *action;
            void (MainWindow::*slot)(bool);
        } docks[] = {
            {ui->EditionControlDock, ui->Edition, &MainWindow::OpenCloseEditionDock},
            {ui->SensorSettingDock, ui->SensorSetting, &MainWindow::OpenCloseSensorDock},
            {ui->DataTableDock, ui->DataTable, &MainWindow::OpenCloseDataTableDock},
            {ui->IOSimulationDock, ui->IOSimulation, &MainWindow::OpenCloseIOSimulationDock},
            {ui->SelfCheckDock, ui->SelfCheck, &MainWindow::OpenCloseSelfCheck},
        };
        for (const auto &d : docks) {
            if (watched == d.dock) {
                d.action->setChecked(false);
                (this->*d.slot)(false);
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- settings

void MainWindow::readSettings()
{
    QSettings settings(QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication));
    if (settings.value(QStringLiteral("Language")).toInt() == 1) {
        m_language = 1;
        LanguageToEnglish();
    } else {
        m_language = 0;
        LanguageToChinese();
    }
    restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray());
    m_defaultDockWidths = !settings.contains(QStringLiteral("windowState"));
    restoreState(settings.value(QStringLiteral("windowState")).toByteArray(), 0);
    ui->splitter->restoreState(settings.value(QStringLiteral("splitterSizes")).toByteArray());
    ui->splitter_2->restoreState(settings.value(QStringLiteral("splitterSizes2")).toByteArray());
    switch (settings.value(QStringLiteral("SaveDispMpde")).toInt()) {
    case 1: OpenDispCloudSlot(); break;
    case 2: OpenDispLineSlot(); break;
    default: OpenDispGraphSlot(); break;
    }
    ui->EditionControlDock->show();
    ui->SensorSettingDock->show();
    ui->DataTableDock->hide();
}

void MainWindow::writeSettings()
{
    QSettings settings(QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication));
    settings.setValue(QStringLiteral("Language"), m_language == 1 ? 1 : 0);
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("windowState"), saveState(0));
    settings.setValue(QStringLiteral("splitterSizes"), ui->splitter->saveState());
    settings.setValue(QStringLiteral("splitterSizes2"), ui->splitter_2->saveState());
    const int mode = m_scan->displayMode;
    settings.setValue(QStringLiteral("SaveDispMpde"), (mode == 1 || mode == 2) ? mode : 0);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    bool stay = false;
    if (m_store->modified) {
        const int answer =
            ask(QMessageBox::Warning, tr2("警告", "Warning"),
                tr2("关于应用程序\n您修改了数据直接退出而不保存？",
                    "The application\nDo you want to discart your changes?"),
                QStringList{tr2("保存", "Save"), tr2("关闭", "Close"), tr2("取消", "Cancel")});
        if (answer == 0)
            stay = !saveDesign(); // not saved: the window and the design stay
        else if (answer != 1)
            stay = true; // Cancel, or the box closed without an answer
    }
    writeSettings();
    if (stay)
        event->ignore();
    else
        event->accept();
}

// ---------------------------------------------------------------- project files

void MainWindow::savefile()
{
    saveDesign();
}

void MainWindow::stopReplyTimer()
{
    // Only while no request is outstanding: a stopped time-out would leave
    // a request whose reply was lost outstanding for ever.
    if (m_link->busyCode() == 0)
        m_link->StopReplyTimer();
}

bool MainWindow::saveDesign()
{
    stopReplyTimer();
    UiPrompt::FileQuestion q;
    q.save = true;
    q.caption = QStringLiteral("保存配置文件");
    q.filter = deviceModelFilter(m_deviceType.type);
    QString name = UiPrompt::askFileName(this, q);
    if (name.isEmpty())
        return false; // cancelled: nothing written, the flag as it was
    name = withDeviceSuffix(name, m_deviceType.type);

    QString why;
    const auto result = ProjectFile::saveProject(name, m_deviceType.type,
                                                 m_sensorSetting->dockValues(), *m_store, &why);
    if (result == ProjectFile::SaveResult::Saved) {
        m_store->modified = false;
        return true;
    }
    // Whatever failed, the design still counts as unsaved; the previous file
    // is as it was unless it had to be written in place and could not be put
    // back.
    const QString file = QDir::toNativeSeparators(name);
    QString text;
    switch (result) {
    case ProjectFile::SaveResult::OpenFailed:
        text = tr2("文件无法创建：\n%1\n%2\n设计没有保存。",
                   "The file could not be created:\n%1\n%2\nThe design has not been saved.");
        break;
    case ProjectFile::SaveResult::TargetDamaged:
        text = tr2("文件未能完整写入，原有文件也无法恢复：\n%1\n%2\n请将设计另存到其他位置。",
                   "The file could not be written completely and the previous file could not "
                   "be restored:\n%1\n%2\nSave the design somewhere else.");
        break;
    default:
        text = tr2("文件未能完整写入：\n%1\n%2\n原有文件保持不变。",
                   "The file could not be written completely:\n%1\n%2\n"
                   "The previous file is unchanged.");
        break;
    }
    ask(QMessageBox::Warning, tr2("保存失败", "Save failed"), text.arg(file, why));
    return false;
}

void MainWindow::readProjectBody(QTextStream &in)
{
    m_sensorSetting->ReadSection(in);
    ProjectFile::readAreaSection(in, *m_store);
}

void MainWindow::showReadAreas()
{
    m_editControl->EditControlUpdateEditData();
    m_coordTable->CoordTableWidgeUpdate();
    m_areaTable->AreaTableWidgetAllDisplay();
    m_optionScene->CoordTableUpdatePointItem();
    m_optionScene->UpdataPaintOutline();
}

void MainWindow::refreshAfterProjectRead()
{
    m_editControl->EditControlUpdateEditData();
    m_coordTable->CoordTableWidgeUpdate();
    // A file read replaces the design: Undo starts from what was read, and
    // reading counts as a change.
    m_store->resetUndo();
    m_store->modified = true;
    m_areaTable->AreaTableWidgetAllDisplay();
    m_optionScene->CoordTableUpdatePointItem();
}

void MainWindow::showFileError()
{
    ask(QMessageBox::Information, tr2("错误", "Error"), tr2("文件损坏", "FileError"));
}

void MainWindow::openfile()
{
    stopReplyTimer();
    UiPrompt::FileQuestion q;
    q.caption = tr2("打开配置文件", "Open Config file");
    q.filter = deviceModelFilter(m_deviceType.type);
    const QString name = UiPrompt::askFileName(this, q);
    if (name.isEmpty())
        return;
    openProjectFile(name);
}

void MainWindow::openProjectFile(const QString &name)
{
    if (refuseToOpen(name))
        return;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ask(QMessageBox::Information, QStringLiteral("Document"), QStringLiteral("No document"),
            QStringList{QStringLiteral("OK"), QStringLiteral("Cancel")});
        return;
    }
    QTextStream in(&file);
    const DeviceModelInfo *m = deviceModelInfo(m_deviceType.type);
    if (m && in.readLine() == QLatin1String(m->header)) {
        readProjectBody(in);
    } else {
        showFileError();
    }
    refreshAfterProjectRead();
}

void MainWindow::OpenProject()
{
    UiPrompt::FileQuestion q;
    q.caption = tr2("打开配置文件", "Open Config file");
    const QString name = UiPrompt::askFileName(this, q);
    if (name.isEmpty())
        return;
    openAnyProjectFile(name, false);
}

// A file far beyond what any sensor holds (or one whose line never ends) is
// not read at all: the user is told why, and the design stays as it is.
bool MainWindow::refuseToOpen(const QString &name)
{
    const ProjectFile::Refusal refusal = ProjectFile::screenFile(name);
    if (!refusal.refused())
        return false;
    ask(QMessageBox::Warning, tr2("无法打开", "Cannot open"), refusal.text(m_language));
    return true;
}

bool MainWindow::openAnyProjectFile(const QString &name, bool reportUnreadable)
{
    if (refuseToOpen(name))
        return false;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (reportUnreadable)
            ask(QMessageBox::Information, QStringLiteral("Document"), QStringLiteral("No document"),
                QStringList{QStringLiteral("OK"), QStringLiteral("Cancel")});
        return false;
    }
    QTextStream in(&file);
    const int type = deviceModelFromHeader(in.readLine());
    if (type < 0) {
        showFileError();
        return false;
    }
    m_deviceType.type = type;
    readProjectBody(in);
    refreshAfterProjectRead();
    DEVICETYPE read = m_deviceType;
    CreateDeviceType(&read);
    return true;
}

// ---------------------------------------------------------------- device types

void MainWindow::CreateDeviceType(DEVICETYPE *Type)
{
    m_deviceType.type = Type->type;
    m_optionScene->SetDeviceType(&m_deviceType);
    ui->graphicsView->SetDeviceType(&m_deviceType);
    m_link->SetMaximumRange(&m_deviceType);
    setUpZoomSlider();
}

void MainWindow::createDevice(int type)
{
    if (m_store->modified) {
        if (ask(QMessageBox::Warning, tr2("警告", "Warning"),
                tr2("关于应用程序\n您修改了数据直接改变而不保存？",
                    "The application\nDo you want to discart your changes?"),
                QStringList{tr2("确定", "OK"), tr2("取消", "Cancel")}) != 0)
            return;
    }
    DEVICETYPE t;
    t.type = type;
    CreateDeviceType(&t);
    ClearAllEditData();
}

void MainWindow::CreateDeviceLaser05()
{
    createDevice(Laser05);
}
void MainWindow::CreateDeviceLaser10()
{
    createDevice(Laser10);
}
void MainWindow::CreateDeviceLaser20()
{
    createDevice(Laser20);
}
void MainWindow::CreateDeviceLaser30()
{
    createDevice(Laser30);
}
void MainWindow::CreateDeviceLaser50()
{
    createDevice(Laser50);
}

void MainWindow::ClearAllEditData()
{
    m_store->resetForNewProject();
    // Nothing of the discarded design can come back with Undo.
    m_store->resetUndo();
    m_sensorSetting->RestoreDefaults();
    ui->Area_OpenDelay->setCurrentIndex(0);
    ui->Area_CloseDelay->setCurrentIndex(0);
    ui->Area_Hysteresis->setCurrentIndex(0);
    ui->Area_DetectionSize->setCurrentIndex(0);
    m_optionScene->CoordTableUpdatePointItem();
    m_coordTable->CoordTableWidgeUpdate();
    // Beyond the bare reset: the shape buttons and the area list would
    // otherwise still show the discarded design.
    m_editControl->EditControlUpdateEditData();
    m_areaTable->AreaTableWidgetAllDisplay();
}

// ---------------------------------------------------------------- views and docks

void MainWindow::setViewMode(int mode)
{
    m_viewMode = mode;
    // The first report after monitoring begins selects its area, even when
    // it equals the last one seen before.
    m_inportKnown = false;
    // Monitoring shows the area the sensor selects and edits nothing: no
    // handle can be grabbed, and none stays current in the view.
    m_optionScene->setHandlesVisible(mode == 0);
    ui->graphicsView->forgetCurrentItem();
    if (mode == 0)
        showCurrentArea();
}

void MainWindow::showCurrentArea()
{
    const int area = m_store->clampedCurrentArea();
    ui->AreaTableWidget->selectRow(area);
    m_coordTable->CoordTableWidgeUpdate();
    m_editControl->EditControlUpdateEditData();
    m_optionScene->UpdataPaintOutline();
    m_optionScene->CoordTableUpdatePointItem();
}

void MainWindow::OpenMonitoringMode()
{
    setViewMode(1);
    ui->DataTableDock->hide();
    ui->SensorSettingDock->show();
    ui->EditionControlDock->hide();
    ui->DataTable->setChecked(false);
    ui->Edition->setChecked(false);
    ui->SensorSetting->setChecked(true);
}

void MainWindow::OpenCloseEditionDock(bool Checked)
{
    setViewMode(Checked ? 0 : 1);
    ui->EditionControlDock->setVisible(Checked);
}

void MainWindow::OpenCloseSensorDock(bool Checked)
{
    ui->SensorSettingDock->setVisible(Checked);
    if (Checked)
        ui->SensorSettingDock->raise();
}

void MainWindow::OpenCloseDataTableDock(bool Checked)
{
    ui->DataTableDock->setVisible(Checked);
}

void MainWindow::OpenCloseSelfCheck(bool Checked)
{
    ui->SelfCheckDock->setVisible(Checked);
    if (Checked)
        ui->SelfCheckDock->raise();
}

void MainWindow::OpenCloseIOSimulationDock(bool Checked)
{
    if (Checked) {
        ui->IOSimulationDock->show();
        ui->IOSimulationDock->raise();
        return;
    }
    // Closing the panel ends every simulation.
    ui->InportGrouptBox->setChecked(false);
    ui->OutportGrouptBox->setChecked(false);
    ui->FaultGroupBox->setChecked(false);
    ui->CaseSimulationBox->setChecked(false);
    m_ioSimulation->SimulationSignalSlots();
    m_ioSimulation->SimulationCaseSlots();
    ui->IOSimulationDock->hide();
}

bool MainWindow::linkOpen() const
{
    return m_serialPort->isOpen() || m_tcpSocket->isOpen() || m_udpSocket->isOpen();
}

void MainWindow::OpenCloseReadScanf(bool Checked)
{
    if (Checked && linkOpen()) {
        m_optionScene->outlineItem()->setVisible(true);
        m_link->OpenSendReadScanf();
    } else {
        m_optionScene->outlineItem()->setVisible(false);
        m_link->CloseSendReadScanf();
    }
}

void MainWindow::OpenCloseReadIntensity(bool Checked)
{
    if (Checked && linkOpen()) {
        m_optionScene->intensityItem()->setVisible(true);
        m_link->OpenSendReadIntensity();
    } else {
        m_optionScene->intensityItem()->setVisible(false);
        m_link->CloseSendReadIntensity();
    }
}

void MainWindow::MonitorGraphicDisplay(uint Inport, uint Outport)
{
    Q_UNUSED(Outport);
    if (m_viewMode != 1)
        return;
    // A reported byte with bit 7 set arrives widened to a word that is
    // negative as a signed number: it selects no area.
    if (int(Inport) < 0)
        return;
    if (!m_inportKnown || Inport != m_lastInport) {
        m_inportKnown = true;
        m_lastInport = Inport;
        m_store->currentArea = int(Inport);
        // Beyond redrawing the outlines: the list, the editors and the
        // (hidden) handles follow too, so that nothing keeps showing the
        // area before and writes it into this one later.
        showCurrentArea();
    }
}

void MainWindow::setDisplayMode(int mode)
{
    m_scan->displayMode = mode;
    if (m_optionScene) {
        m_optionScene->outlineItem()->update();
        m_optionScene->intensityItem()->update();
    }
    QAction *actions[3] = {ui->DispGraph, ui->DispCloud, ui->DispLine};
    for (int i = 0; i < 3; ++i) {
        actions[i]->setCheckable(i == mode);
        actions[i]->setChecked(i == mode);
    }
}

void MainWindow::OpenDispGraphSlot()
{
    setDisplayMode(0);
}
void MainWindow::OpenDispCloudSlot()
{
    setDisplayMode(1);
}
void MainWindow::OpenDispLineSlot()
{
    setDisplayMode(2);
}

void MainWindow::SensorControlEnableSlot()
{
    m_sensorControl[4] = ui->ScanGroupBox->isChecked() ? 1 : 0;
}

void MainWindow::SensorControlChangeSlot()
{
    m_sensorControl[0] = ui->Set_SensorSleepMode->currentIndex();
    m_sensorControl[1] = ui->Set_ScanMotorSpeed->currentIndex();
    m_sensorControl[2] = ui->Set_ScanSensorAngle->currentIndex();
    m_sensorControl[3] = ui->Set_ScanFilterLevel->currentIndex();
}

void MainWindow::BarDisplayCoord(QPoint Coord)
{
    const int x = Coord.x();
    const int y = -Coord.y();
    const ZoneGeometry::Polar p = ZoneGeometry::xyToPolar(x, y);
    const float degrees = p.theta * ZoneGeometry::kRadToDeg;
    statusBar()->showMessage(QStringLiteral("X: %1 [mm], Y: %2 [mm] | R: %3 [mm], Th: %4 [deg]")
                                 .arg(x)
                                 .arg(y)
                                 .arg(QString::number(double(p.r), 'g', 6))
                                 .arg(QString::number(double(degrees), 'g', 6)));
}

void MainWindow::OpenManualFile()
{
    const QString rel = m_language == 1 ? QStringLiteral("./manual/manual_en.pdf")
                                        : QStringLiteral("./manual/manual_cn.pdf");
    QString path = QDir::current().absoluteFilePath(rel);
    // Started from elsewhere: the build puts the manual beside the program.
    const QString beside = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(rel);
    if (!QFileInfo::exists(path) && QFileInfo::exists(beside))
        path = beside;
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// ---------------------------------------------------------------- language and link

void MainWindow::LanguageToChinese()
{
    m_language = 0;
    m_about->LanguageDisplayChinese();
    m_welcome->LanguageDisplayChinese();
    m_serialSettings->SetChineseTexts();
    m_link->SetLanguage(1); // the link counts 1 as Chinese
    m_ethernetSettings->SetChineseTexts();
    m_coordTable->SetHeaderLanguage(0);
    m_dataTable->SetHeaderLanguage(0);
    LanguageTexts::apply(this, 0);
}

void MainWindow::LanguageToEnglish()
{
    m_language = 1;
    m_about->LanguageDisplayEnglish();
    m_welcome->LanguageDisplayEnglish();
    m_serialSettings->SetEnglishTexts();
    m_link->SetLanguage(0);
    m_ethernetSettings->SetEnglishTexts();
    m_coordTable->SetHeaderLanguage(1);
    m_dataTable->SetHeaderLanguage(1);
    LanguageTexts::apply(this, 1);
}
