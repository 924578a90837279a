#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>

#include "PendingReply.h"

namespace EventRelay {

// Requests waiting for an answer, by the correlation id the relay puts in replyData.
// Not locked: the relay guards it.
class ReplyTable {
public:
    // The request's correlation id, never 0.
    std::uint64_t add(const PendingReply& reply);
    // Marks the request answered; false for an unknown or already answered one.
    bool claimAnswer(std::uint64_t correlation);
    std::optional<PendingReply> take(std::uint64_t correlation);
    // Removes and returns one unanswered request whose time is up.
    std::optional<PendingReply> takeExpired(RelayClock::time_point now);
    std::optional<RelayClock::time_point> nextDeadline() const;

    void cancel(Corvane::BusHandle handle, Corvane::BusReplyCallback callback);
    void removeConnection(Corvane::BusHandle handle);

private:
    using Deadline = std::pair<RelayClock::time_point, std::uint64_t>;

    template <typename Predicate> void removeWhere(Predicate predicate);
    void forgetDeadline(std::uint64_t correlation, const PendingReply& reply);

    std::unordered_map<std::uint64_t, PendingReply> replies_;
    std::set<Deadline> deadlines_;
    std::uint64_t lastCorrelation_ = 0;
};

} // namespace EventRelay
