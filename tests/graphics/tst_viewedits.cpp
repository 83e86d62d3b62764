// Point handles and what the mouse and keys do with them on the real
// viewport: sizes and colours, handles built from the design, drags,
// deletes, undo and redo in the main window.
#include "tests/graphics/GraphicsTestKit.h"

namespace {
// The handles' sensor points, the centre handle left out.
QString handlePoints(OPTION_SCENE *sc)
{
    QStringList out;
    for (QGraphicsItem *h : sc->handles())
        if (h->pos() != QPointF(0, 0))
            out << QStringLiteral("%1,%2").arg(h->pos().x()).arg(-h->pos().y());
    return out.join(' ');
}
} // namespace

class TestViewEdits : public QObject
{
    Q_OBJECT
    QuietViewTests m_quiet;

private Q_SLOTS:
    // ------------------------------------------------------------ handles

    // A handle's size at a view scale, and its fill and cursor in a style
    // state.
    void handlePaint_data()
    {
        QTest::addColumn<bool>("ratio");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("state");
        QTest::addColumn<QRectF>("bounds");
        QTest::addColumn<QRectF>("painted");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<int>("cursor"); // -1: left alone
        const QRectF vertex(-7.5, -7.5, 15, 15), vertexPainted(-7, -7, 15, 15);
        const QRectF bar(-25, -2.5, 50, 5), barPainted(-25, -2, 50, 5);
        const int sel = QStyle::State_Selected, over = QStyle::State_MouseOver,
                  sunk = QStyle::State_Sunken;
        const auto row = [](const char *name, bool ratio, double scale, int state, QRectF bounds,
                            QRectF painted, QColor fill, int cursor) {
            QTest::newRow(name) << ratio << scale << state << bounds << painted << fill << cursor;
        };
        const QColor blue(Qt::blue), red(255, 64, 64);
        row("vertex at 4", false, 4, 0, QRectF(-1.875, -1.875, 3.75, 3.75), QRectF(-1, -1, 3, 3),
            blue, -1);
        row("vertex at 1", false, 1, 0, vertex, vertexPainted, blue, -1);
        row("vertex at 0.01", false, 0.01, 0, QRectF(-750, -750, 1500, 1500),
            QRectF(-750, -750, 1500, 1500), blue, -1);
        row("ratio at 1", true, 1, 0, bar, barPainted, blue, -1);
        row("ratio at 4", true, 4, 0, QRectF(-6.25, -0.625, 12.5, 1.25), QRectF(-6, 0, 12, 1), blue,
            -1);
        row("selected", false, 1, sel, vertex, vertexPainted, QColor(0, 0, 170), -1);
        row("sunken", false, 1, sunk, vertex, vertexPainted, QColor(0, 0, 212), -1);
        row("hover vertex", false, 1, over, vertex, vertexPainted, red, int(Qt::SizeAllCursor));
        row("hover selected ratio", true, 1, over | sel, bar, barPainted, red,
            int(Qt::SizeVerCursor));
    }
    void handlePaint()
    {
        QFETCH(bool, ratio);
        QFETCH(double, scale);
        QFETCH(int, state);
        QFETCH(QRectF, bounds);
        QFETCH(QRectF, painted);
        QFETCH(QColor, fill);
        QFETCH(int, cursor);
        double s = 1.0; // read through the pointer at every call
        const auto h = ratio ? std::unique_ptr<QGraphicsItem>(new POINT_RATIO(Qt::blue, 0, 0, &s))
                             : std::unique_ptr<QGraphicsItem>(new POINT_POINT(Qt::blue, 0, 0, &s));
        s = scale;
        QCOMPARE(h->boundingRect(), bounds);
        QCOMPARE(h->shape().boundingRect(), bounds);
        QCOMPARE(h->zValue(), 7.0);
        Recorder rec;
        {
            QPainter p(&rec);
            QStyleOptionGraphicsItem opt;
            opt.state = QStyle::State(state);
            h->paint(&p, &opt, nullptr);
        }
        QCOMPARE(rec.rects.size(), 1);
        QCOMPARE(rec.rects[0].first, painted);
        QCOMPARE(rec.rects[0].second.rgb(), fill.rgb());
        QCOMPARE(h->hasCursor(), cursor >= 0);
        if (cursor >= 0)
            QCOMPARE(int(h->cursor().shape()), cursor);
    }

    // What the scene controller builds for the edited output.
    void handlesFromModel_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("shape");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("handles"); // "P x,y" or "R x,y" in list order, scene coordinates
        QTest::newRow("fan on Out2") << 1 << int(ShapeFan) << "0,3000" << "R 0,-3000";
        QTest::newRow("empty polygon") << 0 << int(ShapePolygon) << "" << "P 0,0";
        QTest::newRow("polygon") << 2 << int(ShapePolygon) << "100,200 -300,400" << "P 100,-200 P -300,-400 P 0,0";
        QTest::newRow("arc") << 0 << int(ShapeArc) << "1000,0 0,1000" << "P 1000,0 P 0,-1000";
        QTest::newRow("straight on Out1") << 0 << int(ShapeStraight) << "0,500" << "P 0,-500";
        // -y of the most negative int overflowed an int.
        QTest::newRow("most negative y") << 0 << int(ShapePolygon) << "7,-2147483648"
                                         << "P 7,2147483648 P 0,0";
        QTest::newRow("most negative y of a ratio") << 2 << int(ShapeRatio) << "0,-2147483648"
                                                    << "R 0,2147483648";
    }
    void handlesFromModel()
    {
        QFETCH(int, channel);
        QFETCH(int, shape);
        QFETCH(QString, points);
        QFETCH(QString, handles);
        Editor e(shape, points, channel);
        QStringList got;
        for (QGraphicsItem *h : e.sc->handles())
            got << QStringLiteral("%1 %2,%3").arg(dynamic_cast<POINT_RATIO *>(h) ? "R" : dynamic_cast<POINT_POINT *>(h) ? "P" : "?")
                       .arg(h->pos().x(), 0, 'f', 0).arg(h->pos().y(), 0, 'f', 0);
        QCOMPARE(got.join(' '), handles);
    }

    // ------------------------------------------------------------ mouse on the view

    void rightClickOnView_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QPoint>("at"); // sensor point clicked
        QTest::addColumn<QString>("after");
        QTest::newRow("polygon vertex") << int(ShapePolygon) << 0 << "1600,1600 0,3200 -1600,1600" << QPoint(0, 3200) << "1600,1600 -1600,1600";
        QTest::newRow("inside the zone") << int(ShapePolygon) << 0 << "1600,1600 0,3200 -1600,1600" << QPoint(320, 1920) << "1600,1600 0,3200 -1600,1600";
        QTest::newRow("arc point") << int(ShapeArc) << 0 << "1600,0 0,1600" << QPoint(1600, 0) << "1600,0 0,1600";
        QTest::newRow("rectangle corner") << int(ShapeRectangle) << 0 << "-1600,3200 -1600,1600 1600,1600 1600,3200" << QPoint(1600, 1600) << "-1600,3200 -1600,1600 1600,1600 1600,3200";
        QTest::newRow("fan bar") << int(ShapeFan) << 1 << "0,3200" << QPoint(0, 3200) << "0,3200";
    }
    void rightClickOnView()
    {
        QFETCH(int, shape);
        QFETCH(int, channel);
        QFETCH(QString, points);
        QFETCH(QPoint, at);
        QFETCH(QString, after);
        Editor e(shape, points, channel);
        const int before = e.sc->handles().size();
        QSignalSpy deleted(e.view, &ViewWindow::DeletePointItem);
        rightClick(e.view, pixelOf(e.view, at.x(), at.y()));
        QCOMPARE(str(e.points(channel)), after);
        const bool onHandle = QTest::currentDataTag() != QByteArray("inside the zone");
        QCOMPARE(deleted.count(), onHandle ? 1 : 0);
        // A deleted handle is forgotten; one that could not be deleted stays
        // the pressed one.
        const bool removed = shape == ShapePolygon && onHandle;
        QCOMPARE(e.view->currentItem() != nullptr, onHandle && !removed);
        QCOMPARE(e.sc->handles().size(), before - (removed ? 1 : 0));
    }

    void vertexOnTheOriginStaysAVertex()
    {
        // A vertex dropped on the sensor, or typed there, is a vertex: the
        // next drag of another handle must not lose it.
        Editor e(ShapePolygon, "1600,0 0,3200 -1600,1600");
        drag(e.view, pixelOf(e.view, 1600, 0), QPoint(-100, 0));
        QCOMPARE(e.sc->handles().at(0)->pos(), QPointF(0, 0));
        QCOMPARE(str(e.points()), QStringLiteral("0,0 0,3200 -1600,1600"));
        drag(e.view, pixelOf(e.view, -1600, 1600), QPoint(-10, 0));
        QCOMPARE(str(e.points()), QStringLiteral("0,0 0,3200 -1760,1600"));
        // The centre handle on the sensor is still no vertex.
        QCOMPARE(e.sc->handles().size(), 4);
    }

    // One drag of a handle: where the points and every handle end up.
    void handleDrags_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QPoint>("from"); // sensor point of the handle
        QTest::addColumn<QPoint>("by");   // view pixels, 16 mm each
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("after");
        // Up and right by (30, 20) pixels: sensor (+480, +320); the
        // neighbours take the new X and Y.
        QTest::newRow("rectangle-corner-2")
            << int(ShapeRectangle) << "-1600,3200 -1600,1600 1600,1600 1600,3200" << QPoint(1600, 1600)
            << QPoint(30, -20) << false << "-1600,3200 -1600,1920 2080,1920 2080,3200";
        QTest::newRow("shift-holds-the-handle")
            << int(ShapePolygon) << "1600,1600 0,3200 -1600,1600" << QPoint(0, 3200) << QPoint(20, -20)
            << true << "1600,1600 0,3200 -1600,1600";
        QTest::newRow("polygon-vertex")
            << int(ShapePolygon) << "1600,1600 0,3200 -1600,1600" << QPoint(0, 3200) << QPoint(20, -20)
            << false << "1600,1600 320,3520 -1600,1600";
    }
    void handleDrags()
    {
        QFETCH(int, shape);
        QFETCH(QString, points);
        QFETCH(QPoint, from);
        QFETCH(QPoint, by);
        QFETCH(bool, shift);
        QFETCH(QString, after);
        Editor e(shape, points);
        drag(e.view, pixelOf(e.view, from.x(), from.y()), by, shift ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(str(e.points()), after);
        QCOMPARE(handlePoints(e.sc), after);
    }

    void arcPoint0ToRadius5000()
    {
        Editor e(ShapeArc, "1800,0 1000,1000");
        QSignalSpy table(e.sc, &OPTION_SCENE::PointItemChannelSignal);
        // Right by 200 pixels: point 0 at (5000, 0); point 1 keeps its 45
        // degrees at radius 5000: 5000 / sqrt(2) = 3535.53.
        drag(e.view, pixelOf(e.view, 1800, 0), QPoint(200, 0));
        QCOMPARE(str(e.points()), QStringLiteral("5000,0 3535,3535"));
        QCOMPARE(e.sc->handles().at(1)->pos(), QPointF(3535, -3535));
        QVERIFY(table.count() >= 1);

        // The other way round: point 1 dragged in by 2736 mm on both axes
        // to (799, 799) pulls point 0 in along the X axis to radius 1129.96.
        drag(e.view, pixelOf(e.view, 3535, 3535), QPoint(-171, 171));
        QCOMPARE(str(e.points()), QStringLiteral("1129,0 799,799"));
    }

    void centreHandleAndDeleteInMainWindow()
    {
        Tool t;
        t.polygon("1600,1600 0,3200 -1600,1600");
        OPTION_SCENE *sc = t.window.optionScene();
        QTableWidget *xy = t.ui->CoordTableWidgetOut1;
        QCOMPARE(sc->handles().size(), 4);
        const int history = t.store.undoHistory[0].size();

        // The centre handle dragged away becomes the fourth vertex; a new
        // centre handle appears on release.
        drag(t.view, pixelOf(t.view, 0, 0), QPoint(10, -40));
        QCOMPARE(str(t.store.areas[0].points[0]), QStringLiteral("1600,1600 0,3200 -1600,1600 160,640"));
        QCOMPARE(sc->handles().size(), 5);
        QCOMPARE(sc->handles().last()->pos(), QPointF(0, 0));
        QCOMPARE(xy->rowCount(), 5);
        QCOMPARE(xy->item(3, 1)->text(), QStringLiteral("160"));
        QCOMPARE(xy->item(3, 2)->text(), QStringLiteral("640"));
        // The snapshot holds what was released, not the move before it.
        QCOMPARE(t.store.undoHistory[0].size(), history + 1);
        QCOMPARE(str(t.store.undoHistory[0].last().points[0]), QStringLiteral("1600,1600 0,3200 -1600,1600 160,640"));

        // Right-click deletes a vertex and the table follows.
        rightClick(t.view, pixelOf(t.view, 0, 3200));
        QCOMPARE(str(t.store.areas[0].points[0]), QStringLiteral("1600,1600 -1600,1600 160,640"));
        QCOMPARE(xy->rowCount(), 4);
        QCOMPARE(xy->item(1, 1)->text(), QStringLiteral("-1600"));

        // Delete acts on the handle pressed last.
        click(t.view, pixelOf(t.view, 1600, 1600));
        QTest::keyClick(t.view, Qt::Key_Delete);
        QCOMPARE(str(t.store.areas[0].points[0]), QStringLiteral("-1600,1600 160,640"));
        QCOMPARE(xy->rowCount(), 3);
    }

    void releaseTakesUndoAndRefreshesThumbnail()
    {
        Tool t;
        t.polygon("1600,1600 0,3200 -1600,1600");
        PaintCounter counter;
        t.window.areaTable()->thumbnail(0)->installEventFilter(&counter);
        QApplication::processEvents();
        const int history = t.store.undoHistory[0].size();

        // A release on the zone pans and takes no snapshot.
        drag(t.view, pixelOf(t.view, 320, 1920), QPoint(5, 5));
        QCOMPARE(t.store.undoHistory[0].size(), history);

        QTest::qWait(50); // let the table settle
        counter.paints = 0;
        drag(t.view, pixelOf(t.view, 0, 3200), QPoint(0, -20));
        QCOMPARE(str(t.store.areas[0].points[0]), QStringLiteral("1600,1600 0,3520 -1600,1600"));
        QCOMPARE(t.store.undoHistory[0].size(), history + 1);
        QVERIFY(t.store.modified);
        QVERIFY(t.window.areaTable()->thumbnail(0)->isVisible());
        QTRY_VERIFY(counter.paints > 0);
    }

    // Undo after two drags returns to where the first was released, and
    // Redo to where the second was: never to a position between moves.
    void undoAndRedoAfterHandleDrags()
    {
        Tool t;
        const QString before = "1600,1600 0,3200 -1600,1600";
        t.polygon(before);
        t.window.areaTable()->SaveUndoAreaTableData(); // the polygon as a recorded state
        t.store.modified = false;
        const QVector<QPoint> &points = t.store.areas[0].points[0];
        const auto handles = [&t] { return handlePoints(t.window.optionScene()); };

        // Up by 20 pixels (320 mm) in four moves, then right by 10 (160 mm).
        drag(t.view, pixelOf(t.view, 0, 3200), QPoint(0, -20));
        const QString first = "1600,1600 0,3520 -1600,1600";
        QCOMPARE(str(points), first);
        QVERIFY(t.store.modified);
        drag(t.view, pixelOf(t.view, 1600, 1600), QPoint(10, 0));
        const QString second = "1760,1600 0,3520 -1600,1600";
        QCOMPARE(str(points), second);

        t.ui->Undo->trigger();
        QCOMPARE(str(points), first);
        QCOMPARE(handles(), first);
        QCOMPARE(t.ui->CoordTableWidgetOut1->item(1, 2)->text(), QStringLiteral("3520"));
        t.ui->Undo->trigger();
        QCOMPARE(str(points), before);
        QCOMPARE(handles(), before);
        t.ui->Redo->trigger();
        QCOMPARE(str(points), first);
        t.ui->Redo->trigger();
        QCOMPARE(str(points), second);
        QCOMPARE(handles(), second);
    }

    // A vertex deleted in the view is an edit: flagged, undoable, redoable.
    void vertexDeletedInTheViewIsAnUndoStep_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QPoint>("at"); // sensor point of the handle
        QTest::addColumn<QString>("after");
        const QString all = "1600,1600 0,3200 -1600,1600";
        QTest::newRow("right-click") << "right" << QPoint(0, 3200) << "1600,1600 -1600,1600";
        QTest::newRow("delete-key") << "key" << QPoint(1600, 1600) << "0,3200 -1600,1600";
        // The centre handle is no vertex: removing it is no edit.
        QTest::newRow("centre-handle-right-click") << "right" << QPoint(0, 0) << all;
        QTest::newRow("centre-handle-delete-key") << "key" << QPoint(0, 0) << all;
    }
    void vertexDeletedInTheViewIsAnUndoStep()
    {
        QFETCH(QString, how);
        QFETCH(QPoint, at);
        QFETCH(QString, after);
        Tool t;
        const QString before = "1600,1600 0,3200 -1600,1600";
        t.polygon(before);
        t.window.areaTable()->SaveUndoAreaTableData();
        const QPoint px = pixelOf(t.view, at.x(), at.y());
        if (how == "key") {
            // Pressing the handle makes it current (and is a recorded edit
            // of its own); Delete then acts on it.
            click(t.view, px);
        }
        t.store.modified = false;
        const int history = t.store.undoHistory[0].size();
        if (how == "key")
            QTest::keyClick(t.view, Qt::Key_Delete);
        else
            rightClick(t.view, px);
        const QVector<QPoint> &points = t.store.areas[0].points[0];
        QCOMPARE(str(points), after);
        const bool deleted = after != before;
        QCOMPARE(t.store.modified, deleted);
        QCOMPARE(t.store.undoHistory[0].size(), history + (deleted ? 1 : 0));
        QCOMPARE(t.ui->CoordTableWidgetOut1->rowCount(), points.size() + 1);
        if (!deleted)
            return;
        t.ui->Undo->trigger();
        QCOMPARE(str(points), before);
        QCOMPARE(t.window.optionScene()->handles().size(), 4); // three vertices and the centre
        t.ui->Redo->trigger();
        QCOMPARE(str(points), after);
        QCOMPARE(t.ui->CoordTableWidgetOut1->rowCount(), 3);
    }

    void ratioBarMovesOnlyAlongForwardAxis()
    {
        Editor e(ShapeFan, "0,3200", 1);
        QGraphicsItem *bar = e.sc->handles().value(0);
        QVERIFY(dynamic_cast<POINT_RATIO *>(bar));
        drag(e.view, pixelOf(e.view, 0, 3200), QPoint(40, 0));
        QCOMPARE(bar->pos(), QPointF(0, -3200));
        QCOMPARE(str(e.points(1)), QStringLiteral("0,3200"));

        drag(e.view, pixelOf(e.view, 0, 3200), QPoint(-30, -10));
        QCOMPARE(bar->pos(), QPointF(0, -3360));
        QCOMPARE(str(e.points(1)), QStringLiteral("0,3360"));

        // Pulled far below the sensor it stops at the X axis (up to the grab offset).
        drag(e.view, pixelOf(e.view, 0, 3360), QPoint(0, 400));
        QCOMPARE(bar->pos().x(), 0.0);
        QVERIFY2(qAbs(e.points(1).value(0).y()) <= 16, qPrintable(str(e.points(1))));
        QCOMPARE(e.points(1).value(0).x(), 0);
    }
};

QTEST_MAIN(TestViewEdits)
#include "tst_viewedits.moc"
