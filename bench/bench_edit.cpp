// Edits of a full design in the main window, offscreen, each timed from the
// user's action until the window has painted it: every one of the 64 areas
// holds 100 polygon points on each of its three outputs. Opens the design
// from a project file, then types cells into the coordinate tables, drags a
// handle in the view step by step, undoes, and switches areas in the list.
//
// Prints "open ms: X", one line per kind of edit, and last
// "edit ms: median X p95 Y" over all edits.

#include "bench/BenchStats.h"
#include "core/link/ScanRecord.h"
#include "core/project/ProjectFile.h"
#include "core/sensor/SensorDockValues.h"
#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "graphics/ViewWindow.h"
#include "gui/MainWindow.h"
#include "gui/UiPrompt.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsItem>
#include <QMouseEvent>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
// Every area full: 100 points a star-shaped outline on each output, each
// area and output a little different.
void fillDesign(ZoneStore &store)
{
    for (int a = 0; a < kAreaCount; ++a)
        for (int o = 0; o < 3; ++o) {
            AreaRecord &r = store.areas[a];
            r.shape[o] = ShapePolygon;
            r.points[o].clear();
            for (int i = 0; i < 100; ++i) {
                const double t = qDegreesToRadians(-40 + 260.0 * i / 99);
                const double d = 6000 - 1500 * o + 800 * std::sin(i * 0.37 + a) + 10 * a;
                r.points[o] << QPoint(int(d * std::cos(t)), int(d * std::sin(t)));
            }
        }
}

// The action, then everything it queued, painted as the screen would.
double timed(const std::function<void()> &action)
{
    QElapsedTimer t;
    t.start();
    action();
    QApplication::processEvents();
    return t.nsecsElapsed() / 1e6;
}

// Counts the paints of a widget, to make sure what is timed reaches the
// screen.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void send(QWidget *viewport, QEvent::Type type, QPoint px, Qt::MouseButton button,
          Qt::MouseButtons held)
{
    QMouseEvent e(type, px, viewport->mapToGlobal(px), button, held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &e);
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    UiPrompt::setBoxAnswer([](const UiPrompt::Box &) { return -1; });
    UiPrompt::setFileAnswer([](const UiPrompt::FileQuestion &) { return QString(); });

    const QString project = dir.filePath("full.ZQ30");
    {
        ZoneStore full;
        fillDesign(full);
        if (ProjectFile::saveProject(project, 3, SensorDockValues::defaults(), full) !=
            ProjectFile::SaveResult::Saved) {
            std::fprintf(stderr, "bench-edit: cannot write %s\n", qPrintable(project));
            return 1;
        }
    }

    ZoneStore store;
    ScanRecord scan;
    MainWindow window(&store, &scan);
    Ui::MainWindow *ui = window.form();
    window.resize(1400, 950);
    window.show();
    QApplication::processEvents();

    const double open = timed([&] { window.openProjectFile(project); });
    if (store.areas[63].points[2].size() != 100) {
        std::fprintf(stderr, "bench-edit: the design did not open\n");
        return 1;
    }

    PaintCounter viewPaints, tablePaints;
    ui->graphicsView->viewport()->installEventFilter(&viewPaints);
    ui->CoordTableWidgetOut1->viewport()->installEventFilter(&tablePaints);
    std::vector<double> all;
    const auto report = [&all](const char *what, const std::vector<double> &ms) {
        const Stats s = stats(ms);
        std::printf("%s ms: median %.2f p95 %.2f\n", what, s.median, s.p95);
        all.insert(all.end(), ms.begin(), ms.end());
    };

    // Typed cells: X and Y of Out1, distances of Out2, in the tables.
    std::vector<double> typed;
    QTableWidget *xy1 = ui->CoordTableWidgetOut1;
    QTableWidget *polar2 = ui->PolarTableWidgeOut2;
    for (int k = 0; k < 60; ++k) {
        const int row = (k * 7) % 100;
        if (k % 3 == 2) {
            ui->AreaEditTab->setCurrentIndex(1);
            QApplication::processEvents();
            typed.push_back(
                timed([&] { polar2->item(row, 1)->setText(QString::number(3000 + 10 * k)); }));
            ui->AreaEditTab->setCurrentIndex(0);
            QApplication::processEvents();
        } else {
            typed.push_back(
                timed([&] { xy1->item(row, 1 + k % 2)->setText(QString::number(2000 + 13 * k)); }));
        }
    }
    report("typed cell", typed);
    std::printf("(view painted %d times, Out1 table %d times)\n", viewPaints.paints,
                tablePaints.paints);

    // A handle dragged across the view, step by step, then let go.
    std::vector<double> drag;
    ViewWindow *view = ui->graphicsView;
    QWidget *vp = view->viewport();
    for (int round = 0; round < 3; ++round) {
        QGraphicsItem *handle = window.optionScene()->handles().value(20 + 10 * round);
        if (!handle)
            break;
        const QPoint from = view->mapFromScene(handle->scenePos());
        send(vp, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        QApplication::processEvents();
        for (int s = 1; s <= 30; ++s) {
            const QPoint at = from + QPoint(s, s / 2);
            drag.push_back(
                timed([&] { send(vp, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton); }));
        }
        drag.push_back(timed([&] {
            send(vp, QEvent::MouseButtonRelease, from + QPoint(30, 15), Qt::LeftButton,
                 Qt::NoButton);
        }));
    }
    report("handle drag step", drag);
    std::printf("(view painted %d times; area 0 Out1 point 19 now %d,%d)\n", viewPaints.paints,
                store.areas[0].points[0].value(19).x(), store.areas[0].points[0].value(19).y());

    // Undo, one step at a time.
    std::vector<double> undo;
    for (int k = 0; k < 30; ++k)
        undo.push_back(timed([&] { ui->Undo->trigger(); }));
    report("undo", undo);

    // Area switches from the list, as a click on a row does.
    std::vector<double> areas;
    QTableWidget *list = ui->AreaTableWidget;
    for (int k = 1; k <= 40; ++k) {
        const int row = (k * 17) % kAreaCount;
        areas.push_back(timed([&] { Q_EMIT list->cellClicked(row, 0); }));
    }
    report("area switch", areas);

    std::printf("open ms: %.2f\n", open);
    const Stats s = stats(all);
    std::printf("edit ms: median %.2f p95 %.2f\n", s.median, s.p95);
    return 0;
}
