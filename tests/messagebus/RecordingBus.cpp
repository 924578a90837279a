#include "RecordingBus.h"

#include <cstring>

#include <gtest/gtest.h>

namespace PelmoraTests {

using namespace Corvane;
using Call = RecordingBus::Call;

namespace {

void record(const Call& call) {
    RecordingBus::instance().calls.push_back(call);
}

MODULE_STATUS acquireHandle(BusHandle* handle) {
    record(Call::of("acquireHandle", nullptr));
    const RecordingBus& bus = RecordingBus::instance();
    *handle = bus.acquiredHandle;
    return bus.acquireStatus;
}

MODULE_STATUS releaseHandle(BusHandle handle) {
    record(Call::of("releaseHandle", handle));
    return RecordingBus::instance().releaseStatus;
}

MODULE_STATUS publish(BusHandle handle, MessageHeader* header, const wchar_t* name, const wchar_t* alias,
                      const wchar_t* payload) {
    record(Call::of("publish", handle).withMessage(header, name, alias, payload));
    return MODULE_STATUS_PARTIAL_SUCCESS;
}

MODULE_STATUS request(BusHandle handle, std::uint64_t index, void* context, BusReplyCallback callback,
                      MessageHeader* header, const wchar_t* name, const wchar_t* alias,
                      const wchar_t* payload, std::uint64_t timeLimit) {
    Call call = Call::of("request", handle).withMessage(header, name, alias, payload);
    call.index = index;
    call.context = context;
    call.replyCallback = callback;
    call.timeLimit = timeLimit;
    record(call);
    return MODULE_STATUS_NO_SUBSCRIBERS;
}

BusSubscriptionId subscribe(BusHandle handle, void* context, BusMessageCallback callback,
                            const wchar_t* name) {
    record(Call::of("subscribe", handle).withSubscription(context, callback, name));
    return 7;
}

BusSubscriptionId subscribeFilter(BusHandle handle, void* context, BusMessageCallback callback,
                                  const wchar_t* pattern) {
    record(Call::of("subscribeFilter", handle).withSubscription(context, callback, pattern));
    return 8;
}

MODULE_STATUS unsubscribe(BusHandle handle, BusSubscriptionId id) {
    Call call = Call::of("unsubscribe", handle);
    call.id = id;
    record(call);
    return MODULE_STATUS_NOT_FOUND;
}

MODULE_STATUS cancelReplies(BusHandle handle, BusReplyCallback callback) {
    Call call = Call::of("cancelReplies", handle);
    call.replyCallback = callback;
    record(call);
    return MODULE_STATUS_INVALID_STATE;
}

BusFunctions recordingTable = {acquireHandle, releaseHandle,   publish,     request,
                               subscribe,     subscribeFilter, unsubscribe, cancelReplies};

} // namespace

const BusHandle RecordingBus::defaultHandle = reinterpret_cast<BusHandle>(0x4B1D);

Call Call::of(const char* entry, BusHandle handle) {
    Call call;
    call.entry = entry;
    call.handle = handle;
    return call;
}

Call Call::withMessage(const MessageHeader* messageHeader, const wchar_t* messageName,
                       const wchar_t* messageAlias, const wchar_t* messagePayload) const {
    Call call = *this;
    call.header = messageHeader;
    call.name = messageName;
    call.alias = messageAlias;
    call.payload = messagePayload;
    return call;
}

Call Call::withSubscription(void* handler, BusMessageCallback callback, const wchar_t* text) const {
    Call call = *this;
    call.context = handler;
    call.messageCallback = callback;
    call.name = text;
    return call;
}

bool Call::operator==(const Call& other) const {
    return entry == other.entry && handle == other.handle && index == other.index &&
           context == other.context && replyCallback == other.replyCallback &&
           messageCallback == other.messageCallback && header == other.header && name == other.name &&
           alias == other.alias && payload == other.payload && timeLimit == other.timeLimit && id == other.id;
}

RecordingBus& RecordingBus::instance() {
    static RecordingBus bus;
    return bus;
}

void RecordingBus::reset() {
    *this = RecordingBus();
}

BusFunctions* RecordingBus::table() {
    return &recordingTable;
}

BusFunctions* RecordingBus::createObject(std::uint32_t version) {
    RecordingBus& bus = instance();
    Call call = Call::of("CreateObject", nullptr);
    call.index = version;
    bus.calls.push_back(call);
    if (!bus.offersTable) {
        return nullptr;
    }
    bus.offered = recordingTable;
    if (bus.nullEntry >= 0) {
        // Eight pointers without padding, in entry order.
        std::memset(reinterpret_cast<char*>(&bus.offered) + bus.nullEntry * sizeof(void*), 0, sizeof(void*));
    }
    return &bus.offered;
}

void PrintTo(const Call& call, std::ostream* out) {
    *out << call.entry << '(' << call.handle << ", index " << call.index << ", context " << call.context
         << ", header " << call.header << ", " << testing::PrintToString(call.name) << ", "
         << testing::PrintToString(call.alias) << ", " << testing::PrintToString(call.payload) << ", limit "
         << call.timeLimit << ", id " << call.id << ')';
}

} // namespace PelmoraTests
