#include "graphics/EdgeSums.h"

#include <QtGlobal>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
// Rows of samples per pixel; across, widths are exact.
constexpr int kRows = 4;
// A cell's coverage in 256ths; an edge's place across in 256ths of a cell,
// stepped from row to row in 65536ths.
constexpr int kFull = 256;
constexpr int kSub = 256;
constexpr std::int64_t kFine = 65536;
// A crossing at a cell's left edge: the whole cell below bit 32, and a
// whole cell for every cell after it above.
constexpr std::int64_t kCrossing = (std::int64_t(kSub) << 32) + kSub;

// Edges flatter than this (pixels across per row of samples) are placed
// with care.
constexpr double kSteepest = 1e4;
// Steps whose rows and cells are noted together.
constexpr int kNoteEvery = 4;

// The least whole number above v, for |v| well within an int. With it an
// edge takes the rows of samples in (top, bottom]: a row through a vertex
// counts for one of the vertex's edges only.
inline int above(double v)
{
    const int i = int(v);
    return v < i ? i : i + 1;
}
} // namespace

void EdgeSums::resize(int width, int height)
{
    clear();
    if (width == m_width && height == m_height)
        return;
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    // All sums are zero outside a stroke: what is kept of the old rows, as
    // much as what is added.
    m_sums.resize(size_t(m_width + 1) * size_t(m_height) * kRows);
    m_first.assign(size_t(m_height), INT_MAX);
    m_last.assign(size_t(m_height), -1);
    m_top = m_height;
    m_bottom = -1;
}

void EdgeSums::clear()
{
    for (int row = m_top; row <= m_bottom; ++row) {
        if (m_first[size_t(row)] <= m_last[size_t(row)])
            for (int r = 0; r < kRows; ++r) {
                std::int64_t *sums =
                    m_sums.data() + (size_t(row) * kRows + r) * size_t(m_width + 1);
                std::fill(sums + m_first[size_t(row)], sums + m_last[size_t(row)] + 1, 0);
            }
        m_first[size_t(row)] = INT_MAX;
        m_last[size_t(row)] = -1;
    }
    m_top = m_height;
    m_bottom = -1;
}

Q_ALWAYS_INLINE EdgeSums::Corner EdgeSums::corner(double x, double y) const
{
    // The rows of samples an edge crosses are those in (top, bottom]: the
    // first one above each end, and a row through a vertex counts for one
    // of the vertex's edges only.
    Corner c;
    c.x = x;
    c.y = y * kRows - 0.5;
    c.row = above(std::min(std::max(c.y, -1.0), m_height * double(kRows) - 1));
    return c;
}

void EdgeSums::note(double left, double right, int fromRow, int toRow)
{
    // Pixel rows of the rows of samples [fromRow, toRow); cells across.
    if (fromRow >= toRow)
        return;
    // A cell to spare either side for crossings a rounding beyond them.
    const int c0 = left <= 1 ? 0 : left >= m_width ? m_width : int(left) - 1;
    const int c1 = right <= 0 ? 0 : right >= m_width - 1 ? m_width : int(right) + 1;
    const int r0 = fromRow / kRows, r1 = (toRow - 1) / kRows;
    // A step mostly spans two or three rows: those without a loop whose
    // length is a toss-up.
    const auto widen = [this, c0, c1](int r) {
        m_first[size_t(r)] = std::min(m_first[size_t(r)], c0);
        m_last[size_t(r)] = std::max(m_last[size_t(r)], c1);
    };
    widen(r0);
    widen(std::min(r0 + 1, r1));
    widen(std::min(r0 + 2, r1));
    for (int r = r0 + 3; r <= r1; ++r)
        widen(r);
    m_top = std::min(m_top, r0);
    m_bottom = std::max(m_bottom, r1);
}

Q_ALWAYS_INLINE void EdgeSums::edge(const Corner &from, const Corner &to, int dir)
{
    // Worked downwards; an upward edge counts against. (Selected without
    // branches where a noisy sweep makes them a toss-up.)
    const int gap = to.row - from.row, below = gap >> 31; // -1 if `to` is above
    const int s0 = from.row + (gap & below), count = (gap ^ below) - below;
    if (count == 0)
        return;
    dir = from.y > to.y ? -dir : dir;
    // Across at the first row, then row by row. (Either end of the edge
    // gives its line: an edge and its reverse land within a rounding of
    // each other, and what a crossing adds along its row moves smoothly
    // with it.)
    const double slope = (to.x - from.x) / (to.y - from.y);
    const double first = from.x + (s0 - from.y) * slope;
    const std::int64_t whole = dir * kCrossing;
    const std::int64_t flip = dir >> 31; // -1 negates the part left of the edge
    const size_t stride = size_t(m_width) + 1;
    std::int64_t *const rows = m_sums.data() + size_t(s0) * stride;
    std::int64_t *row = rows;
    std::int64_t *const end = rows + size_t(count) * stride;
    // Well inside the area across at both ends (by more than the stepping
    // can stray), stepped in fixed point. An edge all but level across a
    // row takes the careful way: rounding in where it crosses is
    // multiplied by its slope.
    const double last = first + (count - 1) * slope;
    if (std::min(first, last) >= 0.25 && std::max(first, last) < m_width - 0.25 &&
        std::fabs(slope) < kSteepest) {
        std::int64_t x = std::int64_t(first * kFine);
        const std::int64_t step = std::int64_t(slope * kFine);
        for (; row != end; row += stride, x += step) {
            const std::int64_t at = x >> 8; // in 256ths
            row[at >> 8] += whole - (((at & (kSub - 1)) ^ flip) - flip);
        }
        return;
    }
    // Partly or wholly beside the area: left of it counts as its first
    // cell, right of it goes to the spare cell. Wherever it lands, the
    // cells of its rows are taken.
    note(0, m_width, s0, s0 + count);
    for (double x = first; row != end; row += stride, x += slope) {
        const std::int64_t at = std::int64_t(std::min(std::max(x, 0.0), m_width + 0.5) * kSub);
        row[at >> 8] += whole - (((at & (kSub - 1)) ^ flip) - flip);
    }
}

void EdgeSums::addEdge(double x0, double y0, double x1, double y1, int dir)
{
    const Corner from = corner(x0, y0), to = corner(x1, y1);
    note(std::min(x0, x1), std::max(x0, x1), std::min(from.row, to.row),
         std::max(from.row, to.row));
    edge(from, to, dir);
}

Q_ALWAYS_INLINE void EdgeSums::addStep(const Corner &startLeft, const Corner &startRight,
                                       const Corner &endLeft, const Corner &endRight,
                                       const Corner &v, const Corner &lastLeft,
                                       const Corner &lastRight, double turn, bool joins,
                                       bool capsEnd)
{
    if (!joins) {
        edge(startRight, startLeft, 1); // a square cap's end
    } else {
        // The piece before ends in the edge v + n1 -> v - n1, this one
        // starts with v - n2 -> v + n2, and the bevel v, v - t n1, v - t n2
        // on the outer side of the turn runs against both ends' outer
        // halves: of the three only the ends' inner halves and the bevel's
        // far side are left. Written for t = 1 (a turn to the left); the
        // other way round each edge is turned about and counts against.
        // (Chosen rather than branched on: a noisy sweep turns either way
        // at random.) Straight on, the two halves cancel and the bevel is
        // empty; straight back, they and the bevel's far side make the two
        // ends.
        const int left = turn > 0;
        const int t = 2 * left - 1;
        const Corner *const last[2] = {&lastRight, &lastLeft};
        const Corner *const start[2] = {&startRight, &startLeft};
        edge(*last[left], v, t);
        edge(v, *start[left], t);
        edge(*start[1 - left], *last[1 - left], t);
    }
    edge(startLeft, endLeft, 1);
    edge(endRight, startRight, 1);
    if (capsEnd)
        edge(endLeft, endRight, 1);
}

void EdgeSums::addStroke(const QPointF *p, int n, bool closed, double halfWidth)
{
    const int segments = closed ? n : n - 1;
    // The offset to the left of segment k, half a pen long.
    const auto normal = [&](int k) {
        const QPointF d = p[k + 1 < n ? k + 1 : 0] - p[k];
        const double len = std::sqrt(d.x() * d.x() + d.y() * d.y());
        return QPointF(-d.y(), d.x()) * (halfWidth / len);
    };
    // Each segment k is a piece a + nk, b + nk, b - nk, a - nk of its own
    // direction; its corners at b are those the next joint meets.
    Corner endLeft{}, endRight{}; // b + nk and b - nk of the last piece
    if (closed) {
        const QPointF nk = normal(n - 1);
        endLeft = corner(p[0].x() + nk.x(), p[0].y() + nk.y());
        endRight = corner(p[0].x() - nk.x(), p[0].y() - nk.y());
    }
    QPointF prev = closed ? normal(n - 1) : QPointF();
    // The cells a few steps' edges cross, noted together.
    double groupLeft = HUGE_VAL, groupRight = -HUGE_VAL;
    int fromRow = INT_MAX, toRow = INT_MIN;
    for (int k = 0; k < segments; ++k) {
        const QPointF nk = normal(k);
        QPointF a = p[k], b = p[k + 1 < n ? k + 1 : 0];
        // Square caps: half a pen beyond either end of an open polyline.
        const QPointF along(nk.y(), -nk.x());
        if (!closed && k == 0)
            a -= along;
        if (!closed && k == segments - 1)
            b += along;
        const Corner startLeft = corner(a.x() + nk.x(), a.y() + nk.y());
        const Corner startRight = corner(a.x() - nk.x(), a.y() - nk.y());
        const Corner v = corner(p[k].x(), p[k].y());
        const Corner lastLeft = endLeft, lastRight = endRight;
        endLeft = corner(b.x() + nk.x(), b.y() + nk.y());
        endRight = corner(b.x() - nk.x(), b.y() - nk.y());
        // All edges of this step lie among these corners: the rows and
        // cells they cross are noted once for every few steps.
        const bool joins = closed || k > 0;
        const Corner &lastL = joins ? lastLeft : v, &lastR = joins ? lastRight : v;
        const double left =
            std::min(std::min(std::min(startLeft.x, startRight.x), std::min(endLeft.x, endRight.x)),
                     std::min(v.x, std::min(lastL.x, lastR.x)));
        const double right =
            std::max(std::max(std::max(startLeft.x, startRight.x), std::max(endLeft.x, endRight.x)),
                     std::max(v.x, std::max(lastL.x, lastR.x)));
        fromRow = std::min(fromRow, std::min(std::min(std::min(startLeft.row, startRight.row),
                                                      std::min(endLeft.row, endRight.row)),
                                             std::min(v.row, std::min(lastL.row, lastR.row))));
        toRow = std::max(toRow, std::max(std::max(std::max(startLeft.row, startRight.row),
                                                  std::max(endLeft.row, endRight.row)),
                                         std::max(v.row, std::max(lastL.row, lastR.row))));
        groupLeft = std::min(groupLeft, left);
        groupRight = std::max(groupRight, right);
        if (k % kNoteEvery == kNoteEvery - 1 || k == segments - 1) {
            note(groupLeft, groupRight, fromRow, toRow);
            groupLeft = HUGE_VAL;
            groupRight = -HUGE_VAL;
            fromRow = INT_MAX;
            toRow = INT_MIN;
        }
        addStep(startLeft, startRight, endLeft, endRight, v, lastLeft, lastRight,
                prev.x() * nk.y() - prev.y() * nk.x(), joins, !closed && k == segments - 1);
        prev = nk;
    }
}

void EdgeSums::takeInto(std::uint16_t *cells, int &top, int &bottom)
{
    const size_t stride = size_t(m_width) + 1;
    for (int row = m_top; row <= m_bottom; ++row) {
        const int first = m_first[size_t(row)], last = m_last[size_t(row)];
        m_first[size_t(row)] = INT_MAX;
        m_last[size_t(row)] = -1;
        if (first > last)
            continue;
        std::int64_t *rows[kRows];
        for (int r = 0; r < kRows; ++r)
            rows[r] = m_sums.data() + (size_t(row) * kRows + r) * stride;
        std::uint16_t *out = cells + size_t(row) * size_t(m_width);
        // Four rows of samples, each a quarter of the pixel's 256ths.
        std::int64_t run = 0;
        bool any = false;
        for (int c = first; c <= last; ++c) {
            std::int64_t sum = 0;
            for (std::int64_t *r : rows) {
                sum += r[c];
                r[c] = 0;
            }
            const std::int64_t part = std::int32_t(std::uint32_t(sum)); // sign and all
            const std::int64_t units = (run + part + kRows / 2) / kRows;
            run += (sum - part) >> 32;
            if (units > 0 && c < m_width) {
                out[c] = std::uint16_t(std::min<std::int64_t>(out[c] + units, kFull));
                any = true;
            }
        }
        if (any) {
            top = std::min(top, row);
            bottom = std::max(bottom, row);
        }
    }
    m_top = m_height;
    m_bottom = -1;
}
