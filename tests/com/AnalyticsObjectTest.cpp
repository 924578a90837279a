#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <objbase.h>
#include <oleauto.h>

#include "AnalyticsAPI.h"
#include "BstrArgument.h"
#include "utils/ComApartment.h"
#include "RegisteredServer.h"
#include "utils/ComPtr.h"
#include "utils/UniqueBstr.h"

using Vornix::ComApartment;

using namespace PelmoraTests;
using Corvane::Com::ComPtr;
using Corvane::Com::UniqueBstr;

namespace {

const std::wstring nulFirst(L"\0{\"UniqueIdentifier\":\"1\"}", 26);

// The class created through COM in the test thread's apartment.
class AnalyticsObject : public RegisteredServer {
protected:
    void SetUp() override {
        RegisteredServer::SetUp();
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_AnalyticsAPI, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IHxClientAnalytics, analytics.putVoid()));
        ASSERT_EQ(S_OK, analytics->QueryInterface(IID_IDispatch, dispatch.putVoid()));
    }

    ComApartment apartment{COINIT_APARTMENTTHREADED};
    ComPtr<IHxClientAnalytics> analytics;
    ComPtr<IDispatch> dispatch;
};

TEST_F(AnalyticsObject, RefusesAggregation) {
    IUnknown* object = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              CoCreateInstance(CLSID_AnalyticsAPI, analytics.get(), CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)));
    EXPECT_EQ(nullptr, object);
}

TEST_F(AnalyticsObject, BothInterfacesShareIdentityAndReferenceCount) {
    ComPtr<IUnknown> fromAnalytics;
    ComPtr<IUnknown> fromDispatch;
    ASSERT_EQ(S_OK, analytics->QueryInterface(IID_IUnknown, fromAnalytics.putVoid()));
    ASSERT_EQ(S_OK, dispatch->QueryInterface(IID_IUnknown, fromDispatch.putVoid()));
    EXPECT_EQ(fromAnalytics.get(), fromDispatch.get());
    EXPECT_EQ(static_cast<IUnknown*>(analytics.get()), fromAnalytics.get());
    EXPECT_NE(static_cast<void*>(analytics.get()), static_cast<void*>(dispatch.get()));

    ComPtr<IHxClientAnalytics> again;
    ASSERT_EQ(S_OK, dispatch->QueryInterface(IID_IHxClientAnalytics, again.putVoid()));
    EXPECT_EQ(analytics.get(), again.get());

    const ULONG afterAnalytics = analytics->AddRef();
    EXPECT_EQ(afterAnalytics + 1, dispatch->AddRef());
    EXPECT_EQ(afterAnalytics, analytics->Release());
    EXPECT_EQ(afterAnalytics - 1, dispatch->Release());
}

TEST_F(AnalyticsObject, AnswersNoOtherInterface) {
    void* object = this;
    EXPECT_EQ(E_NOINTERFACE, analytics->QueryInterface(IID_IClassFactory, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(E_POINTER, dispatch->QueryInterface(IID_IUnknown, nullptr));
}

struct ReportCase {
    const char* name;
    std::optional<std::wstring> configuration;
    std::optional<std::wstring> event;
    std::optional<std::wstring> datasets;
    HRESULT result;
};

class ReportEventData : public AnalyticsObject, public testing::WithParamInterface<ReportCase> {};

TEST_P(ReportEventData, NeedsAnEventTextOfSomeLength) {
    const auto configuration = makeBstr(GetParam().configuration);
    const auto event = makeBstr(GetParam().event);
    const auto datasets = makeBstr(GetParam().datasets);

    EXPECT_EQ(GetParam().result,
              analytics->ReportEventData(configuration.get(), event.get(), datasets.get()));
}

INSTANTIATE_TEST_SUITE_P(
    AnalyticsObject, ReportEventData,
    testing::Values(ReportCase{"NoEvent", L"config", std::nullopt, L"sets", E_INVALIDARG},
                    ReportCase{"EmptyEvent", L"config", L"", L"sets", E_INVALIDARG},
                    ReportCase{"ValidEvent", L"config", validEvent, L"sets", S_OK},
                    ReportCase{"OthersMissing", std::nullopt, validEvent, std::nullopt, S_OK},
                    ReportCase{"EventYieldingNoRecord", std::nullopt, L"not json", std::nullopt, S_OK},
                    ReportCase{"NulFirstWithLength", std::nullopt, nulFirst, std::nullopt, S_OK}),
    [](const testing::TestParamInfo<ReportCase>& info) { return info.param.name; });

TEST_F(AnalyticsObject, LeavesLogDataAndTypeInformationUnimplemented) {
    const auto text = makeBstr(L"text");
    EXPECT_EQ(E_NOTIMPL, analytics->ReportLogData(text.get(), text.get(), text.get(), text.get(), text.get(),
                                                  text.get()));
    EXPECT_EQ(E_NOTIMPL, analytics->ReportLogData(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));

    UINT count = 7;
    EXPECT_EQ(E_NOTIMPL, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(7u, count);
    ComPtr<ITypeInfo> typeInfo;
    EXPECT_EQ(E_NOTIMPL, dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, typeInfo.put()));
}

struct NamesCase {
    const char* name;
    std::vector<const wchar_t*> names;
    HRESULT result;
    DISPID id;
};

class GetIDsOfNames : public AnalyticsObject, public testing::WithParamInterface<NamesCase> {};

TEST_P(GetIDsOfNames, KnowsExactlyReportEventData) {
    std::vector<LPOLESTR> names;
    for (const wchar_t* name : GetParam().names) {
        names.push_back(const_cast<LPOLESTR>(name));
    }
    std::vector<DISPID> ids(names.size() + 1, -7);

    EXPECT_EQ(GetParam().result,
              dispatch->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()),
                                      LOCALE_USER_DEFAULT, ids.data()));
    EXPECT_EQ(GetParam().id, ids[0]);
}

INSTANTIATE_TEST_SUITE_P(
    AnalyticsObject, GetIDsOfNames,
    testing::Values(NamesCase{"Exact", {L"ReportEventData"}, S_OK, 101},
                    NamesCase{"ExactWithMoreNames", {L"ReportEventData", L"bstrEventData"}, S_OK, 101},
                    NamesCase{"LowerCase", {L"reporteventdata"}, E_NOTIMPL, -7},
                    NamesCase{"Longer", {L"ReportEventDataX"}, E_NOTIMPL, -7},
                    NamesCase{"Shorter", {L"ReportEventDat"}, E_NOTIMPL, -7},
                    NamesCase{"OtherMethod", {L"ReportLogData"}, E_NOTIMPL, -7},
                    NamesCase{"NoNames", {}, E_FAIL, -7}),
    [](const testing::TestParamInfo<NamesCase>& info) { return info.param.name; });

// One argument of Invoke: a BSTR variant, by value unless byReference.
struct Argument {
    std::optional<std::wstring> text;
    VARTYPE type = VT_BSTR;
};

struct InvokeCase {
    const char* name;
    DISPID id;
    std::vector<Argument> arguments; // in the order of the argument array
    HRESULT result;
};

class Invoke : public AnalyticsObject, public testing::WithParamInterface<InvokeCase> {};

TEST_P(Invoke, ReportsTheMiddleOfThreeStrings) {
    const auto& given = GetParam().arguments;
    std::vector<UniqueBstr> texts;
    std::vector<BSTR> referenced(given.size());
    std::vector<VARIANT> arguments(given.size());
    for (std::size_t index = 0; index < given.size(); ++index) {
        texts.push_back(makeBstr(given[index].text));
        referenced[index] = texts.back().get();
        V_VT(&arguments[index]) = given[index].type;
        if (given[index].type == (VT_BSTR | VT_BYREF)) {
            V_BSTRREF(&arguments[index]) = &referenced[index];
        } else if (given[index].type == VT_I4) {
            V_I4(&arguments[index]) = 4;
        } else {
            V_BSTR(&arguments[index]) = referenced[index];
        }
    }
    DISPPARAMS parameters{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    VARIANT result;
    VariantInit(&result);

    EXPECT_EQ(GetParam().result, dispatch->Invoke(GetParam().id, IID_NULL, LOCALE_USER_DEFAULT,
                                                  DISPATCH_METHOD, &parameters, &result, nullptr, nullptr));
    EXPECT_EQ(VT_EMPTY, V_VT(&result));
}

const Argument none{std::nullopt};
const Argument empty{L""};
const Argument event{validEvent};

INSTANTIATE_TEST_SUITE_P(
    AnalyticsObject, Invoke,
    testing::Values(
        InvokeCase{"ThreeStrings", 101, {none, event, none}, S_OK},
        InvokeCase{"EventFirstIsNotTaken", 101, {event, empty, event}, E_INVALIDARG},
        InvokeCase{"EventLastIsNotTaken", 101, {empty, empty, event}, E_INVALIDARG},
        InvokeCase{"FourStrings", 101, {empty, event, empty, empty}, S_OK},
        InvokeCase{"TwoStrings", 101, {event, event}, E_INVALIDARG},
        InvokeCase{"MissingEvent", 101, {event, none, event}, E_INVALIDARG},
        InvokeCase{
            "StringByReference", 101, {event, Argument{validEvent, VT_BSTR | VT_BYREF}, event}, E_INVALIDARG},
        InvokeCase{
            "OtherByReference", 101, {Argument{validEvent, VT_BSTR | VT_BYREF}, event, event}, E_INVALIDARG},
        InvokeCase{"Integer", 101, {event, event, Argument{std::nullopt, VT_I4}}, E_INVALIDARG},
        InvokeCase{"TypeLibraryMemberId", 0x60010000, {none, event, none}, E_NOTIMPL},
        InvokeCase{"OtherId", 0, {none, event, none}, E_NOTIMPL}),
    [](const testing::TestParamInfo<InvokeCase>& info) { return info.param.name; });

TEST_F(AnalyticsObject, InvokeWithoutParametersIsRefused) {
    EXPECT_EQ(E_INVALIDARG, dispatch->Invoke(101, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, nullptr,
                                             nullptr, nullptr, nullptr));
}

} // namespace
