#include "graphics/CoverageChart.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLineF>
#include <QPainter>

#include <cmath>

using namespace CaseSelection;

namespace CoverageChart {

namespace {

constexpr int kColumns = kSteerMax - kSteerMin + 1; // whole steering angles
constexpr int kRows = kSpeedMax - kSpeedMin + 1;    // whole speeds

QString tr2(bool chinese, const char *zh, const char *en)
{
    return QString::fromUtf8(chinese ? zh : en);
}

qreal xOf(const QRectF &plot, int steer)
{
    return plot.left() + (steer - kSteerMin) * plot.width() / kColumns;
}
qreal yOf(const QRectF &plot, int speed)
{
    return plot.bottom() - (speed - kSpeedMin) * plot.height() / kRows;
}

// Blocks of the grid with one key, merged into rectangles: the runs along a
// row, each grown upwards while the row above has the very same run. Keeps
// the SVG small and gives the labels room.
struct Run {
    int c0, c1, r0, r1, key; // columns c0..c1-1, rows r0..r1-1
};
template <typename KeyOf> QVector<Run> mergedRuns(const ModeGrid &g, KeyOf keyOf)
{
    QVector<Run> out;
    QHash<qint64, int> open, next;
    const int cols = g.columns();
    for (int r = 0; r < g.rows(); ++r) {
        next.clear();
        for (int c = 0; c < cols;) {
            const int key = keyOf(r * cols + c);
            int c1 = c + 1;
            while (c1 < cols && keyOf(r * cols + c1) == key)
                ++c1;
            const qint64 id = (qint64(c) << 40) | (qint64(c1) << 20) | qint64(key + 1);
            int index = open.value(id, -1);
            if (index >= 0)
                out[index].r1 = r + 1;
            else {
                index = out.size();
                out.append(Run{c, c1, r, r + 1, key});
            }
            next.insert(id, index);
            c = c1;
        }
        open.swap(next);
    }
    return out;
}

QRectF rectOf(const QRectF &plot, const ModeGrid &g, const Run &run)
{
    return QRectF(QPointF(xOf(plot, g.steerEdges[run.c0]), yOf(plot, g.speedEdges[run.r1])),
                  QPointF(xOf(plot, g.steerEdges[run.c1]), yOf(plot, g.speedEdges[run.r0])));
}

// Diagonal hatching of rectangles without clipping: each line of one global
// family (x + y = k d rising, x - y = k d falling) is cut to each rectangle,
// so the lines run on across neighbouring rectangles.
void hatch(QPainter &p, const QVector<QRectF> &rects, qreal d, bool rising)
{
    QVector<QLineF> lines;
    for (const QRectF &r : rects) {
        const qreal x0 = r.left(), x1 = r.right(), y0 = r.top(), y1 = r.bottom();
        const qreal lo = rising ? x0 + y0 : x0 - y1, hi = rising ? x1 + y1 : x1 - y0;
        for (qreal k = std::ceil(lo / d); k * d <= hi; ++k) {
            const qreal K = k * d;
            const qreal xa = rising ? qMax(x0, K - y1) : qMax(x0, K + y0);
            const qreal xb = rising ? qMin(x1, K - y0) : qMin(x1, K + y1);
            if (xb > xa)
                lines << (rising ? QLineF(xa, K - xa, xb, K - xb) : QLineF(xa, xa - K, xb, xb - K));
        }
    }
    p.drawLines(lines);
}

QPen hatchPen(bool gap, qreal f)
{
    return QPen(gap ? QColor(110, 110, 110) : QColor(0, 0, 0, 150), qMax(f / 11, 0.5),
                Qt::SolidLine, Qt::FlatCap);
}
qreal hatchSpacing(qreal f)
{
    return qMax(f * 0.55, 3.0);
}

void setFontPx(QPainter &p, qreal px, bool bold = false)
{
    QFont font = p.font();
    font.setPixelSize(qMax(1, qRound(px)));
    font.setBold(bold);
    p.setFont(font);
}

// The gap and overlap swatches and what the numbers mean, on one line.
void paintLegend(QPainter &p, const QRectF &row, qreal f, bool chinese)
{
    setFontPx(p, f);
    const QFontMetricsF fm(p.font(), p.device());
    const QString texts[3] = {
        tr2(chinese, "间隙：没有区域适用", "gap: no area applies"),
        tr2(chinese, "重叠：后面的区域被遮蔽", "overlap: later areas shadowed"),
        tr2(chinese, "数字：适用的区域", "number: the area that applies"),
    };
    qreal x = row.left();
    const qreal sw = 1.8 * f, sh = 1.1 * f;
    for (int i = 0; i < 3; ++i) {
        const qreal need = (i < 2 ? sw + 0.4 * f : 0) + fm.horizontalAdvance(texts[i]);
        if (x + need > row.right())
            break;
        if (i < 2) {
            const QRectF swatch(x, row.center().y() - sh / 2, sw, sh);
            p.fillRect(swatch, i == 0 ? gapColor() : QColor(Qt::white));
            p.setPen(hatchPen(i == 0, f));
            hatch(p, {swatch}, hatchSpacing(f), i == 0);
            p.setPen(QPen(QColor(60, 60, 60), qMax(f / 14, 0.5)));
            p.setBrush(Qt::NoBrush);
            p.drawRect(swatch);
            x += sw + 0.4 * f;
        }
        p.setPen(Qt::black);
        p.drawText(QRectF(x, row.top(), fm.horizontalAdvance(texts[i]) + 1, row.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, texts[i]);
        x += fm.horizontalAdvance(texts[i]) + 1.4 * f;
    }
}

// "2, 5–9, 12"
QString areaList(const QVector<int> &areas)
{
    QStringList parts;
    for (int i = 0; i < areas.size();) {
        int j = i;
        while (j + 1 < areas.size() && areas[j + 1] == areas[j] + 1)
            ++j;
        parts << (j > i + 1 ? QStringLiteral("%1–%2").arg(areas[i]).arg(areas[j])
                            : QString::number(areas[i]));
        if (j == i + 1)
            parts << QString::number(areas[j]);
        i = j + 1;
    }
    return parts.join(QStringLiteral(", "));
}

void paintAxes(QPainter &p, const QRectF &plot, qreal f, bool chinese)
{
    setFontPx(p, f);
    const QFontMetricsF fm(p.font(), p.device());
    const qreal cw = plot.width() / kColumns, ch = plot.height() / kRows;
    const QPen line(QColor(40, 40, 40), qMax(f / 14, 0.5));
    p.setPen(line);
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    // Labels as dense as they stay apart: every 60 degrees, 90 or 180.
    int steerStep = 60;
    while (steerStep < 180 && plot.width() * steerStep / 360 < fm.horizontalAdvance("-180") * 1.6)
        steerStep = steerStep == 60 ? 90 : 180;
    int speedStep = 100;
    while (speedStep < 300 && plot.height() * speedStep / 600 < 1.6 * f)
        speedStep = speedStep == 100 ? 150 : 300;
    const qreal tick = 0.35 * f;
    for (int s = kSteerMin; s <= kSteerMax; s += 30) {
        const qreal x = xOf(plot, s) + cw / 2;
        const bool labelled = s % steerStep == 0;
        p.drawLine(QPointF(x, plot.bottom()),
                   QPointF(x, plot.bottom() + (labelled ? tick : tick / 2)));
        if (labelled)
            p.drawText(QRectF(x - 2.5 * f, plot.bottom() + tick, 5 * f, 1.3 * f),
                       Qt::AlignHCenter | Qt::AlignTop, QString::number(s));
    }
    for (int v = kSpeedMin; v <= kSpeedMax; v += 50) {
        const qreal y = yOf(plot, v) - ch / 2;
        const bool labelled = v % speedStep == 0;
        p.drawLine(QPointF(plot.left() - (labelled ? tick : tick / 2), y), QPointF(plot.left(), y));
        if (labelled)
            p.drawText(QRectF(plot.left() - tick - 3.4 * f, y - 0.7 * f, 3.2 * f, 1.4 * f),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }
    p.drawText(QRectF(plot.left(), plot.bottom() + tick + 1.2 * f, plot.width(), 1.4 * f),
               Qt::AlignHCenter | Qt::AlignTop, tr2(chinese, "转向角 (°)", "steering angle (°)"));
    p.save();
    p.translate(plot.left() - tick - 3.6 * f, plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2, -1.4 * f, plot.height(), 1.4 * f),
               Qt::AlignHCenter | Qt::AlignBottom, tr2(chinese, "车速", "speed"));
    p.restore();
    // The standing vehicle and the straight course, faintly.
    p.setPen(QPen(QColor(0, 0, 0, 70), qMax(f / 16, 0.5), Qt::DashLine));
    const qreal x0 = xOf(plot, 0) + cw / 2, y0 = yOf(plot, 0) - ch / 2;
    p.drawLine(QPointF(x0, plot.top()), QPointF(x0, plot.bottom()));
    p.drawLine(QPointF(plot.left(), y0), QPointF(plot.right(), y0));
}

} // namespace

QColor areaColor(int area)
{
    // 64 light colours picked one by one as far as possible (in CIELAB)
    // from those already taken and from the grey of the gaps: the first
    // areas, which small designs use, differ the most.
    static const QRgb kColours[kAreaCount] = {
        0xf0b068, 0xe848a0, 0x28c060, 0x3880f8, 0x28f8f0, 0xe85048, 0x2898c8, 0xd8f068,
        0xe8b0f8, 0x589070, 0xb87878, 0x889030, 0xb8f0b0, 0xb860d0, 0x9080a8, 0xb0a078,
        0x88e0f8, 0xd87028, 0xf8d048, 0xf888b0, 0x88a8f8, 0x28f8b8, 0xf8e8a8, 0xf89078,
        0x68a828, 0xa0f888, 0xf05078, 0xf0b8d0, 0x28b0b0, 0x28b888, 0xb07848, 0xf8c0a8,
        0xb870b0, 0x78b068, 0xc8c8f8, 0x9880e0, 0x98d0b8, 0xd0c060, 0xe8a028, 0xf888e0,
        0xb08828, 0xb0b828, 0xb8d878, 0x80f0c8, 0xd86870, 0x289850, 0xb8c890, 0x4890a0,
        0x80c0f8, 0x98f8f0, 0x809058, 0x78e098, 0xc080a0, 0xf8a0a8, 0x2888d8, 0x28c8f8,
        0xd890f8, 0x60f090, 0xa0d858, 0x28e0f0, 0xd86848, 0xd058b8, 0xb098d8, 0xa08848,
    };
    return QColor(kColours[area & (kAreaCount - 1)]);
}

QColor gapColor()
{
    return QColor(222, 222, 222);
}

qreal fontSizeFor(const QRectF &target)
{
    return qMax(4.0, qMin(target.width() / 50, target.height() / 34));
}

QRectF plotRect(const QRectF &target, qreal f, bool legend)
{
    const qreal top = (legend ? 2.2 : 0.6) * f;
    return target.adjusted(5.6 * f, top, -1.4 * f, -3.2 * f);
}

bool stateAt(const QRectF &plot, const QPointF &pos, int *steer, int *speed)
{
    if (!plot.contains(pos) || plot.width() <= 0 || plot.height() <= 0)
        return false;
    const int c = qBound(0, int((pos.x() - plot.left()) * kColumns / plot.width()), kColumns - 1);
    const int r = qBound(0, int((plot.bottom() - pos.y()) * kRows / plot.height()), kRows - 1);
    *steer = kSteerMin + c;
    *speed = kSpeedMin + r;
    return true;
}

QPointF cellCentre(const QRectF &plot, int steer, int speed)
{
    return QPointF(xOf(plot, steer) + plot.width() / kColumns / 2,
                   yOf(plot, speed) - plot.height() / kRows / 2);
}

QString modeTitle(int mode, bool chinese)
{
    return chinese ? QStringLiteral("模式 %1").arg(mode) : QStringLiteral("mode %1").arg(mode);
}

void paintGrid(QPainter &p, const QRectF &target, const ModeGrid &g, bool chinese, qreal f,
               bool legend)
{
    if (f <= 0)
        f = fontSizeFor(target);
    const QRectF plot = plotRect(target, f, legend);
    if (plot.width() < 4 || plot.height() < 4 || g.blockCount() == 0)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    // Fills: the area that applies, grey where it is untouched or none.
    const auto fillKey = [&g](int b) { return g.isGap(b) ? -1 : int(g.applied[b]); };
    const QVector<Run> fills = mergedRuns(g, fillKey);
    QVector<QRectF> gaps, overlapRects;
    QHash<int, QRectF> labelRect;
    for (const Run &run : fills) {
        const QRectF r = rectOf(plot, g, run);
        p.fillRect(r, run.key < 0 ? gapColor() : areaColor(run.key));
        if (run.key < 0) {
            gaps << r;
        } else {
            const QRectF best = labelRect.value(run.key);
            if (r.width() * r.height() > best.width() * best.height())
                labelRect.insert(run.key, r);
        }
    }
    for (const Run &run : mergedRuns(g, [&g](int b) { return g.isOverlap(b) ? 1 : 0; }))
        if (run.key == 1)
            overlapRects << rectOf(plot, g, run);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(hatchPen(true, f));
    hatch(p, gaps, hatchSpacing(f), true);
    p.setPen(hatchPen(false, f));
    hatch(p, overlapRects, hatchSpacing(f), false);

    // A thin line wherever the applying area changes, so that areas of
    // close colours still part.
    QVector<QLineF> borders;
    const int cols = g.columns();
    for (int r = 0; r < g.rows(); ++r)
        for (int c = 0; c < cols; ++c) {
            const int b = r * cols + c;
            if (c + 1 < cols && fillKey(b) != fillKey(b + 1)) {
                const qreal x = xOf(plot, g.steerEdges[c + 1]);
                borders << QLineF(x, yOf(plot, g.speedEdges[r]), x, yOf(plot, g.speedEdges[r + 1]));
            }
            if (r + 1 < g.rows() && fillKey(b) != fillKey(b + cols)) {
                const qreal y = yOf(plot, g.speedEdges[r + 1]);
                borders << QLineF(xOf(plot, g.steerEdges[c]), y, xOf(plot, g.steerEdges[c + 1]), y);
            }
        }
    p.setPen(QPen(QColor(30, 30, 30), qMax(f / 12, 0.5)));
    p.drawLines(borders);

    // The area number in the largest rectangle of each area, where it fits.
    setFontPx(p, f, true);
    const QFontMetricsF fm(p.font(), p.device());
    for (auto it = labelRect.cbegin(); it != labelRect.cend(); ++it) {
        const QString text = QString::number(it.key());
        const QSizeF box(fm.horizontalAdvance(text) + 0.6 * f, 1.3 * f);
        if (it.value().width() < box.width() + 0.2 * f ||
            it.value().height() < box.height() + 0.2 * f)
            continue;
        const QRectF at(it.value().center() - QPointF(box.width() / 2, box.height() / 2), box);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 215));
        p.drawRoundedRect(at, 0.3 * f, 0.3 * f);
        p.setPen(Qt::black);
        p.drawText(at, Qt::AlignCenter, text);
    }
    paintAxes(p, plot, f, chinese);
    if (legend)
        paintLegend(p, QRectF(plot.left(), target.top(), plot.width(), 1.8 * f), f, chinese);
    p.restore();
}

void paint(QPainter &p, const QRectF &target, const QVector<AreaRecord> &areas, int mode,
           bool chinese)
{
    p.fillRect(target, Qt::white);
    paintGrid(p, target, modeGrid(areas, mode), chinese);
}

void paintAllModes(QPainter &p, const QRectF &target, const QVector<AreaRecord> &areas,
                   bool chinese)
{
    p.save();
    p.fillRect(target, Qt::white);
    const qreal f = qMax(4.0, qMin(target.width() / 110, target.height() / 70));
    QVector<ModeGrid> grids;
    for (int m = 0; m < kModes; ++m)
        grids << modeGrid(areas, m);
    const Coverage cover = coverage(grids);
    const QRectF inner = target.adjusted(f, 0.4 * f, -f, -0.4 * f);
    paintLegend(p, QRectF(inner.left() + 5.6 * f, inner.top(), inner.width(), 2 * f), f, chinese);
    const QRectF charts = inner.adjusted(0, 2.2 * f, 0, -2.4 * f);
    const qreal cw = charts.width() / 3, chh = charts.height() / 2;
    for (int m = 0; m < kModes; ++m) {
        const QRectF cell(charts.left() + (m % 3) * cw, charts.top() + (m / 3) * chh, cw, chh);
        setFontPx(p, f * 1.1, true);
        p.setPen(Qt::black);
        const QString title = chinese ? QStringLiteral("%1   间隙 %2，重叠 %3 个状态")
                                            .arg(modeTitle(m, true))
                                            .arg(grids[m].gaps)
                                            .arg(grids[m].overlaps)
                                      : QStringLiteral("%1   gaps %2, overlaps %3 states")
                                            .arg(modeTitle(m, false))
                                            .arg(grids[m].gaps)
                                            .arg(grids[m].overlaps);
        p.drawText(QRectF(cell.left() + 5.6 * f, cell.top(), cell.width() - 5.6 * f, 1.8 * f),
                   Qt::AlignLeft | Qt::AlignVCenter, title);
        paintGrid(p, cell.adjusted(0, 1.8 * f, -0.6 * f, -0.2 * f), grids[m], chinese, f, false);
    }
    setFontPx(p, f * 1.1);
    p.setPen(Qt::black);
    const QString list =
        cover.unreachable.isEmpty() ? tr2(chinese, "无", "none") : areaList(cover.unreachable);
    p.drawText(QRectF(inner.left() + 5.6 * f, charts.bottom() + 0.4 * f, inner.width(), 2 * f),
               Qt::AlignLeft | Qt::AlignVCenter,
               tr2(chinese, "不可达区域：", "Unreachable areas: ") + list);
    p.restore();
}

} // namespace CoverageChart
