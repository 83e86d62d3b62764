#include "core/sensor/Replay.h"

#include "core/link/AreaCodec.h"
#include "core/sensor/ScanEvaluation.h"

#include <algorithm>
#include <memory>

namespace Replay {

namespace {
// The area as the sensor holds it after a write: what the replay must judge.
AreaRecord asWritten(const AreaRecord &area, int index)
{
    AreaRecord wire = area;
    AreaCodec::decode(AreaCodec::encode("WArea", index, area), wire);
    return wire;
}

std::uint32_t medianGap(const QVector<std::uint32_t> &times)
{
    QVector<std::uint32_t> gaps;
    for (int k = 1; k < times.size(); ++k)
        if (times[k] > times[k - 1])
            gaps.append(times[k] - times[k - 1]);
    if (gaps.isEmpty())
        return 0;
    std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
    return gaps[gaps.size() / 2];
}
} // namespace

int areaFor(const ScanRecording::Sweep &s, const Options &options)
{
    if (options.area >= 0)
        return qBound(0, options.area, kAreaCount - 1);
    return s.ioKnown ? (s.inputs & (kAreaCount - 1)) : 0;
}

QString seconds(std::uint32_t ms)
{
    return QStringLiteral("%1 s").arg(double(ms) / 1000.0, 0, 'f', 3);
}

Result evaluate(int count, const SweepSource &source, const QVector<AreaRecord> &areas,
                const Options &options)
{
    Result r;
    QVector<std::uint32_t> reportMs;
    QVector<bool> reported;
    std::unique_ptr<ScanEvaluation::AreaEvaluator> evaluator;
    int evaluatedArea = -1;
    std::uint8_t previous = 0;
    const auto evaluateSweep = [&](const ScanRecording::Sweep &s, int area) {
        // A switch of area starts the new one afresh, as the sensor does.
        if (!evaluator || area != evaluatedArea) {
            const AreaRecord record =
                area < areas.size() ? asWritten(areas[area], area) : AreaRecord();
            evaluator = std::make_unique<ScanEvaluation::AreaEvaluator>(record, options.sceneSpan);
            evaluatedArea = area;
        }
        ScanEvaluation::Sweep sweep;
        sweep.timeMs = s.timeMs;
        sweep.startDeg = s.startDeg;
        sweep.stepDeg = s.stepDeg;
        sweep.distances = s.distances;
        const std::uint8_t out = evaluator->feed(sweep);
        const int k = r.timeMs.size();
        r.timeMs.append(s.timeMs);
        r.design.append(out);
        r.recorded.append(s.ioKnown ? std::uint8_t(s.outputs & 7) : 0);
        r.area.append(std::int8_t(area));
        reported.append(s.ioKnown);
        reportMs.append(s.ioTimeMs);
        for (int o = 0; o < kOutputCount; ++o) {
            const bool now = (out >> o) & 1, before = (previous >> o) & 1;
            if (now != before)
                r.events.append({s.timeMs, o, now});
            if (before && k > 0)
                r.onMs[size_t(o)] += s.timeMs - r.timeMs[k - 1];
        }
        previous = out;
    };
    // Following the inputs, the sweeps before the first IO report are held
    // against the area that report names (area 0 if none comes soon: a
    // recording without reports is not kept in memory).
    QVector<ScanRecording::Sweep> beforeReport;
    const bool follow = options.area < 0;
    ScanRecording::Sweep s;
    for (int k = 0; k < count; ++k) {
        if (!source(k, s))
            break;
        if (follow && !s.ioKnown && reported.isEmpty() && beforeReport.size() < 256) {
            beforeReport.append(s);
            continue;
        }
        const int area = areaFor(s, options);
        for (const ScanRecording::Sweep &early : beforeReport)
            evaluateSweep(early, area);
        beforeReport.clear();
        evaluateSweep(s, area);
    }
    for (const ScanRecording::Sweep &early : beforeReport)
        evaluateSweep(early, 0);

    const int n = r.timeMs.size();
    r.windowMs = 2 * medianGap(r.timeMs);
    r.differs.fill(0, n);
    int lo = 0, hi = 0;
    for (int k = 0; k < n; ++k) {
        if (!reported[k])
            continue;
        const std::int64_t from = std::int64_t(reportMs[k]) - r.windowMs;
        const std::int64_t to = std::int64_t(reportMs[k]) + r.windowMs;
        while (lo < n && std::int64_t(r.timeMs[lo]) < from)
            ++lo;
        hi = std::max(hi, lo);
        while (hi < n && std::int64_t(r.timeMs[hi]) <= to)
            ++hi;
        // The states the design passed through near the report; with no
        // sweep in the window, the sweep's own.
        std::uint8_t any = 0, all = 7;
        for (int j = lo; j < hi; ++j) {
            any |= r.design[j];
            all &= r.design[j];
        }
        if (hi <= lo)
            any = all = r.design[k];
        const std::uint8_t want = r.recorded[k];
        // An output reported on needs the design on somewhere in the window,
        // reported off needs it off somewhere.
        const std::uint8_t bad = std::uint8_t((want & ~any) | (~want & all)) & 7;
        r.differs[k] = bad;
        if (bad)
            ++r.differences;
    }
    return r;
}

} // namespace Replay
