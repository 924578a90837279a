#include <gtest/gtest.h>

#include <vector>

#include "BuildTree.h"
#include "BusLibrary.h"

namespace EventRelayTests {
namespace {

using namespace Corvane;

TEST(EventRelayExports, AllFourExist) {
    BusLibrary library(BuildTree::eventRelay());
    for (const char* name : {BUS_EXPORT_CREATE_OBJECT, BUS_EXPORT_RELEASE_OBJECT, BUS_EXPORT_GET_VERSION_STR,
                             BUS_EXPORT_GET_VERSION_NUM}) {
        EXPECT_NE(library.exportOf(name), nullptr) << name;
    }
}

TEST(EventRelayExports, CreateObjectServesOnlyItsTableVersion) {
    BusLibrary library(BuildTree::eventRelay());
    BusFunctions* table = library.createObject(BUS_FUNCTIONS_VERSION);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(library.createObject(BUS_FUNCTIONS_VERSION), table) << "one process-wide table";
    const void* const* entries = reinterpret_cast<const void* const*>(table);
    for (int i = 0; i < 8; ++i) {
        EXPECT_NE(entries[i], nullptr) << "entry " << i;
    }
    for (const std::uint32_t version : {0u, 1u, 1005999u, 1006001u, 0xFFFFFFFFu}) {
        EXPECT_EQ(library.createObject(version), nullptr) << version;
    }
}

TEST(EventRelayExports, VersionExportsAndReleaseObjectAreHarmless) {
    BusLibrary library(BuildTree::eventRelay());
    BusFunctions* table = library.createObject();
    library.exportAs<BusReleaseObjectFn>(BUS_EXPORT_RELEASE_OBJECT)(table);
    library.exportAs<BusReleaseObjectFn>(BUS_EXPORT_RELEASE_OBJECT)(nullptr);
    EXPECT_STREQ(library.exportAs<BusGetVersionStrFn>(BUS_EXPORT_GET_VERSION_STR)(), L"1.0.0.0");
    EXPECT_EQ(library.exportAs<BusGetVersionNumFn>(BUS_EXPORT_GET_VERSION_NUM)(), BUS_FUNCTIONS_VERSION);

    BusHandle handle = nullptr;
    ASSERT_EQ(table->acquireHandle(&handle), MODULE_STATUS_SUCCESS) << "the table outlives ReleaseObject";
    EXPECT_EQ(table->releaseHandle(handle), MODULE_STATUS_SUCCESS);
}

TEST(EventRelayExports, CarriesFileVersion) {
    const std::wstring path = BuildTree::eventRelay();
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    wchar_t* text = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\FileVersion",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, L"1.0.0.0");
}

} // namespace
} // namespace EventRelayTests
