#include "Logging/TracePayload.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace ETWLogging;
using Bytes = std::vector<BYTE>;

void Put32(Bytes& out, DWORD value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<BYTE>(value >> (8 * i)));
    }
}

void Put16(Bytes& out, WORD value) {
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}

void Number(Bytes& out, DWORD tag, DWORD kind, DWORD value) {
    Put32(out, tag);
    Put32(out, kind);
    Put16(out, 4);
    Put32(out, value);
}

void Text(Bytes& out, DWORD tag, const char* ascii) {
    Put32(out, tag);
    Put32(out, 4);
    const std::string text(ascii);
    Put16(out, static_cast<WORD>(text.size() * 2));
    for (char c : text) {
        out.push_back(static_cast<BYTE>(c));
        out.push_back(0);
    }
}

TEST(TracePayload, EveryFieldSetInOrderWithTagsKindsAndLengths) {
    TraceRecord record;
    record.processId = 0x1234;
    record.threadId = -2;
    record.processName = L"p.exe";
    record.sourceFile = L"a.cpp";
    record.line = 77;
    record.function = L"F";
    record.libraryFileName = L"Pelmora.dll";
    record.libraryVersion = L"1.2.3.4";
    record.group = L"G";
    record.messageText = L"hi";
    Bytes expected;
    Number(expected, 4, 2, 0x1234);
    Number(expected, 5, 2, 0xFFFFFFFEu);
    Text(expected, 13, "p.exe");
    Text(expected, 6, "a.cpp");
    Number(expected, 7, 5, 77);
    Text(expected, 8, "F");
    Text(expected, 9, "Pelmora.dll");
    Text(expected, 10, "1.2.3.4");
    Text(expected, 11, "G");
    Text(expected, 12, "hi");
    Bytes payload;
    ASSERT_EQ(0u, TracePayload::Serialize(record, payload));
    EXPECT_EQ(expected, payload);
}

TEST(TracePayload, EmptyStringsHaveLengthZeroAndNoBytes) {
    Bytes expected;
    Number(expected, 4, 2, 0);
    Number(expected, 5, 2, 0);
    Text(expected, 13, "");
    Text(expected, 6, "");
    Number(expected, 7, 5, 0);
    for (DWORD tag : {8u, 9u, 10u, 11u, 12u}) {
        Text(expected, tag, "");
    }
    Bytes payload{1, 2, 3};
    ASSERT_EQ(0u, TracePayload::Serialize(TraceRecord{}, payload));
    EXPECT_EQ(expected, payload);
    EXPECT_EQ(3u * 14 + 7u * 10, payload.size());
}

// The message is last, so its length field sits just before its characters at the end.
TEST(TracePayload, LongStringsAreCutToWholeCharactersThatFitTheLength) {
    const struct {
        std::wstring message;
        size_t sentCharacters;
    } cases[] = {
        {std::wstring(32767, L'x'), 32767},
        {std::wstring(32768, L'x'), 32767},
        {std::wstring(40000, L'x'), 32767},
        {std::wstring(32766, L'x') + L"\xD83D\xDE00", 32766},
    };
    for (const auto& c : cases) {
        TraceRecord record;
        record.messageText = c.message;
        Bytes payload;
        ASSERT_EQ(0u, TracePayload::Serialize(record, payload));
        const size_t bytes = c.sentCharacters * 2;
        ASSERT_GE(payload.size(), bytes + 2);
        const size_t lengthAt = payload.size() - bytes - 2;
        EXPECT_EQ(bytes, static_cast<size_t>(payload[lengthAt] | (payload[lengthAt + 1] << 8)));
        EXPECT_EQ(0, std::memcmp(payload.data() + lengthAt + 2, c.message.data(), bytes));
    }
}

} // namespace
