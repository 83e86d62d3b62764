#include "core/sensor/DesignCompare.h"
#include "gui/dialogs/CompareWindow.h"

#include "tests/gui/GuiTestKit.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TestFiles.h"

#include <QGraphicsPathItem>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>

namespace {

// Area 2 of what the emulator is given: a polygon on Out1 and a 100 ms on delay.
QByteArray sensorDesign()
{
    QByteArray file = withPoints(freshLaser30(), 2, 1, "1000,0\n0,1000\n-1000,0\n");
    const int area2 = file.indexOf("Out3CoordEnd\n2\n") + 15;
    return file.replace(area2, 2, "5\n");
}

QStringList lines(CompareWindow *w)
{
    return textsOf(w->differences(), [](const DesignCompare::Difference &d) { return d.toLine(); });
}

QTreeWidgetItem *groupOf(QTreeWidget *tree, const QString &title)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0) == title)
            return tree->topLevelItem(i);
    return nullptr;
}

} // namespace

class TestCompare : public QObject
{
    Q_OBJECT
    PrivateSettings m_settings;

    // An emulator that holds sensorDesign(), and a window connected to it
    // that has read it.
    struct Rig {
        SimProcess sim;
        Tool t;
        bool ready = false;
        explicit Rig(const QStringList &faults = {}) : sim(faults)
        {
            if (!sim.ready())
                return;
            QTemporaryDir dir;
            writeFile(dir.filePath("s.ZQ30"), sensorDesign());
            if (runCli(QStringList{"write", "--no-verify"} + sim.link("tcp") + QStringList{dir.filePath("s.ZQ30")})
                    .exitCode != 0)
                return;
            t.window.show();
            QSignalSpy read(t.window.link(), &SERIAL_COMM::ReceiveParameters);
            connectTo(t, sim.endpoint("tcp"));
            ready = waitFor([&] { return read.count() == 1; }, 10000) && t.store.areas[2].openDelay == 5;
        }
        CompareWindow *compare() const { return t.window.compareWindow(); }
        bool compared()
        {
            t.window.form()->CompareWithSensor->trigger();
            return waitFor([this] { return compare()->isVisible(); }, 10000);
        }
    };

private Q_SLOTS:
    void takeAreaIsOneUndoStepAndTheListFollows()
    {
        Answers answers;
        Rig r;
        QVERIFY(r.ready);
        // The design moves away from the sensor: a vertex, the on delay, a parameter.
        r.t.store.areas[2].points[0][1] = QPoint(0, 1500);
        r.t.store.areas[2].openDelay = 3;
        r.t.store.saveUndo(2);
        r.t.window.sensorParameters().CANIDAddress = 9;
        const AreaRecord edited = r.t.store.areas[2];
        QVERIFY(r.compared());
        CompareWindow *w = r.compare();
        QCOMPARE(lines(w), (QStringList{
                               "area 2 Out1: design Polygon, 3 points (1000,0) (0,1500) (-1000,0); sensor "
                               "Polygon, 3 points (1000,0) (0,1000) (-1000,0)",
                               "area 2 On Delay: design 60ms; sensor 100ms",
                               "parameter CANIDAddress: design 9; sensor 127"}));
        // The comparison read nothing into the design.
        QCOMPARE(r.t.store.areas[2], edited);
        QCOMPARE(r.t.window.sensorParameters().CANIDAddress, 9);

        // Picking the area shows it, with the sensor's zone dashed over it.
        r.t.store.currentArea = 0;
        w->tree()->setCurrentItem(groupOf(w->tree(), "区域 2"));
        QCOMPARE(r.t.store.currentArea, 2);
        QGraphicsPathItem *sensorOut1 = r.t.window.sensorOutline(0);
        QVERIFY(sensorOut1->isVisible());
        QCOMPARE(sensorOut1->path().boundingRect(), QRectF(-1000, -1000, 2000, 1000));
        QVERIFY(!r.t.window.sensorOutline(1)->path().elementCount());

        w->takeAreaButton()->click();
        QCOMPARE(r.t.store.areas[2].points[0], (QVector<QPoint>{{1000, 0}, {0, 1000}, {-1000, 0}}));
        QCOMPARE(r.t.store.areas[2].openDelay, 5);
        QCOMPARE(lines(w), QStringList{"parameter CANIDAddress: design 9; sensor 127"});
        QCOMPARE(r.t.window.form()->Area_OpenDelay->currentIndex(), 5); // the editors show it

        // One Undo brings the whole area back, and the list follows.
        r.t.window.form()->Undo->trigger();
        QCOMPARE(r.t.store.areas[2], edited);
        QVERIFY(waitFor([&] { return w->differences().size() == 3; }, 2000));
        r.t.window.form()->Redo->trigger();
        QCOMPARE(r.t.store.areas[2].openDelay, 5);

        // One item only: the parameter reaches the record and the dock.
        w->tree()->setCurrentItem(groupOf(w->tree(), "传感器参数")->child(0));
        w->takeSelectedButton()->click();
        QCOMPARE(r.t.window.sensorParameters().CANIDAddress, 127);
        QCOMPARE(r.t.window.form()->Para_CANIDAddress->value(), 127);
        QVERIFY(w->differences().isEmpty());
        QCOMPARE(w->summary()->text(), QStringLiteral("设计与传感器中的数据一致。"));

        // Closing the comparison takes the sensor's zones away.
        w->close();
        QVERIFY(!sensorOut1->isVisible());
    }

    // The boxes open for real and are closed from a timer, so that the
    // read-back starts from inside the write's own box as on a desk.
    void writeIsReadBackAndChecked_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("last");
        QTest::newRow("kept") << "" << "写入并校验完成：传感器中的数据与写入的数据一致。";
        QTest::newRow("area-2-forgotten")
            << "forget-area=2"
            << "传感器中的数据与写入的数据不同：\n\n区域 2 Out1：设计 多边形，3 个点 (1000,0) (0,1000) "
               "(-1000,0)；传感器 空\n区域 2 打开延迟：设计 140ms；传感器 0ms";
    }
    void writeIsReadBackAndChecked()
    {
        QFETCH(QString, fault);
        QFETCH(QString, last);
        // Each box stays open longer than a reply may take (2 s): nothing
        // may be asked while it is open, or the link times out behind it.
        ModalCloser closer(1300);
        Rig r(fault.isEmpty() ? QStringList{} : QStringList{"--fault", fault});
        QVERIFY(r.ready || !fault.isEmpty());
        // With the fault the emulator never took area 2: start from there.
        r.t.store.areas[2].points[0] = {{1000, 0}, {0, 1000}, {-1000, 0}};
        r.t.store.areas[2].openDelay = 7;
        QList<QString> titles;
        connect(r.t.window.link(), &SERIAL_COMM::ProgressTitle, [&](const QString &t) {
            if (titles.isEmpty() || titles.last() != t)
                titles << t;
        });
        closer.seen.clear();
        r.t.window.form()->WriteAllSetting->trigger();
        QVERIFY(waitFor([&] { return closer.seen.size() == 2 && !QApplication::activeModalWidget(); }, 20000));
        QTest::qWait(300);
        QCOMPARE(r.t.window.link()->timeoutCount(), 0);
        QVERIFY(connected(r.t));
        QCOMPARE(closer.texts().first(), QStringLiteral("参数写入完成"));
        QCOMPARE(closer.texts().last(), last);
        QCOMPARE(titles, (QList<QString>{"下载数据", "校验数据"}));
        QVERIFY(!r.t.window.link()->flag(SERIAL_COMM::FlagReadAreas));
        QCOMPARE(r.t.store.areas[2].openDelay, 7); // the check changed nothing
    }

    // While connected the report asks the sensor what it is and whether it
    // holds the design, without a box of its own.
    void reportWhileConnectedNamesTheSensor()
    {
        Answers answers;
        SimProcess sim({"--serial-number", "4711", "--firmware", "213"});
        QVERIFY(sim.ready());
        Tool t;
        QSignalSpy read(t.window.link(), &SERIAL_COMM::ReceiveParameters);
        connectTo(t, sim.endpoint("tcp"));
        QVERIFY(waitFor([&] { return read.count() == 1; }, 10000));
        t.window.form()->English->trigger();
        QTemporaryDir dir;
        writeFile(dir.filePath("line4.ZQ30"), freshLaser30());
        t.window.openProjectFile(dir.filePath("line4.ZQ30"));
        t.store.areas[6].closeDelay = 4;
        answers.fileAnswers = QStringList{dir.filePath("r.pdf")};
        const int boxes = answers.boxes.size();
        t.window.form()->CommissioningReport->trigger();
        QVERIFY(waitFor([&] { return QFile::exists(dir.filePath("r.pdf")); }, 10000));
        // The dialog offered the project's name in the project's folder.
        QCOMPARE(answers.files.last().directory, dir.filePath("line4.pdf"));
        QCOMPARE(answers.boxes.size(), boxes); // no product box, no read box
        QCOMPARE(t.store.areas[6].closeDelay, 4);
        QProcess text;
        text.start("pdftotext", {"-layout", dir.filePath("r.pdf"), "-"});
        QVERIFY(text.waitForFinished(20000));
        const QString pdf = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        QVERIFY2(pdf.contains("4711") && pdf.contains("2.13"), qPrintable(pdf.left(2000)));
        QVERIFY2(pdf.contains("area 6 Off Delay: design 80ms; sensor 0ms"), qPrintable(pdf.left(3000)));
    }

    void connectingWithUnsavedChangesCanCompare()
    {
        Answers answers;
        SimProcess sim;
        QVERIFY(sim.ready());
        Tool t;
        putDesign(t.store);
        t.store.modified = true;
        answers.boxAnswers = {3}; // Compare
        connectTo(t, sim.endpoint("tcp"));
        QVERIFY(waitFor([&] { return t.window.compareWindow()->isVisible(); }, 10000));
        QCOMPARE(answers.boxes.first().buttons.last(), QStringLiteral("比较"));
        QVERIFY(lines(t.window.compareWindow()).contains("area 3 On Delay: design 220ms; sensor 0ms"));
        // Nothing was read into the design.
        QCOMPARE(t.store.areas[3].openDelay, 11);
        QVERIFY(t.store.modified);
        // A disconnect in the middle of another comparison drops it.
        t.window.form()->CompareWithSensor->trigger();
        t.window.CloseSerialPort();
        QVERIFY(!t.window.link()->flag(SERIAL_COMM::FlagReadAreas));
    }
};

QTEST_MAIN(TestCompare)
#include "tst_compare.moc"
