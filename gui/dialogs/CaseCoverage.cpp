#include "gui/dialogs/CaseCoverage.h"

#include "core/zones/ZoneStore.h"
#include "graphics/CoverageChart.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>

#include <functional>

using namespace CaseSelection;

namespace {

QString tr2(bool chinese, const char *zh, const char *en)
{
    return QString::fromUtf8(chinese ? zh : en);
}

QString joined(const QVector<int> &areas)
{
    QStringList names;
    for (int a : areas)
        names << QString::number(a);
    return names.join(QStringLiteral(", "));
}

// The chart itself: paints the grid it is given, names the state under the
// pointer and reports clicks.
class ChartView : public QWidget
{
public:
    explicit ChartView(QWidget *parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("CoverageChartView"));
        setMinimumSize(420, 300);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        setCursor(Qt::CrossCursor);
    }

    const ModeGrid *grid = nullptr;
    bool chinese = true;
    std::function<QString(int, int)> describe;
    std::function<void(int, int)> clicked;

    QRectF plot() const { return CoverageChart::plotRect(area(), fontPx()); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        if (grid)
            CoverageChart::paintGrid(p, area(), *grid, chinese, fontPx());
    }
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::ToolTip) {
            auto *help = static_cast<QHelpEvent *>(e);
            int steer = 0, speed = 0;
            if (grid && CoverageChart::stateAt(plot(), help->pos(), &steer, &speed))
                QToolTip::showText(help->globalPos(), describe(steer, speed), this);
            else
                QToolTip::hideText();
            return true;
        }
        return QWidget::event(e);
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        int steer = 0, speed = 0;
        if (e->button() == Qt::LeftButton && grid &&
            CoverageChart::stateAt(plot(), e->pos(), &steer, &speed))
            clicked(steer, speed);
    }

private:
    QRectF area() const { return QRectF(rect()).adjusted(4, 6, -6, -4); }
    qreal fontPx() const { return QFontInfo(font()).pixelSize(); }
};

} // namespace

CaseCoverage::CaseCoverage(const ZoneStore *store, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_store(store)
{
    setObjectName(QStringLiteral("CaseCoverage"));
    m_modeLabel = new QLabel(this);
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("CoverageMode"));
    for (int m = 0; m < kModes; ++m)
        m_mode->addItem(QString(), m);
    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("CoverageCounts"));
    m_unreachable = new QLabel(this);
    m_unreachable->setObjectName(QStringLiteral("CoverageUnreachable"));
    m_unreachable->setWordWrap(true);
    auto *chart = new ChartView(this);
    m_chart = chart;
    chart->describe = [this](int steer, int speed) { return stateText(steer, speed); };
    chart->clicked = [this](int steer, int speed) {
        const int area = shownGrid().appliesAt(steer, speed);
        if (area >= 0)
            Q_EMIT areaPicked(area);
    };

    auto *top = new QHBoxLayout;
    top->addWidget(m_modeLabel);
    top->addWidget(m_mode);
    top->addSpacing(16);
    top->addWidget(m_counts, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(chart, 1);
    layout->addWidget(m_unreachable);
    connect(m_mode, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
        static_cast<ChartView *>(m_chart)->grid = &shownGrid();
        showTexts();
        m_chart->update();
    });
    resize(780, 620);
    recompute();
    setLanguage(true);
}

QPoint CaseCoverage::chartPoint(int steer, int speed) const
{
    return CoverageChart::cellCentre(static_cast<ChartView *>(m_chart)->plot(), steer, speed)
        .toPoint();
}

QString CaseCoverage::modeName(int mode, bool chinese)
{
    // As the edit controls' combo box reads: its sixth item has no English text.
    if (chinese || mode >= 5)
        return QStringLiteral("操作模式%1").arg(mode);
    return QStringLiteral("Type %1").arg(mode);
}

int CaseCoverage::mode() const
{
    return qMax(0, m_mode->currentIndex());
}

void CaseCoverage::setMode(int mode)
{
    m_mode->setCurrentIndex(qBound(0, mode, kModes - 1));
}

void CaseCoverage::setLanguage(bool chinese)
{
    m_chinese = chinese;
    static_cast<ChartView *>(m_chart)->chinese = chinese;
    setWindowTitle(tr2(chinese, "工况覆盖", "Case Coverage"));
    m_modeLabel->setText(tr2(chinese, "车辆操作模式", "Operation"));
    for (int m = 0; m < kModes; ++m)
        m_mode->setItemText(m, modeName(m, chinese));
    showTexts();
    m_chart->update();
}

void CaseCoverage::designChanged()
{
    // Hidden, the window only notes it is out of date: edits stay cheap.
    m_stale = true;
    if (isVisible())
        recompute();
}

void CaseCoverage::showEvent(QShowEvent *event)
{
    if (m_stale)
        recompute();
    QWidget::showEvent(event);
}

void CaseCoverage::recompute()
{
    m_grids.clear();
    for (int m = 0; m < kModes; ++m)
        m_grids << modeGrid(m_store->areas, m);
    m_coverage = coverage(m_grids);
    m_anyChannel = false;
    for (const AreaRecord &a : m_store->areas)
        m_anyChannel = m_anyChannel || (inUse(a) && channelSet(a));
    m_stale = false;
    static_cast<ChartView *>(m_chart)->grid = &shownGrid();
    showTexts();
    m_chart->update();
}

void CaseCoverage::showTexts()
{
    const ModeGrid &g = shownGrid();
    const int all = (kSteerMax - kSteerMin + 1) * (kSpeedMax - kSpeedMin + 1);
    m_counts->setText(m_chinese ? QStringLiteral("间隙 %1 个状态，重叠 %2 个状态（共 %3 个）")
                                      .arg(g.gaps)
                                      .arg(g.overlaps)
                                      .arg(all)
                                : QStringLiteral("gaps %1 states, overlaps %2 states (of %3)")
                                      .arg(g.gaps)
                                      .arg(g.overlaps)
                                      .arg(all));
    QString text = tr2(m_chinese, "不可达区域：", "Unreachable areas: ") +
                   (m_coverage.unreachable.isEmpty() ? tr2(m_chinese, "无", "none")
                                                     : joined(m_coverage.unreachable));
    if (!m_anyChannel)
        text += tr2(m_chinese, "（没有使用中的区域设置了工况通道）",
                    " (no area in use has its case channel set)");
    m_unreachable->setText(text);
}

QString CaseCoverage::stateText(int steer, int speed) const
{
    QVector<Channel> channels;
    for (const AreaRecord &a : m_store->areas)
        channels << channelOf(a);
    const ModeGrid &g = shownGrid();
    const int applied = g.appliesAt(steer, speed);
    QVector<int> held, untouched;
    for (int a : holders(channels, steer, speed, mode()))
        (g.used.value(a) ? held : untouched) << a;
    QStringList lines;
    lines << (m_chinese ? QStringLiteral("转向角 %1°，车速 %2，%3")
                        : QStringLiteral("steering %1°, speed %2, %3"))
                 .arg(steer)
                 .arg(speed)
                 .arg(modeName(mode(), m_chinese));
    if (applied < 0)
        lines << tr2(m_chinese, "没有区域适用（间隙）", "no area applies (a gap)");
    else if (!g.used.value(applied))
        lines << (m_chinese ? QStringLiteral("适用区域：%1（未使用，等同间隙）")
                            : QStringLiteral("applies: area %1, not in use (a gap)"))
                     .arg(applied);
    else
        lines << (m_chinese ? QStringLiteral("适用区域：%1") : QStringLiteral("applies: area %1"))
                     .arg(applied);
    if (!held.isEmpty())
        lines << tr2(m_chinese, "包含此状态的区域：", "held by areas: ") + joined(held);
    if (!untouched.isEmpty())
        lines << (m_chinese ? QStringLiteral("包含此状态的未使用区域：%1 个")
                            : QStringLiteral("held by %1 areas not in use"))
                     .arg(untouched.size());
    if (applied >= 0)
        lines << (m_chinese ? QStringLiteral("单击编辑区域 %1")
                            : QStringLiteral("click to edit area %1"))
                     .arg(applied);
    return lines.join(QLatin1Char('\n'));
}
