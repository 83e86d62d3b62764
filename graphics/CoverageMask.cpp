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

// Coverage adds up to a full pixel, as the painter's nonzero fill adds the
// overlapping parts of a stroke's outline.
inline void add(std::uint16_t &cell, int units)
{
    cell = std::uint16_t(std::min(int(cell) + units, kFull));
}
} // namespace

CoverageMask::CoverageMask(const QRect &area)
    : m_left(area.left())
    , m_top(area.top())
    , m_width(std::max(0, area.width()))
    , m_height(std::max(0, area.height()))
    , m_usedTop(std::max(0, area.height()))
    , m_usedBottom(-1)
{
    m_cells.assign(size_t(m_width) * size_t(m_height), 0);
}

void CoverageMask::setRowSpan(int sy, double xl, double xr)
{
    xl = std::max(xl, 0.0);
    xr = std::min(xr, double(m_width));
    if (xl >= xr || sy < 0 || sy >= m_height * kRows)
        return;
    const int row = sy / kRows;
    std::uint16_t *cells = m_cells.data() + size_t(row) * size_t(m_width);
    const int c0 = int(xl), c1 = std::min(int(xr), m_width - 1);
    // Each row of samples is 1 / kRows of a pixel tall: its exact width
    // within each pixel.
    constexpr double unit = double(kFull) / kRows;
    if (c0 == c1) {
        add(cells[c0], int((xr - xl) * unit + 0.5));
    } else {
        add(cells[c0], int((c0 + 1 - xl) * unit + 0.5));
        for (int c = c0 + 1; c < c1; ++c)
            add(cells[c], int(unit));
        add(cells[c1], int((xr - c1) * unit + 0.5));
    }
    m_usedTop = std::min(m_usedTop, row);
    m_usedBottom = std::max(m_usedBottom, row);
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
    forSquare(centre, side, [this](size_t cell, int area) {
        m_cells[cell] = std::uint16_t(std::min(m_cells[cell] + area, kFull));
    });
}

void CoverageMask::addDots(const QPolygonF &centres, const QVector<int> &repeats, double side)
{
    // The painter strokes points sixteen at a time: within a batch their
    // coverage adds up, and each batch is blended over what is there.
    constexpr int kBatch = 16;
    std::vector<std::uint16_t> batch(m_cells.size(), 0);
    std::vector<size_t> touched;
    touched.reserve(kBatch * 9);
    int inBatch = 0;
    const auto blend = [&] {
        for (const size_t i : touched) {
            std::uint16_t &cell = m_cells[i];
            cell = std::uint16_t(cell + (batch[i] * (kFull - cell) + kFull / 2) / kFull);
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

bool CoverageMask::isFull(int left, int top, int right, int bottom) const
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, m_width - 1);
    bottom = std::min(bottom, m_height - 1);
    for (int row = top; row <= bottom; ++row) {
        const std::uint16_t *cells = m_cells.data() + size_t(row) * size_t(m_width);
        for (int c = left; c <= right; ++c)
            if (cells[c] < kFull)
                return false;
    }
    return true;
}

void CoverageMask::addConvex(const QPointF *points, int count)
{
    if (count < 3 || count > 8)
        return;
    // The polygon as the rows between its lowest and highest vertex, each
    // bounded on the left by the greatest and on the right by the least of
    // the lines through its edges that face that way.
    struct Bound {
        double x0, slope; // x = x0 + slope * y
    };
    Bound lower[8], upper[8];
    int nl = 0, nu = 0;
    QPointF v[8];
    double twiceArea = 0;
    for (int i = 0; i < count; ++i)
        v[i] = points[i] - QPointF(m_left, m_top);
    double top = v[0].y(), bottom = v[0].y(), left = v[0].x(), right = v[0].x();
    for (int i = 0; i < count; ++i) {
        const QPointF &a = v[i], &b = v[(i + 1) % count];
        twiceArea += a.x() * b.y() - a.y() * b.x();
        top = std::min(top, a.y());
        bottom = std::max(bottom, a.y());
        left = std::min(left, a.x());
        right = std::max(right, a.x());
    }
    if (twiceArea == 0 || right < 0 || left > m_width || bottom < 0 || top > m_height)
        return;
    // Pixels covered already stay as they are: a noisy sweep's thousands
    // of steps mostly land where others did.
    const int cl = int(std::floor(left)), ct = int(std::floor(top));
    const int cr = int(std::floor(right)), cb = int(std::floor(bottom));
    if ((cr - cl + 1) * (cb - ct + 1) <= 128 && isFull(cl, ct, cr, cb))
        return;
    const double turn = twiceArea > 0 ? 1 : -1;
    for (int i = 0; i < count; ++i) {
        const QPointF &a = v[i], &b = v[(i + 1) % count];
        const double dy = b.y() - a.y();
        if (dy == 0)
            continue; // a top or bottom edge: the rows end there
        const double slope = (b.x() - a.x()) / dy;
        const Bound bound{a.x() - slope * a.y(), slope};
        if (turn * dy > 0)
            upper[nu++] = bound;
        else
            lower[nl++] = bound;
    }
    const int sy0 = std::max(firstSample(top), 0);
    const int sy1 = std::min(lastSample(bottom), m_height * kRows - 1);
    for (int row = sy0 / kRows; row <= sy1 / kRows; ++row) {
        const int from = std::max(sy0, row * kRows), to = std::min(sy1, row * kRows + kRows - 1);
        double spans[kRows][2];
        double lo = 1e300, hi = -1e300;
        for (int sy = from; sy <= to; ++sy) {
            const double y = (sy + 0.5) / kRows;
            double xl = -1e300, xr = 1e300;
            for (int e = 0; e < nl; ++e)
                xl = std::max(xl, lower[e].x0 + lower[e].slope * y);
            for (int e = 0; e < nu; ++e)
                xr = std::min(xr, upper[e].x0 + upper[e].slope * y);
            double *s = spans[sy - from];
            s[0] = std::max(xl, 0.0);
            s[1] = std::min(xr, double(m_width));
            if (s[0] < s[1]) {
                lo = std::min(lo, s[0]);
                hi = std::max(hi, s[1]);
            }
        }
        // Pixels covered already stay as they are.
        if (lo >= hi || isFull(int(lo), row, std::min(int(hi), m_width - 1), row))
            continue;
        for (int sy = from; sy <= to; ++sy)
            if (spans[sy - from][0] < spans[sy - from][1])
                setRowSpan(sy, spans[sy - from][0], spans[sy - from][1]);
    }
}

void CoverageMask::addStroke(const QPolygonF &chain, bool closed, double width)
{
    QPolygonF p;
    p.reserve(chain.size());
    for (const QPointF &q : chain)
        if (p.isEmpty() || q != p.last())
            p << q;
    if (closed && p.size() > 1 && p.first() == p.last())
        p.removeLast();
    const int n = p.size();
    const double hw = width / 2;
    if (n == 1) {
        if (!closed)
            addSquare(p[0], width);
        return;
    }
    if (n == 0)
        return;
    const int segments = closed ? n : n - 1;
    // The offset to the left of segment k, half a pen long.
    const auto normal = [&](int k) {
        const QPointF d = p[(k + 1) % n] - p[k];
        const double len = std::sqrt(d.x() * d.x() + d.y() * d.y());
        return QPointF(-d.y(), d.x()) * (hw / len);
    };
    QPointF prevNormal = closed ? normal(n - 1) : QPointF();
    for (int k = 0; k < segments; ++k) {
        QPointF a = p[k], b = p[(k + 1) % n];
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
            const QPointF piece[5] = {a - nk * side, a + prevNormal * side, a + nk * side,
                                      b + nk * side, b - nk * side};
            addConvex(piece, 5);
        } else {
            const QPointF quad[4] = {a + nk, b + nk, b - nk, a - nk};
            addConvex(quad, 4);
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
