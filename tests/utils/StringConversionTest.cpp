#include "utils/StringConversion.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace Vornix;

// "é€" and, as a list, "é" then "€😀"; the emoji needs a surrogate pair and four UTF-8 bytes.
const wchar_t wideText[] = L"\u00e9\u20ac";
const std::string utf8Text("\xC3\xA9\xE2\x82\xAC", 6);
const wchar_t wideList[] = L"\u00e9\0\u20ac\U0001F600\0";
const std::string utf8List("\xC3\xA9\0\xE2\x82\xAC\xF0\x9F\x98\x80\0", 12);

constexpr std::size_t canvasSize = 32;
constexpr char untouched = 'x';

// Bytes a conversion writes into, pre-filled so that every byte it touches can be seen.
struct Canvas {
    Canvas() { std::fill(std::begin(bytes), std::end(bytes), untouched); }
    char* narrow() { return bytes; }
    wchar_t* wide() { return reinterpret_cast<wchar_t*>(bytes); }
    std::string content() const { return std::string(bytes, canvasSize); }

    alignas(wchar_t) char bytes[canvasSize];
};

// head, then zeros up to `zeroedUpTo`, then untouched bytes.
std::string expectedCanvas(const std::string& head, std::size_t zeroedUpTo) {
    std::string expected = head;
    expected.resize(zeroedUpTo, '\0');
    expected.resize(canvasSize, untouched);
    return expected;
}

std::string bytesOf(const wchar_t* text, std::size_t characters) {
    return std::string(reinterpret_cast<const char*>(text), characters * sizeof(wchar_t));
}

TEST(StringConversionTest, NullArgumentsGive87) {
    DWORD size = 8;
    wchar_t wide[8];
    char narrow[8];
    std::unique_ptr<char[]> owned;
    const std::vector<std::pair<const char*, std::function<DWORD()>>> calls = {
        {"toMultiByte text", [&] { return toMultiByte(CP_UTF8, nullptr, narrow, &size); }},
        {"toMultiByte size", [&] { return toMultiByte(CP_UTF8, L"a", narrow, nullptr); }},
        {"toWideChar text", [&] { return toWideChar(CP_UTF8, nullptr, wide, &size); }},
        {"toWideChar size", [&] { return toWideChar(CP_UTF8, "a", wide, nullptr); }},
        {"utf8ToWide text", [&] { return utf8ToWide(nullptr, wide, &size); }},
        {"utf8ToWide size", [&] { return utf8ToWide("a", wide, nullptr); }},
        {"utf8ListToWide list", [&] { return utf8ListToWide(nullptr, wide, &size); }},
        {"utf8ListToWide size", [&] { return utf8ListToWide("a\0", wide, nullptr); }},
        {"wideToUtf8 text", [&] { return wideToUtf8(nullptr, owned, &size); }},
        {"wideToUtf8 length", [&] { return wideToUtf8(L"a", owned, nullptr); }},
        {"wideListToUtf8 list", [&] { return wideListToUtf8(nullptr, 16, owned, &size); }},
        {"wideListToUtf8 length", [&] { return wideListToUtf8(L"a\0", 16, owned, nullptr); }},
        {"wideListToUtf8 step 0", [&] { return wideListToUtf8(L"a\0", 0, owned, &size); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        size = 8;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), call());
    }
}

// ---------------------------------------------------------------------------------------------
// toMultiByte: sizes in bytes

struct Capacity {
    const char* name;
    bool withBuffer;
    DWORD capacity;
    DWORD status;
    std::string canvas; // the canvas afterwards
};

void PrintTo(const Capacity& c, std::ostream* os) {
    *os << c.name;
}

class ToMultiByteTest : public testing::TestWithParam<Capacity> {};

TEST_P(ToMultiByteTest, ReportsTheSizeAndWritesOnlyWhenItFits) {
    const Capacity& c = GetParam();
    Canvas canvas;
    DWORD size = c.capacity;
    EXPECT_EQ(c.status, toMultiByte(CP_UTF8, wideText, c.withBuffer ? canvas.narrow() : nullptr, &size));
    EXPECT_EQ(6u, size);
    EXPECT_EQ(c.canvas, canvas.content());
}

INSTANTIATE_TEST_SUITE_P(
    Buffers, ToMultiByteTest,
    testing::Values(Capacity{"NoBuffer", false, 0, ERROR_SUCCESS, expectedCanvas("", 0)},
                    Capacity{"OneByteShort", true, 5, ERROR_MORE_DATA, expectedCanvas("", 0)},
                    Capacity{"Exact", true, 6, ERROR_SUCCESS, expectedCanvas(utf8Text, 6)},
                    Capacity{"Roomy", true, 10, ERROR_SUCCESS, expectedCanvas(utf8Text, 10)}),
    [](const testing::TestParamInfo<Capacity>& info) { return info.param.name; });

TEST(StringConversionTest, CodePageIsHonoured) {
    char narrow[2] = {};
    DWORD size = sizeof(narrow);
    EXPECT_EQ(0u, toMultiByte(1252, L"\u00e9", narrow, &size));
    EXPECT_EQ(2u, size);
    EXPECT_EQ('\xE9', narrow[0]);

    wchar_t wide[2] = {};
    size = 2;
    EXPECT_EQ(0u, toWideChar(1252, "\xE9", wide, &size));
    EXPECT_EQ(2u, size);
    EXPECT_EQ(L'\u00e9', wide[0]);
}

// ---------------------------------------------------------------------------------------------
// toWideChar counts characters, utf8ToWide bytes

TEST(StringConversionTest, ToWideCharCountsCharacters) {
    Canvas canvas;
    DWORD size = 0;
    EXPECT_EQ(0u, toWideChar(CP_UTF8, utf8Text.c_str(), nullptr, &size));
    EXPECT_EQ(3u, size);

    size = 2;
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA),
              toWideChar(CP_UTF8, utf8Text.c_str(), canvas.wide(), &size));
    EXPECT_EQ(3u, size);
    EXPECT_EQ(expectedCanvas("", 0), canvas.content());

    size = 5;
    EXPECT_EQ(0u, toWideChar(CP_UTF8, utf8Text.c_str(), canvas.wide(), &size));
    EXPECT_EQ(3u, size);
    EXPECT_EQ(expectedCanvas(bytesOf(wideText, 3), 10), canvas.content());
}

class Utf8ToWideTest : public testing::TestWithParam<Capacity> {};

TEST_P(Utf8ToWideTest, ReportsBytes) {
    const Capacity& c = GetParam();
    Canvas canvas;
    DWORD size = c.capacity;
    EXPECT_EQ(c.status, utf8ToWide(utf8Text.c_str(), c.withBuffer ? canvas.wide() : nullptr, &size));
    EXPECT_EQ(6u, size);
    EXPECT_EQ(c.canvas, canvas.content());
}

INSTANTIATE_TEST_SUITE_P(
    Buffers, Utf8ToWideTest,
    testing::Values(Capacity{"NoBuffer", false, 0, ERROR_SUCCESS, expectedCanvas("", 0)},
                    Capacity{"OneCharacterShort", true, 5, ERROR_MORE_DATA, expectedCanvas("", 0)},
                    Capacity{"Exact", true, 6, ERROR_SUCCESS, expectedCanvas(bytesOf(wideText, 3), 6)},
                    Capacity{"OddBytes", true, 7, ERROR_SUCCESS, expectedCanvas(bytesOf(wideText, 3), 6)}),
    [](const testing::TestParamInfo<Capacity>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// utf8ListToWide: "a", "bc" takes 2 + 2, 2 * 2 + 2 and 2 for the final NUL

class Utf8ListToWideTest : public testing::TestWithParam<Capacity> {};

TEST_P(Utf8ListToWideTest, ConvertsTheWholeListOrNothing) {
    const Capacity& c = GetParam();
    Canvas canvas;
    DWORD size = c.capacity;
    EXPECT_EQ(c.status, utf8ListToWide("a\0bc\0", c.withBuffer ? canvas.wide() : nullptr, &size));
    EXPECT_EQ(12u, size);
    EXPECT_EQ(c.canvas, canvas.content());
}

const std::string wideABC = bytesOf(L"a\0bc\0", 6);

INSTANTIATE_TEST_SUITE_P(
    Buffers, Utf8ListToWideTest,
    testing::Values(Capacity{"NoBuffer", false, 0, ERROR_SUCCESS, expectedCanvas("", 0)},
                    Capacity{"NoRoom", true, 0, ERROR_MORE_DATA, expectedCanvas("", 0)},
                    Capacity{"FirstStringOnly", true, 4, ERROR_MORE_DATA, expectedCanvas("", 4)},
                    Capacity{"AllButFinalNul", true, 10, ERROR_MORE_DATA, expectedCanvas("", 10)},
                    Capacity{"OneByteShort", true, 11, ERROR_MORE_DATA, expectedCanvas("", 11)},
                    Capacity{"Exact", true, 12, ERROR_SUCCESS, expectedCanvas(wideABC, 12)},
                    Capacity{"OddBytes", true, 13, ERROR_SUCCESS, expectedCanvas(wideABC, 12)},
                    Capacity{"Roomy", true, 16, ERROR_SUCCESS, expectedCanvas(wideABC, 16)}),
    [](const testing::TestParamInfo<Capacity>& info) { return info.param.name; });

TEST(StringConversionTest, EmptyUtf8ListIsOneWideNul) {
    wchar_t wide[2] = {L'x', L'x'};
    DWORD size = sizeof(wide);
    EXPECT_EQ(0u, utf8ListToWide("", wide, &size));
    EXPECT_EQ(2u, size);
    EXPECT_EQ(L'\0', wide[0]);
    EXPECT_EQ(L'x', wide[1]);
}

// ---------------------------------------------------------------------------------------------
// wideToUtf8 and wideListToUtf8 hand out owned buffers

TEST(StringConversionTest, WideToUtf8OwnsTheBytes) {
    std::unique_ptr<char[]> buffer;
    DWORD length = 0;
    EXPECT_EQ(0u, wideToUtf8(L"\u00e9\u20ac\U0001F600", buffer, &length));
    EXPECT_EQ(10u, length);
    EXPECT_EQ(std::string("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", 10), std::string(buffer.get(), length));
}

TEST(StringConversionTest, FailedConversionLeavesNoBuffer) {
    std::unique_ptr<char[]> buffer(new char[4]());
    DWORD length = 4;
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), wideToUtf8(nullptr, buffer, &length));
    EXPECT_EQ(nullptr, buffer);
    EXPECT_EQ(0u, length);

    buffer.reset(new char[4]());
    length = 4;
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), wideListToUtf8(L"a\0", 0, buffer, &length));
    EXPECT_EQ(nullptr, buffer);
    EXPECT_EQ(0u, length);
}

TEST(StringConversionTest, EmptyWideListIsOneNulByte) {
    std::unique_ptr<char[]> buffer;
    DWORD length = 0;
    EXPECT_EQ(0u, wideListToUtf8(L"", 1, buffer, &length));
    EXPECT_EQ(1u, length);
    EXPECT_EQ('\0', buffer[0]);
}

// Steps far smaller than one string make the buffer grow several times; one byte makes the
// final NUL need a growth of its own.
class ListRoundTripTest : public testing::TestWithParam<DWORD> {};

TEST_P(ListRoundTripTest, NonAsciiListSurvivesBothWays) {
    std::unique_ptr<char[]> utf8;
    DWORD length = 0;
    ASSERT_EQ(0u, wideListToUtf8(wideList, GetParam(), utf8, &length));
    ASSERT_EQ(utf8List.size(), length);
    EXPECT_EQ(utf8List, std::string(utf8.get(), length));

    DWORD size = 0;
    ASSERT_EQ(0u, utf8ListToWide(utf8.get(), nullptr, &size));
    // The literal's own NUL ends the list.
    const std::size_t wideCharacters = sizeof(wideList) / sizeof(wchar_t);
    ASSERT_EQ(wideCharacters * sizeof(wchar_t), size);
    std::vector<wchar_t> wide(wideCharacters);
    ASSERT_EQ(0u, utf8ListToWide(utf8.get(), wide.data(), &size));
    EXPECT_EQ(bytesOf(wideList, wideCharacters), bytesOf(wide.data(), wide.size()));
}

INSTANTIATE_TEST_SUITE_P(Steps, ListRoundTripTest, testing::Values(1u, 2u, 3u, 11u, 64u));

} // namespace
