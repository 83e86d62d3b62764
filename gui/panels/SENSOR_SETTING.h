#pragma once

#include "core/sensor/SensorDockValues.h"
#include "core/sensor/SensorParameters.h"

#include <QMetaObject>
#include <QObject>
#include <QVector>
#include <array>

class QComboBox;
class QSpinBox;
class QTextStream;
class QWidget;

// Keeps the sensor settings dock and the sensor parameter record in step.
class SENSOR_SETTING : public QObject
{
    Q_OBJECT
public:
    // The 22 widgets in project-file order: record fields 0..16, then
    // Para_SensorEtherMode and the four address octets.
    using Widgets = std::array<QWidget *, SensorDockValues::kCount>;

    SENSOR_SETTING(SensorParameters *record, const Widgets &widgets, QObject *parent = nullptr);

    // Writes the defaults into the record and shows them.
    void RestoreDefaults();

    // Serial (false) or Ethernet (true) connection: decides which fields are
    // synchronised and which widgets are enabled.
    void SetEthernetMode(bool ethernet);
    bool ethernetMode() const { return m_ethernet; }

    // What the widgets hold, in project-file order (a combo box's index, a
    // spin box's displayed value).
    QVector<int> dockValues() const;
    // Gives the widgets the values one by one, through their own change
    // handling, as reading a project file does.
    void setDockValues(const QVector<int> &values);

    // The project file's sensor section.
    void WriteSection(QTextStream &out) const;
    void ReadSection(QTextStream &in);

public Q_SLOTS:
    void UpdateParametersToDock();
    void UpdateParametersFromDock();

private:
    QComboBox *combo(int line) const;
    QSpinBox *spin(int line) const;
    void connectWidgets();
    void disconnectWidgets();
    void applyEnableTable();
    void updateCrossFilterNumber();

    SensorParameters *m_record;
    Widgets m_widgets;
    bool m_ethernet = false;
    QVector<QMetaObject::Connection> m_connections;
};
