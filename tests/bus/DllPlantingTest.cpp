// A bus library in the host's current directory is never loaded: an install folder that is
// relative, empty (the macro then stays literal) or names the current folder is skipped, and
// a fully qualified one still works.

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "bus/BusLibraryPlacement.h"
#include "messagebus/MessageBusClient.h"
#include "support/CapturingLogger.h"
#include "support/ScratchFolder.h"
#include "support/WorkingDirectory.h"
#include "utils/CRegKey.h"

namespace {

using PelmoraTests::BusLibraryPlacement;
using PelmoraTests::ScopedEnvironment;

constexpr const wchar_t* installKey = L"SOFTWARE\\HALVEX\\TAMROK";

class DllPlanting : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(BusLibraryPlacement::loaded());
        // Every folder an unqualified install folder could lead to holds a bus library.
        for (const wchar_t* folder : {L"bin", L"$(Tamrok.InstallDir)", L"installed"}) {
            scratch.makeFolder(folder);
            plant(scratch.pathOf(folder) + L"\\EventRelay.dll");
        }
        plant(scratch.pathOf(L"EventRelay.dll"));
        ASSERT_EQ(0u, key.Create(HKEY_LOCAL_MACHINE, installKey));
    }
    // Only the value: the key also holds the library block list, which other tests use.
    void TearDown() override { key.DeleteValue(L"Install Dir"); }

    static void plant(const std::wstring& path) {
        ASSERT_TRUE(CopyFileW(BusLibraryPlacement::developmentBus().c_str(), path.c_str(), FALSE));
    }

    bool clientMade() {
        auto client = Corvane::MessageBusClient::getInstance();
        return client != nullptr;
    }

    ScratchFolder scratch;
    ScopedEnvironment messages{L"EVENTRELAY_LOG", scratch.path() + L"\\messages.jsonl"};
    Vornix::CRegKey key;
    PelmoraTests::CapturingLogger& log = PelmoraTests::InstallCapturingLogger();
};

TEST_F(DllPlanting, NoInstallFolderLeadsToTheCurrentDirectory) {
    const WorkingDirectory inScratch(scratch.path());
    const struct {
        const wchar_t* installDir;
        const wchar_t* skipped;
    } cases[] = {
        {L".", L"."},
        {L"bin", L"bin"},
        {L"", L"$(Tamrok.InstallDir)"},
        {L"\\", L"\\"},
    };
    for (const auto& c : cases) {
        log.clear();
        ASSERT_EQ(0u, key.WriteString(L"Install Dir", c.installDir));

        EXPECT_FALSE(clientMade()) << testing::PrintToString(std::wstring(c.installDir));

        EXPECT_FALSE(BusLibraryPlacement::loaded());
        const auto texts = log.texts();
        const std::wstring skipped =
            std::wstring(L"Skipping search path ") + c.skipped + L": not a fully qualified folder.";
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), skipped))
            << testing::PrintToString(texts);
    }
}

TEST_F(DllPlanting, AFullyQualifiedInstallFolderIsStillSearched) {
    const WorkingDirectory inScratch(scratch.path());
    ASSERT_EQ(0u, key.WriteString(L"Install Dir", scratch.pathOf(L"installed").c_str()));

    EXPECT_TRUE(clientMade());

    EXPECT_FALSE(BusLibraryPlacement::loaded());
}

} // namespace
