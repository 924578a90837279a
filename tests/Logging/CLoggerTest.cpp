#include "Logging/CLogger.h"

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Logging/CDefaultLoggingHandler.h"
#include "Logging/CVornixLogHandler.h"
#include "Logging/LogLevels.h"
#include "support/CapturingLogger.h"

namespace {

using Vornix::CLogger;
using Vornix::ILoggingHandler;

struct Report {
    DWORD type;
    std::wstring file;
    std::wstring function;
    std::wstring message;
};

class RecordingHandler : public ILoggingHandler {
public:
    std::vector<Report> reports;
    void HandleMessage(DWORD type, const wchar_t* file, const wchar_t* function, int, const wchar_t* message) override {
        reports.push_back(Report{type, file, function, message});
    }
};

std::wstring systemText(DWORD error) {
    wchar_t text[1024] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 1024, nullptr);
    return text;
}

std::wstring hex(const ILoggingHandler* handler) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08X", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(handler)));
    return text;
}

// The handler slot is process-wide: every test starts from an empty slot and puts back
// what was there.
class HandlerSlot : public testing::Test {
protected:
    void SetUp() override {
        saved_ = CLogger::RegisteredHandler();
        empty();
    }
    void TearDown() override {
        empty();
        if (saved_ != nullptr) {
            CLogger::RegisterHandler(saved_);
        }
    }
    static void empty() {
        if (ILoggingHandler* current = CLogger::RegisteredHandler()) {
            CLogger::UnregisterHandler(current);
        }
    }

    RecordingHandler first;
    RecordingHandler second;

private:
    ILoggingHandler* saved_ = nullptr;
};

TEST_F(HandlerSlot, RegisteringFillsAnEmptySlotOrReplacesTheDefaultHandler) {
    EXPECT_EQ(0u, CLogger::RegisterHandler(&first));
    EXPECT_EQ(0u, CLogger::RegisterHandler(&first)); // the same one again
    EXPECT_EQ(&first, CLogger::RegisteredHandler());
    EXPECT_TRUE(first.reports.empty());

    EXPECT_EQ(0u, CLogger::UnregisterHandler(&first));
    CLogger::Report(Vornix::LOG_TYPE_INFORMATION, L"f", L"g", 1, L"to the debugger");
    EXPECT_EQ(&Vornix::CDefaultLoggingHandler::Instance(), CLogger::RegisteredHandler());
    EXPECT_EQ(0u, CLogger::RegisterHandler(&second));
    EXPECT_EQ(&second, CLogger::RegisteredHandler());
}

TEST_F(HandlerSlot, ASecondHandlerIsRefusedAndTheFirstHearsWhy) {
    ASSERT_EQ(0u, CLogger::RegisterHandler(&first));
    EXPECT_EQ(5023u, CLogger::RegisterHandler(&second));
    EXPECT_EQ(&first, CLogger::RegisteredHandler());
    ASSERT_EQ(1u, first.reports.size());
    EXPECT_EQ(2u, first.reports[0].type);
    EXPECT_EQ(L"Logging\\internal_logging", first.reports[0].file);
    EXPECT_EQ(L"Vornix::CLogger::RegisterHandler", first.reports[0].function);
    EXPECT_EQ(systemText(5023) + L": Registered Logging Handler " + hex(&first) + L" cannot be replaced with " +
                  hex(&second),
              first.reports[0].message);
    EXPECT_TRUE(second.reports.empty());
}

TEST_F(HandlerSlot, NullHandlersAreRefusedWith87) {
    ASSERT_EQ(0u, CLogger::RegisterHandler(&first));
    EXPECT_EQ(87u, CLogger::RegisterHandler(nullptr));
    EXPECT_EQ(87u, CLogger::UnregisterHandler(nullptr));
    ASSERT_EQ(2u, first.reports.size());
    EXPECT_EQ(systemText(87) + L": Cannot Register (NULL) handler", first.reports[0].message);
    EXPECT_EQ(L"Vornix::CLogger::RegisterHandler", first.reports[0].function);
    EXPECT_EQ(systemText(87) + L": Cannot Unregister (NULL) handler", first.reports[1].message);
    EXPECT_EQ(L"Vornix::CLogger::UnregisterHandler", first.reports[1].function);
    EXPECT_EQ(&first, CLogger::RegisteredHandler());
}

TEST_F(HandlerSlot, UnregisteringWhenNoneIsRegisteredTellsTheRequester) {
    EXPECT_EQ(5023u, CLogger::UnregisterHandler(&first));
    EXPECT_EQ(nullptr, CLogger::RegisteredHandler());
    ASSERT_EQ(1u, first.reports.size());
    EXPECT_EQ(2u, first.reports[0].type);
    EXPECT_EQ(systemText(5023) + L": Request to Unregister Logging handler " + hex(&first) + L", but none are registered",
              first.reports[0].message);
}

TEST_F(HandlerSlot, UnregisteringAnotherHandlerTellsBothAndKeepsTheRegisteredOne) {
    ASSERT_EQ(0u, CLogger::RegisterHandler(&first));
    EXPECT_EQ(5023u, CLogger::UnregisterHandler(&second));
    EXPECT_EQ(&first, CLogger::RegisteredHandler());
    const std::wstring expected = systemText(5023) + L": Failed to Unregister Logging handler (requested handler " +
                                  hex(&second) + L" != registered handler " + hex(&first) + L")";
    ASSERT_EQ(1u, first.reports.size());
    ASSERT_EQ(1u, second.reports.size());
    EXPECT_EQ(expected, first.reports[0].message);
    EXPECT_EQ(expected, second.reports[0].message);
    EXPECT_EQ(L"Vornix::CLogger::UnregisterHandler", second.reports[0].function);

    EXPECT_EQ(0u, CLogger::UnregisterHandler(&first));
    EXPECT_EQ(nullptr, CLogger::RegisteredHandler());
}

TEST_F(HandlerSlot, ReportFormatsOneMessageForTheHandler) {
    ASSERT_EQ(0u, CLogger::RegisterHandler(&first));
    CLogger::Report(7, L"utils\\x", L"Vornix::X::y", 12, L"%ls=%d", L"count", 3);
    ASSERT_EQ(1u, first.reports.size());
    EXPECT_EQ(7u, first.reports[0].type);
    EXPECT_EQ(L"count=3", first.reports[0].message);
}

TEST(DefaultLoggingHandler, WritesOneDebuggerLinePerType) {
    const struct {
        DWORD type;
        const wchar_t* line;
    } cases[] = {
        {0, L""},
        {1, L"src\\a.cpp(42): [INFO]: [Vornix::F]: hello\n"},
        {2, L"src\\a.cpp(42): [ERROR]: [Vornix::F]: hello\n"},
        {3, L"src\\a.cpp(42): [UNKNOWN]: [Vornix::F]: hello\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.line, Vornix::CDefaultLoggingHandler::FormatLine(c.type, L"src\\a.cpp", L"Vornix::F", 42, L"hello"));
    }
}

TEST(VornixLogHandler, TurnsMessageTypesIntoLevelsAndSkipsTheLevelTest) {
    const struct {
        DWORD type;
        DWORD level;
    } cases[] = {{0, 1}, {1, 1}, {2, 4}, {3, 2}, {99, 2}};
    auto& log = PelmoraTests::InstallCapturingLogger();
    log.enabledLevelsMask = 0;
    for (const auto& c : cases) {
        log.clear();
        ETWLogging::CVornixLogHandler::Instance().HandleMessage(c.type, L"Logging\\internal_logging", L"f", 5, L"m");
        ASSERT_EQ(1u, log.entries().size()) << c.type;
        EXPECT_EQ(c.level, log.entries()[0].level) << c.type;
        EXPECT_EQ(L"m", log.entries()[0].text);
    }
}

} // namespace
