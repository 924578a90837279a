#include "Relay.h"

#include <utility>

#include "RelayThread.h"

namespace EventRelay {

using namespace Corvane;

namespace {
// Beyond this a time limit means "no limit"; it also keeps the deadline from overflowing.
constexpr std::uint64_t LONGEST_TIME_LIMIT_MS = 1000ull * 60 * 60 * 24 * 365 * 10;
} // namespace

Relay Relay::instance_;

Relay& Relay::instance() {
    return instance_;
}

MODULE_STATUS Relay::acquireHandle(BusHandle* handle) {
    if (handle == nullptr) {
        return MODULE_STATUS_INVALID_PARAMETER;
    }
    Lock lock(mutex_);
    const BusHandle opened = reinterpret_cast<BusHandle>(++lastHandle_);
    connections_.insert(opened);
    *handle = opened;
    return MODULE_STATUS_SUCCESS;
}

MODULE_STATUS Relay::releaseHandle(BusHandle handle) {
    Lock lock(mutex_);
    if (connections_.erase(handle) == 0) {
        return MODULE_STATUS_INVALID_HANDLE;
    }
    subscriptions_.removeConnection(handle);
    replies_.removeConnection(handle);
    waitWhileActive(lock, [&](const ActiveCallback& active) { return active.handle == handle; });
    if (connections_.empty() && relayRunning_) {
        workArrived_.notifyAll();
        waitForRelayStop(lock);
    }
    return MODULE_STATUS_SUCCESS;
}

MODULE_STATUS Relay::publish(BusHandle handle, const MessageHeader* header, const wchar_t* name,
                             const wchar_t* alias, const wchar_t* payload) {
    Lock lock(mutex_);
    if (!isOpen(handle)) {
        return MODULE_STATUS_INVALID_HANDLE;
    }
    if (header == nullptr || name == nullptr) {
        return MODULE_STATUS_INVALID_PARAMETER;
    }
    RelayedMessage message(*header, name, alias, payload);
    // Logged under the lock, so the log shows messages in the order they are relayed.
    if (!log_.append(message)) {
        return MODULE_STATUS_UNSUCCESSFUL;
    }
    if (message.isReply()) {
        routeAnswer(message);
    } else {
        std::vector<BusSubscriptionId> subscribers = subscriptions_.matching(message.name());
        if (!subscribers.empty()) {
            enqueue(RelayItem{std::move(message), std::move(subscribers), 0});
        }
    }
    return MODULE_STATUS_SUCCESS;
}

MODULE_STATUS Relay::request(BusHandle handle, std::uint64_t requestIndex, void* context,
                             BusReplyCallback callback, const MessageHeader* header, const wchar_t* name,
                             const wchar_t* alias, const wchar_t* payload, std::uint64_t timeLimitMs) {
    Lock lock(mutex_);
    if (!isOpen(handle)) {
        return MODULE_STATUS_INVALID_HANDLE;
    }
    if (header == nullptr || name == nullptr || callback == nullptr) {
        return MODULE_STATUS_INVALID_PARAMETER;
    }
    RelayedMessage message(*header, name, alias, payload);
    std::vector<BusSubscriptionId> subscribers = subscriptions_.matching(message.name());
    if (subscribers.empty()) {
        return MODULE_STATUS_NO_SUBSCRIBERS;
    }
    const std::uint64_t correlation = replies_.add(
        PendingReply{handle, context, callback, requestIndex, deadlineAfter(timeLimitMs), false});
    message.setReplyData(correlation);
    if (!log_.append(message)) {
        replies_.take(correlation);
        return MODULE_STATUS_UNSUCCESSFUL;
    }
    enqueue(RelayItem{std::move(message), std::move(subscribers), 0});
    return MODULE_STATUS_SUCCESS;
}

BusSubscriptionId Relay::subscribe(BusHandle handle, void* context, BusMessageCallback callback,
                                   const wchar_t* name) {
    if (callback == nullptr || name == nullptr) {
        return 0;
    }
    return addSubscription(handle,
                           Subscription(DeliveryTarget{handle, context, callback}, std::wstring(name)));
}

BusSubscriptionId Relay::subscribeFilter(BusHandle handle, void* context, BusMessageCallback callback,
                                         const wchar_t* pattern) {
    if (callback == nullptr || pattern == nullptr) {
        return 0;
    }
    std::optional<std::wregex> compiled = Subscription::compile(pattern);
    if (!compiled) {
        return 0;
    }
    return addSubscription(handle,
                           Subscription(DeliveryTarget{handle, context, callback}, std::move(*compiled)));
}

MODULE_STATUS Relay::unsubscribe(BusHandle handle, BusSubscriptionId id) {
    Lock lock(mutex_);
    if (!isOpen(handle)) {
        return MODULE_STATUS_INVALID_HANDLE;
    }
    if (!subscriptions_.remove(handle, id)) {
        return MODULE_STATUS_NOT_FOUND;
    }
    waitWhileActive(lock, [&](const ActiveCallback& active) { return active.subscription == id; });
    return MODULE_STATUS_SUCCESS;
}

MODULE_STATUS Relay::cancelReplies(BusHandle handle, BusReplyCallback callback) {
    Lock lock(mutex_);
    if (!isOpen(handle)) {
        return MODULE_STATUS_INVALID_HANDLE;
    }
    replies_.cancel(handle, callback);
    waitWhileActive(lock, [&](const ActiveCallback& active) {
        return active.handle == handle && active.replyCallback == callback;
    });
    return MODULE_STATUS_SUCCESS;
}

void Relay::run() {
    Lock lock(mutex_);
    relayThreadId_ = GetCurrentThreadId();
    while (!connections_.empty()) {
        if (std::optional<PendingReply> expired = replies_.takeExpired(RelayClock::now())) {
            answer(lock, *expired, nullptr, MODULE_STATUS_TIMEOUT);
        } else if (!queue_.empty()) {
            RelayItem item = std::move(queue_.front());
            queue_.pop_front();
            relayOne(lock, item);
        } else {
            waitForWork(lock);
        }
    }
    queue_.clear();
    relayRunning_ = false;
    relayThreadId_ = 0;
    callbackFinished_.notifyAll();
}

BusSubscriptionId Relay::addSubscription(BusHandle handle, const Subscription& subscription) {
    Lock lock(mutex_);
    if (!isOpen(handle) || !ensureRelayRunning()) {
        return 0;
    }
    return subscriptions_.add(subscription);
}

bool Relay::ensureRelayRunning() {
    // Started with the first subscription rather than the first connection: a host that only
    // publishes (one report: open, publish, close) never pays for a thread.
    if (!relayRunning_) {
        relayRunning_ = RelayThread::start(*this);
    }
    return relayRunning_;
}

void Relay::enqueue(RelayItem item) {
    queue_.push_back(std::move(item));
    workArrived_.notifyAll();
}

void Relay::routeAnswer(const RelayedMessage& message) {
    // An answer to an unknown, timed-out or already answered request is logged but goes
    // nowhere: each request gets one answer at most.
    const std::uint64_t correlation = message.replyData();
    if (replies_.claimAnswer(correlation)) {
        enqueue(RelayItem{message, {}, correlation});
    }
}

void Relay::relayOne(Lock& lock, RelayItem& item) {
    if (item.answerTo != 0) {
        if (std::optional<PendingReply> reply = replies_.take(item.answerTo)) {
            answer(lock, *reply, &item.message, MODULE_STATUS_SUCCESS);
        }
        return;
    }
    for (const BusSubscriptionId id : item.subscribers) {
        deliver(lock, id, item.message);
    }
}

void Relay::deliver(Lock& lock, BusSubscriptionId id, const RelayedMessage& message) {
    // Looked up again for each call: an earlier callback may have withdrawn this one.
    const Subscription* subscription = subscriptions_.find(id);
    if (subscription == nullptr) {
        return;
    }
    const DeliveryTarget target = subscription->target();
    runCallback(lock, ActiveCallback{target.handle, id, nullptr}, [&] {
        target.callback(target.context, &message.header(), message.name().c_str(), message.alias().c_str(),
                        message.payload().c_str());
    });
}

void Relay::answer(Lock& lock, const PendingReply& reply, const RelayedMessage* message,
                   MODULE_STATUS status) {
    // A timeout carries no message: header and strings are null.
    runCallback(lock, ActiveCallback{reply.handle, 0, reply.callback}, [&] {
        if (message == nullptr) {
            reply.callback(reply.context, reply.requestIndex, nullptr, nullptr, nullptr, nullptr, status);
        } else {
            reply.callback(reply.context, reply.requestIndex, &message->header(), message->name().c_str(),
                           message->alias().c_str(), message->payload().c_str(), status);
        }
    });
}

template <typename Call> void Relay::runCallback(Lock& lock, const ActiveCallback& active, Call call) {
    active_ = active;
    lock.unlock();
    try {
        call();
    } catch (...) {
        // A subscriber's fault must not end the relay for everyone else.
    }
    lock.lock();
    active_ = ActiveCallback();
    callbackFinished_.notifyAll();
}

void Relay::waitForWork(Lock& lock) {
    if (const std::optional<RelayClock::time_point> deadline = replies_.nextDeadline()) {
        workArrived_.waitUntil(lock, *deadline);
    } else {
        workArrived_.wait(lock);
    }
}

template <typename Predicate> void Relay::waitWhileActive(Lock& lock, Predicate isWithdrawn) {
    // From inside a delivery the running callback is the caller's own; waiting would deadlock.
    if (onRelayThread()) {
        return;
    }
    callbackFinished_.wait(lock, [&] { return !isWithdrawn(active_); });
}

void Relay::waitForRelayStop(Lock& lock) {
    if (onRelayThread()) {
        return;
    }
    callbackFinished_.wait(lock, [&] { return !relayRunning_ || !connections_.empty(); });
}

RelayClock::time_point Relay::deadlineAfter(std::uint64_t timeLimitMs) {
    if (timeLimitMs > LONGEST_TIME_LIMIT_MS) {
        return RelayClock::time_point::max();
    }
    return RelayClock::now() + std::chrono::milliseconds(timeLimitMs);
}

} // namespace EventRelay
