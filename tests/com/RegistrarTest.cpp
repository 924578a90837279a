#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "RegistryTree.h"
#include "com/Registrar.h"
#include "support/TestRegistryKey.h"

using namespace PelmoraTests;
using Corvane::Com::Registrar;

namespace {

// Scripts run below a throw-away key of HKEY_CURRENT_USER, named to them as %ROOT%.
class RegistryScripts : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, registrar.addReplacement(L"ROOT", key.path()));
        ASSERT_EQ(S_OK, registrar.addReplacement(L"Path", Registrar::quoted(L"C:\\it's here\\x.dll")));
    }

    RegistryTree tree() const { return readRegistryTree(key.root(), key.path()).value_or(RegistryTree{}); }

    void addForeignKey(const std::wstring& relative) const {
        HKEY created = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(key.handle(), relative.c_str(), 0, nullptr, 0, KEY_WRITE,
                                                 nullptr, &created, nullptr));
        RegCloseKey(created);
    }

    TestRegistryKey key;
    Registrar registrar{false};
};

const std::wstring script = LR"(
HKCU
{
    NoRemove '%ROOT%'
    {
        ForceRemove Forced = s 'It''s forced'
        {
            val Named = s '%path%'
            Child
        }
        Plain = s '100%%'
        {
            'Spaced Name' { val 'Spaced Value' = s '' }
        }
        NOREMOVE Kept
    }
}
)";

const RegistryTree registered = {
    {L"", {}},
    {L"Forced", {{L"", L"It's forced"}, {L"Named", L"C:\\it's here\\x.dll"}}},
    {L"Forced\\Child", {}},
    {L"Kept", {}},
    {L"Plain", {{L"", L"100%"}}},
    {L"Plain\\Spaced Name", {{L"Spaced Value", L""}}},
};

TEST_F(RegistryScripts, RegisterWritesKeysAndStringValuesWithReplacements) {
    ASSERT_EQ(S_OK, registrar.stringRegister(script));

    EXPECT_EQ(registered, tree());
}

TEST_F(RegistryScripts, RegisterAgainRebuildsOnlyForceRemoveKeys) {
    ASSERT_EQ(S_OK, registrar.stringRegister(script));
    addForeignKey(L"Forced\\Foreign");
    addForeignKey(L"Plain\\Foreign");

    ASSERT_EQ(S_OK, registrar.stringRegister(script));

    RegistryTree expected = registered;
    expected[L"Plain\\Foreign"] = {};
    EXPECT_EQ(expected, tree());
}

TEST_F(RegistryScripts, UnregisterKeepsNoRemoveKeysAndKeysHoldingForeignOnes) {
    ASSERT_EQ(S_OK, registrar.stringRegister(script));
    addForeignKey(L"Forced\\Foreign");
    addForeignKey(L"Plain\\Foreign");
    const RegistryTree expected = {{L"", {}}, {L"Kept", {}}, {L"Plain", {}}, {L"Plain\\Foreign", {}}};

    ASSERT_EQ(S_OK, registrar.stringUnregister(script));
    EXPECT_EQ(expected, tree());

    ASSERT_EQ(S_OK, registrar.stringUnregister(script));
    EXPECT_EQ(expected, tree());
}

TEST_F(RegistryScripts, PerUserRedirectsClassesRoot) {
    const std::wstring name = L"PelmoraTests-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring redirectedScript = L"HKCR { ForceRemove '" + name + L"' = s 'redirected' }";
    Registrar perUser(true);

    ASSERT_EQ(S_OK, perUser.stringRegister(redirectedScript));
    EXPECT_EQ(L"redirected", registryDefaultValue(HKEY_CURRENT_USER, L"Software\\Classes\\" + name));
    EXPECT_FALSE(registryKeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + name));

    ASSERT_EQ(S_OK, perUser.stringUnregister(redirectedScript));
    EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\" + name));
}

TEST_F(RegistryScripts, MissingResourceIsAnError) {
    EXPECT_TRUE(FAILED(registrar.resourceRegister(GetModuleHandleW(nullptr), 106, L"REGISTRY")));
}

struct BadScript {
    const char* name;
    const wchar_t* text;
};

class UnreadableScript : public RegistryScripts, public testing::WithParamInterface<BadScript> {};

TEST_P(UnreadableScript, IsRefusedWithoutWritingAnything) {
    EXPECT_EQ(DISP_E_EXCEPTION, registrar.stringRegister(GetParam().text));
    EXPECT_EQ(DISP_E_EXCEPTION, registrar.stringUnregister(GetParam().text));

    EXPECT_EQ((RegistryTree{{L"", {}}}), tree());
}

INSTANTIATE_TEST_SUITE_P(
    RegistryScripts, UnreadableScript,
    testing::Values(BadScript{"UnclosedBlock", L"HKCU { NoRemove '%ROOT%' { A = s 'x' }"},
                    BadScript{"StrayBrace", L"HKCU { NoRemove '%ROOT%' { A = s 'x' } } }"},
                    BadScript{"DwordValue", L"HKCU { NoRemove '%ROOT%' { A = d '1' } }"},
                    BadScript{"UnquotedValue", L"HKCU { NoRemove '%ROOT%' { A = s x } }"},
                    BadScript{"ValueWithoutSpace", L"HKCU { NoRemove '%ROOT%' { A = s'x' } }"},
                    BadScript{"UnterminatedQuote", L"HKCU { NoRemove '%ROOT%' { A = s 'x } }"},
                    BadScript{"DeleteKeyword", L"HKCU { NoRemove '%ROOT%' { Delete A } }"},
                    BadScript{"ModifierWithoutName", L"HKCU { NoRemove '%ROOT%' { ForceRemove } }"},
                    BadScript{"EmptyName", L"HKCU { NoRemove '%ROOT%' { '' = s 'x' } }"},
                    BadScript{"UnknownReplacement", L"HKCU { NoRemove '%ROOT%' { A = s '%UNKNOWN%' } }"},
                    BadScript{"LonePercent", L"HKCU { NoRemove '%ROOT%' { A = s '50%' } }"},
                    BadScript{"UnknownRoot", L"HKXX { NoRemove '%ROOT%' { A } }"},
                    BadScript{"ValueOutsideAKey",
                              L"HKCU { NoRemove '%ROOT%' { A } } HKCU { val A = s 'x' }"}),
    [](const testing::TestParamInfo<BadScript>& info) { return info.param.name; });

} // namespace
