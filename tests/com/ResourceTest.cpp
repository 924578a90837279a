#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "PelmoraDll.h"
#include "utils/FileVersionInfo.h"
#include "utils/UniqueResource.h"

namespace {

constexpr WORD englishCanada = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_CAN);      // 4105
constexpr WORD englishUnitedStates = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US); // 1033

// The DLL's resources, read from the file as data.
class ModuleResources : public testing::Test {
protected:
    void SetUp() override {
        module.reset(LoadLibraryExW(PelmoraTests::PelmoraDll::defaultPath().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module);
    }

    // The resource's bytes as text; empty when it is missing.
    std::string text(const wchar_t* type, const wchar_t* name, WORD language) const {
        const HRSRC resource = FindResourceExW(module.get(), type, name, language);
        if (resource == nullptr) {
            return std::string();
        }
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module.get(), resource)));
        return std::string(bytes, SizeofResource(module.get(), resource));
    }

    Vornix::UniqueModule module;
};

struct ResourceCase {
    const char* name;
    const wchar_t* type;
    const wchar_t* id;
    WORD language;
    const char* startsWith;
};

class ModuleResource : public ModuleResources, public testing::WithParamInterface<ResourceCase> {};

TEST_P(ModuleResource, IsThereInItsLanguage) {
    const std::string content = text(GetParam().type, GetParam().id, GetParam().language);
    ASSERT_FALSE(content.empty());
    EXPECT_EQ(0u, content.rfind(GetParam().startsWith, 0)) << content.substr(0, 40);
}

INSTANTIATE_TEST_SUITE_P(
    ModuleResources, ModuleResource,
    testing::Values(
        ResourceCase{"RegistryScript", L"REGISTRY", MAKEINTRESOURCEW(106), englishCanada, "HKCR"},
        ResourceCase{"TypeLibrary", L"TYPELIB", MAKEINTRESOURCEW(1), englishCanada, "MSFT"},
        ResourceCase{"StringTable", MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(100 / 16 + 1), englishUnitedStates,
                     ""},
        ResourceCase{"Version", MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1), englishUnitedStates, ""},
        ResourceCase{"Manifest", MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(2), englishUnitedStates, "<?xml"}),
    [](const testing::TestParamInfo<ResourceCase>& info) { return info.param.name; });

TEST_F(ModuleResources, NameStringIsPelmora) {
    wchar_t name[32] = {};
    ASSERT_EQ(7, LoadStringW(module.get(), 100, name, 32));
    EXPECT_STREQ(L"Pelmora", name);
}

TEST_F(ModuleResources, ManifestAsksForTheInvokersRightsWithoutUiAccess) {
    const std::string manifest = text(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(2), englishUnitedStates);
    EXPECT_NE(std::string::npos,
              manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"));
}

TEST(ModuleVersion, NamesFileAndProduct) {
    const std::wstring path = PelmoraTests::PelmoraDll::defaultPath();
    Vornix::FileVersionInfo info;
    ASSERT_TRUE(info.load(path));
    EXPECT_EQ(L"Strivan Legacy COM Interface", info.getStringValue(L"FileDescription"));
    EXPECT_EQ(L"Strivan Legacy Proxy", info.getStringValue(L"ProductName"));
    EXPECT_EQ(L"2.3.150.0", info.getStringValue(L"FileVersion"));
    EXPECT_EQ(L"2.3.0.0", info.getStringValue(L"ProductVersion"));

    DWORD ignored = 0;
    std::string data(GetFileVersionInfoSizeW(path.c_str(), &ignored), '\0');
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    EXPECT_EQ(MAKELONG(3, 2), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(0, 150), fixed->dwFileVersionLS);
    EXPECT_EQ(MAKELONG(3, 2), fixed->dwProductVersionMS);
    EXPECT_EQ(0u, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);

    DWORD* translation = nullptr;
    UINT translationSize = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &translationSize));
    ASSERT_EQ(sizeof(DWORD), translationSize);
    EXPECT_EQ(MAKELONG(0x0409, 1200), *translation);
}

} // namespace
