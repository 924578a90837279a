#pragma once

// What this system calls in the bus library "EventRelay.dll" and what that library calls back.
// Strings are NUL-terminated UTF-16; headers are MessageHeader blocks (100 bytes for version 1,
// 108 for version 2); statuses are MODULE_STATUS codes; the handle is opaque.

#include <cstdint>

#include "message/MessageHeader.h"
#include "status/ModuleStatus.h"

namespace Corvane {

using BusHandle = void*;
using BusSubscriptionId = std::uint32_t; // 0: refused

// Deliveries to a subscription, on any thread of the library.
using BusMessageCallback = MODULE_STATUS (*)(void* context, const MessageHeader* header, const wchar_t* name,
                                             const wchar_t* alias, const wchar_t* payload);

// The answer to a request. Status 0: the strings and header are the answer;
// MODULE_STATUS_TIMEOUT: no answer in time; anything else: failure.
using BusReplyCallback = MODULE_STATUS (*)(void* context, std::uint64_t requestIndex, const MessageHeader* header,
                                           const wchar_t* name, const wchar_t* alias, const wchar_t* payload,
                                           MODULE_STATUS status);

// The table that CreateObject(BUS_FUNCTIONS_VERSION) returns; the order of the entries is binding.
struct BusFunctions {
    MODULE_STATUS (*acquireHandle)(BusHandle* handle);
    MODULE_STATUS (*releaseHandle)(BusHandle handle);
    MODULE_STATUS (*publish)(BusHandle handle, MessageHeader* header, const wchar_t* name, const wchar_t* alias,
                             const wchar_t* payload);
    MODULE_STATUS (*request)(BusHandle handle, std::uint64_t requestIndex, void* context, BusReplyCallback callback,
                             MessageHeader* header, const wchar_t* name, const wchar_t* alias, const wchar_t* payload,
                             std::uint64_t timeLimit);
    BusSubscriptionId (*subscribe)(BusHandle handle, void* context, BusMessageCallback callback,
                                   const wchar_t* messageName);
    BusSubscriptionId (*subscribeFilter)(BusHandle handle, void* context, BusMessageCallback callback,
                                         const wchar_t* pattern);
    MODULE_STATUS (*unsubscribe)(BusHandle handle, BusSubscriptionId id);
    MODULE_STATUS (*cancelReplies)(BusHandle handle, BusReplyCallback callback);
};

static_assert(sizeof(BusFunctions) == 8 * sizeof(void*), "eight entries, no padding");

// A table is usable only with all eight entries: a call through a null one would end the host.
inline bool hasEveryEntry(const BusFunctions& functions) {
    return functions.acquireHandle != nullptr && functions.releaseHandle != nullptr && functions.publish != nullptr &&
           functions.request != nullptr && functions.subscribe != nullptr && functions.subscribeFilter != nullptr &&
           functions.unsubscribe != nullptr && functions.cancelReplies != nullptr;
}

constexpr std::uint32_t BUS_FUNCTIONS_VERSION = 1006000;

// The library's exports, resolved by name; all four must exist, only CreateObject is called.
constexpr const char* BUS_EXPORT_CREATE_OBJECT = "CreateObject";
constexpr const char* BUS_EXPORT_RELEASE_OBJECT = "ReleaseObject";
constexpr const char* BUS_EXPORT_GET_VERSION_STR = "GetVersionStr";
constexpr const char* BUS_EXPORT_GET_VERSION_NUM = "GetVersionNum";

extern "C" {
using BusCreateObjectFn = BusFunctions* (*)(std::uint32_t version);
using BusReleaseObjectFn = void (*)(BusFunctions* functions);
using BusGetVersionStrFn = const wchar_t* (*)();
using BusGetVersionNumFn = std::uint32_t (*)();
}

} // namespace Corvane
