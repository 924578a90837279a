#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "Latencies.h"

namespace {
using std::chrono::nanoseconds;

struct PercentileCase {
    std::vector<long long> samples; // in the order they were measured
    unsigned percent;
    long long expected;
};

class LatenciesPercentile : public testing::TestWithParam<PercentileCase> {};

TEST_P(LatenciesPercentile, IsTheNearestRank) {
    hxreport::Latencies latencies;
    for (const long long sample : GetParam().samples) {
        latencies.add(nanoseconds(sample));
    }
    EXPECT_EQ(nanoseconds(GetParam().expected), latencies.percentile(GetParam().percent));
}

INSTANTIATE_TEST_SUITE_P(Cases, LatenciesPercentile,
                         testing::Values(PercentileCase{{}, 50, 0}, PercentileCase{{7}, 99, 7},
                                         PercentileCase{{40, 10, 30, 20}, 50, 20},
                                         PercentileCase{{40, 10, 30, 20}, 51, 30},
                                         PercentileCase{{40, 10, 30, 20}, 100, 40},
                                         PercentileCase{{40, 10, 30, 20}, 0, 10},
                                         PercentileCase{{5, 1, 4, 2, 3, 9, 8, 7, 6, 10}, 99, 10},
                                         PercentileCase{{5, 1, 4, 2, 3, 9, 8, 7, 6, 10}, 90, 9}));

TEST(Latencies, MergeKeepsEverySample) {
    hxreport::Latencies first;
    hxreport::Latencies second;
    first.add(nanoseconds(3));
    second.add(nanoseconds(1));
    second.add(nanoseconds(2));
    first.merge(second);
    EXPECT_EQ(3u, first.size());
    EXPECT_EQ(nanoseconds(1), first.percentile(1));
    EXPECT_EQ(nanoseconds(3), first.percentile(100));
}
} // namespace
