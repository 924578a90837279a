#include "dll/BlockListKey.h"

#include <gtest/gtest.h>

namespace {

using Corvane::BlockListKey;

// The loader, hxconfig and an operator's own tools must all name the same key.
TEST(BlockListKey, OneKeyPerLibraryUnderTheMachineListNamedInLowerCase) {
    const struct {
        const wchar_t* fileName;
        const wchar_t* path;
    } cases[] = {
        {L"otherbus.dll", L"SOFTWARE\\Halvex\\Tamrok\\List\\otherbus.dll"},
        {L"OtherBus.DLL", L"SOFTWARE\\Halvex\\Tamrok\\List\\otherbus.dll"},
    };
    EXPECT_EQ(HKEY_LOCAL_MACHINE, BlockListKey::root());
    for (const auto& c : cases) {
        EXPECT_EQ(c.path, BlockListKey::pathOf(c.fileName))
            << testing::PrintToString(std::wstring(c.fileName));
    }
}

} // namespace
