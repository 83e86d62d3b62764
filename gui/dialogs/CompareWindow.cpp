#include "gui/dialogs/CompareWindow.h"

#include "core/zones/ZoneStore.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

using DesignCompare::Difference;

namespace {
// Item data: the index of the difference a row shows, or -1 for a group row.
constexpr int kDifferenceRole = Qt::UserRole;
// Item data of a group row: its area, or -1 for the sensor parameters.
constexpr int kAreaRole = Qt::UserRole + 1;

// "Polygon, 6 points (1500,-300) (1500,2500) ..." as the kind on one line
// and two points a line below it, so that a list is read whole.
QString inLines(const QString &value)
{
    const int open = value.indexOf(QLatin1String(" ("));
    if (open < 0)
        return value;
    const QStringList points = value.mid(open + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList lines{value.left(open)};
    for (int i = 0; i < points.size(); i += 2)
        lines << points.mid(i, 2).join(QLatin1Char(' '));
    return lines.join(QLatin1Char('\n'));
}
} // namespace

CompareWindow::CompareWindow(ZoneStore *store, SensorParameters *parameters, QWidget *parent)
    : QDialog(parent), m_store(store), m_parameters(parameters)
{
    setObjectName(QStringLiteral("CompareWindow"));
    setModal(false);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_tree = new QTreeWidget(this);
    m_tree->setColumnCount(3);
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A point list takes as many lines as it needs.
    m_tree->setUniformRowHeights(false);
    // The design's and the sensor's values share the width evenly.
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    m_tree->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_tree->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_takeSelected = new QPushButton(this);
    m_takeArea = new QPushButton(this);
    m_takeAll = new QPushButton(this);
    m_close = new QPushButton(this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_takeSelected);
    buttons->addWidget(m_takeArea);
    buttons->addWidget(m_takeAll);
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_tree, 1);
    layout->addLayout(buttons);
    resize(700, 400);

    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CompareWindow::selectionChanged);
    connect(m_takeSelected, &QPushButton::clicked, this, &CompareWindow::takeSelected);
    connect(m_takeArea, &QPushButton::clicked, this, &CompareWindow::takeArea);
    connect(m_takeAll, &QPushButton::clicked, this, &CompareWindow::takeAll);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    retitle();
}

QString CompareWindow::tr2(const char *chinese, const char *english) const
{
    return QString::fromUtf8(m_language == 0 ? chinese : english);
}

void CompareWindow::setLanguage(int language)
{
    m_language = language;
    retitle();
    rebuild();
}

void CompareWindow::retitle()
{
    setWindowTitle(tr2("与传感器比较", "Compare with Sensor"));
    m_tree->setHeaderLabels({tr2("项目", "Item"), tr2("设计", "Design"), tr2("传感器", "Sensor")});
    m_takeSelected->setText(tr2("采用所选", "Take Selected"));
    m_takeArea->setText(tr2("采用整个区域", "Take Area"));
    m_takeAll->setText(tr2("全部采用", "Take All"));
    m_close->setText(tr2("关闭", "Close"));
    for (QPushButton *b : {m_takeSelected, m_takeArea, m_takeAll})
        b->setToolTip(tr2("用传感器中的值替换设计中的值（可撤销）",
                          "Replace the design's values with the sensor's (can be undone)"));
}

void CompareWindow::setSensor(const QVector<AreaRecord> &areas, const SensorParameters &parameters)
{
    m_sensorAreas = areas;
    m_sensorParameters = parameters;
    refresh();
}

void CompareWindow::refresh()
{
    if (m_sensorAreas.size() != kAreaCount)
        return;
    m_differences = DesignCompare::compare(m_store->areas, *m_parameters, m_sensorAreas, m_sensorParameters);
    rebuild();
}

void CompareWindow::rebuild()
{
    // Keep the group that was selected, so that taking an item does not
    // throw the user back to the top.
    const int keep = selectedArea();
    const QSignalBlocker block(m_tree);
    m_tree->clear();
    const bool chinese = m_language == 0;
    QTreeWidgetItem *group = nullptr;
    int groupArea = -3, areas = 0;
    QTreeWidgetItem *select = nullptr;
    for (int i = 0; i < m_differences.size(); ++i) {
        const Difference &d = m_differences[i];
        if (!group || d.area != groupArea) {
            groupArea = d.area;
            group = new QTreeWidgetItem(m_tree);
            group->setText(0, d.area >= 0 ? tr2("区域 %1", "Area %1").arg(d.area)
                                          : tr2("传感器参数", "Sensor Parameters"));
            group->setData(0, kDifferenceRole, -1);
            group->setData(0, kAreaRole, d.area);
            QFont bold = group->font(0);
            bold.setBold(true);
            group->setFont(0, bold);
            group->setExpanded(true);
            if (d.area >= 0)
                ++areas;
            if (d.area == keep)
                select = group;
        }
        auto *row = new QTreeWidgetItem(group);
        row->setText(0, d.itemName(chinese));
        row->setText(1, inLines(d.design[chinese ? 1 : 0]));
        row->setText(2, inLines(d.sensor[chinese ? 1 : 0]));
        row->setToolTip(1, d.design[chinese ? 1 : 0]);
        row->setToolTip(2, d.sensor[chinese ? 1 : 0]);
        row->setData(0, kDifferenceRole, i);
        row->setData(0, kAreaRole, d.area);
    }
    m_tree->resizeColumnToContents(0);
    m_tree->setColumnWidth(0, qMax(m_tree->columnWidth(0), 140));

    if (m_differences.isEmpty())
        m_summary->setText(tr2("设计与传感器中的数据一致。", "The design and the sensor agree."));
    else
        m_summary->setText(
            m_language == 0
                ? QStringLiteral("%1 处不同（%2 个区域）。选择一个区域，视图中以虚线显示传感器中的区域。")
                      .arg(m_differences.size())
                      .arg(areas)
                : QStringLiteral("%1 difference%2 (%3 area%4). Pick an area to see the sensor's zones "
                                 "dashed over the design's in the view.")
                      .arg(m_differences.size())
                      .arg(m_differences.size() == 1 ? "" : "s")
                      .arg(areas)
                      .arg(areas == 1 ? "" : "s"));
    m_takeAll->setEnabled(!m_differences.isEmpty());
    if (select)
        select->setSelected(true);
    selectionChanged();
}

int CompareWindow::selectedArea() const
{
    const QList<QTreeWidgetItem *> items = m_tree->selectedItems();
    if (items.isEmpty())
        return -2;
    return items.first()->data(0, kAreaRole).toInt();
}

void CompareWindow::selectionChanged()
{
    const int area = selectedArea();
    m_takeSelected->setEnabled(area != -2);
    m_takeArea->setEnabled(area >= 0);
    if (area != -2)
        Q_EMIT areaPicked(area);
}

void CompareWindow::take(const QVector<Difference> &items)
{
    if (items.isEmpty())
        return;
    QVector<int> areas;
    bool parameters = false;
    for (const Difference &d : items) {
        DesignCompare::take(d, m_store->areas, *m_parameters, m_sensorAreas, m_sensorParameters);
        if (d.area >= 0 && !areas.contains(d.area))
            areas << d.area;
        parameters = parameters || d.area < 0;
    }
    // One undoable step per area taken.
    for (int a : areas)
        m_store->saveUndo(a);
    if (parameters)
        m_store->modified = true;
    refresh();
    if (!areas.isEmpty())
        Q_EMIT areasTaken(areas);
    if (parameters)
        Q_EMIT parametersTaken();
}

void CompareWindow::takeSelected()
{
    // A group row stands for its whole group.
    QSet<int> chosen;
    QSet<int> groups;
    for (QTreeWidgetItem *item : m_tree->selectedItems()) {
        const int index = item->data(0, kDifferenceRole).toInt();
        if (index >= 0)
            chosen.insert(index);
        else
            groups.insert(item->data(0, kAreaRole).toInt());
    }
    QVector<Difference> items;
    for (int i = 0; i < m_differences.size(); ++i)
        if (chosen.contains(i) || groups.contains(m_differences[i].area))
            items << m_differences[i];
    take(items);
}

void CompareWindow::takeArea()
{
    const int area = selectedArea();
    QVector<Difference> items;
    for (const Difference &d : m_differences)
        if (d.area == area)
            items << d;
    take(items);
}

void CompareWindow::takeAll()
{
    take(m_differences);
}
