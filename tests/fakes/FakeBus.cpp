// A fake bus library, built once per variant. Every variant records its calls (CallRecorder)
// and otherwise succeeds, except where its compile definitions say:
//   FAKE_BUS_WITHOUT_VERSION_NUM  the export GetVersionNum is missing
//   FAKE_BUS_NULL_OBJECT=1        CreateObject returns null
//   FAKE_BUS_ACQUIRE_STATUS=s     acquireHandle returns s (and no handle)
//   FAKE_BUS_NULL_HANDLE=1        acquireHandle succeeds with a null handle
//   FAKE_BUS_PUBLISH_STATUS=s     publish returns s
//   FAKE_BUS_NULL_PUBLISH=1       the table's publish entry is null
// It never calls back.

#include <atomic>

#include "CallRecorder.h"
#include "businterface/BusLibraryInterface.h"

using namespace Corvane;

#ifndef FAKE_BUS_ACQUIRE_STATUS
#define FAKE_BUS_ACQUIRE_STATUS MODULE_STATUS_SUCCESS
#endif
#ifndef FAKE_BUS_PUBLISH_STATUS
#define FAKE_BUS_PUBLISH_STATUS MODULE_STATUS_SUCCESS
#endif
#ifndef FAKE_BUS_NULL_OBJECT
#define FAKE_BUS_NULL_OBJECT 0
#endif
#ifndef FAKE_BUS_NULL_HANDLE
#define FAKE_BUS_NULL_HANDLE 0
#endif
#ifndef FAKE_BUS_NULL_PUBLISH
#define FAKE_BUS_NULL_PUBLISH 0
#endif

#define FAKE_BUS_EXPORT extern "C" __declspec(dllexport)

namespace {
int connection;
std::atomic<BusSubscriptionId> lastSubscriptionId{0};

std::size_t headerSize(const MessageHeader* header) {
    return header->version == MESSAGE_HEADER_VERSION_2 ? MESSAGE_HEADER_V2_SIZE : MESSAGE_HEADER_V1_SIZE;
}

RecordedCall& withMessage(RecordedCall& call, const MessageHeader* header, const wchar_t* name,
                          const wchar_t* alias, const wchar_t* payload) {
    if (header != nullptr) {
        call.bytes("header", header, headerSize(header));
    }
    return call.text("name", name).text("alias", alias).text("payload", payload);
}

template <typename Result> Result recorded(RecordedCall& call, Result result) {
    CallRecorder::record(call.number("result", result));
    return result;
}

MODULE_STATUS acquireHandle(BusHandle* handle) {
    const MODULE_STATUS status = FAKE_BUS_ACQUIRE_STATUS;
    if (status == MODULE_STATUS_SUCCESS && handle != nullptr) {
        *handle = FAKE_BUS_NULL_HANDLE ? nullptr : &connection;
    }
    RecordedCall call("acquireHandle");
    call.pointer("handle", handle != nullptr && status == MODULE_STATUS_SUCCESS ? *handle : nullptr);
    return recorded(call, status);
}

MODULE_STATUS releaseHandle(BusHandle handle) {
    RecordedCall call("releaseHandle");
    return recorded(call.pointer("handle", handle), MODULE_STATUS_SUCCESS);
}

MODULE_STATUS publish(BusHandle handle, MessageHeader* header, const wchar_t* name, const wchar_t* alias,
                      const wchar_t* payload) {
    RecordedCall call("publish");
    withMessage(call.pointer("handle", handle), header, name, alias, payload);
    return recorded(call, static_cast<MODULE_STATUS>(FAKE_BUS_PUBLISH_STATUS));
}

MODULE_STATUS request(BusHandle handle, std::uint64_t requestIndex, void* context, BusReplyCallback callback,
                      MessageHeader* header, const wchar_t* name, const wchar_t* alias,
                      const wchar_t* payload, std::uint64_t timeLimit) {
    RecordedCall call("request");
    call.pointer("handle", handle).number("requestIndex", requestIndex).pointer("context", context);
    call.pointer("callback", reinterpret_cast<const void*>(callback));
    withMessage(call, header, name, alias, payload).number("timeLimit", timeLimit);
    return recorded(call, MODULE_STATUS_SUCCESS);
}

RecordedCall subscription(const char* entry, BusHandle handle, void* context, BusMessageCallback callback) {
    RecordedCall call(entry);
    call.pointer("handle", handle).pointer("context", context);
    call.pointer("callback", reinterpret_cast<const void*>(callback));
    return call;
}

BusSubscriptionId subscribe(BusHandle handle, void* context, BusMessageCallback callback,
                            const wchar_t* name) {
    RecordedCall call = subscription("subscribe", handle, context, callback);
    return recorded(call.text("messageName", name), ++lastSubscriptionId);
}

BusSubscriptionId subscribeFilter(BusHandle handle, void* context, BusMessageCallback callback,
                                  const wchar_t* pattern) {
    RecordedCall call = subscription("subscribeFilter", handle, context, callback);
    return recorded(call.text("pattern", pattern), ++lastSubscriptionId);
}

MODULE_STATUS unsubscribe(BusHandle handle, BusSubscriptionId id) {
    RecordedCall call("unsubscribe");
    return recorded(call.pointer("handle", handle).number("id", id), MODULE_STATUS_SUCCESS);
}

MODULE_STATUS cancelReplies(BusHandle handle, BusReplyCallback callback) {
    RecordedCall call("cancelReplies");
    call.pointer("handle", handle).pointer("callback", reinterpret_cast<const void*>(callback));
    return recorded(call, MODULE_STATUS_SUCCESS);
}

BusFunctions functions{acquireHandle, releaseHandle,   FAKE_BUS_NULL_PUBLISH ? nullptr : publish, request,
                       subscribe,     subscribeFilter, unsubscribe,                               cancelReplies};
} // namespace

FAKE_BUS_EXPORT BusFunctions* CreateObject(std::uint32_t version) {
    BusFunctions* result = !FAKE_BUS_NULL_OBJECT && version == BUS_FUNCTIONS_VERSION ? &functions : nullptr;
    CallRecorder::record(RecordedCall("CreateObject").number("version", version).pointer("result", result));
    return result;
}

FAKE_BUS_EXPORT void ReleaseObject(BusFunctions* object) {
    CallRecorder::record(RecordedCall("ReleaseObject").pointer("functions", object));
}

FAKE_BUS_EXPORT const wchar_t* GetVersionStr() {
    const wchar_t* result = L"1.0.0.0";
    CallRecorder::record(RecordedCall("GetVersionStr").text("result", result));
    return result;
}

#ifndef FAKE_BUS_WITHOUT_VERSION_NUM
FAKE_BUS_EXPORT std::uint32_t GetVersionNum() {
    CallRecorder::record(RecordedCall("GetVersionNum").number("result", BUS_FUNCTIONS_VERSION));
    return BUS_FUNCTIONS_VERSION;
}
#endif
