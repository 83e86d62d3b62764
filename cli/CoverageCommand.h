#pragma once

#include <QStringList>

class QTextStream;

void printCoverageHelp(QTextStream &out);
// sector-cli coverage FILE [--at STEER SPEED MODE | -o MAP.png|MAP.svg]
int runCoverage(const QStringList &args, QTextStream &out, QTextStream &err);
