#pragma once

#include "core/sensor/ScanRecording.h"
#include "core/zones/AreaRecord.h"

#include <QVector>
#include <array>
#include <cstdint>
#include <functional>

// A recording held against a design: the outputs the design would have given
// sweep by sweep (each area as the sensor would hold it after a write, with
// its detection size, delays and hysteresis), the outputs the sensor
// reported, and where they disagree.
namespace Replay {

struct Options {
    int area = -1;        // the area evaluated; -1: the area the recorded inputs selected
    double sceneSpan = 0; // the model's scene (DeviceModelInfo::sceneSpan)
};

struct Event {
    std::uint32_t timeMs;
    int output; // 0..2
    bool on;
};

struct Result {
    QVector<std::uint32_t> timeMs;  // per sweep
    QVector<std::uint8_t> design;   // bit k: Out k+1 as the design gives it
    QVector<std::uint8_t> recorded; // as the sensor reported it (0 while unknown)
    QVector<std::uint8_t> differs;  // bit k: Out k+1 disagrees (see below)
    QVector<std::int8_t> area;      // the area evaluated at each sweep
    QVector<Event> events;          // the design's switching, in time order
    std::array<std::uint32_t, kOutputCount> onMs{};
    int differences = 0;        // sweeps where any output disagrees
    std::uint32_t windowMs = 0; // how far from its report a design state may lie
};

// The sweep k of the recording, or false when it cannot be read (the
// replay stops there).
using SweepSource = std::function<bool(int k, ScanRecording::Sweep &sweep)>;

// The sensor's outputs are read between sweeps and a sweep arrives over one
// sweep period, so a reported word is held against the design's states of
// the sweeps within two sweep periods of the report: a sweep disagrees when
// none of them matches what was reported. Sweeps before the first report
// never disagree.
Result evaluate(int count, const SweepSource &source, const QVector<AreaRecord> &areas,
                const Options &options);

// The area evaluated for sweep s.
int areaFor(const ScanRecording::Sweep &s, const Options &options);

// "12.350 s" for a time in ms.
QString seconds(std::uint32_t ms);

} // namespace Replay
