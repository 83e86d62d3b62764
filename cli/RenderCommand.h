#pragma once

#include <QStringList>

class QTextStream;

// sector-cli render FILE -o OUT [--area N] [--output K] [--size WxH]
//                    [--zoom LEVEL] [--scan CSV] [--display graph|cloud|line]
int runRender(const QStringList &args, QTextStream &out, QTextStream &err);
void printRenderHelp(QTextStream &out);
