// The inputs that used to stall the tool, timed as a user meets them:
// sector-cli render of zones of 10,000 and 100,000 points (radii at random
// between 4 and 20 m, as a noisy import gives), of a noisy 12,800-step sweep
// (1 to 20 m at random) in Line display over a small design, sector-cli
// check of a file of 1,000,000 points and of /dev/zero; then in-process the
// check the window makes before it opens a file, and the main window itself
// opening a file at its point limit and redrawing the view with that zone
// and with the noisy sweep.
//
// It builds a main window, so run it inside a private network namespace:
//   unshare -rn sh -c 'ip link set lo up; build/bench-bounds'
// --cli PATH times another sector-cli (an older build, for comparison);
// --cli-only leaves out the in-process part; --runs N (default 5) runs each
// command N times and takes the median; --window-points N also times the
// window opening a zone of N points (above its limit it opens whatever the
// window does with such a file; give it time).
//
// Last line: "bounds: render 10k zone X s, 100k zone X s, noisy line X s;
// 1M-point file refused in X s (+N MB); /dev/zero refused after N bytes".

#include "bench/BenchStats.h"
#include "core/link/Discovery.h"
#include "core/link/ScanRecord.h"
#include "core/project/ProjectFile.h"
#include "core/sensor/SensorDockValues.h"
#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "gui/MainWindow.h"
#include "gui/UiPrompt.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsItem>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtMath>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kLaser30 = 3;

// ---------------------------------------------------------------- inputs

// Area 0 Out1 of `points` vertices evenly over the sensor's 320 degrees, each
// at a random radius between 4 and 20 m.
QString writeZone(const QString &dir, int points)
{
    ZoneStore store;
    QRandomGenerator rng{quint32(points)};
    QVector<QPoint> &list = store.areas[0].points[0];
    list.reserve(points);
    for (int i = 0; i < points; ++i) {
        const double t = qDegreesToRadians(-70 + 320.0 * i / points);
        const double r = 4000 + rng.bounded(16000.0);
        list << QPoint(int(r * std::cos(t)), int(r * std::sin(t)));
    }
    const QString path = QStringLiteral("%1/zone%2.ZQ30").arg(dir).arg(points);
    ProjectFile::saveProject(path, kLaser30, SensorDockValues::defaults(), store);
    return path;
}

// A 2.4 m by 0.8 m box in front of the sensor.
QString writeSmallDesign(const QString &dir)
{
    ZoneStore store;
    store.areas[0].points[0] = {QPoint(1200, 200), QPoint(1200, 1000), QPoint(-1200, 1000),
                                QPoint(-1200, 200)};
    const QString path = dir + QStringLiteral("/small.ZQ30");
    ProjectFile::saveProject(path, kLaser30, SensorDockValues::defaults(), store);
    return path;
}

// One sweep at the sensor's finest resolution, every distance drawn anew
// between 1 and 20 m: a sensor looking into rain or dust.
void noisySweep(ScanRecord &scan)
{
    QRandomGenerator rng(12800);
    scan.connectionType = 1;
    scan.sweepLength = 12800;
    for (int i = 0; i < 12800; ++i) {
        scan.distanceRing[size_t(i)] = std::uint16_t(1000 + rng.bounded(19000));
        scan.intensityRing[size_t(i)] = std::uint16_t(rng.bounded(2000));
    }
}

QString writeSweep(const QString &dir)
{
    auto scan = std::make_unique<ScanRecord>();
    noisySweep(*scan);
    const QString path = dir + QStringLiteral("/noisy.csv");
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Text);
    QTextStream out(&f);
    out << "sweep,step,distance_mm,intensity\n";
    for (int i = 0; i < scan->sweepLength; ++i)
        out << "0," << i << ',' << scan->distanceRing[size_t(i)] << ','
            << scan->intensityRing[size_t(i)] << '\n';
    return path;
}

// ---------------------------------------------------------------- measuring

struct Run {
    double seconds = 0;
    long peakKb = 0;
    int exitCode = -1;
    bool killed = false;
};

// One run of a program, its output discarded, killed after `limit` seconds.
Run runProgram(const QString &program, const QStringList &args, double limit)
{
    std::vector<QByteArray> strings;
    strings.push_back(program.toLocal8Bit());
    for (const QString &a : args)
        strings.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    Run run;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (clock.elapsed() > limit * 1000 && !run.killed) {
            kill(pid, SIGKILL);
            run.killed = true;
        }
        usleep(2000);
    }
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.peakKb = usage.ru_maxrss;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

Run medianRun(const QString &program, const QStringList &args, int runs, double limit)
{
    std::vector<Run> all;
    for (int i = 0; i < runs; ++i) {
        all.push_back(runProgram(program, args, limit));
        if (all.back().killed)
            return all.back(); // no use waiting that long again
    }
    std::sort(all.begin(), all.end(),
              [](const Run &a, const Run &b) { return a.seconds < b.seconds; });
    return all[all.size() / 2];
}

QString describe(const Run &r)
{
    if (r.killed)
        return QStringLiteral("still running after %1 s, killed").arg(r.seconds, 0, 'f', 1);
    return QStringLiteral("%1 s, peak %2 MB, exit %3")
        .arg(r.seconds, 0, 'f', 2)
        .arg(r.peakKb / 1024.0, 0, 'f', 0)
        .arg(r.exitCode);
}

long statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    f.open(QIODevice::ReadOnly | QIODevice::Text);
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(strlen(field))).trimmed().split(' ').value(0).toLong();
    return 0;
}

long bytesRead()
{
    QFile f(QStringLiteral("/proc/self/io"));
    f.open(QIODevice::ReadOnly | QIODevice::Text);
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLong();
    return 0;
}

double medianMs(std::vector<double> v)
{
    return stats(std::move(v)).median;
}

// Viewport repaints of the window's view, median in ms.
double frameMs(MainWindow &window, int frames)
{
    QWidget *viewport = window.form()->graphicsView->viewport();
    std::vector<double> ms;
    for (int i = 0; i < frames; ++i) {
        QElapsedTimer t;
        t.start();
        window.optionScene()->UpdataPaintOutline();
        window.optionScene()->UpdataPaintIntensity();
        viewport->repaint();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return medianMs(ms);
}

// A vertex handle dragged as the view drags it: the store, the tables and
// the picture follow each step. Median in ms.
double dragMs(MainWindow &window, int steps)
{
    const QList<QGraphicsItem *> handles = window.optionScene()->handles();
    QGraphicsItem *handle = handles.value(handles.size() / 2);
    std::vector<double> ms;
    for (int i = 0; handle && i < steps; ++i) {
        QElapsedTimer t;
        t.start();
        handle->setPos(handle->pos() + QPointF(i % 2 ? 40 : -40, 0));
        window.optionScene()->MovePointItemSlots(handle);
        window.form()->graphicsView->viewport()->repaint();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return ms.empty() ? 0 : medianMs(ms);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString cli = QStringLiteral(SECTOR_CLI_PATH);
    bool cliOnly = false;
    int runs = 5;
    int windowPoints = 0;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--cli") && i + 1 < args.size())
            cli = args[++i];
        else if (args[i] == QLatin1String("--cli-only"))
            cliOnly = true;
        else if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--window-points") && i + 1 < args.size())
            windowPoints = args[++i].toInt();
    }
    QTemporaryDir dir;
    const QString d = dir.path();
    const QString zone10k = writeZone(d, 10000);
    const QString zone100k = writeZone(d, 100000);
    const QString zone1m = writeZone(d, 1000000);
    const QString small = writeSmallDesign(d);
    const QString sweep = writeSweep(d);
    const QString png = d + QStringLiteral("/out.png");
    std::printf("sector-cli: %s\n", qPrintable(cli));

    // ------------------------------------------------------------ sector-cli
    const Run r10k = medianRun(cli, {"render", zone10k, "-o", png}, runs, 120);
    std::printf("render 10,000-point zone: %s\n", qPrintable(describe(r10k)));
    const Run r100k = medianRun(cli, {"render", zone100k, "-o", png}, runs, 120);
    std::printf("render 100,000-point zone: %s\n", qPrintable(describe(r100k)));
    const Run line = medianRun(
        cli, {"render", small, "-o", png, "--scan", sweep, "--display", "line"}, runs, 120);
    std::printf("render noisy 12,800-step sweep, Line: %s\n", qPrintable(describe(line)));
    const Run check1m = medianRun(cli, {"check", zone1m}, runs, 120);
    std::printf("check 1,000,000-point file: %s\n", qPrintable(describe(check1m)));
    const Run zero = runProgram(cli, {"check", "/dev/zero"}, 20);
    std::printf("check /dev/zero: %s\n", qPrintable(describe(zero)));
    if (cliOnly)
        return 0;

    // ------------------------------------------------------------ the window's check
    std::printf("-- in process\n");
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const bool peakReset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    clear.close();
    const long rssBefore = statusKb("VmRSS:");
    QElapsedTimer t;
    t.start();
    const ProjectFile::Refusal million = ProjectFile::screenFile(zone1m);
    const double screenSeconds = t.nsecsElapsed() / 1e9;
    const long growthKb = statusKb("VmHWM:") - rssBefore;
    std::printf("screen 1,000,000-point file: %.2f s, peak memory +%s; %s\n", screenSeconds,
                peakReset ? qPrintable(QStringLiteral("%1 MB").arg(growthKb / 1024.0, 0, 'f', 1))
                          : "unknown",
                qPrintable(million.text(1).section('\n', 0, 0)));
    const long before = bytesRead();
    const ProjectFile::Refusal endless = ProjectFile::screenFile(QStringLiteral("/dev/zero"));
    const long zeroBytes = bytesRead() - before;
    std::printf("screen /dev/zero: %ld bytes read; %s\n", zeroBytes,
                qPrintable(endless.text(1).section('\n', 0, 0)));

    // ------------------------------------------------------------ the window
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    UiPrompt::setBoxAnswer([](const UiPrompt::Box &) { return 0; });
    Discovery::setTestTargets({QHostAddress(QHostAddress::LocalHost)}, QHostAddress::LocalHost, 9);
    ZoneStore store;
    auto scan = std::make_unique<ScanRecord>();
    {
        MainWindow window(&store, scan.get());
        window.resize(1400, 950);
        window.show();
        app.processEvents();
        const QString atLimit = writeZone(d, ProjectFile::kOpenPointLimit);
        t.restart();
        window.openAnyProjectFile(atLimit);
        app.processEvents();
        std::printf("window opens a %d-point zone (the limit): %.2f s\n",
                    ProjectFile::kOpenPointLimit, t.nsecsElapsed() / 1e9);
        std::printf("window frame with that zone: %.1f ms\n", frameMs(window, 20));
        std::printf("window vertex drag step with that zone: %.1f ms\n", dragMs(window, 10));
        if (windowPoints > 0) {
            const QString other = writeZone(d, windowPoints);
            t.restart();
            window.openAnyProjectFile(other);
            app.processEvents();
            std::printf("window opens a %d-point zone: %.2f s\n", windowPoints,
                        t.nsecsElapsed() / 1e9);
            std::printf("window vertex drag step with that zone: %.1f ms\n", dragMs(window, 5));
            window.openAnyProjectFile(atLimit);
        }
        window.form()->ZoomSlider->setValue(200);
        std::printf("window frame with that zone at zoom 200: %.1f ms\n", frameMs(window, 20));
        window.form()->ZoomSlider->setValue(-55);
        noisySweep(*scan);
        scan->displayMode = 2;
        window.openAnyProjectFile(small);
        std::printf("window frame with a noisy 12,800-step sweep, Line: %.1f ms\n",
                    frameMs(window, 20));
        store.modified = false;
    }

    std::printf("bounds: render 10k zone %.2f s, 100k zone %.2f s, noisy line %.2f s; 1M-point "
                "file refused in %.2f s (+%.0f MB); /dev/zero refused after %ld bytes\n",
                r10k.seconds, r100k.seconds, line.seconds, screenSeconds, growthKb / 1024.0,
                zeroBytes);
    return 0;
}
