#include "analytics/EventDataReader.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace Corvane::Analytics;
using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

Pairs pairsOf(const AttributeMap& map) {
    Pairs pairs;
    for (const auto& entry : map) {
        pairs.emplace_back(std::wstring(entry.key), std::wstring(entry.value));
    }
    return pairs;
}

// A map that already holds something, so that "left as it was" can be seen.
AttributeMap prefilled() {
    AttributeMap map;
    map.insertOrAssign(L"kept", L"old");
    return map;
}

struct Rejected {
    const char* why;
    std::wstring text;
    EventTextProblem problem;
};

class EventTextRejected : public testing::TestWithParam<Rejected> {};

TEST_P(EventTextRejected, GivesFalseAndLeavesTheMapAsItWas) {
    const Rejected& c = GetParam();
    AttributeMap map = prefilled();
    EXPECT_FALSE(parseEventData(c.text, map));
    EXPECT_EQ((Pairs{{L"kept", L"old"}}), pairsOf(map));
    EXPECT_EQ(8u, map.bucketCount());

    AttributeMap again = prefilled();
    EXPECT_EQ(c.problem, readEventData(c.text, again).problem);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EventTextRejected,
    testing::Values(Rejected{"empty", L"", EventTextProblem::Empty},
                    Rejected{"blanks only", L" \t\r\n", EventTextProblem::InvalidJson},
                    Rejected{"opening brace", L"{", EventTextProblem::InvalidJson},
                    Rejected{"second value", L"{\"a\":\"1\"}{\"b\":\"2\"}", EventTextProblem::InvalidJson},
                    Rejected{"trailing text", L"{\"a\":\"1\"} x", EventTextProblem::InvalidJson},
                    Rejected{"single quotes", L"{'a':'1'}", EventTextProblem::InvalidJson},
                    Rejected{"trailing comma", L"{\"a\":\"1\",}", EventTextProblem::InvalidJson},
                    Rejected{"comment", L"{\"a\":\"1\"/*c*/}", EventTextProblem::InvalidJson},
                    Rejected{"raw control character", L"{\"a\":\"1\n\"}", EventTextProblem::InvalidJson},
                    Rejected{"unknown escape", L"{\"a\":\"\\x\"}", EventTextProblem::InvalidJson},
                    Rejected{"unterminated string", L"{\"a\":\"1}", EventTextProblem::InvalidJson},
                    Rejected{"form feed is not whitespace", L"\f{}", EventTextProblem::InvalidJson},
                    // Members before the fault must not reach the map either.
                    Rejected{"broken after members", L"{\"a\":\"1\",\"b\":\"2\",\"c\"}",
                             EventTextProblem::InvalidJson},
                    Rejected{"root array", L"[\"a\"]", EventTextProblem::RootNotObject},
                    Rejected{"root string", L"\"a\"", EventTextProblem::RootNotObject},
                    Rejected{"member number", L"{\"a\":\"1\",\"n\":1}", EventTextProblem::MemberNotString},
                    Rejected{"member true", L"{\"n\":true,\"a\":\"1\"}", EventTextProblem::MemberNotString},
                    Rejected{"member false", L"{\"n\":false}", EventTextProblem::MemberNotString},
                    Rejected{"member null", L"{\"n\":null}", EventTextProblem::MemberNotString},
                    Rejected{"member object", L"{\"n\":{\"x\":\"y\"}}", EventTextProblem::MemberNotString},
                    Rejected{"member array", L"{\"n\":[\"x\"]}", EventTextProblem::MemberNotString},
                    // Invalid anywhere wins over an odd member before it.
                    Rejected{"odd member, then broken", L"{\"n\":1,", EventTextProblem::InvalidJson}),
    [](const testing::TestParamInfo<Rejected>& info) {
        std::string name;
        for (const char* p = info.param.why; *p != 0; ++p) {
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        }
        return name;
    });

TEST(EventTextRead, ReportsTheParseErrorAndTheOffendingMember) {
    AttributeMap map;
    EventReadResult broken = readEventData(L"{\"a\":\"1\" \"b\"}", map);
    EXPECT_EQ(rapidjson::kParseErrorObjectMissCommaOrCurlyBracket, broken.parseError);
    EXPECT_EQ(9u, broken.errorOffset);

    EventReadResult member = readEventData(L"{\"UniqueId\":\"u\",\"count\":3}", map);
    EXPECT_EQ(EventTextProblem::MemberNotString, member.problem);
    EXPECT_EQ(L"count", member.member);
}

TEST(EventTextRead, RootScalarsHoldNoMembers) {
    for (const wchar_t* text : {L"1", L" -2.5e3 ", L"true", L"false", L"null"}) {
        AttributeMap map;
        const EventReadResult read = readEventData(text, map);
        EXPECT_TRUE(read.ok()) << text;
        EXPECT_TRUE(read.scalarRoot) << text;
        EXPECT_TRUE(map.empty()) << text;
    }
    for (const wchar_t* text : {L"{}", L"{\"a\":\"1\"}"}) {
        AttributeMap map;
        EXPECT_FALSE(readEventData(text, map).scalarRoot) << text;
    }
}

TEST(EventTextRead, StoresStringMembersInTheMapsOrder) {
    AttributeMap map;
    ASSERT_TRUE(parseEventData(L" {\"UniqueId\" : \"u1\",\r\n\t\"Type\":\"t1\",\"a\":\"1\",\"i\":\"2\"} ", map));
    EXPECT_EQ((Pairs{{L"UniqueId", L"u1"}, {L"Type", L"t1"}, {L"i", L"2"}, {L"a", L"1"}}), pairsOf(map));

    AttributeMap empty;
    EXPECT_TRUE(parseEventData(L"{}", empty));
    EXPECT_TRUE(empty.empty());
}

TEST(EventTextRead, ARepeatedNameKeepsItsFirstPlaceAndTakesTheLastValue) {
    AttributeMap map;
    ASSERT_TRUE(parseEventData(L"{\"a\":\"1\",\"b\":\"2\",\"a\":\"3\"}", map));
    EXPECT_EQ((Pairs{{L"a", L"3"}, {L"b", L"2"}}), pairsOf(map));
}

TEST(EventTextRead, EscapesAreDecodedAndNulCutsNamesAndValues) {
    AttributeMap map;
    ASSERT_TRUE(parseEventData(L"{\"e\":\"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\","
                               L"\"cut\\u0000name\":\"v\",\"v\":\"before\\u0000after\",\"\":\"\"}",
                               map));
    EXPECT_EQ((Pairs{{L"e", L"\"\\/\b\f\n\r\t\u00e9\U0001F600"}, {L"cut", L"v"}, {L"v", L"before"}, {L"", L""}}),
              pairsOf(map));
}

TEST(EventTextRead, ManyMembersAreAllStored) {
    std::wstring text = L"{";
    for (int i = 0; i < 100000; ++i) {
        text += (i ? L",\"k" : L"\"k") + std::to_wstring(i) + L"\":\"" + std::to_wstring(i) + L"\"";
    }
    text += L"}";
    AttributeMap map;
    ASSERT_TRUE(parseEventData(text, map));
    EXPECT_EQ(100000u, map.size());
    EXPECT_EQ(L"99999", *map.find(L"k99999"));
}

// Nesting that would exhaust a recursive parser's stack must come back as a plain false.
TEST(EventTextRead, DeepNestingGivesFalseWithoutExhaustingTheStack) {
    const std::size_t depth = 1000000;
    const struct {
        const char* why;
        std::wstring text;
        EventTextProblem problem;
    } cases[] = {
        {"open brackets", std::wstring(depth, L'['), EventTextProblem::InvalidJson},
        {"balanced brackets", std::wstring(depth, L'[') + std::wstring(depth, L']'), EventTextProblem::RootNotObject},
        {"nested objects", [] {
             std::wstring text;
             for (int i = 0; i < 500000; ++i) {
                 text += L"{\"a\":";
             }
             text += L"\"x\"";
             text += std::wstring(500000, L'}');
             return text;
         }(),
         EventTextProblem::MemberNotString},
    };
    for (const auto& c : cases) {
        AttributeMap map;
        EXPECT_FALSE(parseEventData(c.text, map)) << c.why;
        EXPECT_TRUE(map.empty()) << c.why;
        EXPECT_EQ(c.problem, readEventData(c.text, map).problem) << c.why;
    }
}

} // namespace
