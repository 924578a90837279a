#include <gtest/gtest.h>

#include <objidl.h>

#include "utils/ComApartment.h"
#include "RegistryTree.h"
#include "com/CPelmoraModule.h"
#include "utils/ComPtr.h"
#include "com/Registrar.h"
#include "support/TestRegistryKey.h"

using Vornix::ComApartment;

using namespace PelmoraTests;
using Corvane::Com::ComPtr;
using Corvane::Com::CPelmoraModule;
using Corvane::Com::Registrar;

namespace {

// The module's own code, linked into this executable.
TEST(PelmoraModule, LockAndUnlockGiveTheNewCount) {
    CPelmoraModule& module = CPelmoraModule::instance();
    const LONG before = module.GetLockCount();

    EXPECT_EQ(before + 1, module.Lock());
    EXPECT_EQ(before + 2, module.Lock());
    EXPECT_EQ(before + 1, module.Unlock());
    EXPECT_EQ(before, module.Unlock());
    EXPECT_EQ(before, module.GetLockCount());
}

TEST(PelmoraModule, OffersItsApplicationIdToScripts) {
    TestRegistryKey key;
    Registrar registrar(false);
    ASSERT_EQ(S_OK, registrar.addReplacement(L"ROOT", key.path()));
    ASSERT_EQ(S_OK, CPelmoraModule::instance().AddCommonRGSReplacements(registrar));

    ASSERT_EQ(S_OK, registrar.stringRegister(L"HKCU { NoRemove '%ROOT%' { val AppId = s '%APPID%' } }"));

    EXPECT_EQ((RegistryTree{{L"", {{L"AppId", L"{AA7BB9F2-927E-4841-9D77-91955FF403AA}"}}}}),
              readRegistryTree(key.root(), key.path()));
}

TEST(PelmoraModule, HandsOutTheProcessGlobalInterfaceTable) {
    const ComApartment apartment(COINIT_MULTITHREADED);
    ComPtr<IGlobalInterfaceTable> first;
    ComPtr<IGlobalInterfaceTable> second;

    ASSERT_EQ(S_OK, CPelmoraModule::instance().GetGITPtr(first.put()));
    ASSERT_EQ(S_OK, CPelmoraModule::instance().GetGITPtr(second.put()));
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(E_POINTER, CPelmoraModule::instance().GetGITPtr(nullptr));
}

} // namespace
