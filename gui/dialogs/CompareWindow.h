#pragma once

#include "core/sensor/DesignCompare.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class ZoneStore;

// What differs between the design and the sensor, area by area and per
// sensor parameter, with the design's value beside the sensor's. The user
// takes an item, an area or everything from the sensor into the design:
// each area taken is one undoable step.
class CompareWindow : public QDialog
{
    Q_OBJECT
public:
    CompareWindow(ZoneStore *store, SensorParameters *parameters, QWidget *parent = nullptr);

    // A new reading of the sensor: the differences are worked out afresh.
    void setSensor(const QVector<AreaRecord> &areas, const SensorParameters &parameters);
    const QVector<AreaRecord> &sensorAreas() const { return m_sensorAreas; }
    const QVector<DesignCompare::Difference> &differences() const { return m_differences; }
    // 0 Chinese, 1 English.
    void setLanguage(int language);

    QTreeWidget *tree() const { return m_tree; }
    QLabel *summary() const { return m_summary; }
    QPushButton *takeSelectedButton() const { return m_takeSelected; }
    QPushButton *takeAreaButton() const { return m_takeArea; }
    QPushButton *takeAllButton() const { return m_takeAll; }

public Q_SLOTS:
    // The design changed (an edit, an undo): the list follows it.
    void refresh();

Q_SIGNALS:
    // The area picked in the list, or -1 when none (a sensor parameter).
    void areaPicked(int area);
    // Areas of the design took values from the sensor (undo steps recorded).
    void areasTaken(const QVector<int> &areas);
    // The parameter record took values from the sensor.
    void parametersTaken();

private:
    QString tr2(const char *chinese, const char *english) const;
    void retitle();
    void rebuild();
    void selectionChanged();
    // The area of the selected row, -1 for a parameter, -2 for nothing.
    int selectedArea() const;
    void take(const QVector<DesignCompare::Difference> &items);
    void takeSelected();
    void takeArea();
    void takeAll();

    ZoneStore *m_store;
    SensorParameters *m_parameters;
    QVector<AreaRecord> m_sensorAreas;
    SensorParameters m_sensorParameters;
    QVector<DesignCompare::Difference> m_differences;
    int m_language = 0;
    QLabel *m_summary = nullptr;
    QTreeWidget *m_tree = nullptr;
    QPushButton *m_takeSelected = nullptr;
    QPushButton *m_takeArea = nullptr;
    QPushButton *m_takeAll = nullptr;
    QPushButton *m_close = nullptr;
};
