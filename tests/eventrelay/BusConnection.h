#pragma once

#include <atomic>

#include "Inbox.h"
#include "ReplyInbox.h"
#include "TestHeaders.h"

namespace EventRelayTests {

// One handle of the bus, released at the end unless a test released it already.
class BusConnection {
public:
    explicit BusConnection(const Corvane::BusFunctions& bus);
    ~BusConnection();
    BusConnection(const BusConnection&) = delete;
    BusConnection& operator=(const BusConnection&) = delete;

    Corvane::BusHandle handle() const { return handle_; }
    Corvane::MODULE_STATUS release();

    Corvane::BusSubscriptionId subscribe(Inbox& inbox, const wchar_t* name) const;
    Corvane::BusSubscriptionId subscribeFilter(Inbox& inbox, const wchar_t* pattern) const;
    Corvane::MODULE_STATUS unsubscribe(Corvane::BusSubscriptionId id) const;
    Corvane::MODULE_STATUS publish(const wchar_t* name, const wchar_t* payload = L"",
                                   Corvane::MessageHeader header = makeHeader(),
                                   const wchar_t* alias = L"Tests") const;
    Corvane::MODULE_STATUS request(ReplyInbox& inbox, std::uint64_t requestIndex, const wchar_t* name,
                                   std::uint64_t timeLimitMs,
                                   Corvane::BusReplyCallback callback = ReplyInbox::receive) const;
    Corvane::MODULE_STATUS cancelReplies(Corvane::BusReplyCallback callback = ReplyInbox::receive) const;

private:
    const Corvane::BusFunctions& bus_;
    Corvane::BusHandle handle_;
    std::atomic<bool> released_{false};
};

} // namespace EventRelayTests
