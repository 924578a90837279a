#include "analytics/JsonEscape.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using Corvane::Analytics::appendJsonEscaped;

TEST(JsonEscape, EscapesQuoteBackslashAndControlCharactersOnly) {
    const struct {
        std::wstring text;
        std::wstring escaped;
    } cases[] = {
        {L"", L""},
        {L"plain text", L"plain text"},
        {L"\"", L"\\\""},
        {L"\\", L"\\\\"},
        {L"\b", L"\\b"},
        {L"\f", L"\\f"},
        {L"\n", L"\\n"},
        {L"\r", L"\\r"},
        {L"\t", L"\\t"},
        {std::wstring(1, L'\0'), L"\\u0000"},
        {L"\x01", L"\\u0001"},
        {L"\x0b", L"\\u000b"},
        {L"\x1f", L"\\u001f"},
        {L" ", L" "},
        {L"/", L"/"},
        {L"\x7f", L"\x7f"},
        {L"\u00e9\u20ac", L"\u00e9\u20ac"},
        {L"\U0001F600", L"\U0001F600"},
        {L"\xd800", L"\xd800"}, // a lone surrogate is copied, not judged
        {L"C:\\Program Files\\x", L"C:\\\\Program Files\\\\x"},
        {L"a\"b\nc", L"a\\\"b\\nc"},
    };
    for (const auto& c : cases) {
        std::wstring out = L"<";
        appendJsonEscaped(out, c.text);
        EXPECT_EQ(L"<" + c.escaped, out) << testing::PrintToString(c.text);
    }
}

} // namespace
