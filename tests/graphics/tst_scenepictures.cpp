// The scene's pictures probed pixel by pixel: the live scan in its three
// display modes, thinned and clipped against drawn whole, the zones and
// their stacking, and designs of thousands of points.
#include "tests/graphics/GraphicsTestKit.h"

#include "graphics/CoverageMask.h"

namespace {

QPolygonF points(const QString &text)
{
    QPolygonF list;
    for (const QString &p : text.split(' ', Qt::SkipEmptyParts)) {
        const QStringList xy = p.split(',');
        list << QPointF(xy[0].toDouble(), xy[1].toDouble());
    }
    return list;
}

// Marks put into a 12 x 10 pixel mask, one kind per line: "dots" (two-pixel
// points, "x,y*n" standing for n of them), "closed" and "open" (two-pixel
// lines through the points), "polygon".
void addMarks(CoverageMask &mask, const QString &marks)
{
    for (const QString &line : marks.split(';', Qt::SkipEmptyParts)) {
        const QString kind = line.section(' ', 0, 0, QString::SectionSkipEmpty);
        const QString rest = line.section(' ', 1, -1, QString::SectionSkipEmpty);
        if (kind == "dots") {
            QPolygonF at;
            QVector<int> repeats;
            for (const QString &p : rest.split(' ', Qt::SkipEmptyParts)) {
                at << points(p.section('*', 0, 0)).value(0);
                repeats << (p.contains('*') ? p.section('*', 1).toInt() : 1);
            }
            mask.addDots(at, repeats, 2);
        } else if (kind == "closed" || kind == "open") {
            mask.addStroke(points(rest), kind == "closed", 2);
        } else {
            const QPolygonF poly = points(rest);
            mask.addPolygon(poly.constData(), poly.size());
        }
    }
}

// The first pixel of an area where two masks differ by more than the slack,
// as "x,y: got for want"; empty where they agree.
QString firstDifference(CoverageMask &got, CoverageMask &want, const QRect &area, int slack = 0)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (std::abs(got.coverage(x, y) - want.coverage(x, y)) > slack)
                return QStringLiteral("%1,%2: %3 for %4")
                    .arg(x)
                    .arg(y)
                    .arg(got.coverage(x, y))
                    .arg(want.coverage(x, y));
    return QString();
}

} // namespace

class TestScenePictures : public QObject
{
    Q_OBJECT
    QuietViewTests m_quiet;

private Q_SLOTS:
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
        // "noisy", "rain" (every step jumps metres), or a line sweep
        QTest::addColumn<QString>("sweep");
        QTest::addColumn<int>("ratio"); // device pixels per pixel
        for (int zoom : {-55, 180})
            for (int mode : {0, 1, 2})
                QTest::newRow(qPrintable(QStringLiteral("%1 at %2").arg(QStringList{"graph", "cloud", "line"}[mode]).arg(zoom)))
                    << mode << zoom << "noisy" << 1;
        QTest::newRow("rain, graph at -55") << 0 << -55 << "rain" << 1;
        QTest::newRow("rain, cloud at -55") << 1 << -55 << "rain" << 1;
        QTest::newRow("rain, line at -55") << 2 << -55 << "rain" << 1;
        // A high-density screen: two device pixels to a pixel.
        QTest::newRow("graph at -55, ratio 2") << 0 << -55 << "noisy" << 2;
        QTest::newRow("cloud at -55, ratio 2") << 1 << -55 << "noisy" << 2;
        QTest::newRow("line at -55, ratio 2") << 2 << -55 << "noisy" << 2;
        QTest::newRow("near and far, line at -55, ratio 2") << 2 << -55 << "near and far" << 2;
        QTest::newRow("flat runs, line at 180") << 2 << 180 << "flat runs" << 1;
        // At the widest zoom a step is a millimetre, a hundredth of a pixel:
        // each one's stroke shows the way it points, and the turns of near
        // and far steps pile up at the line's edges. No step may be left
        // out of a line.
        QTest::newRow("flat runs, line at -55") << 2 << -55 << "flat runs" << 1;
        QTest::newRow("near and far, line at -55") << 2 << -55 << "near and far" << 1;
        QTest::newRow("flat runs, line at -55, ratio 2") << 2 << -55 << "flat runs" << 2;
    }
    void thinnedScanLooksLikeFull()
    {
        QFETCH(int, mode);
        QFETCH(int, zoom);
        QFETCH(QString, sweep);
        QFETCH(int, ratio);
        ZoneStore store;
        auto scan = std::make_unique<ScanRecord>(sweepOf(sweep, mode));
        StandaloneView sv(&store, scan.get(), 3, QSize(1190, 715));
        sv.setZoom(zoom);
        sv.view()->centerOn(700, -1200);
        sv.showArea(0, 0);
        sv.scene()->setHandlesVisible(false);
        ScanItem *items[2] = {sv.scene()->outlineItem(), sv.scene()->intensityItem()};
        const auto grab = [&sv, ratio] {
            if (ratio == 1)
                return sv.grab();
            QImage image(sv.view()->viewport()->size() * ratio, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            QPainter p(&image);
            sv.render(&p);
            return image;
        };
        const QImage thinned = grab();
        for (ScanItem *i : items)
            i->setThinning(false);
        const QImage full = grab();
        for (ScanItem *i : items)
            i->setVisible(false);
        const QImage blank = grab();
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

    // Coverage of marks in 256ths of a pixel, worked out by hand: the exact
    // area for dots (a point is a line of 1/63 pixel with square caps, so
    // 1/63 more to the right), four rows per pixel with exact widths for
    // lines and polygons; overlapping parts add up, and batches of sixteen
    // dots blend over one another.
    void coverageMask_data()
    {
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("want"); // "x,y=coverage ..."
        QTest::newRow("dot-on-pixel-corners") << "dots 3,3" << "2,2=256 3,3=256 4,3=4 1,3=0 3,4=0";
        // (4.5 + 1/63 - 4) * 1 = 0.516 -> 132; half of it -> 66.
        QTest::newRow("dot-on-pixel-centre") << "dots 3.5,3.5" << "2,2=64 3,3=256 4,3=132 4,4=66 5,3=0";
        QTest::newRow("two-dots-in-one-batch-add") << "dots 3.5,3.5*2" << "2,2=128 3,3=256";
        // 64, then 64 over it: 64 + 64 * 192 / 256 = 112.
        QTest::newRow("dots-in-two-batches-blend") << "dots 3.5,3.5 9,9*15 3.5,3.5" << "2,2=112 9,9=256";
        // Rows at 1/8, 3/8, 5/8, 7/8 leave 7/8, 5/8, 3/8, 1/8 of the pixel.
        QTest::newRow("triangle") << "polygon 0,0 4,0 0,4" << "0,0=256 3,0=128 2,1=128 0,3=128 3,3=0";
        QTest::newRow("triangle-either-way-round") << "polygon 0,4 4,0 0,0" << "3,0=128 1,1=256";
        // There and back: both halves of the pen's edge rows add up.
        QTest::newRow("closed-line-there-and-back") << "closed 1,3.5 8,3.5" << "4,2=256 4,3=256 4,4=256 4,5=0 0,3=0 8,3=0";
        QTest::newRow("open-line-square-caps") << "open 1,3.5 8,3.5" << "0,3=256 0,2=128 8,3=256 9,3=0 4,5=0";
        // The bevel fills half of the pixel outside the corner.
        QTest::newRow("bevel-at-a-right-angle") << "open 2,6 6,6 6,2" << "6,6=128 5,5=256 6,5=256 7,6=0";
        QTest::newRow("clamped-at-full") << "polygon 0,0 4,0 0,4; polygon 0,0 4,0 0,4; polygon 0,0 4,0 0,4" << "0,0=256 3,0=256";
        QTest::newRow("outside-the-mask") << "dots -5,-5 20,3; open -9,5 -3,5" << "0,0=0 11,3=0 0,5=0";
    }
    void coverageMask()
    {
        QFETCH(QString, marks);
        QFETCH(QString, want);
        CoverageMask mask(QRect(0, 0, 12, 10));
        addMarks(mask, marks);
        for (const QString &w : want.split(' ')) {
            const QStringList xy = w.section('=', 0, 0).split(',');
            QCOMPARE(mask.coverage(xy[0].toInt(), xy[1].toInt()), w.section('=', 1).toInt());
        }
    }

    // The mask lands where its device pixels are, in its colour blended by
    // coverage, and keeps nothing outside its rectangle.
    void coverageMaskPaints()
    {
        CoverageMask mask(QRect(2, 2, 4, 4));
        QPolygonF at;
        at << QPointF(2, 2) << QPointF(5.5, 3.5);
        mask.addDots(at, {}, 2);
        QCOMPARE(mask.coverage(1, 1), 0);  // outside
        QCOMPARE(mask.coverage(2, 2), 256); // [1, 3] x [1, 3] over [2, 3] x [2, 3]
        QCOMPARE(mask.coverage(3, 2), 4);
        QCOMPARE(mask.coverage(4, 2), 64);
        QImage img(8, 8, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::white);
        QPainter p(&img);
        p.translate(100, 100); // the mask draws in device pixels
        mask.paint(&p, Qt::green);
        p.end();
        QVERIFY2(near(img.pixel(2, 2), QColor(0, 255, 0), 1), qPrintable(rgb(img.pixel(2, 2))));
        QVERIFY2(near(img.pixel(4, 2), QColor(191, 255, 191), 1), qPrintable(rgb(img.pixel(4, 2))));
        QVERIFY2(near(img.pixel(1, 1), Qt::white, 0), qPrintable(rgb(img.pixel(1, 1))));
        QVERIFY2(near(img.pixel(6, 4), Qt::white, 0), qPrintable(rgb(img.pixel(6, 4))));
    }

    // A mask lives on from paint to paint: started again over another area,
    // it holds what a new one would, wherever the last one was full or held
    // dots.
    void coverageMaskStartsAgainEmpty_data()
    {
        QTest::addColumn<QRect>("before");
        QTest::addColumn<QRect>("after");
        QTest::newRow("same area") << QRect(0, 0, 12, 10) << QRect(0, 0, 12, 10);
        QTest::newRow("wider before") << QRect(-40, 0, 140, 10) << QRect(0, 0, 12, 10);
        QTest::newRow("narrower before") << QRect(0, 0, 5, 4) << QRect(-3, -2, 70, 12);
    }
    void coverageMaskStartsAgainEmpty()
    {
        QFETCH(QRect, before);
        QFETCH(QRect, after);
        const QString marks = "closed 1,3.5 8,3.5 8,8 1,8; polygon 0,0 4,0 0,4; dots 3.5,3.5*40 9,9";
        CoverageMask reused(before);
        // A stroke last, not yet summed when the mask starts again.
        addMarks(reused, "dots 2,2*20 6,6; polygon -50,-50 200,-50 200,50 -50,50; open -9,2 30,7");
        reused.reset(after);
        QCOMPARE(reused.coverage(after.left(), after.top()), 0);
        addMarks(reused, marks);
        CoverageMask fresh(after);
        addMarks(fresh, marks);
        QCOMPARE(firstDifference(reused, fresh, after), QString());
    }

    // A stroke's coverage is that of its pieces added up: a quad along each
    // segment, the bevel on the outer side of each turn, square caps on an
    // open one. Polylines a sweep draws: millimetre steps thousands to a
    // pixel, near and far steps turning straight back, long jumps, and
    // straight runs (where the pieces meet without a turn).
    void strokeIsTheSumOfItsPieces_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("closed");
        for (const bool closed : {false, true}) {
            const QString end = closed ? ", closed" : ", open";
            QTest::newRow(qPrintable("fine steps" + end)) << "fine" << closed;
            QTest::newRow(qPrintable("near and far" + end)) << "zigzag" << closed;
            QTest::newRow(qPrintable("long jumps" + end)) << "jumps" << closed;
            QTest::newRow(qPrintable("straight runs" + end)) << "straight" << closed;
        }
    }
    void strokeIsTheSumOfItsPieces()
    {
        QFETCH(QString, kind);
        QFETCH(bool, closed);
        QRandomGenerator rng(7);
        QPolygonF line;
        for (int i = 0; i < 400; ++i) {
            const double a = 0.2 + 2.4 * i / 400;
            double r = 8;
            if (kind == "fine") // whole millimetres at a hundredth of a pixel each
                r = std::floor(800 + rng.bounded(3)) / 100;
            else if (kind == "zigzag")
                r = i % 2 ? 11.5 : 6 + rng.bounded(0.3);
            else if (kind == "jumps")
                r = 3 + rng.bounded(9.0);
            else if (i % 40 < 20)
                r = 9;
            const QPointF p(16 + r * std::cos(a), 3 + r * std::sin(a));
            line << (kind == "fine" ? QPointF(std::floor(p.x() * 100) / 100, std::floor(p.y() * 100) / 100) : p);
        }
        const QRect area(0, 0, 32, 20);
        CoverageMask stroked(area);
        stroked.addStroke(line, closed, 2);
        // The same pieces one by one.
        CoverageMask pieces(area);
        QPolygonF p;
        for (const QPointF &q : line)
            if (p.isEmpty() || q != p.last())
                p << q;
        const int n = p.size(), segments = closed ? n : n - 1;
        const auto normal = [&](int k) {
            const QPointF d = p[(k + 1) % n] - p[k];
            return QPointF(-d.y(), d.x()) / std::hypot(d.x(), d.y());
        };
        for (int k = 0; k < segments; ++k) {
            QPointF a = p[k], b = p[(k + 1) % n];
            const QPointF nk = normal(k), along(nk.y(), -nk.x());
            if (!closed && k == 0)
                a -= along;
            if (!closed && k == segments - 1)
                b += along;
            const QPointF quad[4] = {a + nk, b + nk, b - nk, a - nk};
            pieces.addPolygon(quad, 4);
            if (closed || k > 0) {
                const QPointF before = normal((k + segments - 1) % segments);
                const double turn = before.x() * nk.y() - before.y() * nk.x();
                const double side = turn > 0 ? -1 : 1;
                const QPointF bevel[3] = {p[k], p[k] + before * side, p[k] + nk * side};
                pieces.addPolygon(bevel, 3);
            }
        }
        QCOMPARE(firstDifference(stroked, pieces, area, 2), QString());
        int partial = 0; // not all full or empty
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                partial += pieces.coverage(x, y) > 0 && pieces.coverage(x, y) < 256;
        QVERIFY2(partial > 10, qPrintable(QString::number(partial)));
    }

    // A mask over part of the picture holds there what a mask over all of
    // it holds: marks reaching past any side of it count as far as it goes.
    void coverageMaskCutsMarksAtItsSides_data()
    {
        QTest::addColumn<QRect>("part");
        QTest::newRow("left part") << QRect(0, 0, 9, 20);
        QTest::newRow("right part") << QRect(22, 0, 10, 20);
        QTest::newRow("middle, above and below cut") << QRect(8, 6, 12, 7);
        QTest::newRow("inside the pen's width") << QRect(14, 9, 2, 2);
    }
    void coverageMaskCutsMarksAtItsSides()
    {
        QFETCH(QRect, part);
        const QString marks = "closed 2,2 30,3.5 29.5,18 3,17 16,9.3; open 1,10 31,10.5; "
                              "polygon 5,5 26,7 12,16";
        CoverageMask whole(QRect(0, 0, 32, 20));
        addMarks(whole, marks);
        CoverageMask cut(part);
        addMarks(cut, marks);
        QCOMPARE(firstDifference(cut, whole, part, 1), QString());
    }

    // A scan is built again when any of its values changed, and only then.
    void scanFollowsNewValuesOfTheSameSweep()
    {
        ZoneStore store;
        auto scan = std::make_unique<ScanRecord>();
        scan->connectionType = 1;
        scan->sweepLength = 400;
        scan->distanceRing.fill(600); // 75 pixels around the sensor
        StandaloneView sv(&store, scan.get(), 3, QSize(400, 300));
        sv.setZoom(100);
        sv.showArea(0, 0);
        sv.scene()->setHandlesVisible(false);
        sv.scene()->UpdataPaintOutline();
        const QImage before = sv.grab();
        // Steps 95 to 105 of 400 around 350 degrees on screen, 10 degrees
        // to the right of the sensor's X axis: a spike out to 125 pixels.
        std::fill(scan->distanceRing.begin() + 95, scan->distanceRing.begin() + 106, 1000);
        sv.scene()->UpdataPaintOutline();
        const QImage spike = sv.grab();
        QVERIFY2(countDiffering(before, spike) > 20, qPrintable(QString::number(countDiffering(before, spike))));
        const QPoint tip = pixelOf(sv.view(), 886, 156); // 900 mm along it
        QVERIFY2(near(before.pixel(tip), Qt::white, 8), qPrintable(rgb(before.pixel(tip))));
        QVERIFY2(!near(spike.pixel(tip), Qt::white, 8), qPrintable(rgb(spike.pixel(tip))));
        std::fill(scan->distanceRing.begin() + 95, scan->distanceRing.begin() + 106, 600);
        sv.scene()->UpdataPaintOutline();
        QCOMPARE(countDiffering(before, sv.grab(), 0), qint64(0));
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
};

QTEST_MAIN(TestScenePictures)
#include "tst_scenepictures.moc"
