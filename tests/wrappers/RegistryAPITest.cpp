#include "wrappers/RegistryAPI.h"

#include <string>

#include <gtest/gtest.h>

#include "utils/UniqueResource.h"

namespace {

using Corvane::MODULE_STATUS;
using Corvane::MODULE_STATUS_SUCCESS;
using Corvane::MODULE_STATUS_UNSUCCESSFUL;
using Corvane::RegistryAPI;

constexpr const wchar_t* kMachineTestRoot = L"SOFTWARE\\PelmoraTests";

// The wrapper reads HKEY_LOCAL_MACHINE only, so the values live in a key of their own below
// the machine hive, removed again with the shared parent once that is empty.
class MachineTestKey {
public:
    MachineTestKey() : path_(uniquePath()) {
        // A crashed run with the same process id may have left the key behind.
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, path_.c_str());
        const LSTATUS created = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0,
                                                KEY_ALL_ACCESS, nullptr, key_.put(), nullptr);
        if (created != ERROR_SUCCESS) {
            ADD_FAILURE() << "cannot create the machine test key, error " << created;
        }
    }
    ~MachineTestKey() {
        key_.reset();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, path_.c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kMachineTestRoot);
    }
    MachineTestKey(const MachineTestKey&) = delete;
    MachineTestKey& operator=(const MachineTestKey&) = delete;

    const std::wstring& path() const { return path_; }

    void setString(const wchar_t* name, DWORD type, const std::wstring& text) const {
        const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key_.get(), name, 0, type,
                                                reinterpret_cast<const BYTE*>(text.c_str()), bytes));
    }
    void setDword(const wchar_t* name, DWORD value) const {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key_.get(), name, 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&value), sizeof value));
    }

private:
    static std::wstring uniquePath() {
        static unsigned counter = 0;
        return std::wstring(kMachineTestRoot) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(++counter);
    }

    std::wstring path_;
    Vornix::UniqueRegKey key_;
};

class RegistryAPITest : public testing::Test {
protected:
    void SetUp() override {
        key.setString(L"Plain", REG_SZ, L"C:\\Program Files\\Strivan");
        key.setString(L"Unexpanded", REG_EXPAND_SZ, L"%ProgramFiles%\\Strivan");
        key.setString(L"Longest", REG_SZ, std::wstring(259, L'x'));
        key.setString(L"TooLong", REG_SZ, std::wstring(260, L'x'));
        key.setString(L"Empty", REG_SZ, L"");
        key.setDword(L"Number", 0x12345678);
    }

    MachineTestKey key;
    RegistryAPI api;
};

struct StringRead {
    const char* name;
    const wchar_t* valueName;
    MODULE_STATUS status;
    std::wstring text; // what the out text holds afterwards
};

void PrintTo(const StringRead& c, std::ostream* os) {
    *os << c.name;
}

class RegistryStringReadTest : public RegistryAPITest, public testing::WithParamInterface<StringRead> {};

TEST_P(RegistryStringReadTest, ReadsOnlyStringsThatFitTheBuffer) {
    std::wstring text = L"untouched";
    EXPECT_EQ(GetParam().status, api.readStringValue(key.path(), GetParam().valueName, text));
    EXPECT_EQ(GetParam().text, text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegistryStringReadTest,
    testing::Values(StringRead{"Plain", L"Plain", MODULE_STATUS_SUCCESS, L"C:\\Program Files\\Strivan"},
                    StringRead{"ExpandNotExpanded", L"Unexpanded", MODULE_STATUS_SUCCESS,
                               L"%ProgramFiles%\\Strivan"},
                    StringRead{"Longest", L"Longest", MODULE_STATUS_SUCCESS, std::wstring(259, L'x')},
                    StringRead{"Empty", L"Empty", MODULE_STATUS_SUCCESS, L""},
                    StringRead{"TooLong", L"TooLong", MODULE_STATUS_UNSUCCESSFUL, L"untouched"},
                    StringRead{"Dword", L"Number", MODULE_STATUS_UNSUCCESSFUL, L"untouched"},
                    StringRead{"MissingValue", L"Missing", MODULE_STATUS_UNSUCCESSFUL, L"untouched"}),
    [](const testing::TestParamInfo<StringRead>& info) { return info.param.name; });

struct DwordRead {
    const char* name;
    const wchar_t* valueName;
    MODULE_STATUS status;
    DWORD value;
};

void PrintTo(const DwordRead& c, std::ostream* os) {
    *os << c.name;
}

class RegistryDwordReadTest : public RegistryAPITest, public testing::WithParamInterface<DwordRead> {};

TEST_P(RegistryDwordReadTest, ReadsOnlyDwords) {
    DWORD value = 0xCAFE;
    EXPECT_EQ(GetParam().status, api.readDwordValue(key.path(), GetParam().valueName, value));
    EXPECT_EQ(GetParam().value, value);
}

INSTANTIATE_TEST_SUITE_P(Values, RegistryDwordReadTest,
                         testing::Values(DwordRead{"Dword", L"Number", MODULE_STATUS_SUCCESS, 0x12345678},
                                         DwordRead{"String", L"Plain", MODULE_STATUS_UNSUCCESSFUL, 0xCAFE},
                                         DwordRead{"MissingValue", L"Missing", MODULE_STATUS_UNSUCCESSFUL,
                                                   0xCAFE}),
                         [](const testing::TestParamInfo<DwordRead>& info) { return info.param.name; });

TEST_F(RegistryAPITest, MissingKeyIsUnsuccessful) {
    const std::wstring missing = key.path() + L"\\Missing";
    std::wstring text = L"untouched";
    DWORD value = 0xCAFE;
    EXPECT_EQ(MODULE_STATUS_UNSUCCESSFUL, api.readStringValue(missing, L"Plain", text));
    EXPECT_EQ(MODULE_STATUS_UNSUCCESSFUL, api.readDwordValue(missing, L"Number", value));
    EXPECT_EQ(L"untouched", text);
    EXPECT_EQ(0xCAFEu, value);
}

} // namespace
