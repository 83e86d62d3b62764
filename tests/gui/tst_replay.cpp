#include "GuiTestKit.h"

#include "gui/UiPrompt.h"

#include "core/sensor/ScanRecorder.h"
#include "core/sensor/ScanRecording.h"
#include "gui/editors/COORD_TABLE.h"
#include "gui/replay/ReplayPanel.h"
#include "gui/replay/ReplayPlayer.h"
#include "gui/replay/ReplayTimeline.h"

#include "../support/SimProcess.h"
#include "../support/TestFiles.h"

#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QToolButton>

namespace {

QAction *action(Tool &t, const char *name)
{
    return t.window.findChild<QAction *>(QLatin1String(name));
}

// A recording of 100 sweeps 50 ms apart: 41 steps from 80 to 100 degrees,
// an object at 1000 mm straight ahead from 1000 to 2000 ms; the sensor
// reported Out1 on exactly then (reports every 100 ms).
QString writeRecording(const QString &path)
{
    ScanRecording::Writer w;
    if (!w.open(path))
        return QString();
    for (int k = 0; k < 100; ++k) {
        ScanRecording::Sweep s;
        s.timeMs = std::uint32_t(50 * k);
        s.startDeg = 80;
        s.stepDeg = 0.5f;
        s.ethernet = false;
        s.distances = QVector<std::uint16_t>(41, 0);
        const bool seen = s.timeMs >= 1000 && s.timeMs <= 2000;
        for (int i = 18; i <= 22 && seen; ++i)
            s.distances[i] = 1000;
        s.ioKnown = true;
        s.ioTimeMs = s.timeMs - s.timeMs % 100;
        const bool reportedSeen = s.ioTimeMs >= 1000 && s.ioTimeMs <= 2000;
        s.outputs = reportedSeen ? 1 : 0;
        s.inputs = 2;
        w.add(s);
    }
    return w.close() ? path : QString();
}

// Out1 a square ahead, x -500..500, y 500..2000 mm, in the area edited.
void squareAhead(Tool &t)
{
    t.store.areas[0].points[0] = {{-500, 500}, {500, 500}, {500, 2000}, {-500, 2000}};
    t.window.coordTable()->CoordTableWidgeUpdate();
}

std::uint32_t firstOn(const Replay::Result &r)
{
    for (int k = 0; k < r.design.size(); ++k)
        if (r.design[k] & 1)
            return r.timeMs[k];
    return 0;
}

} // namespace

class TestReplay : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Record while connected: Record is offered only then, the status bar
    // names the file and counts; the sensor going away ends the recording
    // and keeps every sweep that came, each with the IO words reported.
    void recordsUntilTheSensorGoes()
    {
        auto sim = std::make_unique<SimProcess>();
        QVERIFY(sim->ready());
        Tool t;
        Answers a;
        QTemporaryDir dir;
        const QString file = dir.filePath("run.scanrec");
        a.fileAnswers << file;
        QVERIFY(!action(t, "RecordScan")->isEnabled());
        connectTo(t, sim->endpoint("tcp"));
        QVERIFY(waitFor([&] { return connected(t); }, 10000));
        QVERIFY(action(t, "RecordScan")->isEnabled());
        QVERIFY(!action(t, "OpenRecording")->isEnabled());

        action(t, "RecordScan")->trigger();
        QVERIFY(t.window.recorder()->recording());
        QVERIFY(t.window.form()->Distance->isChecked());
        QVERIFY(!action(t, "RecordScan")->isEnabled());
        QVERIFY(action(t, "StopRecording")->isEnabled());
        QVERIFY(waitFor([&] { return t.window.recorder()->sweeps() >= 8; }, 15000));
        auto *status = t.window.findChild<QLabel *>(QStringLiteral("RecordingStatus"));
        QVERIFY(
            waitFor([&] { return status->text().contains(QLatin1String("run.scanrec")); }, 2000));
        QVERIFY(status->text().contains(QStringLiteral("录制中")));

        sim.reset(); // the cable is pulled
        QVERIFY(waitFor([&] { return !t.window.recorder()->recording(); }, 10000));
        QVERIFY(!action(t, "StopRecording")->isEnabled());
        const int recorded = t.window.recorder()->sweeps();
        ScanRecording::Reader r;
        QString why;
        QVERIFY(r.open(file, &why));
        QCOMPARE(r.count(), recorded);
        QVERIFY(!r.damaged());
        ScanRecording::Sweep s;
        QVERIFY(r.sweep(r.count() - 1, s));
        QCOMPARE(s.distances.size(), 6400);
        QCOMPARE(s.intensities.size(), 6400);
        QVERIFY(s.ioKnown);
        QVERIFY(s.ioTimeMs <= s.timeMs);
        QVERIFY(waitFor([&] { return status->text().contains(QStringLiteral("已录制")); }, 2000));

        // The run opened for replay right away: the window stays an
        // Ethernet window.
        a.fileAnswers << file;
        action(t, "OpenRecording")->trigger();
        QCOMPARE(t.window.replayPlayer()->count(), recorded);
        QVERIFY(t.window.form()->EthernetConnection->isChecked());
        QVERIFY(!t.window.form()->SerialConnection->isChecked());
        QVERIFY(t.window.form()->Set_ScanMotorSpeed->isEnabled());
    }

    // A disk that refuses the sweeps ends the recording with a real box,
    // opened from the writing thread's report while the link keeps
    // streaming; the connection stays and a new recording can start.
    void fullDiskStopsTheRecording()
    {
        SimProcess sim;
        QVERIFY(sim.ready());
        ModalCloser closer;
        Tool t;
        UiPrompt::setFileAnswer(
            [](const UiPrompt::FileQuestion &) { return QStringLiteral("/dev/full"); });
        connectTo(t, sim.endpoint("tcp"));
        QVERIFY(waitFor([&] { return connected(t); }, 10000));
        action(t, "RecordScan")->trigger();
        QVERIFY(t.window.recorder()->recording());
        QVERIFY(
            waitFor([&] { return closer.titles().contains(QStringLiteral("录制已停止")); }, 10000));
        UiPrompt::setFileAnswer(nullptr);
        QVERIFY(!t.window.recorder()->recording());
        QVERIFY(closer.texts().last().startsWith(QStringLiteral("无法写入录制文件：")));
        QVERIFY(connected(t));
        QVERIFY(action(t, "RecordScan")->isEnabled());
        QVERIFY(!action(t, "StopRecording")->isEnabled());
    }

    // A recording opened without a sensor: the timeline holds the sensor's
    // outputs and the design's; an edit of the design moves its row at once
    // and shows where it differs; the view draws the sweep the slider is at.
    void replayFollowsTheDesign()
    {
        QTemporaryDir dir;
        const QString file = writeRecording(dir.filePath("r.scanrec"));
        QVERIFY(!file.isEmpty());
        Tool t;
        t.window.show();
        Answers a;
        a.fileAnswers << file;
        squareAhead(t);
        const int connectionType = t.scan.connectionType;
        action(t, "OpenRecording")->trigger();
        QVERIFY(a.boxes.isEmpty());
        ReplayPlayer *player = t.window.replayPlayer();
        ReplayPanel *panel = t.window.replayPanel();
        QCOMPARE(player->count(), 100);
        QVERIFY(panel->isVisible());
        const Replay::Result &r = panel->timeline()->result();
        QCOMPARE(r.timeMs.size(), 100);
        QCOMPARE(firstOn(r), 1000u);
        QCOMPARE(r.differences, 0);

        // 500 ms on delay, picked in the editor: the design's Out1 comes at
        // 1500 ms, and the sweeps the sensor had it on before then differ.
        QComboBox *delay = t.window.form()->Area_OpenDelay;
        delay->setCurrentIndex(25);
        Q_EMIT delay->activated(25);
        QVERIFY(waitFor([&] { return firstOn(panel->timeline()->result()) == 1500; }, 2000));
        QVERIFY(panel->timeline()->result().differences > 0);
        QVERIFY(panel->findChild<QLabel *>(QStringLiteral("ReplayDifferences"))
                    ->text()
                    .contains(QStringLiteral("差异：")));
        delay->setCurrentIndex(0);
        Q_EMIT delay->activated(0);
        QVERIFY(waitFor([&] { return firstOn(panel->timeline()->result()) == 1000; }, 2000));

        // Following the recorded inputs, area 2 (empty) is evaluated: nothing on.
        panel->areaBox()->setCurrentIndex(1);
        QCOMPARE(firstOn(panel->timeline()->result()), 0u);
        QCOMPARE(t.store.currentArea, 2);
        QVERIFY(panel->timeLabel()->text().endsWith(QStringLiteral("区域 2")));
        // While it plays the editors stay where the user is: an edit under
        // way lands in the area it began in. They follow when it stops.
        t.store.currentArea = 0;
        player->play();
        QTest::qWait(150);
        QVERIFY(player->playing());
        QCOMPARE(t.store.currentArea, 0);
        QTest::mouseClick(panel->playButton(), Qt::LeftButton); // pause
        QVERIFY(!player->playing());
        QCOMPARE(t.store.currentArea, 2);
        panel->areaBox()->setCurrentIndex(0);
        t.store.currentArea = 0;

        // Seeking: a click on the timeline and the slider both show the sweep.
        ReplayTimeline *timeline = panel->timeline();
        const int x = timeline->xOf(1500);
        QTest::mouseClick(timeline, Qt::LeftButton, Qt::NoModifier,
                          QPoint(x, timeline->rowRect(0, true).center().y()));
        QCOMPARE(player->index(), 30);
        QCOMPARE(t.scan.serialDistances[20], std::uint16_t(1000));
        QCOMPARE(t.scan.connectionType, 0);
        panel->slider()->setValue(90);
        QCOMPARE(player->index(), 90);
        QCOMPARE(t.scan.serialDistances[20], std::uint16_t(0));
        QVERIFY(panel->timeLabel()->text().startsWith(QLatin1String("4.500 s / 4.950 s")));

        // Playing at x8 reaches the end within a second, and stops there.
        panel->slider()->setValue(0);
        panel->speedBox()->setCurrentIndex(5);
        QTest::mouseClick(panel->playButton(), Qt::LeftButton);
        QVERIFY(player->playing());
        QVERIFY(waitFor([&] { return !player->playing(); }, 3000));
        QCOMPARE(player->index(), 99);

        // Closing gives the connection choice back and hides the scan.
        panel->findChild<QToolButton *>(QStringLiteral("ReplayClose"))->click();
        QVERIFY(!player->isOpen());
        QCOMPARE(t.scan.connectionType, connectionType);
        QVERIFY(action(t, "OpenRecording")->isEnabled());
    }

    // The replay borrows the scan record's connection type to draw (a
    // serial recording here) and gives the window's choice back when it
    // closes; a connection picked in the menu meanwhile is the one kept.
    void replayGivesTheConnectionChoiceBack()
    {
        QTemporaryDir dir;
        const QString file = writeRecording(dir.filePath("r.scanrec")); // serial sweeps
        QVERIFY(!file.isEmpty());
        Tool t;
        Answers a;
        t.window.form()->EthernetConnection->trigger();
        QCOMPARE(t.scan.connectionType, 1);
        QToolButton *close =
            t.window.replayPanel()->findChild<QToolButton *>(QStringLiteral("ReplayClose"));
        a.fileAnswers << file << file;
        action(t, "OpenRecording")->trigger();
        QVERIFY(t.window.replayPlayer()->isOpen());
        close->click();
        QVERIFY(t.window.form()->EthernetConnection->isChecked());
        QCOMPARE(t.scan.connectionType, 1);

        action(t, "OpenRecording")->trigger();
        t.window.form()->SerialConnection->trigger();
        t.window.replayPlayer()->step(1);
        t.window.form()->EthernetConnection->trigger();
        t.window.replayPlayer()->step(1);
        close->click();
        QVERIFY(t.window.form()->EthernetConnection->isChecked());
        QCOMPARE(t.scan.connectionType, 1);
    }

    // A second recording that cannot be opened: the panel does not go on
    // showing the first one's timeline and controls over a closed player.
    void failedSecondOpen()
    {
        QTemporaryDir dir;
        const QString good = writeRecording(dir.filePath("r.scanrec"));
        const QString bad = dir.filePath("notes.scanrec");
        writeFile(bad, "time_ms,sweep\n");
        Tool t;
        t.window.show();
        Answers a;
        a.fileAnswers << good << bad;
        action(t, "OpenRecording")->trigger();
        QVERIFY(t.window.replayPlayer()->isOpen());
        action(t, "OpenRecording")->trigger();
        QCOMPARE(a.boxes.size(), 1);
        QCOMPARE(t.window.replayPanel()->isVisible(), t.window.replayPlayer()->isOpen());
    }

    // A sweep in the middle whose data do not inflate (its block's length
    // and time intact): the replay ends there, and the window must say so,
    // as it does for a file cut short, rather than show a timeline that
    // silently stops at sweep 50 of 100.
    void undecodableSweepInTheMiddle()
    {
        QTemporaryDir dir;
        const QString file = writeRecording(dir.filePath("r.scanrec"));
        QVERIFY(!file.isEmpty());
        QByteArray bytes = readFile(file);
        int at = int(strlen(ScanRecording::kHeader));
        for (int k = 0; k < 50; ++k)
            at += 4 + int(qFromLittleEndian<quint32>(bytes.constData() + at));
        // Into the distances' deflate data: after the fixed part, the run's
        // length, the stated size and the zlib header.
        bytes.replace(at + 4 + 21 + 4 + 4 + 2, 4, QByteArray(4, char(0xff)));
        writeFile(file, bytes);
        Tool t;
        Answers a;
        a.fileAnswers << file;
        action(t, "OpenRecording")->trigger();
        QVERIFY(t.window.replayPlayer()->isOpen());
        QCOMPARE(t.window.replayPanel()->timeline()->result().timeMs.size(), 50);
        QCOMPARE(a.boxes.size(), 1);
    }

    // What cannot be replayed says so, and the window stays as it was.
    void unreadableRecording()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("notes.scanrec");
        writeFile(file, "time_ms,sweep\n");
        Tool t;
        Answers a;
        a.fileAnswers << file;
        action(t, "OpenRecording")->trigger();
        QCOMPARE(a.boxes.size(), 1);
        QCOMPARE(a.boxes[0].title, QStringLiteral("无法打开录制"));
        QVERIFY(a.boxes[0].text.endsWith(QLatin1String("not a scan recording")));
        QVERIFY(!t.window.replayPlayer()->isOpen());
    }
};

QTEST_MAIN(TestReplay)
#include "tst_replay.moc"
