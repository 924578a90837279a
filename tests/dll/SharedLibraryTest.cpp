#include "dll/SharedLibrary.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Logging/LogLevels.h"
#include "TestLibrary.h"
#include "status/ModuleException.h"
#include "support/BlockListEntry.h"
#include "support/CapturingLogger.h"
#include "support/LogLine.h"
#include "support/ScratchFolder.h"

namespace {

using namespace Corvane;
using namespace ETWLogging;
using PelmoraTests::BlockListEntry;
using PelmoraTests::isMapped;
using PelmoraTests::LogLine;
using Lines = std::vector<LogLine>;

constexpr const wchar_t* source = L"dll\\SharedLibrary";
constexpr const wchar_t* constructor = L"Corvane::SharedLibrary::SharedLibrary";
constexpr const wchar_t* loadLibrary = L"Corvane::SharedLibrary::loadLibrary";
constexpr const wchar_t* findFilePath = L"Corvane::PathSearch::findFilePath";
constexpr const wchar_t* checkIfExists = L"Corvane::PathSearch::checkIfExists";

constexpr const char* loadFailure = "Failed to load library";
constexpr const char* importFailure = "Failed to import functions from library";

Lines operator+(Lines first, const Lines& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Found in the only search folder, then about to be checked and loaded.
Lines foundLines(const std::wstring& folder, const std::wstring& name) {
    return {
        {LOG_LEVEL_NORMAL, L"PathSearch", findFilePath, L"Entering findFilePath for file " + name},
        {LOG_LEVEL_NORMAL, L"PathSearch", checkIfExists,
         L"Entering checkIfExists for " + folder + L"\\" + name},
        {LOG_LEVEL_NORMAL, L"PathSearch", checkIfExists, L"File exists"},
        {LOG_LEVEL_NORMAL, L"PathSearch", findFilePath,
         L"File found at path " + folder + L". Returning success."},
        {LOG_LEVEL_NORMAL, source, loadLibrary, L"Loading " + name + L" from " + folder + L"."},
    };
}

LogLine loadFailureLine(const std::wstring& name) {
    return {LOG_LEVEL_ERROR, source, constructor,
            L"Failed to load library: " + name + L". Throwing ModuleException."};
}

// The test DLL lacks all four bus exports, so the first one is missed.
Lines importFailureLines(const std::wstring& name) {
    return {
        {LOG_LEVEL_WARNING, L"dll\\DllLoader", L"Corvane::DllLoader::getProcAddress",
         L"getProcAddress was unsuccessful in finding the handle's address"},
        {LOG_LEVEL_ERROR, source, L"Corvane::SharedLibrary::importFunctions",
         L"Failed to load CreateObject function from library: " + name + L"."},
        {LOG_LEVEL_ERROR, source, constructor,
         L"Failed to import functions from library: " + name + L". Throwing ModuleException."},
    };
}

class RefusingDllAPI : public DllAPI {
public:
    bool isTrustedModule(const std::wstring&) override { return false; }
};

class FailingPathHelpers : public PathHelpers {
public:
    bool resolvePath(std::wstring& path) override {
        return path.find(L"$(Broken)") == std::wstring::npos && PathHelpers::resolvePath(path);
    }
};

// A version resource without a "FileVersion" text.
class NoFileVersion : public Vornix::FileVersionInfo {
public:
    bool load(const std::wstring&) override { return true; }
    std::wstring getStringValue(const std::wstring&) const override { return {}; }
};

FARPROC fakeAddress(std::uintptr_t slot) {
    return reinterpret_cast<FARPROC>(0x10000 + slot);
}

// Loads and frees for real, but answers the first `offered` export lookups itself.
class FakeExportsLoader : public DllLoader {
public:
    enum class Free { Succeeds, Fails, Throws };

    explicit FakeExportsLoader(std::size_t offered, Free free = Free::Succeeds)
        : offered_(offered), free_(free) {}

    std::vector<std::string> asked;

    FARPROC getProcAddress(HMODULE module, const char* name) override {
        asked.emplace_back(name);
        return asked.size() <= offered_ ? fakeAddress(asked.size()) : DllLoader::getProcAddress(module, name);
    }

    bool freeDLL(HMODULE module) override {
        // The module goes in every case, so that no test leaves it mapped.
        const bool freed = DllLoader::freeDLL(module);
        if (free_ == Free::Throws) {
            throw std::runtime_error("free");
        }
        return freed && free_ == Free::Succeeds;
    }

private:
    std::size_t offered_;
    Free free_;
};

class SharedLibraryTest : public testing::Test {
protected:
    PelmoraTests::CapturingLogger& log = PelmoraTests::InstallCapturingLogger();
    ScratchFolder folder;

    // The test DLL (export Answer only, FileVersion "2.1.0.7") under another name.
    void placeLibrary(const std::wstring& name) const {
        ASSERT_TRUE(CopyFileW(PelmoraTests::testLibraryPath().c_str(), folder.pathOf(name).c_str(), TRUE));
    }

    SharedLibraryInfo infoFor(const std::wstring& name) const { return {name, {folder.path()}}; }

    Lines lines() const { return logLinesOf(log); }

    // The text of the ModuleException that construction throws; empty when it succeeds.
    template <typename... Services>
    static std::string failureOf(const SharedLibraryInfo& info, Services... services) {
        try {
            SharedLibrary library(info, services...);
        } catch (const ModuleException& error) {
            return error.what();
        }
        return {};
    }
};

TEST_F(SharedLibraryTest, ALibraryWithoutTheBusExportsIsFreedAgain) {
    placeLibrary(L"Busless.dll");
    EXPECT_EQ(importFailure, failureOf(infoFor(L"Busless.dll")));
    EXPECT_FALSE(isMapped(L"Busless.dll"));
    EXPECT_EQ(foundLines(folder.path(), L"Busless.dll") + importFailureLines(L"Busless.dll"), lines());
}

TEST_F(SharedLibraryTest, OurOwnLibrariesAreNeverBlocked) {
    struct Case {
        const wchar_t* fileName;
        const wchar_t* blockListKey;
    };
    const Case cases[] = {{L"EventRelay.dll", L"eventrelay.dll"},
                          {L"EVENTRELAY.DLL", L"eventrelay.dll"},
                          {L"ConfigStore.dll", L"configstore.dll"}};
    for (const Case& known : cases) {
        placeLibrary(known.fileName);
        BlockListEntry entry(known.blockListKey);
        entry.writeScrambled(L"2.1.0.7", L"2.1.0.7");
        // Past the block check, the missing bus exports end the load.
        EXPECT_EQ(importFailure, failureOf(infoFor(known.fileName)))
            << testing::PrintToString(known.fileName);
        EXPECT_FALSE(isMapped(known.fileName));
        DeleteFileW(folder.pathOf(known.fileName).c_str());
    }
}

TEST_F(SharedLibraryTest, ALibraryInNoSearchFolderIsNotFound) {
    const std::wstring elsewhere = folder.makeFolder(L"elsewhere");
    const std::vector<std::vector<std::wstring>> searchLists = {{}, {folder.path(), elsewhere}};
    for (const auto& searchPaths : searchLists) {
        log.clear();
        EXPECT_EQ(loadFailure, failureOf(SharedLibraryInfo{L"Missing.dll", searchPaths}));
        Lines expected = {
            {LOG_LEVEL_NORMAL, L"PathSearch", findFilePath, L"Entering findFilePath for file Missing.dll"}};
        for (const auto& searchPath : searchPaths) {
            expected.push_back({LOG_LEVEL_NORMAL, L"PathSearch", checkIfExists,
                                L"Entering checkIfExists for " + searchPath + L"\\Missing.dll"});
            expected.push_back({LOG_LEVEL_WARNING, L"PathSearch", checkIfExists, L"File does not exist."});
        }
        expected = expected + Lines{{LOG_LEVEL_WARNING, L"PathSearch", findFilePath, L"File not found."},
                                    {LOG_LEVEL_ERROR, source, loadLibrary,
                                     L"Failed to find valid path for library: Missing.dll."},
                                    loadFailureLine(L"Missing.dll")};
        EXPECT_EQ(expected, lines()) << searchPaths.size() << " search paths";
    }
}

TEST_F(SharedLibraryTest, ABlockListedVersionIsNeverLoaded) {
    placeLibrary(L"BlockedLib.dll");
    BlockListEntry entry(L"blockedlib.dll");
    entry.writeScrambled(L"2.1.0.7", L"2.1.0.7");
    // A trailing backslash, as "$(App.Folder)" has one, doubles the one the path gets.
    const std::wstring searchPath = folder.path() + L"\\";

    EXPECT_EQ(loadFailure, failureOf(SharedLibraryInfo{L"BlockedLib.dll", {searchPath}}));
    EXPECT_FALSE(isMapped(L"BlockedLib.dll"));
    const Lines blocked = {{LOG_LEVEL_INFORMATION, source, loadLibrary,
                            L"Blocked library: " + folder.path() + L"\\\\BlockedLib.dll."},
                           loadFailureLine(L"BlockedLib.dll")};
    EXPECT_EQ(foundLines(searchPath, L"BlockedLib.dll") + blocked, lines());
}

TEST_F(SharedLibraryTest, OnlyAScrambledEntryNamingTheFileVersionBlocks) {
    using Setup = std::function<void(const BlockListEntry&)>;
    struct Case {
        const char* what;
        bool keyExists;
        Setup setup;
        std::shared_ptr<Vornix::FileVersionInfo> versionInfo;
        const char* failure;
    };
    const Setup nothing = [](const BlockListEntry&) {};
    const Case cases[] = {
        {"scrambled entry of the version", true,
         [](auto& key) { key.writeScrambled(L"2.1.0.7", L"2.1.0.7"); }, nullptr, loadFailure},
        {"plain entry of the version", true, [](auto& key) { key.writePlain(L"2.1.0.7", L"2.1.0.7"); },
         nullptr, importFailure},
        {"another version", true, [](auto& key) { key.writeScrambled(L"2.1.0.6", L"2.1.0.6"); }, nullptr,
         importFailure},
        {"the version's name, other data", true,
         [](auto& key) { key.writeScrambled(L"2.1.0.7", L"2.1.0.6"); }, nullptr, importFailure},
        {"a key without entries", true, nothing, nullptr, importFailure},
        {"no key", false, nothing, nullptr, importFailure},
        // Both sides are then empty text.
        {"no file version and a key without entries", true, nothing, std::make_shared<NoFileVersion>(),
         loadFailure},
        {"no file version and no key", false, nothing, std::make_shared<NoFileVersion>(), importFailure},
    };
    placeLibrary(L"Listed.dll");
    for (const Case& check : cases) {
        std::unique_ptr<BlockListEntry> entry;
        if (check.keyExists) {
            entry = std::make_unique<BlockListEntry>(L"listed.dll");
            check.setup(*entry);
        }
        EXPECT_EQ(check.failure,
                  failureOf(infoFor(L"Listed.dll"), nullptr, nullptr, nullptr, check.versionInfo))
            << check.what;
        EXPECT_FALSE(isMapped(L"Listed.dll")) << check.what;
    }
}

TEST_F(SharedLibraryTest, ASearchPathThatCannotBeResolvedEndsTheLoadBeforeTheSearch) {
    const SharedLibraryInfo info{L"Busless.dll", {folder.path(), L"$(Broken)\\bin", L"C:\\never"}};
    EXPECT_EQ(loadFailure, failureOf(info, nullptr, std::make_shared<FailingPathHelpers>()));
    const Lines expected = {{LOG_LEVEL_ERROR, source, loadLibrary,
                             L"Failed to resolve file path, $(Broken)\\bin, for library: Busless.dll."},
                            loadFailureLine(L"Busless.dll")};
    EXPECT_EQ(expected, lines());
}

TEST_F(SharedLibraryTest, AFileTheLoaderRefusesIsNotLoaded) {
    placeLibrary(L"Untrusted.dll");
    EXPECT_EQ(loadFailure, failureOf(infoFor(L"Untrusted.dll"),
                                     std::make_shared<DllLoader>(std::make_shared<RefusingDllAPI>())));
    EXPECT_FALSE(isMapped(L"Untrusted.dll"));
    const Lines refused = {{LOG_LEVEL_ERROR, L"wrappers\\DllAPI", L"Corvane::DllAPI::loadLibrary",
                            L"LoadLibrary Failed. GLE: 5"},
                           {LOG_LEVEL_ERROR, L"dll\\DllLoader", L"Corvane::DllLoader::loadDLL",
                            L"Failed to load library. Error code: MODULE_STATUS_UNSUCCESSFUL(2147483650)."},
                           {LOG_LEVEL_ERROR, source, loadLibrary, L"Failed to load library: Untrusted.dll."},
                           loadFailureLine(L"Untrusted.dll")};
    EXPECT_EQ(foundLines(folder.path(), L"Untrusted.dll") + refused, lines());
}

TEST_F(SharedLibraryTest, ImportsTheFourExportsInTableOrder) {
    placeLibrary(L"Bound.dll");
    const std::vector<std::string> exportNames = {"CreateObject", "ReleaseObject", "GetVersionStr",
                                                  "GetVersionNum"};
    {
        const auto loader = std::make_shared<FakeExportsLoader>(4);
        SharedLibrary library(infoFor(L"Bound.dll"), loader);
        EXPECT_TRUE(isMapped(L"Bound.dll"));
        EXPECT_EQ(exportNames, loader->asked);
        const LibraryFunctionTable* table = library.getFunctionTable();
        EXPECT_EQ(fakeAddress(1), table->createObject);
        EXPECT_EQ(fakeAddress(2), table->releaseObject);
        EXPECT_EQ(fakeAddress(3), table->getVersionStr);
        EXPECT_EQ(fakeAddress(4), table->getVersionNum);
    }
    EXPECT_FALSE(isMapped(L"Bound.dll"));
    EXPECT_EQ(foundLines(folder.path(), L"Bound.dll"), lines());
}

TEST_F(SharedLibraryTest, ALibraryLackingOnlyTheLastExportIsFreedAgain) {
    placeLibrary(L"Bound.dll");
    const auto loader = std::make_shared<FakeExportsLoader>(3);
    EXPECT_EQ(importFailure, failureOf(infoFor(L"Bound.dll"), loader));
    EXPECT_EQ((std::vector<std::string>{"CreateObject", "ReleaseObject", "GetVersionStr", "GetVersionNum"}),
              loader->asked);
    EXPECT_FALSE(isMapped(L"Bound.dll"));
    const Lines lastMissing = {
        {LOG_LEVEL_WARNING, L"dll\\DllLoader", L"Corvane::DllLoader::getProcAddress",
         L"getProcAddress was unsuccessful in finding the handle's address"},
        {LOG_LEVEL_ERROR, source, L"Corvane::SharedLibrary::importFunctions",
         L"Failed to load GetVersionNum function from library: Bound.dll."},
        {LOG_LEVEL_ERROR, source, constructor,
         L"Failed to import functions from library: Bound.dll. Throwing ModuleException."}};
    EXPECT_EQ(foundLines(folder.path(), L"Bound.dll") + lastMissing, lines());
}

TEST_F(SharedLibraryTest, AFailingFreeIsLoggedAndNothingEscapes) {
    struct Case {
        FakeExportsLoader::Free free;
        Lines lines;
    };
    const Case cases[] = {
        {FakeExportsLoader::Free::Fails,
         {{LOG_LEVEL_ERROR, source, L"Corvane::SharedLibrary::unloadLibrary",
           L"Failed to free library: Bound.dll."}}},
        {FakeExportsLoader::Free::Throws, {}},
    };
    placeLibrary(L"Bound.dll");
    for (const Case& unload : cases) {
        {
            SharedLibrary library(infoFor(L"Bound.dll"), std::make_shared<FakeExportsLoader>(4, unload.free));
            log.clear();
        }
        EXPECT_EQ(unload.lines, lines());
    }
}

TEST_F(SharedLibraryTest, AnEmptyNameOrFolderIsNeverBlocked) {
    placeLibrary(L"Listed.dll");
    SharedLibrary library(infoFor(L"Listed.dll"), std::make_shared<FakeExportsLoader>(4), nullptr, nullptr,
                          std::make_shared<NoFileVersion>());
    // Without a file version, an existing key blocks: the empty name would find the list's own key.
    BlockListEntry entry(L"listed.dll");
    ASSERT_TRUE(library.isBlocked(folder.path(), L"Listed.dll"));
    EXPECT_FALSE(library.isBlocked(L"", L"Listed.dll"));
    EXPECT_FALSE(library.isBlocked(folder.path(), L""));
}

} // namespace
