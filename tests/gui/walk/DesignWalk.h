#pragma once

#include "tests/gui/walk/WalkSession.h"

#include <QVector>

// A model-based random walk over the whole main window: seeded sequences of
// user actions against the program and a reference model of the design,
// with the emulator behind the link. A failing sequence is shrunk to the
// shortest action list that still fails the same way.
namespace Walk {

struct SequenceResult {
    quint32 seed = 0;
    QString setup; // the emulator's faults
    int steps = 0; // actions performed
    QVector<Action> actions;
    Failure failure;
    QVector<Action> shortest; // after shrinking; empty when clean
    bool clean() const { return !failure.isSet(); }
    // One line: seed, step, check, what differed, the shortest actions.
    QString line() const;
    // The same over several lines, for people.
    QString report() const;
};

class DesignWalk
{
public:
    explicit DesignWalk(const WalkConfig &config)
        : m_config(config)
    {
    }

    // Generates and performs `steps` actions from `seed`; `performing` hears
    // of each action before it is done (a crash then still names it).
    SequenceResult run(quint32 seed, int steps,
                       const std::function<void(const Action &)> &performing = nullptr);
    // Performs the given actions on a fresh window; the failure, if any.
    Failure replay(quint32 seed, const QVector<Action> &actions,
                   const std::function<void(const Action &)> &performing = nullptr);
    // Drops actions while the same check still fails, within the budget.
    QVector<Action> shrink(quint32 seed, const QVector<Action> &failing, const Failure &f,
                           int budgetMs, int maxReplays = 400);

private:
    WalkConfig m_config;
};

// The shrinking itself, over any way of replaying: remove chunks of
// actions, halving their size, as long as the same check still fails.
QVector<Action> shrinkActions(const QVector<Action> &failing, const Failure &f,
                              const std::function<Failure(const QVector<Action> &)> &replay,
                              int budgetMs, int maxReplays);

// "design: area # (current)" - a failure's kind with its numbers masked,
// to tell repeated failures from new ones.
QString signature(const Failure &f);

} // namespace Walk
