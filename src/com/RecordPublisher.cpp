#include "com/RecordPublisher.h"

#include <memory>

#include "message/Message.h"
#include "messagebus/MessageBusClient.h"

namespace Corvane::Analytics {

HRESULT RecordPublisher::publish(const std::wstring& record) {
    std::unique_ptr<MessageBus> bus = MessageBusClient::getInstance();
    if (!bus) {
        return S_OK;
    }
    std::shared_ptr<Message> message = Message::create(L"Analytics.v1.AddRecord", L"Strivan.LegacyCOM", record);
    // An empty message is refused (and logged) by publish; its status changes nothing here.
    bus->publish(message);
    const bool built = message != nullptr;
    // The message goes before the client, which unloads the bus library.
    message.reset();
    bus.reset();
    return built ? S_OK : E_OUTOFMEMORY;
}

} // namespace Corvane::Analytics
