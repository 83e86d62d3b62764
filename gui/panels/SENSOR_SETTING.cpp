#include "gui/panels/SENSOR_SETTING.h"

#include "core/project/ProjectFile.h"

#include <QComboBox>
#include <QSpinBox>
#include <QTextStream>

namespace {
enum Line {
    ControlMode = 0,
    RS485Address = 4,
    CANAddress = 8,
    ScanMotorSpeed = 11,
    ScanSensorAngle = 12,
    InstallDir = 14,
    CrossFilterEnable = 15,
    CrossFilterNumber = 16,
    EtherMode = 17,
    IP1 = 18,
    IP4 = 21,
};
} // namespace

SENSOR_SETTING::SENSOR_SETTING(SensorParameters *record, const Widgets &widgets, QObject *parent)
    : QObject(parent), m_record(record), m_widgets(widgets)
{
    // Showing the defaults ends with the widgets connected.
    RestoreDefaults();
    m_widgets[InstallDir]->setEnabled(false);
    applyEnableTable();
}

QComboBox *SENSOR_SETTING::combo(int line) const
{
    return qobject_cast<QComboBox *>(m_widgets[line]);
}

QSpinBox *SENSOR_SETTING::spin(int line) const
{
    return qobject_cast<QSpinBox *>(m_widgets[line]);
}

void SENSOR_SETTING::connectWidgets()
{
    for (int i = 0; i < SensorDockValues::kCount; ++i) {
        if (QComboBox *c = combo(i))
            m_connections << connect(c, qOverload<int>(&QComboBox::currentIndexChanged), this,
                                     &SENSOR_SETTING::UpdateParametersFromDock);
        else if (QSpinBox *s = spin(i))
            m_connections << connect(s, qOverload<int>(&QSpinBox::valueChanged), this,
                                     &SENSOR_SETTING::UpdateParametersFromDock);
    }
}

void SENSOR_SETTING::disconnectWidgets()
{
    for (const auto &c : qAsConst(m_connections))
        disconnect(c);
    m_connections.clear();
}

void SENSOR_SETTING::RestoreDefaults()
{
    *m_record = SensorParameters();
    spin(RS485Address)->setRange(1, 127);
    spin(CANAddress)->setRange(1, 127);
    UpdateParametersToDock();
}

void SENSOR_SETTING::SetEthernetMode(bool ethernet)
{
    m_ethernet = ethernet;
    applyEnableTable();
}

void SENSOR_SETTING::applyEnableTable()
{
    // Control mode and the RS232, RS485 and CAN widgets belong to serial
    // control; the Ethernet settings, resolution, motor speed and crosstalk
    // filter to Ethernet. Output logic and filter level are always editable,
    // the mounting direction never.
    for (int line = ControlMode; line <= 9; ++line)
        m_widgets[line]->setEnabled(!m_ethernet);
    for (int line : {int(EtherMode), 18, 19, 20, 21, int(ScanSensorAngle), int(ScanMotorSpeed),
                     int(CrossFilterEnable)})
        m_widgets[line]->setEnabled(m_ethernet);
    m_widgets[10]->setEnabled(true);
    m_widgets[13]->setEnabled(true);
    m_widgets[InstallDir]->setEnabled(false);
    updateCrossFilterNumber();
}

void SENSOR_SETTING::updateCrossFilterNumber()
{
    m_widgets[CrossFilterNumber]->setEnabled(m_ethernet
                                             && combo(CrossFilterEnable)->currentIndex() != 0);
}

QVector<int> SENSOR_SETTING::dockValues() const
{
    QVector<int> values(SensorDockValues::kCount, 0);
    for (int i = 0; i < SensorDockValues::kCount; ++i) {
        if (QComboBox *c = combo(i))
            values[i] = c->currentIndex();
        else if (QSpinBox *s = spin(i))
            values[i] = ProjectFile::lineToInt(s->text());
    }
    return values;
}

void SENSOR_SETTING::setDockValues(const QVector<int> &values)
{
    for (int i = 0; i < SensorDockValues::kCount && i < values.size(); ++i) {
        if (QComboBox *c = combo(i))
            c->setCurrentIndex(values[i]);
        else if (QSpinBox *s = spin(i))
            s->setValue(values[i]);
    }
}

void SENSOR_SETTING::WriteSection(QTextStream &out) const
{
    ProjectFile::writeSensorSection(out, dockValues());
}

void SENSOR_SETTING::ReadSection(QTextStream &in)
{
    // The file sets the record, all of it; the dock then shows the record.
    disconnectWidgets();
    setDockValues(SensorParameterRules::applyFile(*m_record, ProjectFile::readSensorSection(in)));
    updateCrossFilterNumber();
    connectWidgets();
}

void SENSOR_SETTING::UpdateParametersToDock()
{
    disconnectWidgets();
    // Every field, in either connection type: the dock shows what a write
    // would send.
    setDockValues(SensorParameterRules::shownAfterRead(*m_record));
    updateCrossFilterNumber();
    connectWidgets();
}

void SENSOR_SETTING::UpdateParametersFromDock()
{
    const SensorParameters next =
        SensorParameterRules::fromDockValues(dockValues(), m_ethernet, *m_record);
    *m_record = next;
    if (m_ethernet) {
        // 0.025 deg is a 10 Hz-only resolution: the motor speed follows.
        if (combo(ScanMotorSpeed)->currentIndex() != next.ScanMotorSpeed)
            combo(ScanMotorSpeed)->setCurrentIndex(next.ScanMotorSpeed);
        updateCrossFilterNumber();
    }
}
