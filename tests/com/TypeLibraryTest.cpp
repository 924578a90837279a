#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include <oleauto.h>

#include "AnalyticsAPI.h"
#include "PelmoraDll.h"
#include "utils/ComPtr.h"
#include "utils/UniqueBstr.h"

using Corvane::Com::ComPtr;
using Corvane::Com::UniqueBstr;

namespace {

const GUID typeLibId = {0xD69DDCCC, 0x4880, 0x4FD3, {0xBE, 0x6F, 0xDC, 0x13, 0x11, 0x5E, 0x25, 0xE8}};
const CLSID coclassId = {0xE792BE15, 0x9936, 0x4A7F, {0x8D, 0xF9, 0x9A, 0xB9, 0x5D, 0x22, 0x9D, 0xF1}};
const GUID stdOleId = {0x00020430, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::wstring nameOf(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
    UniqueBstr name;
    info->GetDocumentation(member, name.put(), nullptr, nullptr, nullptr);
    return name ? std::wstring(name.get()) : std::wstring();
}

TYPEATTR typeAttributes(ITypeInfo* info) {
    TYPEATTR* attributes = nullptr;
    EXPECT_EQ(S_OK, info->GetTypeAttr(&attributes));
    const TYPEATTR copy = *attributes;
    info->ReleaseTypeAttr(attributes);
    return copy;
}

TLIBATTR libraryAttributes(ITypeLib* library) {
    TLIBATTR* attributes = nullptr;
    EXPECT_EQ(S_OK, library->GetLibAttr(&attributes));
    const TLIBATTR copy = *attributes;
    library->ReleaseTLibAttr(attributes);
    return copy;
}

ComPtr<ITypeInfo> implementedType(ITypeInfo* info, UINT index) {
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> implemented;
    EXPECT_EQ(S_OK, info->GetRefTypeOfImplType(index, &reference));
    EXPECT_EQ(S_OK, info->GetRefTypeInfo(reference, implemented.put()));
    return implemented;
}

// The type library as the DLL carries it, loaded from the DLL file as registration does.
class TypeLibrary : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, LoadTypeLibEx(PelmoraTests::PelmoraDll::defaultPath().c_str(), REGKIND_NONE,
                                      library.put()));
    }

    ComPtr<ITypeInfo> typeInfo(UINT index) {
        ComPtr<ITypeInfo> info;
        EXPECT_EQ(S_OK, library->GetTypeInfo(index, info.put()));
        return info;
    }

    ComPtr<ITypeLib> library;
};

TEST_F(TypeLibrary, DescribesHxClientAnalyticsLib) {
    const TLIBATTR attributes = libraryAttributes(library.get());
    EXPECT_TRUE(IsEqualGUID(typeLibId, attributes.guid));
    EXPECT_EQ(0u, attributes.lcid);
    EXPECT_EQ(SYS_WIN64, attributes.syskind);
    EXPECT_EQ(1, attributes.wMajorVerNum);
    EXPECT_EQ(0, attributes.wMinorVerNum);
    // The loader adds "has a disk image" to whatever the file declares.
    EXPECT_EQ(0, attributes.wLibFlags & ~LIBFLAG_FHASDISKIMAGE);

    UniqueBstr name;
    UniqueBstr helpString;
    UniqueBstr helpFile;
    ASSERT_EQ(S_OK, library->GetDocumentation(-1, name.put(), helpString.put(), nullptr, helpFile.put()));
    EXPECT_STREQ(L"HxClientAnalyticsLib", name.get());
    EXPECT_EQ(0u, SysStringLen(helpString.get()));
    EXPECT_EQ(0u, SysStringLen(helpFile.get()));
}

TEST_F(TypeLibrary, HoldsTheCoclassThenTheInterface) {
    ASSERT_EQ(2u, library->GetTypeInfoCount());
    TYPEKIND kinds[2] = {};
    ASSERT_EQ(S_OK, library->GetTypeInfoType(0, &kinds[0]));
    ASSERT_EQ(S_OK, library->GetTypeInfoType(1, &kinds[1]));
    EXPECT_EQ(TKIND_COCLASS, kinds[0]);
    EXPECT_EQ(TKIND_INTERFACE, kinds[1]);
    EXPECT_EQ(L"HxClientAnalyticsClass", nameOf(typeInfo(0).get()));
    EXPECT_EQ(L"IHxClientAnalytics", nameOf(typeInfo(1).get()));
}

TEST_F(TypeLibrary, CoclassIsCreatableWithTheInterfaceAsDefault) {
    const auto coclass = typeInfo(0);
    const TYPEATTR attributes = typeAttributes(coclass.get());
    EXPECT_TRUE(IsEqualCLSID(coclassId, attributes.guid));
    EXPECT_FALSE(IsEqualCLSID(CLSID_AnalyticsAPI, attributes.guid));
    EXPECT_EQ(TYPEFLAG_FCANCREATE, attributes.wTypeFlags);
    ASSERT_EQ(1, attributes.cImplTypes);

    INT flags = 0;
    ASSERT_EQ(S_OK, coclass->GetImplTypeFlags(0, &flags));
    EXPECT_EQ(IMPLTYPEFLAG_FDEFAULT, flags);
    EXPECT_TRUE(
        IsEqualIID(IID_IHxClientAnalytics, typeAttributes(implementedType(coclass.get(), 0).get()).guid));
}

TEST_F(TypeLibrary, InterfaceIsCustomOnStdOleUnknown) {
    const auto custom = typeInfo(1);
    const TYPEATTR attributes = typeAttributes(custom.get());
    EXPECT_TRUE(IsEqualIID(IID_IHxClientAnalytics, attributes.guid));
    EXPECT_EQ(0, attributes.wTypeFlags);
    EXPECT_EQ(5 * sizeof(void*), attributes.cbSizeVft);
    EXPECT_EQ(2, attributes.cFuncs);
    ASSERT_EQ(1, attributes.cImplTypes);

    const auto base = implementedType(custom.get(), 0);
    EXPECT_EQ(L"IUnknown", nameOf(base.get()));
    ComPtr<ITypeLib> baseLibrary;
    UINT index = 0;
    ASSERT_EQ(S_OK, base->GetContainingTypeLib(baseLibrary.put(), &index));
    const TLIBATTR baseAttributes = libraryAttributes(baseLibrary.get());
    EXPECT_TRUE(IsEqualGUID(stdOleId, baseAttributes.guid));
    EXPECT_EQ(2, baseAttributes.wMajorVerNum);
    EXPECT_EQ(0, baseAttributes.wMinorVerNum);
}

struct Parameter {
    std::wstring name;
    USHORT flags;
};

struct Method {
    std::wstring name;
    MEMBERID id;
    SHORT slot;
    std::vector<Parameter> parameters;
};

TEST_F(TypeLibrary, MethodsHaveDefaultMemberIdsAndNamedBstrParameters) {
    const std::vector<Method> expected = {
        {L"ReportEventData",
         0x60010000,
         3,
         {{L"bstrConfigurationData", PARAMFLAG_FIN},
          {L"bstrEventData", PARAMFLAG_FIN},
          {L"bstrListOfAttachedDataset", PARAMFLAG_FIN}}},
        {L"ReportLogData",
         0x60010001,
         4,
         {{L"bstrApplicationId", PARAMFLAG_FIN},
          {L"bstrComponentName", PARAMFLAG_FIN},
          {L"bstrMethodName", PARAMFLAG_FIN},
          {L"bstrLogType", PARAMFLAG_FIN},
          {L"bstrMessage", PARAMFLAG_FIN},
          {L"bstrEventData", PARAMFLAG_FIN | PARAMFLAG_FOPT}}},
    };
    const auto custom = typeInfo(1);
    for (UINT index = 0; index < expected.size(); ++index) {
        const Method& method = expected[index];
        SCOPED_TRACE(testing::Message() << "method " << index);
        FUNCDESC* described = nullptr;
        ASSERT_EQ(S_OK, custom->GetFuncDesc(index, &described));
        const auto release = [&custom](FUNCDESC* done) { custom->ReleaseFuncDesc(done); };
        const std::unique_ptr<FUNCDESC, decltype(release)> function(described, release);
        EXPECT_EQ(method.id, function->memid);
        EXPECT_EQ(method.slot * static_cast<SHORT>(sizeof(void*)), function->oVft);
        EXPECT_EQ(FUNC_PUREVIRTUAL, function->funckind);
        EXPECT_EQ(INVOKE_FUNC, function->invkind);
        EXPECT_EQ(CC_STDCALL, function->callconv);
        EXPECT_EQ(VT_HRESULT, function->elemdescFunc.tdesc.vt);
        ASSERT_EQ(method.parameters.size(), static_cast<std::size_t>(function->cParams));

        std::vector<BSTR> names(method.parameters.size() + 1);
        UINT count = 0;
        ASSERT_EQ(S_OK, custom->GetNames(method.id, names.data(), static_cast<UINT>(names.size()), &count));
        std::vector<UniqueBstr> owned;
        for (UINT name = 0; name < count; ++name) {
            owned.emplace_back(names[name]);
        }
        ASSERT_EQ(names.size(), count);
        EXPECT_STREQ(method.name.c_str(), owned[0].get());
        for (std::size_t parameter = 0; parameter < method.parameters.size(); ++parameter) {
            SCOPED_TRACE(testing::Message() << "parameter " << parameter);
            EXPECT_STREQ(method.parameters[parameter].name.c_str(), owned[parameter + 1].get());
            EXPECT_EQ(VT_BSTR, function->lprgelemdescParam[parameter].tdesc.vt);
            EXPECT_EQ(method.parameters[parameter].flags,
                      function->lprgelemdescParam[parameter].paramdesc.wParamFlags);
        }
    }
}

} // namespace
