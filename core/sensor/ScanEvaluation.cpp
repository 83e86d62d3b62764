#include "core/sensor/ScanEvaluation.h"

#include "core/zones/ZoneGeometry.h"

#include <cmath>

namespace ScanEvaluation {

Sweep ethernetSweep(double timeMs, const std::uint16_t *ring, int n)
{
    Sweep s;
    s.timeMs = timeMs;
    // The view puts step i at 320 / n * (n - i) + 110 degrees in its own
    // coordinates, whose y grows downward: the negated angle here.
    s.startDeg = -430.0f;
    s.stepDeg = n > 0 ? 320.0f / float(n) : 0.0f;
    s.distances = QVector<std::uint16_t>(ring, ring + qMax(n, 0));
    return s;
}

Sweep serialSweep(double timeMs, const std::uint16_t *distances, int n)
{
    Sweep s;
    s.timeMs = timeMs;
    // The view: 110 + i / 2 degrees, y growing downward.
    s.startDeg = -110.0f;
    s.stepDeg = -0.5f;
    s.distances = QVector<std::uint16_t>(distances, distances + qMax(n, 0));
    return s;
}

AreaEvaluator::AreaEvaluator(const AreaRecord &area, double sceneSpan)
{
    const auto outlines = ZoneGeometry::buildAreaOutlines(area, sceneSpan, sceneSpan);
    for (int k = 0; k < kOutputCount; ++k) {
        m_hasZone[size_t(k)] = outlines[size_t(k)].draw != ZoneGeometry::Outline::Nothing;
        m_zone[size_t(k)] = ZoneGeometry::outlinePath(outlines[size_t(k)]);
        m_bounds[size_t(k)] = m_zone[size_t(k)].boundingRect();
    }
    m_onDelayMs = qBound(0, area.openDelay, 25) * 20;
    m_offDelayMs = qBound(0, area.closeDelay, 25) * 20;
    m_hysteresis = float(qBound(0, area.hysteresis, 10));
    m_detectionDeg = float(qBound(0, area.detectionSize, 9) + 1) * 0.5f;
}

const QVector<QPointF> &AreaEvaluator::directions(const Sweep &sweep) const
{
    Directions &d = m_directions;
    if (d.unit.size() != sweep.distances.size() || d.startDeg != sweep.startDeg
        || d.stepDeg != sweep.stepDeg) {
        d.startDeg = sweep.startDeg;
        d.stepDeg = sweep.stepDeg;
        d.unit.resize(sweep.distances.size());
        for (int i = 0; i < d.unit.size(); ++i) {
            const double a = (double(sweep.startDeg) + double(sweep.stepDeg) * i) * M_PI / 180.0;
            // Scene coordinates: forward is up, so y is negated.
            d.unit[i] = QPointF(std::cos(a), -std::sin(a));
        }
    }
    return d.unit;
}

bool AreaEvaluator::sees(int output, const Sweep &sweep, bool on) const
{
    if (output < 0 || output >= kOutputCount || !m_hasZone[size_t(output)])
        return false;
    const QPainterPath &zone = m_zone[size_t(output)];
    const QRectF &bounds = m_bounds[size_t(output)];
    const QVector<QPointF> &unit = directions(sweep);
    // Pulled in towards the sensor: the zone reaching h % further out.
    const double pull = on ? 100.0 / (100.0 + double(m_hysteresis)) : 1.0;
    const double step = std::fabs(double(sweep.stepDeg));
    // The angle consecutive steps inside must cover, less a hair for the
    // step angle's rounding (ten steps of 0.05 degrees are half a degree).
    const double needed = double(m_detectionDeg) - 1e-6;
    int run = 0;
    for (int i = 0; i < sweep.distances.size(); ++i) {
        const double d = sweep.distances[i];
        bool inside = false;
        if (d > 0) {
            const QPointF p = unit[i] * (d * pull);
            inside = bounds.contains(p) && zone.contains(p);
        }
        run = inside ? run + 1 : 0;
        if (run > 0 && run * step >= needed)
            return true;
    }
    return false;
}

std::uint8_t AreaEvaluator::feed(const Sweep &sweep)
{
    const double t = sweep.timeMs;
    for (int k = 0; k < kOutputCount; ++k) {
        const size_t i = size_t(k);
        const bool on = (m_outputs >> k) & 1;
        if (sees(k, sweep, on)) {
            m_clearing[i] = false;
            if (!m_seeing[i]) {
                m_seeing[i] = true;
                m_seenSince[i] = t;
            }
            if (!on && t - m_seenSince[i] >= m_onDelayMs)
                m_outputs = std::uint8_t(m_outputs | (1u << k));
        } else {
            m_seeing[i] = false;
            if (!m_clearing[i]) {
                m_clearing[i] = true;
                m_clearSince[i] = t;
            }
            if (on && t - m_clearSince[i] >= m_offDelayMs)
                m_outputs = std::uint8_t(m_outputs & ~(1u << k));
        }
    }
    return m_outputs;
}

} // namespace ScanEvaluation
