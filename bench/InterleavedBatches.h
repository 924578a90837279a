#pragma once

#include <algorithm>
#include <chrono>

namespace PelmoraBench {

struct BestTimes {
    double baseline; // microseconds per call
    double measured;
};

template <typename Work> double batchMicroseconds(Work& work, int calls) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) {
        work();
    }
    const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / calls;
}

// Batches of the two take turns, so that a slow spell of the machine weighs on both alike;
// the best batch of each stands for it.
template <typename Baseline, typename Measured>
BestTimes bestOfInterleavedBatches(Baseline baseline, Measured measured, int rounds, int calls) {
    BestTimes best{1e300, 1e300};
    for (int round = 0; round < rounds; ++round) {
        best.baseline = std::min(best.baseline, batchMicroseconds(baseline, calls));
        best.measured = std::min(best.measured, batchMicroseconds(measured, calls));
    }
    return best;
}

} // namespace PelmoraBench
