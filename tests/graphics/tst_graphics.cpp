// The view window, the scene controller and its items, drawn and driven as a
// user would: zoom controls, drawing passes recorded at the paint engine,
// pictures probed pixel by pixel, mouse sequences on the real viewport, and
// the pictures sector-cli renders.
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

#include "tests/support/TestFiles.h"

#include <QMouseEvent>
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

namespace {

QVector<QPoint> pts(const QString &text)
{
    QVector<QPoint> list;
    for (const QString &p : text.split(' ', Qt::SkipEmptyParts)) {
        const QStringList xy = p.split(',');
        list << QPoint(xy[0].toInt(), xy[1].toInt());
    }
    return list;
}

QString str(const QVector<QPoint> &list)
{
    QStringList out;
    for (const QPoint &p : list)
        out << QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
    return out.join(' ');
}

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

bool near(QRgb c, const QColor &want, int tol = 3)
{
    return qAbs(qRed(c) - want.red()) <= tol && qAbs(qGreen(c) - want.green()) <= tol
           && qAbs(qBlue(c) - want.blue()) <= tol;
}

QString rgb(QRgb c) { return QStringLiteral("(%1,%2,%3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c)); }

// Pixels whose colour differs by more than a faint antialiasing step.
qint64 countDiffering(const QImage &a, const QImage &b, int tol = 16)
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

void send(QWidget *viewport, QEvent::Type type, QPoint px, Qt::MouseButton button,
          Qt::MouseButtons held, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, px, viewport->mapToGlobal(px), button, held, mods);
    QApplication::sendEvent(viewport, &e);
}

// Press, move in steps, release: a left drag by (dx, dy) view pixels.
void drag(ViewWindow *view, QPoint from, QPoint by, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget *vp = view->viewport();
    send(vp, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, mods);
    for (int k = 1; k <= 4; ++k)
        send(vp, QEvent::MouseMove, from + by * k / 4, Qt::NoButton, Qt::LeftButton, mods);
    send(vp, QEvent::MouseButtonRelease, from + by, Qt::LeftButton, Qt::NoButton, mods);
}

void rightClick(ViewWindow *view, QPoint at)
{
    send(view->viewport(), QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
    send(view->viewport(), QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
}

QPoint pixelOf(ViewWindow *view, int x, int y) { return view->mapFromScene(QPointF(x, -y)); }

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

ScanRecord noisySweep(int mode)
{
    ScanRecord scan;
    scan.connectionType = 1;
    scan.displayMode = mode;
    scan.sweepLength = ScanRecord::kRingSize;
    QRandomGenerator rng(61);
    for (int i = 0; i < ScanRecord::kRingSize; ++i) {
        int d = 2500 + int(1500 * std::sin(i * 0.0021)) + rng.bounded(-40, 41);
        if (i % 997 == 0)
            d = 0; // dropouts
        if (i > 12000 && i < 12400)
            d = 9000; // a far wall through the gap
        scan.distanceRing[size_t(i)] = std::uint16_t(d);
        scan.intensityRing[size_t(i)] = std::uint16_t(600 + rng.bounded(400));
    }
    return scan;
}

// A sweep in rain or dust: 5000 steps, each between 1 and 20 m at random.
ScanRecord rainSweep(int mode)
{
    ScanRecord scan;
    scan.connectionType = 1;
    scan.displayMode = mode;
    scan.sweepLength = 5000;
    QRandomGenerator rng(5000);
    for (int i = 0; i < scan.sweepLength; ++i) {
        scan.distanceRing[size_t(i)] = std::uint16_t(1000 + rng.bounded(19000));
        scan.intensityRing[size_t(i)] = std::uint16_t(rng.bounded(2000));
    }
    return scan;
}

// A Laser30 project whose area 0 has the given Out1 polygon.
QByteArray projectWithOut1(const QString &points)
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

const char kBox[] = "1200,200 1200,1000 -1200,1000 -1200,200";

// A zone of `n` vertices evenly over the sensor's 320 degrees, each at a
// random distance between lo and hi millimetres: a noisy import.
QVector<QPoint> noisyZone(int n, int lo, int hi)
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
QImage scenePicture(int zoom, QPointF centre, Draw draw)
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

} // namespace

class TestGraphics : public QObject
{
    Q_OBJECT
    QTemporaryDir m_settingsDir;
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        qRegisterMetaType<QGraphicsItem *>("QGraphicsItem*");
        UiPrompt::setBoxAnswer([](const UiPrompt::Box &) { return -1; });
        UiPrompt::setFileAnswer([](const UiPrompt::FileQuestion &) { return QString(); });
    }

    // ------------------------------------------------------------ zoom

    void zoomClamps_data()
    {
        QTest::addColumn<int>("model"); // -1: no device type set
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("level");
        QTest::addColumn<double>("exponent"); // scale = 2^exponent
        QTest::addColumn<int>("announced");   // ChangeMatrixSignal value, or INT_MIN for none
        QTest::newRow("wheel-up-from-345") << -1 << 345 << "wheel+" << 350 << 2.0 << 350;
        QTest::newRow("wheel-down-from-345") << 3 << 345 << "wheel-" << 335 << 1.7 << 335;
        QTest::newRow("zoom-out-at-laser30-min") << 3 << -55 << "out" << -55 << -6.1 << -55;
        QTest::newRow("zoom-in-at-max") << 3 << 350 << "in" << 350 << 2.0 << 350;
        QTest::newRow("zoom-in") << 3 << 99 << "in" << 100 << -3.0 << 100;
        QTest::newRow("wheel-down-at-laser05-min") << 0 << 75 << "wheel-" << 70 << -3.6 << 70;
        QTest::newRow("zoom-out-at-laser10-min") << 1 << 30 << "out" << 30 << -4.4 << 30;
        QTest::newRow("wheel-down-near-laser20-min") << 2 << -15 << "wheel-" << -20 << -5.4 << -20;
        QTest::newRow("no-type-no-lower-limit") << -1 << -250 << "out" << -251 << -10.02 << -251;
        QTest::newRow("slider-below-laser50-min") << 4 << 0 << "slider:-120" << -90 << -6.8 << INT_MIN;
        QTest::newRow("slider-above-max") << 4 << 0 << "slider:400" << 350 << 2.0 << INT_MIN;
        QTest::newRow("slider-no-type") << -1 << 0 << "slider:-300" << -300 << -11.0 << INT_MIN;
    }
    void zoomClamps()
    {
        QFETCH(int, model);
        QFETCH(int, start);
        QFETCH(QString, action);
        QFETCH(int, level);
        QFETCH(double, exponent);
        QFETCH(int, announced);
        ViewWindow view;
        DEVICETYPE type{model};
        if (model >= 0)
            view.SetDeviceType(&type);
        view.ChangeSetupMatrix(start);
        QSignalSpy matrix(&view, &ViewWindow::ChangeMatrixSignal);
        QSignalSpy scale(&view, qOverload<double>(&ViewWindow::ChangeSetupMatrix));
        if (action.startsWith("wheel")) {
            QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, action.endsWith('+') ? 120 : -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view.viewport(), &e);
            QVERIFY(e.isAccepted());
        } else if (action == "in") {
            view.ZoomInButtonSlots();
        } else if (action == "out") {
            view.ZoomOutButtonSlots();
        } else {
            view.ChangeSetupMatrix(action.section(':', 1).toInt());
        }
        const double want = std::pow(2.0, exponent);
        QCOMPARE(view.zoomLevel(), level);
        QVERIFY2(qAbs(view.scaleFactor() / want - 1) < 1e-9, qPrintable(QString::number(view.scaleFactor())));
        QVERIFY(qAbs(view.transform().m11() / want - 1) < 1e-9);
        QVERIFY(qAbs(view.transform().m22() / want - 1) < 1e-9);
        QCOMPARE(scale.count(), 1);
        QVERIFY(qAbs(scale.at(0).at(0).toDouble() / want - 1) < 1e-9);
        if (announced == INT_MIN) {
            QCOMPARE(matrix.count(), 0);
        } else {
            QCOMPARE(matrix.count(), 1);
            QCOMPARE(matrix.at(0).at(0).toInt(), announced);
        }
    }

    // The wheel takes the delta of its dominant axis, so a sideways wheel
    // zooms as well; only a delta below 1 zooms out.
    void wheelDirection_data()
    {
        QTest::addColumn<QPoint>("angleDelta");
        QTest::addColumn<int>("level");
        QTest::newRow("vertical-up") << QPoint(0, 120) << 210;
        QTest::newRow("vertical-down") << QPoint(0, -120) << 190;
        QTest::newRow("sideways-positive") << QPoint(120, 0) << 210;
        QTest::newRow("sideways-negative") << QPoint(-120, 0) << 190;
        QTest::newRow("mostly-sideways") << QPoint(120, -60) << 210;
        QTest::newRow("tie-takes-vertical") << QPoint(120, -120) << 190;
    }
    void wheelDirection()
    {
        QFETCH(QPoint, angleDelta);
        QFETCH(int, level);
        ViewWindow view;
        view.ChangeSetupMatrix(200);
        QSignalSpy matrix(&view, &ViewWindow::ChangeMatrixSignal);
        QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), angleDelta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &e);
        QCOMPARE(view.zoomLevel(), level);
        QCOMPARE(matrix.count(), 1);
        QCOMPARE(matrix.at(0).at(0).toInt(), level);
    }

    // Slider, buttons and wheel as wired in the main window: the slider
    // follows the view, the view follows the slider, neither loops.
    void zoomControlsInMainWindow()
    {
        Tool t;
        QSlider *slider = t.ui->ZoomSlider;
        QCOMPARE(t.view->zoomLevel(), -55);
        const double minScale = t.view->scaleFactor();
        QVERIFY(qAbs(*t.window.optionScene()->scaleSize() - minScale) < 1e-12);

        QTest::mouseClick(t.ui->ZoomOut, Qt::LeftButton);
        QCOMPARE(slider->value(), -55);
        QCOMPARE(t.view->scaleFactor(), minScale);

        QTest::mouseClick(t.ui->ZoomIn, Qt::LeftButton);
        QCOMPARE(slider->value(), -54);
        QCOMPARE(t.view->zoomLevel(), -54);

        QSignalSpy matrix(t.view, &ViewWindow::ChangeMatrixSignal);
        slider->setValue(100);
        QCOMPARE(t.view->zoomLevel(), 100);
        QCOMPARE(t.view->scaleFactor(), 0.125);
        QCOMPARE(*t.window.optionScene()->scaleSize(), 0.125);
        QCOMPARE(matrix.count(), 0);

        slider->setValue(345);
        QWheelEvent up(QPointF(50, 50), QPointF(t.view->viewport()->mapToGlobal(QPoint(50, 50))), QPoint(),
                       QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(t.view->viewport(), &up);
        QCOMPARE(slider->value(), 350);
        QCOMPARE(t.view->scaleFactor(), 4.0);
        QCOMPARE(*t.window.optionScene()->scaleSize(), 4.0);
    }

    // ------------------------------------------------------------ grid

    void gridSteps_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("grid");
        QTest::addColumn<int>("label");
        QTest::newRow("4") << 4.0 << 10 << 50;
        QTest::newRow("3.5001") << 3.5001 << 10 << 50;
        QTest::newRow("3.5") << 3.5 << 100 << 100;
        QTest::newRow("0.37893") << 0.37893 << 100 << 100;
        QTest::newRow("0.378929") << 0.378929 << 1000 << 1000;
        QTest::newRow("0.0544095") << 0.0544095 << 1000 << 1000;
        QTest::newRow("0.0544094") << 0.0544094 << 10000 << 10000;
        QTest::newRow("laser50-min") << 0.0089742 << 10000 << 10000;
    }
    void gridSteps()
    {
        QFETCH(double, scale);
        QFETCH(int, grid);
        QFETCH(int, label);
        QCOMPARE(ViewWindow::gridStep(scale), grid);
        QCOMPARE(ViewWindow::labelStep(scale), label);
    }

    void gridStart_data()
    {
        QTest::addColumn<double>("v");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("start");
        QTest::newRow("-1500") << -1500.0 << 1000 << -1000;
        QTest::newRow("2500") << 2500.0 << 1000 << 2000;
        QTest::newRow("-2000") << -2000.0 << 1000 << -2000;
        QTest::newRow("-1234.9") << -1234.9 << 100 << -1200;
        QTest::newRow("1234.9") << 1234.9 << 100 << 1200;
        QTest::newRow("-36000") << -36000.0 << 10000 << -30000;
        QTest::newRow("-7.9") << -7.9 << 10 << 0;
    }
    void gridStart()
    {
        QFETCH(double, v);
        QFETCH(int, step);
        QFETCH(int, start);
        QCOMPARE(ViewWindow::gridStart(v, step), start);
    }

    // The labels as drawn: metres, at the grid positions, a font that keeps
    // its size on screen.
    void labels_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<QStringList>("xLabels"); // "x=text", drawn at the bottom
        QTest::addColumn<QStringList>("yLabels"); // "y=text", drawn at the left edge
        QTest::addColumn<int>("pointSize");
        QTest::newRow("1 m") << 100 << QPointF(0, 0) << QStringList{"-2000=-2", "0=0", "2000=2"}
                             << QStringList{"-2000=-2", "-1000=-1", "1000=1", "2000=2"} << 80;
        QTest::newRow("50 mm") << 350 << QPointF(0, 0) << QStringList{"-50=-0.05", "50=0.05"}
                               << QStringList{"-50=-0.05", "0=0", "50=0.05"} << 2;
        QTest::newRow("100 mm off centre") << 200 << QPointF(1500, -300)
                                           << QStringList{"1500=1.5", "1400=1.4", "1000=1"}
                                           << QStringList{"-300=-0.3", "-600=-0.6"} << 20;
        QTest::newRow("10 m") << 0 << QPointF(0, 0) << QStringList{"-10000=-10", "10000=10"}
                              << QStringList{"0=0"} << 320;
    }
    void labels()
    {
        QFETCH(int, level);
        QFETCH(QPointF, centre);
        QFETCH(QStringList, xLabels);
        QFETCH(QStringList, yLabels);
        QFETCH(int, pointSize);
        ZoneStore store;
        ScanRecord scan;
        StandaloneView sv(&store, &scan, 3, QSize(700, 560));
        sv.setZoom(level);
        sv.view()->centerOn(centre);
        const QPointF top = sv.view()->mapToScene(QPoint(0, 0));
        const double yb = sv.view()->mapToScene(QPoint(0, 560 - 25)).y();
        Recorder rec;
        {
            QPainter p(&rec);
            sv.view()->drawForeground(&p, QRectF());
        }
        QMap<QString, QString> xs, ys;
        for (const Recorder::Text &t : qAsConst(rec.texts)) {
            QCOMPARE(t.pointSize, pointSize);
            if (t.pos.x() == int(top.x()))
                ys[QString::number(t.pos.y())] = t.text;
            if (t.pos.y() == int(yb))
                xs[QString::number(t.pos.x())] = t.text;
        }
        for (const QString &l : xLabels)
            QCOMPARE(xs.value(l.section('=', 0, 0), "<none>"), l.section('=', 1));
        for (const QString &l : yLabels)
            QCOMPARE(ys.value(l.section('=', 0, 0), "<none>"), l.section('=', 1));
    }

    void rings_data()
    {
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<QList<int>>("radii");
        // 1 m steps, the view +-2800 x +-2240 mm around the centre.
        QTest::newRow("origin in view") << QPointF(0, 0) << QList<int>{3000, 2000, 1000, 0};
        QTest::newRow("far from both axes")
            << QPointF(10000, -10000)
            << QList<int>{17000, 16000, 15000, 14000, 13000, 12000, 11000, 10000};
    }
    void rings()
    {
        QFETCH(QPointF, centre);
        QFETCH(QList<int>, radii);
        ZoneStore store;
        ScanRecord scan;
        StandaloneView sv(&store, &scan, 3, QSize(700, 560));
        sv.setZoom(100);
        sv.view()->centerOn(centre);
        const QRectF visible(sv.view()->mapToScene(QPoint(0, 0)), sv.view()->mapToScene(QPoint(700, 560)));
        Recorder rec;
        {
            QPainter p(&rec);
            sv.view()->drawBackground(&p, visible);
        }
        QList<int> got;
        for (const QRectF &e : qAsConst(rec.ellipses)) {
            QCOMPARE(e.center(), QPointF(0, 0));
            got << int(e.width() / 2);
        }
        QCOMPARE(got, radii);
    }

    // ------------------------------------------------------------ handles

    void handleSize_data()
    {
        QTest::addColumn<bool>("ratio");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QRectF>("bounds");
        QTest::addColumn<QRectF>("painted");
        QTest::newRow("vertex at 4") << false << 4.0 << QRectF(-1.875, -1.875, 3.75, 3.75) << QRectF(-1, -1, 3, 3);
        QTest::newRow("vertex at 1") << false << 1.0 << QRectF(-7.5, -7.5, 15, 15) << QRectF(-7, -7, 15, 15);
        QTest::newRow("vertex at 0.01") << false << 0.01 << QRectF(-750, -750, 1500, 1500) << QRectF(-750, -750, 1500, 1500);
        QTest::newRow("ratio at 1") << true << 1.0 << QRectF(-25, -2.5, 50, 5) << QRectF(-25, -2, 50, 5);
        QTest::newRow("ratio at 4") << true << 4.0 << QRectF(-6.25, -0.625, 12.5, 1.25) << QRectF(-6, 0, 12, 1);
    }
    void handleSize()
    {
        QFETCH(bool, ratio);
        QFETCH(double, scale);
        QFETCH(QRectF, bounds);
        QFETCH(QRectF, painted);
        double s = 1.0; // read through the pointer at every call
        std::unique_ptr<QGraphicsItem> h(ratio ? static_cast<QGraphicsItem *>(new POINT_RATIO(Qt::blue, 0, 0, &s))
                                               : new POINT_POINT(Qt::blue, 0, 0, &s));
        s = scale;
        QCOMPARE(h->boundingRect(), bounds);
        QCOMPARE(h->shape().boundingRect(), bounds);
        QCOMPARE(h->zValue(), 7.0);
        Recorder rec;
        {
            QPainter p(&rec);
            QStyleOptionGraphicsItem opt;
            h->paint(&p, &opt, nullptr);
        }
        QCOMPARE(rec.rects.size(), 1);
        QCOMPARE(rec.rects[0].first, painted);
        QCOMPARE(rec.rects[0].second, QColor(Qt::blue));
    }

    void handleColour_data()
    {
        QTest::addColumn<bool>("ratio");
        QTest::addColumn<int>("state");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<int>("cursor"); // -1: left alone
        const int sel = QStyle::State_Selected, over = QStyle::State_MouseOver, sunk = QStyle::State_Sunken;
        QTest::newRow("plain") << false << 0 << QColor(0, 0, 255) << -1;
        QTest::newRow("selected") << false << sel << QColor(0, 0, 170) << -1;
        QTest::newRow("sunken") << false << sunk << QColor(0, 0, 212) << -1;
        QTest::newRow("hover vertex") << false << over << QColor(255, 64, 64) << int(Qt::SizeAllCursor);
        QTest::newRow("hover selected ratio") << true << (over | sel) << QColor(255, 64, 64) << int(Qt::SizeVerCursor);
    }
    void handleColour()
    {
        QFETCH(bool, ratio);
        QFETCH(int, state);
        QFETCH(QColor, fill);
        QFETCH(int, cursor);
        double s = 1.0;
        std::unique_ptr<QGraphicsItem> h(ratio ? static_cast<QGraphicsItem *>(new POINT_RATIO(Qt::blue, 0, 0, &s))
                                               : new POINT_POINT(Qt::blue, 0, 0, &s));
        Recorder rec;
        {
            QPainter p(&rec);
            QStyleOptionGraphicsItem opt;
            opt.state = QStyle::State(state);
            h->paint(&p, &opt, nullptr);
        }
        QCOMPARE(rec.rects.size(), 1);
        QCOMPARE(rec.rects[0].second.rgb(), fill.rgb());
        QCOMPARE(h->hasCursor(), cursor >= 0);
        if (cursor >= 0)
            QCOMPARE(int(h->cursor().shape()), cursor);
    }

    // What the scene controller builds for the edited output.
    void handlesFromModel_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("shape");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("handles"); // "P x,y" or "R x,y" in list order, scene coordinates
        QTest::newRow("fan on Out2") << 1 << int(ShapeFan) << "0,3000" << "R 0,-3000";
        QTest::newRow("empty polygon") << 0 << int(ShapePolygon) << "" << "P 0,0";
        QTest::newRow("polygon") << 2 << int(ShapePolygon) << "100,200 -300,400" << "P 100,-200 P -300,-400 P 0,0";
        QTest::newRow("arc") << 0 << int(ShapeArc) << "1000,0 0,1000" << "P 1000,0 P 0,-1000";
        QTest::newRow("straight on Out1") << 0 << int(ShapeStraight) << "0,500" << "P 0,-500";
        // -y of the most negative int overflowed an int.
        QTest::newRow("most negative y") << 0 << int(ShapePolygon) << "7,-2147483648"
                                         << "P 7,2147483648 P 0,0";
        QTest::newRow("most negative y of a ratio") << 2 << int(ShapeRatio) << "0,-2147483648"
                                                    << "R 0,2147483648";
    }
    void handlesFromModel()
    {
        QFETCH(int, channel);
        QFETCH(int, shape);
        QFETCH(QString, points);
        QFETCH(QString, handles);
        Editor e(shape, points, channel);
        QStringList got;
        for (QGraphicsItem *h : e.sc->handles())
            got << QStringLiteral("%1 %2,%3").arg(dynamic_cast<POINT_RATIO *>(h) ? "R" : dynamic_cast<POINT_POINT *>(h) ? "P" : "?")
                       .arg(h->pos().x(), 0, 'f', 0).arg(h->pos().y(), 0, 'f', 0);
        QCOMPARE(got.join(' '), handles);
    }

    // ------------------------------------------------------------ mouse on the view

    void rightClickOnView_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QPoint>("at"); // sensor point clicked
        QTest::addColumn<QString>("after");
        QTest::newRow("polygon vertex") << int(ShapePolygon) << 0 << "1600,1600 0,3200 -1600,1600" << QPoint(0, 3200) << "1600,1600 -1600,1600";
        QTest::newRow("inside the zone") << int(ShapePolygon) << 0 << "1600,1600 0,3200 -1600,1600" << QPoint(320, 1920) << "1600,1600 0,3200 -1600,1600";
        QTest::newRow("arc point") << int(ShapeArc) << 0 << "1600,0 0,1600" << QPoint(1600, 0) << "1600,0 0,1600";
        QTest::newRow("rectangle corner") << int(ShapeRectangle) << 0 << "-1600,3200 -1600,1600 1600,1600 1600,3200" << QPoint(1600, 1600) << "-1600,3200 -1600,1600 1600,1600 1600,3200";
        QTest::newRow("fan bar") << int(ShapeFan) << 1 << "0,3200" << QPoint(0, 3200) << "0,3200";
    }
    void rightClickOnView()
    {
        QFETCH(int, shape);
        QFETCH(int, channel);
        QFETCH(QString, points);
        QFETCH(QPoint, at);
        QFETCH(QString, after);
        Editor e(shape, points, channel);
        const int before = e.sc->handles().size();
        QSignalSpy deleted(e.view, &ViewWindow::DeletePointItem);
        rightClick(e.view, pixelOf(e.view, at.x(), at.y()));
        QCOMPARE(str(e.points(channel)), after);
        const bool onHandle = QTest::currentDataTag() != QByteArray("inside the zone");
        QCOMPARE(deleted.count(), onHandle ? 1 : 0);
        // A deleted handle is forgotten; one that could not be deleted stays
        // the pressed one.
        const bool removed = shape == ShapePolygon && onHandle;
        QCOMPARE(e.view->currentItem() != nullptr, onHandle && !removed);
        QCOMPARE(e.sc->handles().size(), before - (removed ? 1 : 0));
    }

    void vertexOnTheOriginStaysAVertex()
    {
        // A vertex dropped on the sensor, or typed there, is a vertex: the
        // next drag of another handle must not lose it.
        Editor e(ShapePolygon, "1600,0 0,3200 -1600,1600");
        drag(e.view, pixelOf(e.view, 1600, 0), QPoint(-100, 0));
        QCOMPARE(e.sc->handles().at(0)->pos(), QPointF(0, 0));
        QCOMPARE(str(e.points()), QStringLiteral("0,0 0,3200 -1600,1600"));
        drag(e.view, pixelOf(e.view, -1600, 1600), QPoint(-10, 0));
        QCOMPARE(str(e.points()), QStringLiteral("0,0 0,3200 -1760,1600"));
        // The centre handle on the sensor is still no vertex.
        QCOMPARE(e.sc->handles().size(), 4);
    }

    void rectangleCorner2Drag()
    {
        Editor e(ShapeRectangle, "-1600,3200 -1600,1600 1600,1600 1600,3200");
        // Up and right by (30, 20) pixels: sensor (+480, +320).
        drag(e.view, pixelOf(e.view, 1600, 1600), QPoint(30, -20));
        QCOMPARE(str(e.points()), QStringLiteral("-1600,3200 -1600,1920 2080,1920 2080,3200"));
        QStringList pos;
        for (QGraphicsItem *h : e.sc->handles())
            pos << QStringLiteral("%1,%2").arg(h->pos().x()).arg(-h->pos().y());
        QCOMPARE(pos.join(' '), QStringLiteral("-1600,3200 -1600,1920 2080,1920 2080,3200"));
    }

    void arcPoint0ToRadius5000()
    {
        Editor e(ShapeArc, "1800,0 1000,1000");
        QSignalSpy table(e.sc, &OPTION_SCENE::PointItemChannelSignal);
        // Right by 200 pixels: point 0 at (5000, 0); point 1 keeps its 45
        // degrees at radius 5000: 5000 / sqrt(2) = 3535.53.
        drag(e.view, pixelOf(e.view, 1800, 0), QPoint(200, 0));
        QCOMPARE(str(e.points()), QStringLiteral("5000,0 3535,3535"));
        QCOMPARE(e.sc->handles().at(1)->pos(), QPointF(3535, -3535));
        QVERIFY(table.count() >= 1);

        // The other way round: point 1 dragged in by 2736 mm on both axes
        // to (799, 799) pulls point 0 in along the X axis to radius 1129.96.
        drag(e.view, pixelOf(e.view, 3535, 3535), QPoint(-171, 171));
        QCOMPARE(str(e.points()), QStringLiteral("1129,0 799,799"));
    }

    void centreHandleAndDeleteInMainWindow()
    {
        Tool t;
        t.polygon("1600,1600 0,3200 -1600,1600");
        OPTION_SCENE *sc = t.window.optionScene();
        QTableWidget *xy = t.ui->CoordTableWidgetOut1;
        QCOMPARE(sc->handles().size(), 4);
        const int history = t.store.undoHistory[0].size();

        // The centre handle dragged away becomes the fourth vertex; a new
        // centre handle appears on release.
        drag(t.view, pixelOf(t.view, 0, 0), QPoint(10, -40));
        QCOMPARE(str(t.store.areas[0].points[0]), QStringLiteral("1600,1600 0,3200 -1600,1600 160,640"));
        QCOMPARE(sc->handles().size(), 5);
        QCOMPARE(sc->handles().last()->pos(), QPointF(0, 0));
        QCOMPARE(xy->rowCount(), 5);
        QCOMPARE(xy->item(3, 1)->text(), QStringLiteral("160"));
        QCOMPARE(xy->item(3, 2)->text(), QStringLiteral("640"));
        // The snapshot holds what was released, not the move before it.
        QCOMPARE(t.store.undoHistory[0].size(), history + 1);
        QCOMPARE(str(t.store.undoHistory[0].last().points[0]), QStringLiteral("1600,1600 0,3200 -1600,1600 160,640"));

        // Right-click deletes a vertex and the table follows.
        rightClick(t.view, pixelOf(t.view, 0, 3200));
        QCOMPARE(str(t.store.areas[0].points[0]), QStringLiteral("1600,1600 -1600,1600 160,640"));
        QCOMPARE(xy->rowCount(), 4);
        QCOMPARE(xy->item(1, 1)->text(), QStringLiteral("-1600"));

        // Delete acts on the handle pressed last.
        const QPoint v = pixelOf(t.view, 1600, 1600);
        send(t.view->viewport(), QEvent::MouseButtonPress, v, Qt::LeftButton, Qt::LeftButton);
        send(t.view->viewport(), QEvent::MouseButtonRelease, v, Qt::LeftButton, Qt::NoButton);
        QTest::keyClick(t.view, Qt::Key_Delete);
        QCOMPARE(str(t.store.areas[0].points[0]), QStringLiteral("-1600,1600 160,640"));
        QCOMPARE(xy->rowCount(), 3);
    }

    void releaseTakesUndoAndRefreshesThumbnail()
    {
        Tool t;
        t.polygon("1600,1600 0,3200 -1600,1600");
        PaintCounter counter;
        t.window.areaTable()->thumbnail(0)->installEventFilter(&counter);
        QApplication::processEvents();
        const int history = t.store.undoHistory[0].size();

        // A release on the zone pans and takes no snapshot.
        drag(t.view, pixelOf(t.view, 320, 1920), QPoint(5, 5));
        QCOMPARE(t.store.undoHistory[0].size(), history);

        QTest::qWait(50); // let the table settle
        counter.paints = 0;
        drag(t.view, pixelOf(t.view, 0, 3200), QPoint(0, -20));
        QCOMPARE(str(t.store.areas[0].points[0]), QStringLiteral("1600,1600 0,3520 -1600,1600"));
        QCOMPARE(t.store.undoHistory[0].size(), history + 1);
        QVERIFY(t.store.modified);
        QVERIFY(t.window.areaTable()->thumbnail(0)->isVisible());
        QTRY_VERIFY(counter.paints > 0);
    }

    // Undo after two drags returns to where the first was released, and
    // Redo to where the second was: never to a position between moves.
    void undoAndRedoAfterHandleDrags()
    {
        Tool t;
        const QString before = "1600,1600 0,3200 -1600,1600";
        t.polygon(before);
        t.window.areaTable()->SaveUndoAreaTableData(); // the polygon as a recorded state
        t.store.modified = false;
        const QVector<QPoint> &points = t.store.areas[0].points[0];
        const auto handles = [&t] {
            QStringList out;
            for (QGraphicsItem *h : t.window.optionScene()->handles())
                if (h->pos() != QPointF(0, 0))
                    out << QStringLiteral("%1,%2").arg(h->pos().x()).arg(-h->pos().y());
            return out.join(' ');
        };

        // Up by 20 pixels (320 mm) in four moves, then right by 10 (160 mm).
        drag(t.view, pixelOf(t.view, 0, 3200), QPoint(0, -20));
        const QString first = "1600,1600 0,3520 -1600,1600";
        QCOMPARE(str(points), first);
        QVERIFY(t.store.modified);
        drag(t.view, pixelOf(t.view, 1600, 1600), QPoint(10, 0));
        const QString second = "1760,1600 0,3520 -1600,1600";
        QCOMPARE(str(points), second);

        t.ui->Undo->trigger();
        QCOMPARE(str(points), first);
        QCOMPARE(handles(), first);
        QCOMPARE(t.ui->CoordTableWidgetOut1->item(1, 2)->text(), QStringLiteral("3520"));
        t.ui->Undo->trigger();
        QCOMPARE(str(points), before);
        QCOMPARE(handles(), before);
        t.ui->Redo->trigger();
        QCOMPARE(str(points), first);
        t.ui->Redo->trigger();
        QCOMPARE(str(points), second);
        QCOMPARE(handles(), second);
    }

    // A vertex deleted in the view is an edit: flagged, undoable, redoable.
    void vertexDeletedInTheViewIsAnUndoStep_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QPoint>("at"); // sensor point of the handle
        QTest::addColumn<QString>("after");
        const QString all = "1600,1600 0,3200 -1600,1600";
        QTest::newRow("right-click") << "right" << QPoint(0, 3200) << "1600,1600 -1600,1600";
        QTest::newRow("delete-key") << "key" << QPoint(1600, 1600) << "0,3200 -1600,1600";
        // The centre handle is no vertex: removing it is no edit.
        QTest::newRow("centre-handle-right-click") << "right" << QPoint(0, 0) << all;
        QTest::newRow("centre-handle-delete-key") << "key" << QPoint(0, 0) << all;
    }
    void vertexDeletedInTheViewIsAnUndoStep()
    {
        QFETCH(QString, how);
        QFETCH(QPoint, at);
        QFETCH(QString, after);
        Tool t;
        const QString before = "1600,1600 0,3200 -1600,1600";
        t.polygon(before);
        t.window.areaTable()->SaveUndoAreaTableData();
        const QPoint px = pixelOf(t.view, at.x(), at.y());
        if (how == "key") {
            // Pressing the handle makes it current (and is a recorded edit
            // of its own); Delete then acts on it.
            send(t.view->viewport(), QEvent::MouseButtonPress, px, Qt::LeftButton, Qt::LeftButton);
            send(t.view->viewport(), QEvent::MouseButtonRelease, px, Qt::LeftButton, Qt::NoButton);
        }
        t.store.modified = false;
        const int history = t.store.undoHistory[0].size();
        if (how == "key")
            QTest::keyClick(t.view, Qt::Key_Delete);
        else
            rightClick(t.view, px);
        const QVector<QPoint> &points = t.store.areas[0].points[0];
        QCOMPARE(str(points), after);
        const bool deleted = after != before;
        QCOMPARE(t.store.modified, deleted);
        QCOMPARE(t.store.undoHistory[0].size(), history + (deleted ? 1 : 0));
        QCOMPARE(t.ui->CoordTableWidgetOut1->rowCount(), points.size() + 1);
        if (!deleted)
            return;
        t.ui->Undo->trigger();
        QCOMPARE(str(points), before);
        QCOMPARE(t.window.optionScene()->handles().size(), 4); // three vertices and the centre
        t.ui->Redo->trigger();
        QCOMPARE(str(points), after);
        QCOMPARE(t.ui->CoordTableWidgetOut1->rowCount(), 3);
    }

    void shiftDragHoldsHandle()
    {
        Editor e(ShapePolygon, "1600,1600 0,3200 -1600,1600");
        drag(e.view, pixelOf(e.view, 0, 3200), QPoint(20, -20), Qt::ShiftModifier);
        QCOMPARE(e.sc->handles().at(1)->pos(), QPointF(0, -3200));
        QCOMPARE(str(e.points()), QStringLiteral("1600,1600 0,3200 -1600,1600"));
    }

    void ratioBarMovesOnlyAlongForwardAxis()
    {
        Editor e(ShapeFan, "0,3200", 1);
        QGraphicsItem *bar = e.sc->handles().value(0);
        QVERIFY(dynamic_cast<POINT_RATIO *>(bar));
        drag(e.view, pixelOf(e.view, 0, 3200), QPoint(40, 0));
        QCOMPARE(bar->pos(), QPointF(0, -3200));
        QCOMPARE(str(e.points(1)), QStringLiteral("0,3200"));

        drag(e.view, pixelOf(e.view, 0, 3200), QPoint(-30, -10));
        QCOMPARE(bar->pos(), QPointF(0, -3360));
        QCOMPARE(str(e.points(1)), QStringLiteral("0,3360"));

        // Pulled far below the sensor it stops at the X axis (up to the grab offset).
        drag(e.view, pixelOf(e.view, 0, 3360), QPoint(0, 400));
        QCOMPARE(bar->pos().x(), 0.0);
        QVERIFY2(qAbs(e.points(1).value(0).y()) <= 16, qPrintable(str(e.points(1))));
        QCOMPARE(e.points(1).value(0).x(), 0);
    }

    // ------------------------------------------------------------ live scan

    void scanPolygon_data()
    {
        QTest::addColumn<int>("connection");
        QTest::addColumn<int>("n"); // Ethernet sweep length
        QTest::addColumn<bool>("intensity");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("value");
        QTest::addColumn<QPoint>("scene");
        QTest::newRow("serial step 0") << 0 << 0 << false << 0 << 1000 << QPoint(-342, 939);
        QTest::newRow("serial step 180 (200 deg)") << 0 << 0 << false << 180 << 1000 << QPoint(-939, -342);
        QTest::newRow("serial last step, intensity") << 0 << 0 << true << 639 << 2000 << QPoint(700, 1873);
        QTest::newRow("ethernet first step") << 1 << 4 << false << 0 << 1000 << QPoint(342, 939);
        QTest::newRow("ethernet step 1 of 4") << 1 << 4 << false << 1 << 1000 << QPoint(984, -173);
        QTest::newRow("ethernet step 3 of 4, intensity") << 1 << 4 << true << 3 << 1000 << QPoint(-984, -173);
    }
    void scanPolygon()
    {
        QFETCH(int, connection);
        QFETCH(int, n);
        QFETCH(bool, intensity);
        QFETCH(int, step);
        QFETCH(int, value);
        QFETCH(QPoint, scene);
        auto scan = std::make_unique<ScanRecord>();
        scan->connectionType = connection;
        scan->sweepLength = n;
        std::uint16_t *values = connection ? (intensity ? scan->intensityRing.data() : scan->distanceRing.data())
                                  : (intensity ? scan->serialIntensities.data() : scan->serialDistances.data());
        values[step] = std::uint16_t(value);
        const QPolygon poly = ScanItem::buildPolygon(*scan, intensity);
        QCOMPARE(poly.size(), (connection ? n : 640) + 2);
        QCOMPARE(poly.first(), QPoint(0, 0));
        QCOMPARE(poly.last(), QPoint(0, 0));
        QCOMPARE(poly[step + 1], scene);
        // The other item reads the other array.
        QCOMPARE(ScanItem::buildPolygon(*scan, !intensity)[step + 1], QPoint(0, 0));
    }

    void emptyScanDrawsNothing_data()
    {
        QTest::addColumn<int>("connection");
        QTest::addColumn<int>("mode");
        QTest::newRow("serial zeros, graph") << 0 << 0;
        QTest::newRow("sweep of 0, graph") << 1 << 0;
        QTest::newRow("sweep of 0, line") << 1 << 2;
    }
    void emptyScanDrawsNothing()
    {
        QFETCH(int, connection);
        QFETCH(int, mode);
        Editor e(ShapePolygon, kBox, 0, QSize(400, 300));
        e.scan.connectionType = connection;
        e.scan.displayMode = mode;
        e.sv->setZoom(100);
        e.sv->showArea(0, 0);
        const QImage with = e.sv->grab();
        e.sc->outlineItem()->setVisible(false);
        e.sc->intensityItem()->setVisible(false);
        QCOMPARE(countDiffering(with, e.sv->grab(), 0), qint64(0));
    }

    // The thinned and clipped polygon looks like the full one.
    void thinnedScanLooksLikeFull_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<bool>("rain"); // every step jumps metres
        for (int zoom : {-55, 180})
            for (int mode : {0, 1, 2})
                QTest::newRow(qPrintable(QStringLiteral("%1 at %2").arg(QStringList{"graph", "cloud", "line"}[mode]).arg(zoom)))
                    << mode << zoom << false;
        QTest::newRow("rain, graph at -55") << 0 << -55 << true;
        QTest::newRow("rain, line at -55") << 2 << -55 << true;
    }
    void thinnedScanLooksLikeFull()
    {
        QFETCH(int, mode);
        QFETCH(int, zoom);
        QFETCH(bool, rain);
        ZoneStore store;
        auto scan = std::make_unique<ScanRecord>(rain ? rainSweep(mode) : noisySweep(mode));
        StandaloneView sv(&store, scan.get(), 3, QSize(1190, 715));
        sv.setZoom(zoom);
        sv.view()->centerOn(700, -1200);
        sv.showArea(0, 0);
        sv.scene()->setHandlesVisible(false);
        ScanItem *items[2] = {sv.scene()->outlineItem(), sv.scene()->intensityItem()};
        const QImage thinned = sv.grab();
        for (ScanItem *i : items)
            i->setThinning(false);
        const QImage full = sv.grab();
        for (ScanItem *i : items)
            i->setVisible(false);
        const QImage blank = sv.grab();
        // Measured against what the sweep covers: at the widest zoom that is
        // well under one percent of the picture.
        const qint64 covered = countDiffering(full, blank);
        QVERIFY2(covered > 2000, qPrintable(QString::number(covered)));
        // Antialiasing may move an edge pixel by a shade; a dot or a line
        // that is there in one picture and not in the other may not.
        const qint64 diff = countDiffering(thinned, full, 48);
        QVERIFY2(diff * 100 < covered * 2,
                 qPrintable(QStringLiteral("%1 of the %2 pixels the sweep covers differ").arg(diff).arg(covered)));
    }

    // ------------------------------------------------------------ zone pictures

    void zonePicture_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QList<double>>("z"); // Out1, Out2, Out3
        QTest::addColumn<QColor>("inside");   // Out1 only
        QTest::addColumn<QColor>("overlap");  // Out1 and Out2
        // Pale yellow over white at alpha 200 or 125; orange over it by stacking.
        QTest::newRow("editing Out1") << 0 << QList<double>{3, 2, 1} << QColor(255, 255, 155) << QColor(255, 242, 128);
        QTest::newRow("editing Out2") << 1 << QList<double>{2, 3, 1} << QColor(255, 255, 193) << QColor(255, 155, 42);
        QTest::newRow("editing Out3") << 2 << QList<double>{1, 2, 3} << QColor(255, 255, 193) << QColor(255, 193, 98);
    }
    void zonePicture()
    {
        QFETCH(int, channel);
        QFETCH(QList<double>, z);
        QFETCH(QColor, inside);
        QFETCH(QColor, overlap);
        Editor e(ShapePolygon, kBox, 0, QSize(400, 300));
        e.store.areas[0].points[1] = pts("1500,500 800,1000");
        e.sv->setZoom(100); // 8 mm per pixel, grid every metre
        e.sv->showArea(0, channel);
        e.sc->setHandlesVisible(false);
        for (int c = 0; c < 3; ++c)
            QCOMPARE(e.sc->zoneItem(c)->zValue(), z[c]);
        const QImage img = e.sv->grab();
        const auto at = [&](int x, int y) { return img.pixel(pixelOf(e.view, x, y)); };
        QVERIFY2(near(at(-400, 600), inside), qPrintable(rgb(at(-400, 600))));
        QVERIFY2(near(at(900, 700), overlap), qPrintable(rgb(at(900, 700))));
        QVERIFY2(near(at(1400, 600), Qt::white), qPrintable(rgb(at(1400, 600))));        // beside the zone
        QVERIFY2(near(at(400, -800), Qt::white), qPrintable(rgb(at(400, -800))));        // -63 deg: seen
        QVERIFY2(near(at(100, -800), QColor(191, 191, 191)), qPrintable(rgb(at(100, -800)))); // -83 deg: blind
    }

    // ------------------------------------------------------------ designs of thousands of points

    // An outline of thousands of vertices is drawn clipped, thinned and in
    // tiles. Where its vertices are pixels apart that gives the picture the
    // painter draws of it in one piece; where they crowd within a pixel, the
    // same look.
    void largeZoneLooksDrawnWhole_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("lo"); // mm
        QTest::addColumn<int>("hi");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QPointF>("centre"); // sensor X, Y in view
        QTest::newRow("spikes pixels apart, view over the band")
            << 3000 << 4700 << 5300 << 130 << QPointF(-300, 4800);
        QTest::newRow("noise crowded within pixels, widest zoom")
            << 8000 << 4000 << 20000 << -55 << QPointF(0, 0);
        QTest::newRow("sensor off screen, zoomed in")
            << 3000 << 300 << 9000 << 200 << QPointF(2500, 1500);
        QTest::newRow("long spikes pixels apart, in tiles")
            << 6000 << 300 << 9000 << 60 << QPointF(0, 4000);
    }
    void largeZoneLooksDrawnWhole()
    {
        QFETCH(int, points);
        QFETCH(int, lo);
        QFETCH(int, hi);
        QFETCH(int, zoom);
        QFETCH(QPointF, centre);
        const ZoneGeometry::Outline o = ZoneGeometry::buildOutline(
            0, ShapePolygon, noisyZone(points, lo, hi), {}, 72000, 72000);
        QVERIFY(ZonePainter::isLarge(o));
        const QColor fill = ZonePainter::zoneColor(0, 200);
        const QImage whole = scenePicture(zoom, centre, [&](QPainter &p) {
            p.setPen(ZonePainter::outlinePen());
            p.setBrush(fill);
            p.drawPolygon(o.polygon, Qt::WindingFill);
        });
        const QImage bounded =
            scenePicture(zoom, centre, [&](QPainter &p) { ZonePainter::paint(&p, o, fill); });
        const QImage blank = scenePicture(zoom, centre, [](QPainter &) {});
        const qint64 covered = countDiffering(whole, blank);
        QVERIFY2(covered > 5000, qPrintable(QString::number(covered)));
        const qint64 diff = countDiffering(bounded, whole, 48);
        QVERIFY2(diff * 500 <= covered, qPrintable(QStringLiteral("%1 of %2 covered pixels differ")
                                                       .arg(diff)
                                                       .arg(covered)));
    }

    // Straight and Fan cut a parent of thousands of vertices in linear time;
    // the zone is the one QPainterPath's intersection gives.
    void largeParentsCutAsSmallOnes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("lo"); // parent radii, mm
        QTest::addColumn<int>("hi");
        QTest::newRow("straight through the zone") << int(ShapeStraight) << 3000 << 2000 << 6000;
        QTest::newRow("straight behind the sensor") << int(ShapeStraight) << -1500 << 2000 << 6000;
        QTest::newRow("fan through the zone") << int(ShapeFan) << 4000 << 2000 << 6000;
        QTest::newRow("fan beyond the zone") << int(ShapeFan) << 9000 << 2000 << 6000;
        QTest::newRow("fan inside the zone") << int(ShapeFan) << 1000 << 2000 << 6000;
    }
    void largeParentsCutAsSmallOnes()
    {
        QFETCH(int, kind);
        QFETCH(int, y);
        QFETCH(int, lo);
        QFETCH(int, hi);
        const double span = 72000;
        const QPainterPath parent =
            ZoneGeometry::buildOutline(0, ShapePolygon, noisyZone(3000, lo, hi), {}, span, span)
                .handed;
        QVERIFY(parent.elementCount() > ZoneGeometry::kLinearCutFrom);
        const ZoneGeometry::Outline cut =
            ZoneGeometry::buildOutline(1, kind, {QPoint(0, y)}, parent, span, span);
        QPainterPath clip;
        if (kind == ShapeStraight)
            clip.addRect(QRectF(-span / 2, span / 2, span, -y - span / 2));
        else
            clip.arcTo(QRectF(-y, -y, 2 * y, 2 * y), -45, 270);
        const QPainterPath exact = parent & clip;
        // Out3 derives from what Out2 handed on: cut that once more.
        QPainterPath band;
        band.addRect(QRectF(-span / 2, span / 2, span, -1000 - span / 2));
        const QPainterPath below = ZoneGeometry::buildOutline(2, ShapeStraight, {QPoint(0, 1000)},
                                                              cut.handed, span, span)
                                       .path;
        for (const auto &pair : {qMakePair(cut.path, exact), qMakePair(below, exact & band)}) {
            const auto picture = [](const QPainterPath &path) {
                return scenePicture(80, QPointF(0, 1500), [&](QPainter &p) {
                    p.fillPath(path, Qt::black);
                });
            };
            const QImage want = picture(pair.second);
            const qint64 covered = countDiffering(want, picture(QPainterPath()));
            const qint64 diff = countDiffering(picture(pair.first), want, 48);
            QVERIFY2(diff <= 20 + covered / 500,
                     qPrintable(QStringLiteral("%1 of %2 pixels differ").arg(diff).arg(covered)));
        }
    }

    // The picture a large zone keeps between repaints follows the design:
    // other points, another edited output, another zoom.
    void largeZonePictureFollowsTheDesign()
    {
        Editor e(ShapePolygon, QString(), 0, QSize(400, 300));
        e.points() = noisyZone(3000, 3800, 4200);
        e.sv->setZoom(20); // 3 m forward lies 120 pixels above the sensor
        e.sv->showArea(0, 0);
        e.sc->setHandlesVisible(false);
        const auto at = [&](int x, int y) { return e.sv->grab().pixel(pixelOf(e.view, x, y)); };
        QVERIFY2(near(at(300, 3000), QColor(255, 255, 155)), qPrintable(rgb(at(300, 3000))));
        e.sv->showArea(0, 1); // Out2 edited: Out1 at alpha 125
        e.sc->setHandlesVisible(false);
        QVERIFY2(near(at(300, 3000), QColor(255, 255, 193)), qPrintable(rgb(at(300, 3000))));
        e.points() = noisyZone(3001, 1800, 2200);
        e.sv->showArea(0, 1);
        e.sc->setHandlesVisible(false);
        QVERIFY2(near(at(300, 3000), Qt::white), qPrintable(rgb(at(300, 3000))));
        QVERIFY2(near(at(300, 1500), QColor(255, 255, 193)), qPrintable(rgb(at(300, 1500))));
        e.sv->setZoom(45); // the same points elsewhere on screen
        QVERIFY2(near(at(300, 1500), QColor(255, 255, 193)), qPrintable(rgb(at(300, 1500))));
        QVERIFY2(near(at(300, 2400), Qt::white), qPrintable(rgb(at(300, 2400))));
    }

    // Runs of a line are thinned only where every pixel they cross stays
    // covered: far jumps lose vertices, fine jitter and a lone dropout none.
    void lineThinningKeepsWhatShows_data()
    {
        QTest::addColumn<QString>("steps"); // radii in pixels along one slice
        QTest::addColumn<int>("kept");
        QTest::newRow("far jumps") << "150 300 80 260 120 290 90 310 200" << 4;
        QTest::newRow("fine jitter") << "200 201 199 200 202 198 200 201 199" << 9;
        QTest::newRow("dropout among jitter") << "200 201 199 0 200 202 198 200 201" << 9;
    }
    void lineThinningKeepsWhatShows()
    {
        QFETCH(QString, steps);
        QFETCH(int, kept);
        QPolygonF line;
        const QStringList radii = steps.split(' ');
        // All within half a pixel across, seen from the centre at (0, 0).
        for (int i = 0; i < radii.size(); ++i) {
            const double a = 0.001 * i / radii.size(), r = radii[i].toDouble();
            line << QPointF(r * std::cos(a), r * std::sin(a));
        }
        const QPolygonF thin =
            ScreenDrawing::thinAround(line, QPointF(0, 0), 1.0, ScreenDrawing::Keep::Extremes, 2.0);
        QCOMPARE(thin.size(), kept);
        QCOMPARE(thin.first(), line.first());
        QCOMPARE(thin.last(), line.last());
        // What a line through the run reaches: the nearest and the farthest.
        const auto reach = [](const QPolygonF &p) {
            double lo = 1e9, hi = 0;
            for (const QPointF &q : p) {
                lo = std::min(lo, std::hypot(q.x(), q.y()));
                hi = std::max(hi, std::hypot(q.x(), q.y()));
            }
            return qMakePair(lo, hi);
        };
        QCOMPARE(reach(thin), reach(line));
    }

    // ------------------------------------------------------------ sector-cli render

    void renderWritesPictures()
    {
        // The test harness pins fonts to 96 dpi; the tool and sector-cli
        // take the screen's. Compare like with like.
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi, false);
        const auto restore = qScopeGuard([] { QCoreApplication::setAttribute(Qt::AA_Use96Dpi, true); });
        const QString project = m_dir.filePath("box.ZQ30");
        writeFile(project, projectWithOut1(kBox));
        const QString png = m_dir.filePath("box.png");
        const QString svg = m_dir.filePath("box.svg");
        CliRun r = runCli({"render", project, "-o", png, "--size", "400x300", "--zoom", "100"});
        QCOMPARE(r.exitCode, 0);
        r = runCli({"render", project, "-o", svg, "--size", "400x300", "--zoom", "100"});
        QCOMPARE(r.exitCode, 0);
        const QByteArray svgText = readFile(svg);
        QVERIFY(svgText.contains("<svg"));
        QVERIFY(svgText.contains("width=\"400"));

        QImage picture(png);
        QCOMPARE(picture.size(), QSize(400, 300));
        // The same picture as the view's, drawn by the same code.
        ZoneStore store;
        store.areas[0].points[0] = pts(kBox);
        ScanRecord scan;
        scan.connectionType = 1;
        StandaloneView sv(&store, &scan, 3, QSize(400, 300));
        sv.setZoom(100);
        sv.showArea(0, 0);
        sv.scene()->setHandlesVisible(false);
        const QImage view = sv.grab();
        const auto at = [&](const QImage &img, int x, int y) { return img.pixel(pixelOf(sv.view(), x, y)); };
        QVERIFY2(near(at(picture, -400, 600), QColor(255, 255, 155)), qPrintable(rgb(at(picture, -400, 600))));
        QVERIFY(near(at(picture, 1400, 600), Qt::white));
        QVERIFY(near(at(picture, 100, -800), QColor(191, 191, 191)));
        QVERIFY(near(at(picture, 0, 0), Qt::white, 255) && !near(at(picture, 0, 0), QColor(Qt::blue), 60)); // no centre handle
        QCOMPARE(countDiffering(picture, view, 0), qint64(0));
    }

    // A zone of more points than sector-cli reads is refused with one line
    // that names the output and its count; one at the limit is drawn.
    void renderRefusesZonesBeyondTheLimit()
    {
        const QString png = m_dir.filePath("limit.png");
        for (const int points : {ProjectFile::kToolPointLimit + 1, ProjectFile::kToolPointLimit}) {
            ZoneStore store;
            store.areas[4].points[2] = noisyZone(points, 4000, 20000);
            const QString project = m_dir.filePath(QStringLiteral("limit%1.ZQ30").arg(points));
            QCOMPARE(ProjectFile::saveProject(project, 3, SensorDockValues::defaults(), store),
                     ProjectFile::SaveResult::Saved);
            QFile::remove(png);
            const CliRun r = runCli({"render", project, "-o", png, "--area", "4", "--output", "3"});
            if (points > ProjectFile::kToolPointLimit) {
                QCOMPARE(r.exitCode, 2);
                QVERIFY2(r.err.contains(QStringLiteral("area 4 Out 3 holds %1 points").arg(points)),
                         qPrintable(r.err));
                QVERIFY(!QFile::exists(png));
            } else {
                QCOMPARE(r.exitCode, 0);
                QVERIFY(QFile::exists(png));
            }
        }
    }

    void renderRejects_data()
    {
        QTest::addColumn<QStringList>("args"); // %P project, %O output
        QTest::addColumn<QString>("output");
        QTest::newRow("bad suffix") << QStringList{"render", "%P", "-o", "%O"} << "box.jpg";
        QTest::newRow("unreadable file") << QStringList{"render", "%D/missing.ZQ30", "-o", "%O"} << "m.png";
        QTest::newRow("area 64") << QStringList{"render", "%P", "-o", "%O", "--area", "64"} << "a.png";
        QTest::newRow("scan not a recording") << QStringList{"render", "%P", "-o", "%O", "--scan", "%P"} << "s.png";
        QTest::newRow("scan without line ends")
            << QStringList{"render", "%P", "-o", "%O", "--scan", "/dev/zero"} << "z.png";
        QTest::newRow("project without line ends")
            << QStringList{"render", "/dev/zero", "-o", "%O"} << "p.png";
    }
    void renderRejects()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, output);
        const QString project = m_dir.filePath("reject.ZQ30");
        writeFile(project, projectWithOut1(kBox));
        const QString out = m_dir.filePath(output);
        QFile::remove(out);
        for (QString &a : args)
            a.replace("%P", project).replace("%O", out).replace("%D", m_dir.path());
        const CliRun r = runCli(args);
        QCOMPARE(r.exitCode, 2);
        QStringList message = r.err.split('\n', Qt::SkipEmptyParts);
        message.erase(std::remove_if(message.begin(), message.end(),
                                     [](const QString &l) { return l.startsWith("QStandardPaths:"); }),
                      message.end());
        QCOMPARE(message.size(), 1);
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_MAIN(TestGraphics)
#include "tst_graphics.moc"
