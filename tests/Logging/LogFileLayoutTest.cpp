#include "Logging/LogFileLayout.h"

#include <string>

#include <gtest/gtest.h>

#include <shlobj.h>

#include "utils/UniqueResource.h"

namespace {

using ETWLogging::LogFileLayout;

const std::wstring root = L"C:\\Data\\Halvex\\HXLOGS\\";

TEST(LogFileLayout, NamesTheFolderTheSettingsAndEachFileOfTheRing) {
    const struct {
        const wchar_t* group;
        const wchar_t* host;
        unsigned index;
        const wchar_t* folder;
        const wchar_t* file;
    } cases[] = {
        // As every caller of the system names its logs: two underscores before the index.
        {L"_no_group", L"_no_host", 1, L"C:\\Data\\Halvex\\HXLOGS\\_no_group\\dllhost",
         L"C:\\Data\\Halvex\\HXLOGS\\_no_group\\dllhost\\dllhost__no_host001.log"},
        {L"_no_group", L"_no_host", 0, L"C:\\Data\\Halvex\\HXLOGS\\_no_group\\dllhost",
         L"C:\\Data\\Halvex\\HXLOGS\\_no_group\\dllhost\\dllhost__no_host000.log"},
        {L"g", L"h", 42, L"C:\\Data\\Halvex\\HXLOGS\\g\\dllhost", L"C:\\Data\\Halvex\\HXLOGS\\g\\dllhost\\dllhost_h042.log"},
        {L"g", L"h", 1000, L"C:\\Data\\Halvex\\HXLOGS\\g\\dllhost",
         L"C:\\Data\\Halvex\\HXLOGS\\g\\dllhost\\dllhost_h1000.log"},
        {nullptr, L"h", 7, L"C:\\Data\\Halvex\\HXLOGS\\dllhost", L"C:\\Data\\Halvex\\HXLOGS\\dllhost\\dllhost_h007.log"},
        {L"g", nullptr, 99, L"C:\\Data\\Halvex\\HXLOGS\\g\\dllhost", L"C:\\Data\\Halvex\\HXLOGS\\g\\dllhost\\dllhost099.log"},
    };
    for (const auto& c : cases) {
        const LogFileLayout layout(root, c.group, L"dllhost", c.host);
        EXPECT_EQ(c.folder, layout.LogFolder()) << c.file;
        EXPECT_EQ(std::wstring(c.folder) + L"\\log.ini", layout.PerExecutableIniPath()) << c.file;
        EXPECT_EQ(c.file, layout.LogFilePath(c.index));
    }
}

TEST(LogFileLayout, RootFolderLiesBelowTheCommonApplicationDataFolder) {
    Vornix::UniqueCoTaskMemString programData;
    ASSERT_EQ(S_OK, SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, programData.put()));
    std::wstring folder = L"untouched";
    ASSERT_EQ(0u, LogFileLayout::RootFolder(folder));
    EXPECT_EQ(std::wstring(programData.get()) + L"\\Halvex\\HXLOGS\\", folder);
    EXPECT_EQ(L"C:\\ProgramData\\Halvex\\HXLOGS\\", folder); // what Wine's machines answer
    EXPECT_EQ(L"C:\\ProgramData\\Halvex\\HXLOGS\\log.ini", LogFileLayout::RootIniPath(folder));
}

} // namespace
