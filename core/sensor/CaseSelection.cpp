#include "core/sensor/CaseSelection.h"

#include <algorithm>

namespace CaseSelection {

Channel channelOf(const AreaRecord &area)
{
    return Channel{area.steerMin, area.steerMax, area.speedMin, area.speedMax, area.operationMode};
}

bool holds(const Channel &c, int steer, int speed, int mode)
{
    return steer >= c.steerMin && steer <= c.steerMax && speed >= c.speedMin &&
           speed <= c.speedMax && (c.operationMode == 0 || c.operationMode == mode);
}

int applies(const QVector<Channel> &channels, int steer, int speed, int mode)
{
    for (int a = 0; a < channels.size(); ++a)
        if (holds(channels[a], steer, speed, mode))
            return a;
    return -1;
}

QVector<int> holders(const QVector<Channel> &channels, int steer, int speed, int mode)
{
    QVector<int> out;
    for (int a = 0; a < channels.size(); ++a)
        if (holds(channels[a], steer, speed, mode))
            out << a;
    return out;
}

bool channelSet(const AreaRecord &area)
{
    return area.steerMin != 0 || area.steerMax != 0 || area.speedMin != 0 || area.speedMax != 0 ||
           area.operationMode != 0;
}

bool inUse(const AreaRecord &area)
{
    for (const QVector<QPoint> &points : area.points)
        if (!points.isEmpty())
            return true;
    return channelSet(area);
}

namespace {

// The part of a channel's ranges inside the chart; empty when min > max.
struct Span {
    int s0, s1, v0, v1;
    bool empty() const { return s0 > s1 || v0 > v1; }
};
Span clipped(const Channel &c)
{
    return Span{qMax(c.steerMin, kSteerMin), qMin(c.steerMax, kSteerMax),
                qMax(c.speedMin, kSpeedMin), qMin(c.speedMax, kSpeedMax)};
}

bool inMode(const Channel &c, int mode)
{
    return c.operationMode == 0 || c.operationMode == mode;
}

int edgeIndex(const QVector<int> &edges, int value)
{
    return int(std::lower_bound(edges.begin(), edges.end(), value) - edges.begin());
}

void sortUnique(QVector<int> &v)
{
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

} // namespace

bool holdsAnyState(const Channel &c)
{
    return !clipped(c).empty() && c.operationMode >= 0 && c.operationMode < kModes;
}

int ModeGrid::blockAt(int steer, int speed) const
{
    if (steer < kSteerMin || steer > kSteerMax || speed < kSpeedMin || speed > kSpeedMax)
        return -1;
    // The edge at or below the value starts its block.
    const int c =
        int(std::upper_bound(steerEdges.begin(), steerEdges.end(), steer) - steerEdges.begin()) - 1;
    const int r =
        int(std::upper_bound(speedEdges.begin(), speedEdges.end(), speed) - speedEdges.begin()) - 1;
    return r * columns() + c;
}

int ModeGrid::states(int block) const
{
    const int r = block / columns(), c = block % columns();
    return (steerEdges[c + 1] - steerEdges[c]) * (speedEdges[r + 1] - speedEdges[r]);
}

bool ModeGrid::isGap(int block) const
{
    const int a = applied[block];
    return a < 0 || !used[a];
}

int ModeGrid::appliesAt(int steer, int speed) const
{
    const int b = blockAt(steer, speed);
    return b < 0 ? -1 : applied[b];
}

ModeGrid modeGrid(const QVector<AreaRecord> &areas, int mode)
{
    ModeGrid g;
    g.mode = mode;
    g.used.resize(areas.size());
    QVector<Span> spans(areas.size());
    g.steerEdges = {kSteerMin, kSteerMax + 1};
    g.speedEdges = {kSpeedMin, kSpeedMax + 1};
    for (int a = 0; a < areas.size(); ++a) {
        g.used[a] = inUse(areas[a]);
        const Channel ch = channelOf(areas[a]);
        spans[a] = clipped(ch);
        if (!inMode(ch, mode))
            spans[a] = Span{1, 0, 1, 0};
        if (spans[a].empty())
            continue;
        g.steerEdges << spans[a].s0 << spans[a].s1 + 1;
        g.speedEdges << spans[a].v0 << spans[a].v1 + 1;
    }
    sortUnique(g.steerEdges);
    sortUnique(g.speedEdges);
    const int cols = g.columns();
    g.applied.fill(-1, cols * g.rows());
    g.held.fill(0, cols * g.rows());
    // Each area marks only the blocks its ranges reach: the first to reach
    // a block applies there.
    for (int a = 0; a < areas.size(); ++a) {
        const Span &s = spans[a];
        if (s.empty())
            continue;
        const int c0 = edgeIndex(g.steerEdges, s.s0), c1 = edgeIndex(g.steerEdges, s.s1 + 1);
        const int r0 = edgeIndex(g.speedEdges, s.v0), r1 = edgeIndex(g.speedEdges, s.v1 + 1);
        for (int r = r0; r < r1; ++r)
            for (int c = c0; c < c1; ++c) {
                const int b = r * cols + c;
                if (g.applied[b] < 0)
                    g.applied[b] = qint8(a);
                if (g.used[a] && g.held[b] < 255)
                    ++g.held[b];
            }
    }
    for (int b = 0; b < g.blockCount(); ++b) {
        if (g.isGap(b))
            g.gaps += g.states(b);
        if (g.isOverlap(b))
            g.overlaps += g.states(b);
    }
    return g;
}

Coverage coverage(const QVector<ModeGrid> &grids)
{
    Coverage c;
    const int count = grids.isEmpty() ? 0 : grids[0].used.size();
    QVector<bool> reached(count, false);
    for (int m = 0; m < grids.size() && m < kModes; ++m) {
        const ModeGrid &g = grids[m];
        c.modes[m] = ModeCoverage{g.gaps, g.overlaps};
        for (int b = 0; b < g.blockCount(); ++b)
            if (!g.isGap(b))
                reached[g.applied[b]] = true;
    }
    for (int a = 0; a < count; ++a)
        if (grids[0].used[a] && !reached[a])
            c.unreachable << a;
    return c;
}

Coverage coverage(const QVector<AreaRecord> &areas)
{
    QVector<ModeGrid> grids;
    for (int m = 0; m < kModes; ++m)
        grids << modeGrid(areas, m);
    return coverage(grids);
}

QVector<int> appliedInstead(const QVector<ModeGrid> &grids, const QVector<AreaRecord> &areas,
                            int area)
{
    const Channel ch = channelOf(areas[area]);
    const Span s = clipped(ch);
    QVector<int> out;
    if (s.empty())
        return out;
    for (const ModeGrid &g : grids) {
        if (!inMode(ch, g.mode))
            continue;
        const int c0 = edgeIndex(g.steerEdges, s.s0), c1 = edgeIndex(g.steerEdges, s.s1 + 1);
        const int r0 = edgeIndex(g.speedEdges, s.v0), r1 = edgeIndex(g.speedEdges, s.v1 + 1);
        for (int r = r0; r < r1; ++r)
            for (int c = c0; c < c1; ++c) {
                const int a = g.applied[r * g.columns() + c];
                if (a != area && !out.contains(a))
                    out << a;
            }
    }
    std::sort(out.begin(), out.end());
    return out;
}

QVector<Overlap> overlaps(const QVector<AreaRecord> &areas)
{
    QVector<Overlap> out;
    for (int b = 0; b < areas.size(); ++b) {
        if (!inUse(areas[b]))
            continue;
        const Channel cb = channelOf(areas[b]);
        const Span sb = clipped(cb);
        for (int a = 0; a < b && !sb.empty(); ++a) {
            if (!inUse(areas[a]))
                continue;
            const Channel ca = channelOf(areas[a]);
            const Span sa = clipped(ca);
            const int mode = ca.operationMode != 0 ? ca.operationMode : cb.operationMode;
            if ((ca.operationMode != 0 && cb.operationMode != 0 &&
                 ca.operationMode != cb.operationMode) ||
                mode < 0 || mode >= kModes)
                continue;
            const Channel common{qMax(sa.s0, sb.s0), qMin(sa.s1, sb.s1), qMax(sa.v0, sb.v0),
                                 qMin(sa.v1, sb.v1), mode};
            if (common.steerMin <= common.steerMax && common.speedMin <= common.speedMax)
                out.append(Overlap{a, b, common});
        }
    }
    return out;
}

} // namespace CaseSelection
