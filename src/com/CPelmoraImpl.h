#pragma once

#include <atomic>
#include <memory>

#include <windows.h>

#include <oaidl.h>

#include "AnalyticsAPI.h"
#include "com/IRecordPublisher.h"

namespace Corvane::Analytics {

// The analytics object: reports events through IHxClientAnalytics or, late-bound, through a
// hand-written IDispatch that knows one name. It keeps no state between calls, so several
// threads may call one object at once; the reference count is interlocked for that.
class CPelmoraImpl final : public IHxClientAnalytics, public IDispatch {
public:
    // The dispatch id GetIDsOfNames gives "ReportEventData"; not the type library's member id.
    static constexpr DISPID reportEventDataId = 101;

    // Refuses an outer object; otherwise a new object answering interfaceId, or the query's error.
    // The object reports through the publisher given, or the bus's when it is empty.
    static HRESULT CreateInstance(IUnknown* outer, REFIID interfaceId, void** object) noexcept;
    static HRESULT CreateInstance(IUnknown* outer, REFIID interfaceId, void** object,
                                  std::shared_ptr<IRecordPublisher> publisher) noexcept;
    static HRESULT UpdateRegistry(bool doRegister) noexcept;

    // One implementation for both bases.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    HRESULT STDMETHODCALLTYPE ReportEventData(BSTR bstrConfigurationData, BSTR bstrEventData,
                                              BSTR bstrListOfAttachedDataset) noexcept override;
    HRESULT STDMETHODCALLTYPE ReportLogData(BSTR bstrApplicationId, BSTR bstrComponentName,
                                            BSTR bstrMethodName, BSTR bstrLogType, BSTR bstrMessage,
                                            BSTR bstrEventData) noexcept override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** typeInfo) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID interfaceId, LPOLESTR* names, UINT nameCount, LCID locale,
                                            DISPID* ids) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID interfaceId, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) noexcept override;

private:
    // Each object keeps the module locked while it lives. Throws std::bad_alloc.
    explicit CPelmoraImpl(std::shared_ptr<IRecordPublisher> publisher);
    ~CPelmoraImpl();

    std::atomic<ULONG> references_{0};
    const std::shared_ptr<IRecordPublisher> publisher_;
};

} // namespace Corvane::Analytics
