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

// True when args ask for help (--help or -h).
bool isHelp(const QStringList &args);
// The value after `option` ("-o FILE"), both taken out of args; empty when
// the option is not there or has no value.
QString takeOption(QStringList &args, const char *option);
inline QString takeOutput(QStringList &args)
{
    return takeOption(args, "-o");
}
