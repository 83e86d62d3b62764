// The list of the 64 areas: rows, per-area undo and redo, the clipboard,
// delete all, and the thumbnails.
#include "tests/gui/ZoneEditorKit.h"

class TestAreaList : public QObject
{
    Q_OBJECT
    PrivateSettings m_settings;

private Q_SLOTS:
    void init() { m_settings.clear(); }

    // ------------------------------------------------------------ area list

    void areaListRows()
    {
        Tool t;
        QTableWidget *list = t.ui->AreaTableWidget;
        QCOMPARE(list->rowCount(), 64);
        for (int i = 0; i < 64; ++i) {
            QCOMPARE(list->item(i, 0)->text(), QString::number(i));
            QCOMPARE(list->rowHeight(i), 100);
            auto *thumb = qobject_cast<PAINT_TABLE *>(list->cellWidget(i, 2));
            QVERIFY(thumb);
            QCOMPARE(thumb->areaIndex(), i);
            QCOMPARE(thumb, t.window.areaTable()->thumbnail(i));
        }
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);

        // Only a click on another row changes the current area.
        QSignalSpy index(t.window.areaTable(), &AREA_TABLE::AreaTableIndexChange);
        clickRow(list, 0);
        QCOMPARE(index.count(), 0);
        clickRow(list, 63);
        QCOMPARE(index.count(), 1);
        QCOMPARE(t.store.currentArea, 63);
        clickRow(list, 63);
        QCOMPARE(index.count(), 1);
    }

    void undoRedoDiscardsBranch()
    {
        Tool t;
        QComboBox *delay = t.ui->Area_OpenDelay;
        AreaRecord &a = t.store.areas[0];
        QSignalSpy replaced(t.window.areaTable(), &AREA_TABLE::EditAreaDataSignal);
        // Undo before any edit changes nothing: the start-up state, detection
        // size 1 included, is the oldest entry.
        const AreaRecord fresh = a;
        QCOMPARE(fresh.detectionSize, 1);
        t.ui->Undo->trigger();
        QCOMPARE(a, fresh);
        QCOMPARE(replaced.count(), 1);
        QVERIFY(t.store.modified);
        QCOMPARE(t.store.undoPos[0], 0);

        pick(delay, 1); // S1
        pick(delay, 2); // S2
        pick(delay, 3); // S3
        QCOMPARE(t.store.undoPos[0], 3);
        t.ui->Undo->trigger();
        QCOMPARE(a.openDelay, 2);
        QCOMPARE(t.store.undoPos[0], 2);
        QCOMPARE(delay->currentIndex(), 2);
        pick(delay, 4); // S4 replaces S3
        const QVector<AreaRecord> &h = t.store.undoHistory[0];
        QCOMPARE(h.size(), 4);
        QCOMPARE(h[0], fresh);
        QCOMPARE((QList<int>{h[1].openDelay, h[2].openDelay, h[3].openDelay}),
                 (QList<int>{1, 2, 4}));
        QCOMPARE(t.store.undoPos[0], 3);

        replaced.clear();
        t.ui->Redo->trigger();
        QCOMPARE(a.openDelay, 4);
        QCOMPARE(t.store.undoPos[0], 3);
        QCOMPARE(replaced.count(), 1);

        t.ui->Undo->trigger();
        QCOMPARE(a.openDelay, 2);
        t.ui->Undo->trigger();
        QCOMPARE(a.openDelay, 1);
        t.ui->Undo->trigger();
        // Back to the start-up state, and the controls show it.
        QCOMPARE(a, fresh);
        QCOMPARE(delay->currentIndex(), 0);
        QCOMPARE(t.ui->Area_DetectionSize->currentIndex(), 1);
        t.ui->Redo->trigger();
        QCOMPARE(a.openDelay, 1);
    }

    void undoHistoryKeepsLast100()
    {
        Tool t;
        AreaRecord &a = t.store.areas[0];
        const AreaRecord fresh = a;
        for (int i = 1; i <= 99; ++i)
            finish(t.ui->SteerMinDgree, i);
        QCOMPARE(t.store.undoHistory[0].size(), 100);
        QCOMPARE(t.store.undoHistory[0].first(), fresh);
        for (int i = 100; i <= 150; ++i)
            finish(t.ui->SteerMinDgree, i);
        const QVector<AreaRecord> &h = t.store.undoHistory[0];
        QCOMPARE(h.size(), 100);
        for (int i = 0; i < 100; ++i)
            QCOMPARE(h[i].steerMin, 51 + i);
        QCOMPARE(t.store.undoPos[0], 99);
        for (int i = 0; i < 99; ++i)
            t.ui->Undo->trigger();
        QCOMPARE(a.steerMin, 51);
        t.ui->Undo->trigger();
        QCOMPARE(a.steerMin, 51);
        QCOMPARE(t.ui->SteerMinDgree->value(), 51);
    }

    void undoStaysInItsArea()
    {
        Tool t;
        QTableWidget *list = t.ui->AreaTableWidget;
        clickRow(list, 5);
        pick(t.ui->Area_Hysteresis, 3);
        pick(t.ui->Area_Hysteresis, 6);
        clickRow(list, 6);
        QCOMPARE(t.ui->Area_Hysteresis->currentIndex(), 0);
        pick(t.ui->Area_CloseDelay, 9);
        const AreaRecord six = t.store.areas[6];
        const QVector<AreaRecord> sixHistory = t.store.undoHistory[6];
        clickRow(list, 5);
        QCOMPARE(t.ui->Area_Hysteresis->currentIndex(), 6);
        t.ui->Undo->trigger();
        QCOMPARE(t.store.areas[5].hysteresis, 3);
        QCOMPARE(t.ui->Area_Hysteresis->currentIndex(), 3);
        QCOMPARE(t.store.areas[6], six);
        QCOMPARE(t.store.undoHistory[6], sixHistory);
        QCOMPARE(t.store.undoPos[6], 1);
    }

    void copyPasteIsDeep()
    {
        Tool t;
        QTableWidget *list = t.ui->AreaTableWidget;
        // Paste before any copy writes the empty record.
        clickRow(list, 1);
        pick(t.ui->Area_OpenDelay, 6);
        t.ui->Paste->trigger();
        QCOMPARE(t.store.areas[1], t.store.emptyRecord);

        clickRow(list, 2);
        t.ui->ButtonArcOut1->click();
        type(t.ui->CoordTableWidgetOut1, 0, 1, "1500");
        pick(t.ui->Area_CloseDelay, 8);
        const AreaRecord two = t.store.areas[2];
        QCOMPARE(str(two.points[0]), QString("1500,0 1500,0"));
        t.ui->Copy->trigger();

        clickRow(list, 7);
        QCOMPARE(t.store.currentArea, 7);
        QVERIFY(t.ui->ButtonPolygonOut1->isChecked());
        t.store.modified = false;
        QSignalSpy replaced(t.window.areaTable(), &AREA_TABLE::EditAreaDataSignal);
        t.ui->Paste->trigger();
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(t.store.areas[7], two);
        QVERIFY(t.store.modified);
        // The editors show area 7's new content.
        QCOMPARE(t.ui->CoordTableWidgetOut1->rowCount(), 2);
        QCOMPARE(t.ui->CoordTableWidgetOut1->item(1, 1)->text(), QString("1500"));
        QCOMPARE(t.ui->PolarTableWidgeOut1->item(0, 1)->text(), QString("1500"));
        QVERIFY(t.ui->ButtonArcOut1->isChecked());
        QCOMPARE(t.ui->Area_CloseDelay->currentIndex(), 8);

        type(t.ui->CoordTableWidgetOut1, 1, 2, "1500");
        QCOMPARE(str(t.store.areas[7].points[0]), QString("2121,0 1500,1500"));
        QCOMPARE(t.store.areas[2], two);
        QCOMPARE(t.store.clipboard, two);
    }

    void deleteAllKeepsClipboard()
    {
        Tool t;
        QTableWidget *list = t.ui->AreaTableWidget;
        clickRow(list, 3);
        t.ui->ButtonRectangleOut2->click();
        pick(t.ui->Area_DetectionSize, 9);
        const AreaRecord three = t.store.areas[3];
        t.ui->Copy->trigger();
        t.store.areas[40].points[0] = pts("1,2 3,4");
        const QVector<AreaRecord> history = t.store.undoHistory[3];

        QSignalSpy replaced(t.window.areaTable(), &AREA_TABLE::EditAreaDataSignal);
        t.ui->DeleteAll->trigger();
        QCOMPARE(replaced.count(), 1);
        for (int i = 0; i < 64; ++i)
            QCOMPARE(t.store.areas[i], t.store.emptyRecord);
        QCOMPARE(t.store.clipboard, three);
        QCOMPARE(t.store.undoHistory[3], history);
        QVERIFY(t.ui->ButtonPolygonOut2->isChecked());
        QCOMPARE(t.ui->CoordTableWidgetOut2->rowCount(), 1);

        t.ui->Paste->trigger();
        QCOMPARE(t.store.areas[3], three);
        QVERIFY(t.ui->ButtonRectangleOut2->isChecked());
        QCOMPARE(t.ui->CoordTableWidgetOut2->rowCount(), 4);
    }

    // ------------------------------------------------------------ thumbnails

    void thumbnailScale_data()
    {
        QTest::addColumn<QString>("out1");
        QTest::addColumn<int>("out2kind");
        QTest::addColumn<QString>("out2");
        QTest::addColumn<int>("top");
        // 160 x 160: centre row 80; the farthest point lies 50 px from it.
        QTest::newRow("apex-is-farthest") << "-1000,2000 0,6000 1000,2000" << 0 << "" << 30;
        // The parameter point of a dependent Out2 sets the scale too: Out1's
        // apex at 3000 of 6000 mm lies 25 px above the centre.
        QTest::newRow("parameter-point-counts")
            << "-1000,2000 0,3000 1000,2000" << 3 << "0,6000" << 55;
    }
    void thumbnailScale()
    {
        QFETCH(QString, out1);
        QFETCH(int, out2kind);
        QFETCH(QString, out2);
        QFETCH(int, top);
        Tool t;
        AreaRecord &a = t.store.areas[12];
        a.points[0] = pts(out1);
        a.shape[1] = out2kind;
        a.points[1] = pts(out2);
        // A thumbnail of its own: the list lays its cell widgets back to the
        // 99 px cell before they render.
        PAINT_TABLE thumb(12, &t.store);
        const QImage img = render(&thumb, QSize(160, 160));
        const int row = topmostColouredRow(img);
        QVERIFY2(qAbs(row - top) <= 2, qPrintable(QString::number(row)));
        // Well inside the zone, below the apex: the Out1 yellow or Out2 orange.
        const QColor inside = QColor::fromRgba(img.pixel(82, 72));
        QVERIFY(coloured(inside.rgba()));
        QCOMPARE(inside.red(), 255);
        // Outside the zone to the side: nothing coloured.
        QVERIFY(!coloured(img.pixel(130, 40)));
    }

    void thumbnailOfEmptyAreaShowsAxesOnly()
    {
        Tool t;
        PAINT_TABLE thumb(20, &t.store);
        const QImage img = render(&thumb, QSize(160, 160));
        QCOMPARE(topmostColouredRow(img), -1);
        int axisPixels = 0;
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, 80) != img.pixel(0, 0) || img.pixel(x, 79) != img.pixel(0, 0))
                ++axisPixels;
        QVERIFY(axisPixels > 20);
        // Dotted: the axis leaves gaps.
        QVERIFY(axisPixels < img.width());
    }

    void thumbnailOut3FillFollowsEditChannel()
    {
        Tool t;
        AreaRecord &a = t.store.areas[8];
        a.points[0] = pts("-3000,3000 3000,3000");
        a.points[1] = pts("-2000,2000 2000,2000");
        a.shape[2] = 4;
        a.points[2] = pts("0,1000");
        PAINT_TABLE thumb(8, &t.store);
        QTabBar *bar = t.ui->AreaEditTab->tabBar();
        // Scale 50 / 4242.64 about (80, 80): rows 72, 61 and 50 lie in the Out3 fan, in
        // Out2 only and in Out1 only.
        auto sample = [&](int channelTab) {
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                              bar->tabRect(channelTab).center());
            const QImage img = render(&thumb, QSize(160, 160));
            return QVector<QRgb>{img.pixel(83, 72), img.pixel(83, 61), img.pixel(83, 50)};
        };
        const QVector<QRgb> out1 = sample(0);
        QCOMPARE(t.store.currentChannel, 0);
        const QVector<QRgb> out3 = sample(2);
        QCOMPARE(t.store.currentChannel, 2);
        const QVector<QRgb> out2 = sample(1);
        for (QRgb px : out1)
            QVERIFY(coloured(px));
        QVERIFY(out3[0] != out1[0]);
        // More opaque red over the orange: less green.
        QVERIFY(qGreen(out3[0]) < qGreen(out1[0]));
        QCOMPARE(out2[0], out1[0]);
        QCOMPARE(out3[1], out1[1]);
        QCOMPARE(out3[2], out1[2]);
        QVERIFY(out1[1] != out1[2]);
    }
};

QTEST_MAIN(TestAreaList)
#include "tst_arealist.moc"
