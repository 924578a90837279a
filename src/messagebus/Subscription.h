#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "messagebus/MessageBusTypes.h"

namespace Corvane {

// One subscription to a message name. The bus library holds the handler's address, so the
// handler lives on the heap, where moving the entry cannot move it.
struct Subscription {
    std::uint32_t id; // given by the bus library
    std::wstring messageName;
    std::shared_ptr<MessageHandler> handler;
};

} // namespace Corvane
