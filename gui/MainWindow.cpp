#include "gui/MainWindow.h"
#include "ui_mainwindow.h"

#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "gui/LanguageTexts.h"
#include "gui/RecentProjects.h"
#include "gui/replay/ReplayPanel.h"
#include "gui/dialogs/CaseCoverage.h"
#include "gui/dialogs/CompareWindow.h"
#include "gui/LinkPresenter.h"
#include "gui/UiPrompt.h"
#include "gui/dialogs/About.h"
#include "gui/dialogs/Create.h"
#include "gui/dialogs/EthnertSetting.h"
#include "gui/dialogs/SettingsDialog.h"
#include "gui/editors/AREA_TABLE.h"
#include "gui/editors/COORD_TABLE.h"
#include "gui/editors/EDIT_CONTROL.h"
#include "gui/panels/DATA_TABLE.h"
#include "gui/panels/IO_SIMULATION.h"
#include "gui/panels/SENSOR_SETTING.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QGraphicsScene>
#include <QHeaderView>
#include <QLabel>
#include <QOpenGLWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QTabBar>
#include <QTableWidget>
#include <QTcpSocket>
#include <QToolBar>
#include <QToolButton>
#include <QUdpSocket>

namespace {
const char kOrganisation[] = "ZoneSensorTool";
const char kApplication[] = "Parameters";
} // namespace

void MainWindow::setUpRecentProjects()
{
    m_recent = std::make_unique<RecentProjects>(QString::fromLatin1(kOrganisation),
                                                QString::fromLatin1(kApplication));
    m_recentMenu = new QMenu(this);
    m_recentMenu->setObjectName(QStringLiteral("RecentProjects"));
    // Last of the file actions, before the separator above Quit.
    ui->File->insertMenu(ui->File->actions().value(ui->File->actions().indexOf(ui->Quit) - 1),
                         m_recentMenu);
    fillRecentMenu();
}

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
        auto *viewport = new QOpenGLWidget;
        QSurfaceFormat format = QSurfaceFormat::defaultFormat();
        format.setSamples(4);
        viewport->setFormat(format);
        ui->graphicsView->setViewport(viewport);
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
    for (QAction *a : {ui->ReadAllSetting, ui->WriteAllSetting, ui->CompareWithSensor,
                       ui->DisConnection, ui->SoftReboot, ui->SensorInformation, ui->IOSimulation,
                       ui->SelfCheck, ui->DataTable})
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
    setUpCompare();
    setUpCaseCoverage();
    setUpRecentProjects();
    setUpRecording();

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

void MainWindow::polishLayout()
{
    // Number, marker and a thumbnail of about 100 pixels.
    ui->AreaTableWidget->setMinimumWidth(areaListWidth());
    // The columns fit by construction; a pixel of rounding is no reason
    // for a scroll bar.
    ui->AreaTableWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->ArealineText->setMinimumWidth(areaListWidth());
    ui->splitter->setStretchFactor(0, 0);
    ui->splitter->setStretchFactor(1, 1);
    ui->splitter->setCollapsible(0, false);
    ui->splitter->setCollapsible(1, false);
    // The parameters stay compact; the tables get the height.
    ui->ParametersEditTab->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    ui->splitter_2->setStretchFactor(0, 0);
    ui->splitter_2->setStretchFactor(1, 1);
    ui->splitter_2->setSizes({ui->ParametersEditTab->sizeHint().height(), 600});
    ui->PortLampLayout->setSpacing(2);
    ui->CentralLayout->setContentsMargins(2, 2, 2, 2);
    // The sensor's own panels share one place on the right, as tabs; the
    // data list keeps its own above them.
    tabifyDockWidget(ui->SensorSettingDock, ui->IOSimulationDock);
    tabifyDockWidget(ui->IOSimulationDock, ui->SelfCheckDock);
    for (QLabel *l : {ui->label_SteerDgree, ui->label_VehicleSpeed, ui->label_VehicleOptionMode})
        l->setWordWrap(true);
    // Every tab of the edit panel shows its whole caption: the panel makes
    // room for them rather than scrolling or shortening them.
    for (QTabWidget *tabs : ui->EditionControlDock->findChildren<QTabWidget *>()) {
        tabs->tabBar()->setUsesScrollButtons(false);
        tabs->tabBar()->setElideMode(Qt::ElideNone);
    }
    // Long captions of the sensor's panels take two lines rather than
    // widening the dock; the value beside them keeps its width.
    for (QWidget *panel : {ui->SensorSettingContents, ui->IOSimulationContents})
        for (QLabel *l : panel->findChildren<QLabel *>())
            if (l->objectName().startsWith(QLatin1String("label_")) &&
                !l->objectName().startsWith(QLatin1String("label_IPDot")))
                l->setWordWrap(true);
}

int MainWindow::areaListWidth() const
{
    QTableWidget *list = ui->AreaTableWidget;
    return 40 + 10 + 100 + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list) +
           2 * list->frameWidth() + 2;
}

void MainWindow::fitTexts()
{
    // Buttons as wide as their captions in the language shown, and no
    // wider: the edit panel is no wider than its longest caption needs.
    for (QPushButton *b : ui->AreaEditTab->findChildren<QPushButton *>())
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) + 16);
    // The coordinate tables show their columns without scrolling sideways.
    for (QTableWidget *table :
         {ui->CoordTableWidgetOut1, ui->CoordTableWidgetOut2, ui->CoordTableWidgetOut3,
          ui->PolarTableWidgeOut1, ui->PolarTableWidgeOut2, ui->PolarTableWidgeOut3}) {
        // A stretched last column shrinks no further than the default
        // section size, nor should it be narrower than its caption.
        const QHeaderView *h = table->horizontalHeader();
        int width = 0;
        for (int i = 0; i + 1 < h->count(); ++i)
            width += h->sectionSize(i);
        if (h->count() > 0)
            width += qMax(h->sectionSizeHint(h->count() - 1), h->defaultSectionSize());
        table->setMinimumWidth(
            width + table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table) +
            2 * table->frameWidth());
    }
    // The sensor dock is as wide as its longest item texts, so no combo box
    // clips its value.
    for (QWidget *panel : {ui->SensorSettingContents, ui->IOSimulationContents}) {
        for (QComboBox *c : panel->findChildren<QComboBox *>()) {
            c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            c->setMinimumWidth(0);
            c->setMinimumWidth(c->sizeHint().width());
        }
    }
    // Both commands of the sensor dock's tool bar stay in sight.
    if (auto *bar =
            ui->SensorSettingDock->findChild<QToolBar *>(QStringLiteral("SensorDockToolBar"))) {
        bar->setMinimumWidth(0);
        bar->setMinimumWidth(bar->sizeHint().width());
    }
    for (QScrollArea *area : {ui->SensorSettingScrollArea, ui->IOSimulationScrollArea}) {
        QWidget *contents = area->widget();
        contents->layout()->activate();
        area->setMinimumWidth(
            contents->minimumSizeHint().width() +
            area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area) +
            2 * area->frameWidth());
    }
}

bool MainWindow::event(QEvent *event)
{
    // The tabs of docks sharing a place are never shortened: the docks make
    // room for them instead.
    if (event->type() == QEvent::ChildPolished) {
        if (auto *bar = qobject_cast<QTabBar *>(static_cast<QChildEvent *>(event)->child())) {
            bar->setElideMode(Qt::ElideNone);
            bar->setUsesScrollButtons(false);
        }
    }
    return QMainWindow::event(event);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_defaultDockWidths)
        return;
    m_defaultDockWidths = false;
    // Without a remembered layout: the docks no wider than their contents
    // need, the view takes the rest, centred on the sensor. Done before the
    // first event is handled, so that nothing moves under the user's hand.
    layout()->activate();
    resizeDocks({ui->EditionControlDock, ui->SensorSettingDock},
                {ui->EditionControlDock->minimumSizeHint().width(),
                 ui->SensorSettingDock->minimumSizeHint().width()},
                Qt::Horizontal);
    layout()->activate();
    ui->splitter->setSizes({areaListWidth(), ui->splitter->width()});
    ui->graphicsView->centerOn(0, 0);
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
    designTouched();
}

// ---------------------------------------------------------------- language and link

void MainWindow::languageApplied()
{
    // Qt's own buttons and file dialogs speak the same language.
    LanguageTexts::applyQtTranslations(m_language);
    if (m_recentMenu)
        fillRecentMenu();
    if (m_compare)
        m_compare->setLanguage(m_language == 1 ? 1 : 0);
    if (m_caseCoverage)
        m_caseCoverage->setLanguage(m_language != 1);
    if (m_replayPanel)
        m_replayPanel->setLanguage(m_language != 1);
    if (m_recordStatus)
        showRecordingStatus();
    fitTexts();
    if (auto *newButton = findChild<QToolButton *>(QStringLiteral("NewToolButton")))
        newButton->setToolTip(ui->New->title());
}

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
    languageApplied();
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
    languageApplied();
}
