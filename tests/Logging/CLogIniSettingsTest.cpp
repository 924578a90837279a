#include "Logging/CLogIniSettings.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ScratchFolder.h"
#include "utils/CObfuscatedIniReader.h"
#include "utils/FileSystemHelpers.h"
#include "utils/UniqueResource.h"

namespace {

using ETWLogging::CLogIniSettings;
using Vornix::CObfuscatedIniReader;

// One "Config" value in a file: scrambled as the product writes it, or typed in by hand.
struct Stored {
    const wchar_t* name;
    int value;
    bool plain = false;
};

// Enable, MaxSize, MaxEntries, Severity, Options; empty for a setting left alone.
using Settings = std::array<std::optional<DWORD>, 5>;

const Settings defaults = {1u, 262144u, 3u, 3u, 16u};

Settings with(const wchar_t* name, DWORD value, Settings settings = defaults) {
    const wchar_t* const names[] = {L"Enable", L"MaxSize", L"MaxEntries", L"Severity", L"Options"};
    for (std::size_t i = 0; i < settings.size(); ++i) {
        if (std::wstring(names[i]) == name) {
            settings[i] = value;
        }
    }
    return settings;
}

Settings settingsOf(const CLogIniSettings& read) {
    return {read.enable, read.maxSize, read.maxEntries, read.severity, read.options};
}

void writeIni(const std::wstring& path, const std::vector<Stored>& values) {
    std::string plain = "[Config]\r\n";
    for (const Stored& stored : values) {
        if (stored.plain) {
            plain += std::string(stored.name, stored.name + wcslen(stored.name)) + "=" +
                     std::to_string(stored.value) + "\r\n";
        }
    }
    std::ofstream(std::filesystem::path(path), std::ios::binary) << plain;
    CObfuscatedIniReader writer(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    writer.Load(path);
    for (const Stored& stored : values) {
        if (!stored.plain) {
            ASSERT_TRUE(writer.WriteInt(L"Config", stored.name, stored.value)) << path;
        }
    }
}

std::optional<int> scrambledValue(const std::wstring& path, const wchar_t* name) {
    CObfuscatedIniReader reader(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    int value = 0;
    if (reader.Load(path) && reader.GetInt(L"Config", name, value)) {
        return value;
    }
    return std::nullopt;
}

class LogIniSettingsTest : public testing::Test {
protected:
    ScratchFolder scratch;
    std::wstring perLog = scratch.makeFolder(L"logging_tests") + L"\\log.ini";
    std::wstring global = scratch.pathOf(L"log.ini");

    CLogIniSettings read() {
        CLogIniSettings settings;
        EXPECT_EQ(0u, settings.Read(perLog, global));
        return settings;
    }
};

TEST_F(LogIniSettingsTest, WithoutEitherFileNothingIsAppliedAndNothingCreated) {
    EXPECT_EQ(Settings{}, settingsOf(read()));
    EXPECT_FALSE(Vornix::fileExists(perLog.c_str()));
    EXPECT_FALSE(Vornix::fileExists(global.c_str()));
}

TEST_F(LogIniSettingsTest, PerExecutableFileFirstThenRootFileThenDefault) {
    const struct {
        const char* what;
        std::vector<Stored> perLog; // empty: no such file
        std::vector<Stored> global;
        Settings expected;
    } cases[] = {
        {"root file alone",
         {},
         {{L"MaxSize", 1048576}, {L"Options", 0x3C}},
         with(L"Options", 0x3C, with(L"MaxSize", 1048576))},
        {"per-executable file alone", {{L"Severity", 1}}, {}, with(L"Severity", 1)},
        {"per-executable wins",
         {{L"MaxEntries", 10}},
         {{L"MaxEntries", 20}, {L"Severity", 5}},
         with(L"Severity", 5, with(L"MaxEntries", 10))},
        {"plain values count as absent",
         {{L"Severity", 2, true}},
         {{L"Severity", 4, true}, {L"Enable", 0}},
         with(L"Enable", 0)},
        {"plain value falls through to the root file",
         {{L"Severity", 2, true}},
         {{L"Severity", 5}},
         with(L"Severity", 5)},
        {"invalid per-executable value uses the root file",
         {{L"MaxEntries", 1}},
         {{L"MaxEntries", 5}},
         with(L"MaxEntries", 5)},
        {"invalid everywhere gives the default", {{L"MaxEntries", 1}}, {{L"MaxEntries", 101}}, defaults},
        {"empty files", {{L"Other", 1}}, {{L"Other", 2}}, defaults},
    };
    for (const auto& c : cases) {
        ScratchFolder scratch;
        perLog = scratch.makeFolder(L"logging_tests") + L"\\log.ini";
        global = scratch.pathOf(L"log.ini");
        if (!c.perLog.empty()) {
            writeIni(perLog, c.perLog);
        }
        if (!c.global.empty()) {
            writeIni(global, c.global);
        }
        EXPECT_EQ(c.expected, settingsOf(read())) << c.what;
    }
}

TEST_F(LogIniSettingsTest, RangesOfEachSetting) {
    const struct {
        const wchar_t* name;
        int stored;
        DWORD applied;
    } cases[] = {
        {L"Enable", 0, 0},
        {L"Enable", 7, 7},
        {L"Enable", -1, 0xFFFFFFFF},
        {L"MaxSize", 262144, 262144},
        {L"MaxSize", 262143, 262144},
        {L"MaxSize", 10485760, 10485760},
        {L"MaxSize", 10485761, 262144},
        {L"MaxSize", -1, 262144},
        {L"MaxEntries", 2, 2},
        {L"MaxEntries", 1, 3},
        {L"MaxEntries", 100, 100},
        {L"MaxEntries", 101, 3},
        {L"Severity", 0, 0}, // lets every level through
        {L"Severity", 6, 6},
        {L"Severity", 7, 3},
        {L"Severity", -1, 3},
        {L"Options", 0, 0},
        {L"Options", -1, 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        writeIni(perLog, {{c.name, c.stored}});
        EXPECT_EQ(with(c.name, c.applied), settingsOf(read())) << c.name << " " << c.stored;
        // An invalid value is put right in its file; a valid one stays.
        const int expectedInFile =
            c.applied == static_cast<DWORD>(c.stored) ? c.stored : static_cast<int>(c.applied);
        EXPECT_EQ(expectedInFile, scrambledValue(perLog, c.name)) << c.name << " " << c.stored;
    }
}

TEST_F(LogIniSettingsTest, InvalidValuesAreReplacedByTheDefaultInTheirOwnFile) {
    writeIni(perLog, {{L"MaxEntries", 1}, {L"Severity", 7}});
    writeIni(global, {{L"MaxEntries", 5}, {L"MaxSize", 100}});
    EXPECT_EQ(with(L"MaxEntries", 5), settingsOf(read()));
    EXPECT_EQ(3, scrambledValue(perLog, L"MaxEntries"));
    EXPECT_EQ(3, scrambledValue(perLog, L"Severity"));
    EXPECT_EQ(5, scrambledValue(global, L"MaxEntries"));
    EXPECT_EQ(262144, scrambledValue(global, L"MaxSize"));
    // Settings found valid are not written anywhere.
    EXPECT_EQ(std::nullopt, scrambledValue(perLog, L"MaxSize"));
    EXPECT_EQ(std::nullopt, scrambledValue(global, L"Severity"));
}

// A file that cannot take the default back leaves that setting as the logger has it, and the
// root file is not asked.
TEST_F(LogIniSettingsTest, AnInvalidValueThatCannotBeReplacedIsNotApplied) {
    writeIni(perLog, {{L"MaxEntries", 1}, {L"Severity", 2}});
    writeIni(global, {{L"MaxEntries", 5}, {L"MaxSize", 100}});
    // Readers are let in, writers are not.
    const auto holdReadOnly = [](const std::wstring& path) {
        return Vornix::UniqueFileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    const Vornix::UniqueFileHandle perLogHeld = holdReadOnly(perLog);
    const Vornix::UniqueFileHandle globalHeld = holdReadOnly(global);
    ASSERT_TRUE(perLogHeld.valid() && globalHeld.valid());
    Settings expected = with(L"Severity", 2);
    expected[1] = std::nullopt; // MaxSize: invalid in the root file, which cannot be written
    expected[2] = std::nullopt; // MaxEntries
    EXPECT_EQ(expected, settingsOf(read()));
    EXPECT_EQ(1, scrambledValue(perLog, L"MaxEntries"));
    EXPECT_EQ(100, scrambledValue(global, L"MaxSize"));
}

} // namespace
