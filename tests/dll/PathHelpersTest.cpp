#include "dll/PathHelpers.h"

#include <memory>
#include <new>
#include <string>

#include <gtest/gtest.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include "utils/CRegKey.h"

namespace {

using Corvane::PathHelpers;

class FixedOSInfo : public Corvane::OSInfo {
public:
    FixedOSInfo(unsigned platformClass, bool wow64) : platformClass_(platformClass), wow64_(wow64) {}
    unsigned getPlatformClass() override { return platformClass_; }
    bool isWow64Process() override { return wow64_; }

private:
    unsigned platformClass_;
    bool wow64_;
};

class FailingShell : public Corvane::ShlObjAPI {
public:
    HRESULT getKnownFolderPath(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR* path) override {
        *path = nullptr;
        return E_FAIL;
    }
};

class ExhaustedShell : public Corvane::ShlObjAPI {
public:
    HRESULT getKnownFolderPath(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*) override { throw std::bad_alloc(); }
};

std::wstring resolved(PathHelpers& helpers, std::wstring path) {
    EXPECT_TRUE(helpers.resolvePath(path));
    return path;
}

std::wstring executablePath() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    if (FAILED(SHGetKnownFolderPath(id, 0, nullptr, &path))) {
        CoTaskMemFree(path);
        return std::wstring();
    }
    std::wstring text = path;
    CoTaskMemFree(path);
    return text;
}

TEST(PathMacros, AppMacrosNameTheHostExecutable) {
    const std::wstring path = executablePath();
    const std::size_t slash = path.rfind(L'\\');
    const std::wstring folder = path.substr(0, slash + 1);
    const std::wstring binary = path.substr(slash + 1);
    const std::wstring name = binary.substr(0, binary.rfind(L'.'));
    ASSERT_EQ(L"dll_tests.exe", binary);

    PathHelpers helpers;
    const struct {
        std::wstring text;
        std::wstring expanded;
    } cases[] = {
        {L"$(App.Folder)", folder},
        {L"$(App.Binary)", binary},
        {L"$(App.Name)", name},
        {L"$(App.Path)", path},
        {L"$(App.Folder)sub\\$(App.Name).log", folder + L"sub\\" + name + L".log"},
        {L"a$(App.Name)b$(App.Name)c", L"a" + name + L"b" + name + L"c"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expanded, resolved(helpers, c.text)) << testing::PrintToString(c.text);
    }
}

TEST(PathMacros, TextThatIsNoKnownMacroStaysAsItIs) {
    PathHelpers helpers;
    const std::wstring name = L"dll_tests";
    const struct {
        std::wstring text;
        std::wstring expanded;
    } cases[] = {
        {L"", L""},
        {L"C:\\plain\\path", L"C:\\plain\\path"},
        {L"$()", L"$()"},
        {L"$(a(b)", L"$(a(b)"},
        {L"$(app.folder)", L"$(app.folder)"},
        {L"$(Unknown.Macro)\\x", L"$(Unknown.Macro)\\x"},
        {L"$$(App.Name)", L"$" + name},
        {L"$(A$(App.Name))", L"$(A" + name + L")"},
        {L"$(App.Name", L"$(App.Name"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expanded, resolved(helpers, c.text)) << testing::PrintToString(c.text);
    }
}

TEST(PathMacros, KnownFoldersComeFromTheShell) {
    const struct {
        const wchar_t* macro;
        const KNOWNFOLDERID& id;
    } cases[] = {
        {L"$(FOLDERID_Profile)", FOLDERID_Profile},
        {L"$(FOLDERID_Desktop)", FOLDERID_Desktop},
        {L"$(FOLDERID_Documents)", FOLDERID_Documents},
        {L"$(FOLDERID_LocalAppDataLow)", FOLDERID_LocalAppDataLow},
        {L"$(FOLDERID_LocalAppData)", FOLDERID_LocalAppData},
        {L"$(FOLDERID_RoamingAppData)", FOLDERID_RoamingAppData},
        {L"$(FOLDERID_ProgramData)", FOLDERID_ProgramData},
        {L"$(FOLDERID_ProgramFiles)", FOLDERID_ProgramFiles},
        {L"$(FOLDERID_ProgramFilesX64)", FOLDERID_ProgramFilesX64},
        {L"$(FOLDERID_ProgramFilesX86)", FOLDERID_ProgramFilesX86},
        {L"$(FOLDERID_ProgramFilesCommon)", FOLDERID_ProgramFilesCommon},
        {L"$(FOLDERID_ProgramFilesCommonX64)", FOLDERID_ProgramFilesCommonX64},
        {L"$(FOLDERID_ProgramFilesCommonX86)", FOLDERID_ProgramFilesCommonX86},
    };
    PathHelpers helpers;
    PathHelpers failing(std::make_shared<FailingShell>());
    for (const auto& c : cases) {
        const std::wstring expected = knownFolder(c.id);
        EXPECT_EQ(expected.empty() ? std::wstring(c.macro) : expected, resolved(helpers, c.macro)) << c.macro;
        EXPECT_EQ(c.macro, resolved(failing, c.macro));
    }
    EXPECT_FALSE(knownFolder(FOLDERID_ProgramData).empty()); // the table is not vacuous under Wine
}

TEST(PathMacros, AnExpansionThatFailsLeavesThePathAsItWas) {
    PathHelpers helpers(std::make_shared<ExhaustedShell>());
    std::wstring path = L"$(App.Name)\\$(FOLDERID_Profile)";
    EXPECT_FALSE(helpers.resolvePath(path));
    EXPECT_EQ(L"$(App.Name)\\$(FOLDERID_Profile)", path);
}

TEST(PathMacros, PlatformFollowsThePlatformClass) {
    const struct {
        unsigned platformClass;
        std::wstring expanded;
    } cases[] = {{0, L"win32"}, {1, L"x64"}, {2, L"PlatformUnknown"}, {3, L"$(OS.Platform)"}};
    for (const auto& c : cases) {
        PathHelpers helpers(nullptr, std::make_shared<FixedOSInfo>(c.platformClass, false));
        EXPECT_EQ(c.expanded, resolved(helpers, L"$(OS.Platform)")) << c.platformClass;
    }
}

// The install folder of the framework, read from the machine's registry.
class InstallDirMacro : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\HALVEX\\TAMROK");
        ASSERT_EQ(0u, key.Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\HALVEX\\TAMROK"));
    }
    void TearDown() override {
        key.Close();
        EXPECT_EQ(0, RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\HALVEX\\TAMROK"));
    }
    Vornix::CRegKey key;
};

TEST_F(InstallDirMacro, ReadsInstallDirOrInstallDir32UnderWow64) {
    ASSERT_EQ(0u, key.WriteString(L"Install Dir", L"C:\\Program Files\\Tamrok\\"));
    ASSERT_EQ(0u, key.WriteString(L"Install Dir32", L"C:\\Program Files (x86)\\Tamrok\\"));
    PathHelpers native(nullptr, std::make_shared<FixedOSInfo>(1, false));
    PathHelpers wow64(nullptr, std::make_shared<FixedOSInfo>(1, true));
    PathHelpers real;
    EXPECT_EQ(L"C:\\Program Files\\Tamrok\\x.dll", resolved(native, L"$(Tamrok.InstallDir)x.dll"));
    EXPECT_EQ(L"C:\\Program Files (x86)\\Tamrok\\x.dll", resolved(wow64, L"$(Tamrok.InstallDir)x.dll"));
    EXPECT_EQ(L"C:\\Program Files\\Tamrok\\", resolved(real, L"$(Tamrok.InstallDir)")); // a 64-bit process
}

TEST_F(InstallDirMacro, StaysLiteralWhenMissingOrTooLongAndIsNotRescanned) {
    PathHelpers helpers(nullptr, std::make_shared<FixedOSInfo>(1, false));
    EXPECT_EQ(L"$(Tamrok.InstallDir)", resolved(helpers, L"$(Tamrok.InstallDir)"));

    ASSERT_EQ(0u, key.WriteString(L"Install Dir", std::wstring(260, L'x').c_str()));
    EXPECT_EQ(L"$(Tamrok.InstallDir)", resolved(helpers, L"$(Tamrok.InstallDir)"));
    ASSERT_EQ(0u, key.WriteString(L"Install Dir", std::wstring(259, L'x').c_str()));
    EXPECT_EQ(std::wstring(259, L'x'), resolved(helpers, L"$(Tamrok.InstallDir)"));

    ASSERT_EQ(0u, key.WriteString(L"Install Dir", L"$(App.Name)"));
    EXPECT_EQ(L"$(App.Name)", resolved(helpers, L"$(Tamrok.InstallDir)"));
}

} // namespace
