#pragma once

#include <QStringList>

class QTextStream;

// sector-cli replay RECORDING FILE [--area N]: the design's outputs over a
// recording, against the outputs the sensor reported.
int runReplay(const QStringList &args, QTextStream &out, QTextStream &err);
// sector-cli export RECORDING -o FILE.csv: a recording as text.
int runExport(const QStringList &args, QTextStream &out, QTextStream &err);
void printReplayHelp(QTextStream &out);
