// The main window's comparisons with the sensor: Compare with Sensor, the
// read-back that checks every Write All, the commissioning report (which
// compares too, while connected), and the sensor's zones drawn dashed over
// the design's while the comparison is open.

#include "gui/MainWindow.h"
#include "ui_mainwindow.h"

#include "core/link/SERIAL_COMM.h"
#include "core/zones/ZoneGeometry.h"
#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "graphics/ViewWindow.h"
#include "graphics/ZonePainter.h"
#include "gui/RecentProjects.h"
#include "gui/ReportAction.h"
#include "gui/dialogs/CompareWindow.h"
#include "gui/editors/AREA_TABLE.h"
#include "gui/editors/COORD_TABLE.h"
#include "gui/editors/EDIT_CONTROL.h"
#include "gui/panels/SENSOR_SETTING.h"

#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QPen>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>

namespace {
// Differences listed in the box after a write; the rest are counted.
constexpr int kLinesShown = 12;
} // namespace

void MainWindow::setUpCompare()
{
    m_compare = new CompareWindow(m_store, &m_sensorParameters, this);
    for (int o = 0; o < kOutputCount; ++o) {
        auto *item = new QGraphicsPathItem;
        // Darker than the zone's own fill, so that it shows over it.
        QPen pen(ZonePainter::zoneColor(o, 255).darker(o == 0 ? 200 : 140), 2.5, Qt::DashLine);
        pen.setCosmetic(true);
        item->setPen(pen);
        item->setBrush(Qt::NoBrush);
        item->setZValue(1000); // over the zones and the handles
        item->setVisible(false);
        scene->addItem(item);
        m_sensorOutlines[size_t(o)] = item;
    }
    m_designChangedTimer.setSingleShot(true);
    connect(&m_designChangedTimer, &QTimer::timeout, this, &MainWindow::designChanged);

    connect(ui->CompareWithSensor, &QAction::triggered, this, &MainWindow::compareWithSensor);
    connect(ui->CommissioningReport, &QAction::triggered, this, &MainWindow::saveReport);
    connect(m_link, &SERIAL_COMM::ProductInfoRead, this,
            [this](const Payloads::ProductInfo &info) { m_reportProduct = info; });
    connect(m_link, &SERIAL_COMM::SensorCopyRead, this, &MainWindow::sensorCopyRead);
    connect(m_link, &SERIAL_COMM::WriteRefused, this, [this] { m_verifyWrite = false; });
    connect(m_link, &SERIAL_COMM::WriteFinished, this, [this](bool written) {
        // The write's own box has been answered: read everything back.
        if (written && m_verifyWrite) {
            m_copyRead = CopyRead::Verify;
            m_link->ReadSensorCopySlots(true);
        }
        m_verifyWrite = false;
    });
    connect(m_compare, &CompareWindow::areaPicked, this, &MainWindow::showSensorArea);
    connect(m_compare, &CompareWindow::areasTaken, this, [this] {
        showReadAreas();
        designTouched();
    });
    connect(m_compare, &CompareWindow::parametersTaken, m_sensorSetting,
            &SENSOR_SETTING::UpdateParametersToDock);
    connect(m_compare, &QDialog::finished, this, [this] { showSensorArea(-1); });
    connect(this, &MainWindow::designChanged, this, [this] {
        if (m_compare->isVisible()) {
            m_compare->refresh();
            showSensorArea(m_shownSensorArea);
        }
    });

    // Every finished edit, whichever editor made it, and every replaced design.
    connect(m_editControl, &EDIT_CONTROL::EditControlParaChangeSignal, this, &MainWindow::designTouched);
    connect(m_editControl, &EDIT_CONTROL::EditControlShapeChangeSignal, this, &MainWindow::designTouched);
    connect(m_coordTable, &COORD_TABLE::CoordTableEditSignal, this, &MainWindow::designTouched);
    connect(m_areaTable, &AREA_TABLE::EditAreaDataSignal, this, &MainWindow::designTouched);
    connect(ui->graphicsView, &ViewWindow::ReleasePointItem, this, &MainWindow::designTouched);
    connect(m_optionScene, &OPTION_SCENE::PointItemDeleted, this, &MainWindow::designTouched);
    connect(m_link, &SERIAL_COMM::ReceiveParameters, this, &MainWindow::designTouched);
}

void MainWindow::designTouched()
{
    // Many edits arrive as several signals: listeners hear of them once.
    m_designChangedTimer.start(0);
}

void MainWindow::compareWithSensor()
{
    m_copyRead = CopyRead::Compare;
    m_link->ReadSensorCopySlots(false);
}

void MainWindow::writeAllAndVerify()
{
    // What is sent is what the read-back is held against.
    m_sentAreas = m_store->areas;
    m_sentParameters = m_sensorParameters;
    m_verifyWrite = true;
    m_link->WriteSensorAllDataSlots();
}

void MainWindow::saveReport()
{
    stopReplyTimer();
    if (!linkOpen()) {
        saveCommissioningReport(this, windowReportInput(m_deviceType.type, m_sensorSetting->dockValues(),
                                                        m_sensorParameters, *m_store, m_projectFile,
                                                        m_language == 0),
                                m_recent->folder());
        return;
    }
    // Connected: what the sensor is, and everything it holds, first.
    m_reportProduct = Payloads::ProductInfo();
    m_copyRead = CopyRead::Report;
    m_link->ReadProductInfoSlots();
    m_link->ReadSensorCopySlots(false);
}

void MainWindow::sensorCopyRead(const QVector<AreaRecord> &areas, const SensorParameters &parameters)
{
    const CopyRead purpose = m_copyRead;
    m_copyRead = CopyRead::None;
    if (purpose == CopyRead::Report) {
        ReportInput in = windowReportInput(m_deviceType.type, m_sensorSetting->dockValues(),
                                           m_sensorParameters, *m_store, m_projectFile, m_language == 0);
        in.sensor.present = true;
        in.sensor.product = m_reportProduct;
        if (m_serialPort->isOpen())
            in.sensor.connection = m_serialPort->portName() + QStringLiteral(" (serial)");
        else if (m_tcpSocket->isOpen())
            in.sensor.connection = QStringLiteral("%1:%2 (TCP)").arg(m_tcpSocket->peerName()).arg(m_sensorPort);
        else
            in.sensor.connection = QStringLiteral("%1:%2 (UDP)").arg(m_udpSocket->peerName()).arg(m_sensorPort);
        in.sensor.compared = true;
        in.sensor.differences = DesignCompare::compare(m_store->areas, m_sensorParameters, areas, parameters);
        saveCommissioningReport(this, in, m_recent->folder());
        return;
    }
    if (purpose == CopyRead::Compare) {
        m_compare->setLanguage(m_language);
        m_compare->setSensor(areas, parameters);
        // Low on the left, over the editors, so that the sensor and its
        // zones in the middle of the view stay in sight.
        if (!m_compare->isVisible()) {
            const QRect g = frameGeometry();
            m_compare->move(g.left() + 8, g.bottom() - m_compare->height() - 48);
        }
        m_compare->show();
        m_compare->raise();
        m_compare->activateWindow();
        return;
    }
    if (purpose != CopyRead::Verify)
        return;
    const QVector<DesignCompare::Difference> diffs =
        DesignCompare::compare(m_sentAreas, m_sentParameters, areas, parameters);
    if (diffs.isEmpty()) {
        ask(QMessageBox::Information, tr2("提示", "Message"),
            tr2("写入并校验完成：传感器中的数据与写入的数据一致。",
                "Written and verified: the sensor holds what was sent."));
        return;
    }
    QStringList lines;
    for (int i = 0; i < diffs.size() && i < kLinesShown; ++i)
        lines << diffs[i].toText(m_language == 0);
    if (diffs.size() > kLinesShown)
        lines << tr2("……另有 %1 项", "... and %1 more").arg(diffs.size() - kLinesShown);
    ask(QMessageBox::Warning, tr2("校验失败", "Verify failed"),
        tr2("传感器中的数据与写入的数据不同：\n\n", "The sensor does not hold what was sent:\n\n")
            + lines.join(QLatin1Char('\n')));
}

void MainWindow::showSensorArea(int area)
{
    m_shownSensorArea = area;
    const QVector<AreaRecord> &sensor = m_compare->sensorAreas();
    const bool show = area >= 0 && area < sensor.size() && m_compare->isVisible();
    if (show && area != m_store->currentArea) {
        m_store->currentArea = area;
        m_areaTable->AreaTableWidgetAllDisplay();
        showCurrentArea();
    }
    std::array<ZoneGeometry::Outline, kOutputCount> outlines;
    if (show)
        outlines = ZoneGeometry::buildAreaOutlines(sensor[area], m_store->sceneWidth, m_store->sceneHeight);
    for (int o = 0; o < kOutputCount; ++o) {
        QGraphicsPathItem *item = m_sensorOutlines[size_t(o)];
        const bool drawn = show && !sensor[area].points[o].isEmpty();
        item->setPath(drawn ? ZoneGeometry::outlinePath(outlines[size_t(o)]) : QPainterPath());
        item->setVisible(show);
    }
}
