#pragma once

#include "core/link/Payloads.h"
#include "core/sensor/DesignCompare.h"
#include "core/sensor/SensorParameters.h"
#include "core/zones/AreaRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// What a commissioning report states: the design, where it came from, and,
// when a sensor was reached, what the sensor is and whether it holds the
// design.
struct ReportInput {
    bool chinese = false;

    // The file's name as the report shows it; empty when the design was
    // never saved.
    QString projectName;
    // The bytes whose SHA-256 the report gives: the file as read, or the
    // design as it would be saved now.
    QByteArray projectBytes;
    enum class FileState {
        AsRead,        // the file itself (sector-cli)
        Saved,         // the window's design is what the file holds
        UnsavedChanges // the window's design differs from the file
    };
    FileState fileState = FileState::AsRead;
    int model = 3;

    SensorParameters parameters; // what a write would send
    QVector<AreaRecord> areas;   // all 64
    QDateTime when;
    QString version;

    struct Sensor {
        bool present = false;
        Payloads::ProductInfo product;
        QString connection; // "127.0.0.1:8080 (TCP)"
        bool compared = false;
        QVector<DesignCompare::Difference> differences;
    } sensor;
};

// The version the About box shows.
QString studioVersion();

// The report as PDF bytes, A4, in the input's language. The area pictures
// are drawn by the view's own code, so a QApplication must exist.
QByteArray commissioningReportPdf(const ReportInput &input, int *pages = nullptr);

// Writes the report whole (no half-written file is left behind); false with
// the system's reason in `why`.
bool writeCommissioningReport(const QString &path, const ReportInput &input, QString *why);
