#pragma once

// What the zone editor tests share: a started tool with its tables and
// buttons, point lists as text, and the user's ways of editing a cell,
// clicking a row, picking from a list and leaving a spin box.

#include "core/link/ScanRecord.h"
#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "graphics/PAINT_TABLE.h"
#include "gui/MainWindow.h"
#include "gui/editors/AREA_TABLE.h"
#include "gui/editors/COORD_TABLE.h"
#include "gui/editors/EDIT_CONTROL.h"
#include "ui_mainwindow.h"

#include "tests/support/PointText.h"
#include "tests/support/PrivateSettings.h"

#include <QGraphicsItem>
#include <QHash>
#include <QtMath>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>
#include <QtTest>

#include <memory>

// A freshly started tool, shown so that rows and tabs have real geometry.
struct Tool {
    ZoneStore store;
    ScanRecord scan;
    MainWindow window{&store, &scan};
    Ui::MainWindow *ui = window.form();

    Tool()
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    // Shows what the store now holds, as the area list does after a replace.
    void refresh()
    {
        window.coordTable()->CoordTableWidgeUpdate();
        window.editControl()->EditControlUpdateEditData();
    }
    QPushButton *button(const QString &name) { return window.findChild<QPushButton *>(name); }
    QTableWidget *table(const QString &name) { return window.findChild<QTableWidget *>(name); }
};

// A committed cell edit: the same itemChanged an editor commit fires.
inline void type(QTableWidget *table, int row, int column, const QString &text)
{
    QTableWidgetItem *item = table->item(row, column);
    QVERIFY2(item, qPrintable(QStringLiteral("no item at %1,%2").arg(row).arg(column)));
    item->setText(text);
}

inline void clickRow(QTableWidget *list, int row)
{
    QTableWidgetItem *item = list->item(row, 0);
    QVERIFY(item);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(item).center());
}

// What the popup does when the user picks an entry.
inline void pick(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

// Leaving a spin box with Return: editingFinished whether or not it changed.
inline void finish(QSpinBox *spin, int value)
{
    spin->setValue(value);
    QTest::keyClick(spin, Qt::Key_Return);
}

inline QImage render(QWidget *w, const QSize &size)
{
    w->resize(size);
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

inline bool coloured(QRgb px)
{
    const QColor c = QColor::fromRgba(px);
    const int hi = qMax(c.red(), qMax(c.green(), c.blue()));
    const int lo = qMin(c.red(), qMin(c.green(), c.blue()));
    return qAlpha(px) > 0 && hi - lo > 20;
}

inline int topmostColouredRow(const QImage &img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (coloured(img.pixel(x, y)))
                return y;
    return -1;
}
