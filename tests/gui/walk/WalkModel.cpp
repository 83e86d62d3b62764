#include "tests/gui/walk/WalkModel.h"

#include <QStringList>

#include <cmath>

namespace Walk {

bool ModelArea::operator==(const ModelArea &o) const
{
    return f == o.f && pts[0] == o.pts[0] && pts[1] == o.pts[1] && pts[2] == o.pts[2];
}

QString describePoints(const QVector<QPoint> &pts)
{
    QStringList out;
    for (const QPoint &p : pts)
        out << QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
    return QLatin1Char('[') + out.join(QLatin1Char(' ')) + QLatin1Char(']');
}

QString ModelArea::describe() const
{
    QStringList n;
    for (int v : f)
        n << QString::number(v);
    return QStringLiteral("od=%1 cd=%2 hy=%3 ds=%4 case=%5 kinds=%6 out1=%7 out2=%8 out3=%9")
        .arg(n[0], n[1], n[2], n[3], n.mid(4, 5).join(QLatin1Char(',')),
             n.mid(9, 3).join(QLatin1Char(',')), describePoints(pts[0]), describePoints(pts[1]),
             describePoints(pts[2]));
}

Params defaultParams()
{
    return Params{
        0, 0, 0, 0, 127, 0, 0, 0, 127, 0, 0, 1, 1, 0, 0, 1, 2, 0, (192 << 8) | 168, (1 << 8) | 88};
}

QVector<int> dockLines(const Params &p)
{
    QVector<int> v;
    for (int i = 0; i < 18; ++i)
        v << p[size_t(i)];
    v << (p[18] >> 8) << (p[18] & 255) << (p[19] >> 8) << (p[19] & 255);
    return v;
}

namespace Geo {

Polar toPolar(QPoint p)
{
    Polar out;
    // The sum is rounded to single precision before the fold to [-90, 270).
    out.theta = float(std::atan2(double(p.y()), double(p.x())) + 2.0 * M_PI);
    if (out.theta >= 4.712389f)
        out.theta -= 6.2831855f;
    out.r = float(std::sqrt(double(p.x()) * p.x() + double(p.y()) * p.y()));
    return out;
}

namespace {
int toInt(float v)
{
    // Truncation, kept inside int for values no design can reach.
    if (v >= 2.0e9f)
        return 2000000000;
    if (v <= -2.0e9f)
        return -2000000000;
    return int(v);
}
} // namespace

QPoint fromPolar(float r, float theta)
{
    return QPoint(toInt(std::cos(theta) * r), toInt(std::sin(theta) * r));
}

int clamp16(float v)
{
    if (v >= 32767.0f)
        return 32767;
    if (v <= -32768.0f)
        return -32768;
    return int(v);
}

float wireTheta(QPoint p)
{
    const float a = float(std::atan2(double(p.y()), double(p.x())));
    float theta = float(double(a) + 2.0 * M_PI);
    if (theta >= 4.712389f)
        theta -= 6.2831855f;
    return theta;
}

int wireDegrees(QPoint p)
{
    return int(wireTheta(p) * kRadToDeg);
}

int wireRadius(QPoint p)
{
    return int(toPolar(p).r);
}

QPoint pointGoingAs(QPoint near, int radius, int degrees, bool keepRadius)
{
    const auto fits = [&](QPoint q) {
        return wireDegrees(q) == degrees && (!keepRadius || wireRadius(q) == radius);
    };
    if (fits(near))
        return near;
    const double ex = radius * std::cos(degrees * M_PI / 180), ey = radius * std::sin(degrees * M_PI / 180);
    QPoint best = near;
    double bestDistance = 1e300;
    for (int dx = -3; dx <= 3; ++dx)
        for (int dy = -3; dy <= 3; ++dy) {
            const QPoint q = near + QPoint(dx, dy);
            const double d = std::hypot(q.x() - ex, q.y() - ey);
            if (d < bestDistance && fits(q)) {
                best = q;
                bestDistance = d;
            }
        }
    return best;
}

bool onWholeDegree(QPoint p)
{
    const float off = std::fabs(wireTheta(p) * kRadToDeg - float(wireDegrees(p)));
    return off < 0.05f || off * kDegToRad * toPolar(p).r < 1.5f;
}

QPoint arcPartner(QPoint edited, QPoint other, bool otherIsFirst)
{
    const QPoint moved = fromPolar(toPolar(edited).r, toPolar(other).theta);
    if (!onWholeDegree(other))
        return moved;
    return pointGoingAs(moved, int(toPolar(edited).r), wireDegrees(other), otherIsFirst);
}

QString polarText(float v)
{
    return QString::number(double(v), 'g', 6);
}

} // namespace Geo

void applyConstraints(ModelArea &a, int out, int row)
{
    QVector<QPoint> &p = a.pts[out];
    if (a.kind(out) == 1 && p.size() == 2 && (row == 0 || row == 1)) {
        const int other = 1 - row;
        p[other] = Geo::arcPartner(p[row], p[other], other == 0);
    } else if (a.kind(out) == 2 && p.size() == 4 && row >= 0 && row < 4) {
        static const int takesX[4] = {1, 0, 3, 2};
        static const int takesY[4] = {3, 2, 1, 0};
        p[takesX[row]].setX(p[row].x());
        p[takesY[row]].setY(p[row].y());
    }
    if (out == 0)
        return;
    for (int n = 1; n < 3; ++n)
        if (a.pts[n].size() == 1 && a.kind(n) >= 3 && a.kind(n) <= 5)
            a.pts[n][0].setX(0);
}

// ---------------------------------------------------------------- travel

namespace {
struct Verdicts {
    TravelVerdict v;
    void broken(const QString &why)
    {
        if (v.travel != Travel::Broken)
            v = {Travel::Broken, why};
    }
    void either(const QString &why)
    {
        if (v.travel == Travel::Intact)
            v = {Travel::Either, why};
    }
};

bool outside16(QPoint p)
{
    return p.x() < -32768 || p.x() > 32767 || p.y() < -32768 || p.y() > 32767;
}

void checkOutput(Verdicts &out, int area, int n, const ModelArea &a, float arcSlack)
{
    const QVector<QPoint> &p = a.pts[n];
    const int kind = a.kind(n);
    const QString where = QStringLiteral("area %1 Out%2: ").arg(area).arg(n + 1);
    if (kind == 0 || kind == 2) {
        for (const QPoint &q : p)
            if (outside16(q))
                out.broken(where + QStringLiteral("coordinate beyond 16 bits"));
        if (p.size() > 100)
            out.broken(where + QStringLiteral("%1 points").arg(p.size()));
        // One slot per polar angle, a later point replacing an earlier one;
        // the count stays, so a replaced (0, 0) comes back as a spare slot.
        QVector<float> wire, shown;
        QVector<QPoint> kept;
        for (const QPoint &q : p) {
            const float w = Geo::wireTheta(q), s = Geo::toPolar(q).theta;
            const int at = wire.indexOf(w);
            if (at >= 0 && !kept[at].isNull())
                out.broken(where + QStringLiteral("vertices %1,%2 and %3,%4 at one polar angle")
                                       .arg(kept[at].x())
                                       .arg(kept[at].y())
                                       .arg(q.x())
                                       .arg(q.y()));
            else if (at < 0 && shown.contains(s))
                out.either(where + QStringLiteral("vertices at nearly one angle"));
            if (at >= 0) {
                kept[at] = q;
                continue;
            }
            wire << w;
            shown << s;
            kept << q;
        }
        if (kind == 2 && p.size() != 4)
            out.broken(where + QStringLiteral("rectangle of %1 corners").arg(p.size()));
    } else if (kind == 1) {
        if (p.size() != 2) {
            out.broken(where + QStringLiteral("arc of %1 points").arg(p.size()));
            return;
        }
        const Geo::Polar a0 = Geo::toPolar(p[0]), a1 = Geo::toPolar(p[1]);
        const float dr = std::fabs(a0.r - a1.r);
        // An arc travels as two angles and an unsigned 16-bit radius.
        if (a0.r > 65535.0f)
            out.broken(where + QStringLiteral("arc radius %1").arg(double(a0.r)));
        else if (outside16(p[0]) || outside16(p[1]))
            out.either(where + QStringLiteral("arc point beyond 16 bits"));
        if (dr >= 2.0f)
            out.broken(where +
                       QStringLiteral("arc radii %1 and %2").arg(double(a0.r)).arg(double(a1.r)));
        else if (dr >= arcSlack || a0.theta == a1.theta || a0.r < 1.0f)
            out.either(where + QStringLiteral("arc at the edge of what travels"));
    } else if (kind >= 3 && kind <= 5) {
        if (n == 0)
            out.either(where + QStringLiteral("dependent kind on Out1"));
        else if (p.size() != 1 || p[0].x() != 0 || p[0].y() < 0)
            out.broken(where + QStringLiteral("parameter point %1").arg(describePoints(p)));
    } else {
        out.either(where + QStringLiteral("kind %1").arg(kind));
    }
}
} // namespace

TravelVerdict canTravel(const QVector<ModelArea> &areas, float arcSlack)
{
    Verdicts out;
    for (int i = 0; i < areas.size(); ++i)
        for (int n = 0; n < 3; ++n)
            checkOutput(out, i, n, areas[i], arcSlack);
    return out.v;
}

// ---------------------------------------------------------------- design and undo

DesignModel::DesignModel()
    : areas(kAreas)
    , params(defaultParams())
    , m_undo(kAreas, QVector<UndoTrack>(kPolicies))
    , m_alive(kPolicies, true)
{
    // A fresh tool: detection size 1.0 deg everywhere.
    for (ModelArea &a : areas)
        a.f[ModelArea::DetectionSize] = 1;
    resetHistories();
}

UndoPolicy DesignModel::policy(int i)
{
    return UndoPolicy{{(i & 1) != 0, (i & 2) != 0, (i & 4) != 0, (i & 8) != 0},
                      (i & 16) != 0,
                      (i & 32) != 0,
                      (i & 64) != 0,
                      i / 128};
}

void DesignModel::push(int area, int p)
{
    UndoTrack &t = m_undo[area][p];
    if (t.pos < t.entries.size() - 1)
        t.entries.erase(t.entries.begin() + t.pos + 1, t.entries.end());
    if (t.entries.size() > kUndoCap - 1)
        t.entries.removeFirst();
    t.entries.append(areas[area]);
    t.pos = t.entries.size() - 1;
}

void DesignModel::restart(int area, int p)
{
    m_undo[area][p] = UndoTrack{{areas[area]}, 0};
}

void DesignModel::touched(bool changed)
{
    if (changed)
        modified = Tri::True;
    else if (modified == Tri::False)
        modified = Tri::Unknown;
}

void DesignModel::editCommitted(int area, const ModelArea &before, NoopKind where)
{
    const bool changed = areas[area] != before;
    touched(changed);
    for (int p = 0; p < kPolicies; ++p)
        if (m_alive[p] && (changed || policy(p).noopRecords[where]))
            push(area, p);
}

void DesignModel::areaReplaced(int area, const ModelArea &before)
{
    const bool changed = areas[area] != before;
    touched(changed);
    for (int p = 0; p < kPolicies; ++p)
        if (m_alive[p] && policy(p).areaRecords && changed)
            push(area, p);
}

QVector<ModelArea> DesignModel::undoOutcomes(int area, bool redo) const
{
    QVector<ModelArea> out;
    for (int p = 0; p < kPolicies; ++p) {
        if (!m_alive[p])
            continue;
        const UndoTrack &t = m_undo[area][p];
        const int to = t.pos + (redo ? 1 : -1);
        const ModelArea o = (to >= 0 && to < t.entries.size()) ? t.entries[to] : areas[area];
        if (!out.contains(o))
            out << o;
    }
    return out;
}

bool DesignModel::undoResolved(int area, bool redo, const ModelArea &seen)
{
    QVector<bool> alive = m_alive;
    bool any = false;
    for (int p = 0; p < kPolicies; ++p) {
        if (!alive[p])
            continue;
        const UndoTrack &t = m_undo[area][p];
        const int to = t.pos + (redo ? 1 : -1);
        const bool moves = to >= 0 && to < t.entries.size();
        alive[p] = (moves ? t.entries[to] : areas[area]) == seen;
        any = any || alive[p];
    }
    if (!any)
        return false;
    m_alive = alive;
    for (int p = 0; p < kPolicies; ++p) {
        UndoTrack &t = m_undo[area][p];
        const int to = t.pos + (redo ? 1 : -1);
        if (m_alive[p] && to >= 0 && to < t.entries.size())
            t.pos = to;
    }
    const bool changed = seen != areas[area];
    areas[area] = seen;
    touched(changed);
    return true;
}

// Every area's history under each way of recording: 0 leaves it, 1 records
// the area on top, 2 starts afresh.
void DesignModel::replaced(const std::function<int(const UndoPolicy &)> &how)
{
    for (int p = 0; p < kPolicies; ++p) {
        const int h = how(policy(p));
        for (int a = 0; a < kAreas && h; ++a)
            h == 1 ? push(a, p) : restart(a, p);
    }
}

void DesignModel::resetHistories()
{
    replaced([](const UndoPolicy &) { return 2; });
}

void DesignModel::readFromSensor()
{
    replaced([](const UndoPolicy &u) { return u.readResets ? 2 : 0; });
}

void DesignModel::readFromFile()
{
    replaced([](const UndoPolicy &u) { return u.openResets ? 2 : 1; });
}

void DesignModel::refusedFile()
{
    replaced([](const UndoPolicy &u) { return u.refusedOpen; });
}

} // namespace Walk
