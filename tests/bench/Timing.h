#pragma once
// What every benchmark measures with: a steady clock, milliseconds, and the median of
// repeated samples, which a single slow run on a busy machine does not move.

#include <algorithm>
#include <chrono>
#include <vector>

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
