#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analytics/AnalyticsRecordBuilder.h"
#include "analytics/AttributeMap.h"
#include "analytics/ReferenceOrder.h"
#include "support/CollidingNames.h"

namespace {

using namespace Corvane::Analytics;

// Names that all land in one bucket of the map, whatever its bucket count, the way a
// hostile client would choose them: every insertion meets every earlier name in the bucket.
const std::vector<std::wstring>& collidingNames() {
    static const std::vector<std::wstring> names = fnvLowBitCollidingNames(12, 7);
    return names;
}

// Colliding names with a few ordinary ones in between, so that the bucket is not alone.
std::vector<std::wstring> insertionOrder(std::size_t collidingCount) {
    std::vector<std::wstring> keys{L"UniqueId", L"Type"};
    for (std::size_t i = 0; i < collidingCount; ++i) {
        keys.push_back(collidingNames()[i]);
        if (i % 500 == 0) {
            keys.push_back(L"ordinary" + std::to_wstring(i));
        }
    }
    return keys;
}

std::vector<std::wstring> keysOf(const AttributeMap& map) {
    std::vector<std::wstring> keys;
    for (const auto& entry : map) {
        keys.emplace_back(entry.key);
    }
    return keys;
}

// Records of thousands of members: show where two part, not all of both.
testing::AssertionResult sameRecord(const std::wstring& expected, const std::wstring& actual) {
    const auto parted = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    if (parted.first == expected.end() && parted.second == actual.end()) {
        return testing::AssertionSuccess();
    }
    const std::size_t at = parted.first - expected.begin();
    const std::size_t from = at < 40 ? 0 : at - 40;
    return testing::AssertionFailure()
           << "records part at character " << at << " of " << expected.size() << " (actual " << actual.size()
           << "): expected ..." << testing::PrintToString(expected.substr(from, 160)) << ", actual ..."
           << testing::PrintToString(actual.substr(from, 160));
}

TEST(CollidingNames, AreDistinctAndShareTheLowHalfOfTheirHash) {
    const auto& names = collidingNames();
    ASSERT_EQ(4096u, names.size());
    EXPECT_EQ(names.size(), std::set<std::wstring>(names.begin(), names.end()).size());
    const std::uint64_t low = AttributeMap::hashKey(names[0]) & 0xFFFFFFFFu;
    for (const auto& name : names) {
        ASSERT_EQ(low, AttributeMap::hashKey(name) & 0xFFFFFFFFu) << testing::PrintToString(name);
    }
}

TEST(CollidingNames, FollowTheOrderRuleThroughEveryGrowth) {
    AttributeMap map;
    ReferenceOrder reference;
    std::size_t bucketCount = map.bucketCount();
    for (const auto& key : insertionOrder(collidingNames().size())) {
        EXPECT_TRUE(map.insertOrAssign(key, L"v"));
        reference.insert(key);
        if (map.bucketCount() != bucketCount) {
            bucketCount = map.bucketCount();
            ASSERT_EQ(reference.buckets(), bucketCount);
            ASSERT_EQ(reference.sequence(), keysOf(map)) << "after growing to " << bucketCount << " buckets";
        }
    }
    EXPECT_EQ(reference.buckets(), map.bucketCount());
    EXPECT_EQ(reference.sequence(), keysOf(map));
}

TEST(CollidingNames, AreFoundOnlyWhenPresentAndReassignedInPlace) {
    // The last names stay out: they collide with every present name but must not be found.
    const std::size_t present = collidingNames().size() - 96;
    AttributeMap map;
    for (std::size_t i = 0; i < present; ++i) {
        map.insertOrAssign(collidingNames()[i], std::to_wstring(i));
    }
    const std::vector<std::wstring> order = keysOf(map);
    for (std::size_t i = 0; i < present; i += 7) {
        EXPECT_FALSE(map.insertOrAssign(collidingNames()[i], L"new " + std::to_wstring(i)));
    }
    EXPECT_EQ(present, map.size());
    EXPECT_EQ(order, keysOf(map));
    for (std::size_t i = 0; i < collidingNames().size(); ++i) {
        const auto value = map.find(collidingNames()[i]);
        if (i >= present) {
            EXPECT_FALSE(value) << i;
        } else {
            ASSERT_TRUE(value) << i;
            EXPECT_EQ((i % 7 == 0 ? L"new " : L"") + std::to_wstring(i), *value);
        }
    }
}

TEST(CollidingNames, MakeTheRecordInTheOrderOfTheRule) {
    const std::vector<std::wstring> keys = insertionOrder(2048);
    ReferenceOrder reference;
    std::map<std::wstring, std::wstring> values;
    std::wstring event = L"{";
    auto report = [&](const std::wstring& key, const std::wstring& value) {
        event += (event.size() > 1 ? L",\"" : L"\"") + key + L"\":\"" + value + L"\"";
        reference.insert(key);
        values[key] = value;
    };
    for (std::size_t i = 0; i < keys.size(); ++i) {
        report(keys[i], std::to_wstring(i));
    }
    // Repeated members keep their first place and take their last value.
    for (std::size_t i = 3; i < keys.size(); i += 101) {
        report(keys[i], L"again");
    }
    event += L"}";

    std::wstring expected =
        L"{\"type\":\"" + values[L"Type"] + L"\",\"unique_id\":\"" + values[L"UniqueId"] + L"\",\"data\":[";
    for (const auto& key : reference.sequence()) {
        expected += (expected.back() == L'[' ? L"{\"" : L",{\"") + key + L"\":\"" + values[key] + L"\"}";
    }
    expected += L"]}";

    std::wstring record;
    ASSERT_TRUE(buildAnalyticsRecord(event.c_str(), record));
    EXPECT_TRUE(sameRecord(expected, record));
}

} // namespace
