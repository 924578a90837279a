#include "utils/CObfuscatedIniReader.h"

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include <windows.h>

#include <gtest/gtest.h>

namespace {

using Vornix::CObfuscatedIniReader;
namespace fs = std::filesystem;

constexpr std::uint32_t SCRAMBLED_ONLY = CObfuscatedIniReader::MODE_SCRAMBLED_ONLY;
constexpr std::uint32_t EVERYTHING = 0;

std::wstring ansiRoundTrip(const std::wstring& text) {
    if (text.empty()) {
        return text;
    }
    const int length = static_cast<int>(text.size());
    std::string narrow(text.size() * 2, '\0');
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), length, narrow.data(),
                                          static_cast<int>(narrow.size()), nullptr, nullptr);
    std::wstring wide(narrow.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, narrow.data(), bytes, wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

class CObfuscatedIniReaderTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("ini-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                                               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
        path_ = (folder_ / "log.ini").wstring();
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void writeFile(const std::string& content) const {
        std::ofstream(fs::path(path_), std::ios::binary) << content;
    }

    std::string readFile() const {
        std::ifstream file(fs::path(path_), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    // The text after "name=" on the line of that name.
    std::string fileValue(const std::string& name) const {
        std::istringstream lines(readFile());
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(name + "=", 0) == 0) {
                const std::string value = line.substr(name.size() + 1);
                return value.empty() || value.back() != '\r' ? value : value.substr(0, value.size() - 1);
            }
        }
        return "<missing>";
    }

    void replaceInFile(const std::string& from, const std::string& to) const {
        std::string content = readFile();
        const std::size_t at = content.find(from);
        ASSERT_NE(std::string::npos, at) << from;
        content.replace(at, from.size(), to);
        writeFile(content);
    }

    // A reader that loaded the file as it is now.
    CObfuscatedIniReader fresh(std::uint32_t mode) const {
        CObfuscatedIniReader reader(mode);
        EXPECT_TRUE(reader.Load(path_));
        return reader;
    }

    fs::path folder_;
    std::wstring path_;
};

TEST_F(CObfuscatedIniReaderTest, WrittenValuesReadBackScrambledWhilePlainOnesStayHidden) {
    writeFile("[Config]\r\nSeverity=2\r\n");
    CObfuscatedIniReader writer(SCRAMBLED_ONLY);
    ASSERT_TRUE(writer.Load(path_));
    int value = 0;
    EXPECT_FALSE(writer.GetInt(L"Config", L"Severity", value));
    ASSERT_TRUE(writer.WriteInt(L"Config", L"MaxEntries", 3));
    ASSERT_TRUE(writer.WriteInt(L"Config", L"Lowest", INT_MIN));
    ASSERT_TRUE(writer.WriteText(L"Config", L"Folder", L"C:\\Logs\\My App"));
    ASSERT_TRUE(writer.GetInt(L"Config", L"MaxEntries", value));
    EXPECT_EQ(3, value);

    const CObfuscatedIniReader reader = fresh(SCRAMBLED_ONLY);
    ASSERT_TRUE(reader.GetInt(L"Config", L"MaxEntries", value));
    EXPECT_EQ(3, value);
    ASSERT_TRUE(reader.GetIntByPath(L"Config.Lowest", value));
    EXPECT_EQ(INT_MIN, value);
    std::wstring text;
    ASSERT_TRUE(reader.GetTextByPath(L"Config.Folder", text));
    EXPECT_EQ(L"C:\\Logs\\My App", text);
    ASSERT_TRUE(reader.GetText(L"Config", L"MaxEntries", text));
    EXPECT_EQ(L"3", text);
    EXPECT_FALSE(reader.GetInt(L"Config", L"Severity", value));
    EXPECT_FALSE(reader.GetText(L"Config", L"Severity", text));

    std::map<std::wstring, std::wstring> section;
    ASSERT_TRUE(reader.GetSection(L"Config", section));
    EXPECT_EQ(L"2", section[L"Severity"]);
    EXPECT_EQ(L"3", section[L"MaxEntries"]);
    EXPECT_EQ(0u, section.count(L"_MaxEntries"));
    EXPECT_FALSE(reader.GetSection(L"Other", section));

    const CObfuscatedIniReader everything = fresh(EVERYTHING);
    ASSERT_TRUE(everything.GetInt(L"Config", L"Severity", value));
    EXPECT_EQ(2, value);
}

// Header: magic, version 1, 4 bytes, type 4, scrambled; payload: 4 bytes; each with a checksum byte.
TEST_F(CObfuscatedIniReaderTest, StoresHeaderAndPayloadInTheStructFormat) {
    CObfuscatedIniReader writer(SCRAMBLED_ONLY);
    EXPECT_FALSE(writer.Load(path_));
    ASSERT_TRUE(writer.WriteInt(L"Config", L"Level", 2));
    const std::string header = fileValue("_Level");
    EXPECT_EQ(74u, header.size()) << header;
    EXPECT_EQ("4858524701000000040000000400000001000000", header.substr(0, 40));
    EXPECT_EQ(std::string::npos, header.find_first_not_of("0123456789ABCDEF")) << header;
    EXPECT_EQ("FA755021", fileValue("Level").substr(0, 8));
    EXPECT_EQ(10u, fileValue("Level").size());
}

TEST_F(CObfuscatedIniReaderTest, TextsSurviveTheAnsiCodePage) {
    const std::wstring texts[] = {
        L"", L"plain", L"Gr\u00fc\u00dfe", L"a\U0001F600b", L"x=y;z", std::wstring(600, L'w')};
    CObfuscatedIniReader writer(SCRAMBLED_ONLY);
    writer.Load(path_);
    for (std::size_t k = 0; k < std::size(texts); ++k) {
        ASSERT_TRUE(writer.WriteText(L"Texts", L"T" + std::to_wstring(k), texts[k])) << k;
    }
    const CObfuscatedIniReader reader = fresh(SCRAMBLED_ONLY);
    for (std::size_t k = 0; k < std::size(texts); ++k) {
        std::wstring text = L"<none>";
        EXPECT_TRUE(reader.GetText(L"Texts", L"T" + std::to_wstring(k), text)) << k;
        EXPECT_EQ(ansiRoundTrip(texts[k]), text) << k;
    }
}

// Replaces one hexadecimal digit of a stored line; the checksum byte is not checked.
TEST_F(CObfuscatedIniReaderTest, EditedValuesStayHidden) {
    const struct {
        const char* what;
        std::string name;
        std::size_t digit;
        bool visible;
    } cases[] = {
        {"payload", "Level", 1, false},
        {"payload checksum", "Level", 9, true},
        {"magic", "_Level", 1, false},
        {"version", "_Level", 9, false},
        {"size", "_Level", 17, false},
        {"type", "_Level", 25, false},
        {"scrambled flag cleared", "_Level", 33, false},
        {"digest", "_Level", 50, false},
        {"header checksum", "_Level", 73, true},
    };
    for (const auto& c : cases) {
        fs::remove(fs::path(path_));
        CObfuscatedIniReader writer(SCRAMBLED_ONLY);
        writer.Load(path_);
        ASSERT_TRUE(writer.WriteInt(L"Config", L"Level", 4));
        std::string line = c.name + "=" + fileValue(c.name);
        std::string edited = line;
        char& digit = edited[c.name.size() + 1 + c.digit];
        digit = digit == '0' ? '1' : '0';
        replaceInFile(line, edited);

        int value = 0;
        EXPECT_EQ(c.visible, fresh(SCRAMBLED_ONLY).GetInt(L"Config", L"Level", value)) << c.what;
        EXPECT_EQ(c.visible ? 4 : 0, value) << c.what;
    }
}

TEST_F(CObfuscatedIniReaderTest, AppendedPayloadByteHidesTheValue) {
    CObfuscatedIniReader writer(SCRAMBLED_ONLY);
    writer.Load(path_);
    ASSERT_TRUE(writer.WriteText(L"Config", L"Name", L"abc"));
    const std::string payload = fileValue("Name");
    replaceInFile("Name=" + payload, "Name=" + payload.substr(0, 6) + "00" + payload.substr(6));
    std::wstring text;
    EXPECT_FALSE(fresh(SCRAMBLED_ONLY).GetText(L"Config", L"Name", text));
}

TEST_F(CObfuscatedIniReaderTest, OnlyUnderscoreLinesOf74HeaderCharactersAreHeaders) {
    const std::string magic = "48585247";
    writeFile("[S]\r\n_Short=" + magic + std::string(65, '0') + "\r\n_Exact=" + magic + std::string(66, '0') +
              "\r\n_Long=" + magic + std::string(67, '0') + "\r\nNoUnderscore=" + magic +
              std::string(66, '0') + "\r\n_OtherMagic=" + std::string(74, '0') + "\r\n");
    std::map<std::wstring, std::wstring> section;
    ASSERT_TRUE(fresh(EVERYTHING).GetSection(L"S", section));
    for (const wchar_t* name : {L"_Short", L"_Long", L"NoUnderscore", L"_OtherMagic"}) {
        EXPECT_EQ(1u, section.count(name)) << name;
    }
    EXPECT_EQ(0u, section.count(L"_Exact"));
}

TEST_F(CObfuscatedIniReaderTest, ParsesSectionsEntriesAndComments) {
    writeFile("top = before any section\n"
              "[  Config  ]\n"
              "  Name  =  spaced value  \n"
              "Equation=a=b\n"
              "; Commented=1\n"
              "no equals sign\n"
              "Name=second\n"
              "[]\n"
              "AfterEmpty=kept in Config\n"
              "[Other]\n"
              "Name=other\n"
              "[Config]\n"
              "Name=third\n"
              "Last=no newline");
    CObfuscatedIniReader reader(EVERYTHING);
    ASSERT_TRUE(reader.Load(path_));
    const struct {
        std::wstring section;
        std::wstring name;
        const wchar_t* value;
    } cases[] = {
        {L"", L"top", L"before any section"}, {L"Config", L"Name", L"spaced value"},
        {L"Config", L"Equation", L"a=b"},     {L"Config", L"AfterEmpty", L"kept in Config"},
        {L"Config", L"Last", L"no newline"},  {L"Other", L"Name", L"other"},
        {L"Config", L"; Commented", nullptr}, {L"  Config  ", L"Name", nullptr},
        {L"config", L"Name", nullptr},
    };
    for (const auto& c : cases) {
        std::wstring text;
        EXPECT_EQ(c.value != nullptr, reader.GetText(c.section, c.name, text)) << c.section << L"." << c.name;
        if (c.value != nullptr) {
            EXPECT_EQ(c.value, text) << c.section << L"." << c.name;
        }
    }
    EXPECT_EQ(3u, reader.SectionCount());
    EXPECT_EQ(6u, reader.EntryCount());
}

TEST_F(CObfuscatedIniReaderTest, LinesLongerThanOneChunkStayWhole) {
    const std::string tail(3000, 'x');
    writeFile("[S]\nLong=" + tail + "=y\nAfter=1\n");
    const CObfuscatedIniReader reader = fresh(EVERYTHING);
    std::map<std::wstring, std::wstring> section;
    ASSERT_TRUE(reader.GetSection(L"S", section));
    EXPECT_EQ(2u, section.size());
    EXPECT_EQ(std::wstring(tail.begin(), tail.end()) + L"=y", section[L"Long"]);
}

TEST_F(CObfuscatedIniReaderTest, ReadsIntegersAsSaturatingDecimals) {
    writeFile("[N]\na=42\nb=  -17\nc=+5\nd=2147483648\ne=-2147483649\nf=12abc\ng=abc\nh=\ni=0x10\n");
    const CObfuscatedIniReader reader = fresh(EVERYTHING);
    const struct {
        const wchar_t* name;
        bool found;
        int value;
    } cases[] = {
        {L"a", true, 42},      {L"b", true, -17},       {L"c", true, 5},   {L"d", true, INT_MAX},
        {L"e", true, INT_MIN}, {L"f", true, 12},        {L"g", false, -1}, {L"h", false, -1},
        {L"i", true, 0},       {L"missing", false, -1},
    };
    for (const auto& c : cases) {
        int value = -1;
        EXPECT_EQ(c.found, reader.GetInt(L"N", c.name, value)) << c.name;
        EXPECT_EQ(c.value, value) << c.name;
    }
}

TEST_F(CObfuscatedIniReaderTest, SectionNamesMayContainDots) {
    CObfuscatedIniReader writer(SCRAMBLED_ONLY);
    writer.Load(path_);
    ASSERT_TRUE(writer.WriteInt(L"Logging.Main", L"Level", 3));
    int value = 0;
    ASSERT_TRUE(writer.GetInt(L"Logging.Main", L"Level", value));
    ASSERT_TRUE(fresh(SCRAMBLED_ONLY).GetInt(L"Logging.Main", L"Level", value));
    EXPECT_EQ(3, value);
}

TEST_F(CObfuscatedIniReaderTest, FirstOccurrenceWins) {
    CObfuscatedIniReader writer(SCRAMBLED_ONLY);
    writer.Load(path_);
    ASSERT_TRUE(writer.WriteInt(L"Config", L"Level", 1));
    // A later copy of a valid pair, as a careless merge of two files would leave it.
    const std::string first = "_Level=" + fileValue("_Level") + "\r\nLevel=" + fileValue("Level") + "\r\n";
    ASSERT_TRUE(writer.WriteInt(L"Config", L"Other", 2));
    writeFile(readFile() + "[Config]\r\nPlain=1\r\nPlain=2\r\n" + first);
    ASSERT_TRUE(writer.WriteInt(L"Config", L"Level", 5));

    const CObfuscatedIniReader reader = fresh(SCRAMBLED_ONLY);
    int value = 0;
    ASSERT_TRUE(reader.GetInt(L"Config", L"Level", value));
    EXPECT_EQ(5, value);
    const CObfuscatedIniReader everything = fresh(EVERYTHING);
    ASSERT_TRUE(everything.GetInt(L"Config", L"Plain", value));
    EXPECT_EQ(1, value);
}

TEST_F(CObfuscatedIniReaderTest, WritesNeedALoadedPath) {
    CObfuscatedIniReader reader(SCRAMBLED_ONLY);
    EXPECT_FALSE(reader.WriteInt(L"Config", L"Level", 1));
    EXPECT_FALSE(reader.WriteText(L"Config", L"Name", L"x"));
    EXPECT_FALSE(reader.Load(L""));
    EXPECT_FALSE(reader.WriteInt(L"Config", L"Level", 1));

    // A missing file is created by the first write.
    EXPECT_FALSE(reader.Load(path_));
    EXPECT_TRUE(reader.WriteInt(L"Config", L"Level", 1));
    EXPECT_TRUE(fs::exists(path_));

    // A folder cannot be read as a file: the path is forgotten and writes fail.
    EXPECT_FALSE(reader.Load(folder_.wstring()));
    EXPECT_FALSE(reader.WriteInt(L"Config", L"Level", 1));
}

TEST_F(CObfuscatedIniReaderTest, LoadStartsAfresh) {
    writeFile("[A]\nx=1\n");
    CObfuscatedIniReader reader(EVERYTHING);
    ASSERT_TRUE(reader.Load(path_));
    writeFile("y=2\n");
    ASSERT_TRUE(reader.Load(path_));
    std::wstring text;
    EXPECT_FALSE(reader.GetText(L"A", L"x", text));
    EXPECT_FALSE(reader.GetText(L"A", L"y", text));
    ASSERT_TRUE(reader.GetText(L"", L"y", text));
    EXPECT_EQ(L"2", text);
}

} // namespace
