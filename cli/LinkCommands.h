#pragma once

#include <QStringList>

class QTextStream;

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
