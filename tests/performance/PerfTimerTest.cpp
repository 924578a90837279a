#include "performance/PerfTimer.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Logging/LogLevels.h"
#include "support/CapturingLogger.h"

namespace {

using Corvane::internal::PerfTimer;
using PelmoraTests::CapturingLogger;
using PelmoraTests::LogEntry;

// Exact, independent of the timer's own arithmetic: the 128-bit product cannot overflow.
long long counterNanoseconds() {
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<long long>(static_cast<__int128>(counter.QuadPart) * 1000000000 / frequency.QuadPart);
}

std::vector<std::wstring> splitFields(const std::wstring& text) {
    std::vector<std::wstring> fields;
    std::size_t begin = 0;
    for (std::size_t bar = text.find(L'|'); bar != std::wstring::npos; bar = text.find(L'|', begin)) {
        fields.push_back(text.substr(begin, bar - begin));
        begin = bar + 1;
    }
    fields.push_back(text.substr(begin));
    return fields;
}

long long parseWholeNumber(const std::wstring& field) {
    std::size_t used = 0;
    const long long value = std::stoll(field, &used);
    EXPECT_EQ(field.size(), used) << "not a number: " << testing::PrintToString(field);
    return value;
}

class PerfTimerRecord : public testing::Test {
protected:
    CapturingLogger& log = PelmoraTests::InstallCapturingLogger();
};

TEST_F(PerfTimerRecord, CarriesTheNameAndConsistentTimesInNanoseconds) {
    // The name is an argument of the format, never part of it; an empty one leaves its field empty.
    for (const std::wstring name : {L"MessageBusLib::MessageBusLib", L"100% %ls", L""}) {
        log.clear();
        const long long before = counterNanoseconds();
        { PerfTimer timer(name); }
        const long long after = counterNanoseconds();

        const auto entries = log.entries();
        ASSERT_EQ(1u, entries.size());
        EXPECT_EQ(ETWLogging::LOG_LEVEL_NORMAL, entries[0].level);
        EXPECT_EQ(L"performance\\PerfTimer", entries[0].file);
        EXPECT_EQ(L"Corvane::internal::PerfTimer::stop", entries[0].function);

        const auto fields = splitFields(entries[0].text);
        ASSERT_EQ(5u, fields.size()) << testing::PrintToString(entries[0].text);
        EXPECT_EQ(L"Q4VXPerfTimer", fields[0]);
        EXPECT_EQ(name, fields[1]);
        const long long start = parseWholeNumber(fields[2]);
        const long long stop = parseWholeNumber(fields[3]);
        EXPECT_LE(before, start);
        EXPECT_LE(start, stop);
        EXPECT_LE(stop, after);
        EXPECT_EQ(stop - start, parseWholeNumber(fields[4]));
    }
}

TEST_F(PerfTimerRecord, IsWrittenOncePerScopeHoweverTheScopeEnds) {
    struct Case {
        const char* scope;
        std::function<void()> run;
    };
    const Case cases[] = {
        {"left normally", [] { PerfTimer timer(L"t"); }},
        {"stopped, then destroyed",
         [] {
             PerfTimer timer(L"t");
             timer.stop();
         }},
        {"stopped twice",
         [] {
             PerfTimer timer(L"t");
             timer.stop();
             timer.stop();
         }},
        {"left by an exception",
         [] {
             try {
                 PerfTimer timer(L"t");
                 throw std::runtime_error("construction failed");
             } catch (const std::runtime_error&) {
             }
         }},
    };
    for (const auto& scope : cases) {
        log.clear();
        scope.run();
        EXPECT_EQ(1u, log.entries().size()) << scope.scope;
    }
}

TEST_F(PerfTimerRecord, IsInTheLogBeforeTheExceptionThatLeftTheScopeIsCaught) {
    try {
        PerfTimer timer(L"MessageBusLib::MessageBusLib");
        throw std::runtime_error("construction failed");
    } catch (const std::runtime_error&) {
        ASSERT_EQ(1u, log.entries().size());
        EXPECT_EQ(0u, log.entries()[0].text.rfind(L"Q4VXPerfTimer|MessageBusLib::MessageBusLib|", 0));
    }
}

// The first stop counts as the stop even when nothing could be written.
TEST_F(PerfTimerRecord, IsNeverWrittenForATimerStoppedWhileNormalWasDisabled) {
    {
        PerfTimer timer(L"t");
        log.enabledLevelsMask = ~(1u << ETWLogging::LOG_LEVEL_NORMAL);
        timer.stop();
        log.enabledLevelsMask = 0xFFFFFFFF;
        timer.stop();
    }
    EXPECT_TRUE(log.entries().empty());
}

} // namespace
