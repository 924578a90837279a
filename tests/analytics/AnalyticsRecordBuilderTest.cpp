#include "analytics/AnalyticsRecordBuilder.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidjson/document.h>

namespace {

using namespace Corvane::Analytics;

TEST(AnalyticsRecord, IsBuiltFromTheTemplate) {
    const struct {
        std::wstring event;
        std::wstring record;
    } cases[] = {
        {L"{\"UniqueId\":\"u1\",\"Type\":\"t1\",\"a\":\"1\",\"i\":\"2\"}",
         L"{\"type\":\"t1\",\"unique_id\":\"u1\",\"data\":[{\"UniqueId\":\"u1\"},{\"Type\":\"t1\"},{\"i\":\"2\"},{\"a\":"
         L"\"1\"}]}"},
        {L"{\"UniqueId\":\"short\",\"UniqueIdentifier\":\"long\",\"Type\":\"t\"}",
         // UniqueIdentifier and Type share a bucket.
         L"{\"type\":\"t\",\"unique_id\":\"long\",\"data\":[{\"UniqueId\":\"short\"},{\"Type\":\"t\"},{"
         L"\"UniqueIdentifier\":\"long\"}]}"},
        {L"{\"Type\":\"plain\",\"Tracker.Type\":\"tracker\",\"UniqueId\":\"u\"}",
         // Tracker.Type and UniqueId share a bucket.
         L"{\"type\":\"tracker\",\"unique_id\":\"u\",\"data\":[{\"Type\":\"plain\"},{\"UniqueId\":\"u\"},{"
         L"\"Tracker.Type\":\"tracker\"}]}"},
        {L"{\"UniqueId\":\"\",\"Type\":\"\"}",
         L"{\"type\":\"\",\"unique_id\":\"\",\"data\":[{\"UniqueId\":\"\"},{\"Type\":\"\"}]}"},
        {L"{\"Type\":\"t\",\"UniqueId\":\"u\"}",
         L"{\"type\":\"t\",\"unique_id\":\"u\",\"data\":[{\"Type\":\"t\"},{\"UniqueId\":\"u\"}]}"},
        // Decoded escapes that need none in the record come out as plain characters.
        {L"{\"UniqueId\":\"\\u00e9\\/\",\"Type\":\"t\"}",
         L"{\"type\":\"t\",\"unique_id\":\"\u00e9/\",\"data\":[{\"UniqueId\":\"\u00e9/\"},{\"Type\":\"t\"}]}"},
        // Characters that need escaping are escaped in names and values alike.
        {L"{\"UniqueId\":\"C:\\\\Program Files\\\\\\\"x\\\"\",\"Type\":\"a\\nb\",\"k\\t\\u0001\":\"v\"}",
         L"{\"type\":\"a\\nb\",\"unique_id\":\"C:\\\\Program Files\\\\\\\"x\\\"\",\"data\":[{\"UniqueId\":\"C:\\\\Program "
         L"Files\\\\\\\"x\\\"\"},{\"Type\":\"a\\nb\"},{\"k\\t\\u0001\":\"v\"}]}"},
    };
    for (const auto& c : cases) {
        std::wstring record = L"untouched";
        ASSERT_TRUE(buildAnalyticsRecord(c.event.c_str(), record)) << testing::PrintToString(c.event);
        EXPECT_EQ(c.record, record);
    }
}

TEST(AnalyticsRecord, NoRecordLeavesTheCallersTextAlone) {
    const struct {
        const wchar_t* event;
        RecordProblem problem;
    } cases[] = {
        {L"", RecordProblem::EventText},
        {L"{\"UniqueId\":\"u\",", RecordProblem::EventText},
        {L"{\"UniqueId\":\"u\",\"Type\":1}", RecordProblem::EventText},
        {L"42", RecordProblem::NoUniqueId},
        {L"{}", RecordProblem::NoUniqueId},
        {L"{\"Type\":\"t\"}", RecordProblem::NoUniqueId},
        {L"{\"UniqueId\":\"u\"}", RecordProblem::NoType},
        {L"{\"uniqueid\":\"u\",\"type\":\"t\"}", RecordProblem::NoUniqueId},
        {L"{\"UniqueId\":\"u\",\"type\":\"t\",\"tracker.type\":\"t\"}", RecordProblem::NoType},
        {L"{\"UNIQUEIDENTIFIER\":\"u\",\"Type\":\"t\"}", RecordProblem::NoUniqueId},
        {nullptr, RecordProblem::EventText},
    };
    for (const auto& c : cases) {
        std::wstring record = L"previous record";
        const RecordBuildResult result = tryBuildAnalyticsRecord(c.event, record);
        EXPECT_EQ(c.problem, result.problem) << testing::PrintToString(c.event ? c.event : L"(null)");
        EXPECT_FALSE(buildAnalyticsRecord(c.event, record));
        EXPECT_EQ(L"previous record", record);
    }
}

TEST(AnalyticsRecord, TheEventTextEndsAtItsFirstNul) {
    const std::wstring event(L"{\"UniqueId\":\"u\",\"Type\":\"t\"}\0garbage", 36);
    std::wstring record;
    ASSERT_TRUE(buildAnalyticsRecord(event.c_str(), record));
    EXPECT_EQ(L"{\"type\":\"t\",\"unique_id\":\"u\",\"data\":[{\"UniqueId\":\"u\"},{\"Type\":\"t\"}]}", record);
}

// Whatever a client sends, consumers must be able to read the record back to the same attributes.
TEST(AnalyticsRecord, IsValidJsonThatReadsBackToTheAttributes) {
    std::wstring hostile;
    for (wchar_t c = 1; c < 0x80; ++c) {
        hostile += c;
    }
    const std::vector<std::wstring> values = {L"C:\\Program Files\\App\\", L"say \"hi\"", L"\",\"injected\":\"x",
                                              L"line1\r\nline2\ttab", hostile};
    for (const auto& value : values) {
        AttributeMap map;
        map.insertOrAssign(L"UniqueId", value);
        map.insertOrAssign(L"Type", L"t");
        map.insertOrAssign(value, value);
        std::wstring record;
        ASSERT_EQ(RecordProblem::None, renderAnalyticsRecord(map, record));

        rapidjson::GenericDocument<rapidjson::UTF16<wchar_t>> document;
        document.Parse(record.c_str());
        ASSERT_FALSE(document.HasParseError()) << testing::PrintToString(record);
        ASSERT_TRUE(document.IsObject());
        EXPECT_EQ(3u, document.MemberCount());
        EXPECT_EQ(value, document[L"unique_id"].GetString());
        const auto& data = document[L"data"];
        ASSERT_EQ(3u, data.Size());
        bool found = false;
        for (const auto& item : data.GetArray()) {
            const auto& member = *item.MemberBegin();
            if (value == member.name.GetString()) {
                EXPECT_EQ(value, member.value.GetString());
                found = true;
            }
        }
        EXPECT_TRUE(found) << testing::PrintToString(record);
    }
}

TEST(AnalyticsRecord, ListsEveryMemberOfALargeEvent) {
    std::wstring event = L"{\"UniqueId\":\"u\",\"Type\":\"t\"";
    for (int i = 0; i < 100000; ++i) {
        event += L",\"m" + std::to_wstring(i) + L"\":\"" + std::to_wstring(i) + L"\"";
    }
    event += L"}";
    std::wstring record;
    ASSERT_TRUE(buildAnalyticsRecord(event.c_str(), record));
    rapidjson::GenericDocument<rapidjson::UTF16<wchar_t>> document;
    document.Parse(record.c_str());
    ASSERT_FALSE(document.HasParseError());
    EXPECT_EQ(100002u, document[L"data"].Size());
}

} // namespace
