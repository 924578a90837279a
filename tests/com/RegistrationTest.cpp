#include <gtest/gtest.h>

#include <windows.h>

#include "PelmoraDll.h"
#include "RegistryTree.h"
#include "Regsvr32.h"
#include "ServerRegistration.h"
#include "support/ScratchFolder.h"

using namespace PelmoraTests;
using namespace PelmoraTests::ServerRegistration;

namespace {

class Registration : public testing::Test {
protected:
    void SetUp() override {
        removeAll(dll);
        ASSERT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, classKey));
        ASSERT_FALSE(registryKeyExists(HKEY_CURRENT_USER, perUserClassKey));
    }
    void TearDown() override { removeAll(dll); }

    const std::wstring dll = PelmoraDll::defaultPath();
};

TEST_F(Registration, PerMachineWritesTheClassKeyTheProxyStubAndTheTypeLibrary) {
    ASSERT_EQ(0u, regsvr32(L"/s " + quotedPath(dll)));

    EXPECT_EQ(expectedClassTree(dll), readRegistryTree(HKEY_CLASSES_ROOT, classKey));
    EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, perUserClassKey));
    EXPECT_EQ(L"{AC29BAF7-7EFF-4A82-8B29-76B1A3E27A6D}",
              registryDefaultValue(HKEY_CLASSES_ROOT, interfaceKey + L"\\ProxyStubClsid32"));
    EXPECT_EQ(L"5", registryDefaultValue(HKEY_CLASSES_ROOT, interfaceKey + L"\\NumMethods"));
    EXPECT_EQ(dll, registryDefaultValue(HKEY_CLASSES_ROOT, typeLibKey + L"\\1.0\\0\\win64"));
}

TEST_F(Registration, RegisteringAgainRebuildsTheClassKey) {
    ASSERT_EQ(0u, regsvr32(L"/s " + quotedPath(dll)));
    HKEY stale = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, (classKey + L"\\Stale").c_str(), 0, nullptr,
                                             0, KEY_WRITE, nullptr, &stale, nullptr));
    RegCloseKey(stale);

    ASSERT_EQ(0u, regsvr32(L"/s " + quotedPath(dll)));

    EXPECT_EQ(expectedClassTree(dll), readRegistryTree(HKEY_CLASSES_ROOT, classKey));
}

TEST_F(Registration, UnregisteringRemovesTheClassKeyAndKeepsClsid) {
    ASSERT_EQ(0u, regsvr32(L"/s " + quotedPath(dll)));

    ASSERT_EQ(0u, regsvr32(L"/s /u " + quotedPath(dll)));

    EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, classKey));
    EXPECT_TRUE(registryKeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
    EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, interfaceKey));
    EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, typeLibKey));
}

// Registration runs in the system's default locale and gives the thread its own back, also
// when it fails (unregistering what is not registered).
TEST_F(Registration, NullInstallCommandLineRegistersPerMachineAndKeepsTheThreadLocale) {
    const PelmoraDll server(dll);
    const LCID german = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
    const LCID saved = GetThreadLocale();
    ASSERT_TRUE(SetThreadLocale(german));

    const HRESULT installed = server.install(TRUE, nullptr);
    const LCID afterInstall = GetThreadLocale();
    const auto registered = readRegistryTree(HKEY_CLASSES_ROOT, classKey);
    const bool perUser = registryKeyExists(HKEY_CURRENT_USER, perUserClassKey);
    const HRESULT uninstalled = server.install(FALSE, nullptr);
    const HRESULT unregisteredAgain = server.unregisterServer();
    const LCID afterFailure = GetThreadLocale();
    SetThreadLocale(saved);

    EXPECT_EQ(S_OK, installed);
    EXPECT_EQ(expectedClassTree(dll), registered);
    EXPECT_FALSE(perUser);
    EXPECT_EQ(S_OK, uninstalled);
    EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, classKey));
    EXPECT_TRUE(FAILED(unregisteredAgain));
    EXPECT_EQ(german, afterInstall);
    EXPECT_EQ(german, afterFailure);
}

// The per-user switch is process-wide and never goes off again, so this runs on a copy of the
// DLL of its own (in a folder whose name needs the script's quote doubling).
TEST_F(Registration, AfterInstallForUserPlainRegistrationStaysPerUser) {
    ScratchFolder folder;
    const std::wstring copy = folder.makeFolder(L"it's here") + L"\\Pelmora.dll";
    ASSERT_TRUE(CopyFileW(dll.c_str(), copy.c_str(), TRUE));
    {
        const PelmoraDll server(copy);
        ASSERT_NE(GetModuleHandleW(dll.c_str()), server.module());

        ASSERT_EQ(S_OK, server.install(TRUE, L"user"));
        EXPECT_EQ(expectedClassTree(copy), readRegistryTree(HKEY_CURRENT_USER, perUserClassKey));
        ASSERT_EQ(S_OK, server.unregisterServer());
        EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, perUserClassKey));

        ASSERT_EQ(S_OK, server.registerServer());
        EXPECT_EQ(expectedClassTree(copy), readRegistryTree(HKEY_CURRENT_USER, perUserClassKey));
        EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, classKey));
        EXPECT_EQ(S_OK, server.unregisterServer());
    }
    removeAll(copy);
}

struct InstallCase {
    const char* name;
    const wchar_t* commandLine;
    bool perUser;
};

class InstallCommandLine : public Registration, public testing::WithParamInterface<InstallCase> {};

// Wine cannot activate a class registered only per user: these read the registry back.
TEST_P(InstallCommandLine, ChoosesWhereTheClassIsRegistered) {
    const std::wstring commandLine = GetParam().commandLine;

    ASSERT_EQ(0u, regsvr32(L"/s /i:" + commandLine + L" /n " + quotedPath(dll)));

    const HKEY expectedRoot = GetParam().perUser ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
    const HKEY otherRoot = GetParam().perUser ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER;
    EXPECT_EQ(expectedClassTree(dll),
              readRegistryTree(expectedRoot, GetParam().perUser ? perUserClassKey : classKey));
    EXPECT_FALSE(registryKeyExists(otherRoot, GetParam().perUser ? classKey : perUserClassKey));
}

INSTANTIATE_TEST_SUITE_P(Registration, InstallCommandLine,
                         testing::Values(InstallCase{"user", L"user", true},
                                         InstallCase{"USER", L"USER", true},
                                         InstallCase{"users", L"users", false}),
                         [](const testing::TestParamInfo<InstallCase>& info) { return info.param.name; });

} // namespace
