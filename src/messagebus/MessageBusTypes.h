#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "message/Message.h"
#include "status/ModuleStatus.h"

namespace Corvane {

class Reply;

// Receives one delivered message of a subscription; its status goes back to the bus library.
using MessageHandler = std::function<MODULE_STATUS(std::shared_ptr<Message>)>;

// Receives the settled reply of a request.
using ReplyHandler = std::function<void(std::shared_ptr<Reply>)>;

// The client's entry for answers: request index, answer (may be empty), the bus status.
using ReplyFunction = std::function<MODULE_STATUS(std::uint64_t, const std::shared_ptr<Message>&, MODULE_STATUS)>;

} // namespace Corvane
