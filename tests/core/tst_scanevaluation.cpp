#include "core/sensor/ScanEvaluation.h"

#include <QtTest>

using ScanEvaluation::AreaEvaluator;
using ScanEvaluation::Sweep;

namespace {

// Out1: a square in front of the sensor, x -500..500, y 500..2000 mm.
AreaRecord squareAhead(int onDelay, int offDelay, int hysteresis, int detectionSize)
{
    AreaRecord a;
    a.points[0] = {{-500, 500}, {500, 500}, {500, 2000}, {-500, 2000}};
    a.openDelay = onDelay;
    a.closeDelay = offDelay;
    a.hysteresis = hysteresis;
    a.detectionSize = detectionSize;
    return a;
}

// 41 steps of half a degree from 80 to 100 degrees, the object at `mm` on
// steps first..last (0 elsewhere: no echo).
Sweep sweep(double t, int first, int last, int mm = 1000)
{
    Sweep s;
    s.timeMs = t;
    s.startDeg = 80;
    s.stepDeg = 0.5f;
    s.distances = QVector<std::uint16_t>(41, 0);
    for (int i = first; i <= last && i < 41; ++i)
        s.distances[i] = std::uint16_t(mm);
    return s;
}

constexpr double kSpan = 72000;

} // namespace

class TestScanEvaluation : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Steps inside must cover the detection size in consecutive steps.
    void detectionSize_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<bool>("seen");
        QTest::newRow("0.5-one-step") << 0 << 20 << 20 << true;
        QTest::newRow("1.0-one-step") << 1 << 20 << 20 << false;
        QTest::newRow("1.0-two-steps") << 1 << 20 << 21 << true;
        QTest::newRow("2.5-four-steps") << 4 << 10 << 13 << false;
        QTest::newRow("2.5-five-steps") << 4 << 10 << 14 << true;
        // 80 + 0.5 * 4 = 82 deg at 1000 mm: x = 139, inside; all 41 steps are.
        QTest::newRow("5.0-whole-sweep") << 9 << 0 << 40 << true;
        QTest::newRow("nothing") << 0 << 41 << 41 << false;
    }
    void detectionSize()
    {
        QFETCH(int, size);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(bool, seen);
        const AreaEvaluator e(squareAhead(0, 0, 0, size), kSpan);
        QCOMPARE(e.sees(0, sweep(0, first, last), false), seen);
        // Out2 and Out3 hold no zone.
        QVERIFY(!e.sees(1, sweep(0, 0, 40), false));
    }

    // A gap of one step breaks a run: two runs of two do not make four.
    void runsMustBeConsecutive()
    {
        const AreaEvaluator e(squareAhead(0, 0, 0, 3), kSpan); // 2.0 deg: four steps
        Sweep s = sweep(0, 10, 14);
        s.distances[12] = 0;
        QVERIFY(!e.sees(0, s, false));
        s.distances[12] = 3000; // beyond the zone
        QVERIFY(!e.sees(0, s, false));
        s.distances[12] = 1500;
        QVERIFY(e.sees(0, s, false));
    }

    // Sweeps every 50 ms, the object there from 0 to 200 ms. On delay
    // 100 ms: on at 100. Off delay 60 ms: clear from 250, off at 350.
    void delays()
    {
        AreaEvaluator e(squareAhead(5, 3, 0, 0), kSpan);
        QCOMPARE(e.onDelayMs(), 100);
        QCOMPARE(e.offDelayMs(), 60);
        QString states;
        for (int t = 0; t <= 400; t += 50)
            states += QString::number(e.feed(t <= 200 ? sweep(t, 18, 22) : sweep(t, 41, 41)));
        QCOMPARE(states, QStringLiteral("001111100"));
    }

    // A flicker shorter than the on delay never switches; one sweep clear
    // restarts the count.
    void flickerDoesNotSwitch()
    {
        AreaEvaluator e(squareAhead(5, 0, 0, 0), kSpan);
        QString states;
        const bool there[] = {true, true, false, true, true, true, false};
        for (int i = 0; i < 7; ++i)
            states += QString::number(e.feed(there[i] ? sweep(i * 50, 20, 20) : sweep(i * 50, 41, 41)));
        QCOMPARE(states, QStringLiteral("0000010"));
    }

    // 10 % hysteresis: an object that went on at 1900 mm stays on out to
    // 2000 * 1.1 = 2200 mm along the beam, and a new one there does not.
    void hysteresisHoldsWhatIsOn()
    {
        AreaEvaluator e(squareAhead(0, 0, 10, 0), kSpan);
        QCOMPARE(e.feed(sweep(0, 20, 20, 2100)), std::uint8_t(0));
        QCOMPARE(e.feed(sweep(50, 20, 20, 1900)), std::uint8_t(1));
        QCOMPARE(e.feed(sweep(100, 20, 20, 2150)), std::uint8_t(1));
        QCOMPARE(e.feed(sweep(150, 20, 20, 2250)), std::uint8_t(0));
        QCOMPARE(e.feed(sweep(200, 20, 20, 2150)), std::uint8_t(0));
    }

    // The link's sweeps as the view draws them: over Ethernet step i of n
    // at 320 / n * (n - i) + 110 degrees, over the serial port at
    // 110 + i / 2, both with y growing downward; straight ahead is the
    // middle step.
    void linkSweeps()
    {
        const AreaEvaluator ev(squareAhead(0, 0, 0, 0), kSpan);
        std::vector<std::uint16_t> ring(6400, 0);
        const Sweep empty = ScanEvaluation::ethernetSweep(0, ring.data(), 6400);
        QCOMPARE(double(empty.startDeg + empty.stepDeg * 3200), -270.0); // ahead
        // Half a degree at 0.05 degrees a step: ten steps, not nine.
        for (int i = 3195; i < 3204; ++i)
            ring[size_t(i)] = 1000;
        QVERIFY(!ev.sees(0, ScanEvaluation::ethernetSweep(0, ring.data(), 6400), false));
        ring[3204] = 1000;
        QVERIFY(ev.sees(0, ScanEvaluation::ethernetSweep(0, ring.data(), 6400), false));
        std::fill(ring.begin(), ring.end(), 0);
        ring[0] = 1000; // -70 deg: behind on the right
        QVERIFY(!ev.sees(0, ScanEvaluation::ethernetSweep(0, ring.data(), 6400), false));

        std::vector<std::uint16_t> serial(640, 0);
        serial[320] = 1000; // 110 + 160 = 270 in the view's coordinates: ahead
        const Sweep s = ScanEvaluation::serialSweep(0, serial.data(), 640);
        QCOMPARE(s.distances.size(), 640);
        QVERIFY(ev.sees(0, s, false));
        serial[320] = 0;
        serial[0] = 1000;
        QVERIFY(!ev.sees(0, ScanEvaluation::serialSweep(0, serial.data(), 640), false));
    }
};

QTEST_GUILESS_MAIN(TestScanEvaluation)
#include "tst_scanevaluation.moc"
