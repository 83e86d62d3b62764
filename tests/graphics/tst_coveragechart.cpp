#include "core/sensor/CaseSelection.h"
#include "core/zones/ZoneStore.h"
#include "graphics/CoverageChart.h"
#include "gui/dialogs/CaseCoverage.h"

#include <QBuffer>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QRandomGenerator>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QToolTip>
#include <QtTest>

using namespace CaseSelection;

namespace {

void setChannel(AreaRecord &r, int s0, int s1, int v0, int v1, int mode, bool zone = true)
{
    r.steerMin = s0;
    r.steerMax = s1;
    r.speedMin = v0;
    r.speedMax = v1;
    r.operationMode = mode;
    r.points[0] = zone ? QVector<QPoint>{QPoint(-500, 1000), QPoint(500, 1000)} : QVector<QPoint>{};
}

// Area 0: steering -30..30, speed 0..100, every mode. Area 5: steering
// 0..60, speed 50..300, mode 2 only. Both hold zones; the rest is untouched.
QVector<AreaRecord> smallDesign()
{
    QVector<AreaRecord> areas(kAreaCount);
    setChannel(areas[0], -30, 30, 0, 100, 0);
    setChannel(areas[5], 0, 60, 50, 300, 2);
    return areas;
}

bool near(const QColor &a, const QColor &b, int slack = 6)
{
    return qAbs(a.red() - b.red()) <= slack && qAbs(a.green() - b.green()) <= slack &&
           qAbs(a.blue() - b.blue()) <= slack;
}

// How many pixels of a 7 x 7 patch around a point have the colour.
int patchCount(const QImage &image, QPoint at, const QColor &colour)
{
    int n = 0;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            n += near(image.pixelColor(at + QPoint(dx, dy)), colour) ? 1 : 0;
    return n;
}

} // namespace

class TestCoverageChart : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Worked out by hand from the two channels of smallDesign().
    void gridOfSmallDesign_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("steer");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("applies");
        QTest::addColumn<int>("held");
        QTest::newRow("standing") << 0 << 0 << 0 << 0 << 1;
        QTest::newRow("lower-left-bound") << 3 << -30 << 0 << 0 << 1;
        QTest::newRow("left-of-area-0") << 0 << -31 << 0 << -1 << 0;
        QTest::newRow("reversing") << 2 << 0 << -1 << -1 << 0;
        QTest::newRow("area-5-other-mode") << 1 << 31 << 100 << -1 << 0;
        QTest::newRow("area-5-own-mode") << 2 << 31 << 100 << 5 << 1;
        QTest::newRow("shared-corner") << 2 << 30 << 100 << 0 << 2;
        QTest::newRow("shared-lower-bound") << 2 << 0 << 50 << 0 << 2;
        QTest::newRow("below-area-5") << 2 << 0 << 49 << 0 << 1;
        QTest::newRow("area-5-far-corner") << 2 << 60 << 300 << 5 << 1;
        QTest::newRow("beyond-area-5") << 2 << 61 << 300 << -1 << 0;
        QTest::newRow("chart-corner") << 4 << 180 << -300 << -1 << 0;
        QTest::newRow("outside-the-chart") << 0 << 181 << 0 << -1 << 0;
    }
    void gridOfSmallDesign()
    {
        QFETCH(int, mode);
        QFETCH(int, steer);
        QFETCH(int, speed);
        QFETCH(int, applies);
        QFETCH(int, held);
        const ModeGrid g = modeGrid(smallDesign(), mode);
        QCOMPARE(g.appliesAt(steer, speed), applies);
        const int b = g.blockAt(steer, speed);
        QCOMPARE(b >= 0 ? int(g.held[b]) : 0, held);
        if (b >= 0)
            QCOMPARE(g.isGap(b), applies < 0);
    }

    // 361 x 601 = 216961 states; area 0 holds 61 x 101 = 6161 of them; in
    // mode 2 area 5 adds 61 x 251 - 31 x 51 = 13730 and shares 1581.
    void countsOfSmallDesign()
    {
        const QVector<AreaRecord> areas = smallDesign();
        const Coverage c = coverage(areas);
        for (int m = 0; m < kModes; ++m) {
            QCOMPARE(c.modes[m].gaps, m == 2 ? 197070 : 210800);
            QCOMPARE(c.modes[m].overlaps, m == 2 ? 1581 : 0);
        }
        QCOMPARE(c.unreachable, QVector<int>());
    }

    // An untouched area holds the standing vehicle: ahead of an area in use
    // it takes that state, which then counts as a gap, not as covered.
    void untouchedAreaAheadMakesAGap()
    {
        QVector<AreaRecord> areas(kAreaCount);
        setChannel(areas[2], -10, 10, -10, 10, 0);
        const ModeGrid g = modeGrid(areas, 0);
        QCOMPARE(g.appliesAt(0, 0), 0);
        QVERIFY(g.isGap(g.blockAt(0, 0)));
        QCOMPARE(int(g.held[g.blockAt(0, 0)]), 1);
        QCOMPARE(g.appliesAt(1, 0), 2);
        QCOMPARE(g.gaps, 216961 - 21 * 21 + 1);
    }

    // The blocks against the rule applied state by state, for designs with
    // bounds at the chart's edges, beyond them, reversed ranges and modes
    // no vehicle has.
    void gridFollowsTheRuleAtEveryState()
    {
        QRandomGenerator rng(20261206);
        for (int design = 0; design < 2; ++design) {
            QVector<AreaRecord> areas(kAreaCount);
            for (int n = 0; n < 14; ++n) {
                const int a = rng.bounded(kAreaCount);
                const int s = rng.bounded(-200, 200), v = rng.bounded(-330, 330);
                setChannel(areas[a], s, s + rng.bounded(-5, 150), v, v + rng.bounded(-5, 300),
                           rng.bounded(0, 8), rng.bounded(3) > 0);
            }
            setChannel(areas[63], -180, 180, 300, 300, 0);
            QVector<Channel> channels;
            for (const AreaRecord &r : areas)
                channels << channelOf(r);
            for (int mode = 0; mode < kModes; ++mode) {
                const ModeGrid g = modeGrid(areas, mode);
                int gaps = 0, overlaps = 0;
                for (int v = kSpeedMin; v <= kSpeedMax; ++v)
                    for (int s = kSteerMin; s <= kSteerMax; ++s) {
                        const QVector<int> h = holders(channels, s, v, mode);
                        int used = 0;
                        for (int a : h)
                            used += inUse(areas[a]) ? 1 : 0;
                        const int first = h.value(0, -1);
                        gaps += first < 0 || !inUse(areas[first]) ? 1 : 0;
                        overlaps += used > 1 ? 1 : 0;
                        const int b = g.blockAt(s, v);
                        if (g.applied[b] != first || g.held[b] != used)
                            QFAIL(qPrintable(QString::asprintf("design %d mode %d state %d %d",
                                                               design, mode, s, v)));
                    }
                QCOMPARE(g.gaps, gaps);
                QCOMPARE(g.overlaps, overlaps);
            }
        }
    }

    void unreachableAreasAndWhatShadowsThem()
    {
        QVector<AreaRecord> areas = smallDesign();
        setChannel(areas[3], -10, 10, 20, 50, 0);  // inside area 0
        setChannel(areas[4], 5, 5, 10, 5, 0);      // speed range reversed
        setChannel(areas[6], -10, 10, 0, 10, 7);   // a mode no vehicle has
        setChannel(areas[7], 40, 70, 200, 300, 2); // 40..60 under area 5, 61..70 its own
        setChannel(areas[8], 20, 50, 90, 120, 2);  // under areas 0 and 5 together
        QVector<ModeGrid> grids;
        for (int m = 0; m < kModes; ++m)
            grids << modeGrid(areas, m);
        QCOMPARE(coverage(grids).unreachable, (QVector<int>{3, 4, 6, 8}));
        QCOMPARE(appliedInstead(grids, areas, 3), QVector<int>{0});
        QCOMPARE(appliedInstead(grids, areas, 8), (QVector<int>{0, 5}));
        QVERIFY(!holdsAnyState(channelOf(areas[4])));
        QVERIFY(!holdsAnyState(channelOf(areas[6])));

        QVector<QString> pairs;
        for (const Overlap &o : overlaps(areas))
            pairs << QString::asprintf("%d<%d %d..%d %d..%d m%d", o.earlier, o.later,
                                       o.common.steerMin, o.common.steerMax, o.common.speedMin,
                                       o.common.speedMax, o.common.operationMode);
        // Area 3 reaches speed 50, where area 5 starts.
        QCOMPARE(pairs, (QVector<QString>{"0<3 -10..10 20..50 m0", "0<5 0..30 50..100 m2",
                                          "3<5 0..10 50..50 m2", "5<7 40..60 200..300 m2",
                                          "0<8 20..30 90..100 m2", "5<8 20..50 90..120 m2"}));
    }

    // The chart at known cells: the colour of the area that applies, grey
    // with hatching in a gap, the area's colour crossed by dark hatching
    // where channels overlap. The SVG, drawn back, shows the same.
    void chartColoursKnownCells()
    {
        const QVector<AreaRecord> areas = smallDesign();
        const QRectF target(0, 0, 900, 640);
        const qreal f = 12;
        const QRectF plot = CoverageChart::plotRect(target, f);
        const auto paint = [&](QPaintDevice *device) {
            QPainter p(device);
            p.fillRect(target, Qt::white);
            CoverageChart::paintGrid(p, target, modeGrid(areas, 2), false, f);
        };
        QImage png(target.size().toSize(), QImage::Format_RGB32);
        paint(&png);
        QBuffer svg;
        svg.open(QIODevice::WriteOnly);
        QSvgGenerator generator;
        generator.setOutputDevice(&svg);
        generator.setSize(target.size().toSize());
        generator.setViewBox(target);
        paint(&generator);
        QSvgRenderer renderer(svg.data());
        QVERIFY(renderer.isValid());
        QImage back(png.size(), QImage::Format_RGB32);
        back.fill(Qt::white);
        {
            QPainter p(&back);
            renderer.render(&p, target);
        }
        const auto at = [&plot](int s, int v) {
            return CoverageChart::cellCentre(plot, s, v).toPoint();
        };
        const QColor a0 = CoverageChart::areaColor(0), a5 = CoverageChart::areaColor(5);
        const QColor grey = CoverageChart::gapColor();
        for (const QImage &image : {png, back}) {
            QCOMPARE(patchCount(image, at(-18, 25), a0), 49);
            QCOMPARE(patchCount(image, at(45, 200), a5), 49);
            const QPoint gap = at(-120, -150);
            QVERIFY(patchCount(image, gap, grey) > 15);
            QCOMPARE(patchCount(image, gap, a0) + patchCount(image, gap, a5), 0);
            // Overlap: area 0's colour with dark lines through it.
            const QPoint shared = at(15, 75);
            QVERIFY(patchCount(image, shared, a0) > 15);
            QVERIFY(patchCount(image, shared, a0) < 45);
            QCOMPARE(patchCount(image, shared, grey), 0);
        }
    }

    // Every area keeps apart from the others and from a gap; the first 16,
    // those of most designs, the more.
    void areaColoursAreDistinct()
    {
        const auto distance = [](const QColor &a, const QColor &b) {
            return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) +
                   qAbs(a.blue() - b.blue());
        };
        for (int a = 0; a < kAreaCount; ++a) {
            QVERIFY(distance(CoverageChart::areaColor(a), CoverageChart::gapColor()) >= 60);
            for (int b = a + 1; b < kAreaCount; ++b)
                if (distance(CoverageChart::areaColor(a), CoverageChart::areaColor(b)) <
                    (b < 16 ? 40 : 20))
                    QFAIL(qPrintable(QString("areas %1 and %2 look alike").arg(a).arg(b)));
        }
    }

    // The window: hover names the state and its areas, a click picks the
    // area that applies, an edit shows once designChanged() is called.
    void windowHoverAndClick()
    {
        ZoneStore store;
        store.areas = smallDesign();
        CaseCoverage window(&store);
        window.setLanguage(false);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setMode(2);
        QWidget *chart = window.chartView();

        QHelpEvent hover(QEvent::ToolTip, window.chartPoint(15, 75),
                         chart->mapToGlobal(window.chartPoint(15, 75)));
        QApplication::sendEvent(chart, &hover);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QString("steering 15°, speed 75, Type 2\napplies: area 0\n"
                                           "held by areas: 0, 5\nclick to edit area 0"));
        QCOMPARE(window.stateText(0, 0),
                 QString("steering 0°, speed 0, Type 2\napplies: area 0\nheld by areas: 0\n"
                         "held by 62 areas not in use\nclick to edit area 0"));
        QCOMPARE(window.stateText(-100, 0),
                 QString("steering -100°, speed 0, Type 2\nno area applies (a gap)"));

        QSignalSpy picked(&window, &CaseCoverage::areaPicked);
        QTest::mouseClick(chart, Qt::LeftButton, {}, window.chartPoint(45, 200));
        QTest::mouseClick(chart, Qt::LeftButton, {}, window.chartPoint(-150, -250));
        QTest::mouseClick(chart, Qt::LeftButton, {}, window.chartPoint(-20, 10));
        QCOMPARE(picked.size(), 2);
        QCOMPARE(picked[0][0].toInt(), 5);
        QCOMPARE(picked[1][0].toInt(), 0);

        auto *counts = window.findChild<QLabel *>("CoverageCounts");
        auto *unreachable = window.findChild<QLabel *>("CoverageUnreachable");
        QCOMPARE(counts->text(), QString("gaps 197070 states, overlaps 1581 states (of 216961)"));
        QCOMPARE(unreachable->text(), QString("Unreachable areas: none"));
        // Area 5 widened to every mode; area 9 hidden behind area 0 adds its
        // 11 x 6 states to the overlaps.
        setChannel(store.areas[5], 0, 60, 50, 300, 0);
        setChannel(store.areas[9], -5, 5, 0, 5, 0);
        window.designChanged();
        window.setMode(1);
        QCOMPARE(counts->text(), QString("gaps 197070 states, overlaps 1647 states (of 216961)"));
        QCOMPARE(unreachable->text(), QString("Unreachable areas: 9"));
    }

    // Hidden, the window leaves the work for when it is shown again.
    void hiddenWindowCatchesUpWhenShown()
    {
        ZoneStore store;
        store.areas = smallDesign();
        CaseCoverage window(&store);
        QCOMPARE(window.shownGrid().gaps, 210800);
        setChannel(store.areas[0], -180, 180, -300, 300, 0);
        window.designChanged();
        QCOMPARE(window.shownGrid().gaps, 210800);
        window.show();
        QCOMPARE(window.shownGrid().gaps, 0);
        QCOMPARE(window.shownCoverage().unreachable, QVector<int>{5});
    }

    void languages()
    {
        ZoneStore store;
        CaseCoverage window(&store);
        auto *mode = window.findChild<QComboBox *>("CoverageMode");
        window.setMode(3);
        QCOMPARE(window.windowTitle(), QString("工况覆盖"));
        QCOMPARE(mode->itemText(0), QString("操作模式0"));
        QVERIFY(
            window.findChild<QLabel *>("CoverageUnreachable")->text().startsWith("不可达区域：无"));
        window.setLanguage(false);
        QCOMPARE(window.windowTitle(), QString("Case Coverage"));
        QCOMPARE(mode->itemText(0), QString("Type 0"));
        // The edit controls' sixth item has no English text either.
        QCOMPARE(mode->itemText(5), QString("操作模式5"));
        QCOMPARE(window.mode(), 3);
        QVERIFY(window.findChild<QLabel *>("CoverageUnreachable")
                    ->text()
                    .endsWith("(no area in use has its case channel set)"));
    }
};

QTEST_MAIN(TestCoverageChart)
#include "tst_coveragechart.moc"
