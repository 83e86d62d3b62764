#include "core/link/ScanRecord.h"
#include "core/link/SweepCsv.h"
#include "core/sensor/Replay.h"
#include "core/sensor/ScanRecorder.h"
#include "core/sensor/ScanRecording.h"

#include "../support/TestFiles.h"

#include "core/link/SERIAL_COMM.h"

#include <QBuffer>
#include <QtTest>
#include <sys/resource.h>
#include <thread>

using ScanRecording::Sweep;

namespace {

Sweep makeSweep(std::uint32_t t, QVector<std::uint16_t> d, QVector<std::uint16_t> i = {})
{
    Sweep s;
    s.timeMs = t;
    s.startDeg = 80;
    s.stepDeg = 0.5f;
    s.distances = d;
    s.intensities = i;
    return s;
}

// 41 steps from 80 to 100 degrees; the object at 1000 mm on steps 18..22
// (straight ahead) when `seen`, else nothing answers.
Sweep ahead(std::uint32_t t, bool seen, std::uint8_t reported = 0, std::uint32_t reportMs = 0,
            std::uint8_t inputs = 0)
{
    QVector<std::uint16_t> d(41, 0);
    if (seen)
        for (int k = 18; k <= 22; ++k)
            d[k] = 1000;
    Sweep s = makeSweep(t, d);
    s.ioKnown = reportMs > 0;
    s.outputs = reported;
    s.inputs = inputs;
    s.ioTimeMs = reportMs;
    return s;
}

// Out1 of the area: x -500..500, y 500..2000 mm, with the delays (x 20 ms).
QVector<AreaRecord> design(int onDelay, int offDelay, int area = 0)
{
    QVector<AreaRecord> areas(kAreaCount);
    areas[area].points[0] = {{-500, 500}, {500, 500}, {500, 2000}, {-500, 2000}};
    areas[area].openDelay = onDelay;
    areas[area].closeDelay = offDelay;
    return areas;
}

Replay::Result replay(const QVector<Sweep> &sweeps, const QVector<AreaRecord> &areas, int area = -1)
{
    Replay::Options o;
    o.area = area;
    o.sceneSpan = 72000;
    return Replay::evaluate(
        sweeps.size(),
        [&](int k, Sweep &s) {
            s = sweeps[k];
            return true;
        },
        areas, o);
}

QString events(const Replay::Result &r)
{
    QStringList e;
    for (const Replay::Event &ev : r.events)
        e << QStringLiteral("%1 Out%2 %3")
                 .arg(ev.timeMs)
                 .arg(ev.output + 1)
                 .arg(ev.on ? "on" : "off");
    return e.join(QLatin1String(", "));
}

// A zlib stream of `matches` * 258 + 1 zero bytes in one fixed-Huffman block:
// a literal 0, then copies of length 258 at distance 1 (13 bits each).
QByteArray zeroBomb(int matches)
{
    QByteArray out = QByteArray::fromHex("789c");
    std::uint32_t acc = 0;
    int bits = 0;
    const auto put = [&](std::uint32_t v, int n) { // LSB first
        for (int k = 0; k < n; ++k) {
            acc |= ((v >> k) & 1u) << bits;
            if (++bits == 8) {
                out.append(char(acc));
                acc = 0;
                bits = 0;
            }
        }
    };
    const auto code = [&](std::uint32_t c, int n) { // Huffman codes MSB first
        for (int k = n - 1; k >= 0; --k)
            put((c >> k) & 1u, 1);
    };
    put(1, 1);     // last block
    put(1, 2);     // fixed codes
    code(0x30, 8); // literal 0
    for (int m = 0; m < matches; ++m) {
        code(0xc5, 8); // length 258 (code 285)
        code(0, 5);    // distance 1
    }
    code(0, 7); // end of block
    if (bits)
        out.append(char(acc));
    const std::uint64_t total = 1 + 258ull * std::uint64_t(matches);
    const std::uint32_t adler = std::uint32_t((total % 65521) << 16 | 1);
    char a[4];
    qToBigEndian(adler, a);
    out.append(a, 4);
    return out;
}

long peakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

class TestRecording : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The block's fixed part, written out by hand from the layout; the
    // values travel as neighbour differences, low bytes then high bytes.
    void blockLayout()
    {
        Sweep s = makeSweep(0x01020304, {1000, 1003, 998}, {7, 7, 9});
        s.startDeg = -70;
        s.stepDeg = 0.25f;
        s.ethernet = true;
        s.ioKnown = true;
        s.inputs = 5;
        s.outputs = 3;
        s.ioTimeMs = 0x01020300;
        const QByteArray b = ScanRecording::Writer::block(s);
        const QByteArray fixed = QByteArray::fromHex("04030201" // time
                                                     "00008cc2" // -70.0f
                                                     "0000803e" // 0.25f
                                                     "0300"     // 3 steps
                                                     "07"       // intensities, IO known, Ethernet
                                                     "0503"     // inputs, outputs
                                                     "00030201");
        QCOMPARE(b.mid(4, fixed.size()), fixed);
        QCOMPARE(qFromLittleEndian<quint32>(b.constData()), quint32(b.size() - 4));
        const int dlen = qFromLittleEndian<qint32>(b.constData() + 4 + fixed.size());
        const QByteArray planes = qUncompress(b.mid(4 + fixed.size() + 4, dlen));
        // 1000 = 0x03e8, +3, -5 = 0xfffb.
        QCOMPARE(planes, QByteArray::fromHex("e803fb"
                                             "0300ff"));
    }

    // Written and read back: every field, with and without intensities and
    // IO words; reading without intensities skips them.
    void roundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("r.scanrec");
        ScanRecording::Writer w;
        QVERIFY(w.open(path));
        QVector<Sweep> in;
        for (int k = 0; k < 5; ++k) {
            QVector<std::uint16_t> d(6400), i(6400);
            for (int n = 0; n < d.size(); ++n) {
                d[n] = std::uint16_t(3000 + (n * 7919 + k) % 97 + (n == 100 ? 60000 : 0));
                i[n] = std::uint16_t(n % 2000);
            }
            Sweep s = makeSweep(std::uint32_t(50 * k), d, k == 2 ? QVector<std::uint16_t>() : i);
            s.ethernet = k != 3;
            s.ioKnown = k > 0;
            s.outputs = std::uint8_t(k & 7);
            s.inputs = std::uint8_t(63 - k);
            s.ioTimeMs = std::uint32_t(40 * k);
            QVERIFY(w.add(s));
            in << s;
        }
        QVERIFY(w.close());
        QCOMPARE(w.sweeps(), 5);
        QCOMPARE(QFileInfo(path).size(), w.bytesWritten());
        // Compressed, far below the 4 bytes a step takes plainly.
        QVERIFY2(w.bytesWritten() < 5 * 6400 * 4 / 2,
                 qPrintable(QString::number(w.bytesWritten())));

        ScanRecording::Reader r;
        QString why;
        QVERIFY(r.open(path, &why));
        QCOMPARE(r.count(), 5);
        QVERIFY(!r.damaged());
        QCOMPARE(r.durationMs(), 200u);
        for (int k = 0; k < 5; ++k) {
            Sweep s;
            QVERIFY(r.sweep(k, s));
            QCOMPARE(s.timeMs, in[k].timeMs);
            QCOMPARE(s.distances, in[k].distances);
            QCOMPARE(s.intensities, in[k].intensities);
            QCOMPARE(s.ethernet, in[k].ethernet);
            QCOMPARE(s.ioKnown, in[k].ioKnown);
            QCOMPARE(s.outputs, in[k].outputs);
            QCOMPARE(s.inputs, in[k].inputs);
            QCOMPARE(s.ioTimeMs, in[k].ioTimeMs);
            QVERIFY(r.sweep(k, s, false));
            QVERIFY(s.intensities.isEmpty());
            QCOMPARE(s.distances, in[k].distances);
        }
    }

    // A recording stopped mid-block keeps every whole sweep before it; a
    // damaged length or time order ends the index there; no header, no
    // recording; a block whose data do not inflate to its steps is refused.
    void damagedFiles_data()
    {
        QTest::addColumn<int>("cut");     // bytes cut off the end (-1: none)
        QTest::addColumn<int>("patchAt"); // offset into the second block, -1: none
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<int>("sweeps");
        QTest::addColumn<bool>("damaged");
        QTest::newRow("whole") << -1 << -1 << QByteArray() << 3 << false;
        QTest::newRow("cut-mid-block") << 10 << -1 << QByteArray() << 2 << true;
        QTest::newRow("huge-length") << -1 << 0 << QByteArray::fromHex("ffffff7f") << 1 << true;
        QTest::newRow("time-backwards") << -1 << 4 << QByteArray::fromHex("00000000") << 1 << true;
    }
    void damagedFiles()
    {
        QFETCH(int, cut);
        QFETCH(int, patchAt);
        QFETCH(QByteArray, patch);
        QFETCH(int, sweeps);
        QFETCH(bool, damaged);
        QByteArray file(ScanRecording::kHeader);
        int second = 0;
        for (int k = 0; k < 3; ++k) {
            if (k == 1)
                second = file.size();
            file += ScanRecording::Writer::block(ahead(std::uint32_t(100 + 100 * k), k == 1));
        }
        if (cut > 0)
            file.chop(cut);
        if (patchAt >= 0)
            file.replace(second + patchAt, patch.size(), patch);
        QBuffer buffer(&file);
        buffer.open(QIODevice::ReadOnly);
        ScanRecording::Reader r;
        QString why;
        QVERIFY(r.open(&buffer, &why));
        QCOMPARE(r.count(), sweeps);
        QCOMPARE(r.damaged(), damaged);
        Sweep s;
        QVERIFY(r.sweep(sweeps - 1, s));
        QVERIFY(!r.sweep(sweeps, s));
    }

    // A block's distances say 2 values (4 bytes) but inflate to 73 MB: the
    // reader must give up at the stated size, not grow its buffer until the
    // whole stream fits.
    void inflatedPastTheStatedSize()
    {
        const QByteArray bomb = zeroBomb(280000); // about 455 kB
        QByteArray block = ScanRecording::Writer::block(ahead(0, true)).mid(4, 21);
        block[12] = 2; // 2 steps
        block[13] = 0;
        QByteArray run = QByteArray::fromHex("00000004") + bomb;
        char len[4];
        qToLittleEndian(std::uint32_t(run.size()), len);
        block += QByteArray(len, 4) + run;
        QVERIFY(block.size() < 16 * ScanRecording::kMaxSteps); // the reader indexes it
        const long before = peakKb();
        Sweep s;
        QVERIFY(!ScanRecording::decodeBlock(block, s));
        QVERIFY2(peakKb() - before < 16 * 1024,
                 qPrintable(QStringLiteral("peak grew by %1 MB").arg((peakKb() - before) / 1024)));
    }

    // Over the serial port the link asks for the distances, then the
    // intensities. A recording started between the two must not pair every
    // sweep's distances with the intensities of the sweep before.
    void serialPairsEachSweepWithItsOwnIntensities()
    {
        ScanRecord scan;
        SERIAL_COMM link(nullptr, &scan, nullptr, nullptr, nullptr, nullptr, nullptr);
        ScanRecorder recorder(&link, &scan);
        QTemporaryDir dir;
        const QString path = dir.filePath("serial.scanrec");
        QString why;
        QVERIFY(recorder.start(path, false, true, &why));
        // Sweep 0's distances came before the start; its intensities after.
        scan.serialIntensities.fill(100);
        Q_EMIT link.ReceiveIntensityData();
        for (std::uint16_t k = 1; k <= 3; ++k) {
            scan.serialDistances.fill(std::uint16_t(1000 + k));
            Q_EMIT link.ReceiveScanfData();
            scan.serialIntensities.fill(std::uint16_t(100 + k));
            Q_EMIT link.ReceiveIntensityData();
        }
        QVERIFY(recorder.stop(&why));
        ScanRecording::Reader r;
        QVERIFY(r.open(path, &why));
        QVERIFY(r.count() >= 2);
        for (int k = 0; k < r.count(); ++k) {
            Sweep s;
            QVERIFY(r.sweep(k, s));
            QCOMPARE(int(s.intensities[0]), int(s.distances[0]) - 900);
        }
    }

    // Over the serial port with the intensities read, the user switches the
    // intensities off mid-recording: the distances keep coming and must go
    // on being recorded (without intensities), not wait for ever.
    void serialRecordingGoesOnWithoutIntensities()
    {
        ScanRecord scan;
        SERIAL_COMM link(nullptr, &scan, nullptr, nullptr, nullptr, nullptr, nullptr);
        ScanRecorder recorder(&link, &scan);
        QTemporaryDir dir;
        QString why;
        QVERIFY(recorder.start(dir.filePath("s.scanrec"), false, true, &why));
        Q_EMIT link.ReceiveScanfData();
        Q_EMIT link.ReceiveIntensityData();
        QCOMPARE(recorder.sweeps(), 1);
        for (int k = 0; k < 5; ++k) // Display > Intensity unticked
            Q_EMIT link.ReceiveScanfData();
        QVERIFY2(recorder.sweeps() >= 5, qPrintable(QString::number(recorder.sweeps())));
        QVERIFY(recorder.stop(&why));
    }

    // The disk refuses a write; sweeps that arrive before the failure report
    // is handled wait in the queue of a writer that has gone. The user frees
    // the disk and records again: the new file holds the new sweeps only.
    void afterAFullDiskANewRecordingStartsClean()
    {
        ScanRecord scan;
        scan.sweepLength = 8;
        SERIAL_COMM link(nullptr, &scan, nullptr, nullptr, nullptr, nullptr, nullptr);
        ScanRecorder recorder(&link, &scan);
        QSignalSpy failed(&recorder, &ScanRecorder::failed);
        QString why;
        QVERIFY(recorder.start(QStringLiteral("/dev/full"), true, true, &why));
        std::fill(scan.distanceRing.begin(), scan.distanceRing.begin() + 8, 111);
        Q_EMIT link.ReceiveScanfData();
        // The writing thread fails; two more sweeps come before the report.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Q_EMIT link.ReceiveScanfData();
        Q_EMIT link.ReceiveScanfData();
        QVERIFY(failed.wait(2000));
        QVERIFY(!recorder.recording());

        QTemporaryDir dir;
        const QString path = dir.filePath("again.scanrec");
        QVERIFY(recorder.start(path, true, true, &why));
        std::fill(scan.distanceRing.begin(), scan.distanceRing.begin() + 8, 222);
        Q_EMIT link.ReceiveScanfData();
        QVERIFY(recorder.stop(&why));
        ScanRecording::Reader r;
        QVERIFY(r.open(path, &why));
        QCOMPARE(r.count(), 1);
        QVERIFY(!r.damaged());
        Sweep s;
        QVERIFY(r.sweep(0, s));
        QCOMPARE(int(s.distances[0]), 222);
    }

    void refusedData()
    {
        QByteArray text("time_ms,sweep\n");
        QBuffer b(&text);
        b.open(QIODevice::ReadOnly);
        ScanRecording::Reader r;
        QString why;
        QVERIFY(!r.open(&b, &why));
        QCOMPARE(why, QStringLiteral("not a scan recording"));
        // The distances' stated size says 83 bytes; 41 steps need 82.
        QByteArray block = ScanRecording::Writer::block(ahead(0, true)).mid(4);
        Sweep s;
        QVERIFY(ScanRecording::decodeBlock(block, s));
        block[4 + 4 + 4 + 2 + 1 + 1 + 1 + 4 + 4 + 3] = char(82 + 1);
        QVERIFY(!ScanRecording::decodeBlock(block, s));
    }

    // The CSV form names every column; the IO columns stay empty until the
    // sensor reported; render --scan reads its first sweep, and reads a
    // recording too.
    void csvAndFirstSweep()
    {
        Sweep s = makeSweep(1250, {1000, 0}, {30, 0});
        s.startDeg = -70;
        s.stepDeg = 320.0f / 2;
        QString text;
        QTextStream out(&text);
        ScanRecording::writeCsvHeader(out);
        ScanRecording::writeCsv(out, s, 0);
        s.ioKnown = true;
        s.outputs = 1;
        s.inputs = 4;
        s.timeMs = 1300;
        ScanRecording::writeCsv(out, s, 1);
        out.flush();
        QCOMPARE(text,
                 QStringLiteral("time_ms,sweep,angle_deg,distance_mm,intensity,inputs,outputs\n"
                                "1250,0,-70.000,1000,30,,\n"
                                "1250,0,90.000,0,0,,\n"
                                "1300,1,-70.000,1000,30,4,1\n"
                                "1300,1,90.000,0,0,4,1\n"));
        QByteArray bytes = text.toLatin1();
        QBuffer csv(&bytes);
        csv.open(QIODevice::ReadOnly);
        ScanRecord scan;
        QString why;
        QVERIFY2(SweepCsv::readSweep(csv, scan, &why), qPrintable(why));
        QCOMPARE(scan.sweepLength, 2);
        QCOMPARE(scan.distanceRing[0], std::uint16_t(1000));
        QCOMPARE(scan.intensityRing[0], std::uint16_t(30));

        QByteArray rec = QByteArray(ScanRecording::kHeader) + ScanRecording::Writer::block(s);
        QBuffer recording(&rec);
        recording.open(QIODevice::ReadOnly);
        ScanRecord fromRecording;
        QVERIFY2(SweepCsv::readSweep(recording, fromRecording, &why), qPrintable(why));
        QCOMPARE(fromRecording.sweepLength, 2);
        QCOMPARE(fromRecording.connectionType, 1);
        QCOMPARE(fromRecording.distanceRing[0], std::uint16_t(1000));
    }

    // The link's last sweep as recorded and put back: over Ethernet the
    // ring's sweep from -70 degrees, over the serial port 640 steps from
    // 250 degrees downwards.
    void captureAndRestore()
    {
        ScanRecord scan;
        scan.sweepLength = 3200;
        for (int k = 0; k < 3200; ++k) {
            scan.distanceRing[size_t(k)] = std::uint16_t(k + 1);
            scan.intensityRing[size_t(k)] = std::uint16_t(2 * k);
        }
        scan.serialDistances.fill(77);
        const Sweep e = ScanRecorder::capture(scan, true, true);
        QCOMPARE(e.distances.size(), 3200);
        QCOMPARE(e.angleDeg(0), -70.0);
        QVERIFY(qAbs(e.angleDeg(1600) - 90.0) < 1e-4);
        QCOMPARE(e.intensities[5], std::uint16_t(10));
        const Sweep serial = ScanRecorder::capture(scan, false, false);
        QCOMPARE(serial.distances.size(), 640);
        QCOMPARE(serial.angleDeg(0), -110.0);
        QCOMPARE(serial.angleDeg(320), 90.0);
        QVERIFY(serial.intensities.isEmpty());

        ScanRecord back;
        ScanRecorder::restore(e, back);
        QCOMPARE(back.connectionType, 1);
        QCOMPARE(back.sweepLength, 3200);
        QCOMPARE(back.pointsPerDegree, 10);
        QVERIFY(std::equal(back.distanceRing.begin(), back.distanceRing.begin() + 3200,
                           scan.distanceRing.begin()));
        ScanRecorder::restore(serial, back);
        QCOMPARE(back.connectionType, 0);
        QCOMPARE(back.serialDistances, scan.serialDistances);
    }

    // The design's switching over the sweeps: on after the on delay, off
    // after the off delay, each output's time on; the object is seen from
    // 1000 to 2000 ms, sweeps every 100 ms.
    void switchingAndTimeOn_data()
    {
        QTest::addColumn<int>("onDelay");
        QTest::addColumn<int>("offDelay");
        QTest::addColumn<QString>("events");
        QTest::addColumn<int>("onMs");
        QTest::newRow("no-delays") << 0 << 0 << "1000 Out1 on, 2100 Out1 off" << 1100;
        // 200 ms on delay: seen at 1000, on at 1200; 300 ms off delay: clear
        // at 2100, off at 2400.
        QTest::newRow("delays") << 10 << 15 << "1200 Out1 on, 2400 Out1 off" << 1200;
        // The longest on delay, 500 ms, still runs out within the 1000 ms seen.
        QTest::newRow("longest-on-delay") << 25 << 0 << "1500 Out1 on, 2100 Out1 off" << 600;
    }
    void switchingAndTimeOn()
    {
        QFETCH(int, onDelay);
        QFETCH(int, offDelay);
        QFETCH(QString, events);
        QFETCH(int, onMs);
        QVector<Sweep> sweeps;
        for (std::uint32_t t = 0; t <= 3000; t += 100)
            sweeps << ahead(t, t >= 1000 && t <= 2000);
        const Replay::Result r = replay(sweeps, design(onDelay, offDelay));
        QCOMPARE(::events(r), events);
        QCOMPARE(int(r.onMs[0]), onMs);
        QCOMPARE(int(r.onMs[1]), 0);
        QCOMPARE(r.differences, 0); // nothing was reported: nothing to differ from
    }

    // What the sensor reported is read between sweeps: a report up to two
    // sweep periods late agrees; a design that switches a second later does
    // not, for as many sweeps as it lags.
    void differencesFromTheReportedOutputs_data()
    {
        QTest::addColumn<int>("reportLagMs");
        QTest::addColumn<int>("onDelay");
        QTest::addColumn<int>("differences");
        QTest::newRow("on-time") << 0 << 0 << 0;
        QTest::newRow("a-report-late") << 200 << 0 << 0;
        // On delay 500 ms: reported on from 1000, the design on from 1500;
        // the reports at 1300 and 1400 lie within 200 ms of it, those at
        // 1000..1200 do not.
        QTest::newRow("half-a-second-later") << 0 << 25 << 3;
    }
    void differencesFromTheReportedOutputs()
    {
        QFETCH(int, reportLagMs);
        QFETCH(int, onDelay);
        QFETCH(int, differences);
        QVector<Sweep> sweeps;
        for (std::uint32_t t = 100; t <= 3000; t += 100) {
            const std::uint32_t report =
                t >= std::uint32_t(100 + reportLagMs) ? t - reportLagMs : 0;
            const bool wasSeen = report >= 1000 && report <= 2000;
            sweeps << ahead(t, t >= 1000 && t <= 2000, wasSeen ? 1 : 0, report);
        }
        const Replay::Result r = replay(sweeps, design(onDelay, 0));
        QCOMPARE(r.windowMs, 200u);
        QCOMPARE(r.differences, differences);
        for (int k = 0; k < r.differs.size(); ++k)
            QCOMPARE(r.differs[k] != 0,
                     differences > 0 && r.timeMs[k] >= 1000 && r.timeMs[k] <= 1200);
    }

    // The area is the one the recorded inputs selected, started afresh on a
    // switch, unless one is given.
    void areaFollowsTheInputs()
    {
        QVector<AreaRecord> areas = design(0, 0, 7);
        QVector<Sweep> sweeps;
        for (std::uint32_t t = 100; t <= 1000; t += 100)
            sweeps << ahead(t, true, 0, t, t < 500 ? 0 : 7);
        const Replay::Result r = replay(sweeps, areas);
        QCOMPARE(r.area.first(), std::int8_t(0));
        QCOMPARE(r.area.last(), std::int8_t(7));
        QCOMPARE(events(r), QStringLiteral("500 Out1 on"));
        QCOMPARE(events(replay(sweeps, areas, 7)), QStringLiteral("100 Out1 on"));
        QCOMPARE(events(replay(sweeps, areas, 0)), QString());
    }

    // The recording was made in area 7 (empty); its first sweeps came before
    // the sensor's first IO report. Area 0's zone, which sees the object, was
    // never in force: the replay must not switch Out1 on and off for it.
    void sweepsBeforeTheFirstReport()
    {
        QVector<Sweep> sweeps;
        for (std::uint32_t t = 100; t <= 1000; t += 100)
            sweeps << ahead(t, true, 0, t >= 400 ? t : 0, 7);
        const Replay::Result r = replay(sweeps, design(0, 0, 0));
        QCOMPARE(events(r), QString());
        QCOMPARE(int(r.onMs[0]), 0);
    }
};

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"
