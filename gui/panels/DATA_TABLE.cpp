#include "gui/panels/DATA_TABLE.h"

#include "core/link/ScanRecord.h"

#include <QHeaderView>
#include <QTableWidget>

DATA_TABLE::DATA_TABLE(ScanRecord *scan, QTableWidget *table, QObject *parent)
    : QObject(parent), m_scan(scan), m_table(table)
{
    m_table->setRowCount(540);
    m_table->setColumnCount(3);
    SetHeaderLanguage(0);
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignJustify);
    // Rows of 22 pixels, even where the font would ask for more.
    m_table->verticalHeader()->setMinimumSectionSize(0);
    for (int i = 0; i < 540; ++i) {
        m_table->setRowHeight(i, 22);
        m_table->setItem(i, 0, new QTableWidgetItem(QString::number(i + 1)));
        m_table->setItem(i, 1, new QTableWidgetItem);
        m_table->setItem(i, 2, new QTableWidgetItem);
    }
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->setColumnWidth(0, 40);
    m_table->setColumnWidth(1, 90);
}

void DATA_TABLE::SetHeaderLanguage(int language)
{
    m_table->setHorizontalHeaderLabels(
        language == 1 ? QStringList{"Step", "Distance[mm]", "Intensity"}
                      : QStringList{"角度", "距离[mm]", "反光强度"});
}

void DATA_TABLE::DataTableWidgetDisplay()
{
    // Over a serial link the latest RScan/RStre arrays; over Ethernet the
    // first steps of the last complete sweep.
    const bool ethernet = m_scan->connectionType == 1;
    const std::uint16_t *d = ethernet ? m_scan->distanceRing.data() : m_scan->serialDistances.data();
    const std::uint16_t *v = ethernet ? m_scan->intensityRing.data() : m_scan->serialIntensities.data();
    m_table->setUpdatesEnabled(false);
    // The items stay; only their texts change, 20 times a second.
    for (int i = 0; i < 540; ++i) {
        m_table->item(i, 1)->setText(QString::number(d[i]));
        m_table->item(i, 2)->setText(QString::number(v[i]));
    }
    m_table->setUpdatesEnabled(true);
}
