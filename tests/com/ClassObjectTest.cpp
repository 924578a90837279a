#include <gtest/gtest.h>

#include <objbase.h>

#include "AnalyticsAPI.h"
#include "PelmoraDll.h"
#include "utils/ComPtr.h"

using Corvane::Com::ComPtr;
using PelmoraTests::PelmoraDll;

namespace {

// The class id of the type library's coclass, which no class object serves.
const CLSID typeLibCoclassId = {0xE792BE15, 0x9936, 0x4A7F, {0x8D, 0xF9, 0x9A, 0xB9, 0x5D, 0x22, 0x9D, 0xF1}};
const CLSID unknownClassId = {0x0C0FFEE0, 0x1234, 0x4321, {0x80, 0x00, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55}};

// The exports called in process, as COM calls them after finding the DLL.
class ClassObject : public testing::Test {
protected:
    ComPtr<IClassFactory> factory() const {
        ComPtr<IClassFactory> result;
        EXPECT_EQ(S_OK, server.getClassObject(CLSID_AnalyticsAPI, IID_IClassFactory, result.putVoid()));
        return result;
    }

    PelmoraDll server;
};

struct ClassObjectCase {
    const char* name;
    const CLSID* classId;
    const IID* interfaceId;
    HRESULT result;
};

class ClassObjectFor : public ClassObject, public testing::WithParamInterface<ClassObjectCase> {};

TEST_P(ClassObjectFor, AnswersOnlyTheServedClassAndTheProxyStub) {
    ComPtr<IUnknown> object;
    EXPECT_EQ(GetParam().result,
              server.getClassObject(*GetParam().classId, *GetParam().interfaceId, object.putVoid()));
    EXPECT_EQ(GetParam().result == S_OK, static_cast<bool>(object));
}

INSTANTIATE_TEST_SUITE_P(
    ClassObject, ClassObjectFor,
    testing::Values(
        ClassObjectCase{"Class", &CLSID_AnalyticsAPI, &IID_IClassFactory, S_OK},
        ClassObjectCase{"ClassAsUnknown", &CLSID_AnalyticsAPI, &IID_IUnknown, S_OK},
        ClassObjectCase{"ClassWithoutThatInterface", &CLSID_AnalyticsAPI, &IID_IDispatch, E_NOINTERFACE},
        ClassObjectCase{"ProxyStubFactory", &IID_IHxClientAnalytics, &IID_IPSFactoryBuffer, S_OK},
        ClassObjectCase{"TypeLibCoclass", &typeLibCoclassId, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
        ClassObjectCase{"UnknownClass", &unknownClassId, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE}),
    [](const testing::TestParamInfo<ClassObjectCase>& info) { return info.param.name; });

TEST_F(ClassObject, IsMadeOnceAndNeedsAnOutPointer) {
    EXPECT_EQ(E_POINTER, server.getClassObject(CLSID_AnalyticsAPI, IID_IClassFactory, nullptr));
    EXPECT_EQ(factory().get(), factory().get());
}

TEST_F(ClassObject, RefusesAggregationAndUnknownInterfaces) {
    const auto classFactory = factory();
    ComPtr<IUnknown> outer;
    ASSERT_EQ(S_OK, classFactory->CreateInstance(nullptr, IID_IUnknown, outer.putVoid()));

    IUnknown* object = outer.get();
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              classFactory->CreateInstance(outer.get(), IID_IUnknown, reinterpret_cast<void**>(&object)));
    EXPECT_EQ(nullptr, object);
    object = outer.get();
    EXPECT_EQ(CLASS_E_NOAGGREGATION, classFactory->CreateInstance(outer.get(), IID_IHxClientAnalytics,
                                                                  reinterpret_cast<void**>(&object)));
    EXPECT_EQ(nullptr, object);
    object = outer.get();
    EXPECT_EQ(E_NOINTERFACE,
              classFactory->CreateInstance(nullptr, IID_IClassFactory, reinterpret_cast<void**>(&object)));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(E_POINTER, classFactory->CreateInstance(nullptr, IID_IUnknown, nullptr));
}

TEST_F(ClassObject, LiveObjectKeepsTheServerLoaded) {
    ASSERT_EQ(S_OK, server.canUnloadNow());
    ComPtr<IHxClientAnalytics> object;
    {
        auto classFactory = factory();
        EXPECT_EQ(S_FALSE, server.canUnloadNow());
        ASSERT_EQ(S_OK, classFactory->CreateInstance(nullptr, IID_IHxClientAnalytics, object.putVoid()));
    }
    EXPECT_EQ(S_FALSE, server.canUnloadNow());

    object.reset();
    EXPECT_EQ(S_OK, server.canUnloadNow());
}

TEST_F(ClassObject, LockServerKeepsTheServerLoaded) {
    ASSERT_EQ(S_OK, server.canUnloadNow());
    EXPECT_EQ(S_OK, factory()->LockServer(TRUE));
    EXPECT_EQ(S_FALSE, server.canUnloadNow());

    EXPECT_EQ(S_OK, factory()->LockServer(FALSE));
    EXPECT_EQ(S_OK, server.canUnloadNow());
}

} // namespace
