#pragma once

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
// its nonzero fill, up to a full pixel. Each mark costs its own area,
// however many others lie around it: the painter instead slows down far
// beyond that once one shape crosses the same pixel rows many thousand
// times, as a noisy sweep does.
class CoverageMask
{
public:
    // `area` in device pixels: nothing outside it is kept.
    explicit CoverageMask(const QRect &area);

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
    // caps on an open one.
    void addStroke(const QPolygonF &chain, bool closed, double width);
    // A convex polygon of up to eight vertices.
    void addConvex(const QPointF *points, int count);

    // How much of the pixel at device position (x, y) is covered, 0..256.
    int coverage(int x, int y) const;

    // Draws the marks in `colour` at their device positions.
    void paint(QPainter *painter, const QColor &colour) const;

private:
    // Adds the span xl..xr (pixels) of sample row sy (a quarter pixel tall).
    void setRowSpan(int sy, double xl, double xr);
    // Whether every pixel of the rectangle (cells, inclusive) is covered.
    bool isFull(int left, int top, int right, int bottom) const;
    // Calls sink(cell index, area in 256ths) for each cell of the square.
    template <typename Sink> void forSquare(const QPointF &centre, double side, Sink sink);

    int m_left; // device pixel of cell 0
    int m_top;
    int m_width; // cells
    int m_height;
    std::vector<std::uint16_t> m_cells; // coverage in 256ths of a pixel
    // Rows of cells something was put in.
    int m_usedTop;
    int m_usedBottom;
};
