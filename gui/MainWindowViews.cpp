// The main window's views and docks: edition and monitoring, the display
// modes, the docks' switches and the live readings in the status bar.

#include "gui/MainWindow.h"
#include "ui_mainwindow.h"

#include "gui/dialogs/CaseCoverage.h"
#include "gui/editors/AREA_TABLE.h"

#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/zones/ZoneGeometry.h"
#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "graphics/ScanItems.h"
#include "gui/editors/COORD_TABLE.h"
#include "gui/editors/EDIT_CONTROL.h"
#include "gui/panels/IO_SIMULATION.h"

#include <QDesktopServices>
#include <QDir>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QUrl>

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
    const QString name =
        m_language == 1 ? QStringLiteral("manual_en.pdf") : QStringLiteral("manual_cn.pdf");
    const QString rel = QStringLiteral("./manual/") + name;
    QString path = QDir::current().absoluteFilePath(rel);
    // Started from elsewhere: the build puts the manual beside the program,
    // the package into share/doc next to bin/.
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QStringList elsewhere{
        programDir.absoluteFilePath(rel),
        programDir.absoluteFilePath(QStringLiteral("../share/doc/sector-studio/") + name)};
    for (const QString &candidate : elsewhere) {
        if (QFileInfo::exists(path))
            break;
        if (QFileInfo::exists(candidate))
            path = QDir::cleanPath(candidate);
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void MainWindow::setUpCaseCoverage()
{
    m_caseCoverage = new CaseCoverage(m_store, this);
    QAction *show = ui->View->addAction(QStringLiteral("工况覆盖"));
    show->setObjectName(QStringLiteral("CaseCoverage"));
    connect(show, &QAction::triggered, this, [this] {
        if (!m_caseCoverage->isVisible())
            m_caseCoverage->move(frameGeometry().center() - m_caseCoverage->rect().center());
        m_caseCoverage->designChanged();
        m_caseCoverage->show();
        m_caseCoverage->raise();
        m_caseCoverage->activateWindow();
    });
    // It follows every edit; hidden, it only notes that it is out of date.
    connect(this, &MainWindow::designChanged, m_caseCoverage, &CaseCoverage::designChanged);
    // A state clicked in the chart selects the area that applies there.
    connect(m_caseCoverage, &CaseCoverage::areaPicked, this, [this](int area) {
        if (area < 0 || area == m_store->currentArea)
            return;
        m_store->currentArea = area;
        m_areaTable->AreaTableWidgetAllDisplay();
        showCurrentArea();
    });
}
