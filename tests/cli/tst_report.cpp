#include "core/project/ProjectFile.h"
#include "core/sensor/SensorDockValues.h"
#include "core/zones/ZoneStore.h"
#include "graphics/PageFlow.h"
#include "gui/ReportAction.h"
#include "gui/UiPrompt.h"

#include "tests/support/ProjectText.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TestFiles.h"

#include <QCryptographicHash>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The dock's 22 values in file order, all away from their defaults where a
// wrong item list would show: RS485 control, ID 5 at 115200, CAN at 500K,
// active low, filter "Middle", 7 crosstalk sensors, UDP, 192.168.7.21.
const QVector<int> kDock = {2, 0, 0, 0, 5, 4, 0, 0,   127, 2, 1,
                            1, 1, 2, 0, 1, 4, 1, 192, 168, 7, 21};

// Two areas in use: 1 with a zone and every value set, 5 with another zone
// and the widest case channel. Polygon vertices in the order the sensor
// keeps them, so the design survives a write unchanged.
ZoneStore twoAreaDesign()
{
    ZoneStore s;
    s.setAllDetectionSize(1);
    AreaRecord &a = s.areas[1];
    a.openDelay = 3;     // 60 ms
    a.closeDelay = 5;    // 100 ms
    a.hysteresis = 3;    // 3 %
    a.detectionSize = 3; // 2.0°
    a.steerMin = -30;
    a.steerMax = 45;
    a.speedMin = 0;
    a.speedMax = 120;
    a.operationMode = 2;
    a.points[0] = {QPoint(1000, 0), QPoint(0, 1000), QPoint(-1000, 0)};
    AreaRecord &b = s.areas[5];
    b.closeDelay = 1;    // 20 ms
    b.detectionSize = 0; // 0.5°
    b.steerMin = -180;
    b.steerMax = 180;
    b.speedMin = -300;
    b.speedMax = 300;
    b.points[0] = {QPoint(2000, -500), QPoint(0, 2500), QPoint(-2000, -500)};
    return s;
}

// What poppler's tools read back: a program's output, a page's text (all
// pages for 0), the page count, and each picture's page and resolution.
QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
QString pdfText(const QString &pdf, int page = 0)
{
    const QString n = QString::number(page);
    const QStringList pages = page > 0 ? QStringList{"-f", n, "-l", n} : QStringList();
    return run("pdftotext", pages + QStringList{"-layout", pdf, "-"});
}
int pdfPages(const QString &pdf)
{
    const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(run("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}
struct PdfImage {
    int page, xppi, yppi;
};
QVector<PdfImage> pdfImages(const QString &pdf)
{
    QVector<PdfImage> images;
    for (const QString &line : run("pdfimages", {"-list", pdf}).split('\n').mid(2)) {
        const QStringList f = line.simplified().split(' ');
        if (f.size() >= 14 && f[2] == QLatin1String("image"))
            images << PdfImage{f[0].toInt(), f[12].toInt(), f[13].toInt()};
    }
    return images;
}

QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// The first wanted text the report lacks.
QString firstMissing(const QString &text, const QStringList &wanted)
{
    for (const QString &w : wanted)
        if (!text.contains(w))
            return w;
    return QString();
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void designAlone_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("wanted");
        QTest::addColumn<QStringList>("unwanted");
        QTest::newRow("en") << "en"
                            << QStringList{"Commissioning Report", "No sensor was connected",
                                           "Sector Studio 1.1.0", "Laser30",
                                           // the dock's words for the parameters
                                           "RS485 Interface", "115200", "500K", "Active Low",
                                           "Middle", "UDP Mode", "192.168.7.21", "ControlMode = 2",
                                           "RS485IDAddress = 5", "CrossFilterNumber = 4",
                                           "SensorIPAddressHigh = 49320",
                                           "SensorIPAddressLow = 1813", "Areas in use (2)",
                                           "Area 1", "Area 5", "60 ms", "100 ms", "3%", "2.0°",
                                           "-30° to 45°", "0 to 120", "Type 2", "20 ms", "Close",
                                           "0.5°", "-180° to 180°", "-300 to 300",
                                           "Type 0 (intelligent selection)",
                                           "Polygon, 3 points (1000,0)", "(0,1000) (-1000,0)",
                                           "Case coverage", "Sign-off", "Commissioned by",
                                           "Signature"}
                            << QStringList{"Area 0", "Area 2", "verified"};
        QTest::newRow("zh") << "zh"
                            << QStringList{"调试报告",      "未连接传感器", "Sector Studio 1.1.0",
                                           "RS485通讯控制", "常开方式",     "中等",
                                           "UDP模式",       "192.168.7.21", "区域 1",
                                           "区域 5",        "关闭",         "操作模式2",
                                           "-30° 至 45°",   "多边形",       "工况覆盖",
                                           "签署确认",      "调试人员",     "签名"}
                            << QStringList{"Area 1", "Commissioning Report", "Close"};
    }
    void designAlone()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, wanted);
        QFETCH(QStringList, unwanted);
        QTemporaryDir dir;
        const QByteArray bytes = projectBytes(twoAreaDesign(), 3, kDock);
        writeFile(dir.filePath("line7.ZQ30"), bytes);
        const QString pdf = dir.filePath("report.pdf");
        const CliRun r =
            runCli({"report", dir.filePath("line7.ZQ30"), "--language", language, "-o", pdf});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.ownErr(), QStringList());

        const QString text = pdfText(pdf);
        wanted << sha256(bytes) << "line7.ZQ30" << QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(firstMissing(text, wanted), QString());
        for (const QString &u : unwanted)
            QVERIFY2(!text.contains(u), qPrintable(u));
        // Parameters, two areas on one page, then coverage and sign-off.
        QCOMPARE(pdfPages(pdf), 3);
        const QVector<PdfImage> images = pdfImages(pdf);
        QCOMPARE(images.size(), 2);
        for (const PdfImage &i : images) {
            QCOMPARE(i.page, 2);
            QVERIFY2(i.xppi >= 150 && i.yppi >= 150, qPrintable(QString::number(i.xppi)));
        }
    }

    void everyAreaKeepsItsPictureOnItsPage()
    {
        // Seven areas take three pages, the coverage chart one more; each
        // heading is printed on the page of its picture and its last value row.
        ZoneStore s;
        s.setAllDetectionSize(1);
        for (int a = 10; a < 17; ++a)
            s.areas[a].points[0] = {QPoint(500 * a, 0), QPoint(0, 300 * a), QPoint(-400 * a, 0)};
        QTemporaryDir dir;
        writeFile(dir.filePath("seven.ZQ30"), projectBytes(s));
        const QString pdf = dir.filePath("r.pdf");
        QCOMPARE(runCli({"report", dir.filePath("seven.ZQ30"), "-o", pdf}).exitCode, 0);
        const QVector<PdfImage> images = pdfImages(pdf);
        QCOMPARE(images.size(), 7);
        const int pages = pdfPages(pdf);
        QCOMPARE(pages, 6);
        // The chart of all six modes opens the coverage page.
        const QString coverage = pdfText(pdf, pages - 1);
        QVERIFY2(coverage.contains("Case coverage") && coverage.contains("mode 0 gaps")
                     && coverage.contains("mode 5 gaps"),
                 qPrintable(coverage.left(400)));
        QVector<int> imagesOnPage(pages + 1);
        for (const PdfImage &i : images)
            ++imagesOnPage[i.page];
        int seen = 0;
        for (int page = 1; page <= pages; ++page) {
            const QString text = pdfText(pdf, page);
            const int headings = text.count(
                QRegularExpression("^ *Area 1\\d *$", QRegularExpression::MultilineOption));
            QCOMPARE(headings, imagesOnPage[page]);
            QCOMPARE(text.count("Out3"), imagesOnPage[page]);
            seen += headings;
            QVERIFY(text.contains(
                QRegularExpression(QStringLiteral("\\b%1\\s*/\\s*%2\\b").arg(page).arg(pages))));
        }
        QCOMPARE(seen, 7);
    }

    void againstTheEmulator()
    {
        SimProcess sim({"--product-type", "10", "--firmware", "123", "--serial-number", "4242",
                        "--production-date", "2024-11-05"});
        QVERIFY(sim.ready());
        QTemporaryDir dir;
        const QString design = dir.filePath("line7.ZQ30");
        writeFile(design, projectBytes(twoAreaDesign(), 3, kDock));
        CliRun r = runCli(QStringList{"write"} + sim.link("tcp") + QStringList{design});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains("written and verified"), qPrintable(r.err));

        const QString pdf = dir.filePath("r.pdf");
        r = runCli(QStringList{"report", design, "-o", pdf} + sim.link("tcp"));
        QCOMPARE(r.exitCode, 0);
        QString text = pdfText(pdf);
        QCOMPARE(firstMissing(text, {"ZQxxxx-NAV (10)", "1.23", "4242", "2024-11-05", "(TCP)",
                                     "verified: the sensor holds this design", "Area 1", "Area 5",
                                     "RS485 Interface"}),
                 QString());

        // The sensor now holds something else: the report names each
        // difference and the command says so.
        QCOMPARE(runCli(QStringList{"write", "--no-verify"} + sim.link("tcp") +
                        QStringList{TEST_DATA_DIR "/fresh_laser30.ZQ30"})
                     .exitCode,
                 0);
        r = runCli(QStringList{"report", design, "--language", "zh", "-o", pdf} + sim.link("udp"));
        QCOMPARE(r.exitCode, 1);
        text = pdfText(pdf);
        QCOMPARE(
            firstMissing(text,
                         {"2024年11月5日", "共 25 处差异",
                          "区域 1 Out1：设计 多边形，3 个点 (1000,0) (0,1000) (-1000,0)；传感器 空",
                          "区域 1 打开延迟：设计 60ms；传感器 0ms",
                          "参数 ControlMode：设计 2；传感器 0"}),
            QString());
        QVERIFY(!text.contains("已核对"));
    }

    void failures()
    {
        QTemporaryDir dir;
        const QString design = dir.filePath("d.ZQ30");
        writeFile(design, freshLaser30());
        // Nowhere to write: one line naming the path and the reason.
        CliRun r = runCli({"report", design, "-o", "/nonexistent/folder/r.pdf"});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.ownErr().size(), 1);
        QVERIFY2(
            r.ownErr()[0].startsWith("sector-cli report: cannot write /nonexistent/folder/r.pdf: "),
            qPrintable(r.err));
        // No such project.
        r = runCli({"report", dir.filePath("missing.ZQ30"), "-o", dir.filePath("r.pdf")});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("cannot read"), qPrintable(r.err));
        // Usage.
        QCOMPARE(runCli({"report", design}).exitCode, 2);
        for (const QStringList &bad :
             {QStringList{"--language", "fr"}, QStringList{"--model", "Laser50"}})
            QCOMPARE(
                runCli(QStringList{"report", design, "-o", dir.filePath("r.pdf")} + bad).exitCode,
                2);
        // Nobody answers: a link failure, and no report that claims a sensor.
        r = runCli({"report", design, "--tcp", "127.0.0.1:1", "-o", dir.filePath("r.pdf")});
        QCOMPARE(r.exitCode, 3);
        QVERIFY(!QFile::exists(dir.filePath("r.pdf")));
    }

    void windowDesignAndItsFile()
    {
        QTemporaryDir dir;
        ZoneStore store = twoAreaDesign();
        const QString file = dir.filePath("w.ZQ30");
        QCOMPARE(ProjectFile::saveProject(file, 3, kDock, store), ProjectFile::SaveResult::Saved);
        ReportInput in = windowReportInput(3, kDock, SensorParameters(), store, file, false);
        QCOMPARE(in.fileState, ReportInput::FileState::Saved);
        QCOMPARE(in.projectBytes, readFile(file));
        QCOMPARE(in.projectName, QString("w.ZQ30"));

        store.areas[5].openDelay = 4;
        in = windowReportInput(3, kDock, SensorParameters(), store, file, false);
        QCOMPARE(in.fileState, ReportInput::FileState::UnsavedChanges);
        QVERIFY(in.projectBytes != readFile(file));
        in = windowReportInput(3, kDock, SensorParameters(), store, QString(), true);
        QCOMPARE(in.fileState, ReportInput::FileState::UnsavedChanges);
        QVERIFY(in.projectName.isEmpty());
    }

    void saveActionAsksWritesAndTellsFailure()
    {
        QTemporaryDir dir;
        ZoneStore store = twoAreaDesign();
        ReportInput in = windowReportInput(3, kDock, SensorParameters(), store, QString(), false);
        QString answer = dir.filePath("handover");
        QVector<UiPrompt::Box> boxes;
        UiPrompt::setFileAnswer([&answer](const UiPrompt::FileQuestion &q) {
            return q.save && q.filter.contains("*.pdf") ? answer : QString();
        });
        UiPrompt::setBoxAnswer([&boxes](const UiPrompt::Box &b) {
            boxes << b;
            return 0;
        });
        // The suffix is added; the unsaved design says so.
        QVERIFY(saveCommissioningReport(nullptr, in));
        QVERIFY(boxes.isEmpty());
        const QString text = pdfText(dir.filePath("handover.pdf"));
        QVERIFY2(text.contains("unsaved changes") && text.contains("(never saved)") &&
                     text.contains(sha256(in.projectBytes)),
                 qPrintable(text.left(2000)));

        answer = dir.filePath("no/such/folder/r.pdf");
        QVERIFY(!saveCommissioningReport(nullptr, in));
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QString("Report not saved"));
        QVERIFY2(boxes[0].text.contains(answer) && boxes[0].text.contains("No such file"),
                 qPrintable(boxes[0].text));
        in.chinese = true;
        QVERIFY(!saveCommissioningReport(nullptr, in));
        QCOMPARE(boxes.last().title, QString("报告保存失败"));

        answer.clear(); // cancelled: nothing written, nothing said
        QVERIFY(!saveCommissioningReport(nullptr, in));
        QCOMPARE(boxes.size(), 2);
        UiPrompt::setFileAnswer(nullptr);
        UiPrompt::setBoxAnswer(nullptr);
    }

    void pageFlowKeepsHeadingsAndRepeatsTableHeads()
    {
        // Pages of 100: a heading is never left at a page's foot, a table
        // row that starts a page brings the heading row, and a run longer
        // than a page still fills pages instead of one row per page.
        QStringList painted;
        const auto named = [&painted](const QString &name) {
            return [&painted, name](QPainter &, const QRectF &r) {
                painted << QStringLiteral("%1@%2").arg(name).arg(r.top());
            };
        };
        PageFlow flow(100);
        flow.add(70, named("intro"));
        flow.add(20, named("heading"), true);
        auto head = std::make_shared<PageFlow::Block>();
        head->height = 10;
        head->paint = named("head");
        PageFlow::Block row;
        row.height = 30;
        row.repeat = head;
        for (int i = 0; i < 4; ++i) {
            row.paint = named(QStringLiteral("row%1").arg(i));
            flow.add(row);
        }
        QCOMPARE(flow.paginate(), 3);
        QCOMPARE(flow.pageOf(1), 1); // the heading went with its row
        QImage scratch(10, 10, QImage::Format_RGB32);
        QPainter p(&scratch);
        for (int page = 0; page < 3; ++page) {
            painted << QStringLiteral("|");
            flow.paintPage(p, page, 10);
        }
        QCOMPARE(painted.join(' '),
                 QString("| intro@0 | heading@0 row0@20 row1@50 | head@0 row2@10 row3@40"));

        // A group moves whole to the next page; one longer than a page
        // fills pages.
        PageFlow groups(100);
        groups.add(50, named("intro"));
        PageFlow run(100);
        for (int i = 0; i < 10; ++i) {
            PageFlow::Block b;
            b.height = 30;
            b.group = 1;
            b.paint = named("r");
            run.add(b);
            if (i < 2)
                groups.add(b);
        }
        QCOMPARE(groups.paginate(), 2);
        QCOMPARE(groups.pageOf(1), 1);
        QCOMPARE(groups.pageOf(2), 1);
        QCOMPARE(run.paginate(), 4);
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
