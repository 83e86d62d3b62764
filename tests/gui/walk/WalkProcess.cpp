#include "tests/gui/walk/WalkProcess.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTextStream>

#include <cstdio>

namespace Walk {

// ---------------------------------------------------------------- settings

QStringList configArguments(const WalkConfig &c)
{
    QStringList out{QStringLiteral("--sim"), c.simProgram};
    if (!c.mix.link)
        out << QStringLiteral("--no-link");
    if (!c.faults)
        out << QStringLiteral("--no-faults");
    if (!c.fastLink)
        out << QStringLiteral("--real-timers");
    QStringList avoid = c.avoid;
    if (!c.mix.keyboardTabs && !avoid.contains(QStringLiteral("keyboard-tabs")))
        avoid << QStringLiteral("keyboard-tabs");
    if (!c.mix.zoom && !avoid.contains(QStringLiteral("zoom")))
        avoid << QStringLiteral("zoom");
    if (!avoid.isEmpty())
        out << QStringLiteral("--avoid") << avoid.join(QLatin1Char(','));
    return out;
}

WalkConfig configFromArguments(const QStringList &args, const QString &defaultSim)
{
    WalkConfig c;
    const int sim = args.indexOf(QStringLiteral("--sim"));
    c.simProgram = sim >= 0 ? args.value(sim + 1) : defaultSim;
    c.mix.link = !args.contains(QStringLiteral("--no-link"));
    c.faults = !args.contains(QStringLiteral("--no-faults"));
    c.fastLink = !args.contains(QStringLiteral("--real-timers"));
    const int avoid = args.indexOf(QStringLiteral("--avoid"));
    if (avoid >= 0)
        c.avoid = args.value(avoid + 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
    c.mix.keyboardTabs = !c.avoid.contains(QStringLiteral("keyboard-tabs"));
    c.mix.zoom = !c.avoid.contains(QStringLiteral("zoom"));
    return c;
}

// ---------------------------------------------------------------- the child

namespace {
// The program's own warnings (offscreen platform, sockets) are no part of a
// child's report.
void quiet(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type == QtFatalMsg || qEnvironmentVariableIsSet("WALK_VERBOSE"))
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

void sayResult(const Failure &f)
{
    if (!f.isSet())
        return say(QStringLiteral("RESULT clean"));
    say(QStringLiteral("RESULT fail %1 %2 %3")
            .arg(f.step)
            .arg(QString::fromLatin1(f.check.toUtf8().toBase64()),
                 QString::fromLatin1(f.detail.toUtf8().toBase64())));
}

int value(const QStringList &args, const QString &name, int fallback)
{
    const int at = args.indexOf(name);
    bool ok = false;
    const int v = at >= 0 ? args.value(at + 1).toInt(&ok) : 0;
    return ok ? v : fallback;
}
} // namespace

int childMain(const QStringList &args, const QString &defaultSim)
{
    const bool run = args.contains(QStringLiteral("--child-run"));
    if (!run && !args.contains(QStringLiteral("--child-replay")))
        return -1;
    qInstallMessageHandler(quiet);
    const WalkConfig config = configFromArguments(args, defaultSim);
    const quint32 seed = quint32(value(args, QStringLiteral("--seed"), 1));
    DesignWalk walk(config);
    say(QStringLiteral("SETUP ") + WalkSession::setupFor(config, seed));
    // Each action is named before it is done: a crash then still says which.
    const auto performing = [](const Action &a) { say(QStringLiteral("ACTION ") + a.serialize()); };
    if (run) {
        sayResult(walk.run(seed, value(args, QStringLiteral("--steps"), 50), performing).failure);
        return 0;
    }
    QVector<Action> actions;
    QTextStream in(stdin);
    for (QString line = in.readLine(); !line.isNull(); line = in.readLine()) {
        Action a;
        if (Action::parse(line, &a))
            actions << a;
    }
    sayResult(walk.replay(seed, actions, performing));
    return 0;
}

// ---------------------------------------------------------------- the parent

ChildRunner::ChildRunner(const QString &program, const WalkConfig &config)
    : m_program(program)
    , m_config(configArguments(config))
    , m_stepLimitMs(config.fastLink ? 3000 : 20000)
{
}

SequenceResult ChildRunner::run(quint32 seed, int steps)
{
    SequenceResult r =
        start({QStringLiteral("--child-run"), QStringLiteral("--seed"), QString::number(seed),
               QStringLiteral("--steps"), QString::number(steps)},
              QByteArray(), steps);
    r.seed = seed;
    return r;
}

Failure ChildRunner::replay(quint32 seed, const QVector<Action> &actions)
{
    QByteArray input;
    for (const Action &a : actions)
        input += a.serialize().toLatin1() + '\n';
    return start(
               {QStringLiteral("--child-replay"), QStringLiteral("--seed"), QString::number(seed)},
               input, actions.size())
        .failure;
}

SequenceResult ChildRunner::runAndShrink(quint32 seed, int steps, int shrinkMs, int maxReplays)
{
    SequenceResult r = run(seed, steps);
    if (!r.clean())
        r.shortest = shrinkActions(
            r.actions, r.failure,
            [this, seed](const QVector<Action> &list) { return replay(seed, list); }, shrinkMs,
            maxReplays);
    return r;
}

SequenceResult ChildRunner::start(const QStringList &args, const QByteArray &input, int steps)
{
    QProcess p;
    p.setProgram(m_program);
    p.setArguments(args + m_config);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start();
    p.write(input);
    p.closeWriteChannel();
    SequenceResult r;
    const bool ended = p.waitForFinished(20000 + steps * m_stepLimitMs);
    if (!ended) {
        p.kill();
        p.waitForFinished(5000);
    }
    bool result = false;
    for (const QByteArray &raw : p.readAllStandardOutput().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        Action a;
        if (line.startsWith(QLatin1String("ACTION ")) && Action::parse(line.mid(7), &a)) {
            r.actions << a;
        } else if (line.startsWith(QLatin1String("SETUP "))) {
            r.setup = line.mid(6);
        } else if (line.startsWith(QLatin1String("RESULT "))) {
            result = true;
            const QStringList f = line.split(QLatin1Char(' '));
            if (f.value(1) == QLatin1String("fail")) {
                r.failure.set = true;
                r.failure.step = f.value(2).toInt();
                r.failure.check = QString::fromUtf8(QByteArray::fromBase64(f.value(3).toLatin1()));
                r.failure.detail = QString::fromUtf8(QByteArray::fromBase64(f.value(4).toLatin1()));
            }
        }
    }
    r.steps = r.actions.size();
    if (!result) {
        // The program crashed or hung during the last action it began.
        r.failure.set = true;
        r.failure.step = qMax(0, (r.actions.isEmpty() ? steps : r.actions.size()) - 1);
        r.failure.check = ended ? QStringLiteral("crash") : QStringLiteral("hang");
        r.failure.detail = ended
                               ? QStringLiteral("the program died (%1, exit code %2)")
                                     .arg(p.exitStatus() == QProcess::CrashExit ? "signal" : "exit")
                                     .arg(p.exitCode())
                               : QStringLiteral("no answer within the time limit");
    }
    return r;
}

} // namespace Walk
