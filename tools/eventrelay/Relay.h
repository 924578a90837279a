#pragma once

#include <cstdint>
#include <deque>
#include <set>

#include <windows.h>

#include "ActiveCallback.h"
#include "MessageLog.h"
#include "RelayItem.h"
#include "ReplyTable.h"
#include "SlimCondition.h"
#include "SlimLock.h"
#include "SubscriptionTable.h"
#include "businterface/BusLibraryInterface.h"

namespace EventRelay {

// The in-process bus behind the function table. One mutex guards all state; callbacks
// run on the relay thread without it, one at a time and in publish order, so a callback
// may call back into the bus. Withdrawing a subscription, a reply callback or a connection
// waits for a delivery of it that is running on the relay thread, except when called from
// that delivery itself.
class Relay {
public:
    static Relay& instance();

    Corvane::MODULE_STATUS acquireHandle(Corvane::BusHandle* handle);
    Corvane::MODULE_STATUS releaseHandle(Corvane::BusHandle handle);
    Corvane::MODULE_STATUS publish(Corvane::BusHandle handle, const Corvane::MessageHeader* header,
                                   const wchar_t* name, const wchar_t* alias, const wchar_t* payload);
    Corvane::MODULE_STATUS request(Corvane::BusHandle handle, std::uint64_t requestIndex, void* context,
                                   Corvane::BusReplyCallback callback, const Corvane::MessageHeader* header,
                                   const wchar_t* name, const wchar_t* alias, const wchar_t* payload,
                                   std::uint64_t timeLimitMs);
    Corvane::BusSubscriptionId subscribe(Corvane::BusHandle handle, void* context,
                                         Corvane::BusMessageCallback callback, const wchar_t* name);
    Corvane::BusSubscriptionId subscribeFilter(Corvane::BusHandle handle, void* context,
                                               Corvane::BusMessageCallback callback, const wchar_t* pattern);
    Corvane::MODULE_STATUS unsubscribe(Corvane::BusHandle handle, Corvane::BusSubscriptionId id);
    Corvane::MODULE_STATUS cancelReplies(Corvane::BusHandle handle, Corvane::BusReplyCallback callback);

    // The relay thread's body; returns once the last connection is gone. The thread is
    // started by the first subscription, since only subscriptions receive anything.
    void run();

private:
    using Lock = SlimCondition::Lock;

    Relay() = default;

    bool isOpen(Corvane::BusHandle handle) const { return connections_.count(handle) != 0; }
    Corvane::BusSubscriptionId addSubscription(Corvane::BusHandle handle, const Subscription& subscription);
    bool ensureRelayRunning();
    void enqueue(RelayItem item);
    void routeAnswer(const RelayedMessage& message);

    void relayOne(Lock& lock, RelayItem& item);
    void deliver(Lock& lock, Corvane::BusSubscriptionId id, const RelayedMessage& message);
    void answer(Lock& lock, const PendingReply& reply, const RelayedMessage* message,
                Corvane::MODULE_STATUS status);
    template <typename Call> void runCallback(Lock& lock, const ActiveCallback& active, Call call);
    void waitForWork(Lock& lock);

    template <typename Predicate> void waitWhileActive(Lock& lock, Predicate isWithdrawn);
    void waitForRelayStop(Lock& lock);
    bool onRelayThread() const { return relayThreadId_ == GetCurrentThreadId(); }
    static RelayClock::time_point deadlineAfter(std::uint64_t timeLimitMs);

    // Made while the library loads, before any thread can call in: a function-local static
    // would wait on a winpthreads condition whenever two threads made the first call at once.
    static Relay instance_;

    SlimLock mutex_;
    SlimCondition workArrived_;
    SlimCondition callbackFinished_;

    std::set<Corvane::BusHandle> connections_;
    std::uintptr_t lastHandle_ = 0;
    SubscriptionTable subscriptions_;
    ReplyTable replies_;
    std::deque<RelayItem> queue_;
    MessageLog log_;

    ActiveCallback active_;
    bool relayRunning_ = false;
    DWORD relayThreadId_ = 0;
};

} // namespace EventRelay
