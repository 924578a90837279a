#pragma once

#include <chrono>
#include <cstdint>

#include "businterface/BusLibraryInterface.h"

namespace EventRelay {

using RelayClock = std::chrono::steady_clock;

// A request waiting for its one answer.
struct PendingReply {
    Corvane::BusHandle handle;
    void* context;
    Corvane::BusReplyCallback callback;
    std::uint64_t requestIndex;
    RelayClock::time_point deadline;
    // Set when an answer has been queued; from then on the request can no longer time out.
    bool answered;
};

} // namespace EventRelay
