#include "com/CPelmoraImpl.h"

#include <cwchar>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "Logging/LogCalls.h"
#include "Logging/LogLevels.h"
#include "analytics/AnalyticsRecordBuilder.h"
#include "com/CPelmoraModule.h"
#include "com/ModuleLock.h"
#include "com/RecordPublisher.h"
#include "com/resource.h"

namespace Corvane::Analytics {

namespace {
constexpr const wchar_t* logSource = L"com\\CPelmoraImpl";
constexpr std::wstring_view reportEventDataName = L"ReportEventData";
constexpr UINT reportEventDataArguments = 3;

bool isEmpty(BSTR text) {
    return text == nullptr || SysStringLen(text) == 0;
}
} // namespace

HRESULT CPelmoraImpl::CreateInstance(IUnknown* outer, REFIID interfaceId, void** object) noexcept {
    return CreateInstance(outer, interfaceId, object, nullptr);
}

HRESULT CPelmoraImpl::CreateInstance(IUnknown* outer, REFIID interfaceId, void** object,
                                     std::shared_ptr<IRecordPublisher> publisher) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    CPelmoraImpl* created = nullptr;
    try {
        created = new CPelmoraImpl(std::move(publisher));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    const HRESULT result = created->QueryInterface(interfaceId, object);
    if (FAILED(result)) {
        delete created;
    }
    return result;
}

HRESULT CPelmoraImpl::UpdateRegistry(bool doRegister) noexcept {
    return Com::CPelmoraModule::instance().UpdateRegistryFromResource(IDR_PELMORA, doRegister, false);
}

CPelmoraImpl::CPelmoraImpl(std::shared_ptr<IRecordPublisher> publisher)
    : publisher_(publisher ? std::move(publisher) : std::make_shared<RecordPublisher>()) {
    Com::CPelmoraModule::instance().Lock();
}

CPelmoraImpl::~CPelmoraImpl() {
    Com::CPelmoraModule::instance().Unlock();
}

HRESULT CPelmoraImpl::QueryInterface(REFIID interfaceId, void** object) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(interfaceId, IID_IHxClientAnalytics) || IsEqualIID(interfaceId, IID_IUnknown)) {
        *object = static_cast<IHxClientAnalytics*>(this);
    } else if (IsEqualIID(interfaceId, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CPelmoraImpl::AddRef() noexcept {
    return ++references_;
}

ULONG CPelmoraImpl::Release() noexcept {
    const ULONG count = --references_;
    if (count == 0) {
        // The destructor gives up the object's lock; the module must not look unused meanwhile.
        const Com::ModuleLock lock;
        delete this;
    }
    return count;
}

HRESULT CPelmoraImpl::ReportEventData(BSTR, BSTR bstrEventData, BSTR) noexcept {
    if (isEmpty(bstrEventData)) {
        return E_INVALIDARG;
    }
    try {
        std::wstring record;
        if (!buildAnalyticsRecord(bstrEventData, record)) {
            HXLOG(ETWLogging::LOG_LEVEL_WARNING, logSource,
                  L"Corvane::Analytics::CPelmoraImpl::ReportEventData",
                  L"The event text yields no analytics record; nothing is published.");
            return S_OK;
        }
        return publisher_->publish(record);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT CPelmoraImpl::ReportLogData(BSTR, BSTR, BSTR, BSTR, BSTR, BSTR) noexcept {
    return E_NOTIMPL;
}

HRESULT CPelmoraImpl::GetTypeInfoCount(UINT*) noexcept {
    return E_NOTIMPL;
}

HRESULT CPelmoraImpl::GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept {
    return E_NOTIMPL;
}

HRESULT CPelmoraImpl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT nameCount, LCID, DISPID* ids) noexcept {
    if (nameCount == 0) {
        return E_FAIL;
    }
    if (names == nullptr || names[0] == nullptr) {
        return E_INVALIDARG;
    }
    if (ids == nullptr) {
        return E_POINTER;
    }
    if (std::wstring_view(names[0]) != reportEventDataName) {
        return E_NOTIMPL;
    }
    ids[0] = reportEventDataId;
    return S_OK;
}

// The arguments are taken in array order: the event text is always the middle one.
HRESULT CPelmoraImpl::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                             UINT*) noexcept {
    if (id != reportEventDataId) {
        return E_NOTIMPL;
    }
    if (parameters == nullptr || parameters->cArgs < reportEventDataArguments ||
        parameters->rgvarg == nullptr) {
        return E_INVALIDARG;
    }
    const VARIANT* arguments = parameters->rgvarg;
    for (UINT index = 0; index < reportEventDataArguments; ++index) {
        if (V_VT(&arguments[index]) != VT_BSTR) {
            return E_INVALIDARG;
        }
    }
    if (isEmpty(V_BSTR(&arguments[1]))) {
        return E_INVALIDARG;
    }
    return static_cast<IHxClientAnalytics*>(this)->ReportEventData(
        V_BSTR(&arguments[0]), V_BSTR(&arguments[1]), V_BSTR(&arguments[2]));
}

} // namespace Corvane::Analytics
