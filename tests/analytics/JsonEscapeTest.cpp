#include "analytics/JsonEscape.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using namespace Corvane::Analytics;

std::wstring escaped(const std::wstring& text) {
    const std::size_t length = jsonEscapedLength(text);
    std::wstring out(length + 1, L'#'); // one spare character shows an overrun
    const wchar_t* end = writeJsonEscaped(out.data(), text);
    EXPECT_EQ(out.data() + length, end) << testing::PrintToString(text);
    EXPECT_EQ(L'#', out.back()) << testing::PrintToString(text);
    out.pop_back();
    return out;
}

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
        {L"\xffff\x8020\x801f", L"\xffff\x8020\x801f"}, // high units are not control characters
        {L"C:\\Program Files\\x", L"C:\\\\Program Files\\\\x"},
        {L"a\"b\nc", L"a\\\"b\\nc"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.escaped, escaped(c.text)) << testing::PrintToString(c.text);
    }
}

// The scan looks at eight characters at a time: a special character must be found in every
// position of a block and in the tail after the last full block.
TEST(JsonEscape, FindsSpecialCharactersAtEveryPosition) {
    for (std::size_t length = 1; length <= 27; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            for (wchar_t special : {L'"', L'\\', L'\n', L'\x1f'}) {
                std::wstring text(length, L'x');
                text[at] = special;
                std::wstring expected(at, L'x');
                expected += special == L'"' ? L"\\\"" : special == L'\\' ? L"\\\\" : special == L'\n' ? L"\\n" : L"\\u001f";
                expected += std::wstring(length - at - 1, L'x');
                ASSERT_EQ(expected, escaped(text)) << "length " << length << " at " << at;
            }
        }
    }
}

} // namespace
