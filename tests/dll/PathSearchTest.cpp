#include "dll/PathSearch.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Logging/LogLevels.h"
#include "support/CapturingLogger.h"
#include "support/LogLine.h"
#include "support/ScratchFolder.h"
#include "support/WorkingDirectory.h"

namespace {

using Corvane::PathAPI;
using Corvane::PathSearch;
using namespace ETWLogging;

constexpr const wchar_t* kFind = L"Corvane::PathSearch::findFilePath";
constexpr const wchar_t* kCheck = L"Corvane::PathSearch::checkIfExists";

using PelmoraTests::LogLine;

LogLine line(DWORD level, const wchar_t* function, const std::wstring& text) {
    return {level, L"PathSearch", function, text};
}

// The log lines of one search, with level, source and function, in order.
void expectLines(const PelmoraTests::CapturingLogger& log, const std::vector<LogLine>& expected) {
    EXPECT_EQ(expected, PelmoraTests::logLinesOf(log));
}

LogLine entering(const std::wstring& file) {
    return line(LOG_LEVEL_NORMAL, kFind, L"Entering findFilePath for file " + file);
}
LogLine checking(const std::wstring& candidate) {
    return line(LOG_LEVEL_NORMAL, kCheck, L"Entering checkIfExists for " + candidate);
}
const LogLine kExists = line(LOG_LEVEL_NORMAL, kCheck, L"File exists");
const LogLine kMissing = line(LOG_LEVEL_WARNING, kCheck, L"File does not exist.");
const LogLine kNotFound = line(LOG_LEVEL_WARNING, kFind, L"File not found.");
LogLine found(const std::wstring& folder) {
    return line(LOG_LEVEL_NORMAL, kFind, L"File found at path " + folder + L". Returning success.");
}

class PathSearchTest : public testing::Test {
protected:
    PathSearchTest()
        : empty(scratch.makeFolder(L"empty")), decoy(scratch.makeFolder(L"decoy")),
          holder(scratch.makeFolder(L"holder")), later(scratch.makeFolder(L"later")) {
        scratch.makeFolder(L"decoy\\EventRelay.dll");
        scratch.makeFile(L"holder\\EventRelay.dll");
        scratch.makeFile(L"later\\EventRelay.dll");
    }

    ScratchFolder scratch;
    const std::wstring empty;
    const std::wstring decoy; // holds a directory named like the file
    const std::wstring holder;
    const std::wstring later;
    PathSearch search;
    PelmoraTests::CapturingLogger& log = PelmoraTests::InstallCapturingLogger();
};

TEST_F(PathSearchTest, FindsTheFirstFolderThatHoldsTheFileAndSkipsADirectoryOfItsName) {
    search.addSearchPaths({empty, decoy, holder, later});
    std::wstring folder;
    ASSERT_TRUE(search.findFilePath(L"EventRelay.dll", folder));
    EXPECT_EQ(holder, folder);
    expectLines(log, {entering(L"EventRelay.dll"), checking(empty + L"\\EventRelay.dll"), kMissing,
                      checking(decoy + L"\\EventRelay.dll"), kMissing, checking(holder + L"\\EventRelay.dll"),
                      kExists, found(holder)});
}

TEST_F(PathSearchTest, NotFoundTestsEveryEntryAsListedAndKeepsTheFolder) {
    search.addSearchPath(empty);
    search.addSearchPath(decoy.c_str());
    search.addSearchPath(empty);
    std::wstring folder = L"untouched";
    EXPECT_FALSE(search.findFilePath(L"EventRelay.dll", folder));
    EXPECT_EQ(L"untouched", folder);
    expectLines(log, {entering(L"EventRelay.dll"), checking(empty + L"\\EventRelay.dll"), kMissing,
                      checking(decoy + L"\\EventRelay.dll"), kMissing, checking(empty + L"\\EventRelay.dll"),
                      kMissing, kNotFound});
}

TEST_F(PathSearchTest, EmptyListFindsNothing) {
    std::wstring folder = L"untouched";
    EXPECT_FALSE(search.findFilePath(L"EventRelay.dll", folder));
    EXPECT_EQ(L"untouched", folder);
    expectLines(log, {entering(L"EventRelay.dll"), kNotFound});
}

// The entry is returned as given, while the candidate always gets a backslash of its own.
TEST_F(PathSearchTest, ReturnsTheEntryWithItsTrailingBackslash) {
    const std::wstring entry = holder + L"\\";
    search.addSearchPath(entry);
    std::wstring folder;
    ASSERT_TRUE(search.findFilePath(L"EventRelay.dll", folder));
    EXPECT_EQ(entry, folder);
    expectLines(
        log, {entering(L"EventRelay.dll"), checking(holder + L"\\\\EventRelay.dll"), kExists, found(entry)});
}

// Each would be resolved against the host's current directory or drive, which holds the file.
TEST_F(PathSearchTest, FoldersThatAreNotFullyQualifiedAreSkippedWithAWarning) {
    const WorkingDirectory inHolder(holder);
    const std::vector<std::wstring> unqualified = {L"",
                                                   L".",
                                                   L"holder",
                                                   L"..\\holder",
                                                   L"$(Tamrok.InstallDir)",
                                                   L"\\",
                                                   holder.substr(2),
                                                   holder.substr(0, 2)};
    search.addSearchPaths(unqualified);
    search.addSearchPath(later);
    std::wstring folder;
    ASSERT_TRUE(search.findFilePath(L"EventRelay.dll", folder));
    EXPECT_EQ(later, folder);
    std::vector<LogLine> expected = {entering(L"EventRelay.dll")};
    for (const std::wstring& entry : unqualified) {
        expected.push_back(line(LOG_LEVEL_WARNING, kFind,
                                L"Skipping search path " + entry + L": not a fully qualified folder."));
    }
    expected.insert(expected.end(), {checking(later + L"\\EventRelay.dll"), kExists, found(later)});
    expectLines(log, expected);
}

TEST_F(PathSearchTest, KeepsEntriesInOrderAsGiven) {
    search.addSearchPaths({L"B", L"A"});
    search.addSearchPath(L"$(App.Folder)");
    search.addSearchPath(static_cast<const wchar_t*>(nullptr));
    search.addSearchPath(std::wstring(L"A"));
    search.addSearchPaths({});
    EXPECT_EQ((std::vector<std::wstring>{L"B", L"A", L"$(App.Folder)", L"A"}), search.getSearchPaths());
    EXPECT_TRUE(log.entries().empty());
}

// ---------------------------------------------------------------------------------------------
// Seams

// Answers from a fixed set of paths and remembers what it was asked.
class ListedFiles : public PathAPI {
public:
    explicit ListedFiles(std::set<std::wstring> files) : files_(std::move(files)) {}
    bool fileExists(const std::wstring& path) override {
        asked.push_back(path);
        return files_.count(path) != 0;
    }
    std::vector<std::wstring> asked;

private:
    std::set<std::wstring> files_;
};

TEST(PathSearchSeamTest, AsksTheGivenPathAPI) {
    PelmoraTests::InstallCapturingLogger();
    const auto api = std::make_shared<ListedFiles>(std::set<std::wstring>{L"Q:\\second\\bus.dll"});
    PathSearch search(api);
    search.addSearchPaths({L"Q:\\first", L"Q:\\second"});
    std::wstring folder;
    EXPECT_TRUE(search.findFilePath(L"bus.dll", folder));
    EXPECT_EQ(L"Q:\\second", folder);
    EXPECT_EQ((std::vector<std::wstring>{L"Q:\\first\\bus.dll", L"Q:\\second\\bus.dll"}), api->asked);
}

// A derived search decides existence for itself; the search loop must go through it.
class EverythingExists : public PathSearch {
public:
    bool checkIfExists(const std::wstring&) override { return true; }
};

TEST(PathSearchSeamTest, FindFilePathUsesTheOverriddenCheck) {
    auto& log = PelmoraTests::InstallCapturingLogger();
    EverythingExists search;
    search.addSearchPath(L"Q:\\nowhere");
    std::wstring folder;
    EXPECT_TRUE(search.findFilePath(L"bus.dll", folder));
    EXPECT_EQ(L"Q:\\nowhere", folder);
    expectLines(log, {entering(L"bus.dll"), found(L"Q:\\nowhere")});
}

} // namespace
