// The real main window, offscreen, connected over TCP to sector-sim at its
// finest resolution (12800 points per sweep at 10 Hz), with Distance and
// Intensity on and the data list shown, streaming for 20 s. Measures how
// late each 20 ms send tick of the link fires and the CPU the process uses.
//
// With --record the window records the stream meanwhile (Display › Record
// Scan), and the sweeps in the file are counted against those drawn.
//
// Last two lines: "tick lateness p99 ms: X" and "cpu % of one core: Y".

#include "core/link/Discovery.h"
#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/sensor/ScanRecorder.h"
#include "core/sensor/ScanRecording.h"
#include "core/zones/ZoneStore.h"
#include "gui/MainWindow.h"
#include "gui/UiPrompt.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {
double cpuSeconds()
{
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool record = app.arguments().contains(QStringLiteral("--record"));
    // The window's dialogs search for sensors: from loopback, to a port
    // nothing serves.
    Discovery::setTestTargets({QHostAddress(QHostAddress::LocalHost)}, QHostAddress::LocalHost, 9);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    UiPrompt::setBoxAnswer([](const UiPrompt::Box &) { return 0; });
    const QString recording = QDir(settings.path()).filePath(QStringLiteral("live.scanrec"));
    UiPrompt::setFileAnswer([recording](const UiPrompt::FileQuestion &) { return recording; });

    QProcess sim;
    sim.start(QStringLiteral(SECTOR_SIM_PATH), {"--bind", "127.0.0.1", "--tcp", "0", "--no-udp",
                                                 "--no-discovery", "--scan-angle", "0"});
    if (!sim.waitForStarted(3000) || !sim.waitForReadyRead(3000)) {
        std::printf("FAILED: sector-sim did not start\n");
        return 1;
    }
    const quint16 port = quint16(QString::fromLatin1(sim.readLine()).section(' ', 1).trimmed().toUInt());

    ZoneStore store;
    ScanRecord scan;
    int sweeps = 0;
    int recorded = 0;
    std::vector<double> lateness;
    double cpu = 0;
    {
        MainWindow window(&store, &scan);
        window.show();
        window.form()->DataTable->setEnabled(true);
        window.form()->DataTable->trigger();
        QObject::connect(window.link(), &SERIAL_COMM::ReceiveScanfData, [&] { ++sweeps; });
        window.setSensorPort(port);
        window.CreatEthnertModeSignalSlot(QStringLiteral("MODE: TCP"));
        window.CreatEthernetPort(QStringLiteral("127.0.0.1"));

        // Let the full read finish, then measure the stream.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 3000)
            app.processEvents(QEventLoop::AllEvents, 10);

        QElapsedTimer clock;
        QElapsedTimer run;
        clock.start();
        run.start();
        QObject::connect(window.link()->sendTick(), &QTimer::timeout, [&] {
            lateness.push_back(std::max(0.0, clock.nsecsElapsed() / 1e6 - 20.0));
            clock.restart();
        });
        if (record)
            window.findChild<QAction *>(QStringLiteral("RecordScan"))->trigger();
        const int before = sweeps;
        const double cpu0 = cpuSeconds();
        QTimer::singleShot(20000, &app, &QApplication::quit);
        app.exec();
        cpu = (cpuSeconds() - cpu0) / (run.nsecsElapsed() / 1e9) * 100.0;
        sweeps -= before;
        if (record) {
            // Everything queued reaches the file before the count.
            window.findChild<QAction *>(QStringLiteral("StopRecording"))->trigger();
            recorded = window.recorder()->sweeps();
        }
        window.CloseSerialPort();
    }
    sim.terminate();
    sim.waitForFinished(3000);

    if (lateness.size() < 100 || sweeps < 50) {
        std::printf("FAILED: %d sweeps, %d ticks\n", sweeps, int(lateness.size()));
        return 1;
    }
    std::sort(lateness.begin(), lateness.end());
    const double p99 = lateness[size_t(lateness.size() * 0.99)];
    std::printf("sweeps drawn: %d in 20 s (12800 points each)\n", sweeps);
    if (record) {
        ScanRecording::Reader r;
        QString why;
        const int inFile = r.open(recording, &why) ? r.count() : -1;
        std::printf("sweeps recorded: %d in the file, %d while measured, %.1f MB\n", inFile, recorded,
                    QFileInfo(recording).size() / 1e6);
    }
    std::printf("ticks: %d\n", int(lateness.size()));
    std::printf("tick lateness p99 ms: %.2f\n", p99);
    std::printf("cpu %% of one core: %.1f\n", cpu);
    return 0;
}
