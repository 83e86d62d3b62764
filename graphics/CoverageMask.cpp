#include "graphics/CoverageMask.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
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
    // What lies beyond the old size starts at zero too; the rest was left
    // at zero by the last dots and the last stroke.
    m_batch.resize(cells);
    m_edges.resize(m_width, m_height);
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
    // Dots blend over what is there, strokes included.
    sumEdges();
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

void CoverageMask::addStroke(const QPolygonF &chain, bool closed, double width)
{
    // In the mask's own pixels, without repeated vertices.
    std::vector<QPointF> &p = m_chain;
    p.clear();
    p.reserve(size_t(chain.size()));
    const QPointF origin(m_left, m_top);
    // (Only exact repeats: a step however short still has its direction.)
    for (const QPointF &q : chain) {
        const QPointF at = q - origin;
        if (std::isfinite(at.x()) && std::isfinite(at.y()) &&
            (p.empty() || at.x() != p.back().x() || at.y() != p.back().y()))
            p.push_back(at);
    }
    if (closed && p.size() > 1 && p.front().x() == p.back().x() && p.front().y() == p.back().y())
        p.pop_back();
    const int n = int(p.size());
    if (n == 1) {
        if (!closed)
            addSquare(p[0] + origin, width);
        return;
    }
    if (n == 0 || !(width > 0))
        return;
    m_edges.addStroke(p.data(), n, closed, width / 2);
}

void CoverageMask::sumEdges()
{
    m_edges.takeInto(m_cells.data(), m_usedTop, m_usedBottom);
}

void CoverageMask::addPolygon(const QPointF *points, int count)
{
    if (count < 3)
        return;
    double twiceArea = 0;
    for (int i = 0; i < count; ++i) {
        const QPointF &a = points[i], &b = points[i + 1 < count ? i + 1 : 0];
        if (!std::isfinite(a.x()) || !std::isfinite(a.y()))
            return;
        twiceArea += a.x() * b.y() - a.y() * b.x();
    }
    // Strokes run with the inside to the right of a downward edge, which
    // makes their area negative on a screen: polygons are turned to match.
    const int dir = twiceArea > 0 ? -1 : 1;
    const QPointF origin(m_left, m_top);
    for (int i = 0; i < count; ++i) {
        const QPointF a = points[i] - origin, b = points[i + 1 < count ? i + 1 : 0] - origin;
        m_edges.addEdge(a.x(), a.y(), b.x(), b.y(), dir);
    }
}

int CoverageMask::coverage(int x, int y)
{
    sumEdges();
    x -= m_left;
    y -= m_top;
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_cells[size_t(y) * size_t(m_width) + size_t(x)];
}

void CoverageMask::paint(QPainter *painter, const QColor &colour)
{
    sumEdges();
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
    const int width = image.width(), height = image.height();
    for (int y = 0; y < height; ++y) {
        const std::uint16_t *cells =
            m_cells.data() + size_t(m_usedTop + y) * size_t(m_width) + size_t(first);
        QRgb *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            out[x] = shade[cells[x]];
    }
    painter->save();
    painter->setWorldTransform(QTransform());
    painter->drawImage(QPoint(m_left + first, m_top + m_usedTop), image);
    painter->restore();
}
