#include "utils/FileSystemHelpers.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ScratchFolder.h"
#include "support/WorkingDirectory.h"
#include "utils/UniqueResource.h"

namespace {

using namespace Vornix;
using Entries = std::vector<std::wstring>;

// More than a MAX_PATH buffer holds; cut to 259 characters it would still act below head.
std::wstring overlong(const std::wstring& head, wchar_t filler) {
    return head + std::wstring(300, filler);
}

// ---------------------------------------------------------------------------------------------
// Existence tests

struct Existence {
    const char* name;
    const wchar_t* relative; // below the scratch folder; null and "" are passed as they are
    bool file;
    bool directory;
    bool regular;
};

void PrintTo(const Existence& c, std::ostream* os) {
    *os << c.name;
}

class ExistenceTest : public testing::TestWithParam<Existence> {
  protected:
    ExistenceTest() {
        scratch.makeFile(L"file.txt");
        scratch.makeFolder(L"folder");
    }
    ScratchFolder scratch;
};

TEST_P(ExistenceTest, TellsFilesFromDirectories) {
    const Existence& c = GetParam();
    const std::wstring path = c.relative != nullptr && *c.relative ? scratch.pathOf(c.relative) : L"";
    const wchar_t* argument = c.relative == nullptr ? nullptr : path.c_str();
    EXPECT_EQ(c.file, fileExists(argument));
    EXPECT_EQ(c.directory, directoryExists(argument));
    EXPECT_EQ(c.regular, isRegularFile(argument));
}

INSTANTIATE_TEST_SUITE_P(Paths, ExistenceTest,
                         testing::Values(Existence{"Null", nullptr, false, false, false},
                                         Existence{"Empty", L"", false, false, false},
                                         Existence{"Missing", L"missing.txt", false, false, false},
                                         Existence{"File", L"file.txt", true, false, true},
                                         Existence{"Folder", L"folder", false, true, false}),
                         [](const testing::TestParamInfo<Existence>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// deleteFiles

class DeleteFilesTest : public testing::Test {
  protected:
    ScratchFolder scratch;
};

TEST_F(DeleteFilesTest, RefusedPatternsDeleteNothing) {
    scratch.makeFile(L"a.txt");
    scratch.makeFolder(L"sub");
    scratch.makeFile(L"sub\\b.txt");
    const Entries before = scratch.entries();
    const WorkingDirectory inScratch(scratch.path());

    const std::wstring tooLong = overlong(scratch.path() + L"\\", L'*');
    const wchar_t* const patterns[] = {nullptr, L"", L".", L"..", L"*.*", tooLong.c_str()};
    for (const wchar_t* pattern : patterns) {
        SCOPED_TRACE(testing::Message() << "pattern " << (pattern ? pattern : L"(null)"));
        EXPECT_FALSE(deleteFiles(pattern, true));
    }
    EXPECT_EQ(before, scratch.entries());
}

TEST_F(DeleteFilesTest, PatternMatchingNothingIsFalse) {
    scratch.makeFile(L"a.txt");
    EXPECT_FALSE(deleteFiles(scratch.pathOf(L"*.none").c_str(), false));
    EXPECT_FALSE(deleteFiles(scratch.pathOf(L"missing\\*.*").c_str(), false));
    EXPECT_EQ(Entries{L"a.txt"}, scratch.entries());
}

TEST_F(DeleteFilesTest, ReadOnlyFileIsDeleted) {
    scratch.makeFile(L"locked.txt", FILE_ATTRIBUTE_READONLY);
    scratch.makeFile(L"plain.txt");
    scratch.makeFile(L"other.dat", FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(deleteFiles(scratch.pathOf(L"*.txt").c_str(), false));
    EXPECT_EQ(Entries{L"other.dat"}, scratch.entries());
}

TEST_F(DeleteFilesTest, KeepsGoingAfterAFileThatCannotBeDeleted) {
    scratch.makeFile(L"a.txt");
    const std::wstring busy = scratch.makeFile(L"b.txt");
    scratch.makeFile(L"c.txt");
    {
        const UniqueFileHandle open(CreateFileW(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(open);
        EXPECT_FALSE(deleteFiles(scratch.pathOf(L"*.txt").c_str(), false));
    }
    EXPECT_EQ(Entries{L"b.txt"}, scratch.entries());
}

struct Recursion {
    const char* name;
    bool recursive;
    Entries left;
};

void PrintTo(const Recursion& c, std::ostream* os) {
    *os << c.name;
}

class DeleteFilesRecursionTest : public testing::TestWithParam<Recursion> {
  protected:
    ScratchFolder scratch;
};

TEST_P(DeleteFilesRecursionTest, RemovesSubDirectoriesOnlyWhenAsked) {
    const Recursion& c = GetParam();
    scratch.makeFile(L"top.txt", FILE_ATTRIBUTE_READONLY);
    scratch.makeFolder(L"sub");
    scratch.makeFile(L"sub\\inner.txt");
    scratch.makeFolder(L"sub\\deeper");
    scratch.makeFile(L"sub\\deeper\\locked.txt", FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(deleteFiles(scratch.pathOf(L"*.*").c_str(), c.recursive));
    EXPECT_EQ(c.left, scratch.entries());
    EXPECT_TRUE(directoryExists(scratch.path().c_str()));
}

INSTANTIATE_TEST_SUITE_P(Flags, DeleteFilesRecursionTest,
                         testing::Values(Recursion{"Recursive", true, {}},
                                         Recursion{"Flat",
                                                   false,
                                                   {L"sub", L"sub\\deeper", L"sub\\deeper\\locked.txt",
                                                    L"sub\\inner.txt"}}),
                         [](const testing::TestParamInfo<Recursion>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// removeDirectory

class RemoveDirectoryTest : public testing::Test {
  protected:
    ScratchFolder scratch;
};

TEST_F(RemoveDirectoryTest, RemovesAnEmptyDirectory) {
    const std::wstring empty = scratch.makeFolder(L"empty");
    EXPECT_TRUE(removeDirectory(empty.c_str()));
    EXPECT_EQ(Entries{}, scratch.entries());
}

TEST_F(RemoveDirectoryTest, RemovesANestedTreeWithReadOnlyEntries) {
    const std::wstring top = scratch.makeFolder(L"top");
    scratch.makeFile(L"top\\a.txt", FILE_ATTRIBUTE_READONLY);
    scratch.makeFolder(L"top\\sub");
    scratch.makeFile(L"top\\sub\\b.txt");
    scratch.makeFolder(L"top\\sub\\empty");
    scratch.makeFolder(L"top\\sub\\sealed");
    scratch.makeFile(L"top\\sub\\sealed\\c");
    SetFileAttributesW(scratch.pathOf(L"top\\sub\\sealed").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(top.c_str(), FILE_ATTRIBUTE_READONLY);
    scratch.makeFile(L"beside.txt");

    EXPECT_TRUE(removeDirectory(top.c_str()));
    EXPECT_EQ(Entries{L"beside.txt"}, scratch.entries());
}

TEST_F(RemoveDirectoryTest, RefusedPathsRemoveNothing) {
    const std::wstring file = scratch.makeFile(L"a.txt");
    scratch.makeFolder(L"sub");
    scratch.makeFile(L"sub\\b.txt");
    const Entries before = scratch.entries();
    const WorkingDirectory inScratch(scratch.path());

    const std::wstring missing = scratch.pathOf(L"missing");
    const wchar_t* const paths[] = {nullptr, L"", L".", L"..", missing.c_str(), file.c_str()};
    for (const wchar_t* path : paths) {
        SCOPED_TRACE(testing::Message() << "path " << (path ? path : L"(null)"));
        EXPECT_FALSE(removeDirectory(path));
    }
    EXPECT_EQ(before, scratch.entries());
}

// ---------------------------------------------------------------------------------------------
// createDirectory

class CreateDirectoryTest : public testing::Test {
  protected:
    ScratchFolder scratch;
};

TEST_F(CreateDirectoryTest, ExistingDirectoryIsTrueWith183) {
    DWORD error = 0;
    EXPECT_TRUE(createDirectory(scratch.path().c_str(), &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), error);
    EXPECT_TRUE(createDirectory(scratch.path().c_str()));
}

TEST_F(CreateDirectoryTest, NullOrEmptyPathIs87) {
    for (const wchar_t* path : {static_cast<const wchar_t*>(nullptr), L""}) {
        DWORD error = 0;
        EXPECT_FALSE(createDirectory(path, &error));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), error);
    }
}

struct Creation {
    const char* name;
    std::wstring (*argument)(const std::wstring& scratch);
    const wchar_t* created; // below the scratch folder
};

void PrintTo(const Creation& c, std::ostream* os) {
    *os << c.name;
}

class CreateDirectoryPathTest : public testing::TestWithParam<Creation> {
  protected:
    ScratchFolder scratch;
};

TEST_P(CreateDirectoryPathTest, CreatesTheDirectoryThePathNames) {
    const Creation& c = GetParam();
    const WorkingDirectory inScratch(scratch.path());
    DWORD error = 99;
    EXPECT_TRUE(createDirectory(c.argument(scratch.path()).c_str(), &error));
    EXPECT_EQ(0u, error);
    EXPECT_TRUE(directoryExists(scratch.pathOf(c.created).c_str()));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CreateDirectoryPathTest,
    testing::Values(
        Creation{"RelativeWithBackslash", [](const std::wstring&) { return std::wstring(L"a\\b"); }, L"a\\b"},
        Creation{"RelativeName", [](const std::wstring&) { return std::wstring(L"single"); }, L"single"},
        Creation{"LeadingBackslash", [](const std::wstring& s) { return s.substr(2) + L"\\lead"; }, L"lead"},
        Creation{"DriveLetter", [](const std::wstring& s) { return s + L"\\x\\y"; }, L"x\\y"},
        Creation{"ExtendedLength", [](const std::wstring& s) { return L"\\\\?\\" + s + L"\\ext"; }, L"ext"}),
    [](const testing::TestParamInfo<Creation>& info) { return info.param.name; });

struct Refusal {
    const char* name;
    std::wstring (*argument)(const std::wstring& scratch);
    DWORD error;
};

void PrintTo(const Refusal& c, std::ostream* os) {
    *os << c.name;
}

class CreateDirectoryRefusalTest : public testing::TestWithParam<Refusal> {
  protected:
    ScratchFolder scratch;
};

TEST_P(CreateDirectoryRefusalTest, CreatesNothing) {
    const Refusal& c = GetParam();
    scratch.makeFile(L"file.txt");
    const WorkingDirectory inScratch(scratch.path());
    DWORD error = 0;
    EXPECT_FALSE(createDirectory(c.argument(scratch.path()).c_str(), &error));
    EXPECT_EQ(c.error, error);
    EXPECT_EQ(Entries{L"file.txt"}, scratch.entries());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CreateDirectoryRefusalTest,
    testing::Values(
        Refusal{"TooLong", [](const std::wstring& s) { return overlong(s + L"\\", L'a'); },
                ERROR_FILENAME_EXCED_RANGE},
        Refusal{"TooLongOnceAbsolute", [](const std::wstring&) { return std::wstring(250, L'b'); },
                ERROR_FILENAME_EXCED_RANGE},
        Refusal{"FileInTheWay", [](const std::wstring& s) { return s + L"\\file.txt"; }, ERROR_CANNOT_MAKE},
        Refusal{"BelowAFile", [](const std::wstring& s) { return s + L"\\file.txt\\sub"; },
                ERROR_CANNOT_MAKE}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// createDirectoryTree

class CreateDirectoryTreeTest : public testing::Test {
  protected:
    ScratchFolder scratch;
};

TEST_F(CreateDirectoryTreeTest, CreatesEveryMissingLevel) {
    EXPECT_EQ(0u, createDirectoryTree(scratch.pathOf(L"one\\two\\three").c_str()));
    EXPECT_EQ((Entries{L"one", L"one\\two", L"one\\two\\three"}), scratch.entries());
    EXPECT_EQ(0u, createDirectoryTree(scratch.pathOf(L"one\\two\\three").c_str()));
}

TEST_F(CreateDirectoryTreeTest, ReportsWhatStandsInTheWay) {
    const std::wstring file = scratch.makeFile(L"file.txt");
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), createDirectoryTree(file.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), createDirectoryTree((file + L"\\sub").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE),
              createDirectoryTree(overlong(scratch.path() + L"\\", L'a').c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), createDirectoryTree(nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), createDirectoryTree(L""));
    EXPECT_EQ(Entries{L"file.txt"}, scratch.entries());
}

// ---------------------------------------------------------------------------------------------
// splitModulePath

TEST(SplitModulePathTest, SplitsTheExecutablePath) {
    wchar_t full[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, full, MAX_PATH);
    ASSERT_GT(length, 0u);
    const std::wstring path(full, length);
    const std::size_t lastBackslash = path.rfind(L'\\');

    for (const bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "with trailing backslash" : "without trailing backslash");
        std::wstring folder;
        std::wstring fileName;
        ASSERT_TRUE(splitModulePath(GetModuleHandleW(nullptr), folder, keep, fileName));
        EXPECT_EQ(L"utils_tests.exe", fileName);
        EXPECT_EQ(path.substr(0, keep ? lastBackslash + 1 : lastBackslash), folder);
    }
}

TEST(SplitModulePathTest, UnknownModuleLeavesTheOutputsAlone) {
    std::wstring folder = L"kept";
    std::wstring fileName = L"kept too";
    EXPECT_FALSE(splitModulePath(reinterpret_cast<HMODULE>(0x10), folder, true, fileName));
    EXPECT_EQ(L"kept", folder);
    EXPECT_EQ(L"kept too", fileName);
}

} // namespace
