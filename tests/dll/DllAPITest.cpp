#include "wrappers/DllAPI.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LibraryCopy.h"
#include "Logging/LogLevels.h"
#include "TestLibrary.h"
#include "support/CapturingLogger.h"
#include "utils/UniqueResource.h"
#include "support/WorkingDirectory.h"

namespace {

using Corvane::DllAPI;
using PelmoraTests::CapturingLogger;

// Answers with the real check, after noting what it was asked and whether the file could
// have been changed at that moment.
class ProbingDllAPI : public DllAPI {
public:
    std::vector<std::wstring> askedPaths;
    DWORD openForWritingError = ERROR_SUCCESS;

    bool isTrustedModule(const std::wstring& path) override {
        askedPaths.push_back(path);
        const Vornix::UniqueFileHandle writer(
            CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        openForWritingError = writer ? ERROR_SUCCESS : GetLastError();
        return DllAPI::isTrustedModule(path);
    }
};

std::wstring withoutTrailingBackslash(std::wstring folder) {
    folder.pop_back();
    return folder;
}

std::wstring moduleFileName(HMODULE module) {
    wchar_t name[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, name, MAX_PATH);
    return std::wstring(name, length < MAX_PATH ? length : 0);
}

class DllAPITest : public testing::Test {
protected:
    CapturingLogger& log = PelmoraTests::InstallCapturingLogger();
};

// Every build here is unsigned, so the check comes down to "an existing regular file".
TEST_F(DllAPITest, TrustCheckPassesOurUnsignedLibraryAndNothingThatIsNoRegularFile) {
    struct Case {
        const char* what;
        std::wstring path;
        bool trusted;
    };
    const std::wstring folder = PelmoraTests::testExecutableFolder();
    const Case cases[] = {
        {"our unsigned test DLL", PelmoraTests::testLibraryPath(), true},
        {"a directory", withoutTrailingBackslash(folder), false},
        {"a directory with its backslash", folder, false},
        {"a missing file", folder + L"Missing.dll", false},
        {"an empty path", L"", false},
    };
    DllAPI api;
    for (const auto& check : cases) {
        EXPECT_EQ(check.trusted, api.isTrustedModule(check.path)) << check.what;
    }
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(DllAPITest, LoadFailureNullsTheHandleAndLogsTheLastError) {
    struct Case {
        const char* what;
        std::wstring path;
        DWORD error;
    };
    const std::wstring folder = PelmoraTests::testExecutableFolder();
    const Case cases[] = {
        {"an empty path", L"", ERROR_INVALID_PARAMETER},
        {"a missing file", folder + L"Missing.dll", ERROR_ACCESS_DENIED},
        {"a directory", withoutTrailingBackslash(folder), ERROR_ACCESS_DENIED},
    };
    DllAPI api;
    for (const auto& load : cases) {
        log.clear();
        HMODULE handle = GetModuleHandleW(nullptr);
        EXPECT_FALSE(api.loadLibrary(load.path.c_str(), &handle)) << load.what;
        EXPECT_EQ(load.error, GetLastError()) << load.what;
        EXPECT_EQ(nullptr, handle) << load.what;

        const auto entries = log.entries();
        ASSERT_EQ(1u, entries.size()) << load.what;
        EXPECT_EQ(ETWLogging::LOG_LEVEL_ERROR, entries[0].level);
        EXPECT_EQ(L"wrappers\\DllAPI", entries[0].file);
        EXPECT_EQ(L"Corvane::DllAPI::loadLibrary", entries[0].function);
        EXPECT_EQ(L"LoadLibrary Failed. GLE: " + std::to_wstring(load.error), entries[0].text);
    }
}

// Passing the check does not make a file loadable; the loader's own error is what is logged.
TEST_F(DllAPITest, AFileThatPassesTheCheckButIsNoLibraryFailsWithTheLoadersError) {
    const PelmoraTests::LibraryCopy copy;
    const std::wstring path = copy.folder() + L"\\Text.dll";
    {
        const Vornix::UniqueFileHandle file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), "not a library", 13, &written, nullptr));
    }
    DllAPI api;
    ASSERT_TRUE(api.isTrustedModule(path));
    HMODULE handle = nullptr;
    EXPECT_FALSE(api.loadLibrary(path.c_str(), &handle));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_EXE_FORMAT), GetLastError());
    EXPECT_EQ(nullptr, handle);
    EXPECT_EQ(std::vector<std::wstring>{L"LoadLibrary Failed. GLE: 193"}, log.texts());
}

TEST_F(DllAPITest, NullPathOrNullHandlePointerLoadsNothing) {
    ProbingDllAPI api;
    HMODULE handle = GetModuleHandleW(nullptr);
    EXPECT_FALSE(api.loadLibrary(nullptr, &handle));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(nullptr, handle);

    // With nowhere to put the handle a loaded module could never be freed.
    EXPECT_FALSE(api.loadLibrary(PelmoraTests::testLibraryPath().c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_FALSE(PelmoraTests::isMapped(PelmoraTests::testLibraryName));

    EXPECT_TRUE(api.askedPaths.empty());
    EXPECT_EQ((std::vector<std::wstring>{L"LoadLibrary Failed. GLE: 87", L"LoadLibrary Failed. GLE: 87"}),
              log.texts());
}

TEST_F(DllAPITest, TheCheckedFileCannotBeReplacedBeforeItIsLoaded) {
    const PelmoraTests::LibraryCopy copy;
    ProbingDllAPI api;
    Vornix::UniqueModule module;
    ASSERT_TRUE(api.loadLibrary(copy.path().c_str(), module.put()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), api.openForWritingError);
    EXPECT_EQ(copy.path(), moduleFileName(module.get()));
}

// The loader would search for a bare name where the check does not look; both must see the
// file the name means in the current directory.
TEST_F(DllAPITest, ARelativePathIsCheckedAndLoadedAsTheSameFullPath) {
    const PelmoraTests::LibraryCopy copy;
    const WorkingDirectory inCopyFolder(copy.folder());
    ProbingDllAPI api;
    Vornix::UniqueModule module;
    ASSERT_TRUE(api.loadLibrary(PelmoraTests::testLibraryName, module.put()));
    EXPECT_EQ(std::vector<std::wstring>{copy.path()}, api.askedPaths);
    EXPECT_EQ(copy.path(), moduleFileName(module.get()));
}

} // namespace
