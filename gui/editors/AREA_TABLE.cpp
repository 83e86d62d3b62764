#include "gui/editors/AREA_TABLE.h"

#include "core/zones/ZoneStore.h"
#include "graphics/PAINT_TABLE.h"

#include <QCursor>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>

AREA_TABLE::AREA_TABLE(ZoneStore *store, QTableWidget *table, QAction *copy, QAction *cut,
                       QAction *paste, QAction *del, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_table(table)
    , m_menu(new QMenu(table))
    , m_copy(copy)
    , m_cut(cut)
    , m_paste(paste)
    , m_delete(del)
{
    m_table->setRowCount(kAreaCount);
    m_table->setColumnCount(3);
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignJustify);
    QFont numberFont(QStringLiteral("times"), 18, 10);
    for (int i = 0; i < kAreaCount; ++i) {
        m_table->setRowHeight(i, 100);
        auto *number = new QTableWidgetItem(QString::number(i));
        number->setForeground(QBrush(Qt::blue));
        number->setFont(numberFont);
        m_table->setItem(i, 0, number);
    }
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setMinimumSectionSize(0);
    m_table->setColumnWidth(0, 40);
    m_table->setColumnWidth(1, 10);

    connect(m_table, &QTableWidget::cellClicked, this, &AREA_TABLE::AreaTableClickChangeSlots);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QWidget::customContextMenuRequested, this, &AREA_TABLE::AreaTableMenuEvent);

    m_thumbnails.reserve(kAreaCount);
    for (int i = 0; i < kAreaCount; ++i) {
        auto *thumb = new PAINT_TABLE(i, m_store);
        thumb->setGeometry(0, 0, 40, 100);
        m_thumbnails.append(thumb);
    }

    connect(this, &AREA_TABLE::EditAreaDataSignal, this, &AREA_TABLE::AreaTableWidgetAllDisplay);
    AreaTableWidgetAllDisplay();
}

void AREA_TABLE::showThumbnail(int area)
{
    PAINT_TABLE *thumb = m_thumbnails[area];
    thumb->update();
    // Placing the widget the table already holds would delete it.
    if (m_table->cellWidget(area, 2) != thumb)
        m_table->setCellWidget(area, 2, thumb);
}

void AREA_TABLE::AreaTableWidgetAllDisplay()
{
    for (int i = 0; i < kAreaCount; ++i)
        showThumbnail(i);
}

void AREA_TABLE::AreaTableWidgetCurDisplay()
{
    showThumbnail(m_store->clampedCurrentArea());
}

void AREA_TABLE::setMarker(const QColor &color)
{
    auto *marker = new QTableWidgetItem;
    marker->setBackground(color);
    m_table->setItem(m_store->clampedCurrentArea(), 1, marker);
}

void AREA_TABLE::SetEditAreaTableDisplay()
{
    setMarker(Qt::green);
}

void AREA_TABLE::ResetEditAreaTableDisplay()
{
    setMarker(Qt::white);
}

void AREA_TABLE::AreaTableClickChangeSlots(int Row, int Column)
{
    Q_UNUSED(Column);
    if (Row == m_store->currentArea)
        return;
    m_store->currentArea = Row > kAreaCount - 1 ? kAreaCount - 1 : Row;
    AreaTableWidgetAllDisplay();
    Q_EMIT AreaTableIndexChange();
}

void AREA_TABLE::AreaTableMenuEvent(QPoint pos)
{
    Q_UNUSED(pos);
    m_menu->addActions({m_copy, m_cut, m_paste, m_delete});
    m_menu->exec(QCursor::pos());
}

void AREA_TABLE::CopyAreaTableData()
{
    ZoneStore::copyRecord(m_store->clipboard, m_store->currentRecord());
}

void AREA_TABLE::CutAreaTableData()
{
    m_store->modified = true;
    AreaRecord &current = m_store->currentRecord();
    ZoneStore::copyRecord(m_store->clipboard, current);
    ZoneStore::copyRecord(current, m_store->emptyRecord);
    Q_EMIT EditAreaDataSignal();
}

void AREA_TABLE::PasteAreaTableData()
{
    m_store->modified = true;
    ZoneStore::copyRecord(m_store->currentRecord(), m_store->clipboard);
    Q_EMIT EditAreaDataSignal();
}

void AREA_TABLE::DeleteAreaTableData()
{
    m_store->modified = true;
    ZoneStore::copyRecord(m_store->currentRecord(), m_store->emptyRecord);
    Q_EMIT EditAreaDataSignal();
}

void AREA_TABLE::DeleteAllAreaTableData()
{
    m_store->modified = true;
    for (AreaRecord &a : m_store->areas)
        ZoneStore::copyRecord(a, m_store->emptyRecord);
    Q_EMIT EditAreaDataSignal();
}

void AREA_TABLE::UndoAreaTableData()
{
    m_store->undo(m_store->clampedCurrentArea());
    Q_EMIT EditAreaDataSignal();
}

void AREA_TABLE::RedoAreaTableData()
{
    m_store->redo(m_store->clampedCurrentArea());
    Q_EMIT EditAreaDataSignal();
}

void AREA_TABLE::SaveUndoAreaTableData()
{
    m_store->saveUndo(m_store->clampedCurrentArea());
}

void AREA_TABLE::SaveAllUndoAreaTableData()
{
    m_store->saveAllUndo();
}
