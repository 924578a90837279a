#include "wrappers/PathAPI.h"

#include <string>

#include <gtest/gtest.h>

#include "support/ScratchFolder.h"
#include "utils/UniqueResource.h"

namespace {

using Corvane::PathAPI;

std::string rawContent(const std::wstring& path) {
    Vornix::UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string content(4096, '\0');
    DWORD read = 0;
    ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
    content.resize(read);
    return content;
}

void writeRaw(const std::wstring& path, const std::string& content) {
    Vornix::UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
}

// ---------------------------------------------------------------------------------------------
// Existence

TEST(PathAPIExistenceTest, TellsFilesFromDirectories) {
    ScratchFolder scratch;
    const std::wstring file = scratch.makeFile(L"file.txt");
    const std::wstring folder = scratch.makeFolder(L"folder");
    PathAPI api;

    EXPECT_TRUE(api.fileExists(file));
    EXPECT_FALSE(api.fileExists(folder));
    EXPECT_FALSE(api.fileExists(L""));
    EXPECT_FALSE(api.fileExists(scratch.pathOf(L"missing.txt")));

    EXPECT_TRUE(api.directoryExists(folder));
    EXPECT_FALSE(api.directoryExists(file));
    EXPECT_TRUE(api.isRegularFile(file));
    EXPECT_FALSE(api.isRegularFile(folder));
}

TEST(PathAPIExistenceTest, CreatesDeletesAndRemovesTrees) {
    ScratchFolder scratch;
    PathAPI api;
    const std::wstring nested = scratch.pathOf(L"a\\b");
    ASSERT_TRUE(api.createDirectory(nested));
    EXPECT_TRUE(api.directoryExists(nested));
    scratch.makeFile(L"a\\b\\one.txt", FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(api.deleteFiles(nested + L"\\*.txt", false));
    EXPECT_FALSE(api.fileExists(nested + L"\\one.txt"));

    scratch.makeFile(L"a\\b\\two.txt");
    EXPECT_TRUE(api.removeDirectory(scratch.pathOf(L"a")));
    EXPECT_FALSE(api.directoryExists(scratch.pathOf(L"a")));
}

TEST(PathAPIForwardTest, FindsTheFileNameAndListsAFolder) {
    ScratchFolder scratch;
    const std::wstring file = scratch.makeFile(L"only.dll");
    PathAPI api;
    EXPECT_STREQ(L"only.dll", api.findFileName(file.c_str()));

    WIN32_FIND_DATAW data{};
    Vornix::UniqueFindHandle find(api.findFirstFile(scratch.pathOf(L"*.dll").c_str(), &data));
    ASSERT_TRUE(find);
    EXPECT_STREQ(L"only.dll", data.cFileName);
    EXPECT_FALSE(api.findNextFile(find.get(), &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), api.getLastError());
    EXPECT_TRUE(api.findClose(find.release()));
}

// ---------------------------------------------------------------------------------------------
// readFile and writeFile: one byte of the file is one character of the text

struct Content {
    const char* name;
    std::string bytes;
    std::wstring text;
};

void PrintTo(const Content& c, std::ostream* os) {
    *os << c.name;
}

class FileContentTest : public testing::TestWithParam<Content> {
protected:
    ScratchFolder scratch;
    PathAPI api;
};

TEST_P(FileContentTest, ReadGivesOneCharacterPerByte) {
    const std::wstring path = scratch.pathOf(L"content.bin");
    writeRaw(path, GetParam().bytes);
    std::wstring text = L"previous";
    ASSERT_TRUE(api.readFile(path, text));
    EXPECT_EQ(GetParam().text, text);
}

TEST_P(FileContentTest, WriteGivesOneBytePerCharacter) {
    const std::wstring path = scratch.pathOf(L"content.bin");
    writeRaw(path, "an older and longer content that must go");
    ASSERT_TRUE(api.writeFile(path, GetParam().text));
    EXPECT_EQ(GetParam().bytes, rawContent(path));

    std::wstring back;
    ASSERT_TRUE(api.readFile(path, back));
    EXPECT_EQ(GetParam().text, back);
}

INSTANTIATE_TEST_SUITE_P(Contents, FileContentTest,
                         testing::Values(Content{"Abc", "abc", L"abc"}, Content{"Empty", "", L""},
                                         // Line ends stay as they are: no text-mode translation either way.
                                         Content{"LineEnds", "a\r\nb\nc\r", L"a\r\nb\nc\r"},
                                         Content{"HighBytesAndZero", std::string("\xE9\x00\xFF\x80", 4),
                                                 std::wstring(L"\xE9\0\xFF\x80", 4)}),
                         [](const testing::TestParamInfo<Content>& info) { return info.param.name; });

TEST(PathAPIFileTest, ReadOfAMissingFileFailsAndKeepsTheText) {
    ScratchFolder scratch;
    PathAPI api;
    std::wstring text = L"kept";
    EXPECT_FALSE(api.readFile(scratch.pathOf(L"missing.txt"), text));
    EXPECT_FALSE(api.readFile(L"", text));
    EXPECT_EQ(L"kept", text);
}

TEST(PathAPIFileTest, ReadsAFileThatAnotherHandleKeepsOpenForWriting) {
    ScratchFolder scratch;
    const std::wstring path = scratch.pathOf(L"busy.txt");
    writeRaw(path, "busy");
    Vornix::UniqueFileHandle writer(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                                nullptr));
    ASSERT_TRUE(writer);
    PathAPI api;
    std::wstring text;
    ASSERT_TRUE(api.readFile(path, text));
    EXPECT_EQ(L"busy", text);
}

TEST(PathAPIFileTest, WriteIntoAMissingFolderFails) {
    ScratchFolder scratch;
    PathAPI api;
    EXPECT_FALSE(api.writeFile(scratch.pathOf(L"missing\\file.txt"), L"abc"));
    EXPECT_FALSE(api.fileExists(scratch.pathOf(L"missing\\file.txt")));
}

// A character that no single byte holds cannot be written; reporting success would lose it.
TEST(PathAPIFileTest, WriteOfACharacterBeyondOneByteFails) {
    ScratchFolder scratch;
    PathAPI api;
    EXPECT_FALSE(api.writeFile(scratch.pathOf(L"wide.txt"), L"a\x263A"
                                                            L"b"));
}

} // namespace
