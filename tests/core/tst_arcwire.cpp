#include "core/link/AreaCodec.h"
#include "core/zones/PointEdits.h"
#include "core/zones/ZoneGeometry.h"

#include <QtTest>
#include <cmath>

namespace {

// An area frame whose Out1 is an Arc with the given wire values; the sensor
// sends 16-bit words high byte first.
QByteArray arcFrame(int start, int end, int radius)
{
    AreaRecord a;
    a.shape[0] = ShapeArc;
    a.points[0] = {QPoint(1000, 0), QPoint(0, 1000)};
    QByteArray f = AreaCodec::encode("RArea", 0, a);
    const int block = AreaCodec::kBlockOffset[0];
    const int values[3] = {start, end, radius};
    for (int i = 0; i < 3; ++i) {
        f[block + 4 + 2 * i] = char((values[i] >> 8) & 0xFF);
        f[block + 5 + 2 * i] = char(values[i] & 0xFF);
    }
    return f;
}

QByteArray block(const QByteArray &frame)
{
    return frame.mid(AreaCodec::kBlockOffset[0], 16);
}

} // namespace

class TestArcWire : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // An Arc read from the sensor and written back sends the same Arc: no
    // degree or millimetre is lost on the way, however often it goes round.
    void readArcIsSentBackUnchanged()
    {
        int checked = 0;
        QStringList drifted;
        for (int radius = 120; radius <= 30000; radius += 373) {
            for (int start = -90; start < 269; start += 7) {
                const int end = std::min(start + 1 + (radius % 180), 269);
                const QByteArray read = arcFrame(start, end, radius);
                AreaRecord area;
                AreaCodec::decode(read, area);
                QByteArray again = AreaCodec::encode("RArea", 0, area);
                for (int round = 0; round < 3 && block(again) == block(read); ++round) {
                    AreaCodec::decode(again, area);
                    again = AreaCodec::encode("RArea", 0, area);
                }
                if (block(again) != block(read))
                    drifted << QStringLiteral("%1..%2 r %3").arg(start).arg(end).arg(radius);
                // Each point lies within two millimetres of where it belongs.
                const double a = start * M_PI / 180;
                const QPoint p = area.points[0][0];
                QVERIFY(std::hypot(p.x() - radius * std::cos(a), p.y() - radius * std::sin(a)) < 2.0);
                ++checked;
            }
        }
        QVERIFY2(drifted.isEmpty(), qPrintable(drifted.mid(0, 10).join(", ")));
        QVERIFY(checked > 4000);
    }

    // The arc the manual's example holds: -20 to 200 degrees at 2499 mm.
    // Straight from the values the points would be (2348,-854) and
    // (-2348,-854), which go back as -19 and 199 degrees at 2498 mm.
    void exampleArc()
    {
        AreaRecord area;
        AreaCodec::decode(arcFrame(-20, 200, 2499), area);
        // (2348,-855) is nearer but 2498 mm out: the file's own points.
        QCOMPARE(area.points[0], (QVector<QPoint>{{2349, -855}, {-2349, -855}}));
        QCOMPARE(block(AreaCodec::encode("RArea", 0, area)), block(arcFrame(-20, 200, 2499)));
        // Where the plain point already goes back unchanged, it is kept.
        AreaCodec::decode(arcFrame(0, 90, 1000), area);
        QCOMPARE(area.points[0][0], QPoint(1000, 0));
        // (0,1000) itself goes as 89 degrees in single precision.
        QCOMPARE(area.points[0][1], QPoint(-1, 1000));
        // Read back, both points stay within a millimetre of one circle.
        for (int radius : {900, 4492, 17154, 30000}) {
            AreaCodec::decode(arcFrame(14, 37, radius), area);
            const float r0 = ZoneGeometry::wirePolar(area.points[0][0].x(), area.points[0][0].y()).r;
            const float r1 = ZoneGeometry::wirePolar(area.points[0][1].x(), area.points[0][1].y()).r;
            QVERIFY2(std::fabs(r0 - r1) < 1.0f, qPrintable(QString::number(radius)));
        }
    }

    // Whole degrees typed into the polar table go to the sensor as those
    // degrees, and stay so when either point's distance changes; the
    // truncated point lands a degree short about half the time.
    void typedWholeDegreesGoAsTyped()
    {
        using ZoneGeometry::wireDegrees;
        using ZoneGeometry::wireRadius;
        QStringList off;
        for (int radius = 150; radius <= 30000; radius += 577) {
            for (int start = -89; start < 200; start += 11) {
                AreaRecord a;
                a.shape[0] = ShapeArc;
                a.points[0] = {QPoint(20, 0), QPoint(20, 0)};
                PointEdits::editPolar(a, 0, 0, 1, float(radius));
                PointEdits::editPolar(a, 0, 0, 2, float(start));
                PointEdits::editPolar(a, 0, 1, 2, float(start + 61));
                PointEdits::editPolar(a, 0, 1, 1, float(radius + 17)); // moves the first onto its circle
                const QVector<QPoint> &p = a.points[0];
                if (wireDegrees(p[0]) != start || wireDegrees(p[1]) != start + 61
                    || wireRadius(p[0]) != radius + 17)
                    off << QStringLiteral("%1 r %2: %3 %4 r %5")
                               .arg(start)
                               .arg(radius)
                               .arg(wireDegrees(p[0]))
                               .arg(wireDegrees(p[1]))
                               .arg(wireRadius(p[0]));
            }
        }
        QVERIFY2(off.isEmpty(), qPrintable(off.mid(0, 8).join(", ")));

        // An angle between degrees is the user's to choose; it keeps the
        // table's truncated point.
        AreaRecord a;
        a.shape[0] = ShapeArc;
        a.points[0] = {QPoint(799, 0), QPoint(0, 799)};
        PointEdits::editPolar(a, 0, 0, 2, -19.98f);
        QCOMPARE(a.points[0][0], PointEdits::polarToStored(799.0f, -19.98f * ZoneGeometry::kDegToRad));
    }

    // Dragging one end moves the other onto its circle; an end on a whole
    // degree stays on it.
    void partnerKeepsItsWholeDegree()
    {
        const QPoint other = ZoneGeometry::pointGoingAs(QPoint(-2349, -855), 2499, 200, false);
        for (int r = 500; r < 20000; r += 97) {
            const QPoint dragged(r, 7);
            const QPoint moved = PointEdits::arcPartner(dragged, other, false);
            QCOMPARE(ZoneGeometry::wireDegrees(moved), 200);
            QVERIFY(std::abs(ZoneGeometry::xyToPolar(moved).r - ZoneGeometry::xyToPolar(dragged).r) < 2.0f);
        }
    }
};

QTEST_GUILESS_MAIN(TestArcWire)
#include "tst_arcwire.moc"
