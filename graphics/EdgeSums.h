#pragma once

#include <QPointF>

#include <cstdint>
#include <vector>

// Coverage of overlapping shapes given by their edges, four rows of samples
// to a pixel with exact widths across, as the painter's antialiased fill
// adds up the overlapping parts of one outline. Where an edge crosses a row
// of samples it adds the part of its cell right of it and a whole cell to
// every cell after it, signed by its direction; summed along the row that
// gives each cell's coverage, however many shapes overlap. A stroke of
// thousands of short pieces costs their outlines, not their areas.
//
// Coordinates are cells (pixels) from the top left of the area. Left of the
// area counts as its first cell; right of it, nothing.
class EdgeSums
{
public:
    // Over `width` x `height` cells, empty.
    void resize(int width, int height);
    bool isEmpty() const { return m_bottom < m_top; }

    // One edge of a shape whose inside lies right of its downward edges,
    // counted `dir` (1 or -1) times.
    void addEdge(double x0, double y0, double x1, double y1, int dir);
    // The stroke of the polyline `p` of `n` vertices (no two alike in a
    // row) with a pen `halfWidth` to either side, bevel joins, square caps
    // at the ends of an open one. Each segment is stroked the way it
    // points, however short, and its piece overlaps those next to it: all
    // of it adds up, as in the painter's fill of a stroke's outline.
    void addStroke(const QPointF *p, int n, bool closed, double halfWidth);

    // Adds the coverage of the edges, in 256ths, to `cells` (`width` a
    // row, each up to 256) and starts empty again. The rows something was
    // added to widen [top, bottom].
    void takeInto(std::uint16_t *cells, int &top, int &bottom);

private:
    // An end of an edge: across in pixels, down in rows of samples, and the
    // first row of samples below it.
    struct Corner {
        double x;
        double y;
        int row;
    };
    Corner corner(double x, double y) const;
    // Widens the cells to sum in the rows of the rows of samples
    // [fromRow, toRow) to those from `left` to `right` across.
    void note(double left, double right, int fromRow, int toRow);
    // addEdge, written out where it is used, with the rows and cells noted
    // already.
    void edge(const Corner &from, const Corner &to, int dir);
    // The edges of one step of a stroke: its piece's sides, and either the
    // joint with the piece before (`turn` its sense) or a square cap's end;
    // a cap's end after it too where `capsEnd`.
    void addStep(const Corner &startLeft, const Corner &startRight, const Corner &endLeft,
                 const Corner &endRight, const Corner &v, const Corner &lastLeft,
                 const Corner &lastRight, double turn, bool joins, bool capsEnd);
    void clear();

    int m_width = 0;
    int m_height = 0;
    // A row of sums for each row of samples, a spare cell at its end: the
    // part of the cell in its low 32 bits, whole cells after it above them.
    std::vector<std::int64_t> m_sums;
    // Per row of cells, the first and last cell an edge went through.
    std::vector<int> m_first;
    std::vector<int> m_last;
    int m_top = 0; // rows with edges in them
    int m_bottom = -1;
};
