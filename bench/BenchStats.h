#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

// The figures the benchmarks print: the median and the 95th percentile of
// their samples.
struct Stats {
    double median;
    double p95;
};

inline Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[size_t(std::ceil(v.size() * 0.95)) - 1]};
}
