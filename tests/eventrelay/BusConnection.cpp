#include "BusConnection.h"

#include <stdexcept>

namespace EventRelayTests {

using namespace Corvane;

BusConnection::BusConnection(const BusFunctions& bus) : bus_(bus), handle_(nullptr) {
    if (bus_.acquireHandle(&handle_) != MODULE_STATUS_SUCCESS || handle_ == nullptr) {
        throw std::runtime_error("cannot open a bus connection");
    }
}

BusConnection::~BusConnection() {
    if (!released_) {
        bus_.releaseHandle(handle_);
    }
}

MODULE_STATUS BusConnection::release() {
    released_ = true;
    return bus_.releaseHandle(handle_);
}

BusSubscriptionId BusConnection::subscribe(Inbox& inbox, const wchar_t* name) const {
    return bus_.subscribe(handle_, &inbox, Inbox::receive, name);
}

BusSubscriptionId BusConnection::subscribeFilter(Inbox& inbox, const wchar_t* pattern) const {
    return bus_.subscribeFilter(handle_, &inbox, Inbox::receive, pattern);
}

MODULE_STATUS BusConnection::unsubscribe(BusSubscriptionId id) const {
    return bus_.unsubscribe(handle_, id);
}

MODULE_STATUS BusConnection::publish(const wchar_t* name, const wchar_t* payload, MessageHeader header,
                                     const wchar_t* alias) const {
    return bus_.publish(handle_, &header, name, alias, payload);
}

MODULE_STATUS BusConnection::request(ReplyInbox& inbox, std::uint64_t requestIndex, const wchar_t* name,
                                     std::uint64_t timeLimitMs, BusReplyCallback callback) const {
    MessageHeader header = makeHeader();
    return bus_.request(handle_, requestIndex, &inbox, callback, &header, name, L"Tests", L"question",
                        timeLimitMs);
}

MODULE_STATUS BusConnection::cancelReplies(BusReplyCallback callback) const {
    return bus_.cancelReplies(handle_, callback);
}

} // namespace EventRelayTests
