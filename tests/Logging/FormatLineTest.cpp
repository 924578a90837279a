#include "Logging/FormatLine.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "support/FixedLogLineEnvironment.h"

namespace {

using namespace ETWLogging;

using FixedEnvironment = PelmoraTests::FixedLogLineEnvironment;

// A line through FormatLine, checking the byte size that comes with it; empty when refused.
struct Formatted {
    DWORD result;
    std::wstring line;
};

class FormatLineTest : public testing::Test {
protected:
    FixedEnvironment environment;
    LogLineSource source{L"dllhost.exe", 412, LOG_OPTIONS_DEFAULT, &environment};

    Formatted format(const wchar_t* file, const wchar_t* function, int line, DWORD level,
                     const wchar_t* message) {
        DWORD byteSize = 0xDEADBEEF;
        std::unique_ptr<wchar_t[]> text;
        const DWORD result = FormatLine(source, file, function, line, level, message, &byteSize, &text);
        if (result != ERROR_SUCCESS) {
            EXPECT_EQ(nullptr, text.get());
            EXPECT_EQ(0xDEADBEEF, byteSize);
            return {result, L""};
        }
        std::wstring written(text.get());
        EXPECT_EQ((written.size() + 1) * sizeof(wchar_t), byteSize);
        return {result, written};
    }

    Formatted formatError(const wchar_t* message = L"LoadLibrary Failed. GLE: 126") {
        return format(L"dll\\SharedLibrary", L"Corvane::SharedLibrary::loadLibrary", 7, 4, message);
    }
};

const std::wstring stamp = L"12/31/2024 11:59:07 PM$ -- (Error)$";
const std::wstring component = L" [    dllhost.exe]$";
const std::wstring processThread = L" [PID:  412 TID: 5120]$";
const std::wstring sourceField = L" [       SharedLibrary:    7]$";
const std::wstring functionField = L" [     Corvane::SharedLibrary::loadLibrary()]$";
const std::wstring message = L" LoadLibrary Failed. GLE: 126\r\n";

TEST_F(FormatLineTest, OptionsSelectTheFieldsInTheirFixedOrder) {
    const struct {
        DWORD options;
        std::wstring line;
    } cases[] = {
        {0, stamp + message},
        {0x10, stamp + component + message},
        {0x04, stamp + processThread + message},
        {0x08, stamp + sourceField + message},
        {0x20, stamp + functionField + message},
        {0x3C, stamp + component + processThread + sourceField + functionField + message},
        // The debugger copy and unknown bits change nothing in the line.
        {0x01 | 0x02 | 0x40 | 0x80000000, stamp + message},
    };
    for (const auto& c : cases) {
        source.options = c.options;
        const Formatted formatted = formatError();
        EXPECT_EQ(0u, formatted.result) << c.options;
        EXPECT_EQ(c.line, formatted.line) << c.options;
    }
}

TEST_F(FormatLineTest, LevelsOneToSixHaveNamesAndOthersWriteNothing) {
    const struct {
        DWORD level;
        DWORD result;
        std::wstring line;
    } cases[] = {
        {0, ERROR_INVALID_PARAMETER, L""},
        {1, 0, L"12/31/2024 11:59:07 PM$ -- (Normal)$ m\r\n"},
        {2, 0, L"12/31/2024 11:59:07 PM$ -- (Warning)$ m\r\n"},
        {3, 0, L"12/31/2024 11:59:07 PM$ -- (Information)$ m\r\n"},
        {4, 0, L"12/31/2024 11:59:07 PM$ -- (Error)$ m\r\n"},
        {5, 0, L"12/31/2024 11:59:07 PM$ -- (Critical)$ m\r\n"},
        {6, 0, L"12/31/2024 11:59:07 PM$ -- (Information)$ m\r\n"},
        {7, ERROR_INVALID_PARAMETER, L""},
        {0xFFFFFFFF, ERROR_INVALID_PARAMETER, L""},
    };
    source.options = 0;
    for (const auto& c : cases) {
        const Formatted formatted = format(L"f", L"g", 1, c.level, L"m");
        EXPECT_EQ(c.result, formatted.result) << c.level;
        EXPECT_EQ(c.line, formatted.line) << c.level;
    }
}

TEST_F(FormatLineTest, LongNamesAreCutAndShortOnesRightAligned) {
    const struct {
        const wchar_t* componentName;
        const wchar_t* file;
        const wchar_t* function;
        int line;
        std::wstring fields;
    } cases[] = {
        {L"Pelmora.Component.Host.dll", L"messagebus\\MessageBusClientSubscriptions",
         L"Corvane::MessageBusClient::removeAllSubscriptionsNow", 7,
         L" [Pelmora.Compone]$ [MessageBusClientSubs:    7]$ [Corvane::MessageBusClient::removeAllSubs()]$"},
        // Exactly as wide as the field: whole, no padding.
        {L"ExactlyFifteen!", L"a\\b\\TwentyCharactersOfIt", L"Corvane::Forty::characters_of_a_function", 7,
         L" [ExactlyFifteen!]$ [TwentyCharactersOfIt:    7]$ [Corvane::Forty::characters_of_a_function()]$"},
        {L"a.dll", L"PathSearch", L"f", 7,
         L" [          a.dll]$ [          PathSearch:    7]$ [                                       f()]$"},
        // The line number grows beyond its five columns.
        {L"a.dll", L"dll\\SharedLibrary", L"f", 1234567,
         L" [          a.dll]$ [       SharedLibrary:1234567]$ [                                       "
         L"f()]$"},
    };
    source.options = LOG_OPTION_COMPONENT | LOG_OPTION_SOURCE | LOG_OPTION_FUNCTION;
    for (const auto& c : cases) {
        source.componentName = c.componentName;
        const Formatted formatted = format(c.file, c.function, c.line, 4, L"m");
        EXPECT_EQ(stamp + c.fields + L" m\r\n", formatted.line) << c.componentName;
    }
}

// A selected field with nothing to show still gets its separating space.
TEST_F(FormatLineTest, SelectedFieldsWithoutTextLeaveTheirSpace) {
    const struct {
        DWORD options;
        const wchar_t* componentName;
        const wchar_t* file;
        const wchar_t* function;
    } cases[] = {
        {LOG_OPTION_SOURCE, L"dllhost.exe", nullptr, L"f"},
        {LOG_OPTION_SOURCE, L"dllhost.exe", L"", L"f"},
        {LOG_OPTION_FUNCTION, L"dllhost.exe", L"dll\\SharedLibrary", nullptr},
        {LOG_OPTION_FUNCTION, L"dllhost.exe", L"dll\\SharedLibrary", L""},
        {LOG_OPTION_COMPONENT, nullptr, L"dll\\SharedLibrary", L"f"},
        {LOG_OPTION_COMPONENT, L"", L"dll\\SharedLibrary", L"f"},
    };
    for (const auto& c : cases) {
        source.options = c.options;
        source.componentName = c.componentName;
        const Formatted formatted = format(c.file, c.function, 7, 4, L"m");
        EXPECT_EQ(stamp + L"  m\r\n", formatted.line) << c.options;
    }
}

TEST_F(FormatLineTest, TwelveHourClockWithMidnightAndNoonAsTwelve) {
    const struct {
        WORD hour;
        std::wstring stamp;
    } cases[] = {
        {0, L"01/02/2025 12:03:04 AM$"},  {1, L"01/02/2025 01:03:04 AM$"},  {11, L"01/02/2025 11:03:04 AM$"},
        {12, L"01/02/2025 12:03:04 PM$"}, {13, L"01/02/2025 01:03:04 PM$"}, {23, L"01/02/2025 11:03:04 PM$"},
    };
    source.options = 0;
    for (const auto& c : cases) {
        environment.time = SYSTEMTIME{2025, 1, 4, 2, c.hour, 3, 4, 999};
        EXPECT_EQ(c.stamp + L" -- (Normal)$ m\r\n", format(L"f", L"g", 1, 1, L"m").line) << c.hour;
    }
}

TEST_F(FormatLineTest, AMessageEndingInALineFeedKeepsItsOwnLineEnd) {
    const struct {
        const wchar_t* message;
        std::wstring ending;
    } cases[] = {
        {L"two\nlines\n", L" two\nlines\n"},
        {L"\n", L" \n"},
        {L"own\r\n", L" own\r\n"},
        {L"carriage return only\r", L" carriage return only\r\r\n"},
        {L"line feed inside\nonly", L" line feed inside\nonly\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(stamp + component + c.ending, formatError(c.message).line);
    }
}

TEST_F(FormatLineTest, RefusesAMissingOrEmptyMessageAndMissingOutArguments) {
    EXPECT_EQ(ERROR_INVALID_PARAMETER, formatError(nullptr).result);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, formatError(L"").result);

    DWORD byteSize = 0;
    std::unique_ptr<wchar_t[]> text;
    EXPECT_EQ(ERROR_INVALID_PARAMETER, FormatLine(source, L"f", L"g", 1, 4, L"m", nullptr, &text));
    EXPECT_EQ(nullptr, text.get());
    EXPECT_EQ(ERROR_INVALID_PARAMETER, FormatLine(source, L"f", L"g", 1, 4, L"m", &byteSize, nullptr));
    EXPECT_EQ(0u, byteSize);
}

// What a Windows build prints for the line's own formats: the process and thread ids as
// signed numbers in five columns, growing beyond them.
TEST_F(FormatLineTest, ProcessAndThreadIdsInFiveColumns) {
    source.options = LOG_OPTION_PROCESS_THREAD;
    source.processId = 1234567;
    environment.threadId = 8;
    EXPECT_EQ(stamp + L" [PID:1234567 TID:    8]$ m\r\n", format(L"f", L"g", 1, 4, L"m").line);
}

TEST(PadField, CutsToTheWidthAndAlignsRight) {
    const struct {
        const wchar_t* text;
        int width;
        std::wstring padded;
    } cases[] = {
        {L"abc", 5, L"  abc"}, {L"abcdef", 5, L"abcde"}, {L"abcde", 5, L"abcde"},
        {L"", 5, L""},         {nullptr, 5, L""},        {L"abc", 0, L""},
    };
    for (const auto& c : cases) {
        wchar_t buffer[LOG_FIELD_CHARS] = L"stale";
        PadField(buffer, LOG_FIELD_CHARS, c.text, c.width);
        EXPECT_EQ(c.padded, buffer) << c.width;
    }
    // Never beyond the buffer.
    wchar_t small[4];
    PadField(small, 4, L"abcdef", 10);
    EXPECT_EQ(std::wstring(L"abc"), small);
}

} // namespace
