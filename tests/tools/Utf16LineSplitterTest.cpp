#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Utf16LineSplitter.h"

namespace {

using hxconfig::Utf16LineSplitter;

// Little-endian bytes of a text that holds only characters of one code unit each, or pairs.
std::string utf16le(const std::wstring& text) {
    std::string bytes;
    for (const wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// Every way of cutting the bytes into two pieces gives the same lines.
std::vector<std::wstring> linesOf(const std::string& bytes, std::size_t cut) {
    std::vector<std::wstring> lines;
    Utf16LineSplitter splitter([&lines](std::wstring_view line) { lines.emplace_back(line); });
    splitter.feed(std::string_view(bytes).substr(0, cut));
    splitter.feed(std::string_view(bytes).substr(cut));
    splitter.finish();
    return lines;
}

struct SplitCase {
    std::string bytes;
    std::vector<std::wstring> lines;
};

class Utf16Lines : public testing::TestWithParam<SplitCase> {};

TEST_P(Utf16Lines, AreCutAtLineFeedsWhereverThePiecesEnd) {
    for (std::size_t cut = 0; cut <= GetParam().bytes.size(); ++cut) {
        EXPECT_EQ(GetParam().lines, linesOf(GetParam().bytes, cut)) << "cut after byte " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf16Lines,
    testing::Values(SplitCase{"", {}}, SplitCase{utf16le(L"one\r\ntwo\r\n"), {L"one", L"two"}},
                    // A message that ends in its own line feed gets no carriage return.
                    SplitCase{utf16le(L"one\ntwo\r\n"), {L"one", L"two"}},
                    SplitCase{utf16le(L"\r\n\r\n"), {L"", L""}},
                    // The last line of a file may still be without its end.
                    SplitCase{utf16le(L"one\r\ntw"), {L"one", L"tw"}},
                    // Only the carriage return of the line end goes.
                    SplitCase{utf16le(L"a\rb\r\r\n"), {L"a\rb\r"}},
                    // A character of which one byte was written yet is dropped.
                    SplitCase{utf16le(L"one\r\n") + "t", {L"one"}},
                    // U+010A holds the byte of a line feed without being one; é and € beyond ASCII.
                    SplitCase{utf16le(L"\u010A\u00E9\u20AC\r\n"), {L"\u010A\u00E9\u20AC"}},
                    SplitCase{utf16le(L"\xD83D\xDE00\r\n"), {L"\xD83D\xDE00"}}));

} // namespace
