#include "messagebus/MessageBusClient.h"

#include <memory>

#include "messagebus/MessageBusLib.h"

namespace Corvane {

// The only parts of the client that bind the real bus library.

MessageBusClient::MessageBusClient() : MessageBusClient(std::make_shared<MessageBusLib>(), nullptr) {}

std::unique_ptr<MessageBus> MessageBusClient::getInstance() {
    return createInstance([] { return std::make_unique<MessageBusClient>(); });
}

} // namespace Corvane
