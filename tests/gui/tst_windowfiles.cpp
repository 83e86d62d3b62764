// Project files and new designs through the main window: Open, Save, the
// welcome dialog's Create, Open and Connect, the New menu, and a saved file
// against the command-line converter.

#include "core/project/ProjectFile.h"
#include "core/zones/DeviceType.h"
#include "gui/MainWindow.h"
#include "gui/RecentProjects.h"
#include "gui/UiPrompt.h"
#include "gui/dialogs/Create.h"
#include "gui/editors/AREA_TABLE.h"
#include "tests/gui/GuiTestKit.h"
#include "tests/support/TestFiles.h"
#include "ui_create.h"
#include "ui_mainwindow.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestWindowFiles : public QObject
{
    Q_OBJECT
    PrivateSettings m_settings;

private Q_SLOTS:
    void init() { m_settings.clear(); }

    // The five projects saved or opened last, newest first, under File and
    // across runs; the dialogs start in the newest one's folder.
    void recentProjects()
    {
        QTemporaryDir dir, other;
        Answers ask;
        {
            Tool t;
            for (int i = 1; i <= 6; ++i) {
                ask.fileAnswers = QStringList{dir.filePath(QStringLiteral("d%1.ZQ30").arg(i))};
                t.window.savefile();
            }
            QCOMPARE(ask.files[0].directory, QString());
            QCOMPARE(ask.files[1].directory, dir.path());
            writeFile(other.filePath("o.ZQ30"), freshLaser30());
            t.window.openProjectFile(other.filePath("o.ZQ30"));
            ask.fileAnswers.clear();
            t.window.openfile();
            QCOMPARE(ask.files.last().directory, other.path());
        }
        Tool t;
        auto *menu = t.window.findChild<QMenu *>("RecentProjects");
        QVERIFY(menu);
        QStringList shown;
        for (QAction *a : menu->actions())
            shown << a->text();
        QCOMPARE(shown, (QStringList{"&1 o.ZQ30", "&2 d6.ZQ30", "&3 d5.ZQ30", "&4 d4.ZQ30", "&5 d3.ZQ30"}));
        const QList<QAction *> file = t.window.form()->File->actions();
        QCOMPARE(menu->menuAction(), file[file.indexOf(t.window.form()->Quit) - 2]);

        // Picking one opens it; one that has gone away says so and leaves the list.
        t.store.areas[4].openDelay = 9;
        menu->actions()[1]->trigger();
        QCOMPARE(t.store.areas[4].openDelay, 0);
        QCOMPARE(t.window.recentProjects()->files().first(), dir.filePath("d6.ZQ30"));
        QFile::remove(dir.filePath("d5.ZQ30"));
        const int boxes = ask.boxes.size();
        menu->actions()[2]->trigger();
        QCOMPARE(ask.boxes.size(), boxes + 1);
        QCOMPARE(ask.boxes.last().text, QStringLiteral("No document"));
        QVERIFY(!t.window.recentProjects()->files().contains(dir.filePath("d5.ZQ30")));
        QCOMPARE(menu->actions().size(), 4);
    }

    void openActionFailureTable()
    {
        QTemporaryDir dir;
        Answers ask;
        Tool t;
        // Cancelled dialog: nothing.
        t.window.openfile();
        QCOMPARE(ask.files.size(), 1);
        QCOMPARE(ask.files[0].caption, QStringLiteral("打开配置文件"));
        QCOMPARE(ask.files[0].filter, QStringLiteral("(*.ZQ30)"));
        QVERIFY(ask.boxes.isEmpty());
        QVERIFY(!t.store.modified);

        // A file that cannot be read.
        ask.fileAnswers = QStringList{dir.filePath("missing.ZQ30")};
        t.window.openfile();
        QCOMPARE(ask.boxes.size(), 1);
        QCOMPARE(said(ask.boxes[0]), (QStringList{"Document", "No document", "OK", "Cancel"}));
        QVERIFY(!t.store.modified);

        // Another model's file is refused as damaged, yet the refresh runs.
        QByteArray other = freshLaser30();
        other.replace(0, 9, "TRV_ZQ_50");
        other.replace("CoordTableData\n0\n0\n0\n0\n1\n", "CoordTableData\n0\n9\n0\n0\n1\n");
        writeFile(dir.filePath("other.ZQ50"), other);
        ask.fileAnswers = QStringList{dir.filePath("other.ZQ50")};
        t.window.openfile();
        QCOMPARE(ask.boxes.size(), 2);
        QCOMPARE(said(ask.boxes[1]), (QStringList{"错误", "文件损坏", "OK"}));
        QCOMPARE(t.store.areas[0].openDelay, 0);
        QCOMPARE(t.window.deviceType().type, 3);
        QVERIFY(t.store.modified);
        // Reading starts Undo afresh: nothing from before can come back.
        QCOMPARE(t.store.undoHistory[0].size(), 1);
        QCOMPARE(t.store.undoHistory[0][0], t.store.areas[0]);

        // A good file of the current model.
        QByteArray good = freshLaser30();
        good.replace("CoordTableData\n0\n0\n0\n0\n1\n", "CoordTableData\n0\n4\n0\n0\n1\n");
        good.replace("Out1CoordStr\nOut1CoordEnd\nOut2CoordStr",
                     "Out1CoordStr\n-5,7\nOut1CoordEnd\nOut2CoordStr");
        good.replace("SensorSetting\n0\n", "SensorSetting\n3\n");
        writeFile(dir.filePath("good.ZQ30"), good);
        ask.fileAnswers = QStringList{dir.filePath("good.ZQ30")};
        t.window.openfile();
        QCOMPARE(ask.boxes.size(), 2);
        QCOMPARE(t.store.areas[0].openDelay, 4);
        QCOMPARE(t.store.areas[0].points[0], QVector<QPoint>{QPoint(-5, 7)});
        QCOMPARE(t.window.form()->Para_ControlMode->currentIndex(), 3);
        QCOMPARE(t.window.sensorParameters().ControlMode, 3);
        QCOMPARE(t.store.undoHistory[0].size(), 1);
        QCOMPARE(t.store.undoHistory[0].last().openDelay, 4);
        // Undo right after opening keeps what was read.
        t.window.areaTable()->UndoAreaTableData();
        QCOMPARE(t.store.areas[0].openDelay, 4);
        QCOMPARE(t.store.areas[0].points[0], QVector<QPoint>{QPoint(-5, 7)});
    }

    void openFromWelcomeSwitchesModel()
    {
        QTemporaryDir dir;
        Answers ask;
        Tool t;
        QByteArray big = freshLaser30();
        big.replace(0, 9, "TRV_ZQ_50");
        writeFile(dir.filePath("big"), big);
        ask.fileAnswers = QStringList{dir.filePath("big")};
        t.window.OpenProject();
        QVERIFY(ask.boxes.isEmpty());
        QCOMPARE(ask.files[0].filter, QString());
        QCOMPARE(t.window.deviceType().type, 4);
        QCOMPARE(t.window.form()->ZoomSlider->minimum(), -90);
        QCOMPARE(t.window.form()->ZoomSlider->value(), -90);
        QVERIFY(t.store.modified);

        // None of the five headers: the damaged-file box and nothing else.
        QByteArray bad = freshLaser30();
        bad.replace(0, 9, "TRV_ZQ_60");
        bad.replace("CoordTableData\n0\n0\n", "CoordTableData\n0\n8\n");
        writeFile(dir.filePath("bad"), bad);
        t.store.modified = false;
        ask.fileAnswers = QStringList{dir.filePath("bad")};
        t.window.OpenProject();
        QCOMPARE(ask.boxes.size(), 1);
        QCOMPARE(ask.boxes[0].text, QStringLiteral("文件损坏"));
        QVERIFY(!t.store.modified);
        QCOMPARE(t.store.areas[0].openDelay, 0);
        QCOMPARE(t.window.deviceType().type, 4);

        // A file that cannot be read: silence.
        ask.fileAnswers = QStringList{dir.filePath("missing")};
        t.window.OpenProject();
        QCOMPARE(ask.boxes.size(), 1);
    }

    void saveAppliesSuffixAndClearsModified()
    {
        QTemporaryDir dir;
        Answers ask;
        Tool t;
        t.store.modified = true;
        t.window.savefile(); // cancelled
        QVERIFY(t.store.modified);
        QCOMPARE(ask.files[0].caption, QStringLiteral("保存配置文件"));
        QCOMPARE(ask.files[0].filter, QStringLiteral("(*.ZQ30)"));
        QVERIFY(ask.files[0].save);

        ask.fileAnswers = QStringList{dir.filePath("plant")};
        t.window.savefile();
        QVERIFY(!t.store.modified);
        QCOMPARE(readFile(dir.filePath("plant.ZQ30")), freshLaser30());

        ask.fileAnswers = QStringList{dir.filePath("plant.zq30")};
        t.window.savefile();
        QVERIFY(QFile::exists(dir.filePath("plant.zq30.ZQ30")));

        // A folder that does not exist: nothing written, and the user is
        // told; the design still counts as unsaved.
        t.store.modified = true;
        ask.fileAnswers = QStringList{dir.filePath("none/x")};
        t.window.savefile();
        QVERIFY(t.store.modified);
        QCOMPARE(ask.boxes.size(), 1);
        QCOMPARE(ask.boxes[0].title, QStringLiteral("保存失败"));
        QVERIFY(ask.boxes[0].text.contains(QDir::toNativeSeparators(dir.filePath("none/x.ZQ30"))));
    }

    void cliConvertWritesWhatSaveWrites_data()
    {
        QTest::addColumn<QByteArray>("content");
        const QByteArray base = freshLaser30();
        QTest::newRow("fresh") << base;
        QByteArray l10 = base;
        l10.replace(0, 9, "TRV_ZQ_10");
        l10.replace("Out2CoordStr\nOut2CoordEnd", "Out2CoordStr\n0,1500\nOut2CoordEnd");
        l10.replace("CoordTableData\n0\n0\n0\n0\n1\n0\n0\n0\n0\n0\n0\n0\n0\n",
                    "CoordTableData\n0\n3\n2\n1\n1\n-20\n20\n-100\n100\n2\n1\n5\n7\n");
        QTest::newRow("laser10-design") << l10;
        QByteArray limits = base;
        limits.replace("SensorSetting\n0\n0\n0\n0\n127\n", "SensorSetting\n9\n-1\nx\n2\n500\n");
        limits.replace("\n192\n168\n1\n88\n", "\n10\n168\n1\n0\n");
        QTest::newRow("dock-limits") << limits;
        QByteArray noEnd = base;
        noEnd.replace("Out1CoordStr\nOut1CoordEnd\n", "Out1CoordStr\n1,2,3\nbad\n");
        QTest::newRow("missing-end-tag") << noEnd;
        QByteArray index64 = base;
        index64.replace("Out3CoordEnd\n5\n", "Out3CoordEnd\n64\n");
        QTest::newRow("area-index-64") << index64;
        QByteArray crlf = base;
        crlf.replace("\n", "\r\n");
        QTest::newRow("crlf") << crlf;
        QTest::newRow("no-sensor-section") << QByteArray("TRV_ZQ_20\nCoordTableData\n0\n1\n");
        QTest::newRow("header-only") << QByteArray("TRV_ZQ_05");
        QByteArray areas37 = "TRV_ZQ_30\nSensorSetting\n";
        areas37 += "1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n200\n1\n1\n1\n";
        areas37 += "CoordTableData\n3\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\nOut1CoordStr\n5,"
                   "5\nOut1CoordEnd\n"
                   "Out2CoordStr\nOut2CoordEnd\nOut3CoordStr\nOut3CoordEnd\n7\n2\n2\n2\n2\n2\n2\n2"
                   "\n2\n2\n7\n9\n9\n"
                   "Out1CoordStr\nOut1CoordEnd\nOut2CoordStr\nOut2CoordEnd\nOut3CoordStr\n-1,-1\n";
        QTest::newRow("areas-3-and-7-truncated") << areas37;
    }
    void cliConvertWritesWhatSaveWrites()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString in = dir.filePath("in");
        writeFile(in, content);

        QCOMPARE(runCli({"convert", in, dir.filePath("cli.out")}).exitCode, 0);

        Answers ask;
        Tool t;
        ask.fileAnswers = QStringList{in};
        t.window.OpenProject();
        QVERIFY(ask.boxes.isEmpty());
        const QString suffix =
            QString::fromLatin1(deviceModelInfo(t.window.deviceType().type)->suffix);
        ask.fileAnswers = QStringList{dir.filePath("gui") + suffix};
        t.window.savefile();
        const QByteArray gui = readFile(dir.filePath("gui") + suffix);
        QVERIFY(!gui.isEmpty());
        QCOMPARE(readFile(dir.filePath("cli.out")), gui);
    }

    void welcomeCreateAppliesTheModelWithoutReset()
    {
        Answers ask;
        Tool t;
        t.window.show();
        Create *w = t.window.welcome();
        w->show();
        t.store.areas[3].points[0] = {QPoint(5, 5)};
        w->form()->LaserSensorType->setCurrentIndex(1);
        w->form()->ConnecttabWidget->setCurrentIndex(1);
        QSignalSpy created(w, &Create::CreateSignal);
        QSignalSpy iface(w, &Create::CreateInterface);
        w->form()->Button_Create->click();
        QCOMPARE(created.count(), 1);
        QCOMPARE(iface.takeFirst().at(0).toInt(), 1);
        QVERIFY(w->isHidden());
        QCOMPARE(t.window.deviceType().type, 4);
        QCOMPARE(t.window.form()->ZoomSlider->minimum(), -90);
        QCOMPARE(t.scan.connectionType, 1);
        // No reset and no question.
        QVERIFY(ask.boxes.isEmpty());
        QCOMPARE(t.store.areas[3].points[0].size(), 1);
        QCOMPARE(t.store.areas[0].detectionSize, 1);
    }

    void welcomeConnectAndQuit()
    {
        Answers ask;
        Tool t;
        t.window.show();
        Create *w = t.window.welcome();
        w->show();
        w->form()->Button_Refresh->click();
        const int ports = w->form()->comboBox_Serial->count();
        w->form()->Button_Refresh->click();
        QCOMPARE(w->form()->comboBox_Serial->count(), ports); // no duplicates
        w->form()->comboBox_Serial->clear();
        QSignalSpy serial(w, &Create::OpenSerialSignal);
        w->form()->ConnecttabWidget->setCurrentIndex(0);
        w->form()->Button_Connect->click();
        QCOMPARE(serial.count(), 1);
        QCOMPARE(serial.first().at(0).toString(), QString());
        QCOMPARE(ask.boxes.last().text, QStringLiteral("串口打开失败"));

        // Quit closes the main window, through its question when modified.
        t.store.modified = true;
        ask.boxAnswers = {2};
        w->show();
        w->form()->Button_Quit->click();
        QVERIFY(t.window.isVisible());
        QCOMPARE(ask.boxes.last().buttons, (QStringList{"保存", "关闭", "取消"}));
        ask.boxAnswers = {1};
        w->show();
        w->form()->Button_Quit->click();
        QVERIFY(!t.window.isVisible());
    }

    void newProjectWithoutChangesAsksNothing()
    {
        Answers ask;
        Tool t;
        t.store.areas[1].points[0] = {QPoint(1, 1)};
        t.window.form()->Laser50->trigger();
        QVERIFY(ask.boxes.isEmpty());
        QCOMPARE(t.window.deviceType().type, 4);
        QVERIFY(t.store.areas[1].points[0].isEmpty());
        t.window.form()->Laser30->trigger();
        QCOMPARE(t.window.deviceType().type, 3);
        QCOMPARE(t.window.form()->ZoomSlider->minimum(), -55);
    }

    void newProjectQuestionAndReset()
    {
        Answers ask;
        Tool t;
        t.store.areas[2].steerMin = -40;
        t.store.areas[2].points[1] = {QPoint(0, 100)};
        t.store.areas[0].points[0] = {QPoint(300, 300), QPoint(-300, 300), QPoint(0, 900)};
        t.window.areaTable()->SaveUndoAreaTableData();
        t.store.modified = true;
        ask.boxAnswers = {1};
        t.window.CreateDeviceLaser50();
        QCOMPARE(ask.boxes.size(), 1);
        QCOMPARE(ask.boxes[0].buttons, (QStringList{"确定", "取消"}));
        QCOMPARE(t.window.deviceType().type, 3);
        QCOMPARE(t.store.areas[2].points[1].size(), 1);

        ask.boxAnswers = {0};
        t.window.form()->Para_ControlMode->setCurrentIndex(4);
        t.window.CreateDeviceLaser50();
        QCOMPARE(t.window.deviceType().type, 4);
        QVERIFY(!t.store.modified);
        QVERIFY(t.store.areas[2].points[1].isEmpty());
        QCOMPARE(t.store.areas[2].steerMin, -40);
        for (const AreaRecord &a : t.store.areas)
            QCOMPARE(a.detectionSize, 0);
        QCOMPARE(t.window.form()->Para_ControlMode->currentIndex(), 0);
        QCOMPARE(t.window.form()->ZoomSlider->minimum(), -90);
        // Nothing from before the new project can be undone.
        t.window.form()->Undo->trigger();
        QVERIFY(t.store.areas[0].points[0].isEmpty());
        QCOMPARE(t.window.form()->CoordTableWidgetOut1->rowCount(), 1);
    }
};

QTEST_MAIN(TestWindowFiles)
#include "tst_windowfiles.moc"
