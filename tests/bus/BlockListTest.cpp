// The library version block list as an operator sets it: with hxconfig, stored scrambled.

#include <string>

#include <gtest/gtest.h>

#include "bus/BusLibraryPlacement.h"
#include "dll/SharedLibrary.h"
#include "messagebus/MessageBusClient.h"
#include "status/ModuleException.h"
#include "support/BlockListEntry.h"
#include "support/CapturingLogger.h"
#include "support/ScratchFolder.h"
#include "utils/UniqueResource.h"

namespace {

using PelmoraTests::BusLibraryPlacement;

// Runs hxconfig with the arguments and returns its exit status.
DWORD hxconfig(const std::wstring& arguments) {
    const std::wstring program = BusLibraryPlacement::executableFolder() + L"..\\..\\tools\\hxconfig\\hxconfig.exe";
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return static_cast<DWORD>(-1);
    }
    Vornix::UniqueHandle processHandle(process.hProcess);
    Vornix::UniqueHandle threadHandle(process.hThread);
    WaitForSingleObject(process.hProcess, 60000);
    DWORD status = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.hProcess, &status);
    return status;
}

bool blockedLine(const PelmoraTests::CapturingLogger& log, const std::wstring& path) {
    for (const auto& entry : log.entries()) {
        if (entry.level == 3 && entry.text == L"Blocked library: " + path + L".") {
            return true;
        }
    }
    return false;
}

TEST(BlockList, AVersionBlockedWithHxconfigIsNotLoadedUntilUnblocked) {
    auto& log = PelmoraTests::InstallCapturingLogger();
    ScratchFolder scratch;
    const std::wstring library = scratch.path() + L"\\OtherBus.dll";
    ASSERT_TRUE(CopyFileW(BusLibraryPlacement::developmentBus().c_str(), library.c_str(), FALSE));
    const Corvane::SharedLibraryInfo info{L"OtherBus.dll", {scratch.path()}};

    ASSERT_EQ(0u, hxconfig(L"block OtherBus.dll 1.0.0.0"));
    try {
        Corvane::SharedLibrary blocked(info);
        ADD_FAILURE() << "a blocked library was loaded";
    } catch (const Corvane::ModuleException& refused) {
        EXPECT_STREQ("Failed to load library", refused.what());
    }
    EXPECT_TRUE(blockedLine(log, library));
    EXPECT_EQ(nullptr, GetModuleHandleW(L"OtherBus.dll"));

    ASSERT_EQ(0u, hxconfig(L"unblock OtherBus.dll 1.0.0.0"));
    log.clear();
    {
        Corvane::SharedLibrary loaded(info);
        EXPECT_NE(nullptr, loaded.getFunctionTable()->createObject);
        EXPECT_FALSE(blockedLine(log, library));
    }
    EXPECT_EQ(nullptr, GetModuleHandleW(L"OtherBus.dll"));
}

// hxconfig refuses such an entry, so the test writes it itself.
TEST(BlockList, TheBusLibraryItselfIsNeverBlocked) {
    ScratchFolder scratch;
    PelmoraTests::ScopedEnvironment messages(L"EVENTRELAY_LOG", scratch.path() + L"\\messages.jsonl");
    BusLibraryPlacement placed(BusLibraryPlacement::developmentBus());
    PelmoraTests::BlockListEntry entry(L"eventrelay.dll");
    entry.writeScrambled(L"1.0.0.0", L"1.0.0.0");
    auto bus = Corvane::MessageBusClient::getInstance();
    EXPECT_NE(nullptr, bus);
    bus.reset();
}

} // namespace
