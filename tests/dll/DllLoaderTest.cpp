#include "dll/DllLoader.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Logging/LogLevels.h"
#include "TestLibrary.h"
#include "support/CapturingLogger.h"
#include "support/LogLine.h"
#include "utils/UniqueResource.h"

namespace {

using namespace Corvane;
using PelmoraTests::CapturingLogger;
using PelmoraTests::isMapped;
using PelmoraTests::LogLine;
using PelmoraTests::testLibraryName;
using PelmoraTests::testLibraryPath;

class RefusingDllAPI : public DllAPI {
public:
    bool isTrustedModule(const std::wstring&) override { return false; }
};

class CountingDllAPI : public DllAPI {
public:
    int loadCalls = 0;
    bool loadLibrary(const wchar_t* path, HMODULE* handle) override {
        ++loadCalls;
        return DllAPI::loadLibrary(path, handle);
    }
};

class ThrowingDllAPI : public DllAPI {
public:
    bool loadLibrary(const wchar_t*, HMODULE*) override { throw std::runtime_error("load"); }
    FARPROC getProcAddress(HMODULE, const char*) override { throw std::runtime_error("bind"); }
};

const LogLine loadFailedLine{ETWLogging::LOG_LEVEL_ERROR, L"dll\\DllLoader", L"Corvane::DllLoader::loadDLL",
                             L"Failed to load library. Error code: MODULE_STATUS_UNSUCCESSFUL(2147483650)."};

LogLine loadLibraryLine(DWORD error) {
    return {ETWLogging::LOG_LEVEL_ERROR, L"wrappers\\DllAPI", L"Corvane::DllAPI::loadLibrary",
            L"LoadLibrary Failed. GLE: " + std::to_wstring(error)};
}

const LogLine absentExportLine{ETWLogging::LOG_LEVEL_WARNING, L"dll\\DllLoader",
                               L"Corvane::DllLoader::getProcAddress",
                               L"getProcAddress was unsuccessful in finding the handle's address"};

using AnswerFunction = int (*)();

class DllLoaderTest : public testing::Test {
protected:
    CapturingLogger& log = PelmoraTests::InstallCapturingLogger();

    std::vector<LogLine> lines() const { return logLinesOf(log); }

    void SetUp() override { ASSERT_FALSE(isMapped(testLibraryName)) << "left loaded by an earlier test"; }
};

TEST_F(DllLoaderTest, LoadsBindsAndFreesOurLibrary) {
    DllLoader loader;
    HMODULE handle = nullptr;
    ASSERT_TRUE(loader.loadDLL(testLibraryPath(), &handle));
    ASSERT_NE(nullptr, handle);
    EXPECT_TRUE(isMapped(testLibraryName));

    const FARPROC answer = loader.getProcAddress(handle, "Answer");
    ASSERT_NE(nullptr, answer);
    EXPECT_EQ(42, reinterpret_cast<AnswerFunction>(reinterpret_cast<void (*)()>(answer))());

    EXPECT_TRUE(loader.freeDLL(handle));
    EXPECT_FALSE(isMapped(testLibraryName));
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(DllLoaderTest, AnAbsentExportIsNullWithAWarningOnly) {
    DllLoader loader;
    Vornix::UniqueModule module;
    ASSERT_TRUE(loader.loadDLL(testLibraryPath(), module.put()));
    EXPECT_EQ(nullptr, loader.getProcAddress(module.get(), "Question"));
    EXPECT_EQ(std::vector<LogLine>{absentExportLine}, lines());
}

TEST_F(DllLoaderTest, AFileThatIsRefusedOrMissingIsNeverMapped) {
    struct Case {
        const char* what;
        std::shared_ptr<DllAPI> api;
        std::wstring path;
        DWORD error;
    };
    const Case cases[] = {
        {"refused by the trust check", std::make_shared<RefusingDllAPI>(), testLibraryPath(),
         ERROR_ACCESS_DENIED},
        {"missing", nullptr, PelmoraTests::testExecutableFolder() + L"Missing.dll", ERROR_ACCESS_DENIED},
        {"an empty path", nullptr, L"", ERROR_INVALID_PARAMETER},
    };
    for (const auto& load : cases) {
        log.clear();
        DllLoader loader(load.api);
        HMODULE handle = GetModuleHandleW(nullptr);
        EXPECT_FALSE(loader.loadDLL(load.path, &handle)) << load.what;
        EXPECT_EQ(nullptr, handle) << load.what;
        EXPECT_FALSE(isMapped(testLibraryName)) << load.what;
        EXPECT_EQ((std::vector<LogLine>{loadLibraryLine(load.error), loadFailedLine}), lines()) << load.what;
    }
}

TEST_F(DllLoaderTest, ANullHandlePointerIsRefusedBeforeTheLibraryAPIIsAsked) {
    const auto api = std::make_shared<CountingDllAPI>();
    DllLoader loader(api);
    EXPECT_FALSE(loader.loadDLL(testLibraryPath(), nullptr));
    EXPECT_EQ(0, api->loadCalls);
    EXPECT_FALSE(isMapped(testLibraryName));
    EXPECT_EQ(
        (std::vector<LogLine>{{ETWLogging::LOG_LEVEL_WARNING, L"dll\\DllLoader",
                               L"Corvane::DllLoader::loadDLL", L"Invalid pHandle specified. Exiting."}}),
        lines());
}

TEST_F(DllLoaderTest, AnExceptionOfTheLibraryAPIBecomesAFailure) {
    DllLoader loader(std::make_shared<ThrowingDllAPI>());
    HMODULE handle = nullptr;
    EXPECT_FALSE(loader.loadDLL(testLibraryPath(), &handle));
    EXPECT_EQ(nullptr, loader.getProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetLastError"));
    const LogLine exceptionLine{
        ETWLogging::LOG_LEVEL_ERROR, L"dll\\DllLoader", L"Corvane::DllLoader::loadDLL",
        L"Failed to load library. Error code: MODULE_STATUS_UNKNOWN_EXCEPTION(2147483663)."};
    EXPECT_EQ((std::vector<LogLine>{exceptionLine, absentExportLine}), lines());
}

} // namespace
