#include "utils/CBaseIniReader.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <windows.h>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// Keeps every stored value as it is, so the base class's own reading and writing show.
class PlainIniReader : public Vornix::CBaseIniReader {
  public:
    bool GetIntByPath(const std::wstring& path, int& value) const override {
        std::wstring text;
        if (!GetTextByPath(path, text)) {
            return false;
        }
        value = std::stoi(text);
        return true;
    }
    bool GetTextByPath(const std::wstring& path, std::wstring& text) const override {
        const auto found = values_.find(path);
        if (found == values_.end()) {
            return false;
        }
        text = found->second;
        return true;
    }
    bool GetSection(const std::wstring&, std::map<std::wstring, std::wstring>&) const override {
        return false;
    }
    bool Store(const std::wstring& section, const std::wstring& name, const std::wstring& value,
               bool overwrite) override {
        const std::wstring path = section + L"." + name;
        if (!overwrite && values_.count(path) != 0) {
            return false;
        }
        values_[path] = value;
        return true;
    }

  private:
    std::map<std::wstring, std::wstring> values_;
};

class CBaseIniReaderTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("base-ini-test-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder_);
        path_ = (folder_ / "plain.ini").wstring();
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    fs::path folder_;
    std::wstring path_;
};

TEST_F(CBaseIniReaderTest, WritesPlainTextThatTheNextLoadReads) {
    std::ofstream(fs::path(path_), std::ios::binary) << "[Config]\r\nLevel=1\r\n";
    PlainIniReader writer;
    ASSERT_TRUE(writer.Load(path_));
    ASSERT_TRUE(writer.WriteInt(L"Config", L"Level", 7));
    ASSERT_TRUE(writer.WriteText(L"Config", L"Name", L"some text"));
    int value = 0;
    ASSERT_TRUE(writer.GetInt(L"Config", L"Level", value));
    EXPECT_EQ(7, value);

    PlainIniReader reader;
    ASSERT_TRUE(reader.Load(path_));
    ASSERT_TRUE(reader.GetInt(L"Config", L"Level", value));
    EXPECT_EQ(7, value);
    std::wstring text;
    ASSERT_TRUE(reader.GetText(L"Config", L"Name", text));
    EXPECT_EQ(L"some text", text);
    EXPECT_EQ(2u, reader.EntryCount());
}

} // namespace
