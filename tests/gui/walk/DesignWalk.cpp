#include "tests/gui/walk/DesignWalk.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace Walk {

namespace {
QString actionList(const QVector<Action> &actions, const QString &separator)
{
    QStringList out;
    for (int i = 0; i < actions.size(); ++i)
        out << QStringLiteral("%1. %2").arg(i + 1).arg(actions[i].describe());
    return out.join(separator);
}
} // namespace

QString SequenceResult::line() const
{
    if (clean())
        return QStringLiteral("seed %1: clean").arg(seed);
    QString detail = failure.detail;
    detail.replace(QRegularExpression(QStringLiteral("\\s*\\n\\s*")), QStringLiteral(" / "));
    const QVector<Action> &list = shortest.isEmpty() ? actions : shortest;
    return QStringLiteral("FAIL seed %1 (%2) step %3: %4: %5 | %6 actions: %7")
        .arg(QString::number(seed), setup, QString::number(failure.step + 1), failure.check, detail,
             QString::number(list.size()), actionList(list, QStringLiteral("; ")));
}

QString SequenceResult::report() const
{
    if (clean())
        return QStringLiteral("seed %1: clean after %2 steps\n").arg(seed).arg(steps);
    const QVector<Action> &list = shortest.isEmpty() ? actions : shortest;
    return QStringLiteral("seed %1 (%2) failed at step %3 of %4: %5\n  %6\nshortest failing list "
                          "(%7 actions):\n  %8\n")
        .arg(QString::number(seed), setup, QString::number(failure.step + 1),
             QString::number(actions.size()), failure.check, failure.detail,
             QString::number(list.size()), actionList(list, QStringLiteral("\n  ")));
}

QString signature(const Failure &f)
{
    QString first = f.detail.section(QLatin1Char('\n'), 0, 0);
    first.replace(QRegularExpression(QStringLiteral("-?\\d+")), QStringLiteral("#"));
    return f.check + QStringLiteral(": ") + first;
}

SequenceResult DesignWalk::run(quint32 seed, int steps,
                               const std::function<void(const Action &)> &performing)
{
    SequenceResult r;
    r.seed = seed;
    QTemporaryDir dir;
    WalkSession s(m_config, seed, dir.path());
    r.setup = s.setup();
    QRandomGenerator rng(seed);
    for (int i = 0; i < steps && !s.failure().isSet() && !s.closed(); ++i) {
        const Action a = generateAction(rng, s.model(), s.view(), m_config.mix);
        r.actions << a;
        if (performing)
            performing(a);
        s.step(i, a);
        ++r.steps;
    }
    r.failure = s.failure();
    return r;
}

Failure DesignWalk::replay(quint32 seed, const QVector<Action> &actions,
                           const std::function<void(const Action &)> &performing)
{
    QTemporaryDir dir;
    WalkSession s(m_config, seed, dir.path());
    for (int i = 0; i < actions.size() && !s.failure().isSet() && !s.closed(); ++i) {
        if (performing)
            performing(actions[i]);
        s.step(i, actions[i]);
    }
    return s.failure();
}

QVector<Action> DesignWalk::shrink(quint32 seed, const QVector<Action> &failing, const Failure &f,
                                   int budgetMs, int maxReplays)
{
    return shrinkActions(
        failing, f, [this, seed](const QVector<Action> &list) { return replay(seed, list); },
        budgetMs, maxReplays);
}

QVector<Action> shrinkActions(const QVector<Action> &failing, const Failure &f,
                              const std::function<Failure(const QVector<Action> &)> &replay,
                              int budgetMs, int maxReplays)
{
    QVector<Action> best = failing.mid(0, f.step + 1);
    QElapsedTimer clock;
    clock.start();
    int replays = 0;
    for (int chunk = qMax(1, best.size() / 2); chunk >= 1; chunk /= 2) {
        bool removed = true;
        while (removed) {
            removed = false;
            for (int at = 0; at < best.size();) {
                if (replays >= maxReplays || clock.elapsed() >= budgetMs)
                    return best;
                QVector<Action> candidate = best;
                candidate.remove(at, qMin(chunk, candidate.size() - at));
                ++replays;
                const Failure g = candidate.isEmpty() ? Failure() : replay(candidate);
                if (g.isSet() && g.check == f.check) {
                    best = candidate.mid(0, g.step + 1);
                    removed = true;
                } else {
                    at += chunk;
                }
            }
        }
    }
    return best;
}

} // namespace Walk
