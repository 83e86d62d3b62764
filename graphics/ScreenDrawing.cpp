#include "graphics/ScreenDrawing.h"

#include "core/zones/OutlineClip.h"
#include "graphics/CoverageMask.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace ScreenDrawing {

namespace {

// A tile this small, or with no more vertices than this, is drawn in one
// call.
constexpr int kMinTile = 16;
constexpr int kTileVertices = 128;
// Distances a crowded slice of a fill keeps between its first and last
// vertex.
constexpr int kRampPoints = 5;
// A line's runs of more than four vertices are thinned where they saturate:
// their median step is this long (pixels), or they hold this many vertices
// with steps of at least two pen widths. A noisy sweep, that is, whose
// steps jump far, and not the fine jitter of an ordinary one.
constexpr double kFarStep = 32;
constexpr int kCrowdedRun = 32;
// Shapes whose long edges (this many pixels tall or more) cross a pixel
// row fewer times than kTileCrossings on average are drawn in one piece:
// the painter handles them well.
constexpr double kLongEdge = 4;
constexpr double kTileCrossings = 512;

// Liang-Barsky: the part of segment a-b inside r as parameters t0 <= t1.
bool clipSegment(const QPointF &a, const QPointF &b, const QRectF &r, double &t0, double &t1)
{
    t0 = 0;
    t1 = 1;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    return true;
}

int vertexCount(const QVector<QPolygonF> &polys)
{
    int n = 0;
    for (const QPolygonF &p : polys)
        n += p.size();
    return n;
}

QRectF boundsOf(const QVector<QPolygonF> &polys)
{
    QRectF r;
    for (const QPolygonF &p : polys)
        r |= p.boundingRect();
    return r;
}

bool isClosed(const QPolygonF &chain)
{
    return chain.size() > 2 && chain.first() == chain.last();
}

QPainterPath chainPath(const QVector<QPolygonF> &chains)
{
    QPainterPath path;
    for (const QPolygonF &c : chains) {
        path.addPolygon(c);
        if (isClosed(c))
            path.closeSubpath();
    }
    return path;
}

QPainterPath ringPath(const QVector<QPolygonF> &rings, Qt::FillRule rule)
{
    QPainterPath path;
    path.setFillRule(rule);
    for (const QPolygonF &r : rings)
        if (r.size() > 2)
            path.addPolygon(r);
    return path;
}

// Draws what lies in `tile`, halving the tile across its longer side while
// it holds many vertices. The rasterizer looks up every cell it touches in
// a list per pixel row, so a shape that crosses a row many times over a wide
// area costs far more than its pixels; a small tile keeps both the crossings
// and the list short. `cut` clips the shapes to a rectangle.
template <typename Cut, typename Draw>
void drawTiled(QPainter *painter, const QVector<QPolygonF> &shapes, const QRect &tile,
               double margin, Cut cut, Draw draw)
{
    if (shapes.isEmpty())
        return;
    const bool wide = tile.width() >= tile.height();
    const int side = wide ? tile.width() : tile.height();
    if (side <= kMinTile || vertexCount(shapes) <= kTileVertices) {
        painter->save();
        painter->setClipRect(tile, Qt::IntersectClip);
        draw(shapes);
        painter->restore();
        return;
    }
    QRect first = tile, second = tile;
    if (wide) {
        first.setWidth(side / 2);
        second.setLeft(first.right() + 1);
    } else {
        first.setHeight(side / 2);
        second.setTop(first.bottom() + 1);
    }
    for (const QRect &half : {first, second}) {
        const QRectF around = QRectF(half).adjusted(-margin, -margin, margin, margin);
        drawTiled(painter, cut(shapes, around), half, margin, cut, draw);
    }
}

// Whether a line through points i..j-1 covers the same pixels as one
// through their first, nearest, farthest and last point. A line through
// short steps shows their sideways jitter as a wider stroke, which only all
// of them draw. Where the steps mostly jump far (median, so that a dropout
// or a far wall among the jitter does not count), or where many of them
// cross a slice narrower than the pen, every pixel they pass is covered
// many times over.
bool saturates(const QPolygonF &points, int i, int j, double pen, std::vector<double> &steps)
{
    // Squared lengths: their median is the square of the median length.
    steps.clear();
    for (int k = i + 1; k < j; ++k) {
        const QPointF d = points[k] - points[k - 1];
        steps.push_back(d.x() * d.x() + d.y() * d.y());
    }
    auto middle = steps.begin() + steps.size() / 2;
    std::nth_element(steps.begin(), middle, steps.end());
    return *middle >= kFarStep * kFarStep
           || (j - i >= kCrowdedRun && *middle >= 4 * pen * pen);
}

// The angle of d relative to a0 in (-pi, pi]; `fallback` for a vertex on
// the centre, which has none.
double angleAt(const QPointF &d, double a0, double fallback)
{
    if (d.x() == 0 && d.y() == 0)
        return fallback;
    double a = std::atan2(d.y(), d.x()) - a0;
    if (a > M_PI)
        a -= 2 * M_PI;
    else if (a < -M_PI)
        a += 2 * M_PI;
    return a;
}

// How many times, on average, the long edges of these polylines cross a
// pixel row. The rasterizer keeps a list of cells per row and looks each
// new one up in it: long edges (spikes, jumps) bring a new cell to every
// row they cross, while short ones, however many, keep meeting the cells
// their neighbours made.
double crossingsPerRow(const QVector<QPolygonF> &polys)
{
    double rows = 0;
    for (const QPolygonF &p : polys)
        for (int k = 1; k < p.size(); ++k) {
            const double dy = std::fabs(p[k].y() - p[k - 1].y());
            if (dy >= kLongEdge)
                rows += dy;
        }
    const double height = boundsOf(polys).height();
    return height > 0 ? rows / height : 0;
}

} // namespace

QVector<QPolygonF> clipChain(const QPolygonF &chain, bool closed, const QRectF &rect)
{
    QVector<QPolygonF> pieces;
    const int n = chain.size();
    if (n == 0)
        return pieces;
    QPolygonF path = chain;
    if (closed && !isClosed(chain))
        path << chain.first();
    const QRectF bounds = path.boundingRect();
    if (rect.contains(bounds)) {
        pieces << path;
        return pieces;
    }
    if (!rect.intersects(bounds))
        return pieces;
    // A closed chain is walked from a vertex outside, so that its pieces
    // start and end where they leave the rectangle.
    if (isClosed(path)) {
        int start = -1;
        for (int i = 0; i < path.size() - 1 && start < 0; ++i)
            if (!rect.contains(path[i]))
                start = i;
        if (start > 0) {
            QPolygonF rotated;
            rotated.reserve(path.size());
            for (int i = 0; i < path.size() - 1; ++i)
                rotated << path[(start + i) % (path.size() - 1)];
            rotated << rotated.first();
            path = rotated;
        }
    }
    QPolygonF piece;
    for (int i = 0; i + 1 < path.size(); ++i) {
        const QPointF &a = path[i], &b = path[i + 1];
        double t0, t1;
        if (!clipSegment(a, b, rect, t0, t1)) {
            if (!piece.isEmpty())
                pieces << piece;
            piece.clear();
            continue;
        }
        const QPointF from = t0 > 0 ? a + (b - a) * t0 : a;
        const QPointF to = t1 < 1 ? a + (b - a) * t1 : b;
        if (piece.isEmpty())
            piece << from;
        piece << to;
        if (t1 < 1) {
            pieces << piece;
            piece.clear();
        }
    }
    if (!piece.isEmpty())
        pieces << piece;
    return pieces;
}

QPolygonF thinAround(const QPolygonF &points, const QPointF &centre, double slice, Keep keep,
                     double pen)
{
    const int n = points.size();
    QPolygonF out;
    out.reserve(std::min(n, 1024));
    QVector<double> radii;
    std::vector<double> steps;
    int i = 0;
    while (i < n) {
        // A run: consecutive vertices whose angles, seen from the centre,
        // span no more than `slice` pixels at the farthest of them. Vertices
        // within a slice of the centre fit any run and widen none.
        // Angles are measured as the sine of the turn from the run's first
        // direction `u`: the same for the narrow angles a run spans, and far
        // cheaper.
        bool aimed = false;
        QPointF u;
        double lo = 0, hi = 0, rmax = 0, rmin = 0;
        int nearest = i, farthest = i, j = i;
        for (; j < n; ++j) {
            const QPointF d = points[j] - centre;
            const double r = std::sqrt(d.x() * d.x() + d.y() * d.y());
            if (r >= slice) {
                if (!aimed) {
                    aimed = true;
                    u = d / r;
                } else {
                    if (u.x() * d.x() + u.y() * d.y() <= 0)
                        break; // turned a right angle or more
                    const double a = (u.x() * d.y() - u.y() * d.x()) / r;
                    const double nlo = std::min(lo, a), nhi = std::max(hi, a);
                    if ((nhi - nlo) * std::max(rmax, r) > slice)
                        break;
                    lo = nlo;
                    hi = nhi;
                }
            }
            if (j == i || r > rmax) {
                rmax = r;
                farthest = j;
            }
            if (j == i || r < rmin) {
                rmin = r;
                nearest = j;
            }
        }
        const bool line = keep == Keep::Extremes;
        if (j - i <= (line ? 4 : kRampPoints + 2) || (line && !saturates(points, i, j, pen, steps))) {
            for (int k = i; k < j; ++k)
                out << points[k];
            i = j;
            continue;
        }
        out << points[i];
        if (line) {
            // Where a line goes within the slice, it covers everything from
            // the nearest to the farthest vertex, which these two keep.
            for (const int k : {std::min(nearest, farthest), std::max(nearest, farthest)})
                if (k != i && k != j - 1 && points[k] != out.last())
                    out << points[k];
        } else {
            // A fill covers of each distance how much of the slice lies
            // within it: the distances in falling order at even quantiles,
            // spread over the run's angle, cover the same.
            radii.clear();
            for (int k = i; k < j; ++k) {
                const QPointF d = points[k] - centre;
                radii << std::sqrt(d.x() * d.x() + d.y() * d.y());
            }
            std::sort(radii.begin(), radii.end(), std::greater<double>());
            // Spread the way the run goes, from its first vertex to its
            // last: backwards, the outline would fold over itself.
            const double a0 = std::atan2(u.y(), u.x());
            const double from = angleAt(points[i] - centre, a0, std::asin(lo));
            const double to = angleAt(points[j - 1] - centre, a0, std::asin(hi));
            for (int q = 0; q < kRampPoints; ++q) {
                const double r =
                    radii[int(std::lround(double(q) / (kRampPoints - 1) * (radii.size() - 1)))];
                const double a = a0 + from + (to - from) * (q + 1.0) / (kRampPoints + 1);
                out << centre + QPointF(r * std::cos(a), r * std::sin(a));
            }
        }
        out << points[j - 1];
        i = j;
    }
    return out;
}

bool isRasterPainter(QPainter *painter)
{
    return painter->paintEngine() && painter->paintEngine()->type() == QPaintEngine::Raster;
}

namespace {

QRectF visibleDeviceRect(QPainter *painter)
{
    QRectF r(painter->viewport());
    if (painter->hasClipping())
        r &= painter->worldTransform().mapRect(painter->clipBoundingRect());
    return r;
}

void fillRings(QPainter *painter, const QVector<QPolygonF> &rings, Qt::FillRule rule,
               const QBrush &brush)
{
    painter->setPen(Qt::NoPen);
    painter->setBrush(brush);
    const QRectF area = visibleDeviceRect(painter) & boundsOf(rings);
    if (area.isEmpty())
        return;
    if (!isRasterPainter(painter) || crossingsPerRow(rings) < kTileCrossings) {
        painter->drawPath(ringPath(rings, rule));
        return;
    }
    const auto cut = [](const QVector<QPolygonF> &in, const QRectF &rect) {
        QVector<QPolygonF> out;
        for (const QPolygonF &r : in) {
            const QPolygonF piece = OutlineClip::clipRing(r, rect);
            if (piece.size() > 2)
                out << piece;
        }
        return out;
    };
    const auto draw = [painter, rule](const QVector<QPolygonF> &in) {
        painter->drawPath(ringPath(in, rule));
    };
    drawTiled(painter, rings, area.toAlignedRect(), 2, cut, draw);
}

void strokeChains(QPainter *painter, const QVector<QPolygonF> &chains, const QPen &pen)
{
    const QPainterPath path = chainPath(chains);
    // A pen of a pixel or less is drawn line by line, at the cost of its
    // length, whatever the shape.
    if (!isRasterPainter(painter) || pen.widthF() <= 1 ||
        2 * crossingsPerRow(chains) < kTileCrossings) {
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(path);
        return;
    }
    // A wider one is what the painter would fill for it: the stroke's own
    // outline, filled with the winding rule, here in tiles.
    QPainterPathStroker stroker(pen);
    const QPainterPath outline = stroker.createStroke(path);
    fillRings(painter, outline.toSubpathPolygons().toVector(), Qt::WindingFill, pen.brush());
}

} // namespace

void drawRings(QPainter *painter, const QVector<QPolygonF> &rings, Qt::FillRule rule,
               const QBrush &brush, const QPen &pen, const QPointF &centre)
{
    const QTransform toDevice = painter->worldTransform();
    // The items are only ever scaled and moved: one factor for both axes.
    const double scale = std::sqrt(std::fabs(toDevice.determinant()));
    QPen devicePen = pen;
    if (!pen.isCosmetic())
        devicePen.setWidthF(pen.widthF() * scale);
    else if (painter->device() && painter->device()->devicePixelRatioF() != 1.0)
        devicePen.setWidthF(pen.widthF() / painter->device()->devicePixelRatioF());
    devicePen.setCosmetic(false);
    const bool fill = brush.style() != Qt::NoBrush;
    const bool stroke = pen.style() != Qt::NoPen;
    const double margin = (stroke ? devicePen.widthF() / 2 : 0) + 4;
    const QRectF visible = visibleDeviceRect(painter).adjusted(-margin, -margin, margin, margin);
    const QPointF c = toDevice.map(centre);
    // Slices of a pixel: crowded vertices give way to a ramp over the same
    // radii, so no pixel row is crossed more than a few times per pixel.
    const double slice = 1.0;
    const bool thinPen = devicePen.widthF() <= 1;
    // Lines of a run stay within half a pen of one another sideways: where
    // the run saturates, their strokes still join into one.
    const double lineSlice = devicePen.widthF() / 2;

    QVector<QPolygonF> fills, outlines;
    for (const QPolygonF &ring : rings) {
        const QPolygonF device = toDevice.map(ring);
        if (fill) {
            const QPolygonF clipped = OutlineClip::clipRing(device, visible);
            if (clipped.size() > 2)
                fills << thinAround(clipped, c, slice, Keep::Quantiles, 0);
        }
        // A pen of a pixel or less draws each line faintly, and where many
        // cross, the picture shows how many: nothing is left out of it.
        if (stroke)
            for (const QPolygonF &piece : clipChain(device, true, visible))
                outlines << (thinPen ? piece
                                     : thinAround(piece, c, lineSlice, Keep::Extremes,
                                                  devicePen.widthF()));
    }
    painter->save();
    painter->setWorldTransform(QTransform());
    if (fill)
        fillRings(painter, fills, rule, brush);
    if (stroke)
        strokeChains(painter, outlines, devicePen);
    painter->restore();
}

namespace {
// The marks of every scan on screen go through one mask, kept from paint to
// paint: a new one each time costs as much as a sparse scan's marks.
CoverageMask &reusedMask()
{
    thread_local CoverageMask mask;
    return mask;
}
} // namespace

bool canDrawMarks(QPainter *painter)
{
    // The mask works in the painter's pixels: on a screen with more device
    // pixels to a pixel the painter draws the marks itself.
    return isRasterPainter(painter) && painter->testRenderHint(QPainter::Antialiasing)
           && painter->device() && painter->device()->devicePixelRatioF() == 1.0;
}

void drawDots(QPainter *painter, const QPolygonF &points, const QVector<int> &repeats,
              const QPen &pen)
{
    const QTransform toDevice = painter->worldTransform();
    const double side = pen.widthF() > 0 ? pen.widthF() : 1;
    const QPolygonF device = toDevice.map(points);
    CoverageMask mask(
        (visibleDeviceRect(painter) & device.boundingRect().adjusted(-side, -side, side, side))
            .toAlignedRect());
    if (mask.isEmpty())
        return;
    mask.addDots(device, repeats, side);
    mask.paint(painter, pen.color());
}

void drawOutline(QPainter *painter, const QPolygonF &ring, const QPen &pen)
{
    const QTransform toDevice = painter->worldTransform();
    const double width = pen.widthF() > 0 ? pen.widthF() : 1;
    const double margin = width / 2 + 4;
    const QRectF visible = visibleDeviceRect(painter);
    // Mapped and measured in one pass: the view only scales and moves.
    QPolygonF device(ring.size());
    QPointF *out = device.data();
    const bool affine = toDevice.type() <= QTransform::TxShear;
    const double m11 = toDevice.m11(), m12 = toDevice.m12(), m21 = toDevice.m21();
    const double m22 = toDevice.m22(), dx = toDevice.dx(), dy = toDevice.dy();
    double left = HUGE_VAL, top = HUGE_VAL, right = -HUGE_VAL, bottom = -HUGE_VAL;
    for (const QPointF &p : ring) {
        const QPointF d = affine ? QPointF(m11 * p.x() + m21 * p.y() + dx, m12 * p.x() + m22 * p.y() + dy)
                                 : toDevice.map(p);
        *out++ = d;
        left = std::min(left, d.x());
        right = std::max(right, d.x());
        top = std::min(top, d.y());
        bottom = std::max(bottom, d.y());
    }
    const QRectF bounds =
        ring.isEmpty() ? QRectF() : QRectF(QPointF(left, top), QPointF(right, bottom));
    CoverageMask &mask = reusedMask();
    mask.reset((visible & bounds.adjusted(-width, -width, width, width)).toAlignedRect());
    if (mask.isEmpty())
        return;
    // Every step is stroked: the mask's cost is the outline of each step's
    // piece, and leaving steps out changes the picture at the line's edges.
    const QRectF around = visible.adjusted(-margin, -margin, margin, margin);
    if (around.contains(bounds))
        mask.addStroke(device, true, width);
    else
        for (const QPolygonF &piece : clipChain(device, true, around))
            mask.addStroke(piece, isClosed(piece), width);
    mask.paint(painter, pen.color());
}

} // namespace ScreenDrawing
