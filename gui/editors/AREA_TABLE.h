#pragma once

#include <QObject>
#include <QVector>

class PAINT_TABLE;
class QAction;
class QMenu;
class QTableWidget;
class ZoneStore;

// The list of the 64 areas with their thumbnails, and the area-level
// commands: clipboard, delete, delete all, per-area undo and redo.
class AREA_TABLE : public QObject
{
    Q_OBJECT
public:
    AREA_TABLE(ZoneStore *store, QTableWidget *table, QAction *copy, QAction *cut,
               QAction *paste, QAction *del, QObject *parent = nullptr);

    PAINT_TABLE *thumbnail(int area) const { return m_thumbnails.value(area); }

Q_SIGNALS:
    void EditAreaDataSignal();
    void AreaTableIndexChange();

public Q_SLOTS:
    void SetEditAreaTableDisplay();
    void ResetEditAreaTableDisplay();
    void AreaTableWidgetAllDisplay();
    void AreaTableWidgetCurDisplay();
    void CopyAreaTableData();
    void CutAreaTableData();
    void PasteAreaTableData();
    void DeleteAreaTableData();
    void DeleteAllAreaTableData();
    void UndoAreaTableData();
    void RedoAreaTableData();
    void SaveUndoAreaTableData();
    void SaveAllUndoAreaTableData();

private Q_SLOTS:
    void AreaTableMenuEvent(QPoint pos);
    void AreaTableClickChangeSlots(int Row, int Column);

private:
    void showThumbnail(int area);
    void setMarker(const QColor &color);

    ZoneStore *m_store;
    QTableWidget *m_table;
    QVector<PAINT_TABLE *> m_thumbnails;
    QMenu *m_menu;
    QAction *m_copy;
    QAction *m_cut;
    QAction *m_paste;
    QAction *m_delete;
};
