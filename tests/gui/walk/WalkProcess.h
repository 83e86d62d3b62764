#pragma once

#include "tests/gui/walk/DesignWalk.h"

#include <QStringList>

// Sequences in child processes: the program under test may crash or hang,
// and a crash must be one failing sequence like any other, with its seed
// and its shortest action list. The parent starts its own executable again
// with --child-run (generate and perform) or --child-replay (perform the
// actions read from standard input); the child reports line by line.
namespace Walk {

// The walk's settings as command-line options and back.
QStringList configArguments(const WalkConfig &config);
WalkConfig configFromArguments(const QStringList &args, const QString &defaultSim);

// In a child: runs what the arguments ask and returns the exit code; -1
// when the arguments ask for no child work.
int childMain(const QStringList &args, const QString &defaultSim);

class ChildRunner
{
public:
    // `program` is started with the child options plus the config's.
    ChildRunner(const QString &program, const WalkConfig &config);

    SequenceResult run(quint32 seed, int steps);
    Failure replay(quint32 seed, const QVector<Action> &actions);
    // run() and, when it failed, shrink within the budget.
    SequenceResult runAndShrink(quint32 seed, int steps, int shrinkMs, int maxReplays = 400);

private:
    SequenceResult start(const QStringList &args, const QByteArray &input, int steps);

    QString m_program;
    QStringList m_config;
    int m_stepLimitMs;
};

} // namespace Walk
