#include "Logging/CDefaultLogBuilder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Logging/CETWLogging.h"
#include "Logging/CLogger.h"
#include "Logging/CLogging.h"
#include "Logging/CLoggerHolder.h"
#include "Logging/CVornixLogHandler.h"
#include "Logging/LogCalls.h"
#include "Logging/LogLevels.h"
#include "support/CapturingLogger.h"
#include "utils/FileSystemHelpers.h"
#include "utils/UniqueResource.h"

namespace {

using namespace ETWLogging;
using PelmoraTests::CapturingLogger;
using PelmoraTests::PlainCapturingLogger;

// Hands out one prepared logger and remembers which kinds were asked for.
class OneLoggerFactory : public LoggerFactoryIf {
public:
    explicit OneLoggerFactory(CLoggingIf* logger) : logger_(logger) {}
    ~OneLoggerFactory() override { delete logger_; }
    CLoggingIf* Create(LoggerKind kind) override {
        kinds.push_back(kind);
        return std::exchange(logger_, nullptr);
    }
    std::vector<LoggerKind> kinds;

private:
    CLoggingIf* logger_;
};

TEST(LogBuilder, InitialisesExtendedLoggersWithInitExAndFallsBackToInit) {
    const struct {
        bool extended;
        DWORD initExResult;
        DWORD initResult;
        bool built;
        int initExCalls;
        int initCalls;
    } cases[] = {
        {true, 0, 0, true, 1, 0},
        {true, 87, 0, true, 1, 1},
        {true, 87, 20001, false, 1, 1},
        {false, 0, 0, true, 0, 1},
        {false, 0, 14, false, 0, 1},
    };
    for (const auto& c : cases) {
        auto* logger = c.extended ? static_cast<CLoggingIf*>(new CapturingLogger) : new PlainCapturingLogger;
        auto* extended = dynamic_cast<CapturingLogger*>(logger);
        auto* plain = dynamic_cast<PlainCapturingLogger*>(logger);
        if (extended) {
            extended->initExResult = c.initExResult;
            extended->initResult = c.initResult;
        } else {
            plain->initResult = c.initResult;
        }
        auto factory = std::make_shared<OneLoggerFactory>(logger);
        CDefaultLogBuilder builder(factory);
        CLoggingIf* built = nullptr;
        const bool ok = builder.BuildEx(L"app", L"group", nullptr, L"host", LOG_MECHANISM_FILE, &built, nullptr);
        EXPECT_EQ(c.built, ok);
        if (ok) {
            ASSERT_EQ(logger, built);
            EXPECT_EQ(c.initExCalls, extended ? extended->initExCalls : 0);
            EXPECT_EQ(c.initCalls, extended ? extended->initCalls : plain->initCalls);
            EXPECT_EQ(1, extended ? extended->addRefCalls : plain->addRefCalls);
            delete built;
        } else {
            EXPECT_EQ(nullptr, built); // the failed logger was destroyed, not handed out
        }
    }
}

TEST(LogBuilder, RefusesEmptyGroupOrHostAndAnOccupiedOutArgument) {
    CapturingLogger occupant;
    const struct {
        const wchar_t* group;
        const wchar_t* host;
        CLoggingIf* already;
    } cases[] = {
        {L"", L"host", nullptr},
        {L"group", L"", nullptr},
        {L"group", L"host", &occupant},
    };
    for (const auto& c : cases) {
        auto factory = std::make_shared<OneLoggerFactory>(new CapturingLogger);
        CDefaultLogBuilder builder(factory);
        CLoggingIf* out = c.already;
        EXPECT_FALSE(builder.Build(c.group, nullptr, c.host, LOG_MECHANISM_FILE, &out, nullptr));
        EXPECT_EQ(c.already, out);
    }
    // Absent group and host are fine.
    auto factory = std::make_shared<OneLoggerFactory>(new CapturingLogger);
    CLoggingIf* out = nullptr;
    EXPECT_TRUE(CDefaultLogBuilder(factory).Build(nullptr, nullptr, nullptr, LOG_MECHANISM_FILE, &out, nullptr));
    delete out;
}

TEST(LogBuilder, MechanismOneAsksForLogFilesAndTheDefaultIsTheTraceProvider) {
    EXPECT_EQ(LoggerKind::File, CDefaultLogBuilder::ChooseKind(LOG_MECHANISM_FILE, nullptr));
    // Nothing is configured in the test prefix.
    EXPECT_EQ(LoggerKind::Trace, CDefaultLogBuilder::ChooseKind(LOG_MECHANISM_CONFIGURED, nullptr));
    EXPECT_EQ(LoggerKind::Trace, CDefaultLogBuilder::ChooseKind(2, nullptr));

    auto factory = std::make_shared<OneLoggerFactory>(new CapturingLogger);
    CLoggingIf* out = nullptr;
    ASSERT_TRUE(CDefaultLogBuilder(factory).Build(L"g", nullptr, L"h", LOG_MECHANISM_CONFIGURED, &out, nullptr));
    EXPECT_EQ(std::vector<LoggerKind>{LoggerKind::Trace}, factory->kinds);
    delete out;
}

// Any mechanism but log files gets the trace provider, initialised and able to register.
TEST(LogBuilder, TheProductBuilderMakesTheTraceLoggerForOtherMechanisms) {
    const DWORD mechanisms[] = {LOG_MECHANISM_CONFIGURED, 2, 7};
    for (DWORD mechanism : mechanisms) {
        CLoggingIf* out = nullptr;
        ASSERT_TRUE(CDefaultLogBuilder().BuildEx(nullptr, L"_no_group", nullptr, L"_no_host", mechanism, &out,
                                                 nullptr));
        auto* trace = dynamic_cast<CETWLogging*>(out);
        ASSERT_NE(nullptr, trace) << mechanism;
        std::wstring path;
        trace->GetComponentPath(path);
        EXPECT_EQ(L"_no_group\\logging_tests", path);
        EXPECT_EQ(0u, trace->Prepare());
        EXPECT_EQ(0u, trace->Log(L"f.cpp", L"F", 1, LOG_LEVEL_ERROR, L"to no session"));
        EXPECT_EQ(0u, trace->Uninit());
        delete out;
    }
}

// The product's own file logger, initialised, writing below the machine's common
// application-data folder; what this test creates there is removed again.
TEST(LogBuilder, TheProductBuilderMakesTheFileLoggerForLogFiles) {
    Vornix::UniqueCoTaskMemString programData;
    ASSERT_EQ(S_OK, SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, programData.put()));
    const std::wstring halvex = std::wstring(programData.get()) + L"\\Halvex";
    const std::wstring logFolder = halvex + L"\\HXLOGS\\_no_group\\logging_tests";
    const bool existedBefore = Vornix::directoryExists(halvex.c_str());

    CLoggingIf* out = nullptr;
    ASSERT_TRUE(CDefaultLogBuilder().Build(L"_no_group", nullptr, L"_no_host", LOG_MECHANISM_FILE, &out, nullptr));
    ASSERT_NE(nullptr, dynamic_cast<CLogging*>(out));
    EXPECT_EQ(20001u, out->Init(L"_no_group", nullptr, L"_no_host", nullptr));

    CLoggerHolder holder;
    holder.logger = out;
    EXPECT_EQ(0u, LogDirect(&holder, L"dll\\SharedLibrary", L"f", 7, LOG_LEVEL_ERROR, L"to the file"));
    holder.logger = nullptr;
    EXPECT_EQ(0u, out->Release()); // the builder's reference

    std::string bytes;
    {
        std::ifstream file(std::filesystem::path(logFolder + L"\\logging_tests__no_host000.log"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    EXPECT_EQ(0u, text.find(L"\xFEFF"));
    EXPECT_NE(std::wstring::npos, text.find(L" -- (Error)$ [logging_tests.e]$ to the file\r\n"));

    EXPECT_TRUE(Vornix::removeDirectory((existedBefore ? logFolder : halvex).c_str()));
}

TEST(LoggerHolder, KeepsTheBuiltLoggerAndRegistersTheBridge) {
    Vornix::ILoggingHandler* saved = Vornix::CLogger::RegisteredHandler();
    if (saved != nullptr) {
        Vornix::CLogger::UnregisterHandler(saved);
    }
    {
        auto* logger = new CapturingLogger;
        CDefaultLogBuilder builder(std::make_shared<OneLoggerFactory>(logger));
        CLoggerHolder holder;
        holder.Populate(builder, nullptr, L"_no_group", nullptr, L"_no_host", 0);
        EXPECT_EQ(logger, holder.logger);
        EXPECT_EQ(&CVornixLogHandler::Instance(), holder.registeredHandler);
        EXPECT_EQ(&CVornixLogHandler::Instance(), Vornix::CLogger::RegisteredHandler());
        holder.Release();
        EXPECT_EQ(nullptr, holder.logger);
        EXPECT_EQ(nullptr, Vornix::CLogger::RegisteredHandler());
    }
    {
        CDefaultLogBuilder builder(std::make_shared<OneLoggerFactory>(nullptr));
        CLoggerHolder holder;
        holder.Populate(builder, nullptr, L"_no_group", nullptr, L"_no_host", 0);
        EXPECT_EQ(nullptr, holder.logger);
        EXPECT_EQ(nullptr, holder.registeredHandler);
        EXPECT_EQ(nullptr, Vornix::CLogger::RegisteredHandler());
    }
    if (saved != nullptr) {
        Vornix::CLogger::RegisterHandler(saved);
    }
}

TEST(LoggerHolder, IsMadeOnceForTheProcess) {
    CLoggerHolder* first = GetLogger(nullptr, L"_no_group", nullptr, L"_no_host", 0);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, GetLogger(L"other", L"other", nullptr, L"other", 1));
    EXPECT_EQ(first, CurrentLoggerHolder());
}

} // namespace
