#pragma once

#include "graphics/CommissioningReport.h"

#include <QString>
#include <QVector>

class QWidget;
class ZoneStore;

// The window's side of the commissioning report: the design as it stands,
// and the File menu action that saves the report.

// The report input for the window's design: the bytes it would be saved as
// now (whose SHA-256 the report gives), the last file opened or saved
// (empty: none) and whether the design differs from what that file holds.
// The sensor part is left for the caller to fill when connected.
ReportInput windowReportInput(int model, const QVector<int> &dockValues,
                              const SensorParameters &parameters, const ZoneStore &store,
                              const QString &lastFile, bool chinese);

// Asks for the PDF's path, writes the report under a busy cursor and tells
// the user in a box when it could not be saved. True when written.
// The dialog starts in `folder` (the last project's) when one is given.
bool saveCommissioningReport(QWidget *parent, const ReportInput &input, const QString &folder = QString());
