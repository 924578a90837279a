#include "StaObjectThread.h"

#include <chrono>

#include "AnalyticsAPI.h"
#include "utils/ComApartment.h"
#include "utils/ComPtr.h"

using Vornix::ComApartment;

using Corvane::Com::ComPtr;

namespace PelmoraTests {

StaObjectThread::StaObjectThread()
    : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), thread_([this] { run(); }) {}

StaObjectThread::~StaObjectThread() {
    SetEvent(stop_.get());
    thread_.join();
}

IUnknown* StaObjectThread::unmarshal(HRESULT& result) {
    auto stream = marshalled_.get_future();
    auto creation = created_.get_future();
    if (creation.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        result = E_ABORT;
        return nullptr;
    }
    result = creation.get();
    if (FAILED(result)) {
        return nullptr;
    }
    IUnknown* proxy = nullptr;
    result = CoGetInterfaceAndReleaseStream(stream.get(), IID_IUnknown, reinterpret_cast<void**>(&proxy));
    return proxy;
}

void StaObjectThread::run() {
    const ComApartment apartment(COINIT_APARTMENTTHREADED);
    ComPtr<IHxClientAnalytics> object;
    IStream* stream = nullptr;
    HRESULT result = apartment.result();
    if (SUCCEEDED(result)) {
        result = CoCreateInstance(CLSID_AnalyticsAPI, nullptr, CLSCTX_INPROC_SERVER, IID_IHxClientAnalytics,
                                  object.putVoid());
    }
    if (SUCCEEDED(result)) {
        result = CoMarshalInterThreadInterfaceInStream(IID_IHxClientAnalytics, object.get(), &stream);
    }
    marshalled_.set_value(stream);
    created_.set_value(result);
    serve();
}

void StaObjectThread::serve() {
    const HANDLE stop = stop_.get();
    while (MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
}

} // namespace PelmoraTests
