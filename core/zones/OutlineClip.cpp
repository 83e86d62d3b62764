#include "core/zones/OutlineClip.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace OutlineClip {

namespace {

// Within this of the sensor a vertex is on it; angles may step back this
// much where a float angle sorted them and a double one measures them.
constexpr double kTiny = 1e-9;
constexpr double kAngleSlack = 1e-6;

// One edge of Sutherland-Hodgman: keeps what `inside` accepts, adding the
// crossing of every edge that enters or leaves.
template <typename Inside, typename Cross>
QPolygonF clipEdge(const QPolygonF &in, Inside inside, Cross cross)
{
    QPolygonF out;
    const int n = in.size();
    if (n == 0)
        return out;
    out.reserve(n + 8);
    QPointF prev = in[n - 1];
    bool prevIn = inside(prev);
    for (int i = 0; i < n; ++i) {
        const QPointF &cur = in[i];
        const bool curIn = inside(cur);
        if (curIn != prevIn)
            out << cross(prev, cur);
        if (curIn)
            out << cur;
        prev = cur;
        prevIn = curIn;
    }
    return out;
}

QPointF atX(const QPointF &a, const QPointF &b, double x)
{
    const double t = (x - a.x()) / (b.x() - a.x());
    return QPointF(x, a.y() + t * (b.y() - a.y()));
}

QPointF atY(const QPointF &a, const QPointF &b, double y)
{
    const double t = (y - a.y()) / (b.y() - a.y());
    return QPointF(a.x() + t * (b.x() - a.x()), y);
}

bool onSensor(const QPointF &p)
{
    return std::fabs(p.x()) < kTiny && std::fabs(p.y()) < kTiny;
}

// The polar angle of a scene point, in [-pi/2, 3pi/2).
double angleOf(const QPointF &p)
{
    const double a = std::atan2(-p.y(), p.x());
    return a < -M_PI_2 ? a + 2 * M_PI : a;
}

// Where segment a-b crosses the ray at polar angle phi.
QPointF onRay(const QPointF &a, const QPointF &b, double phi)
{
    const double c = std::cos(phi), s = std::sin(phi);
    // Signed distance from the ray's line, with the sensor's Y = -y.
    const auto side = [c, s](const QPointF &p) { return c * -p.y() - s * p.x(); };
    const double fa = side(a), fb = side(b);
    const double t = fa == fb ? 0 : fa / (fa - fb);
    return a + (b - a) * t;
}

// The star ring with only the angles from..to kept: the sensor, where the
// outline crosses `from`, the vertices between, where it crosses `to`, the
// sensor.
QPolygonF cutToAngles(const QPolygonF &ring, double from, double to)
{
    QPolygonF out;
    out << QPointF(0, 0);
    double prevAngle = -M_PI_2;
    for (int k = 1; k < ring.size(); ++k) {
        const QPointF &a = ring[k - 1], &b = ring[k];
        if (onSensor(b)) {
            if (k + 1 < ring.size())
                out << b;
            continue;
        }
        const double t1 = angleOf(b);
        // An edge from the sensor runs along one angle: nothing to cross.
        if (!onSensor(a)) {
            const double t0 = prevAngle;
            if (t0 < from && from <= t1)
                out << onRay(a, b, from);
            if (t0 <= to && to < t1)
                out << onRay(a, b, to);
        }
        if (t1 >= from && t1 <= to)
            out << b;
        prevAngle = t1;
    }
    out << QPointF(0, 0);
    return out;
}

// The parameters in (0, 1) where segment a-b crosses the circle, ascending.
int circleCrossings(const QPointF &a, const QPointF &b, double r, double t[2])
{
    const QPointF d = b - a;
    const double qa = d.x() * d.x() + d.y() * d.y();
    const double qb = 2 * (a.x() * d.x() + a.y() * d.y());
    const double qc = a.x() * a.x() + a.y() * a.y() - r * r;
    const double disc = qb * qb - 4 * qa * qc;
    if (qa <= 0 || disc <= 0)
        return 0;
    const double root = std::sqrt(disc);
    int n = 0;
    for (const double v : {(-qb - root) / (2 * qa), (-qb + root) / (2 * qa)})
        if (v > 0 && v < 1)
            t[n++] = v;
    return n;
}

} // namespace

QPolygonF clipRing(const QPolygonF &ring, const QRectF &r)
{
    const QRectF b = ring.boundingRect();
    if (r.contains(b))
        return ring;
    if (!r.intersects(b))
        return QPolygonF();
    // Only the sides that cut anything.
    const struct {
        bool cuts;
        bool vertical; // a side at x = `at`, else at y = `at`
        double at;
        bool keepBelow; // keep what lies at or below `at`
    } sides[4] = {{b.left() < r.left(), true, r.left(), false},
                  {b.right() > r.right(), true, r.right(), true},
                  {b.top() < r.top(), false, r.top(), false},
                  {b.bottom() > r.bottom(), false, r.bottom(), true}};
    QPolygonF p = ring;
    for (const auto &side : sides) {
        if (!side.cuts)
            continue;
        const auto coordinate = [&side](const QPointF &q) { return side.vertical ? q.x() : q.y(); };
        p = clipEdge(
            p,
            [&](const QPointF &q) {
                return side.keepBelow ? coordinate(q) <= side.at : coordinate(q) >= side.at;
            },
            [&side](const QPointF &a, const QPointF &c) {
                return side.vertical ? atX(a, c, side.at) : atY(a, c, side.at);
            });
    }
    return p;
}

bool isStarRing(const QPolygonF &ring)
{
    if (ring.size() < 2 || !onSensor(ring.first()) || !onSensor(ring.last()))
        return false;
    double prev = -M_PI_2;
    for (const QPointF &p : ring) {
        if (onSensor(p))
            continue;
        const double a = angleOf(p);
        if (a < prev - kAngleSlack)
            return false;
        prev = std::max(prev, a);
    }
    return true;
}

QPainterPath clipStarToPie(const QPolygonF &ring, double radius, double fromDeg, double toDeg)
{
    const QPolygonF cut = cutToAngles(ring, qDegreesToRadians(fromDeg), qDegreesToRadians(toDeg));
    const QRectF circle(-radius, -radius, 2 * radius, 2 * radius);
    QPainterPath path;
    path.moveTo(0, 0);
    // The boundary runs along the circle from where it left it to where it
    // comes back, counter-clockwise as the angles rise.
    double leftAt = 0;
    const auto arcTo = [&](const QPointF &back) {
        const double from = qRadiansToDegrees(leftAt);
        path.arcTo(circle, from, std::max(0.0, qRadiansToDegrees(angleOf(back)) - from));
    };
    const double r2 = radius * radius;
    const auto inside = [r2](const QPointF &p) { return p.x() * p.x() + p.y() * p.y() <= r2; };
    for (int k = 1; k < cut.size(); ++k) {
        const QPointF &a = cut[k - 1], &b = cut[k];
        const bool ina = inside(a), inb = inside(b);
        double t[2] = {0, 0};
        const int n = circleCrossings(a, b, radius, t);
        if (ina && inb) {
            path.lineTo(b);
        } else if (ina) {
            // Where it leaves; on the circle already when none is found.
            const QPointF out = a + (b - a) * (n ? t[n - 1] : 0.0);
            path.lineTo(out);
            leftAt = angleOf(out);
        } else if (inb) {
            const QPointF back = a + (b - a) * (n ? t[0] : 1.0);
            arcTo(back);
            path.lineTo(b);
        } else if (n == 2) {
            const QPointF back = a + (b - a) * t[0];
            const QPointF out = a + (b - a) * t[1];
            arcTo(back);
            path.lineTo(out);
            leftAt = angleOf(out);
        }
    }
    path.closeSubpath();
    return path;
}

} // namespace OutlineClip
