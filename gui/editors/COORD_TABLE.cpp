#include "gui/editors/COORD_TABLE.h"

#include "core/zones/PointEdits.h"
#include "core/zones/ZoneGeometry.h"
#include "core/zones/ZoneStore.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>

namespace {
QTableWidgetItem *cell(const QString &text, bool editable = true)
{
    auto *item = new QTableWidgetItem(text);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QString polarText(float v)
{
    return QString::number(double(v), 'g', 6);
}
} // namespace

COORD_TABLE::COORD_TABLE(ZoneStore *store, const Tables &tables, QObject *parent)
    : QObject(parent), m_store(store), m_tables(tables)
{
    for (int t = 0; t < 6; ++t) {
        QTableWidget *table = m_tables[t];
        table->setRowCount(1);
        table->setColumnCount(3);
        table->setItem(0, 0, cell(QStringLiteral("1"), false));
        table->setItem(0, 1, cell(QStringLiteral("0")));
        table->setItem(0, 2, cell(QStringLiteral("0")));
        table->horizontalHeader()->setDefaultAlignment(Qt::AlignJustify);
        table->horizontalHeader()->setStretchLastSection(true);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->verticalHeader()->hide();
        table->setColumnWidth(0, 40);
        table->installEventFilter(this);
        connectTable(t);
    }
    SetHeaderLanguage(0);
}

void COORD_TABLE::SetHeaderLanguage(int language)
{
    const QStringList xy = language == 1
                               ? QStringList{"Point", "X [mm]", "Y [mm]"}
                               : QStringList{"点数", "X坐标[mm]", "Y坐标[mm]"};
    const QStringList polar = language == 1
                                  ? QStringList{"Point", "R [mm]", "Th [deg]"}
                                  : QStringList{"点数", "距离[mm]", "角度[deg]"};
    for (int t = 0; t < 6; ++t) {
        QTableWidget *table = m_tables[t];
        table->setHorizontalHeaderLabels(t < 3 ? xy : polar);
        // 40 and 80 pixels unless the header texts need more.
        table->setColumnWidth(0, qMax(40, table->horizontalHeader()->sectionSizeHint(0)));
        table->setColumnWidth(1, qMax(80, table->horizontalHeader()->sectionSizeHint(1)));
    }
}

void COORD_TABLE::connectTable(int t)
{
    using Slot = void (COORD_TABLE::*)(QTableWidgetItem *);
    static const Slot handlers[6] = {
        &COORD_TABLE::CoordTable1EditSlots, &COORD_TABLE::CoordTable2EditSlots,
        &COORD_TABLE::CoordTable3EditSlots, &COORD_TABLE::PolarTable1EditSlots,
        &COORD_TABLE::PolarTable2EditSlots, &COORD_TABLE::PolarTable3EditSlots,
    };
    m_connections[t] = connect(m_tables[t], &QTableWidget::itemChanged, this, handlers[t]);
}

void COORD_TABLE::setCell(int t, int row, int column, const QString &text)
{
    QTableWidget *table = m_tables[t];
    QTableWidgetItem *item = table->item(row, column);
    if (!item)
        table->setItem(row, column, cell(text, column != 0));
    else if (item->text() != text)
        item->setText(text);
}

void COORD_TABLE::fillTable(int t, bool force)
{
    const int output = t % 3;
    const bool polar = t >= 3;
    const int area = m_store->clampedCurrentArea();
    const AreaRecord &a = m_store->currentRecord();
    const QVector<QPoint> &points = a.points[output];
    // What the table shows already stays: a drag or a typed value changes
    // one output of one area, and the other tables need nothing.
    Shown &shown = m_shown[size_t(t)];
    if (!force && shown.valid && shown.area == area && shown.shape == a.shape[output] &&
        shown.points == points)
        return;
    // Filling must not re-enter the edit slot.
    disconnect(m_connections[t]);
    const bool blankRow = a.shape[output] == ShapePolygon;
    QTableWidget *table = m_tables[t];
    table->setRowCount(points.size() + (blankRow ? 1 : 0));
    for (int i = 0; i < points.size(); ++i) {
        setCell(t, i, 0, QString::number(i + 1));
        if (polar) {
            const ZoneGeometry::Polar p = ZoneGeometry::xyToPolar(points[i]);
            setCell(t, i, 1, polarText(p.r));
            setCell(t, i, 2, polarText(p.theta * ZoneGeometry::kRadToDeg));
        } else {
            setCell(t, i, 1, QString::number(points[i].x()));
            setCell(t, i, 2, QString::number(points[i].y()));
        }
    }
    if (blankRow) {
        // Typing into the last row appends a vertex.
        const int n = points.size();
        setCell(t, n, 0, QString::number(n + 1));
        setCell(t, n, 1, QStringLiteral("0"));
        setCell(t, n, 2, QStringLiteral("0"));
    }
    shown = {true, area, a.shape[output], points};
    connectTable(t);
}

void COORD_TABLE::refillOutput(int output)
{
    // After a typed value every cell is checked: text that changed nothing
    // in the design must still give way to the value again.
    fillTable(output, true);
    fillTable(output + 3, true);
}

void COORD_TABLE::CoordTableWidgeUpdate()
{
    for (int t = 0; t < 6; ++t)
        fillTable(t);
}

// Text that is no number changes nothing: the refill shows the old value
// again, and the edit is announced like any other that changed nothing.
void COORD_TABLE::cellEdited(int output, bool polar, QTableWidgetItem *item)
{
    if (const std::optional<float> v = PointEdits::parseTyped(item->text())) {
        const auto edit = polar ? &PointEdits::editPolar : &PointEdits::editXY;
        edit(m_store->currentRecord(), output, item->row(), item->column(), *v);
    }
    refillOutput(output);
    Q_EMIT CoordTableEditSignal();
}

void COORD_TABLE::CoordTable1EditSlots(QTableWidgetItem *Item) { cellEdited(0, false, Item); }
void COORD_TABLE::CoordTable2EditSlots(QTableWidgetItem *Item) { cellEdited(1, false, Item); }
void COORD_TABLE::CoordTable3EditSlots(QTableWidgetItem *Item) { cellEdited(2, false, Item); }
void COORD_TABLE::PolarTable1EditSlots(QTableWidgetItem *Item) { cellEdited(0, true, Item); }
void COORD_TABLE::PolarTable2EditSlots(QTableWidgetItem *Item) { cellEdited(1, true, Item); }
void COORD_TABLE::PolarTable3EditSlots(QTableWidgetItem *Item) { cellEdited(2, true, Item); }

bool COORD_TABLE::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    int t = 0;
    while (t < 6 && m_tables[t] != watched)
        ++t;
    if (t == 6)
        return QObject::eventFilter(watched, event);
    // The tables take no keyboard navigation or type-to-edit: cells are
    // edited by double-click, and Delete removes a polygon vertex.
    if (static_cast<QKeyEvent *>(event)->key() != Qt::Key_Delete)
        return true;
    const int output = t % 3;
    if (PointEdits::deleteRow(m_store->currentRecord(), output, m_tables[t]->currentRow())) {
        refillOutput(output);
        Q_EMIT CoordTableEditSignal();
    }
    return true;
}
