#include "core/zones/PointEdits.h"
#include "core/zones/ZoneGeometry.h"

#include <QtTest>

#include "tests/support/PointText.h"

#include <climits>

using namespace ZoneGeometry;

namespace {

// Area of a filled path, from its fill polygons (shoelace).
double pathArea(const QPainterPath &path)
{
    double total = 0;
    for (const QPolygonF &poly : path.toFillPolygons()) {
        double a = 0;
        for (int i = 0; i < poly.size(); ++i) {
            const QPointF &p = poly[i];
            const QPointF &q = poly[(i + 1) % poly.size()];
            a += p.x() * q.y() - q.x() * p.y();
        }
        total += std::abs(a) / 2;
    }
    return total;
}

QPolygonF poly(const QVector<QPointF> &points)
{
    return QPolygonF(points);
}

// Sensor-frame point inside a scene path?
bool covers(const QPainterPath &path, int x, int y)
{
    return path.contains(QPointF(x, -y));
}

AreaRecord area(int k1, QVector<QPoint> p1, int k2 = 0, QVector<QPoint> p2 = {}, int k3 = 0,
                QVector<QPoint> p3 = {})
{
    AreaRecord a;
    a.shape[0] = k1;
    a.shape[1] = k2;
    a.shape[2] = k3;
    a.points[0] = p1;
    a.points[1] = p2;
    a.points[2] = p3;
    return a;
}

// A square zone 4000 mm wide from the sensor up to 4000 mm ahead.
const QVector<QPoint> kSquare = {QPoint(2000, 0), QPoint(2000, 4000), QPoint(-2000, 4000),
                                 QPoint(-2000, 0)};
// An octagon of radius 5000 all around the sensor.
const QVector<QPoint> kAround = {QPoint(5000, 0),  QPoint(3535, 3535),  QPoint(0, 5000),
                                 QPoint(-3535, 3535), QPoint(-5000, 0), QPoint(-3535, -3535),
                                 QPoint(0, -5000), QPoint(3535, -3535)};
constexpr double kSpan = 72000;

} // namespace

class TestGeometry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tableConversions_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QString>("r");
        QTest::addColumn<QString>("deg");
        // Degrees shown with six significant digits, as every table shows them.
        QTest::newRow("+X") << 100 << 0 << "100" << "0";
        QTest::newRow("+Y") << 0 << 1000 << "1000" << "90";
        QTest::newRow("-X") << -1000 << 0 << "1000" << "180";
        QTest::newRow("-Y-folds-to--90") << 0 << -100 << "100" << "-90";
        QTest::newRow("just-below--X") << -100 << -1 << "100.005" << "180.573";
        QTest::newRow("third-quadrant") << -1000 << -1000 << "1414.21" << "225";
        QTest::newRow("fourth-quadrant") << 1000 << -1000 << "1414.21" << "-45";
        QTest::newRow("diagonal") << 1000 << 1000 << "1414.21" << "45";
        QTest::newRow("small-diagonal") << 100 << 100 << "141.421" << "45";
        QTest::newRow("origin") << 0 << 0 << "0" << "0";
        QTest::newRow("far") << 1234567 << 0 << "1.23457e+06" << "0";
    }
    void tableConversions()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QString, r);
        QFETCH(QString, deg);
        const Polar p = xyToPolar(x, y);
        QCOMPARE(QString::number(double(p.r), 'g', 6), r);
        QCOMPARE(QString::number(double(p.theta * kRadToDeg), 'g', 6), deg);
        // -Y lands one float step below -pi/2 after the fold.
        QVERIFY(p.theta >= -1.570797f && p.theta < 4.712389f);
    }

    void polarToXYTruncates()
    {
        // 1000 at 60 deg is (500.000..., 866.025...): both truncated.
        const QPoint p = polarToXY(1000.f, 60.f * kDegToRad);
        QCOMPARE(p.y(), 866);
        QVERIFY(p.x() == 499 || p.x() == 500);
        // Negative values truncate toward zero, not down.
        QCOMPARE(polarToXY(1000.f, 225.f * kDegToRad), QPoint(-707, -707));
    }

    void typedValuesRound_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::addColumn<int>("stored");
        QTest::newRow("10.5") << "10.5" << true << 11;
        QTest::newRow("10.49") << "10.49" << true << 10;
        QTest::newRow("-10.5") << "-10.5" << true << -10;
        QTest::newRow("-10.7") << "-10.7" << true << -10;
        QTest::newRow("-2.7") << "-2.7" << true << -2;
        QTest::newRow("exponent") << "1e3" << true << 1000;
        QTest::newRow("spaces") << " 12 " << true << 12;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        // Typing these stored -2147483648.
        QTest::newRow("nan") << "nan" << false << 0;
        QTest::newRow("inf") << "inf" << false << 0;
        QTest::newRow("minus-inf") << "-inf" << false << 0;
        QTest::newRow("1e10-clamps") << "1e10" << true << 32767;
        QTest::newRow("minus-1e10-clamps") << "-1e10" << true << -32768;
        QTest::newRow("beyond-float-clamps") << "1e39" << true << 32767;
        QTest::newRow("beyond-double-clamps") << "-1e400" << true << -32768;
        QTest::newRow("32767.5-stays-in-range") << "32767.5" << true << 32767;
        QTest::newRow("32766.5-rounds-up") << "32766.5" << true << 32767;
        QTest::newRow("minus-32768.9") << "-32768.9" << true << -32768;
    }
    void typedValuesRound()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QFETCH(int, stored);
        const std::optional<float> v = PointEdits::parseTyped(text);
        QCOMPARE(v.has_value(), number);
        if (number)
            QCOMPARE(PointEdits::roundTyped(*v), stored);
    }

    // A value typed into a cell, as the tables hand it on: parsed, then
    // edited in the XY or the polar form of one output.
    void typedCells_data()
    {
        QTest::addColumn<bool>("polar");
        QTest::addColumn<int>("output");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        const auto row = [](const char *name, bool polar, int output, int kind, const char *before,
                            int r, int c, const char *typed, const char *after) {
            QTest::newRow(name) << polar << output << kind << QString(before) << r << c
                                << QString(typed) << QString(after);
        };
        // clang-format off
        row("xy-rounds-half-up", false, 0, 0, "3,7 5,5", 0, 1, "10.5", "11,7 5,5");
        row("xy-number-column", false, 0, 0, "3,7 5,5", 0, 0, "9", "3,7 5,5");
        // The blank row of a polygon appends, unless the value is 0; its
        // number column appends the origin.
        row("blank-xy-y", false, 1, 0, "10,10", 1, 2, "250", "10,10 0,250");
        row("blank-xy-x", false, 1, 0, "10,10", 1, 1, "-7.6", "10,10 -7,0");
        row("blank-xy-zero", false, 1, 0, "10,10", 1, 2, "0.0", "10,10");
        row("blank-xy-1e10-clamps", false, 1, 0, "10,10", 1, 2, "1e10", "10,10 0,32767");
        row("blank-xy-number-column", false, 1, 0, "", 0, 0, "5", "0,0");
        row("arc-has-no-blank-row", false, 0, 1, "20,0 20,0", 2, 1, "5", "20,0 20,0");
        row("blank-polar-distance", true, 1, 0, "10,10", 1, 1, "500", "10,10 500,0");
        row("blank-polar-angle-180", true, 1, 0, "10,10", 1, 2, "180", "10,10 -20,0");
        row("blank-polar-angle-90", true, 1, 0, "", 0, 2, "90", "0,20");
        row("blank-polar-zero", true, 1, 0, "10,10", 1, 1, "0.0", "10,10");
        row("blank-polar-number-column", true, 1, 0, "10,10", 1, 0, "7", "10,10");
        // Polar entries convert back by truncation; beyond 16 bits a distance
        // counts as 32767: at 45 deg that is 23169.8 on each axis.
        row("polar-angle-90", true, 0, 0, "100,0", 0, 2, "90", "0,100");
        row("polar-angle-180", true, 0, 0, "0,100", 0, 2, "180", "-100,0");
        row("polar-distance-100.9", true, 0, 0, "50,0", 0, 1, "100.9", "100,0");
        row("polar-distance-minus-y", true, 0, 0, "0,-10", 0, 1, "300", "0,-300");
        row("polar-distance-1e10-clamps", true, 0, 0, "1000,1000", 0, 1, "1e10", "23169,23169");
        row("blank-polar-distance-1e10-clamps", true, 1, 0, "", 0, 1, "1e10", "32767,0");
        row("polar-angle-far-point-clamps", true, 0, 0, "30000,30000", 0, 2, "0", "32767,0");
        // An arc keeps both points on the edited point's circle, each at its
        // own angle: radius sqrt(2) * 1000 = 1414.21 at 90 deg. Three points
        // are no arc the editor keeps.
        row("arc-point0", false, 0, 1, "1000,0 0,500", 0, 2, "1000", "1000,1000 0,1414");
        row("arc-point1", false, 0, 1, "1000,0 0,500", 1, 2, "2000", "2000,0 0,2000");
        row("arc-polar-distance", true, 0, 1, "1000,0 0,500", 1, 1, "700", "700,0 0,700");
        row("arc-3-points-free", false, 0, 1, "1000,0 0,500 1,1", 0, 1, "3000", "3000,0 0,500 1,1");
        // A dependent kind's parameter point stays on the forward axis; only
        // the effect of an angle on y survives. A polygon on Out2 keeps x.
        row("straight-x-ignored", false, 1, 3, "0,20", 0, 1, "200", "0,20");
        row("straight-y", false, 1, 3, "0,20", 0, 2, "200", "0,200");
        row("fan-polar-distance", true, 1, 4, "0,20", 0, 1, "350", "0,350");
        row("straight-polar-angle", true, 1, 3, "0,20", 0, 2, "0", "0,0");
        row("fan-polar-angle-45", true, 2, 4, "0,30", 0, 2, "45", "0,21");
        row("polygon-on-out2-keeps-x", false, 1, 0, "0,20", 0, 1, "200", "200,20");
        // clang-format on
    }
    void typedCells()
    {
        QFETCH(bool, polar);
        QFETCH(int, output);
        QFETCH(int, kind);
        QFETCH(QString, before);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        AreaRecord a;
        a.shape[output] = kind;
        a.points[output] = pts(before);
        const std::optional<float> v = PointEdits::parseTyped(typed);
        QVERIFY(v);
        (polar ? PointEdits::editPolar : PointEdits::editXY)(a, output, row, column, *v);
        QCOMPARE(str(a.points[output]), after);
    }

    void rectangleStaysAxisAligned()
    {
        AreaRecord a = area(ShapeRectangle, {QPoint(), QPoint(), QPoint(), QPoint()});
        PointEdits::editXY(a, 0, 2, 1, 300.f);
        PointEdits::editXY(a, 0, 2, 2, 200.f);
        QCOMPARE(a.points[0],
                 (QVector<QPoint>{QPoint(0, 0), QPoint(0, 200), QPoint(300, 200), QPoint(300, 0)}));
        // Each corner drags its two neighbours.
        PointEdits::editXY(a, 0, 0, 1, -100.f);
        PointEdits::editXY(a, 0, 0, 2, -50.f);
        QCOMPARE(a.points[0], (QVector<QPoint>{QPoint(-100, -50), QPoint(-100, 200),
                                              QPoint(300, 200), QPoint(300, -50)}));
        PointEdits::editXY(a, 0, 3, 1, 400.f);
        QCOMPARE(a.points[0][2].x(), 400);
        PointEdits::editXY(a, 0, 1, 2, 250.f);
        QCOMPARE(a.points[0][2].y(), 250);
    }

    void deleteKeyRules()
    {
        AreaRecord a = area(ShapePolygon, {QPoint(1, 1), QPoint(2, 2)});
        QVERIFY(!PointEdits::deleteRow(a, 0, 2)); // the blank row
        QVERIFY(PointEdits::deleteRow(a, 0, 0));
        QCOMPARE(a.points[0], QVector<QPoint>{QPoint(2, 2)});
        QVERIFY(PointEdits::deleteRow(a, 0, -1)); // no current row: refill only
        QCOMPARE(a.points[0].size(), 1);
        QVERIFY(PointEdits::deleteRow(a, 0, 0));
        QVERIFY(!PointEdits::deleteRow(a, 0, -1)); // Out1 with an empty list
        QVERIFY(PointEdits::deleteRow(a, 1, -1));  // Out2 empty: refill all the same
        AreaRecord arc = area(ShapeArc, {QPoint(20, 0), QPoint(20, 0)});
        QVERIFY(!PointEdits::deleteRow(arc, 0, 0));
        QCOMPARE(arc.points[0].size(), 2);
    }

    void polygonIsVisitedByAngle()
    {
        const QVector<QPoint> shuffled = {QPoint(0, 1000), QPoint(-1000, 0), QPoint(1000, 0),
                                          QPoint(500, -500)};
        const Outline o = buildOutline(0, ShapePolygon, shuffled, {}, kSpan, kSpan);
        QCOMPARE(o.draw, Outline::Polygon);
        // Origin, then -45, 0, 90, 180 degrees, then origin; y flipped.
        const QPolygonF want = poly({QPointF(0, 0),    QPointF(500, 500),  QPointF(1000, 0),
                                QPointF(0, -1000), QPointF(-1000, 0), QPointF(0, 0)});
        QCOMPARE(o.polygon, want);
        QVERIFY(o.handsOn);
        QCOMPARE(o.handed.toFillPolygon(), want);
    }

    void vertexFlipsIntoTheScene_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QPointF>("scene");
        QTest::newRow("forward") << QPoint(0, 1000) << QPointF(0, -1000);
        // -y of the most negative int overflowed an int.
        QTest::newRow("most-negative-y") << QPoint(7, INT_MIN) << QPointF(7, 2147483648.0);
        QTest::newRow("most-positive-y") << QPoint(7, INT_MAX) << QPointF(7, -2147483647.0);
        QTest::newRow("most-negative-x") << QPoint(INT_MIN, -5) << QPointF(-2147483648.0, 5);
    }
    void vertexFlipsIntoTheScene()
    {
        QFETCH(QPoint, point);
        QFETCH(QPointF, scene);
        const Outline o = buildOutline(0, ShapePolygon, {point}, {}, kSpan, kSpan);
        QCOMPARE(o.polygon, poly({QPointF(0, 0), scene, QPointF(0, 0)}));
    }

    void equalAnglesKeepTheLaterPoint()
    {
        const Outline o =
            buildOutline(0, ShapePolygon, {QPoint(100, 100), QPoint(300, 300), QPoint(200, 200)},
                         {}, kSpan, kSpan);
        QCOMPARE(o.polygon, poly({QPointF(0, 0), QPointF(200, -200), QPointF(0, 0)}));
    }

    void degenerateTemplates()
    {
        // The rectangle template has one angle only.
        const Outline rect = buildOutline(0, ShapeRectangle, QVector<QPoint>(4, QPoint(20, 0)), {},
                                          kSpan, kSpan);
        QCOMPARE(rect.polygon, poly({QPointF(0, 0), QPointF(20, 0), QPointF(0, 0)}));
        QCOMPARE(pathArea(rect.handed), 0.0);
        // An empty polygon hands on an empty-area path.
        const Outline empty = buildOutline(1, ShapePolygon, {}, {}, kSpan, kSpan);
        QCOMPARE(empty.polygon, poly({QPointF(0, 0), QPointF(0, 0)}));
        QVERIFY(empty.handsOn);
        // The arc template sweeps nothing but is still handed on.
        const Outline arc = buildOutline(2, ShapeArc, QVector<QPoint>(2, QPoint(20, 0)), {},
                                         kSpan, kSpan);
        QCOMPARE(arc.draw, Outline::FilledPath);
        QVERIFY(arc.handsOn);
        QVERIFY(pathArea(arc.path) < 1e-6);
    }

    void arcIsAPieToTheFartherPoint()
    {
        const Outline o =
            buildOutline(0, ShapeArc, {QPoint(0, 1000), QPoint(2000, 0)}, {}, kSpan, kSpan);
        QCOMPARE(o.draw, Outline::FilledPath);
        // Quarter circle of radius 2000 between 0 and 90 degrees.
        QVERIFY(qAbs(pathArea(o.path) - M_PI * 2000 * 2000 / 4) < 2000);
        QVERIFY(covers(o.path, 1000, 1500));
        QVERIFY(!covers(o.path, -100, 1500));
        QVERIFY(!covers(o.path, 1500, -100));
        QVERIFY(!covers(o.path, 1500, 1500)); // radius 2121
        // Angles straddling the +X axis: from -45 to 45 degrees.
        const Outline b =
            buildOutline(0, ShapeArc, {QPoint(1000, 1000), QPoint(1000, -1000)}, {}, kSpan, kSpan);
        QVERIFY(covers(b.path, 1200, 0));
        QVERIFY(!covers(b.path, -200, 0));
    }

    void wrongPointCountsDrawAndHandNothing_data()
    {
        QTest::addColumn<int>("output");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("count");
        QTest::newRow("arc-1") << 0 << int(ShapeArc) << 1;
        QTest::newRow("arc-3") << 1 << int(ShapeArc) << 3;
        QTest::newRow("straight-2") << 1 << int(ShapeStraight) << 2;
        QTest::newRow("fan-0") << 2 << int(ShapeFan) << 0;
        QTest::newRow("ratio-2") << 1 << int(ShapeRatio) << 2;
        QTest::newRow("straight-on-out1") << 0 << int(ShapeStraight) << 1;
        QTest::newRow("ratio-on-out1") << 0 << int(ShapeRatio) << 1;
        QTest::newRow("kind-6") << 1 << 6 << 1;
        QTest::newRow("kind--1") << 2 << -1 << 3;
    }
    void wrongPointCountsDrawAndHandNothing()
    {
        QFETCH(int, output);
        QFETCH(int, kind);
        QFETCH(int, count);
        QPainterPath parent;
        parent.addRect(-100, -100, 200, 200);
        const Outline o =
            buildOutline(output, kind, QVector<QPoint>(count, QPoint(0, 500)), parent, kSpan, kSpan);
        QCOMPARE(o.draw, Outline::Nothing);
        QVERIFY(!o.handsOn);
    }

    void straightCutsTheParentAtForwardDistance()
    {
        const auto o = buildAreaOutlines(area(ShapePolygon, kSquare, ShapeStraight,
                                              {QPoint(0, 1000)}, ShapeStraight, {QPoint(0, 3000)}),
                                         kSpan, kSpan);
        const QPainterPath &out2 = o[1].path;
        QVERIFY(covers(out2, 0, 900));
        QVERIFY(covers(out2, 1900, 100));
        QVERIFY(!covers(out2, 0, 1100));
        QVERIFY(!covers(out2, 2100, 500)); // outside the parent
        QVERIFY(qAbs(pathArea(out2) - 4000.0 * 1000) < 1);
        // Out3 derives from Out2's band, not from Out1: its 3000 changes nothing.
        QVERIFY(qAbs(pathArea(o[2].path) - 4000.0 * 1000) < 1);
    }

    void fanLeavesOutTheRearWedge()
    {
        const auto o = buildAreaOutlines(
            area(ShapePolygon, kAround, ShapeFan, {QPoint(0, 2000)}), kSpan, kSpan);
        const QPainterPath &fan = o[1].path;
        QCOMPARE(o[1].draw, Outline::Path);
        QVERIFY(covers(fan, 0, 1900));
        QVERIFY(!covers(fan, 0, 2100));
        QVERIFY(covers(fan, 1500, -1000)); // -34 degrees: inside -45..225
        QVERIFY(!covers(fan, 0, -1000));   // straight behind
        QVERIFY(!covers(fan, 700, -1000)); // -55 degrees
        // Larger than the parent's reach: the parent without its rear wedge.
        const auto big = buildAreaOutlines(
            area(ShapePolygon, kSquare, ShapeFan, {QPoint(0, 9000)}), kSpan, kSpan);
        QVERIFY(qAbs(pathArea(big[1].path) - 4000.0 * 4000) < 1);
    }

    void ratioScalesTheDrawingButHandsOnTheParent()
    {
        const AreaRecord a = area(ShapePolygon, kSquare, ShapeRatio, {QPoint(0, 1000)},
                                  ShapeStraight, {QPoint(0, 2000)});
        const auto o = buildAreaOutlines(a, kSpan, kSpan);
        QCOMPARE(o[1].draw, Outline::ScaledPath);
        QCOMPARE(o[1].scale, 0.25); // 1000 / 4000
        QVERIFY(qAbs(pathArea(o[1].handed) - 4000.0 * 4000) < 1);
        // Out3 below the ratio cuts the unscaled square at 2000.
        QVERIFY(qAbs(pathArea(o[2].path) - 4000.0 * 2000) < 1);
        // At or above the parent's height the parent is drawn unchanged.
        const auto same = buildAreaOutlines(
            area(ShapePolygon, kSquare, ShapeRatio, {QPoint(0, 4000)}), kSpan, kSpan);
        QCOMPARE(same[1].scale, 1.0);
        const auto zero = buildAreaOutlines(
            area(ShapePolygon, kSquare, ShapeRatio, {QPoint(0, 0)}), kSpan, kSpan);
        QCOMPARE(zero[1].scale, 0.0);
    }

    void chainKeepsTheLastOutlineWhenAParentDrawsNothing()
    {
        std::array<QPainterPath, 2> parents;
        buildAreaOutlines(area(ShapePolygon, kSquare), kSpan, kSpan, parents);
        QVERIFY(qAbs(pathArea(parents[0]) - 4000.0 * 4000) < 1);
        // Another area whose Out1 is an Arc with one point hands nothing on:
        // its dependent Out2 still cuts the square received before.
        const auto o = buildAreaOutlines(
            area(ShapeArc, {QPoint(5, 5)}, ShapeStraight, {QPoint(0, 1000)}), kSpan, kSpan, parents);
        QCOMPARE(o[0].draw, Outline::Nothing);
        QVERIFY(qAbs(pathArea(o[1].path) - 4000.0 * 1000) < 1);
        // A one-off drawing starts from nothing.
        const auto fresh = buildAreaOutlines(
            area(ShapeArc, {QPoint(5, 5)}, ShapeStraight, {QPoint(0, 1000)}), kSpan, kSpan);
        QCOMPARE(pathArea(fresh[1].path), 0.0);
    }

    void farthestRadiusCoversEveryOutput()
    {
        QCOMPARE(farthestRadius(AreaRecord()), 0.0f);
        QCOMPARE(farthestRadius(area(ShapePolygon, {QPoint(3000, 4000)}, ShapeStraight,
                                     {QPoint(0, 6000)})),
                 6000.0f);
    }
};

QTEST_APPLESS_MAIN(TestGeometry)
#include "tst_geometry.moc"
