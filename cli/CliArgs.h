#pragma once

#include <QStringList>

class QTextStream;

// The arguments convert and check share: file names and --model NAME.
struct ModelArgs {
    QStringList files;
    int model = -1; // -1 when --model was not given
    bool help = false;
};

// Returns 0 when the arguments are usable, else the exit status after the
// message on err (1 for bad arguments). `count` is the number of file names.
int parseModelArgs(const QString &command, const QStringList &args, int count, ModelArgs &out,
                   QTextStream &err);
