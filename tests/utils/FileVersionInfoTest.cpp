#include "utils/FileVersionInfo.h"
#include "utils/SystemFileVersionInfo.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ScratchFolder.h"
#include "support/WorkingDirectory.h"
#include "utils/FileSystemHelpers.h"

namespace {

using namespace Vornix;

std::wstring testFolder() {
    std::wstring folder;
    std::wstring fileName;
    splitModulePath(GetModuleHandleW(nullptr), folder, true, fileName);
    return folder;
}

// Translations 0409/04B0 (ProductName only), then 0407/04E4 (FileVersion and ProductName).
std::wstring versionedLibrary() {
    return testFolder() + L"VersionedLibrary.dll";
}

// ---------------------------------------------------------------------------------------------
// FileVersionInfo

struct ValueCase {
    const char* name;
    const wchar_t* valueName;
    const wchar_t* expected;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << c.name;
}

class FileVersionValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(FileVersionValueTest, FollowsTheTranslationTable) {
    FileVersionInfo info;
    ASSERT_TRUE(info.load(versionedLibrary()));
    EXPECT_EQ(GetParam().expected, info.getStringValue(GetParam().valueName));
}

INSTANTIATE_TEST_SUITE_P(
    VersionedLibrary, FileVersionValueTest,
    testing::Values(ValueCase{"OnlyInSecondTranslation", L"FileVersion", L"2.1.0.7"},
                    ValueCase{"FirstTranslationWins", L"ProductName", L"Versioned test library"},
                    ValueCase{"Missing", L"CompanyName", L""}, ValueCase{"Empty", L"", L""}),
    [](const testing::TestParamInfo<ValueCase>& info) { return info.param.name; });

TEST(FileVersionInfoTest, AnswersNothingBeforeALoadSucceeds) {
    ScratchFolder scratch;
    const std::wstring withoutResource = scratch.makeFile(L"plain.dll");
    FileVersionInfo info;
    EXPECT_EQ(L"", info.getStringValue(L"FileVersion"));
    EXPECT_FALSE(info.load(scratch.pathOf(L"missing.dll")));
    EXPECT_FALSE(info.load(withoutResource));
    EXPECT_EQ(L"", info.getStringValue(L"FileVersion"));

    EXPECT_TRUE(info.load(versionedLibrary()));
    EXPECT_EQ(L"2.1.0.7", info.getStringValue(L"FileVersion"));
}

TEST(FileVersionInfoTest, KeepsTheFirstFileLoaded) {
    wchar_t systemFolder[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(systemFolder, MAX_PATH), 0u);
    FileVersionInfo info;
    ASSERT_TRUE(info.load(versionedLibrary()));

    EXPECT_FALSE(info.load(std::wstring(systemFolder) + L"\\kernel32.dll"));
    EXPECT_EQ(L"2.1.0.7", info.getStringValue(L"FileVersion"));
    EXPECT_EQ(L"Versioned test library", info.getStringValue(L"ProductName"));
}

// ---------------------------------------------------------------------------------------------
// SystemFileVersionInfo

TEST(SystemFileVersionInfoTest, ReadsTheSystemFolderWhateverTheCurrentDirectory) {
    // A look-alike in the current directory must not be taken for the system's file.
    ScratchFolder scratch;
    ASSERT_TRUE(CopyFileW(versionedLibrary().c_str(), scratch.pathOf(L"kernel32.dll").c_str(), TRUE));
    const WorkingDirectory inScratch(scratch.path());

    SystemFileVersionInfo kernel32;
    ASSERT_TRUE(kernel32.load(L"kernel32.dll"));
    EXPECT_EQ(L"10.0.18362.1350", kernel32.getStringValue(L"ProductVersion"));
}

// Known-folder answers in order; the last one repeats. A null folder answers no path.
class ScriptedShell : public ShlObjAPI {
public:
    struct Answer {
        HRESULT result;
        const wchar_t* folder;
    };
    explicit ScriptedShell(std::vector<Answer> answers) : answers_(std::move(answers)) {}

    HRESULT getKnownFolderPath(REFKNOWNFOLDERID folder, DWORD flags, HANDLE token, PWSTR* path) override {
        EXPECT_TRUE(IsEqualGUID(FOLDERID_System, folder));
        EXPECT_EQ(0u, flags);
        EXPECT_EQ(nullptr, token);
        const Answer& answer = answers_[calls < answers_.size() ? calls : answers_.size() - 1];
        ++calls;
        *path = answer.folder != nullptr ? copyForCaller(answer.folder) : nullptr;
        return answer.result;
    }

    std::size_t calls = 0;

private:
    static PWSTR copyForCaller(const std::wstring& text) {
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        auto* copy = static_cast<PWSTR>(CoTaskMemAlloc(bytes));
        memcpy(copy, text.c_str(), bytes);
        return copy;
    }

    std::vector<Answer> answers_;
};

TEST(SystemFileVersionInfoTest, NamesAFileInsideTheFolderTheShellGives) {
    // The test folder stands in for the system folder, given without a trailing backslash.
    std::wstring folder = testFolder();
    folder.pop_back();
    const auto shell =
        std::make_shared<ScriptedShell>(std::vector<ScriptedShell::Answer>{{S_OK, folder.c_str()}});

    SystemFileVersionInfo info(shell);
    ASSERT_TRUE(info.load(L"VersionedLibrary.dll"));
    EXPECT_EQ(L"2.1.0.7", info.getStringValue(L"FileVersion"));
    EXPECT_EQ(1u, shell->calls);
}

struct FolderFailure {
    const char* name;
    HRESULT result;
    const wchar_t* folder;
};

void PrintTo(const FolderFailure& c, std::ostream* os) {
    *os << c.name;
}

// A copy of the test library at the root of the current drive, where a root-relative fallback
// would look for it.
class SystemFolderFailureTest : public testing::TestWithParam<FolderFailure> {
protected:
    void SetUp() override {
        planted_ = CopyFileW(versionedLibrary().c_str(), plantedPath_.c_str(), TRUE) != FALSE;
        ASSERT_TRUE(planted_);
        ASSERT_TRUE(fileExists(L"\\VersionedLibrary.dll"));
    }
    void TearDown() override {
        if (planted_) {
            DeleteFileW(plantedPath_.c_str());
        }
    }

    ScratchFolder scratch_;
    WorkingDirectory inScratch_{scratch_.path()};
    std::wstring plantedPath_ = scratch_.path().substr(0, 3) + L"VersionedLibrary.dll";
    bool planted_ = false;
};

TEST_P(SystemFolderFailureTest, FailsTheLoadAndAsksAgainNextTime) {
    std::wstring folder = testFolder();
    folder.pop_back();
    const FolderFailure& failure = GetParam();
    const auto shell = std::make_shared<ScriptedShell>(
        std::vector<ScriptedShell::Answer>{{failure.result, failure.folder}, {S_OK, folder.c_str()}});
    SystemFileVersionInfo info(shell);

    EXPECT_FALSE(info.load(L"VersionedLibrary.dll"));
    EXPECT_EQ(L"", info.getStringValue(L"FileVersion"));
    EXPECT_TRUE(info.load(L"VersionedLibrary.dll"));
    EXPECT_EQ(L"2.1.0.7", info.getStringValue(L"FileVersion"));
    EXPECT_EQ(2u, shell->calls);
}

INSTANTIATE_TEST_SUITE_P(Answers, SystemFolderFailureTest,
                         testing::Values(FolderFailure{"Error", E_FAIL, nullptr},
                                         FolderFailure{"ErrorWithPath", E_FAIL, L"C:\\windows\\system32"},
                                         FolderFailure{"NoPath", S_OK, nullptr},
                                         FolderFailure{"EmptyPath", S_OK, L""}),
                         [](const testing::TestParamInfo<FolderFailure>& info) { return info.param.name; });

} // namespace
