#pragma once

#include "graphics/EdgeSums.h"

#include <QColor>
#include <QPointF>
#include <QPolygonF>
#include <QRect>
#include <QVector>

#include <cstdint>
#include <vector>

class QPainter;

// Antialiased marks of one colour (two-pixel dots, two-pixel lines) built up
// as coverage of device pixels, then put on the device as one picture. The
// coverage is the one the painter's rasterizer gives the same marks: areas
// (dots exactly, lines in four rows per pixel of exact widths) that add up
// where marks overlap, as the overlapping parts of a stroke's outline do in
// its nonzero fill, up to a full pixel. Each mark costs its own area or
// outline, however many others lie around it: the painter instead slows
// down far beyond that once one shape crosses the same pixel rows many
// thousand times, as a noisy sweep does.
class CoverageMask
{
public:
    CoverageMask() = default;
    // `area` in device pixels: nothing outside it is kept.
    explicit CoverageMask(const QRect &area);
    // Starts again, empty, over `area`, keeping the memory of the last one:
    // a mask lives on from one scan to the next.
    void reset(const QRect &area);

    bool isEmpty() const { return m_width <= 0 || m_height <= 0; }

    // A square of `side` pixels centred on `centre` (a point of a square-
    // capped pen).
    void addSquare(const QPointF &centre, double side);
    // Such squares at each of the points, blended as the painter blends
    // the points of one call; point i counts `repeats[i]` times (once where
    // the list is short).
    void addDots(const QPolygonF &centres, const QVector<int> &repeats, double side);
    // The stroke of a polyline with a pen `width` pixels wide and bevel
    // joins; a closed one also joins its last vertex to its first. Square
    // caps on an open one. Every step is stroked the way it points, however
    // short: a sweep's steps of a millimetre, thousands to a pixel, show
    // their own directions and joins in the painter's picture.
    void addStroke(const QPolygonF &chain, bool closed, double width);
    // A polygon, either way round; where it overlaps itself the parts
    // add up.
    void addPolygon(const QPointF *points, int count);

    // How much of the pixel at device position (x, y) is covered, 0..256.
    // (Strokes are summed up first.)
    int coverage(int x, int y);

    // Draws the marks in `colour` at their device positions.
    void paint(QPainter *painter, const QColor &colour);

private:
    // Adds `units` to a cell, up to a full pixel.
    void addTo(std::size_t cell, int units)
    {
        const int sum = m_cells[cell] + units;
        m_cells[cell] = std::uint16_t(sum < kFull ? sum : kFull);
    }
    // Calls sink(cell index, area in 256ths) for each cell of the square.
    template <typename Sink> void forSquare(const QPointF &centre, double side, Sink sink);
    // Adds what the strokes and polygons enclose to the cells.
    void sumEdges();

    static constexpr int kFull = 256; // a cell counts coverage in 256ths of its pixel
    int m_left = 0; // device pixel of cell 0
    int m_top = 0;
    int m_width = 0; // cells
    int m_height = 0;
    std::vector<std::uint16_t> m_cells; // coverage in 256ths of a pixel
    // Rows of cells something was put in.
    int m_usedTop = 0;
    int m_usedBottom = -1;
    // Kept between calls so that no mark allocates: the coverage of the
    // batch of dots being blended (all zero between calls), the cells it
    // touched, and the polyline being stroked.
    std::vector<std::uint16_t> m_batch;
    std::vector<std::size_t> m_touched;
    std::vector<QPointF> m_chain;
    // Strokes and polygons as their edges.
    EdgeSums m_edges;
};
