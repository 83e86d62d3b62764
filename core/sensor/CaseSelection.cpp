#include "core/sensor/CaseSelection.h"

namespace CaseSelection {

Channel channelOf(const AreaRecord &area)
{
    return Channel{area.steerMin, area.steerMax, area.speedMin, area.speedMax, area.operationMode};
}

bool holds(const Channel &c, int steer, int speed, int mode)
{
    return steer >= c.steerMin && steer <= c.steerMax && speed >= c.speedMin && speed <= c.speedMax
           && (c.operationMode == 0 || c.operationMode == mode);
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

bool inUse(const AreaRecord &area)
{
    for (const QVector<QPoint> &points : area.points)
        if (!points.isEmpty())
            return true;
    return area.steerMin != 0 || area.steerMax != 0 || area.speedMin != 0 || area.speedMax != 0
           || area.operationMode != 0;
}

Coverage coverage(const QVector<AreaRecord> &areas)
{
    // Every area takes part in the rule (an untouched area 0 holds the
    // standing vehicle), but only the areas in use count as covering a
    // state. Each area is looked at only where its ranges reach.
    QVector<bool> used(areas.size());
    for (int a = 0; a < areas.size(); ++a)
        used[a] = inUse(areas[a]);
    Coverage c;
    QVector<bool> reached(areas.size(), false);
    const int width = kSteerMax - kSteerMin + 1;
    const int height = kSpeedMax - kSpeedMin + 1;
    QVector<quint8> holding(width * height); // areas in use that hold the state
    QVector<qint16> first(width * height);   // the area that applies
    for (int mode = 0; mode < kModes; ++mode) {
        holding.fill(0);
        first.fill(-1);
        for (int a = 0; a < areas.size(); ++a) {
            const Channel ch = channelOf(areas[a]);
            if (ch.operationMode != 0 && ch.operationMode != mode)
                continue;
            const int s0 = qMax(ch.steerMin, kSteerMin), s1 = qMin(ch.steerMax, kSteerMax);
            const int v0 = qMax(ch.speedMin, kSpeedMin), v1 = qMin(ch.speedMax, kSpeedMax);
            for (int v = v0; v <= v1; ++v)
                for (int s = s0; s <= s1; ++s) {
                    const int cell = (v - kSpeedMin) * width + (s - kSteerMin);
                    if (used[a] && holding[cell] < 255)
                        ++holding[cell];
                    if (first[cell] < 0)
                        first[cell] = qint16(a);
                }
        }
        for (int cell = 0; cell < first.size(); ++cell) {
            const int a = first[cell];
            if (a < 0 || !used[a])
                ++c.modes[mode].gaps;
            else
                reached[a] = true;
            if (holding[cell] > 1)
                ++c.modes[mode].overlaps;
        }
    }
    for (int a = 0; a < areas.size(); ++a)
        if (used[a] && !reached[a])
            c.unreachable << a;
    return c;
}

} // namespace CaseSelection
