#pragma once

// What the view and scene tests share: point lists as text, a recording
// paint device, picture comparisons, mouse sequences on the viewport, the
// view on its own (Editor) and in a started tool (Tool), and sweeps and zones
// of thousands of points.

#include "core/link/ScanRecord.h"
#include "core/project/ProjectFile.h"
#include "core/sensor/SensorDockValues.h"
#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "graphics/PAINT_TABLE.h"
#include "graphics/PointHandles.h"
#include "graphics/ScanItems.h"
#include "graphics/ScreenDrawing.h"
#include "graphics/StandaloneView.h"
#include "graphics/ViewWindow.h"
#include "graphics/ZoneItems.h"
#include "graphics/ZonePainter.h"
#include "gui/MainWindow.h"
#include "gui/UiPrompt.h"
#include "gui/editors/AREA_TABLE.h"
#include "gui/editors/COORD_TABLE.h"
#include "ui_mainwindow.h"

#include "tests/support/PointText.h"
#include "tests/support/PrivateSettings.h"
#include "tests/support/TestFiles.h"
#include "tests/support/ViewInput.h"

#include <QPaintEngine>
#include <QRandomGenerator>
#include <QSettings>
#include <QStyleOptionGraphicsItem>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtMath>
#include <QtTest>

#include <limits>
#include <memory>

// Takes what a drawing pass hands to the paint engine, untransformed.
class Recorder : public QPaintDevice
{
public:
    struct Text { QPointF pos; QString text; int pointSize; };
    QList<Text> texts;
    QList<QRectF> ellipses;
    QList<QPair<QRectF, QColor>> rects;

    Recorder() { m_engine.owner = this; }
    QPaintEngine *paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        return m == PdmDepth ? 32 : m == PdmDevicePixelRatio ? 1
             : m == PdmDevicePixelRatioScaled ? int(devicePixelRatioFScale())
             : m >= PdmDpiX ? 96 : 100000;
    }

private:
    struct Engine : QPaintEngine {
        Recorder *owner = nullptr;
        QColor brush;
        Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        Type type() const override { return QPaintEngine::User; }
        void updateState(const QPaintEngineState &s) override
        {
            if (s.state() & DirtyBrush)
                brush = s.brush().color();
        }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawTextItem(const QPointF &p, const QTextItem &ti) override
        {
            owner->texts << Text{p, ti.text(), ti.font().pointSize()};
        }
        void drawEllipse(const QRectF &r) override { owner->ellipses << r; }
        void drawEllipse(const QRect &r) override { owner->ellipses << QRectF(r); }
        void drawRects(const QRect *r, int n) override
        {
            for (int i = 0; i < n; ++i)
                owner->rects << qMakePair(QRectF(r[i]), brush);
        }
        void drawRects(const QRectF *r, int n) override
        {
            for (int i = 0; i < n; ++i)
                owner->rects << qMakePair(r[i], brush);
        }
        void drawPath(const QPainterPath &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        void drawPolygon(const QPoint *, int, PolygonDrawMode) override {}
        void drawLines(const QLineF *, int) override {}
        void drawLines(const QLine *, int) override {}
        void drawPoints(const QPointF *, int) override {}
        void drawPoints(const QPoint *, int) override {}
    };
    mutable Engine m_engine;
};

inline bool near(QRgb c, const QColor &want, int tol = 3)
{
    return qAbs(qRed(c) - want.red()) <= tol && qAbs(qGreen(c) - want.green()) <= tol
           && qAbs(qBlue(c) - want.blue()) <= tol;
}

inline QString rgb(QRgb c) { return QStringLiteral("(%1,%2,%3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c)); }

// Pixels whose colour differs by more than a faint antialiasing step.
inline qint64 countDiffering(const QImage &a, const QImage &b, int tol = 16)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size())
        return std::numeric_limits<qint64>::max();
    qint64 n = 0;
    for (int r = 0; r < x.height(); ++r) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(r));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(r));
        for (int c = 0; c < x.width(); ++c)
            if (qAbs(qRed(p[c]) - qRed(q[c])) > tol || qAbs(qGreen(p[c]) - qGreen(q[c])) > tol
                || qAbs(qBlue(p[c]) - qBlue(q[c])) > tol)
                ++n;
    }
    return n;
}

using namespace ViewInput;

// The view and scene controller of a Laser30 design, wired as the main
// window wires them, at zoom 50: one view pixel is exactly 16 mm.
struct Editor {
    ZoneStore store;
    ScanRecord scan;
    std::unique_ptr<StandaloneView> sv;
    ViewWindow *view = nullptr;
    OPTION_SCENE *sc = nullptr;

    Editor(int shape, const QString &points, int channel = 0, QSize size = QSize(800, 600))
    {
        store.areas[0].shape[channel] = shape;
        store.areas[0].points[channel] = pts(points);
        sv = std::make_unique<StandaloneView>(&store, &scan, 3, size);
        view = sv->view();
        sc = sv->scene();
        QObject::connect(view, &ViewWindow::AddCenterPointItem, sc, &OPTION_SCENE::AddCenterPointItemSlots);
        QObject::connect(view, &ViewWindow::MovePointItem, sc, &OPTION_SCENE::MovePointItemSlots);
        QObject::connect(view, &ViewWindow::DeletePointItem, sc, &OPTION_SCENE::DeletePointItemSlots);
        sv->setZoom(50);
        sv->showArea(0, channel);
    }
    QVector<QPoint> &points(int channel = 0) { return store.areas[0].points[channel]; }
};

struct Tool {
    ZoneStore store;
    ScanRecord scan;
    MainWindow window{&store, &scan};
    Ui::MainWindow *ui = window.form();
    ViewWindow *view = ui->graphicsView;

    Tool()
    {
        window.resize(1400, 950);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    // A polygon on Out1 of area 0, shown as the area list shows an edit, at
    // 16 mm per pixel around the sensor.
    void polygon(const QString &points)
    {
        store.areas[0].points[0] = pts(points);
        Q_EMIT window.areaTable()->EditAreaDataSignal();
        ui->ZoomSlider->setValue(50);
        view->centerOn(0, 0);
        QApplication::processEvents();
    }
};

// What every view test object holds first: private settings, the handle
// type for queued signals, and prompts that answer nothing.
struct QuietViewTests {
    PrivateSettings settings;
    QuietViewTests()
    {
        qRegisterMetaType<QGraphicsItem *>("QGraphicsItem*");
        UiPrompt::setBoxAnswer([](const UiPrompt::Box &) { return -1; });
        UiPrompt::setFileAnswer([](const UiPrompt::FileQuestion &) { return QString(); });
    }
};

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

// Ethernet sweeps the scan items thin and clip, by kind: "noisy" (a wall
// with noise, dropouts and a far gap), "rain" (5000 steps, each between 1 and
// 20 m at random), and two a line is often drawn over: "flat runs" (a wall
// seen square on, broken by steps) and "near and far" (steps alternating
// between two surfaces, an edge seen through a fence).
inline ScanRecord sweepOf(const QString &kind, int mode)
{
    ScanRecord scan;
    scan.connectionType = 1;
    scan.displayMode = mode;
    scan.sweepLength = kind == "rain" ? 5000 : ScanRecord::kRingSize;
    QRandomGenerator rng(kind == "noisy" ? 61 : kind == "rain" ? 5000 : 17);
    for (int i = 0; i < scan.sweepLength; ++i) {
        int d = 0, intensity = 0;
        if (kind == "noisy") {
            d = 2500 + int(1500 * std::sin(i * 0.0021)) + rng.bounded(-40, 41);
            d = i % 997 == 0 ? 0 : i > 12000 && i < 12400 ? 9000 : d;
            intensity = 600 + rng.bounded(400);
        } else if (kind == "rain") {
            d = 1000 + rng.bounded(19000);
            intensity = rng.bounded(2000);
        } else {
            d = kind == "flat runs" ? 1500 + 1000 * ((i / 1500) % 3)
                                    : (i % 2 ? 3500 : 1200) + rng.bounded(-30, 31);
            intensity = 700 + rng.bounded(200);
        }
        scan.distanceRing[size_t(i)] = std::uint16_t(d);
        scan.intensityRing[size_t(i)] = std::uint16_t(intensity);
    }
    return scan;
}

// A Laser30 project whose area 0 has the given Out1 polygon.
inline QByteArray projectWithOut1(const QString &points)
{
    QByteArray file = freshLaser30();
    QByteArray body = "Out1CoordStr\n";
    for (const QPoint &p : pts(points))
        body += QByteArray::number(p.x()) + ',' + QByteArray::number(p.y()) + '\n';
    const int at = file.indexOf("Out1CoordStr\nOut1CoordEnd\n");
    if (at >= 0)
        file.replace(at, int(strlen("Out1CoordStr\n")), body);
    return file;
}

constexpr char kBox[] = "1200,200 1200,1000 -1200,1000 -1200,200";

// A zone of `n` vertices evenly over the sensor's 320 degrees, each at a
// random distance between lo and hi millimetres: a noisy import.
inline QVector<QPoint> noisyZone(int n, int lo, int hi)
{
    QRandomGenerator rng{quint32(n)};
    QVector<QPoint> list;
    for (int i = 0; i < n; ++i) {
        const double t = qDegreesToRadians(-70 + 320.0 * i / n);
        const double r = lo + rng.bounded(double(hi - lo));
        list << QPoint(int(r * std::cos(t)), int(r * std::sin(t)));
    }
    return list;
}

// A 400x300 picture of the scene around (x, -y) at a zoom level, drawn by
// `draw` in scene coordinates.
template <typename Draw>
inline QImage scenePicture(int zoom, QPointF centre, Draw draw)
{
    const double s = std::pow(2.0, (zoom - 250) / 50.0);
    QImage img(400, 300, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(200 - centre.x() * s, 150 + centre.y() * s);
    p.scale(s, s);
    draw(p);
    return img;
}

