#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPoint>
#include <QVector>
#include <array>

class QTableWidget;
class QTableWidgetItem;
class ZoneStore;

// Drives the six coordinate tables (Cartesian and polar for each output) of
// the current area: shows the point lists, takes typed values, appends and
// deletes polygon vertices.
class COORD_TABLE : public QObject
{
    Q_OBJECT
public:
    // Tables in the order XY Out1, XY Out2, XY Out3, polar Out1..Out3.
    using Tables = std::array<QTableWidget *, 6>;

    COORD_TABLE(ZoneStore *store, const Tables &tables, QObject *parent = nullptr);

    // Header texts of the Cartesian and polar tables for a language (0 zh, 1 en).
    void SetHeaderLanguage(int language);

Q_SIGNALS:
    void CoordTableEditSignal();

public Q_SLOTS:
    void CoordTableWidgeUpdate();

private Q_SLOTS:
    void CoordTable1EditSlots(QTableWidgetItem *Item);
    void CoordTable2EditSlots(QTableWidgetItem *Item);
    void CoordTable3EditSlots(QTableWidgetItem *Item);
    void PolarTable1EditSlots(QTableWidgetItem *Item);
    void PolarTable2EditSlots(QTableWidgetItem *Item);
    void PolarTable3EditSlots(QTableWidgetItem *Item);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectTable(int t);
    // Refills table t from the current area; unless forced, only when what
    // it shows differs from the store.
    void fillTable(int t, bool force = false);
    void setCell(int t, int row, int column, const QString &text);
    void refillOutput(int output);
    void cellEdited(int output, bool polar, QTableWidgetItem *item);

    ZoneStore *m_store;
    Tables m_tables;
    std::array<QMetaObject::Connection, 6> m_connections;
    // What each table was last filled from.
    struct Shown {
        bool valid = false;
        int area = -1;
        int shape = -1;
        QVector<QPoint> points;
    };
    std::array<Shown, 6> m_shown;
};
