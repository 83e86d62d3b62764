#pragma once

#include <QStringList>

class QTextStream;

// sector-cli check FILE [--model NAME]
int runCheck(const QStringList &args, QTextStream &out, QTextStream &err);
void printCheckHelp(QTextStream &out);
