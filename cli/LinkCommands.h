#pragma once

#include "core/link/Payloads.h"
#include "core/sensor/DesignCompare.h"

#include <QStringList>

class QTextStream;
struct LinkOptions;

// sector-cli's sensor commands. Exit status: 0 done, 1 verify found
// differences, 2 usage or file error, 3 link failure.
int runRead(const QStringList &args, QTextStream &out, QTextStream &err);
int runWrite(const QStringList &args, QTextStream &out, QTextStream &err);
int runVerify(const QStringList &args, QTextStream &out, QTextStream &err);
int runInfo(const QStringList &args, QTextStream &out, QTextStream &err);
int runReboot(const QStringList &args, QTextStream &out, QTextStream &err);
int runRecord(const QStringList &args, QTextStream &out, QTextStream &err);
int runDiscover(const QStringList &args, QTextStream &out, QTextStream &err);
void printLinkHelp(QTextStream &out);

// What verify holds side by side: FILE as write would send it over this
// connection, and what the sensor holds.
struct SensorVerification {
    QVector<AreaRecord> designAreas;
    SensorParameters designParameters;
    QVector<AreaRecord> sensorAreas;
    SensorParameters sensorParameters;
    QVector<DesignCompare::Difference> differences;
    Payloads::ProductInfo product; // with withProduct only
};

// Checks FILE, connects, reads everything (and the product information when
// withProduct) and compares. 0 when compared, whatever the differences;
// else the exit status after a message on err (2 file, 3 link).
int verifyAgainstSensor(const char *command, const QString &file, const LinkOptions &o,
                        bool withProduct, QTextStream &err, SensorVerification &result);
