// A recording at the finest resolution (12800 steps a sweep, 10 sweeps a
// second, distances and intensities of the emulator's hall with its walking
// object) written for ten minutes, then replayed against a design whose Out1
// the object crosses, as sector-cli replay does: the file's size, the time
// one sweep takes to write, and the replay's time and cost per sweep.
//
// Last line: "replay s (10 min): X".

#include "core/sensor/Replay.h"
#include "core/sensor/ScanRecording.h"
#include "sim/SimScene.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    constexpr int kSteps = 12800;  // 0.025 degree over 320 degrees
    constexpr int kPeriodMs = 100; // 10 Hz at that resolution
    constexpr int kMinute = 600;   // sweeps
    constexpr int kMinutes = 10;

    // One minute of the hall, measured; the ten minutes repeat it (each
    // sweep is compressed on its own, so the size is that of ten real ones).
    SimScene scene;
    std::vector<ScanRecording::Sweep> minute(kMinute);
    std::vector<std::uint16_t> d, i;
    for (int k = 0; k < kMinute; ++k) {
        scene.advance(kPeriodMs / 1000.0);
        scene.sweep(kSteps, d, i);
        ScanRecording::Sweep &s = minute[size_t(k)];
        s.startDeg = -70.0f;
        s.stepDeg = 320.0f / kSteps;
        s.distances = QVector<std::uint16_t>(d.begin(), d.end());
        s.intensities = QVector<std::uint16_t>(i.begin(), i.end());
        s.ioKnown = true;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath("ten-minutes.scanrec");
    ScanRecording::Writer writer;
    if (!writer.open(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::vector<double> writeMs;
    QElapsedTimer t;
    for (int m = 0; m < kMinutes; ++m) {
        for (int k = 0; k < kMinute; ++k) {
            ScanRecording::Sweep s = minute[size_t(k)];
            s.timeMs = std::uint32_t((m * kMinute + k) * kPeriodMs);
            s.ioTimeMs = s.timeMs;
            t.start();
            writer.add(s);
            writeMs.push_back(t.nsecsElapsed() / 1e6);
        }
    }
    writer.close();
    const double mb = QFileInfo(path).size() / 1e6;
    std::sort(writeMs.begin(), writeMs.end());

    // Out1: the triangle between the sensor and (2000, 4000), (4000, 4000).
    QVector<AreaRecord> areas(kAreaCount);
    areas[0].points[0] = {{2000, 4000}, {4000, 4000}};
    areas[0].openDelay = 5;
    areas[0].closeDelay = 10;
    Replay::Options options;
    options.sceneSpan = 72000;
    t.start();
    ScanRecording::Reader reader;
    QString why;
    if (!reader.open(path, &why)) {
        std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(path), qPrintable(why));
        return 1;
    }
    const Replay::Result r = Replay::evaluate(
        reader.count(), [&](int k, ScanRecording::Sweep &s) { return reader.sweep(k, s, false); },
        areas, options);
    const double replayS = t.nsecsElapsed() / 1e9;
    std::printf("sweeps: %d of %d steps, %d switches of Out1\n", int(r.timeMs.size()), kSteps,
                int(r.events.size()));
    std::printf("recording MB per minute: %.1f\n", mb / kMinutes);
    std::printf("recording MB (10 min): %.1f\n", mb);
    std::printf("write ms per sweep: median %.2f p95 %.2f\n", writeMs[writeMs.size() / 2],
                writeMs[writeMs.size() * 95 / 100]);
    std::printf("replay us per sweep: %.0f\n", replayS * 1e6 / std::max(1, int(r.timeMs.size())));
    std::printf("replay s (10 min): %.2f\n", replayS);
    return 0;
}
