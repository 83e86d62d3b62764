#include "tests/fuzz/FuzzTargets.h"

namespace FuzzTargets {

const Target kTargets[kTargetCount] = {
    {"project", projectFile},     {"receive", receivePath},   {"areacodec", areaCodec},
    {"payloads", payloads},       {"discovery", discoveryAnswer}, {"sweepcsv", sweepCsv},
};

} // namespace FuzzTargets
