// Whole-viewport repaints of the real view and scene controller, offscreen,
// in a 1190x715 viewport: grid, rings, blind region, labels, an Out1 polygon
// of 100 points, a Fan Out2 and a Straight Out3, and both scan items fed with
// a fresh noisy 30000-step sweep before every frame, as arriving scans at
// 20 Hz would. Times scan arrival to pixels, in each display mode at the
// widest and at a close zoom.
//
// bench-frame [--only graph|cloud|line] runs one mode at the widest zoom
// (for a profiler).
//
// Before the last line: "frame ms (cloud): median X p95 Y" and
// "frame ms (line): median X p95 Y", widest zoom.
// Last line: "frame ms: median X p95 Y" (Graph mode, widest zoom).

#include "bench/BenchStats.h"
#include "core/link/ScanRecord.h"
#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "graphics/PointHandles.h"
#include "graphics/ScanItems.h"
#include "graphics/StandaloneView.h"
#include "graphics/ViewWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsItem>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
void freshSweep(ScanRecord &scan, QRandomGenerator &rng)
{
    scan.connectionType = 1;
    scan.sweepLength = 30000;
    for (int i = 0; i < 30000; ++i) {
        scan.distanceRing[size_t(i)] =
            std::uint16_t(6000 + 4000 * std::sin(i / 900.0) + rng.bounded(60));
        scan.intensityRing[size_t(i)] = std::uint16_t(1500 + rng.bounded(400));
    }
}

const char *const kModeNames[3] = {"graph", "cloud", "line"};
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int only = -1;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--only") == 0)
            for (int m = 0; m < 3; ++m)
                if (std::strcmp(argv[i + 1], kModeNames[m]) == 0)
                    only = m;

    ZoneStore store;
    ScanRecord scan;
    AreaRecord &a = store.areas[0];
    for (int i = 0; i < 100; ++i) {
        const double t = (-60 + 240.0 * i / 99) * M_PI / 180;
        const double r = 5000 + 1500 * std::sin(i * 0.7);
        a.points[0] << QPoint(int(r * std::cos(t)), int(r * std::sin(t)));
    }
    a.shape[1] = ShapeFan;
    a.points[1] = {QPoint(0, 4000)};
    a.shape[2] = ShapeStraight;
    a.points[2] = {QPoint(0, 2000)};

    StandaloneView sv(&store, &scan, 3, QSize(1190, 715));
    sv.showArea(0, 0);
    QWidget *viewport = sv.view()->viewport();
    OPTION_SCENE *sc = sv.scene();
    QRandomGenerator rng(1);

    const int frames = 200;
    const int zooms[2] = {-55, 200};
    Stats widest[3] = {};
    for (int z : zooms) {
        if (only >= 0 && z != zooms[0])
            continue;
        sv.setZoom(z);
        for (int mode = 0; mode < 3; ++mode) {
            if (only >= 0 && mode != only)
                continue;
            scan.displayMode = mode;
            std::vector<double> ms;
            for (int f = 0; f < frames + 5; ++f) {
                freshSweep(scan, rng);
                QElapsedTimer t;
                t.start();
                sc->UpdataPaintOutline();
                sc->UpdataPaintIntensity();
                viewport->repaint();
                if (f >= 5) // warm-up
                    ms.push_back(t.nsecsElapsed() / 1e6);
            }
            const Stats s = stats(ms);
            std::printf("%s zoom %d frame ms: median %.2f p95 %.2f\n", kModeNames[mode], z,
                        s.median, s.p95);
            if (z == zooms[0])
                widest[mode] = s;
        }
    }
    if (only >= 0)
        return 0;

    // One handle dragged: the handle moves, the zone follows, all repainted.
    sv.setZoom(-55);
    scan.displayMode = 0;
    QGraphicsItem *handle = sc->handles().value(10);
    std::vector<double> drag;
    for (int f = 0; f < 100 && handle; ++f) {
        QElapsedTimer t;
        t.start();
        handle->setPos(handle->pos() + QPointF(f % 2 ? 50 : -50, 0));
        sc->MovePointItemSlots(handle);
        viewport->repaint();
        drag.push_back(t.nsecsElapsed() / 1e6);
    }
    // Building the scan items from a 30000-step sweep.
    std::vector<double> build;
    for (int f = 0; f < 100; ++f) {
        freshSweep(scan, rng);
        QElapsedTimer t;
        t.start();
        sc->outlineItem()->rebuild();
        sc->intensityItem()->rebuild();
        build.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("handle drag repaint ms: median %.2f\n", stats(drag).median);
    std::printf("scan items build ms: median %.2f\n", stats(build).median);
    for (int mode : {1, 2})
        std::printf("frame ms (%s): median %.2f p95 %.2f\n", kModeNames[mode], widest[mode].median,
                    widest[mode].p95);
    std::printf("frame ms: median %.2f p95 %.2f\n", widest[0].median, widest[0].p95);
    return 0;
}
