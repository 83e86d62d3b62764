#include "gui/replay/ReplayTimeline.h"

#include "graphics/ReportTexts.h"
#include "graphics/ZonePainter.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

using ReportTexts::pick;

namespace {
constexpr int kRowGap = 1;
constexpr int kGroupGap = 4;
constexpr int kAxisHeight = 16;
constexpr int kMargin = 4;
} // namespace

ReplayTimeline::ReplayTimeline(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ReplayTimeline"));
    setMouseTracking(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Six rows under the view: a smaller type than the window's keeps them
    // short, each row as tall as its label.
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    setFont(small);
}

int ReplayTimeline::rowHeight() const
{
    return std::max(10, QFontMetrics(font()).height() - 1);
}

void ReplayTimeline::setResult(const Replay::Result &result)
{
    m_result = result;
    update();
}

void ReplayTimeline::setPosition(int index)
{
    if (index == m_position)
        return;
    m_position = index;
    update();
}

void ReplayTimeline::setLanguage(bool chinese)
{
    m_chinese = chinese;
    updateGeometry();
    update();
}

int ReplayTimeline::labelWidth() const
{
    const QFontMetrics fm(font());
    int w = 0;
    for (const char *zh : {"Out1 记录", "Out1 设计"})
        w = std::max(w, fm.horizontalAdvance(QString::fromUtf8(zh)));
    for (const char *en : {"Out1 recorded", "Out1 design"})
        w = std::max(w, fm.horizontalAdvance(QString::fromLatin1(en)));
    return w + 10;
}

QSize ReplayTimeline::sizeHint() const
{
    const int rows = 2 * kOutputCount;
    return {600, 2 * kMargin + rows * (rowHeight() + kRowGap) + 2 * kGroupGap + kAxisHeight};
}

QSize ReplayTimeline::minimumSizeHint() const
{
    return {labelWidth() + 120, sizeHint().height()};
}

QRect ReplayTimeline::track() const
{
    const int left = labelWidth();
    return QRect(left, kMargin, std::max(1, width() - left - kMargin),
                 height() - 2 * kMargin - kAxisHeight);
}

QRect ReplayTimeline::rowRect(int output, bool design) const
{
    const QRect t = track();
    const int row = 2 * output + (design ? 1 : 0);
    const int y = t.top() + row * (rowHeight() + kRowGap) + output * kGroupGap;
    return QRect(t.left(), y, t.width(), rowHeight());
}

int ReplayTimeline::xOf(std::uint32_t timeMs) const
{
    const QRect t = track();
    const std::uint32_t end = m_result.timeMs.isEmpty() ? 0 : m_result.timeMs.last();
    const std::uint32_t start = m_result.timeMs.isEmpty() ? 0 : m_result.timeMs.first();
    if (end <= start)
        return t.left();
    return t.left() + int(double(timeMs - start) * (t.width() - 1) / double(end - start) + 0.5);
}

int ReplayTimeline::indexAt(int x) const
{
    const QVector<std::uint32_t> &times = m_result.timeMs;
    if (times.isEmpty())
        return -1;
    const QRect t = track();
    const double f = std::clamp(double(x - t.left()) / std::max(1, t.width() - 1), 0.0, 1.0);
    const double ms = times.first() + f * double(times.last() - times.first());
    auto it = std::lower_bound(times.begin(), times.end(), std::uint32_t(ms));
    int k = int(it - times.begin());
    if (k >= times.size())
        k = times.size() - 1;
    if (k > 0 && ms - times[k - 1] < times[k] - ms)
        --k;
    return k;
}

void ReplayTimeline::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QRect t = track();
    const Replay::Result &r = m_result;
    const int n = r.timeMs.size();
    p.setPen(palette().text().color());
    for (int o = 0; o < kOutputCount; ++o) {
        for (bool design : {false, true}) {
            const QRect row = rowRect(o, design);
            const QString label =
                QStringLiteral("Out%1 ").arg(o + 1) +
                (design ? pick(m_chinese, "设计", "design") : pick(m_chinese, "记录", "recorded"));
            p.setPen(palette().text().color());
            p.drawText(QRect(2, row.top(), t.left() - 4, row.height()),
                       Qt::AlignVCenter | Qt::AlignLeft, label);
            p.fillRect(row, palette().alternateBase());
            const QColor on = ZonePainter::zoneColor(o, 255).darker(design ? 110 : 135);
            // Runs of "on", drawn from each sweep to the next.
            const QVector<std::uint8_t> &bits = design ? r.design : r.recorded;
            int k = 0;
            while (k < n) {
                if (!((bits[k] >> o) & 1)) {
                    ++k;
                    continue;
                }
                int j = k;
                while (j + 1 < n && ((bits[j + 1] >> o) & 1))
                    ++j;
                const int x0 = xOf(r.timeMs[k]);
                const int x1 = j + 1 < n ? xOf(r.timeMs[j + 1]) : t.right();
                p.fillRect(QRect(QPoint(x0, row.top()), QPoint(std::max(x0, x1), row.bottom())),
                           on);
                k = j + 1;
            }
        }
        // Where the two disagree: a red band between the rows, and red
        // marks across both.
        const QRect top = rowRect(o, false), bottom = rowRect(o, true);
        const QColor differ(220, 0, 40);
        int k = 0;
        while (k < n) {
            if (!((r.differs[k] >> o) & 1)) {
                ++k;
                continue;
            }
            int j = k;
            while (j + 1 < n && ((r.differs[j + 1] >> o) & 1))
                ++j;
            const int x0 = xOf(r.timeMs[k]);
            const int x1 = std::max(x0 + 1, j + 1 < n ? xOf(r.timeMs[j + 1]) : t.right());
            p.fillRect(QRect(QPoint(x0, top.bottom() - 2), QPoint(x1, bottom.top() + 2)), differ);
            QColor shade = differ;
            shade.setAlpha(60);
            p.fillRect(QRect(QPoint(x0, top.top()), QPoint(x1, bottom.bottom())), shade);
            k = j + 1;
        }
    }

    // The time axis: a tick every "nice" number of seconds.
    const QRect axis(t.left(), t.bottom() + 2, t.width(), kAxisHeight);
    p.setPen(palette().mid().color());
    p.drawLine(axis.topLeft(), axis.topRight());
    if (n > 1) {
        const double seconds = (r.timeMs.last() - r.timeMs.first()) / 1000.0;
        double step = 0.1;
        for (double s :
             {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0}) {
            step = s;
            if (seconds / s * 60 <= t.width())
                break;
        }
        p.setPen(palette().text().color());
        for (double s = 0; s <= seconds + 1e-9; s += step) {
            const int x = xOf(r.timeMs.first() + std::uint32_t(s * 1000));
            p.drawLine(x, axis.top(), x, axis.top() + 3);
            const QString text = QString::number(s, 'f', step < 1 ? 1 : 0) + QStringLiteral(" s");
            p.drawText(QRect(x - 30, axis.top() + 2, 60, kAxisHeight - 2),
                       Qt::AlignHCenter | Qt::AlignTop, text);
        }
    }
    if (m_position >= 0 && m_position < n) {
        const int x = xOf(r.timeMs[m_position]);
        p.setPen(QPen(QColor(0, 90, 200), 2));
        p.drawLine(x, t.top() - 2, x, t.bottom() + 2);
    }
}

void ReplayTimeline::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int k = indexAt(event->pos().x());
    if (k >= 0)
        Q_EMIT seekRequested(k);
}

void ReplayTimeline::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const int k = indexAt(event->pos().x());
    if (k >= 0 && k != m_position)
        Q_EMIT seekRequested(k);
}
