#pragma once

#include <QStringList>

class QTextStream;

void printReportHelp(QTextStream &out);
// Exit status: 0 written, 1 written but the sensor does not hold the design,
// 2 usage or file error, 3 link failure.
int runReport(const QStringList &args, QTextStream &out, QTextStream &err);
