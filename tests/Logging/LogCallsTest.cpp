#include "Logging/LogCalls.h"

#include <string>

#include <gtest/gtest.h>

#include "support/CapturingLogger.h"

namespace {

using namespace ETWLogging;
using PelmoraTests::CapturingLogger;
using PelmoraTests::LogEntry;
using PelmoraTests::PlainCapturingLogger;
using PelmoraTests::ScopedHolderLogger;

class LogStatement : public testing::Test {
protected:
    CapturingLogger& log = PelmoraTests::InstallCapturingLogger();

    static CLoggerHolder* holder() {
        return GetLogger(defaultApplicationName, defaultGroup, defaultModule, defaultHost, defaultMechanism);
    }
};

TEST_F(LogStatement, ReachesAnExtendedLoggerThroughLogExWithItsSourceAndFunction) {
    const int line = __LINE__ + 1;
    HXLOG(LOG_LEVEL_ERROR, L"dll\\SharedLibrary", L"Corvane::SharedLibrary::loadLibrary", L"LoadLibrary Failed. GLE: %lu", 5UL);
    const auto entries = log.entries();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(LogEntry::Path::LogEx, entries[0].path);
    EXPECT_EQ(LOG_LEVEL_ERROR, entries[0].level);
    EXPECT_EQ(L"dll\\SharedLibrary", entries[0].file);
    EXPECT_EQ(L"Corvane::SharedLibrary::loadLibrary", entries[0].function);
    EXPECT_EQ(line, entries[0].line);
    EXPECT_EQ(L"LoadLibrary Failed. GLE: 5", entries[0].text);
}

// Formats behave as a Windows build prints them: %ls wide, %hs narrow, %lu unsigned long.
TEST_F(LogStatement, FormatsWideNarrowAndNumbersAsWindowsDoes) {
    HXLOG(LOG_LEVEL_NORMAL, L"f", L"g", L"%ls(%lu) %hs %d %08X %lld", L"MODULE_STATUS_NOT_FOUND", 2147483658UL, "narrow",
          -3, 0xABCu, -9000000000LL);
    ASSERT_EQ(1u, log.entries().size());
    EXPECT_EQ(L"MODULE_STATUS_NOT_FOUND(2147483658) narrow -3 00000ABC -9000000000", log.entries()[0].text);
}

TEST_F(LogStatement, StopsAtADisabledLevelOrAFailingPrepare) {
    log.enabledLevelsMask = 1u << LOG_LEVEL_ERROR;
    HXLOG(LOG_LEVEL_NORMAL, L"f", L"g", L"dropped");
    log.enabledLevelsMask = 0xFFFFFFFF;
    log.prepareResult = 5;
    HXLOG(LOG_LEVEL_ERROR, L"f", L"g", L"dropped too");
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(LogStatement, CutsTheLogExMessageTo2079Characters) {
    const std::wstring longText(3000, L'x');
    HXLOG(LOG_LEVEL_NORMAL, L"f", L"g", L"%ls", longText.c_str());
    ASSERT_EQ(1u, log.entries().size());
    EXPECT_EQ(std::wstring(2079, L'x'), log.entries()[0].text);
}

TEST_F(LogStatement, GivesAPlainLoggerTheWholeMessageUpTo4160Characters) {
    PlainCapturingLogger plain;
    ScopedHolderLogger swap(&plain);
    const struct {
        std::size_t length;
        std::size_t arrives;
    } cases[] = {{10, 10}, {2080, 2080}, {4160, 4160}, {4161, 2080}, {9000, 2080}};
    for (const auto& c : cases) {
        plain.clear();
        const std::wstring text(c.length, L'y');
        HXLOG(LOG_LEVEL_WARNING, L"f", L"g", L"%ls", text.c_str());
        ASSERT_EQ(1u, plain.entries().size()) << c.length;
        EXPECT_EQ(LogEntry::Path::Log, plain.entries()[0].path);
        EXPECT_EQ(c.arrives, plain.entries()[0].text.size()) << c.length;
    }
}

TEST_F(LogStatement, LogThroughHolderAndLogDirectReportWhatHappened) {
    CLoggerHolder empty;
    EXPECT_EQ(1627u, LogThroughHolder(&empty, LOG_LEVEL_ERROR, L"f", L"g", 1, L"x"));
    EXPECT_EQ(1627u, LogDirect(&empty, L"f", L"g", 1, LOG_LEVEL_ERROR, L"x"));
    EXPECT_EQ(1627u, LogDirect(nullptr, L"f", L"g", 1, LOG_LEVEL_ERROR, L"x"));

    log.logResult = 183;
    EXPECT_EQ(183u, LogThroughHolder(holder(), LOG_LEVEL_ERROR, L"f", L"g", 1, L"%d", 7));
    log.prepareResult = 20002;
    EXPECT_EQ(20002u, LogDirect(holder(), L"f", L"g", 1, LOG_LEVEL_ERROR, L"x"));
    ASSERT_EQ(1u, log.entries().size());
    EXPECT_EQ(L"7", log.entries()[0].text);
}

TEST_F(LogStatement, LogDirectMakesNoLevelTest) {
    log.enabledLevelsMask = 0;
    EXPECT_EQ(0u, LogDirect(holder(), L"f", L"g", 3, 9, L"whatever the level"));
    ASSERT_EQ(1u, log.entries().size());
    EXPECT_EQ(9u, log.entries()[0].level);
}

} // namespace
