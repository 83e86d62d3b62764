#pragma once

#include "core/zones/AreaRecord.h"

#include <QPainterPath>
#include <QVector>
#include <array>
#include <cstdint>

// What an area's outputs do over a sequence of sweeps, with the area's
// parameters applied as the sensor applies them:
// - detection size: an output sees an object when the steps inside its zone
//   cover at least that angle, in consecutive steps (steps × step angle);
// - hysteresis: once an output is on, a point counts while it lies inside
//   the zone reaching that percentage further out along its beam (the point
//   pulled in to distance × 100 / (100 + h) is inside);
// - on delay: the object is seen for at least that long before the output
//   switches on; off delay: nothing is seen for at least that long before it
//   switches off (both counted from the sweep where it began).
// A distance of 0 is no echo and never inside.
namespace ScanEvaluation {

struct Sweep {
    double timeMs = 0;    // since the start of the recording
    float startDeg = 0;   // angle of the first step as the polar tables count: +X 0, forward 90
    float stepDeg = 0.5f; // signed
    QVector<std::uint16_t> distances; // mm
};

// The sweeps the link keeps, drawn as the view draws them: over Ethernet a
// ring of n steps over 320 degrees from -70 (ahead on the right round to the
// left: step n / 2 looks straight ahead), over the serial port 640 steps of
// half a degree from 250 the other way round (step 320 ahead).
Sweep ethernetSweep(double timeMs, const std::uint16_t *ring, int n);
Sweep serialSweep(double timeMs, const std::uint16_t *distances, int n);

class AreaEvaluator
{
public:
    // sceneSpan: the model's scene (DeviceModelInfo::sceneSpan), which bounds
    // the derived zones as the view does.
    AreaEvaluator(const AreaRecord &area, double sceneSpan);

    // Feeds the next sweep (in time order); the outputs after it, bit k for
    // Out k+1.
    std::uint8_t feed(const Sweep &sweep);
    std::uint8_t outputs() const { return m_outputs; }

    // Whether the sweep alone shows an object to output k, its zone widened
    // by the hysteresis when `on`.
    bool sees(int output, const Sweep &sweep, bool on) const;

    int onDelayMs() const { return m_onDelayMs; }
    int offDelayMs() const { return m_offDelayMs; }
    float hysteresisPercent() const { return m_hysteresis; }
    float detectionDeg() const { return m_detectionDeg; }

private:
    // The unit vector of every step of the last sweep layout seen: sweeps of
    // one recording or stream share it.
    struct Directions {
        float startDeg = 0;
        float stepDeg = 0;
        QVector<QPointF> unit;
    };
    const QVector<QPointF> &directions(const Sweep &sweep) const;

    std::array<QPainterPath, kOutputCount> m_zone;
    std::array<QRectF, kOutputCount> m_bounds;
    mutable Directions m_directions;
    std::array<bool, kOutputCount> m_hasZone{};
    int m_onDelayMs = 0;
    int m_offDelayMs = 0;
    float m_hysteresis = 0;
    float m_detectionDeg = 0.5f;
    std::array<double, kOutputCount> m_seenSince{};
    std::array<double, kOutputCount> m_clearSince{};
    std::array<bool, kOutputCount> m_seeing{};
    std::array<bool, kOutputCount> m_clearing{};
    std::uint8_t m_outputs = 0;
};

} // namespace ScanEvaluation
