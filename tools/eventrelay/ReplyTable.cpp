#include "ReplyTable.h"

namespace EventRelay {

std::uint64_t ReplyTable::add(const PendingReply& reply) {
    const std::uint64_t correlation = ++lastCorrelation_;
    replies_.emplace(correlation, reply);
    if (reply.deadline != RelayClock::time_point::max()) {
        deadlines_.emplace(reply.deadline, correlation);
    }
    return correlation;
}

bool ReplyTable::claimAnswer(std::uint64_t correlation) {
    const auto found = replies_.find(correlation);
    if (found == replies_.end() || found->second.answered) {
        return false;
    }
    found->second.answered = true;
    forgetDeadline(correlation, found->second);
    return true;
}

std::optional<PendingReply> ReplyTable::take(std::uint64_t correlation) {
    const auto found = replies_.find(correlation);
    if (found == replies_.end()) {
        return std::nullopt;
    }
    PendingReply reply = found->second;
    forgetDeadline(correlation, reply);
    replies_.erase(found);
    return reply;
}

std::optional<PendingReply> ReplyTable::takeExpired(RelayClock::time_point now) {
    if (deadlines_.empty() || deadlines_.begin()->first > now) {
        return std::nullopt;
    }
    return take(deadlines_.begin()->second);
}

std::optional<RelayClock::time_point> ReplyTable::nextDeadline() const {
    if (deadlines_.empty()) {
        return std::nullopt;
    }
    return deadlines_.begin()->first;
}

void ReplyTable::cancel(Corvane::BusHandle handle, Corvane::BusReplyCallback callback) {
    removeWhere(
        [&](const PendingReply& reply) { return reply.handle == handle && reply.callback == callback; });
}

void ReplyTable::removeConnection(Corvane::BusHandle handle) {
    removeWhere([&](const PendingReply& reply) { return reply.handle == handle; });
}

template <typename Predicate> void ReplyTable::removeWhere(Predicate predicate) {
    for (auto it = replies_.begin(); it != replies_.end();) {
        if (predicate(it->second)) {
            forgetDeadline(it->first, it->second);
            it = replies_.erase(it);
        } else {
            ++it;
        }
    }
}

void ReplyTable::forgetDeadline(std::uint64_t correlation, const PendingReply& reply) {
    deadlines_.erase(Deadline(reply.deadline, correlation));
}

} // namespace EventRelay
