#include "dll/FullyQualifiedFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(FullyQualifiedFolder, OnlyFoldersThatNameOnePlaceWhateverTheCurrentDirectory) {
    const struct {
        const wchar_t* folder;
        bool qualified;
    } cases[] = {
        {L"C:\\Program Files\\Halvex\\Tamrok", true},
        {L"c:\\", true},
        {L"C:/Tools", true},
        {L"C:\\..\\Tools", true},
        {L"\\\\server\\share", true},
        {L"\\\\server\\share\\bus", true},
        {L"//server/share/bus", true},
        {L"\\\\?\\C:\\Tools", true},
        {L"\\\\?\\UNC\\server\\share\\bus", true},
        {L"", false},
        {L".", false},
        {L"..", false},
        {L"bin", false},
        {L".\\bin", false},
        {L"\\Tools", false}, // root of the current drive
        {L"C:", false},      // current folder of drive C
        {L"C:Tools", false},
        {L"1:\\Tools", false},
        {L"\\\\", false},
        {L"\\\\server", false},
        {L"\\\\server\\", false},
        {L"\\\\\\share", false},
        {L"\\\\.\\C:\\Tools", false}, // device namespace
        {L"\\\\?\\", false},
        {L"\\\\?\\Tools", false},
        {L"\\\\?\\UNC\\server", false},
        {L"$(Tamrok.InstallDir)", false},
        {L"C:\\$(Unknown)\\bus", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.qualified, Corvane::isFullyQualifiedFolder(c.folder))
            << testing::PrintToString(std::wstring(c.folder));
    }
}

} // namespace
