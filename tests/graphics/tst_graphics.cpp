// The view window as a user drives it: zoom controls, the grid, rings and
// labels of its drawing passes recorded at the paint engine, and the
// pictures sector-cli renders with the view's own code.
#include "tests/graphics/GraphicsTestKit.h"

class TestGraphics : public QObject
{
    Q_OBJECT
    QuietViewTests m_quiet;
    QTemporaryDir m_dir;

private Q_SLOTS:
    // ------------------------------------------------------------ zoom

    void zoomClamps_data()
    {
        QTest::addColumn<int>("model"); // -1: no device type set
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("level");
        QTest::addColumn<double>("exponent"); // scale = 2^exponent
        QTest::addColumn<int>("announced");   // ChangeMatrixSignal value, or INT_MIN for none
        QTest::newRow("wheel-up-from-345") << -1 << 345 << "wheel+" << 350 << 2.0 << 350;
        QTest::newRow("wheel-down-from-345") << 3 << 345 << "wheel-" << 335 << 1.7 << 335;
        QTest::newRow("zoom-out-at-laser30-min") << 3 << -55 << "out" << -55 << -6.1 << -55;
        QTest::newRow("zoom-in-at-max") << 3 << 350 << "in" << 350 << 2.0 << 350;
        QTest::newRow("zoom-in") << 3 << 99 << "in" << 100 << -3.0 << 100;
        QTest::newRow("wheel-down-at-laser05-min") << 0 << 75 << "wheel-" << 70 << -3.6 << 70;
        QTest::newRow("zoom-out-at-laser10-min") << 1 << 30 << "out" << 30 << -4.4 << 30;
        QTest::newRow("wheel-down-near-laser20-min") << 2 << -15 << "wheel-" << -20 << -5.4 << -20;
        QTest::newRow("no-type-no-lower-limit") << -1 << -250 << "out" << -251 << -10.02 << -251;
        QTest::newRow("slider-below-laser50-min") << 4 << 0 << "slider:-120" << -90 << -6.8 << INT_MIN;
        QTest::newRow("slider-above-max") << 4 << 0 << "slider:400" << 350 << 2.0 << INT_MIN;
        QTest::newRow("slider-no-type") << -1 << 0 << "slider:-300" << -300 << -11.0 << INT_MIN;
    }
    void zoomClamps()
    {
        QFETCH(int, model);
        QFETCH(int, start);
        QFETCH(QString, action);
        QFETCH(int, level);
        QFETCH(double, exponent);
        QFETCH(int, announced);
        ViewWindow view;
        DEVICETYPE type{model};
        if (model >= 0)
            view.SetDeviceType(&type);
        view.ChangeSetupMatrix(start);
        QSignalSpy matrix(&view, &ViewWindow::ChangeMatrixSignal);
        QSignalSpy scale(&view, qOverload<double>(&ViewWindow::ChangeSetupMatrix));
        if (action.startsWith("wheel")) {
            QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, action.endsWith('+') ? 120 : -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view.viewport(), &e);
            QVERIFY(e.isAccepted());
        } else if (action == "in") {
            view.ZoomInButtonSlots();
        } else if (action == "out") {
            view.ZoomOutButtonSlots();
        } else {
            view.ChangeSetupMatrix(action.section(':', 1).toInt());
        }
        const double want = std::pow(2.0, exponent);
        QCOMPARE(view.zoomLevel(), level);
        QVERIFY2(qAbs(view.scaleFactor() / want - 1) < 1e-9, qPrintable(QString::number(view.scaleFactor())));
        QVERIFY(qAbs(view.transform().m11() / want - 1) < 1e-9);
        QVERIFY(qAbs(view.transform().m22() / want - 1) < 1e-9);
        QCOMPARE(scale.count(), 1);
        QVERIFY(qAbs(scale.at(0).at(0).toDouble() / want - 1) < 1e-9);
        if (announced == INT_MIN) {
            QCOMPARE(matrix.count(), 0);
        } else {
            QCOMPARE(matrix.count(), 1);
            QCOMPARE(matrix.at(0).at(0).toInt(), announced);
        }
    }

    // The wheel takes the delta of its dominant axis, so a sideways wheel
    // zooms as well; only a delta below 1 zooms out.
    void wheelDirection_data()
    {
        QTest::addColumn<QPoint>("angleDelta");
        QTest::addColumn<int>("level");
        QTest::newRow("vertical-up") << QPoint(0, 120) << 210;
        QTest::newRow("vertical-down") << QPoint(0, -120) << 190;
        QTest::newRow("sideways-positive") << QPoint(120, 0) << 210;
        QTest::newRow("sideways-negative") << QPoint(-120, 0) << 190;
        QTest::newRow("mostly-sideways") << QPoint(120, -60) << 210;
        QTest::newRow("tie-takes-vertical") << QPoint(120, -120) << 190;
    }
    void wheelDirection()
    {
        QFETCH(QPoint, angleDelta);
        QFETCH(int, level);
        ViewWindow view;
        view.ChangeSetupMatrix(200);
        QSignalSpy matrix(&view, &ViewWindow::ChangeMatrixSignal);
        QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), angleDelta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &e);
        QCOMPARE(view.zoomLevel(), level);
        QCOMPARE(matrix.count(), 1);
        QCOMPARE(matrix.at(0).at(0).toInt(), level);
    }

    // Slider, buttons and wheel as wired in the main window: the slider
    // follows the view, the view follows the slider, neither loops.
    void zoomControlsInMainWindow()
    {
        Tool t;
        QSlider *slider = t.ui->ZoomSlider;
        QCOMPARE(t.view->zoomLevel(), -55);
        const double minScale = t.view->scaleFactor();
        QVERIFY(qAbs(*t.window.optionScene()->scaleSize() - minScale) < 1e-12);

        QTest::mouseClick(t.ui->ZoomOut, Qt::LeftButton);
        QCOMPARE(slider->value(), -55);
        QCOMPARE(t.view->scaleFactor(), minScale);

        QTest::mouseClick(t.ui->ZoomIn, Qt::LeftButton);
        QCOMPARE(slider->value(), -54);
        QCOMPARE(t.view->zoomLevel(), -54);

        QSignalSpy matrix(t.view, &ViewWindow::ChangeMatrixSignal);
        slider->setValue(100);
        QCOMPARE(t.view->zoomLevel(), 100);
        QCOMPARE(t.view->scaleFactor(), 0.125);
        QCOMPARE(*t.window.optionScene()->scaleSize(), 0.125);
        QCOMPARE(matrix.count(), 0);

        slider->setValue(345);
        QWheelEvent up(QPointF(50, 50), QPointF(t.view->viewport()->mapToGlobal(QPoint(50, 50))), QPoint(),
                       QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(t.view->viewport(), &up);
        QCOMPARE(slider->value(), 350);
        QCOMPARE(t.view->scaleFactor(), 4.0);
        QCOMPARE(*t.window.optionScene()->scaleSize(), 4.0);
    }

    // ------------------------------------------------------------ grid

    void gridSteps_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("grid");
        QTest::addColumn<int>("label");
        QTest::newRow("4") << 4.0 << 10 << 50;
        QTest::newRow("3.5001") << 3.5001 << 10 << 50;
        QTest::newRow("3.5") << 3.5 << 100 << 100;
        QTest::newRow("0.37893") << 0.37893 << 100 << 100;
        QTest::newRow("0.378929") << 0.378929 << 1000 << 1000;
        QTest::newRow("0.0544095") << 0.0544095 << 1000 << 1000;
        QTest::newRow("0.0544094") << 0.0544094 << 10000 << 10000;
        QTest::newRow("laser50-min") << 0.0089742 << 10000 << 10000;
    }
    void gridSteps()
    {
        QFETCH(double, scale);
        QFETCH(int, grid);
        QFETCH(int, label);
        QCOMPARE(ViewWindow::gridStep(scale), grid);
        QCOMPARE(ViewWindow::labelStep(scale), label);
    }

    void gridStart_data()
    {
        QTest::addColumn<double>("v");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("start");
        QTest::newRow("-1500") << -1500.0 << 1000 << -1000;
        QTest::newRow("2500") << 2500.0 << 1000 << 2000;
        QTest::newRow("-2000") << -2000.0 << 1000 << -2000;
        QTest::newRow("-1234.9") << -1234.9 << 100 << -1200;
        QTest::newRow("1234.9") << 1234.9 << 100 << 1200;
        QTest::newRow("-36000") << -36000.0 << 10000 << -30000;
        QTest::newRow("-7.9") << -7.9 << 10 << 0;
    }
    void gridStart()
    {
        QFETCH(double, v);
        QFETCH(int, step);
        QFETCH(int, start);
        QCOMPARE(ViewWindow::gridStart(v, step), start);
    }

    // The labels as drawn: metres, at the grid positions, a font that keeps
    // its size on screen.
    void labels_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<QStringList>("xLabels"); // "x=text", drawn at the bottom
        QTest::addColumn<QStringList>("yLabels"); // "y=text", drawn at the left edge
        QTest::addColumn<int>("pointSize");
        QTest::newRow("1 m") << 100 << QPointF(0, 0) << QStringList{"-2000=-2", "0=0", "2000=2"}
                             << QStringList{"-2000=-2", "-1000=-1", "1000=1", "2000=2"} << 80;
        QTest::newRow("50 mm") << 350 << QPointF(0, 0) << QStringList{"-50=-0.05", "50=0.05"}
                               << QStringList{"-50=-0.05", "0=0", "50=0.05"} << 2;
        QTest::newRow("100 mm off centre") << 200 << QPointF(1500, -300)
                                           << QStringList{"1500=1.5", "1400=1.4", "1000=1"}
                                           << QStringList{"-300=-0.3", "-600=-0.6"} << 20;
        QTest::newRow("10 m") << 0 << QPointF(0, 0) << QStringList{"-10000=-10", "10000=10"}
                              << QStringList{"0=0"} << 320;
    }
    void labels()
    {
        QFETCH(int, level);
        QFETCH(QPointF, centre);
        QFETCH(QStringList, xLabels);
        QFETCH(QStringList, yLabels);
        QFETCH(int, pointSize);
        ZoneStore store;
        ScanRecord scan;
        StandaloneView sv(&store, &scan, 3, QSize(700, 560));
        sv.setZoom(level);
        sv.view()->centerOn(centre);
        const QPointF top = sv.view()->mapToScene(QPoint(0, 0));
        const double yb = sv.view()->mapToScene(QPoint(0, 560 - 25)).y();
        Recorder rec;
        {
            QPainter p(&rec);
            sv.view()->drawForeground(&p, QRectF());
        }
        QMap<QString, QString> xs, ys;
        for (const Recorder::Text &t : qAsConst(rec.texts)) {
            QCOMPARE(t.pointSize, pointSize);
            if (t.pos.x() == int(top.x()))
                ys[QString::number(t.pos.y())] = t.text;
            if (t.pos.y() == int(yb))
                xs[QString::number(t.pos.x())] = t.text;
        }
        for (const QString &l : xLabels)
            QCOMPARE(xs.value(l.section('=', 0, 0), "<none>"), l.section('=', 1));
        for (const QString &l : yLabels)
            QCOMPARE(ys.value(l.section('=', 0, 0), "<none>"), l.section('=', 1));
    }

    void rings_data()
    {
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<QList<int>>("radii");
        // 1 m steps, the view +-2800 x +-2240 mm around the centre.
        QTest::newRow("origin in view") << QPointF(0, 0) << QList<int>{3000, 2000, 1000, 0};
        QTest::newRow("far from both axes")
            << QPointF(10000, -10000)
            << QList<int>{17000, 16000, 15000, 14000, 13000, 12000, 11000, 10000};
    }
    void rings()
    {
        QFETCH(QPointF, centre);
        QFETCH(QList<int>, radii);
        ZoneStore store;
        ScanRecord scan;
        StandaloneView sv(&store, &scan, 3, QSize(700, 560));
        sv.setZoom(100);
        sv.view()->centerOn(centre);
        const QRectF visible(sv.view()->mapToScene(QPoint(0, 0)), sv.view()->mapToScene(QPoint(700, 560)));
        Recorder rec;
        {
            QPainter p(&rec);
            sv.view()->drawBackground(&p, visible);
        }
        QList<int> got;
        for (const QRectF &e : qAsConst(rec.ellipses)) {
            QCOMPARE(e.center(), QPointF(0, 0));
            got << int(e.width() / 2);
        }
        QCOMPARE(got, radii);
    }


    // ------------------------------------------------------------ sector-cli render

    void renderWritesPictures()
    {
        // The test harness pins fonts to 96 dpi; the tool and sector-cli
        // take the screen's. Compare like with like.
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi, false);
        const auto restore = qScopeGuard([] { QCoreApplication::setAttribute(Qt::AA_Use96Dpi, true); });
        const QString project = m_dir.filePath("box.ZQ30");
        writeFile(project, projectWithOut1(kBox));
        const QString png = m_dir.filePath("box.png");
        const QString svg = m_dir.filePath("box.svg");
        CliRun r = runCli({"render", project, "-o", png, "--size", "400x300", "--zoom", "100"});
        QCOMPARE(r.exitCode, 0);
        r = runCli({"render", project, "-o", svg, "--size", "400x300", "--zoom", "100"});
        QCOMPARE(r.exitCode, 0);
        const QByteArray svgText = readFile(svg);
        QVERIFY(svgText.contains("<svg"));
        QVERIFY(svgText.contains("width=\"400"));

        QImage picture(png);
        QCOMPARE(picture.size(), QSize(400, 300));
        // The same picture as the view's, drawn by the same code.
        ZoneStore store;
        store.areas[0].points[0] = pts(kBox);
        ScanRecord scan;
        scan.connectionType = 1;
        StandaloneView sv(&store, &scan, 3, QSize(400, 300));
        sv.setZoom(100);
        sv.showArea(0, 0);
        sv.scene()->setHandlesVisible(false);
        const QImage view = sv.grab();
        const auto at = [&](const QImage &img, int x, int y) { return img.pixel(pixelOf(sv.view(), x, y)); };
        QVERIFY2(near(at(picture, -400, 600), QColor(255, 255, 155)), qPrintable(rgb(at(picture, -400, 600))));
        QVERIFY(near(at(picture, 1400, 600), Qt::white));
        QVERIFY(near(at(picture, 100, -800), QColor(191, 191, 191)));
        QVERIFY(near(at(picture, 0, 0), Qt::white, 255) && !near(at(picture, 0, 0), QColor(Qt::blue), 60)); // no centre handle
        QCOMPARE(countDiffering(picture, view, 0), qint64(0));
    }

    // A zone of more points than sector-cli reads is refused with one line
    // that names the output and its count; one at the limit is drawn.
    void renderRefusesZonesBeyondTheLimit()
    {
        const QString png = m_dir.filePath("limit.png");
        for (const int points : {ProjectFile::kToolPointLimit + 1, ProjectFile::kToolPointLimit}) {
            ZoneStore store;
            store.areas[4].points[2] = noisyZone(points, 4000, 20000);
            const QString project = m_dir.filePath(QStringLiteral("limit%1.ZQ30").arg(points));
            QCOMPARE(ProjectFile::saveProject(project, 3, SensorDockValues::defaults(), store),
                     ProjectFile::SaveResult::Saved);
            QFile::remove(png);
            const CliRun r = runCli({"render", project, "-o", png, "--area", "4", "--output", "3"});
            if (points > ProjectFile::kToolPointLimit) {
                QCOMPARE(r.exitCode, 2);
                QVERIFY2(r.err.contains(QStringLiteral("area 4 Out 3 holds %1 points").arg(points)),
                         qPrintable(r.err));
                QVERIFY(!QFile::exists(png));
            } else {
                QCOMPARE(r.exitCode, 0);
                QVERIFY(QFile::exists(png));
            }
        }
    }

    void renderRejects_data()
    {
        QTest::addColumn<QStringList>("args"); // %P project, %O output
        QTest::addColumn<QString>("output");
        QTest::newRow("bad suffix") << QStringList{"render", "%P", "-o", "%O"} << "box.jpg";
        QTest::newRow("unreadable file") << QStringList{"render", "%D/missing.ZQ30", "-o", "%O"} << "m.png";
        QTest::newRow("area 64") << QStringList{"render", "%P", "-o", "%O", "--area", "64"} << "a.png";
        QTest::newRow("scan not a recording") << QStringList{"render", "%P", "-o", "%O", "--scan", "%P"} << "s.png";
        QTest::newRow("scan without line ends")
            << QStringList{"render", "%P", "-o", "%O", "--scan", "/dev/zero"} << "z.png";
        QTest::newRow("project without line ends")
            << QStringList{"render", "/dev/zero", "-o", "%O"} << "p.png";
    }
    void renderRejects()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, output);
        const QString project = m_dir.filePath("reject.ZQ30");
        writeFile(project, projectWithOut1(kBox));
        const QString out = m_dir.filePath(output);
        QFile::remove(out);
        for (QString &a : args)
            a.replace("%P", project).replace("%O", out).replace("%D", m_dir.path());
        const CliRun r = runCli(args);
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.ownErr().size(), 1);
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_MAIN(TestGraphics)
#include "tst_graphics.moc"
