#pragma once

#include <QStringList>

class QTextStream;

// sector-cli convert IN OUT [--model NAME]
int runConvert(const QStringList &args, QTextStream &out, QTextStream &err);
void printConvertHelp(QTextStream &out);
