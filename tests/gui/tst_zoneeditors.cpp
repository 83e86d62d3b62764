// The edit controls and the six coordinate tables of the main window as a
// user works them: shape buttons, parameter lists and spin boxes, typed
// cells in both tables, keys, and what each edit records.
#include "tests/gui/ZoneEditorKit.h"

class TestZoneEditors : public QObject
{
    Q_OBJECT
    PrivateSettings m_settings;

private Q_SLOTS:
    void init() { m_settings.clear(); }

    // ------------------------------------------------------------ edit controls

    void shapeTemplates_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("output");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const QString seven = "100,0 200,100 300,300 0,400 -300,300 -200,100 -100,0";
        const QString four = "20,0 20,0 20,0 20,0";
        QTest::newRow("arc-out1") << "ButtonArcOut1" << 0 << 0 << 1 << seven << "20,0 20,0";
        QTest::newRow("rectangle-out1-on-7-vertices")
            << "ButtonRectangleOut1" << 0 << 0 << 2 << seven << four;
        QTest::newRow("polygon-keeps-rectangle-template")
            << "ButtonPolygonOut1" << 0 << 2 << 0 << four << four;
        QTest::newRow("polygon-keeps-arc-points")
            << "ButtonPolygonOut3" << 2 << 1 << 0 << "900,0 0,900" << "900,0 0,900";
        QTest::newRow("arc-out3") << "ButtonArcOut3" << 2 << 0 << 1 << "5,5" << "20,0 20,0";
        QTest::newRow("rectangle-out2") << "ButtonRectangleOut2" << 1 << 0 << 2 << "" << four;
        QTest::newRow("straight-out2") << "ButtonStraightOut2" << 1 << 0 << 3 << seven << "0,20";
        QTest::newRow("fan-out2") << "ButtonFanOut2" << 1 << 0 << 4 << seven << "0,20";
        QTest::newRow("fan-over-straight-out2")
            << "ButtonFanOut2" << 1 << 3 << 4 << "0,750" << "0,20";
        QTest::newRow("straight-out3") << "ButtonStraightOut3" << 2 << 0 << 3 << "" << "0,20";
        QTest::newRow("fan-out3") << "ButtonFanOut3" << 2 << 0 << 4 << "1,1 2,2" << "0,20";
    }
    void shapeTemplates()
    {
        QFETCH(QString, button);
        QFETCH(int, output);
        QFETCH(int, from);
        QFETCH(int, kind);
        QFETCH(QString, before);
        QFETCH(QString, after);
        Tool t;
        AreaRecord &a = t.store.areas[0];
        const QString others[3] = {"500,500 -500,500", "0,300 300,0", "-10,70"};
        for (int n = 0; n < 3; ++n)
            a.points[n] = pts(n == output ? before : others[n]);
        a.shape[output] = from;
        t.refresh();
        const AreaRecord untouched = a;
        QSignalSpy shape(t.window.editControl(), &EDIT_CONTROL::EditControlShapeChangeSignal);

        t.button(button)->click();

        QCOMPARE(str(a.points[output]), after);
        QCOMPARE(a.shape[output], kind);
        for (int n = 0; n < 3; ++n) {
            if (n == output)
                continue;
            QCOMPARE(str(a.points[n]), str(untouched.points[n]));
            QCOMPARE(a.shape[n], 0);
            QVERIFY(t.button(QStringLiteral("ButtonPolygonOut%1").arg(n + 1))->isChecked());
        }
        const char *names[6] = {"Polygon", "Arc", "Rectangle", "Straight", "Fan", "Ratio"};
        for (int k = 0; k < 6; ++k)
            QCOMPARE(t.button(QStringLiteral("Button%1Out%2").arg(names[k]).arg(output + 1))
                         ->isChecked(),
                     k == kind);
        QCOMPARE(shape.count(), 1);
        // The shape change is an undo step and the tables show the template.
        QCOMPARE(t.store.undoHistory[0].size(), 2);
        QCOMPARE(str(t.store.undoHistory[0].last().points[output]), after);
        const QString xy = QStringLiteral("CoordTableWidgetOut%1").arg(output + 1);
        QCOMPARE(t.table(xy)->rowCount(), a.points[output].size() + (kind == 0 ? 1 : 0));
    }

    void reclickingCheckedArcKeepsMovedPoints()
    {
        Tool t;
        AreaRecord &a = t.store.areas[0];
        t.ui->ButtonArcOut2->click();
        type(t.ui->CoordTableWidgetOut2, 0, 1, "500");
        QCOMPARE(str(a.points[1]), QString("500,0 500,0"));
        const int history = t.store.undoHistory[0].size();
        QSignalSpy shape(t.window.editControl(), &EDIT_CONTROL::EditControlShapeChangeSignal);

        t.ui->ButtonArcOut2->click();

        QCOMPARE(str(a.points[1]), QString("500,0 500,0"));
        QCOMPARE(shape.count(), 0);
        QCOMPARE(t.store.undoHistory[0].size(), history);
        QVERIFY(t.ui->ButtonArcOut2->isChecked());
    }

    void disabledShapeButtons()
    {
        Tool t;
        QSignalSpy shape(t.window.editControl(), &EDIT_CONTROL::EditControlShapeChangeSignal);
        const AreaRecord before = t.store.areas[0];
        for (const char *name : {"ButtonStraightOut1", "ButtonFanOut1", "ButtonRatioOut1",
                                 "ButtonRatioOut2", "ButtonRatioOut3"}) {
            QPushButton *b = t.button(name);
            QVERIFY2(b && !b->isEnabled() && b->isCheckable(), name);
            QTest::mouseClick(b, Qt::LeftButton);
        }
        QCOMPARE(shape.count(), 0);
        QCOMPARE(t.store.areas[0], before);
        for (const char *name : {"ButtonStraightOut2", "ButtonFanOut2", "ButtonStraightOut3",
                                 "ButtonFanOut3"})
            QVERIFY2(t.button(name)->isEnabled(), name);
    }

    void updateEditDataSetsCheckMarksOnly()
    {
        Tool t;
        AreaRecord &three = t.store.areas[3];
        three.shape[0] = 1;
        three.points[0] = pts("1000,0 0,1000");
        three.shape[1] = 4;
        three.points[1] = pts("0,900");
        three.shape[2] = 5;
        three.points[2] = pts("0,700");
        three.openDelay = 7;
        three.hysteresis = 4;
        three.steerMin = -35;
        three.speedMax = 120;
        three.operationMode = 2;
        AreaRecord &four = t.store.areas[4];
        four.shape[0] = 7; // out of range: Out1's buttons stay as they are
        four.shape[2] = 2;
        four.points[2] = pts("0,0 0,10 10,10 10,0");
        const AreaRecord threeBefore = three;
        QSignalSpy shape(t.window.editControl(), &EDIT_CONTROL::EditControlShapeChangeSignal);
        QSignalSpy para(t.window.editControl(), &EDIT_CONTROL::EditControlParaChangeSignal);

        clickRow(t.ui->AreaTableWidget, 3);
        QCOMPARE(t.store.currentArea, 3);
        QVERIFY(t.ui->ButtonRatioOut3->isChecked());
        QVERIFY(!t.ui->ButtonRatioOut3->isEnabled());
        QVERIFY(!t.ui->ButtonPolygonOut3->isChecked());
        QVERIFY(t.ui->ButtonFanOut2->isChecked());
        QVERIFY(t.ui->ButtonArcOut1->isChecked());
        QCOMPARE((QList<int>{t.ui->Area_OpenDelay->currentIndex(),
                             t.ui->Area_Hysteresis->currentIndex(), t.ui->SteerMinDgree->value(),
                             t.ui->VehicleMaxSpeed->value(),
                             t.ui->VehicleOptionMode->currentIndex()}),
                 (QList<int>{7, 4, -35, 120, 2}));
        QVERIFY(three == threeBefore);

        clickRow(t.ui->AreaTableWidget, 4);
        QVERIFY(t.ui->ButtonArcOut1->isChecked());
        QVERIFY(!t.ui->ButtonPolygonOut1->isChecked());
        QVERIFY(t.ui->ButtonRectangleOut3->isChecked());
        QVERIFY(!t.ui->ButtonRatioOut3->isChecked());
        QCOMPARE(four.shape[0], 7);
        QCOMPARE(shape.count(), 0);
        QCOMPARE(para.count(), 0);
        QCOMPARE(t.store.undoHistory[3].size(), 1);
    }

    void spinBoxWritesOnEditingFinished()
    {
        Tool t;
        AreaRecord &a = t.store.areas[0];
        QSignalSpy para(t.window.editControl(), &EDIT_CONTROL::EditControlParaChangeSignal);

        // Leaving without a change is still an edit and an undo step.
        QTest::keyClick(t.ui->VehicleMinSpeed, Qt::Key_Return);
        QCOMPARE(para.count(), 1);
        QCOMPARE(t.store.undoHistory[0].size(), 2);
        QCOMPARE(t.store.undoPos[0], 1);
        QVERIFY(t.store.modified);

        // Setting a value from code writes nothing until the user leaves the box.
        t.ui->SteerMaxDgree->setValue(90);
        t.ui->VehicleMinSpeed->setValue(-250);
        QCOMPARE(a.steerMax, 0);
        QCOMPARE(para.count(), 1);
        finish(t.ui->SteerMinDgree, -45);
        QCOMPARE(para.count(), 2);
        QCOMPARE(a.steerMin, -45);
        QCOMPARE(a.steerMax, 90);
        QCOMPARE(a.speedMin, -250);
        QCOMPARE(a.speedMax, 0);
        QCOMPARE(t.store.undoHistory[0].last().steerMin, -45);
        // The ranges are the only limits.
        finish(t.ui->SteerMinDgree, 500);
        QCOMPARE(a.steerMin, 180);
        finish(t.ui->VehicleMaxSpeed, -999);
        QCOMPARE(a.speedMax, -300);
    }

    void parameterCombosWriteOnlyOnActivated_data()
    {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<int>("field");
        QTest::newRow("open-delay") << "Area_OpenDelay" << 0;
        QTest::newRow("close-delay") << "Area_CloseDelay" << 1;
        QTest::newRow("hysteresis") << "Area_Hysteresis" << 2;
        QTest::newRow("detection-size") << "Area_DetectionSize" << 3;
        QTest::newRow("operation-mode") << "VehicleOptionMode" << 8;
    }
    void parameterCombosWriteOnlyOnActivated()
    {
        QFETCH(QString, combo);
        QFETCH(int, field);
        Tool t;
        AreaRecord &a = t.store.areas[0];
        QComboBox *box = t.window.findChild<QComboBox *>(combo);
        QVERIFY(box);
        const int before = a.intField(field);
        QSignalSpy para(t.window.editControl(), &EDIT_CONTROL::EditControlParaChangeSignal);

        box->setCurrentIndex(4);
        QCOMPARE(a.intField(field), before);
        QCOMPARE(para.count(), 0);
        QCOMPARE(t.store.undoHistory[0].size(), 1);

        // The user steps one entry down with the keyboard.
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->currentIndex(), 5);
        QCOMPARE(a.intField(field), 5);
        QCOMPARE(para.count(), 1);
        QCOMPARE(t.store.undoHistory[0].size(), 2);
    }

    void tabBarSetsEditChannel()
    {
        Tool t;
        QTabBar *bar = t.ui->AreaEditTab->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
        QCOMPARE(t.store.currentChannel, 1);
        // A click on the bar beside every tab reports index -1.
        Q_EMIT t.ui->AreaEditTab->tabBarClicked(-1);
        QCOMPARE(t.store.currentChannel, 1);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(2).center());
        QCOMPARE(t.store.currentChannel, 2);
        Q_EMIT t.ui->AreaEditTab->tabBarClicked(3);
        QCOMPARE(t.store.currentChannel, 2);
        // The keyboard changes the tab too, and the edited output with it:
        // the handles are Out2's.
        t.store.areas[0].points[1] = {QPoint(0, 700)};
        t.store.areas[0].shape[1] = ShapeFan;
        QTest::keyClick(bar, Qt::Key_Left);
        QCOMPARE(t.ui->AreaEditTab->currentIndex(), 1);
        QCOMPARE(t.store.currentChannel, 1);
        QCOMPARE(t.window.optionScene()->handles().size(), 1);
        QCOMPARE(t.window.optionScene()->handles()[0]->pos(), QPointF(0, -700));
    }

    // ------------------------------------------------------------ coordinate tables

    void polarTexts_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QString>("r");
        QTest::addColumn<QString>("theta");
        QTest::newRow("diagonal") << QPoint(1000, 1000) << "1414.21" << "45";
        QTest::newRow("just-below-minus-x") << QPoint(-100, -1) << "100.005" << "180.573";
        QTest::newRow("minus-y") << QPoint(0, -100) << "100" << "-90";
        QTest::newRow("exponent-form") << QPoint(1234567, 0) << "1.23457e+06" << "0";
    }
    void polarTexts()
    {
        QFETCH(QPoint, point);
        QFETCH(QString, r);
        QFETCH(QString, theta);
        Tool t;
        t.store.areas[0].points[2] = {point};
        t.refresh();
        QCOMPARE(t.ui->PolarTableWidgeOut3->item(0, 1)->text(), r);
        QCOMPARE(t.ui->PolarTableWidgeOut3->item(0, 2)->text(), theta);
        QCOMPARE(t.ui->CoordTableWidgetOut3->item(0, 1)->text(), QString::number(point.x()));
        QCOMPARE(t.ui->CoordTableWidgetOut3->item(0, 2)->text(), QString::number(point.y()));
    }

    // A value typed into a cell reaches the edit rules of its output and
    // form (those rules are tried row by row at the core); both tables of
    // the output show the stored integers again.
    void typedValues_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        const QString xy1 = "CoordTableWidgetOut1", xy2 = "CoordTableWidgetOut2";
        const QString po1 = "PolarTableWidgeOut1", po2 = "PolarTableWidgeOut2";
        const QString po3 = "PolarTableWidgeOut3";
        QTest::newRow("xy-10.5") << xy1 << 0 << "3,7 5,5" << 0 << 1 << "10.5" << "11,7 5,5";
        QTest::newRow("xy-minus-10.7") << xy1 << 0 << "3,7 5,5" << 0 << 2 << "-10.7" << "3,-10 5,5";
        // Text that is no number keeps the old value; numbers beyond 16 bits
        // clamp. nan, inf and 1e10 used to store -2147483648.
        QTest::newRow("xy-text-keeps-old-value") << xy1 << 0 << "3,7 5,5" << 1 << 1 << "abc" << "3,7 5,5";
        QTest::newRow("xy-nan-keeps-old-value") << xy1 << 0 << "3,7 5,5" << 1 << 1 << "nan" << "3,7 5,5";
        QTest::newRow("xy-1e10-clamps") << xy1 << 0 << "3,7 5,5" << 0 << 1 << "1e10" << "32767,7 5,5";
        QTest::newRow("blank-xy-inf-appends-nothing") << xy2 << 0 << "10,10" << 1 << 2 << "inf" << "10,10";
        QTest::newRow("polar-angle-inf-keeps-old-value") << po1 << 0 << "100,0" << 0 << 2 << "inf" << "100,0";
        QTest::newRow("polar-distance-1e10-clamps") << po1 << 0 << "1000,1000" << 0 << 1 << "1e10" << "23169,23169";
        QTest::newRow("xy-number-column") << xy1 << 0 << "3,7 5,5" << 0 << 0 << "9" << "3,7 5,5";
        QTest::newRow("blank-xy-y") << xy2 << 0 << "10,10" << 1 << 2 << "250" << "10,10 0,250";
        QTest::newRow("blank-xy-zero") << xy2 << 0 << "10,10" << 1 << 2 << "0.0" << "10,10";
        QTest::newRow("blank-polar-angle-180") << po2 << 0 << "10,10" << 1 << 2 << "180" << "10,10 -20,0";
        QTest::newRow("polar-angle-90") << po1 << 0 << "100,0" << 0 << 2 << "90" << "0,100";
        QTest::newRow("arc-point0") << xy1 << 1 << "1000,0 0,500" << 0 << 2 << "1000" << "1000,1000 0,1414";
        QTest::newRow("arc-polar-distance") << po1 << 1 << "1000,0 0,500" << 1 << 1 << "700" << "700,0 0,700";
        QTest::newRow("straight-x-ignored") << xy2 << 3 << "0,20" << 0 << 1 << "200" << "0,20";
        QTest::newRow("fan-out3-polar-distance") << po3 << 4 << "0,20" << 0 << 1 << "350" << "0,350";
    }
    void typedValues()
    {
        QFETCH(QString, table);
        QFETCH(int, kind);
        QFETCH(QString, before);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        Tool t;
        const int output = table.right(1).toInt() - 1;
        AreaRecord &a = t.store.areas[0];
        a.shape[output] = kind;
        a.points[output] = pts(before);
        t.refresh();
        QSignalSpy edit(t.window.coordTable(), &COORD_TABLE::CoordTableEditSignal);

        type(t.table(table), row, column, typed);

        QCOMPARE(str(a.points[output]), after);
        QCOMPARE(edit.count(), 1); // also when nothing changed
        // Both tables of the output show the stored integers again.
        QTableWidget *xy = t.table(QStringLiteral("CoordTableWidgetOut%1").arg(output + 1));
        QTableWidget *polar = t.table(QStringLiteral("PolarTableWidgeOut%1").arg(output + 1));
        // Rows numbered from 1; only a polygon has the blank row, of zeros.
        const int rows = a.points[output].size() + (kind == 0 ? 1 : 0);
        QCOMPARE(xy->rowCount(), rows);
        QCOMPARE(polar->rowCount(), rows);
        for (int i = 0; i < rows; ++i) {
            const QPoint p = a.points[output].value(i);
            QCOMPARE(xy->item(i, 0)->text(), QString::number(i + 1));
            QCOMPARE(polar->item(i, 0)->text(), QString::number(i + 1));
            QCOMPARE(xy->item(i, 1)->text() + ',' + xy->item(i, 2)->text(), str({p}));
        }
        if (kind == 0)
            QCOMPARE(polar->item(rows - 1, 2)->text(), QString("0"));
    }

    void tableKeys_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("emits");
        const QString xy = "CoordTableWidgetOut1", polar = "PolarTableWidgeOut1";
        const QString three = "100,0 0,100 -100,0";
        const int del = Qt::Key_Delete;
        QTest::newRow("delete-vertex") << xy << 0 << 1 << del << "100,0 -100,0" << 1;
        QTest::newRow("delete-in-polar-table") << polar << 0 << 0 << del << "0,100 -100,0" << 1;
        QTest::newRow("delete-on-blank-row") << xy << 0 << 3 << del << three << 0;
        QTest::newRow("delete-on-rectangle") << xy << 2 << 1 << del << three << 0;
        QTest::newRow("key-down") << xy << 0 << 1 << int(Qt::Key_Down) << three << 0;
        QTest::newRow("key-backspace") << xy << 0 << 1 << int(Qt::Key_Backspace) << three << 0;
        QTest::newRow("key-digit") << polar << 0 << 1 << int(Qt::Key_5) << three << 0;
    }
    void tableKeys()
    {
        QFETCH(QString, table);
        QFETCH(int, kind);
        QFETCH(int, row);
        QFETCH(int, key);
        QFETCH(QString, after);
        QFETCH(int, emits);
        Tool t;
        AreaRecord &a = t.store.areas[0];
        a.shape[0] = kind;
        a.points[0] = pts("100,0 0,100 -100,0");
        t.refresh();
        QTableWidget *w = t.table(table);
        w->setCurrentCell(row, 1);
        QSignalSpy edit(t.window.coordTable(), &COORD_TABLE::CoordTableEditSignal);
        QTest::keyClick(w, Qt::Key(key));
        QCOMPARE(str(a.points[0]), after);
        QCOMPARE(edit.count(), emits);
        QCOMPARE(t.store.undoHistory[0].size(), 1 + emits);
        QCOMPARE(t.ui->CoordTableWidgetOut1->rowCount(), a.points[0].size() + (kind == 0));
        QCOMPARE(t.ui->PolarTableWidgeOut1->rowCount(), a.points[0].size() + (kind == 0));
        if (!emits) {
            QCOMPARE(w->currentRow(), row); // no keyboard navigation
            QVERIFY(!w->isPersistentEditorOpen(w->currentItem()));
        }
    }

    void tableEditTakesUndoStepAndMarksArea()
    {
        Tool t;
        clickRow(t.ui->AreaTableWidget, 4);
        QCOMPARE(t.store.currentArea, 4);
        t.store.modified = false;
        QSignalSpy edit(t.window.coordTable(), &COORD_TABLE::CoordTableEditSignal);

        type(t.ui->CoordTableWidgetOut3, 0, 2, "800");
        QCOMPARE(edit.count(), 1);
        QCOMPARE(str(t.store.areas[4].points[2]), QString("0,800"));
        QCOMPARE(t.store.undoHistory[4].size(), 2);
        QCOMPARE(str(t.store.undoHistory[4].last().points[2]), QString("0,800"));
        QVERIFY(t.store.modified);
        QTableWidgetItem *marker = t.ui->AreaTableWidget->item(4, 1);
        QVERIFY(marker);
        QCOMPARE(marker->background().color(), QColor(Qt::green));
        QVERIFY(!t.ui->AreaTableWidget->item(3, 1));
        QVERIFY(!t.ui->AreaTableWidget->item(5, 1));

        // An edit that changes nothing is still announced and recorded.
        type(t.ui->CoordTableWidgetOut3, 1, 1, "0.0");
        QCOMPARE(edit.count(), 2);
        QCOMPARE(str(t.store.areas[4].points[2]), QString("0,800"));
        QCOMPARE(t.store.undoHistory[4].size(), 3);
        QCOMPARE(t.store.undoHistory[0].size(), 1);
    }

    // A handle dragged in the view changes one point of one output: that
    // row is shown anew, every other cell of all six tables stays as it was.
    void handleDragRefillsOnlyWhatChanged()
    {
        Tool t;
        AreaRecord &a = t.store.areas[0];
        for (int o = 0; o < 3; ++o)
            a.points[o] = pts("1000,1000 -1000,2000 500,3000");
        Q_EMIT t.window.areaTable()->EditAreaDataSignal();
        QApplication::processEvents();
        QList<QTableWidget *> tables;
        for (const char *name : {"CoordTableWidgetOut1", "CoordTableWidgetOut2", "CoordTableWidgetOut3",
                                 "PolarTableWidgeOut1", "PolarTableWidgeOut2", "PolarTableWidgeOut3"})
            tables << t.table(name);
        QHash<QTableWidgetItem *, QString> before;
        for (QTableWidget *w : tables)
            for (int r = 0; r < w->rowCount(); ++r)
                for (int col = 0; col < 3; ++col)
                    before.insert(w->item(r, col), w->item(r, col)->text());

        OPTION_SCENE *sc = t.window.optionScene();
        QGraphicsItem *handle = sc->handles().value(1);
        QVERIFY(handle);
        handle->setPos(-1200, -2300);
        sc->MovePointItemSlots(handle);

        QCOMPARE(str(a.points[0]), QString("1000,1000 -1200,2300 500,3000"));
        QCOMPARE(tables[0]->item(1, 1)->text(), QString("-1200"));
        QCOMPARE(tables[0]->item(1, 2)->text(), QString("2300"));
        QCOMPARE(tables[3]->item(1, 1)->text(), QString("2594.22"));
        int changed = 0;
        for (QTableWidget *w : tables)
            for (int r = 0; r < w->rowCount(); ++r)
                for (int col = 0; col < 3; ++col) {
                    QTableWidgetItem *item = w->item(r, col);
                    QVERIFY2(before.contains(item), "a cell was made anew");
                    changed += item->text() != before.value(item);
                }
        QCOMPARE(changed, 4); // X and Y, distance and angle of point 2 of Out1
    }

    // Typed values, area switches, undo and redo in a row: the six tables
    // always show the current area as stored, in both forms.
    void tablesFollowASequenceOfEdits()
    {
        Tool t;
        t.store.areas[4].points[1] = pts("0,1500");
        t.store.areas[4].shape[1] = ShapeFan;
        t.store.areas[9].points[0] = pts("300,400 -300,400");
        t.store.resetUndo(); // the design as read from a file
        const auto shown = [&t](int area) {
            const AreaRecord &a = t.store.areas[area];
            for (int o = 0; o < 3; ++o) {
                QTableWidget *xy = t.table(QStringLiteral("CoordTableWidgetOut%1").arg(o + 1));
                QTableWidget *polar = t.table(QStringLiteral("PolarTableWidgeOut%1").arg(o + 1));
                const int rows = a.points[o].size() + (a.shape[o] == ShapePolygon ? 1 : 0);
                if (xy->rowCount() != rows || polar->rowCount() != rows)
                    return QStringLiteral("Out%1 rows %2/%3, want %4").arg(o + 1).arg(xy->rowCount()).arg(polar->rowCount()).arg(rows);
                for (int i = 0; i < a.points[o].size(); ++i) {
                    const QPoint p = a.points[o][i];
                    const double r = polar->item(i, 1)->text().toDouble();
                    const double th = qDegreesToRadians(polar->item(i, 2)->text().toDouble());
                    if (xy->item(i, 1)->text().toInt() != p.x() || xy->item(i, 2)->text().toInt() != p.y()
                        || qAbs(r * std::cos(th) - p.x()) > 1 || qAbs(r * std::sin(th) - p.y()) > 1)
                        return QStringLiteral("Out%1 row %2 differs from %3,%4").arg(o + 1).arg(i).arg(p.x()).arg(p.y());
                }
            }
            return QString();
        };
        clickRow(t.ui->AreaTableWidget, 4);
        QCOMPARE(shown(4), QString());
        type(t.ui->PolarTableWidgeOut2, 0, 1, "2500");
        QCOMPARE(str(t.store.areas[4].points[1]), QString("0,2500"));
        QCOMPARE(shown(4), QString());
        clickRow(t.ui->AreaTableWidget, 9);
        QCOMPARE(shown(9), QString());
        type(t.ui->CoordTableWidgetOut1, 1, 1, "not a number");
        QCOMPARE(t.ui->CoordTableWidgetOut1->item(1, 1)->text(), QString("-300"));
        type(t.ui->CoordTableWidgetOut1, 2, 2, "700"); // the blank row appends
        QCOMPARE(shown(9), QString());
        clickRow(t.ui->AreaTableWidget, 4);
        QCOMPARE(shown(4), QString());
        t.ui->Undo->trigger();
        QCOMPARE(str(t.store.areas[4].points[1]), QString("0,1500"));
        QCOMPARE(shown(4), QString());
        t.ui->Redo->trigger();
        QCOMPARE(shown(4), QString());
        clickRow(t.ui->AreaTableWidget, 9);
        t.ui->Undo->trigger();
        QCOMPARE(str(t.store.areas[9].points[0]), QString("300,400 -300,400"));
        QCOMPARE(shown(9), QString());
    }

    // A current index above 63 (the sensor may report one) is read as 63.
    void currentAreaAbove63EditsArea63()
    {
        Tool t;
        t.store.areas[63].points[0] = pts("40,30");
        t.store.currentArea = 100;
        t.refresh();
        QCOMPARE(t.store.currentArea, 63);
        QCOMPARE(t.ui->PolarTableWidgeOut1->item(0, 1)->text(), QString("50"));
        t.store.currentArea = 100;
        type(t.ui->CoordTableWidgetOut1, 0, 2, "-30");
        QCOMPARE(str(t.store.areas[63].points[0]), QString("40,-30"));
        QCOMPARE(t.store.currentArea, 63);
        QCOMPARE(t.store.undoHistory[63].size(), 2);
        QVERIFY(t.ui->AreaTableWidget->item(63, 1));
        QCOMPARE(str(t.store.areas[0].points[0]), QString());
    }
};

QTEST_MAIN(TestZoneEditors)
#include "tst_zoneeditors.moc"
