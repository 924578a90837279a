#include "Logging/LogIniSetting.h"

#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "support/ScratchFolder.h"
#include "utils/CObfuscatedIniReader.h"

namespace {

using ETWLogging::LogIniSetting;
using Vornix::CObfuscatedIniReader;

const LogIniSetting& setting(const wchar_t* name) {
    const LogIniSetting* found = LogIniSetting::Find(name);
    EXPECT_NE(nullptr, found) << name;
    return *found;
}

TEST(LogIniSetting, FindsTheFiveSettingsWhateverTheirCaseAndNothingElse) {
    EXPECT_STREQ(L"MaxEntries", LogIniSetting::Find(L"maxentries")->Name());
    EXPECT_STREQ(L"Severity", LogIniSetting::Find(L"SEVERITY")->Name());
    for (const wchar_t* other : {L"LastLogIdx", L"", L"MaxEntries ", L"Max"}) {
        EXPECT_EQ(nullptr, LogIniSetting::Find(other)) << other;
    }
    std::wstring order;
    for (const LogIniSetting& each : LogIniSetting::All()) {
        order += std::wstring(each.Name()) + L' ';
    }
    EXPECT_EQ(L"Enable MaxSize MaxEntries Severity Options ", order);
}

TEST(LogIniSetting, AcceptsTheValuesOfItsRangeOnly) {
    const struct {
        const wchar_t* name;
        int value;
        bool valid;
    } cases[] = {
        {L"MaxEntries", 1, false},       {L"MaxEntries", 2, true},          {L"MaxEntries", 100, true},
        {L"MaxEntries", 101, false},     {L"MaxSize", 262143, false},       {L"MaxSize", 262144, true},
        {L"MaxSize", 10485760, true},    {L"MaxSize", 10485761, false},     {L"Severity", -1, false},
        {L"Severity", 0, true},          {L"Severity", 6, true},            {L"Severity", 7, false},
        {L"Enable", INT_MIN, true},      {L"Enable", INT_MAX, true},        {L"Options", INT_MIN, true},
        {L"Options", INT_MAX, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.valid, setting(c.name).IsValid(c.value)) << c.name << L' ' << c.value;
    }
    const struct {
        const wchar_t* name;
        int value;
    } defaults[] = {{L"Enable", 1}, {L"MaxSize", 262144}, {L"MaxEntries", 3}, {L"Severity", 3}, {L"Options", 16}};
    for (const auto& d : defaults) {
        EXPECT_EQ(d.value, setting(d.name).Default()) << d.name;
    }
}

// What a "log.ini" holds for MaxEntries: nothing, a scrambled number or a plain one.
struct Stored {
    enum { None, Scrambled, Plain } how;
    int value;
};

std::wstring makeIni(const ScratchFolder& folder, const wchar_t* name, Stored stored) {
    const std::wstring path = folder.pathOf(name);
    if (stored.how == Stored::Scrambled) {
        CObfuscatedIniReader writer(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
        writer.Load(path);
        EXPECT_TRUE(writer.WriteInt(L"Config", L"MaxEntries", stored.value));
    } else if (stored.how == Stored::Plain) {
        WritePrivateProfileStringW(L"Config", L"MaxEntries", std::to_wstring(stored.value).c_str(), path.c_str());
    }
    return path;
}

TEST(LogIniSetting, TakesTheExecutablesValidValueThenTheRootsThenTheDefault) {
    const Stored none{Stored::None, 0};
    const struct {
        Stored perExecutable;
        Stored root;
        int effective;
    } cases[] = {
        {none, none, 3},
        {{Stored::Scrambled, 7}, {Stored::Scrambled, 9}, 7},
        {none, {Stored::Scrambled, 9}, 9},
        {{Stored::Scrambled, 1}, {Stored::Scrambled, 9}, 9},
        {{Stored::Scrambled, 101}, none, 3},
        {{Stored::Scrambled, 1}, {Stored::Scrambled, 0}, 3},
        {{Stored::Plain, 7}, {Stored::Plain, 9}, 3},
        {{Stored::Plain, 7}, {Stored::Scrambled, 100}, 100},
    };
    for (const auto& c : cases) {
        const ScratchFolder folder;
        CObfuscatedIniReader perExecutable(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
        CObfuscatedIniReader root(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
        perExecutable.Load(makeIni(folder, L"exe.ini", c.perExecutable));
        root.Load(makeIni(folder, L"root.ini", c.root));
        EXPECT_EQ(c.effective, setting(L"MaxEntries").Effective(perExecutable, root))
            << c.perExecutable.value << L' ' << c.root.value;
    }
}

} // namespace
