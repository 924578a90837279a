#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

namespace hxreport {

// Durations of single reports, summarised by percentiles.
class Latencies {
public:
    void reserve(std::size_t count) { samples_.reserve(count); }
    void add(std::chrono::nanoseconds sample) { samples_.push_back(sample); }
    void merge(const Latencies& other);

    std::size_t size() const { return samples_.size(); }
    // Nearest rank over the samples; zero when there are none.
    std::chrono::nanoseconds percentile(unsigned percent) const;

private:
    std::vector<std::chrono::nanoseconds> samples_;
};

} // namespace hxreport
