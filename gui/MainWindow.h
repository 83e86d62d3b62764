#pragma once

#include "core/link/Payloads.h"
#include "core/sensor/SensorParameters.h"
#include "core/zones/AreaRecord.h"
#include "core/zones/DeviceType.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QSerialPort>
#include <QTimer>
#include <array>
#include <memory>

namespace Ui {
class MainWindow;
}

class QGraphicsPathItem;
class QGraphicsScene;
class CaseCoverage;
class CompareWindow;
class RecentProjects;
class QTcpSocket;
class QUdpSocket;
class AREA_TABLE;
class About;
class Create;
class DATA_TABLE;
class IO_SIMULATION;
class EthnertSetting;
class SettingsDialog;
class LinkPresenter;
class OPTION_SCENE;
class SERIAL_COMM;
class COORD_TABLE;
class EDIT_CONTROL;
class SENSOR_SETTING;
class ZoneStore;
struct ScanRecord;

// The program's top level: owns every controller, wires them, carries the
// menus, tool bars and docks, and asks before unsaved work is lost.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(ZoneStore *store, ScanRecord *scan, QWidget *parent = nullptr);
    ~MainWindow() override;

    // 0 Chinese, 1 English.
    int language() const { return m_language; }
    // 0 edition, 1 monitoring.
    int viewMode() const { return m_viewMode; }
    const DEVICETYPE &deviceType() const { return m_deviceType; }
    const std::array<int, 5> &sensorControl() const { return m_sensorControl; }
    const SensorParameters &sensorParameters() const { return m_sensorParameters; }
    SensorParameters &sensorParameters() { return m_sensorParameters; }
    SENSOR_SETTING *sensorSetting() const { return m_sensorSetting; }
    AREA_TABLE *areaTable() const { return m_areaTable; }
    COORD_TABLE *coordTable() const { return m_coordTable; }
    EDIT_CONTROL *editControl() const { return m_editControl; }
    OPTION_SCENE *optionScene() const { return m_optionScene; }
    IO_SIMULATION *ioSimulation() const { return m_ioSimulation; }
    SERIAL_COMM *link() const { return m_link; }
    QGraphicsScene *graphicsScene() const { return scene; }
    SettingsDialog *serialSettings() const { return m_serialSettings; }
    About *about() const { return m_about; }
    Create *welcome() const { return m_welcome; }
    EthnertSetting *ethernetSettings() const { return m_ethernetSettings; }
    const ScanRecord *scanRecord() const { return m_scan; }
    // What the Open action does once a file name is chosen: only files of
    // the current model.
    void openProjectFile(const QString &name);
    // What the welcome dialog's Open does once a file name is chosen: the
    // header picks the model. With reportUnreadable a file that cannot be
    // read says so (a file named on the command line). True when read.
    bool openAnyProjectFile(const QString &name, bool reportUnreadable = true);
    // Tests and the emulator's users reach the sensor on another port.
    void setSensorPort(quint16 port) { m_sensorPort = port; }
    QTcpSocket *tcpSocket() const { return m_tcpSocket.get(); }
    Ui::MainWindow *form() const { return ui.get(); }
    CompareWindow *compareWindow() const { return m_compare; }
    CaseCoverage *caseCoverage() const { return m_caseCoverage; }
    // The sensor's outlines drawn over the design's while comparing.
    QGraphicsPathItem *sensorOutline(int output) const { return m_sensorOutlines[size_t(output)]; }
    RecentProjects *recentProjects() const { return m_recent.get(); }
    class ScanRecorder *recorder() const { return m_recorder; }
    class ReplayPlayer *replayPlayer() const { return m_player; }
    class ReplayPanel *replayPanel() const { return m_replayPanel; }

Q_SIGNALS:
    // The design changed: an edit finished, an undo, a file or a sensor read.
    // Once per event-loop turn, however many editors took part.
    void designChanged();

public Q_SLOTS:
    void openfile();
    void savefile();
    void OpenProject();
    void OpenManualFile();
    void OpenSerialPort();
    void CloseSerialPort();
    void OpenMonitoringMode();
    void LanguageToEnglish();
    void LanguageToChinese();
    void ClearAllEditData();
    void CreateDeviceLaser05();
    void CreateDeviceLaser10();
    void CreateDeviceLaser20();
    void CreateDeviceLaser30();
    void CreateDeviceLaser50();
    void BarDisplayCoord(QPoint Coord);
    void OpenCloseSensorDock(bool Checked);
    void OpenCloseEditionDock(bool Checked);
    void OpenCloseDataTableDock(bool Checked);
    void OpenCloseIOSimulationDock(bool Checked);
    void OpenCloseReadScanf(bool Checked);
    void OpenCloseReadIntensity(bool Checked);
    void CreateDeviceType(DEVICETYPE *Type);
    void handleError(QSerialPort::SerialPortError error);
    void MonitorGraphicDisplay(uint Inport, uint Outport);
    void OpenDispGraphSlot();
    void OpenDispCloudSlot();
    void OpenDispLineSlot();
    void SensorControlEnableSlot();
    void SensorControlChangeSlot();
    void OpenCloseSelfCheck(bool Checked);
    void ConnectChangeUSARTModeSlot();
    void ConnectChangeEthernetModeSlot();
    void CreatConnectTypeSignalSlot(int Index);
    void CreatEthnertModeSignalSlot(QString Type);
    void CreatOpenSerialPort(QString Com);
    void CreatEthernetPort(QString Com);
    void IOPortDisplayer(uint Inport, uint Outport);
    void SelfCheckDisp(short SensorTemper, ushort RotateSpeed, ushort DriveVoltage,
                       ushort SendVoltage, ushort ReceiveVoltage);
    // Reads everything from the sensor into a copy and lists what differs.
    void compareWithSensor();
    // Write All, then everything read back and held against what was sent.
    void writeAllAndVerify();
    // File > Commissioning Report: the design as it stands; while connected,
    // with what the sensor is and whether it holds the design.
    void saveReport();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolBars();
    // What follows either language switch: Qt's own texts, the New button.
    void languageApplied();
    void setUpZoomSlider();
    void polishLayout();
    // Widths that follow the texts of the language shown.
    void fitTexts();
    int areaListWidth() const;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    bool m_defaultDockWidths = true;
    void stopReplyTimer();
    void setSerialOnlyWidgetsEnabled(bool serial);
    void setConnectedActions();
    void startConnection();
    // Before a read (on connecting, or Read All) replaces a design with
    // unsaved changes: save, replace or keep it. False when nothing is to
    // happen at all (the save failed or was cancelled).
    bool askBeforeReading();
    // Whether the connection being made (the Read All) reads from the sensor.
    bool m_readOnConnect = true;
    // Whether the connection being made compares instead of reading.
    bool m_compareOnConnect = false;

    // Comparisons with the sensor.
    void setUpCompare();
    void designTouched();
    void sensorCopyRead(const QVector<AreaRecord> &areas, const SensorParameters &parameters);
    // -1 hides the sensor's outlines.
    void showSensorArea(int area);
    enum class CopyRead { None, Compare, Verify, Report };
    CopyRead m_copyRead = CopyRead::None;
    bool m_verifyWrite = false;
    QVector<AreaRecord> m_sentAreas;
    SensorParameters m_sentParameters;
    CompareWindow *m_compare = nullptr;
    std::array<QGraphicsPathItem *, kOutputCount> m_sensorOutlines{};
    int m_shownSensorArea = -1;
    // What the sensor said it is, for the report being made.
    Payloads::ProductInfo m_reportProduct;
    // The last project file opened or saved in this run; empty until then.
    QString m_projectFile;
    QTimer m_designChangedTimer;

    // The case-coverage tool window, from the View menu.
    void setUpCaseCoverage();
    CaseCoverage *m_caseCoverage = nullptr;

    // Recording the live scan, and replaying a recording against the design.
    void setUpRecording();
    void recordingLinkChanged();
    void startRecording();
    void stopRecording();
    void showRecordingStatus();
    void openRecording();
    void closeReplay();
    void showReplayFrame(int index);
    void evaluateReplay();
    void followReplayArea();
    class ScanRecorder *m_recorder = nullptr;
    class ReplayPlayer *m_player = nullptr;
    class ReplayPanel *m_replayPanel = nullptr;
    class QLabel *m_recordStatus = nullptr;
    QTimer m_recordStatusTimer;

    // The projects opened and saved last, under File.
    void setUpRecentProjects();
    void rememberProject(const QString &path);
    void fillRecentMenu();
    std::unique_ptr<RecentProjects> m_recent;
    class QMenu *m_recentMenu = nullptr;
    void connectActions();
    void readSettings();
    void writeSettings();
    void createDevice(int type);
    void setDisplayMode(int mode);
    // 0 edition, 1 monitoring.
    void setViewMode(int mode);
    // The list, the editors, the outlines and the handles show the current area.
    void showCurrentArea();
    bool linkOpen() const;
    // Runs the readers on a stream positioned after the header line.
    void readProjectBody(class QTextStream &in);
    void refreshAfterProjectRead();
    void showReadAreas();
    // Save with its dialog. True only when the design was written; every
    // failure has been reported and leaves the modified flag as it was, and
    // a cancelled dialog writes nothing.
    bool saveDesign();
    // The damaged-file box of both Open paths.
    void showFileError();
    QString tr2(const char *chinese, const char *english) const;
    // Tells the user why a file is not opened (see ProjectFile::screenFile).
    bool refuseToOpen(const QString &name);
    // A modal box; the index of the button pressed.
    int ask(QMessageBox::Icon icon, const QString &title, const QString &text,
            const QStringList &buttons = QStringList{QStringLiteral("OK")});

    std::unique_ptr<Ui::MainWindow> ui;
    QGraphicsScene *scene = nullptr;
    DEVICETYPE m_deviceType;
    ZoneStore *m_store;
    ScanRecord *m_scan;
    OPTION_SCENE *m_optionScene = nullptr;
    SERIAL_COMM *m_link = nullptr;
    LinkPresenter *m_linkPresenter = nullptr;
    About *m_about = nullptr;
    Create *m_welcome = nullptr;
    SettingsDialog *m_serialSettings = nullptr;
    EthnertSetting *m_ethernetSettings = nullptr;
    // The sensor serves TCP and UDP on this port.
    quint16 m_sensorPort = 8080;
    AREA_TABLE *m_areaTable = nullptr;
    COORD_TABLE *m_coordTable = nullptr;
    EDIT_CONTROL *m_editControl = nullptr;
    SENSOR_SETTING *m_sensorSetting = nullptr;
    DATA_TABLE *m_dataTable = nullptr;
    IO_SIMULATION *m_ioSimulation = nullptr;
    SensorParameters m_sensorParameters;
    std::array<int, 5> m_sensorControl{};
    int m_language = 0;
    std::unique_ptr<QSerialPort> m_serialPort;
    std::unique_ptr<QTcpSocket> m_tcpSocket;
    std::unique_ptr<QUdpSocket> m_udpSocket;
    int m_viewMode = 0;
    // The last input-port value seen in monitoring mode.
    uint m_lastInport = 0;
    // Whether m_lastInport holds a report of this monitoring period or link.
    bool m_inportKnown = false;
};
