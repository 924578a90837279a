#pragma once

#include <cstdint>
#include <vector>

#include "RelayedMessage.h"
#include "businterface/BusLibraryInterface.h"

namespace EventRelay {

// One entry of the relay queue: a message for the subscriptions that matched it when it was
// published, or the answer to the request with the given correlation id.
struct RelayItem {
    RelayedMessage message;
    std::vector<Corvane::BusSubscriptionId> subscribers;
    std::uint64_t answerTo;
};

} // namespace EventRelay
