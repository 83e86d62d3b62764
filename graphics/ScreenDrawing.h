#pragma once

#include <QPolygonF>
#include <QRectF>
#include <QVector>

class QBrush;
class QPainter;
class QPen;

// Drawing of outlines with far more vertices than pixels (a zone of
// thousands of points, a noisy sweep) at a cost bounded by what the screen
// shows. The painter's rasterizer slows down far more than linearly once one
// shape crosses pixel rows many times over, so such shapes are clipped to
// the visible part, thinned where vertices crowd within a pixel, and
// rasterized tile by tile, each tile drawing only the pieces that cross it.
// Everything smaller is drawn by the callers as it always was.
namespace ScreenDrawing {

// Outlines with more vertices than this take the bounded way.
constexpr int kDirectLimit = 2000;

// The pieces of a polyline inside a rectangle; a closed one is first joined
// back to its start.
QVector<QPolygonF> clipChain(const QPolygonF &chain, bool closed, const QRectF &rect);

// Thins runs of consecutive vertices that crowd within `slice` pixels
// across the direction seen from `centre`. Outlines around the sensor
// (zones, sweeps) crowd only in that direction. Of a run longer than what
// is kept, the first and the last vertex stay, and between them:
enum class Keep {
    // the nearest and the farthest vertex, in their order, where the run's
    // steps saturate the pixels they cross (they mostly jump far, or many of
    // them cross the slice): a line through the run covers the same pixels;
    Extremes,
    // five distances at even quantiles, farthest first, spread over the
    // run's angle: a fill covers as much of each pixel.
    Quantiles,
};
// `pen` is the width of the line drawn through them (Extremes only).
QPolygonF thinAround(const QPolygonF &points, const QPointF &centre, double slice, Keep keep,
                     double pen);

// Whether the painter rasterizes in this process (a widget, an image), where
// tiles pay off; other devices, such as SVG, get the clipped and thinned
// outline in one piece.
bool isRasterPainter(QPainter *painter);

// The whole way for filled and outlined rings given in the painter's
// current coordinates (scene millimetres): mapped to the device, clipped to
// what is visible, thinned around `centre` (in the same coordinates), then
// filled with `rule` and stroked, in tiles where they cross pixel rows many
// times over. `pen` is as the caller would set it; its width is scaled to
// the device here. Either brush or pen may be empty (Qt::NoBrush,
// Qt::NoPen).
void drawRings(QPainter *painter, const QVector<QPolygonF> &rings, Qt::FillRule rule,
               const QBrush &brush, const QPen &pen, const QPointF &centre);

// Whether the two below can draw for this painter: an antialiased one that
// rasterizes in this process.
bool canDrawMarks(QPainter *painter);
// Dots of a square-capped cosmetic `pen` at the points (given in the
// painter's current coordinates), each drawn `repeats[i]` times over (once
// where the list is short), through a coverage mask.
void drawDots(QPainter *painter, const QPolygonF &points, const QVector<int> &repeats,
              const QPen &pen);
// The closed outline through `ring` stroked with a cosmetic `pen` with
// bevel joins, clipped to what is visible, through a coverage mask: every
// step as the painter would stroke it, at the cost of the steps' outlines.
void drawOutline(QPainter *painter, const QPolygonF &ring, const QPen &pen);

} // namespace ScreenDrawing
