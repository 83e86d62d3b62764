#include "graphics/OPTION_SCENE.h"
#include "graphics/ViewWindow.h"
#include "gui/StartOptions.h"
#include "gui/dialogs/Create.h"
#include "gui/editors/AREA_TABLE.h"
#include "gui/editors/COORD_TABLE.h"
#include "ui_create.h"

#include "tests/gui/GuiTestKit.h"
#include "tests/support/PointText.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QGraphicsItem>

using namespace ViewInput;

namespace {

// A project file of the given model with one Out1 vertex in area 0.
QByteArray projectFor(const char *header)
{
    return withPoints(freshLaser30(), 0, 1, "700,800\n").replace(0, 9, header);
}

// Handle positions in the sensor frame, as "x,y ...".
QString handlePositions(OPTION_SCENE *sc)
{
    QVector<QPoint> out;
    for (QGraphicsItem *h : sc->handles())
        if (!h->pos().isNull())
            out << QPoint(int(h->pos().x()), int(-h->pos().y()));
    return str(out);
}

QString tableRows(QTableWidget *t)
{
    QVector<QPoint> out;
    for (int r = 0; r < t->rowCount(); ++r)
        if (t->item(r, 1) && t->item(r, 2))
            out << QPoint(t->item(r, 1)->text().toInt(), t->item(r, 2)->text().toInt());
    return str(out);
}

} // namespace

// Paths along which a design used to be lost or changed without a word.
class TestDesignSafety : public QObject
{
    Q_OBJECT
    PrivateSettings m_settings;
    QTemporaryDir m_dir;

private Q_SLOTS:
    // ---------------------------------------------------------------- saving

    void closeQuestionSaveThatFailsKeepsTheWindow_data()
    {
        QTest::addColumn<QString>("name"); // "" cancels the save dialog
        QTest::addColumn<bool>("told");
        QTest::newRow("missing-folder") << "none/plant.ZQ30" << true;
        QTest::newRow("target-is-a-folder") << "folder.ZQ30" << true;
        QTest::newRow("dialog-cancelled") << "" << false;
    }
    void closeQuestionSaveThatFailsKeepsTheWindow()
    {
        QFETCH(QString, name);
        QFETCH(bool, told);
        QVERIFY(QDir(m_dir.path()).mkpath("folder.ZQ30"));
        Answers ask;
        Tool t;
        t.window.show();
        t.store.areas[5].points[0] = {QPoint(100, 200)};
        t.store.modified = true;
        ask.boxAnswers = {0, 0}; // Save; OK on the failure box
        ask.fileAnswers = QStringList{name.isEmpty() ? QString() : m_dir.filePath(name)};
        QVERIFY(!t.window.close());
        QVERIFY(t.window.isVisible());
        QVERIFY(t.store.modified);
        QCOMPARE(str(t.store.areas[5].points[0]), QStringLiteral("100,200"));
        QCOMPARE(ask.boxes.size(), told ? 2 : 1);
        if (told) {
            QCOMPARE(ask.boxes[1].title, QStringLiteral("保存失败"));
            QVERIFY(ask.boxes[1].text.contains(QDir::toNativeSeparators(m_dir.filePath(name))));
        }
        // A save that works then lets the window close.
        ask.boxAnswers = {0};
        ask.fileAnswers = QStringList{m_dir.filePath("saved")};
        QVERIFY(t.window.close());
        QVERIFY(!t.store.modified);
        QVERIFY(readFile(m_dir.filePath("saved.ZQ30")).contains("100,200"));
    }

    void handlesStayFindableAcrossZooms()
    {
        // A handle's scene size follows the zoom; the scene must find it
        // where it now reaches, and must not keep a deleted one in its index
        // (the next rebuild of the handles then crashed).
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        ViewWindow *view = ui->graphicsView;
        t.window.resize(1400, 950);
        t.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        t.store.areas[2].points[0] = {QPoint(3000, 300), QPoint(0, 3000), QPoint(-3000, 300)};
        QTest::mouseClick(ui->AreaTableWidget->viewport(), Qt::LeftButton, Qt::NoModifier,
                          ui->AreaTableWidget->visualRect(ui->AreaTableWidget->model()->index(2, 0)).center());
        QCOMPARE(t.store.currentArea, 2);
        for (int level : {0, 100, -40, 350, 200}) {
            ui->ZoomSlider->setValue(level);
            view->centerOn(0, 0);
            QApplication::processEvents();
            const QPoint p = t.store.areas[2].points[0][1];
            drag(view, pixelOf(view, p.x(), p.y()), QPoint(-3, 2));
            QApplication::processEvents();
            for (QGraphicsItem *k : t.window.optionScene()->handles())
                QVERIFY(t.window.graphicsScene()->items(k->scenePos()).contains(k));
        }
        QTest::mouseClick(ui->AreaTableWidget->viewport(), Qt::LeftButton, Qt::NoModifier,
                          ui->AreaTableWidget->visualRect(ui->AreaTableWidget->model()->index(0, 0)).center());
        QCOMPARE(t.store.currentArea, 0);
        QCOMPARE(t.window.optionScene()->handles().size(), 1); // the centre handle
    }

    // ---------------------------------------------------------------- start

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("kind");
        QTest::newRow("file") << QStringList{"a.ZQ05"} << true << "a.ZQ05" << "";
        QTest::newRow("qt-platform-then-file")
            << QStringList{"-platform", "offscreen", "a.ZQ50"} << true << "a.ZQ50" << "";
        QTest::newRow("qt-style-equals") << QStringList{"--style=fusion", "-reverse", "b.ZQ10"}
                                         << true << "b.ZQ10" << "";
        QTest::newRow("qt-style-after-connect")
            << QStringList{"--connect", "tcp://127.0.0.1:9000", "-style", "fusion"} << true << ""
            << "tcp";
        QTest::newRow("qt-option-missing-value") << QStringList{"-platform"} << false << "" << "";
        QTest::newRow("unknown-option") << QStringList{"--frobnicate"} << false << "" << "";
        QTest::newRow("two-files") << QStringList{"a.ZQ30", "b.ZQ30"} << false << "a.ZQ30" << "";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, ok);
        QFETCH(QString, file);
        QFETCH(QString, kind);
        const StartOptions::Start s = StartOptions::parse(QStringList{"sector-studio"} + args);
        QCOMPARE(s.ok, ok);
        QCOMPARE(s.file, file);
        QCOMPARE(s.kind, kind);
    }

    void fileNamedAtStartOpensForItsModel_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("zoomMinimum");
        QTest::newRow("ZQ05") << QByteArray("TRV_ZQ_05") << 0 << 70;
        QTest::newRow("ZQ10") << QByteArray("TRV_ZQ_10") << 1 << 30;
        QTest::newRow("ZQ20") << QByteArray("TRV_ZQ_20") << 2 << -20;
        QTest::newRow("ZQ30") << QByteArray("TRV_ZQ_30") << 3 << -55;
        QTest::newRow("ZQ50") << QByteArray("TRV_ZQ_50") << 4 << -90;
    }
    void fileNamedAtStartOpensForItsModel()
    {
        QFETCH(QByteArray, header);
        QFETCH(int, type);
        QFETCH(int, zoomMinimum);
        const QString path = m_dir.filePath("start." + QString::fromLatin1(header.right(2)));
        writeFile(path, projectFor(header.constData()));
        Answers ask;
        Tool t;
        QVERIFY(t.window.openAnyProjectFile(path));
        QVERIFY2(ask.boxes.isEmpty(), qPrintable(ask.texts().join('|')));
        QCOMPARE(t.window.deviceType().type, type);
        QCOMPARE(t.window.form()->ZoomSlider->minimum(), zoomMinimum);
        QCOMPARE(str(t.store.areas[0].points[0]), QStringLiteral("700,800"));
        QCOMPARE(tableRows(t.window.form()->CoordTableWidgetOut1), QStringLiteral("700,800 0,0"));
    }

    void fileNamedAtStartThatCannotBeRead()
    {
        Answers ask;
        Tool t;
        QVERIFY(!t.window.openAnyProjectFile(m_dir.filePath("absent.ZQ30")));
        QCOMPARE(ask.texts(), QStringList{"No document"});
        QVERIFY(!t.store.modified);
        writeFile(m_dir.filePath("junk.ZQ30"), "not a project\n");
        QVERIFY(!t.window.openAnyProjectFile(m_dir.filePath("junk.ZQ30")));
        QCOMPARE(ask.texts().last(), QStringLiteral("文件损坏"));
        QVERIFY(!t.store.modified);
    }

    // Far more points than any sensor holds, or a line that never ends: both
    // Open paths say why and leave the design as it was.
    void fileBeyondAnySensorIsRefusedWithTheReason()
    {
        QByteArray points;
        for (int i = 0; i < 12000; ++i)
            points += QByteArray::number(i) + ",5\n";
        writeFile(m_dir.filePath("many.ZQ30"), withPoints(freshLaser30(), 0, 2, points));
        writeFile(m_dir.filePath("endless.ZQ30"), QByteArray(64 * 1024, 'x'));
        Answers ask;
        Tool t;
        t.store.areas[5].points[0] = {QPoint(1, 2)};
        t.store.modified = true;
        QVERIFY(!t.window.openAnyProjectFile(m_dir.filePath("many.ZQ30")));
        QVERIFY2(ask.texts().last().contains("Out2"), qPrintable(ask.texts().join('|')));
        QVERIFY(ask.texts().last().contains("12000"));
        QCOMPARE(ask.boxes.last().title, QStringLiteral("无法打开"));
        t.window.openProjectFile(m_dir.filePath("endless.ZQ30"));
        QVERIFY2(ask.texts().last().contains("1024"), qPrintable(ask.texts().join('|')));
        QCOMPARE(ask.boxes.size(), 2);
        QCOMPARE(str(t.store.areas[5].points[0]), QStringLiteral("1,2"));
        QVERIFY(t.store.modified);
        QCOMPARE(t.window.deviceType().type, 3);
    }

    void welcomeDialogIsLeftThroughItsButtonsOnly()
    {
        Tool t;
        t.window.show();
        Create *w = t.window.welcome();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QTest::mouseClick(w->form()->Button_Quit, Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QVERIFY(!t.window.isVisible());
    }

    // ---------------------------------------------------------------- monitoring

    void monitoringEditsNothingAndEditionShowsTheViewsArea()
    {
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        ViewWindow *view = ui->graphicsView;
        OPTION_SCENE *sc = t.window.optionScene();
        t.window.resize(1400, 950);
        t.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        // Area 0: a rectangle on Out1; area 2: a polygon on Out1.
        t.store.areas[0].shape[0] = ShapeRectangle;
        t.store.areas[0].points[0] = {QPoint(-1600, 3200), QPoint(-1600, 1600),
                                      QPoint(1600, 1600), QPoint(1600, 3200)};
        t.store.areas[2].points[0] = {QPoint(0, 4800), QPoint(-3200, 800), QPoint(3200, 800)};
        const AreaRecord area2 = t.store.areas[2];
        Q_EMIT t.window.areaTable()->EditAreaDataSignal();
        ui->ZoomSlider->setValue(50);
        view->centerOn(0, 0);
        QApplication::processEvents();
        QCOMPARE(handlePositions(sc), QStringLiteral("-1600,3200 -1600,1600 1600,1600 1600,3200"));
        // A handle pressed in edition mode stays current in the view.
        click(view, pixelOf(view, 1600, 1600));
        t.store.modified = false; // a click on a handle counts as an edit

        t.window.OpenMonitoringMode();
        t.window.MonitorGraphicDisplay(2, 0); // the sensor selects area 2
        QCOMPARE(t.store.currentArea, 2);
        for (QGraphicsItem *h : sc->handles())
            QVERIFY(!h->isVisible());
        // Nothing the hand does in the view changes a zone.
        drag(view, pixelOf(view, 1600, 1600), QPoint(40, -40));
        rightClick(view, pixelOf(view, 3200, 800));
        QTest::keyClick(view, Qt::Key_Delete);
        drag(view, pixelOf(view, 0, 0), QPoint(20, -60));
        QCOMPARE(t.store.areas[2], area2);
        QCOMPARE(str(t.store.areas[0].points[0]),
                 QStringLiteral("-1600,3200 -1600,1600 1600,1600 1600,3200"));
        QVERIFY(!t.store.modified);

        // Back in edition: list, tables, controls and handles show area 2.
        ui->Edition->trigger();
        QCOMPARE(t.window.viewMode(), 0);
        QCOMPARE(ui->AreaTableWidget->currentRow(), 2);
        QCOMPARE(tableRows(ui->CoordTableWidgetOut1), QStringLiteral("0,4800 -3200,800 3200,800 0,0"));
        QVERIFY(ui->ButtonPolygonOut1->isChecked());
        QVERIFY(!ui->ButtonRectangleOut1->isChecked());
        QCOMPARE(handlePositions(sc), QStringLiteral("0,4800 -3200,800 3200,800"));
        for (QGraphicsItem *h : sc->handles())
            QVERIFY(h->isVisible());
        // And an edit now lands in area 2, nowhere else.
        drag(view, pixelOf(view, 3200, 800), QPoint(10, 0));
        QCOMPARE(str(t.store.areas[2].points[0]), QStringLiteral("0,4800 -3200,800 3360,800"));
        QCOMPARE(str(t.store.areas[0].points[0]),
                 QStringLiteral("-1600,3200 -1600,1600 1600,1600 1600,3200"));
    }
};

QTEST_MAIN(TestDesignSafety)
#include "tst_designsafety.moc"
