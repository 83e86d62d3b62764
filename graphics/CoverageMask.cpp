#include "graphics/CoverageMask.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
// Rows of samples per pixel for lines and polygons; across, widths are exact.
constexpr int kRows = 4;

// The sample rows whose centres lie within [from, to] pixels.
inline int firstSample(double from)
{
    return int(std::ceil(from * kRows - 0.5));
}
inline int lastSample(double to)
{
    return int(std::floor(to * kRows - 0.5));
}

// A cell counts coverage in 256ths of its pixel.
constexpr int kFull = 256;
// The painter draws a point as a line this long with square caps.
constexpr double kPointLength = 1.0 / 63;

} // namespace

CoverageMask::CoverageMask(const QRect &area)
{
    reset(area);
}

void CoverageMask::reset(const QRect &area)
{
    m_left = area.left();
    m_top = area.top();
    m_width = std::max(0, area.width());
    m_height = std::max(0, area.height());
    m_usedTop = m_height;
    m_usedBottom = -1;
    const size_t cells = size_t(m_width) * size_t(m_height);
    m_cells.assign(cells, 0);
    m_words = (m_width + 63) / 64;
    m_full.assign(size_t(m_words) * size_t(m_height), 0);
    // What lies beyond the old size starts at zero too; the rest was left
    // at zero by the last dots.
    m_batch.resize(cells);
}

// Coverage adds up to a full pixel, as the painter's nonzero fill adds the
// overlapping parts of a stroke's outline.
inline void CoverageMask::addTo(size_t cell, int units)
{
    const int sum = m_cells[cell] + units;
    if (sum >= kFull) {
        m_cells[cell] = kFull;
        const size_t row = cell / size_t(m_width), c = cell % size_t(m_width);
        m_full[row * size_t(m_words) + c / 64] |= std::uint64_t(1) << (c % 64);
    } else {
        m_cells[cell] = std::uint16_t(sum);
    }
}

inline void CoverageMask::addSpan(std::uint16_t *cells, std::uint64_t *full, double xl, double xr)
{
    // Each row of samples is 1 / kRows of a pixel tall: its exact width
    // within each pixel.
    constexpr double unit = double(kFull) / kRows;
    const auto add = [cells, full](int c, int units) {
        const int sum = cells[c] + units;
        if (sum >= kFull) {
            cells[c] = kFull;
            full[c / 64] |= std::uint64_t(1) << (c % 64);
        } else {
            cells[c] = std::uint16_t(sum);
        }
    };
    const int c0 = int(xl), c1 = std::min(int(xr), m_width - 1);
    if (c0 == c1) {
        add(c0, int((xr - xl) * unit + 0.5));
    } else {
        add(c0, int((c0 + 1 - xl) * unit + 0.5));
        for (int c = c0 + 1; c < c1; ++c)
            add(c, int(unit));
        add(c1, int((xr - c1) * unit + 0.5));
    }
}

template <typename Sink> void CoverageMask::forSquare(const QPointF &centre, double side, Sink sink)
{
    // The exact area of each pixel the square covers: the painter's own
    // rasterizer measures areas too.
    const double x0 = std::max(centre.x() - m_left - side / 2, 0.0);
    const double x1 = std::min(centre.x() - m_left + side / 2 + kPointLength, double(m_width));
    const double y0 = std::max(centre.y() - m_top - side / 2, 0.0);
    const double y1 = std::min(centre.y() - m_top + side / 2, double(m_height));
    if (x0 >= x1 || y0 >= y1)
        return;
    const int c0 = int(x0), c1 = std::min(int(std::ceil(x1)) - 1, m_width - 1);
    const int r0 = int(y0), r1 = std::min(int(std::ceil(y1)) - 1, m_height - 1);
    for (int row = r0; row <= r1; ++row) {
        const double h = std::min(y1, row + 1.0) - std::max(y0, double(row));
        for (int c = c0; c <= c1; ++c) {
            const double w = std::min(x1, c + 1.0) - std::max(x0, double(c));
            sink(size_t(row) * size_t(m_width) + size_t(c), int(w * h * kFull + 0.5));
        }
    }
    m_usedTop = std::min(m_usedTop, r0);
    m_usedBottom = std::max(m_usedBottom, r1);
}

void CoverageMask::addSquare(const QPointF &centre, double side)
{
    forSquare(centre, side, [this](size_t cell, int area) { addTo(cell, area); });
}

void CoverageMask::addDots(const QPolygonF &centres, const QVector<int> &repeats, double side)
{
    // The painter strokes points sixteen at a time: within a batch their
    // coverage adds up, and each batch is blended over what is there.
    constexpr int kBatch = 16;
    std::vector<std::uint16_t> &batch = m_batch;
    std::vector<size_t> &touched = m_touched;
    touched.clear();
    int inBatch = 0;
    const auto blend = [&] {
        for (const size_t i : touched) {
            const int cell = m_cells[i];
            addTo(i, (batch[i] * (kFull - cell) + kFull / 2) / kFull);
            batch[i] = 0;
        }
        touched.clear();
        inBatch = 0;
    };
    for (int i = 0; i < centres.size(); ++i) {
        int times = i < repeats.size() ? repeats[i] : 1;
        while (times > 0) {
            const int now = std::min(times, kBatch - inBatch);
            forSquare(centres[i], side, [&, now](size_t cell, int area) {
                if (batch[cell] == 0)
                    touched.push_back(cell);
                batch[cell] = std::uint16_t(std::min(batch[cell] + area * now, kFull));
            });
            times -= now;
            inBatch += now;
            if (inBatch == kBatch)
                blend();
        }
    }
    blend();
}

inline bool CoverageMask::isRowFull(int row, int left, int right) const
{
    const std::uint64_t *words = m_full.data() + size_t(row) * size_t(m_words);
    const int w0 = left / 64, w1 = right / 64;
    const std::uint64_t head = ~std::uint64_t(0) << (left % 64);
    const std::uint64_t tail = ~std::uint64_t(0) >> (63 - right % 64);
    if (w0 == w1)
        return (words[w0] & head & tail) == (head & tail);
    if ((words[w0] & head) != head || (words[w1] & tail) != tail)
        return false;
    for (int w = w0 + 1; w < w1; ++w)
        if (words[w] != ~std::uint64_t(0))
            return false;
    return true;
}

bool CoverageMask::isFull(int left, int top, int right, int bottom) const
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, m_width - 1);
    bottom = std::min(bottom, m_height - 1);
    if (left > right)
        return true;
    for (int row = top; row <= bottom; ++row)
        if (!isRowFull(row, left, right))
            return false;
    return true;
}

void CoverageMask::addConvex(const QPointF *points, int count)
{
    if (count < 3 || count > 8)
        return;
    double x[8], y[8];
    for (int i = 0; i < count; ++i) {
        x[i] = points[i].x() - m_left;
        y[i] = points[i].y() - m_top;
    }
    fillConvex(x, y, count);
}

void CoverageMask::fillConvex(const double *x, const double *y, int count)
{
    double twiceArea = 0;
    double top = y[0], bottom = y[0], left = x[0], right = x[0];
    for (int i = 0; i < count; ++i) {
        const int j = i + 1 < count ? i + 1 : 0;
        twiceArea += x[i] * y[j] - y[i] * x[j];
        top = std::min(top, y[i]);
        bottom = std::max(bottom, y[i]);
        left = std::min(left, x[i]);
        right = std::max(right, x[i]);
    }
    if (twiceArea == 0 || right < 0 || left > m_width || bottom < 0 || top > m_height)
        return;
    const int sy0 = std::max(firstSample(top), 0);
    const int sy1 = std::min(lastSample(bottom), m_height * kRows - 1);
    if (sy0 > sy1)
        return;
    const int cl = std::max(int(left), 0), cr = std::min(int(right), m_width - 1);
    // The polygon as the rows between its lowest and highest vertex, each
    // bounded on the left by the greatest and on the right by the least of
    // the lines through its edges that face that way. They are worked out
    // only once a row has room left: a noisy sweep's thousands of steps
    // mostly land where others covered every pixel already.
    double lowerX[8], lowerSlope[8], upperX[8], upperSlope[8]; // x = x0 + slope * y
    int nl = -1, nu = 0;
    const int row0 = sy0 / kRows, row1 = sy1 / kRows;
    for (int row = row0; row <= row1; ++row) {
        if (isRowFull(row, cl, cr))
            continue;
        if (nl < 0) {
            nl = 0;
            const bool turn = twiceArea > 0;
            for (int i = 0; i < count; ++i) {
                const int j = i + 1 < count ? i + 1 : 0;
                const double dy = y[j] - y[i];
                if (dy == 0)
                    continue; // a top or bottom edge: the rows end there
                const double slope = (x[j] - x[i]) / dy;
                if ((dy > 0) == turn) {
                    upperX[nu] = x[i] - slope * y[i];
                    upperSlope[nu++] = slope;
                } else {
                    lowerX[nl] = x[i] - slope * y[i];
                    lowerSlope[nl++] = slope;
                }
            }
        }
        const int from = std::max(sy0, row * kRows), to = std::min(sy1, row * kRows + kRows - 1);
        double spans[kRows][2];
        double lo = m_width, hi = 0;
        for (int sy = from; sy <= to; ++sy) {
            const double sampleY = (sy + 0.5) / kRows;
            double xl = 0, xr = m_width;
            for (int e = 0; e < nl; ++e)
                xl = std::max(xl, lowerX[e] + lowerSlope[e] * sampleY);
            for (int e = 0; e < nu; ++e)
                xr = std::min(xr, upperX[e] + upperSlope[e] * sampleY);
            spans[sy - from][0] = xl;
            spans[sy - from][1] = xr;
            if (xl < xr) {
                lo = std::min(lo, xl);
                hi = std::max(hi, xr);
            }
        }
        // Pixels covered already stay as they are.
        if (lo >= hi || isRowFull(row, int(lo), std::min(int(hi), m_width - 1)))
            continue;
        std::uint16_t *cells = m_cells.data() + size_t(row) * size_t(m_width);
        std::uint64_t *full = m_full.data() + size_t(row) * size_t(m_words);
        for (int sy = from; sy <= to; ++sy)
            if (spans[sy - from][0] < spans[sy - from][1])
                addSpan(cells, full, spans[sy - from][0], spans[sy - from][1]);
        m_usedTop = std::min(m_usedTop, row);
        m_usedBottom = std::max(m_usedBottom, row);
    }
}

void CoverageMask::addStroke(const QPolygonF &chain, bool closed, double width)
{
    // In the mask's own pixels, without repeated vertices.
    std::vector<QPointF> &p = m_chain;
    p.clear();
    p.reserve(size_t(chain.size()));
    const QPointF origin(m_left, m_top);
    for (const QPointF &q : chain)
        if (p.empty() || q - origin != p.back())
            p.push_back(q - origin);
    if (closed && p.size() > 1 && p.front() == p.back())
        p.pop_back();
    const int n = int(p.size());
    const double hw = width / 2;
    if (n == 1) {
        if (!closed)
            addSquare(p[0] + origin, width);
        return;
    }
    if (n == 0)
        return;
    const int segments = closed ? n : n - 1;
    // The offset to the left of segment k, half a pen long.
    const auto normal = [&](int k) {
        const QPointF d = p[size_t(k + 1 < n ? k + 1 : 0)] - p[size_t(k)];
        const double len = std::sqrt(d.x() * d.x() + d.y() * d.y());
        return QPointF(-d.y(), d.x()) * (hw / len);
    };
    QPointF prevNormal = closed ? normal(n - 1) : QPointF();
    double x[5], y[5];
    const auto put = [&x, &y](int i, const QPointF &q) {
        x[i] = q.x();
        y[i] = q.y();
    };
    for (int k = 0; k < segments; ++k) {
        QPointF a = p[size_t(k)], b = p[size_t(k + 1 < n ? k + 1 : 0)];
        const QPointF nk = normal(k);
        if (!closed) {
            // Square caps: half a pen beyond either end.
            const QPointF along(nk.y(), -nk.x());
            if (k == 0)
                a -= along;
            if (k == segments - 1)
                b += along;
        }
        // The bevel on the outer side of the turn at p[k] (the inner side
        // lies within both segments) goes with the segment that leaves it:
        // together they are convex.
        const QPointF d1(prevNormal.y(), -prevNormal.x()), d2(nk.y(), -nk.x());
        const double cross = (closed || k > 0) ? d1.x() * d2.y() - d1.y() * d2.x() : 0;
        if (cross != 0) {
            const double side = cross > 0 ? -1 : 1;
            put(0, a - nk * side);
            put(1, a + prevNormal * side);
            put(2, a + nk * side);
            put(3, b + nk * side);
            put(4, b - nk * side);
            fillConvex(x, y, 5);
        } else {
            put(0, a + nk);
            put(1, b + nk);
            put(2, b - nk);
            put(3, a - nk);
            fillConvex(x, y, 4);
        }
        prevNormal = nk;
    }
}

int CoverageMask::coverage(int x, int y) const
{
    x -= m_left;
    y -= m_top;
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_cells[size_t(y) * size_t(m_width) + size_t(x)];
}

void CoverageMask::paint(QPainter *painter, const QColor &colour) const
{
    if (m_usedBottom < m_usedTop)
        return;
    // Only the columns something was put in.
    int first = m_width, last = -1;
    for (int row = m_usedTop; row <= m_usedBottom; ++row) {
        const std::uint16_t *cells = m_cells.data() + size_t(row) * size_t(m_width);
        int c = 0;
        while (c < first && !cells[c])
            ++c;
        first = std::min(first, c);
        c = m_width - 1;
        while (c > last && !cells[c])
            --c;
        last = std::max(last, c);
    }
    if (last < first)
        return;
    QRgb shade[kFull + 1];
    for (int k = 0; k <= kFull; ++k)
        shade[k] = qPremultiply(qRgba(colour.red(), colour.green(), colour.blue(),
                                      (colour.alpha() * k + kFull / 2) / kFull));
    QImage image(last - first + 1, m_usedBottom - m_usedTop + 1,
                 QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        const std::uint16_t *cells =
            m_cells.data() + size_t(m_usedTop + y) * size_t(m_width) + size_t(first);
        QRgb *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            out[x] = shade[cells[x]];
    }
    painter->save();
    painter->setWorldTransform(QTransform());
    painter->drawImage(QPoint(m_left + first, m_top + m_usedTop), image);
    painter->restore();
}
