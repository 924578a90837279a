#include "Latencies.h"

#include <algorithm>

namespace hxreport {

void Latencies::merge(const Latencies& other) {
    samples_.insert(samples_.end(), other.samples_.begin(), other.samples_.end());
}

std::chrono::nanoseconds Latencies::percentile(unsigned percent) const {
    if (samples_.empty()) {
        return std::chrono::nanoseconds::zero();
    }
    // Rank ceil(p/100 * n), counted from one.
    const std::size_t rank = (std::min(percent, 100u) * samples_.size() + 99) / 100;
    const std::size_t index = rank == 0 ? 0 : rank - 1;
    std::vector<std::chrono::nanoseconds> sorted = samples_;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(index), sorted.end());
    return sorted[index];
}

} // namespace hxreport
