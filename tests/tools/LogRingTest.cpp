#include <gtest/gtest.h>

#include <vector>

#include "LogRing.h"

namespace {

struct RingCase {
    int last;
    unsigned entries;
    std::vector<unsigned> oldestFirst;
};

class LogRingOrder : public testing::TestWithParam<RingCase> {};

TEST_P(LogRingOrder, EndsWithTheFileWrittenLast) {
    EXPECT_EQ(GetParam().oldestFirst, hxconfig::ringOrder(GetParam().last, GetParam().entries));
}

INSTANTIATE_TEST_SUITE_P(Cases, LogRingOrder,
                         testing::Values(RingCase{0, 3, {1, 2, 0}}, RingCase{1, 3, {2, 0, 1}},
                                         RingCase{2, 3, {0, 1, 2}}, RingCase{0, 2, {1, 0}},
                                         RingCase{99, 100, [] {
                                                      std::vector<unsigned> all;
                                                      for (unsigned i = 0; i < 100; ++i) {
                                                          all.push_back(i);
                                                      }
                                                      return all;
                                                  }()},
                                         // Left from a larger ring: still the newest.
                                         RingCase{3, 3, {0, 1, 2, 3}}, RingCase{7, 3, {0, 1, 2, 7}},
                                         // Names no file: the logger starts again at 0.
                                         RingCase{-1, 3, {0, 1, 2}}));

} // namespace
