#pragma once

#include <QObject>

class QTableWidget;
struct ScanRecord;

// The data list: the latest scan's distance and intensity of the first 540
// steps, rewritten on every scan.
class DATA_TABLE : public QObject
{
    Q_OBJECT
public:
    DATA_TABLE(ScanRecord *scan, QTableWidget *table, QObject *parent = nullptr);
    void SetHeaderLanguage(int language);

public Q_SLOTS:
    void DataTableWidgetDisplay();

private:
    ScanRecord *m_scan;
    QTableWidget *m_table;
};
