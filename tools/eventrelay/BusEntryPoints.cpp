#include "BusEntryPoints.h"

#include "Relay.h"

namespace EventRelay {

using namespace Corvane;

namespace {
template <typename Result, typename Body> Result guarded(Result onException, Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return onException;
    }
}

MODULE_STATUS acquireHandle(BusHandle* handle) {
    return guarded(MODULE_STATUS_UNKNOWN_EXCEPTION, [&] { return Relay::instance().acquireHandle(handle); });
}

MODULE_STATUS releaseHandle(BusHandle handle) {
    return guarded(MODULE_STATUS_UNKNOWN_EXCEPTION, [&] { return Relay::instance().releaseHandle(handle); });
}

MODULE_STATUS publish(BusHandle handle, MessageHeader* header, const wchar_t* name, const wchar_t* alias,
                      const wchar_t* payload) {
    return guarded(MODULE_STATUS_UNKNOWN_EXCEPTION,
                   [&] { return Relay::instance().publish(handle, header, name, alias, payload); });
}

MODULE_STATUS request(BusHandle handle, std::uint64_t requestIndex, void* context, BusReplyCallback callback,
                      MessageHeader* header, const wchar_t* name, const wchar_t* alias,
                      const wchar_t* payload, std::uint64_t timeLimit) {
    return guarded(MODULE_STATUS_UNKNOWN_EXCEPTION, [&] {
        return Relay::instance().request(handle, requestIndex, context, callback, header, name, alias,
                                         payload, timeLimit);
    });
}

BusSubscriptionId subscribe(BusHandle handle, void* context, BusMessageCallback callback,
                            const wchar_t* name) {
    return guarded(BusSubscriptionId(0),
                   [&] { return Relay::instance().subscribe(handle, context, callback, name); });
}

BusSubscriptionId subscribeFilter(BusHandle handle, void* context, BusMessageCallback callback,
                                  const wchar_t* pattern) {
    return guarded(BusSubscriptionId(0),
                   [&] { return Relay::instance().subscribeFilter(handle, context, callback, pattern); });
}

MODULE_STATUS unsubscribe(BusHandle handle, BusSubscriptionId id) {
    return guarded(MODULE_STATUS_UNKNOWN_EXCEPTION,
                   [&] { return Relay::instance().unsubscribe(handle, id); });
}

MODULE_STATUS cancelReplies(BusHandle handle, BusReplyCallback callback) {
    return guarded(MODULE_STATUS_UNKNOWN_EXCEPTION,
                   [&] { return Relay::instance().cancelReplies(handle, callback); });
}

BusFunctions entryPoints{acquireHandle, releaseHandle,   publish,     request,
                         subscribe,     subscribeFilter, unsubscribe, cancelReplies};
} // namespace

BusFunctions* BusEntryPoints::table() {
    return &entryPoints;
}

} // namespace EventRelay
