// soak-design: the design walk as a long run. Each sequence runs in a child
// process of its own (a fresh main window off screen and, once it uses the
// link, its own emulator on loopback), so that a crash of the program is
// one failing sequence like any other. One line per failing sequence, then
// "sequences: N clean: K".

#include "tests/gui/walk/WalkProcess.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {
bool g_verbose = false;

void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type == QtFatalMsg || g_verbose)
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

int option(const QCommandLineParser &p, const char *name, int fallback)
{
    bool ok = false;
    const int v = p.value(QString::fromLatin1(name)).toInt(&ok);
    return ok ? v : fallback;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QDir::tempPath().toLocal8Bit());
    for (int i = 1; i < argc; ++i)
        g_verbose = g_verbose || qstrcmp(argv[i], "--verbose") == 0;
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("soak-design"));

    // Nothing of the user's own layout is read or written.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());

    QString sim = QStringLiteral(SECTOR_SIM_PATH);
    if (!QFileInfo::exists(sim))
        sim = QCoreApplication::applicationDirPath() + QStringLiteral("/sector-sim");
    const int child = Walk::childMain(app.arguments(), sim);
    if (child >= 0)
        return child;

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Random sequences of user actions on the main window, checked against a model of the\n"
        "design, with an emulator behind the link. Run it in a network namespace of its own."));
    p.addHelpOption();
    p.addOption({"sequences", "Number of sequences (default 10).", "N"});
    p.addOption({"steps", "Actions per sequence (default 50).", "M"});
    p.addOption({"seed", "Seed of the first sequence; sequence i uses seed + i (default 1).", "S"});
    p.addOption({"stop", "Stop at the first failing sequence."});
    p.addOption({"no-link", "Editing and files only: no emulator."});
    p.addOption({"no-faults", "No emulator faults."});
    p.addOption({"real-timers", "Keep the link's 20 ms tick and 2 s reply time-out."});
    p.addOption({"avoid",
                 "Step around known failures while they are open (comma-separated): "
                 "keyboard-tabs, zoom, monitor-entry, arc-radius, origin, slow-replies.",
                 "LIST"});
    p.addOption({"shrink-seconds", "Time to shrink a new kind of failure (default 60).", "S"});
    p.addOption({"jobs", "Sequences run side by side (default 2).", "J"});
    p.addOption({"details", "Print each failure in full on standard error."});
    p.addOption({"verbose", "Let the program's own messages through."});
    p.addOption({"sim", "The emulator to start (default: the one built beside).", "PATH"});
    p.process(app);

    const int sequences = option(p, "sequences", 10);
    const int steps = option(p, "steps", 50);
    const quint32 first = quint32(option(p, "seed", 1));
    const int shrinkMs = option(p, "shrink-seconds", 60) * 1000;
    const Walk::WalkConfig config = Walk::configFromArguments(app.arguments(), sim);
    const int jobs = qBound(1, option(p, "jobs", 2), 8);

    QElapsedTimer clock;
    clock.start();
    std::mutex lock;
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    int clean = 0, run = 0;
    QSet<QString> shrunk; // kinds of failure already shrunk in full
    // Each worker runs whole sequences in children of its own; the children
    // mostly wait on the link, so two share the machine's cores well.
    const auto worker = [&] {
        Walk::ChildRunner runner(QCoreApplication::applicationFilePath(), config);
        for (int i = next++; i < sequences && !stop; i = next++) {
            const quint32 seed = first + quint32(i);
            Walk::SequenceResult r = runner.run(seed, steps);
            int budget = 0;
            {
                std::lock_guard<std::mutex> hold(lock);
                ++run;
                if (r.clean()) {
                    ++clean;
                    continue;
                }
                // A kind of failure met before is only cut after its failing step.
                const QString kind = Walk::signature(r.failure);
                budget = shrunk.contains(kind) ? 0 : shrinkMs;
                shrunk.insert(kind);
            }
            r.shortest = Walk::shrinkActions(
                r.actions, r.failure,
                [&runner, seed](const QVector<Walk::Action> &list) {
                    return runner.replay(seed, list);
                },
                budget, 400);
            std::lock_guard<std::mutex> hold(lock);
            std::printf("%s\n", qPrintable(r.line()));
            std::fflush(stdout);
            if (p.isSet("details"))
                std::fprintf(stderr, "%s\n", qPrintable(r.report()));
            if (p.isSet("stop"))
                stop = true;
        }
    };
    std::vector<std::thread> threads;
    for (int j = 0; j < jobs; ++j)
        threads.emplace_back(worker);
    for (std::thread &t : threads)
        t.join();
    std::fprintf(stderr, "%d sequences of %d steps in %.1f s\n", run, steps,
                 clock.elapsed() / 1000.0);
    std::printf("sequences: %d clean: %d\n", run, clean);
    return clean == run ? 0 : 1;
}
