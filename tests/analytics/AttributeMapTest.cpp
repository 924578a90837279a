#include "analytics/AttributeMap.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analytics/ReferenceOrder.h"

namespace {

using Corvane::Analytics::AttributeMap;

std::vector<std::wstring> keysOf(const AttributeMap& map) {
    std::vector<std::wstring> keys;
    for (const auto& entry : map) {
        keys.emplace_back(entry.key);
    }
    return keys;
}

AttributeMap mapOf(const std::vector<std::wstring>& keys) {
    AttributeMap map;
    for (const auto& key : keys) {
        map.insertOrAssign(key, L"v:" + key);
    }
    return map;
}

TEST(AttributeMapHash, IsFnv1aOverLittleEndianCodeUnits) {
    struct Case {
        std::wstring key;
        std::uint64_t hash;
    };
    const Case cases[] = {
        {L"", 0xcbf29ce484222325ULL},
        {L"a", 0x089be207b544f1e4ULL},
        {L"id", 0xacb4d3c4c04ea688ULL},
        {L"UniqueId", 0x01c29416247860cbULL},
        // A code unit above 0xFF feeds its high byte too.
        {L"\u20AC", 0x09868007b60c6251ULL},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.hash, AttributeMap::hashKey(c.key)) << "key " << testing::PrintToString(c.key);
    }
}

TEST(AttributeMapOrder, KeysSharingABucketGoBeforeItsFirstEntry) {
    // a and i share bucket 4 of 8.
    EXPECT_EQ((std::vector<std::wstring>{L"UniqueId", L"Type", L"i", L"a"}),
              keysOf(mapOf({L"UniqueId", L"Type", L"a", L"i"})));
    // m and id share bucket 0 of 8.
    EXPECT_EQ((std::vector<std::wstring>{L"id", L"m", L"a", L"b", L"c", L"d", L"f", L"g"}),
              keysOf(mapOf({L"m", L"id", L"a", L"b", L"c", L"d", L"f", L"g"})));
}

TEST(AttributeMapOrder, GrowthRebuildsTheSequenceInItsOldOrder) {
    AttributeMap map = mapOf({L"m", L"id", L"a", L"b", L"c", L"d", L"f", L"g"});
    EXPECT_EQ(8u, map.bucketCount());
    map.insertOrAssign(L"h", L"v:h");
    EXPECT_EQ(64u, map.bucketCount());
    // m and id now share bucket 8 and were re-inserted in the order id, m.
    EXPECT_EQ((std::vector<std::wstring>{L"m", L"id", L"a", L"b", L"c", L"d", L"f", L"g", L"h"}), keysOf(map));
}

TEST(AttributeMapOrder, BucketCountGrowsAtTheNinthSixtyFifthAndFiveHundredThirteenthKey) {
    const struct {
        std::size_t keys;
        std::size_t buckets;
    } steps[] = {{1, 8}, {8, 8}, {9, 64}, {64, 64}, {65, 512}, {512, 512}, {513, 1024}, {1024, 1024}, {1025, 2048}};
    AttributeMap map;
    std::size_t inserted = 0;
    for (const auto& step : steps) {
        while (inserted < step.keys) {
            map.insertOrAssign(L"key" + std::to_wstring(inserted++), L"");
        }
        EXPECT_EQ(step.buckets, map.bucketCount()) << "after " << step.keys << " keys";
    }
}

TEST(AttributeMapOrder, MatchesTheOrderRuleThroughSeveralGrowths) {
    AttributeMap map;
    ReferenceOrder reference;
    for (int i = 0; i < 2100; ++i) {
        // Repeats mixed in: a present key keeps its place.
        const std::wstring key = L"k" + std::to_wstring((i * 7919) % 1500);
        map.insertOrAssign(key, L"x");
        reference.insert(key);
        if (i % 97 == 0 || i == 2099) {
            ASSERT_EQ(reference.sequence(), keysOf(map)) << "after " << i + 1 << " insertions";
            ASSERT_EQ(reference.buckets(), map.bucketCount());
        }
    }
}

TEST(AttributeMapValues, AssigningAPresentKeyReplacesTheValueInPlace) {
    AttributeMap map;
    EXPECT_TRUE(map.insertOrAssign(L"a", L"1"));
    EXPECT_TRUE(map.insertOrAssign(L"b", L"2"));
    EXPECT_FALSE(map.insertOrAssign(L"a", L"3"));
    ASSERT_EQ(2u, map.size());
    auto it = map.begin();
    EXPECT_EQ(L"a", it->key);
    EXPECT_EQ(L"3", it->value);
    ++it;
    EXPECT_EQ(L"b", it->key);
}

TEST(AttributeMapValues, KeysAreComparedExactly) {
    AttributeMap map;
    map.insertOrAssign(L"Type", L"upper");
    map.insertOrAssign(L"type", L"lower");
    map.insertOrAssign(L"", L"empty key");
    map.insertOrAssign(std::wstring(L"a\0b", 3), L"with nul");
    EXPECT_EQ(4u, map.size());
    ASSERT_TRUE(map.find(L"Type"));
    EXPECT_EQ(L"upper", *map.find(L"Type"));
    EXPECT_EQ(L"lower", *map.find(L"type"));
    EXPECT_EQ(L"empty key", *map.find(L""));
    EXPECT_FALSE(map.find(L"TYPE"));
    EXPECT_FALSE(map.find(L"a"));
    EXPECT_EQ(L"with nul", *map.find(std::wstring(L"a\0b", 3)));
}

TEST(AttributeMapValues, EveryKeyOfALargeMapIsFound) {
    AttributeMap map;
    for (int i = 0; i < 100000; ++i) {
        map.insertOrAssign(L"member" + std::to_wstring(i), std::to_wstring(i));
    }
    ASSERT_EQ(100000u, map.size());
    for (int i = 0; i < 100000; i += 997) {
        const auto value = map.find(L"member" + std::to_wstring(i));
        ASSERT_TRUE(value) << i;
        EXPECT_EQ(std::to_wstring(i), *value);
    }
    EXPECT_EQ(100000, std::distance(map.begin(), map.end()));
}

TEST(AttributeMapValues, ACopyKeepsOrderAndIsIndependent) {
    AttributeMap original = mapOf({L"UniqueId", L"Type", L"a", L"i"});
    AttributeMap copy(original);
    copy.insertOrAssign(L"z", L"new");
    copy.insertOrAssign(L"a", L"changed");
    EXPECT_EQ(4u, original.size());
    EXPECT_EQ(L"v:a", *original.find(L"a"));
    EXPECT_EQ((std::vector<std::wstring>{L"UniqueId", L"Type", L"i", L"a"}), keysOf(original));
    EXPECT_EQ(5u, copy.size());
}

} // namespace
